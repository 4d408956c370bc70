#pragma once

#include "SelectionTarget.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class TGLView;
class TGTAFileList;
class TIPLFile;
struct TGTASInstObj;

// The property window of the selected record, and the owner of the selection: one record,
// or several instances of one IPL file that move together. Picks and drags in the 3D view
// arrive here; every change is written into the record at once and marks its file modified.
class TFormEditorItem : public QWidget, public SelectionTarget {
    Q_OBJECT
public:
    TFormEditorItem(TGTAFileList* fileList, TGLView* view, QWidget* parent = nullptr);

    void SetFileList(TGTAFileList* fileList) { m_fileList = fileList; }
    void SetView(TGLView* view) { m_view = view; }

    void SelectRecord(FileKind kind, int section, int record, int file) override;
    void ClearSelection();
    std::array<float, 3> GetSelectionCentre() const override;
    void MoveSelection(float dx, float dy, float dz) override;

    // Marks the selected record's file modified and enables the main window's save action.
    void MarkModified();
    // Shows the selected record again. Without `reload` the record was changed: its file
    // is marked modified.
    void RefreshRecord(bool reload, bool repaintLists);

    // Record indexes of the several-instance selection, in list order.
    std::vector<int> MultipleInstances() const;

    bool HasSelection = false;
    FileKind SelKind = FileKind::IPL;
    int SelSection = 0;
    int SelFile = 0;
    int SelRecord = 0;

    QLabel* ModeValue = nullptr;
    QLabel* FileIndexValue = nullptr;
    QLineEdit* ExpandedEdit = nullptr;
    QListWidget* EditIPLMultInstList = nullptr;
    QLabel* EditIPLMultInstItemCount = nullptr;
    QLabel* EditIPLMultInstItemCenter = nullptr;

private:
    TIPLFile* selectedIPLFile() const;
    TGTASInstObj* instance(int record) const;
    void addInstanceRow(int record);
    int rowOf(int record) const;
    void showMultipleCount();

    TGTAFileList* m_fileList = nullptr;
    TGLView* m_view = nullptr;
};
