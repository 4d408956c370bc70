#pragma once

#include "MapFileEditor.h"

class QPushButton;

// The editor of IPL (item placement) files: their inst, cull, zone, path and occl records.
// Beyond the shared file and record commands it duplicates records, centres the view on an
// instance it opens, and selects every instance of a file at once.
class TFormEditorIPL : public MapFileEditor {
    Q_OBJECT
public:
    TFormEditorIPL(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat,
                   QWidget* parent = nullptr);

    // Shows the file's row, the inst section and the record's row (row 0 when either is not
    // listed) without opening the record: the item editor already shows it.
    void SelectInList(int file, int record);

    void ActionEditDuplicateExecute();
    void BtnInstSelectAllClick();
    void ActionFindDefinitionExecute();

    QAction* ActionEditDuplicate = nullptr;
    QAction* ActionFindDefinition = nullptr;
    QWidget* PanelInstSelect = nullptr;
    QPushButton* BtnInstSelectAll = nullptr;

signals:
    // The definition the placement (file, record) uses is to be shown.
    void definitionRequested(int file, int record);

protected:
    void recordChosen(int record) override;
    void recordsRefreshed() override;
    SectionCode openedSection(int record, bool add) override;
};
