#include "PlacementCommands.h"

#include "DialogService.h"
#include "MapDocument.h"
#include "PlacementText.h"
#include "TFormEditorIPL.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace {

// More rejected lines than this are counted, not listed: the message must fit the screen.
constexpr std::size_t ListedRejectedLines = 20;

QAction* newAction(QObject* owner, const char* name, const QString& caption, const QKeySequence& shortcut)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    return action;
}

QString rejectedLinesText(const std::vector<PlacementLines::Rejected>& rejected)
{
    QString text = QStringLiteral("ERROR: Nothing was pasted. These lines are not placements:");
    for (std::size_t i = 0; i < rejected.size() && i < ListedRejectedLines; ++i)
        text += QStringLiteral("\nLine %1: ").arg(rejected[i].line) + QString::fromStdString(rejected[i].text);
    if (rejected.size() > ListedRejectedLines)
        text += QStringLiteral("\n... and %1 more").arg(rejected.size() - ListedRejectedLines);
    return text;
}

} // namespace

PlacementCommands::PlacementCommands(MapDocument& document, TFormEditorIPL& iplEditor, TGLView* view, QObject* parent)
    : QObject(parent), m_document(document), m_iplEditor(iplEditor), m_view(view)
{
    ActionEditCopy = newAction(this, "ActionEditCopy", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")));
    ActionEditPaste = newAction(this, "ActionEditPaste", QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V")));
    ActionEditPasteAtTarget = newAction(this, "ActionEditPasteAtTarget", QStringLiteral("Paste at &Target"),
                                        QKeySequence(QStringLiteral("Ctrl+Shift+V")));
    ActionViewDelete = newAction(this, "ActionViewDelete", QStringLiteral("&Delete Placements"), QKeySequence(Qt::Key_Delete));
    ActionViewDuplicate = newAction(this, "ActionViewDuplicate", QStringLiteral("D&uplicate Placements"),
                                    QKeySequence(QStringLiteral("Ctrl+D")));
    // The IPL editor's Delete key deletes its chosen row; in the view it deletes the selection.
    for (QAction* action : {ActionViewDelete, ActionViewDuplicate})
        action->setShortcutContext(Qt::WidgetShortcut);
    // Copy and paste work in whichever window shows the view, the detached one too.
    if (m_view)
        m_view->addActions({ActionEditCopy, ActionEditPaste, ActionEditPasteAtTarget, ActionViewDelete, ActionViewDuplicate});
    connect(ActionEditCopy, &QAction::triggered, this, &PlacementCommands::ActionEditCopyExecute);
    connect(ActionEditPaste, &QAction::triggered, this, &PlacementCommands::ActionEditPasteExecute);
    connect(ActionEditPasteAtTarget, &QAction::triggered, this, &PlacementCommands::ActionEditPasteAtTargetExecute);
    connect(ActionViewDelete, &QAction::triggered, this, &PlacementCommands::ActionViewDeleteExecute);
    connect(ActionViewDuplicate, &QAction::triggered, this, &PlacementCommands::ActionViewDuplicateExecute);
}

int PlacementCommands::selectedPlacements(std::vector<int>& records) const
{
    const DocumentSelection& selection = m_document.selection();
    if (selection.empty() || selection.kind != FileKind::IPL
        || (selection.section != SectionCode::Inst && selection.section != SectionCode::SeveralInst)
        || !m_document.files().IPLFile(selection.file) || selection.records.empty())
        return -1;
    records = selection.records;
    return selection.file;
}

void PlacementCommands::selectPlacements(int file, const std::vector<int>& records)
{
    if (records.empty())
        return;
    m_document.setSelection(
        {FileKind::IPL, records.size() == 1 ? SectionCode::Inst : SectionCode::SeveralInst, file, records});
    m_document.showFile(file);
}

void PlacementCommands::ActionEditCopyExecute()
{
    std::vector<int> records;
    const int file = selectedPlacements(records);
    if (file < 0)
        return;
    const std::string text = placementText(m_document.files().IPLFile(file)->Inst, records);
    // Map text is bytes: one character per byte comes back as the same bytes.
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
}

void PlacementCommands::ActionEditPasteExecute()
{
    pasteFromClipboard(false);
}

void PlacementCommands::ActionEditPasteAtTargetExecute()
{
    pasteFromClipboard(true);
}

void PlacementCommands::pasteFromClipboard(bool atTarget)
{
    // The lines are checked before the user is asked for a file.
    PlacementLines read = readLines(QGuiApplication::clipboard()->text());
    if (!read.rejected.empty())
        return;
    if (read.records.empty()) {
        dialogs().showMessage(MessageKind::Information, QString(),
                              QStringLiteral("The clipboard holds no placements to paste."));
        return;
    }
    if (const std::optional<int> file = pasteTarget())
        pasteRecords(std::move(read.records), *file, atTarget);
}

PlacementLines PlacementCommands::readLines(const QString& text) const
{
    // Characters beyond one byte cannot be in a map file's names; they become '?'.
    PlacementLines read = readPlacementLines(text.toLatin1().toStdString());
    if (!read.rejected.empty())
        dialogs().showMessage(MessageKind::Error, QString(), rejectedLinesText(read.rejected));
    return read;
}

std::optional<int> PlacementCommands::pasteTarget()
{
    const TGTAFileList& files = m_document.files();
    if (files.IPLFile(m_iplEditor.CurrentFile()))
        return m_iplEditor.CurrentFile();
    QStringList names;
    std::vector<int> positions;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIPLFile* ipl = files.IPLFile(pos)) {
            names << QString::fromStdString(ipl->FileName);
            positions.push_back(pos);
        }
    }
    if (positions.empty()) {
        dialogs().showMessage(MessageKind::Error, QString(), QStringLiteral("ERROR: There is no IPL file to paste into!"));
        return std::nullopt;
    }
    const std::optional<int> chosen
        = dialogs().chooseItem(QStringLiteral("Paste"), QStringLiteral("Paste the placements into:"), names);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= positions.size())
        return std::nullopt;
    return positions[static_cast<std::size_t>(*chosen)];
}

