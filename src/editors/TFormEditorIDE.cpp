#include "TFormEditorIDE.h"

#include "DatReferences.h"
#include "DialogService.h"
#include "IDESections.h"
#include "MapDocument.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QAction>

namespace {

const MapFileKind IDEFiles = {
    FileKind::IDE,
    "IDE",
    "&Delete IDE File",
    "ide",
    "Object Definition Files (*.ide)|*.ide",
    "Object Instance Files (*.ide)|*.ide",
    []() -> std::unique_ptr<TGTASFile> { return std::make_unique<TIDEFile>(); },
    &DatReferences::AddIDEReference,
    &DatReferences::RemoveIDEReference,
};

}

TFormEditorIDE::TFormEditorIDE(MapDocument& document, TFormEditorItem* itemEditor, TGLView* view, DatReferences* dat,
                               TFormEditorIPL* iplEditor, QWidget* parent)
    : MapFileEditor(IDEFiles, ideSections(), document, itemEditor, view, dat, parent)
    , m_iplEditor(iplEditor)
{
    setObjectName("TFormEditorIDE");
    setWindowTitle("IDE Editor");
    ActionEditUseDefinition = new QAction(QStringLiteral("&Use Object Definition"), this);
    ActionEditUseDefinition->setObjectName("ActionEditUseDefinition");
    ActionEditUseDefinition->setEnabled(false);
    ActionEditAddInstance = new QAction(QStringLiteral("&Add Item Instance"), this);
    ActionEditAddInstance->setObjectName("ActionEditAddInstance");
    ActionEditAddInstance->setEnabled(false);
    addActions({ActionEditUseDefinition, ActionEditAddInstance});
    connect(ActionEditUseDefinition, &QAction::triggered, this, &TFormEditorIDE::ActionEditUseDefinitionExecute);
    connect(ActionEditAddInstance, &QAction::triggered, this, &TFormEditorIDE::ActionEditAddInstanceExecute);
    setRecordCommands({ActionEditAddInstance, ActionEditUseDefinition, ActionEditAdd, ActionEditDelete});
    recordsRefreshed();
    if (itemEditor) {
        // A definition can be handed only to a single instance, while one is selected.
        connect(&itemEditor->Document(), &MapDocument::selectionChanged, this, [this, itemEditor] {
            ActionEditUseDefinition->setEnabled(itemEditor->SelectedInst() != nullptr);
        });
    }
}

const TGTASObjsObj* TFormEditorIDE::chosenDefinition() const
{
    const TIDEFile* file = fileList() ? fileList()->IDEFile(CurrentFile()) : nullptr;
    const int record = CurrentRecord();
    if (!file)
        return nullptr;
    if (CurrentSection() == SectionCode::Objs && file->Objs.IsValidIndex(record))
        return &file->Objs.Items[static_cast<size_t>(record)];
    if (CurrentSection() == SectionCode::TObj && file->TObj.IsValidIndex(record))
        return &file->TObj.Items[static_cast<size_t>(record)];
    return nullptr;
}

void TFormEditorIDE::recordChosen(int record)
{
    ActionEditAddInstance->setEnabled(record >= 0);
    if (const TGTASObjsObj* definition = chosenDefinition())
        emit definitionChosen(definition->ID, CurrentSection() == SectionCode::TObj);
    else if (record < 0 && CurrentSection() == SectionCode::Objs)
        emit definitionCleared();
}

void TFormEditorIDE::recordsRefreshed()
{
    ActionEditAddInstance->setEnabled(false);
}

void TFormEditorIDE::ActionEditUseDefinitionExecute()
{
    const TGTASObjsObj* definition = chosenDefinition();
    if (definition && itemEditor())
        itemEditor()->UseDefinition(definition->ID, definition->ModelName);
}

void TFormEditorIDE::ActionEditAddInstanceExecute()
{
    if (CurrentRecord() < 0)
        return;
    const TGTASFile* target = m_iplEditor && fileList() ? fileList()->IPLFile(m_iplEditor->CurrentFile()) : nullptr;
    if (!target) {
        dialogs().showMessage(MessageKind::Error, QString(),
                              QStringLiteral("Please ensure a file is selected in the Item Placement panel!"));
        return;
    }
    if (dialogs().showMessage(MessageKind::Confirmation, QString(),
                              QStringLiteral("Add item instance of selected object to: ")
                                  + QString::fromStdString(target->FileName) + QStringLiteral("?"),
                              DialogButtons::YesNo)
        != DialogAnswer::Yes)
        return;
    const TGTASObjsObj* definition = chosenDefinition();
    MapDocument* document = Document();
    TIPLFile* ipl = fileList()->IPLFile(m_iplEditor->CurrentFile());
    if (!ipl)
        return;
    const int file = m_iplEditor->CurrentFile();
    const std::array<float, 3> place = view() ? view()->GetCameraTarget() : std::array<float, 3>{0, 0, 0};
    // The new instance and its definition are one step.
    const std::vector<int> added = document->addRecords(
        QStringLiteral("Add Item Instance"), file, MapDocument::sectionIndex(*ipl, SectionCode::Inst), [&] {
            const int record = ipl->Inst.NewRecordAt(place[0], place[1], place[2]);
            if (definition && ipl->Inst.IsValidIndex(record)) {
                TGTASInstObj& inst = ipl->Inst.Items[static_cast<std::size_t>(record)];
                inst.ID = definition->ID;
                inst.ModelName = definition->ModelName;
            }
            return std::vector<int>{record};
        });
    if (added.empty() || added[0] < 0)
        return;
    // Always an instance, whatever section the IPL editor showed: it shows the new row, and
    // the item editor the new record.
    m_iplEditor->SelectInList(file, added[0]);
    if (itemEditor())
        itemEditor()->SelectRecord(FileKind::IPL, SectionCode::Inst, added[0], file);
}
