#include "TFormEditorIDE.h"

#include "DatReferences.h"
#include "DialogService.h"
#include "IDESections.h"
#include "MapDocument.h"
#include "MapSearch.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QAction>
#include <QMenu>

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
    ActionFindPlacements = addFindCommand(QStringLiteral("Find Placements of This Definition"), "ActionFindPlacements");
    connect(ActionFindPlacements, &QAction::triggered, this, &TFormEditorIDE::ActionFindPlacementsExecute);
    // After the shared handler has added the record: a chosen range that had no free ID left.
    connect(ActionEditAdd, &QAction::triggered, this, [this] {
        if (!m_rangeFull || !m_newIDRange)
            return;
        m_rangeFull = false;
        dialogs().showMessage(MessageKind::Warning, QString(),
                              QStringLiteral("No free ID is left from ") + QString::number(m_newIDRange->first) +
                                  QStringLiteral(" to ") + QString::number(m_newIDRange->second) +
                                  QStringLiteral(": the new definition has the ID ") + QString::number(m_fullFallbackID) +
                                  QStringLiteral(", the highest ID + 1."));
    });
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
    ActionFindPlacements->setEnabled(chosenDefinition() != nullptr);
    if (const TGTASObjsObj* definition = chosenDefinition())
        emit definitionChosen(definition->ID, CurrentSection() == SectionCode::TObj);
    else if (record < 0 && CurrentSection() == SectionCode::Objs)
        emit definitionCleared();
}

void TFormEditorIDE::recordsRefreshed()
{
    ActionEditAddInstance->setEnabled(false);
    ActionFindPlacements->setEnabled(false);
}

void TFormEditorIDE::ActionFindPlacementsExecute()
{
    if (const TGTASObjsObj* definition = chosenDefinition())
        emit placementsRequested(definition->ID);
}

void TFormEditorIDE::SetNewIDRange(std::optional<std::pair<int, int>> range)
{
    if (range && range->first > range->second)
        range.reset();
    m_newIDRange = range;
    const QString tip = range ? QStringLiteral("Add Item (new IDs from ") + QString::number(range->first) +
                                    QStringLiteral(" to ") + QString::number(range->second) + QStringLiteral(")")
                              : QStringLiteral("Add Item");
    ActionEditAdd->setToolTip(tip);
}

void TFormEditorIDE::recordAdded(TGTASFile& file, int record)
{
    m_rangeFull = false;
    TIDEFile& ide = static_cast<TIDEFile&>(file);
    TGTASObjsObj* added = nullptr;
    if (CurrentSection() == SectionCode::Objs && ide.Objs.IsValidIndex(record))
        added = &ide.Objs.Items[static_cast<size_t>(record)];
    else if (CurrentSection() == SectionCode::TObj && ide.TObj.IsValidIndex(record))
        added = &ide.TObj.Items[static_cast<size_t>(record)];
    if (!added || !m_newIDRange)
        return;
    const auto [first, last] = *m_newIDRange;
    // The new record already holds the highest ID + 1, above every other ID: the first free
    // range reaching into the chosen one gives the answer unless that ID comes first.
    std::optional<int> free;
    for (const IdRange& range : idUsage(*fileList(), last + 1).free) {
        if (range.last >= first && range.first <= last) {
            free = std::max(range.first, first);
            break;
        }
    }
    const bool ownInRange = added->ID >= first && added->ID <= last;
    if (ownInRange && (!free || added->ID < *free))
        free = added->ID;
    if (free) {
        added->ID = *free;
    } else {
        m_rangeFull = true;
        m_fullFallbackID = added->ID;
    }
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
