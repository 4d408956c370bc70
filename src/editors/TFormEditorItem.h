#pragma once

#include "MapDocument.h"
#include "SectionCode.h"
#include "SelectionTarget.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CullPanel;
class DefinitionPanel;
class EffectPanel;
class IDEPathPanel;
class InstancePanel;
class IPLPathPanel;
class QAction;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTimer;
class SeveralInstancePanel;
class TGLView;
class TGTA3Archive;
class TGTAFileList;
class TGTAImg;
class TIDEFile;
class TIPLFile;
class Twnd_imgfilepicker;
class ZonePanel;
struct TGTAS2dfxObj;
struct TGTASCullObj;
struct TGTASInstObj;
struct TGTASObjsObj;
struct TGTASPathIPLObj;
struct TGTASPathObj;
struct TGTASTObjObj;
struct TGTASZoneObj;

// The property window of the selected record: one record, or several instances of one IPL
// file that move together. The selection itself is the document's; picks in the 3D view and
// rows chosen in the IPL and IDE editors arrive here and become the document's selection.
// Each section's record is shown on a panel of its own, every change is written into the
// record at once and handed to the document as a step, and one step of undo restores the
// record as it was selected.
class TFormEditorItem;

// How the item editor shows its record again: Reload fills the page from the record; after
// an edit the step goes to the document, whose signals repaint the view and the editors'
// lists (EditShownInLists: an edit of what the lists show, a name or an ID).
enum class RecordRefresh { Reload, Edit, EditShownInLists };

// Fills controls without their change handlers writing back: edits are off while it lives.
class EditsSuppressed {
public:
    explicit EditsSuppressed(TFormEditorItem& editor);
    ~EditsSuppressed();
    EditsSuppressed(const EditsSuppressed&) = delete;
    EditsSuppressed& operator=(const EditsSuppressed&) = delete;

private:
    TFormEditorItem& m_editor;
    bool m_wasEnabled;
};

class TFormEditorItem : public QWidget, public SelectionTarget {
    Q_OBJECT
public:
    // One row of the table of sections a record can be selected in.
    struct SectionEntry;

    // The document's archive set answers the archive markers and the pick buttons; without
    // one every marker shows missing and the pick buttons stay disabled.
    TFormEditorItem(MapDocument& document, TGLView* view, QWidget* parent = nullptr);
    ~TFormEditorItem() override;

    void SetView(TGLView* view) { m_view = view; }
    MapDocument& Document() const { return m_document; }
    // The archive entry picker of the pick buttons.
    void SetImgFilePicker(Twnd_imgfilepicker* picker) { m_picker = picker; }

    // Operations other windows call.
    void SelectRecord(FileKind kind, SectionCode section, int record, int file) override;
    void ClearSelection();
    // Instances of the several-instance selection's file join it, after those listed.
    void AddInstances(const std::vector<int>& records);
    std::array<float, 3> GetSelectionCentre() const override;
    void MoveSelection(float dx, float dy, float dz) override;
    void MoveFinished() override;
    // The one selected instance's rotation (x, y, z, w); the identity for any other selection.
    std::array<float, 4> GetSelectionRotation() const;
    void SetSelectionRotation(const std::array<float, 4>& rotation);
    void UseDefinition(int id, const std::string& modelName);

    // Shows the selected record again.
    void RefreshRecord(RecordRefresh how);
    // Makes the panel of the section the visible one and fills it from the record.
    void ShowRecord(FileKind kind, SectionCode code);
    // Hands the edit of the selected record to the document as a step and enables undo.
    void MarkModified();
    void UndoEdit();
    void UpdateInstanceValidation();
    void UpdateObjsMarkers();
    void UpdateTObjMarkers();
    void FillIDEPathNodes();
    void FillIPLPathNodes();

    // Record indexes of the several-instance selection, in list order.
    std::vector<int> MultipleInstances() const;

    // The document's selection: whether there is one, its file kind, section, file, and its
    // record (for several instances, the one chosen last).
    bool HasSelection() const { return !m_document.selection().empty(); }
    FileKind SelKind() const { return m_document.selection().kind; }
    SectionCode SelSection() const { return m_document.selection().section; }
    int SelFile() const { return m_document.selection().file; }
    int SelRecord() const;