std::vector<int> PlacementCommands::pasteRecords(std::vector<TGTASInstObj> records, int file, bool atTarget)
{
    TIPLFile* ipl = m_document.files().IPLFile(file);
    if (!ipl || records.empty())
        return {};
    const int dropped = fitInteriorColumn(records, ipl->Inst.ViceCity);
    if (atTarget && m_view) {
        const std::array<float, 3> centre = placementCentre(records);
        const std::array<float, 3> target = m_view->GetCameraTarget();
        for (TGTASInstObj& record : records) {
            record.PosX += target[0] - centre[0];
            record.PosY += target[1] - centre[1];
            record.PosZ += target[2] - centre[2];
        }
    }
    const std::size_t count = records.size();
    const std::vector<int> added = m_document.addRecords(
        count == 1 ? QStringLiteral("Paste Placement") : QStringLiteral("Paste %1 Placements").arg(count), file,
        MapDocument::sectionIndex(*ipl, SectionCode::Inst), [&] {
            std::vector<int> positions;
            positions.reserve(count);
            for (TGTASInstObj& record : records) {
                const int pos = ipl->Inst.NewRecord();
                ipl->Inst.Items[static_cast<std::size_t>(pos)] = std::move(record);
                positions.push_back(pos);
            }
            return positions;
        });
    selectPlacements(file, added);
    if (dropped > 0)
        dialogs().showMessage(MessageKind::Warning, QString(),
                              QStringLiteral("Warning: %1 of the pasted placements had an interior other than 0. ")
                                      .arg(dropped)
                                  + QString::fromStdString(ipl->FileName)
                                  + QStringLiteral(" is a GTA III file, which has no interior column: it was dropped."));
    return added;
}

void PlacementCommands::ActionViewDeleteExecute()
{
    std::vector<int> records;
    const int file = selectedPlacements(records);
    if (file >= 0)
        m_iplEditor.DeleteRecords(file, SectionCode::Inst, std::move(records));
}

void PlacementCommands::ActionViewDuplicateExecute()
{
    std::vector<int> records;
    const int file = selectedPlacements(records);
    if (file < 0)
        return;
    selectPlacements(file, m_iplEditor.DuplicateRecords(file, SectionCode::Inst, records));
}
