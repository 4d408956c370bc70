#pragma once

#include "PlacementText.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class MapDocument;
class QAction;
class TFormEditorIPL;
class TGLView;

// The commands on selected placements that work through the system clipboard and the 3D
// view: copy the selection's inst lines as text, paste inst lines into the IPL file chosen in
// the IPL editor (keeping their positions, or centred on the camera's target), and in the
// view delete or duplicate the selection. Each change is one step of the document.
class PlacementCommands : public QObject {
    Q_OBJECT
public:
    // The delete and duplicate actions are the view's own (its keys work while it has the
    // focus); the others are handed to the main window's Edit menu.
    PlacementCommands(MapDocument& document, TFormEditorIPL& iplEditor, TGLView* view, QObject* parent = nullptr);

    void ActionEditCopyExecute();
    void ActionEditPasteExecute();
    void ActionEditPasteAtTargetExecute();
    void ActionViewDeleteExecute();
    void ActionViewDuplicateExecute();

    QAction* ActionEditCopy = nullptr;
    QAction* ActionEditPaste = nullptr;
    QAction* ActionEditPasteAtTarget = nullptr;
    QAction* ActionViewDelete = nullptr;
    QAction* ActionViewDuplicate = nullptr;

private:
    void pasteFromClipboard(bool atTarget);
    // The lines read; when some are rejected, after the message that lists them.
    PlacementLines readLines(const QString& text) const;
    // Adds the records to the file as one step (in its form, centred on the camera's target
    // when asked) and selects them; the new records' indexes.
    std::vector<int> pasteRecords(std::vector<TGTASInstObj> records, int file, bool atTarget);
    // The IPL file chosen in the IPL editor, else the one the user picks; nothing when cancelled.
    std::optional<int> pasteTarget();
    // The file and records of the selected placements; file -1 when none are selected.
    int selectedPlacements(std::vector<int>& records) const;
    void selectPlacements(int file, const std::vector<int>& records);

    MapDocument& m_document;
    TFormEditorIPL& m_iplEditor;
    TGLView* m_view;
};