    // The selected record of each section: nullptr unless it is the selection.
    TIPLFile* SelectedIPLFile() const;
    TIDEFile* SelectedIDEFile() const;
    TGTASInstObj* SelectedInst() const;
    TGTASInstObj* Instance(int record) const; // any instance of the selected IPL file
    TGTASCullObj* SelectedCull() const;
    TGTASZoneObj* SelectedZone() const;
    TGTASPathIPLObj* SelectedIPLPath() const;
    TGTASObjsObj* SelectedObjs() const;
    TGTASTObjObj* SelectedTObj() const;
    TGTASPathObj* SelectedIDEPath() const;
    TGTAS2dfxObj* SelectedEffect() const;

    TGTAFileList* FileList() const { return m_fileList; }
    TGLView* View() const { return m_view; }
    TGTAImg* ArchiveSet() const { return m_document.archiveSet(); }
    Twnd_imgfilepicker* ImgFilePicker() const { return m_picker; }
    // The record's text form, as `ExpandedEdit` shows it ("N/A" for several instances).
    std::string RecordText() const;

    // Instance moving: a nudge button went down (one step at once, then one per tick of
    // `MoveTimer`) or up; Enter in a move-by box of the several-instance panel.
    void MoveButtonDown(int mode, float step);
    void MoveButtonUp();
    void MoveTimerTimer();
    void MultInstOffsetEnter(QLineEdit* box);

    bool EditsEnabled = true;
    std::string UndoText;
    int16_t MoveMode = 0;
    float MoveStep = 0;

    QLabel* ModeValue = nullptr;
    QLabel* FileIndexValue = nullptr;
    QLineEdit* ExpandedEdit = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QPushButton* BtnUndo = nullptr;
    QPushButton* BtnCancel = nullptr;
    QTimer* MoveTimer = nullptr;

    InstancePanel* paneliplinst = nullptr;
    SeveralInstancePanel* paneliplmultinst = nullptr;
    CullPanel* paneliplcull = nullptr;
    ZonePanel* paneliplzone = nullptr;
    IPLPathPanel* paneliplpath = nullptr;
    DefinitionPanel* panelideobjs = nullptr;
    DefinitionPanel* panelidetobj = nullptr;
    IDEPathPanel* panelidepath = nullptr;
    EffectPanel* panelide2dfx = nullptr;

    // The several-instance list and its labels live on the several-instance panel.
    QListWidget* EditIPLMultInstList = nullptr;
    QLabel* EditIPLMultInstItemCount = nullptr;
    QLabel* EditIPLMultInstItemCenter = nullptr;

    void BtnUndoClick();
    void BtnCancelClick();

signals:
    // An instance was picked alone in the 3D view: the IPL editor shows its row.
    void instancePicked(int file, int record);
    // The page shows a definition, or an instance of one: the secondary model view shows
    // the definition's model.
    void definitionShown(int id, bool timed);
    // The find window lists every placement of the definition ID; or opens the definition
    // the instance (file, record) uses.
    void placementsRequested(int id);
    void definitionRequested(int file, int record);

protected:

private:
    // Makes `selection` the document's, without following it as another window's choice.
    void select(DocumentSelection selection);
    // Another window, or a step undone or redone, changed the selection.
    void followSelection();
    // The several-instance list shows the document's records.
    void showInstanceList();
    void showMultipleCount();
    void showRecordTexts();
    void showPage(const SectionEntry* entry);
    void restoreFromText(const std::string& text);
    std::vector<int> selectedRecords() const;
    // The selected records are copied as they are before the next edit.
    void copyBeforeEdit();
    // Hands the edit just made to the document as a step.
    void pushEdit(std::optional<std::uint64_t> restoredVersion = std::nullopt);
    // A step was undone or redone: the selection and the page follow the records.
    void followRecords(int file);

    MapDocument& m_document;
    TGTAFileList* m_fileList = nullptr;
    TGLView* m_view = nullptr;
    Twnd_imgfilepicker* m_picker = nullptr;
    bool m_selecting = false;
    MapDocument::RecordCopies m_before;
    std::string m_beforeText;
    // What the next step is called and whether it merges with the one before.
    QString m_stepText;
    MapDocument::Merge m_stepMerge = MapDocument::Merge::None;
    bool m_pushing = false;
    std::uint64_t m_versionAtSelection = 0;
    std::uint64_t m_versionAfterOwnStep = 0;
};
