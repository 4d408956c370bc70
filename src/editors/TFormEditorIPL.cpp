#include "TFormEditorIPL.h"

#include "DatReferences.h"
#include "FileRowsModel.h"
#include "IPLSections.h"
#include "MapListView.h"
#include "RecordRowsModel.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QAction>
#include <QMenu>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const MapFileKind IPLFiles = {
    FileKind::IPL,
    "IPL",
    "&Delete File",
    "ipl",
    "Object Instance Files (*.ipl)|*.ipl",
    "Object Instance Files (*.ipl)|*.ipl",
    []() -> std::unique_ptr<TGTASFile> { return std::make_unique<TIPLFile>(); },
    &DatReferences::AddIPLReference,
    &DatReferences::RemoveIPLReference,
};

}

TFormEditorIPL::TFormEditorIPL(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat,
                               QWidget* parent)
    : MapFileEditor(IPLFiles, iplSections(), document, itemEditor, view, dat, parent)
{
    setObjectName("TFormEditorIPL");
    setWindowTitle("IPL Editor");
    ActionEditDuplicate = new QAction(QStringLiteral("&Duplicate Item"), this);
    ActionEditDuplicate->setObjectName("ActionEditDuplicate");
    ActionEditDuplicate->setEnabled(false);
    addAction(ActionEditDuplicate);
    connect(ActionEditDuplicate, &QAction::triggered, this, &TFormEditorIPL::ActionEditDuplicateExecute);
    setRecordCommands({ActionEditDuplicate, ActionEditAdd, ActionEditDelete});
    ActionFindDefinition = addFindCommand(QStringLiteral("Find Definition"), "ActionFindDefinition");
    connect(ActionFindDefinition, &QAction::triggered, this, &TFormEditorIPL::ActionFindDefinitionExecute);
    // An instance picked in the 3D view shows its row here.
    if (itemEditor)
        connect(itemEditor, &TFormEditorItem::instancePicked, this, &TFormEditorIPL::SelectInList);

    PanelInstSelect = new QWidget(this);
    PanelInstSelect->setObjectName("PanelInstSelect");
    auto* panelLayout = new QHBoxLayout(PanelInstSelect);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    BtnInstSelectAll = new QPushButton(QStringLiteral("Select All Instances"), PanelInstSelect);
    BtnInstSelectAll->setObjectName("BtnInstSelectAll");
    panelLayout->addWidget(BtnInstSelectAll);
    layoutBelowRecords()->addWidget(PanelInstSelect);
    connect(BtnInstSelectAll, &QPushButton::clicked, this, &TFormEditorIPL::BtnInstSelectAllClick);
    recordsRefreshed();
}

void TFormEditorIPL::recordChosen(int record)
{
    ActionEditDuplicate->setEnabled(record >= 0);
    ActionFindDefinition->setEnabled(record >= 0 && CurrentSection() == SectionCode::Inst);
    if (CurrentSection() != SectionCode::Inst)
        return;
    const TIPLFile* file = fileList() ? fileList()->IPLFile(CurrentFile()) : nullptr;
    if (file && file->Inst.IsValidIndex(record))
        emit definitionChosen(file->Inst.Items[static_cast<size_t>(record)].ID, false);
    else
        emit definitionCleared();
}

void TFormEditorIPL::recordsRefreshed()
{
    ActionEditDuplicate->setEnabled(false);
    ActionFindDefinition->setEnabled(false);
    PanelInstSelect->setVisible(CurrentSection() == SectionCode::Inst);
}

SectionCode TFormEditorIPL::openedSection(int record, bool add)
{
    if (CurrentSection() != SectionCode::Inst)
        return CurrentSection();
    const TIPLFile* file = fileList()->IPLFile(CurrentFile());
    if (view() && file && file->Inst.IsValidIndex(record)) {
        const TGTASInstObj& inst = file->Inst.Items[static_cast<size_t>(record)];
        view()->CentreOn(inst.PosX, inst.PosY, inst.PosZ);
    }
    return add ? SectionCode::SeveralInst : SectionCode::Inst;
}

void TFormEditorIPL::SelectInList(int file, int record)
{
    int fileRow = fileRows().rowOf(file);
    if (fileRow < 0 && fileRows().rowCount() > 0)
        fileRow = 0;
    chooseFileRow(fileRow);
    SetSection(SectionCode::Inst);
    int row = recordRows().rowOf(record);
    if (row < 0 && recordRows().rowCount() > 0)
        row = 0;
    ListItems->selectRow(row);
}

void TFormEditorIPL::ActionFindDefinitionExecute()
{
    if (CurrentSection() == SectionCode::Inst && CurrentRecord() >= 0)
        emit definitionRequested(CurrentFile(), CurrentRecord());
}

void TFormEditorIPL::ActionEditDuplicateExecute()
{
    const int record = CurrentRecord();
    if (!currentFileObject() || record < 0)
        return;
    const std::vector<int> copies = DuplicateRecords(CurrentFile(), CurrentSection(), {record});
    if (!copies.empty())
        ListItems->selectRow(recordRows().rowOf(copies.front()));
    OpenRecord(CurrentRow(), false);
}

void TFormEditorIPL::BtnInstSelectAllClick()
{
    TFormEditorItem* editor = itemEditor();
    const TIPLFile* file = fileList() ? fileList()->IPLFile(CurrentFile()) : nullptr;
    if (!editor || !file || CurrentSection() != SectionCode::Inst)
        return;
    // From an empty selection, so that an instance already selected is listed once, not
    // twice or toggled out.
    editor->ClearSelection();
    std::vector<int> rows;
    for (int row = 0; row < recordRows().rowCount(); ++row) {
        if (file->Inst.IsValidIndex(recordRows().entryAt(row)))
            rows.push_back(row);
    }
    // The first two rows make the several-instance selection; the rest join it directly.
    const size_t opened = rows.size() < 3 ? rows.size() : 2;
    for (size_t i = 0; i < opened; ++i)
        OpenRecord(rows[i], true);
    std::vector<int> rest;
    for (size_t i = opened; i < rows.size(); ++i)
        rest.push_back(recordRows().entryAt(rows[i]));
    editor->AddInstances(rest);
}
