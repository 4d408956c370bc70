#include "MapDocument.h"

#include "RecordCommands.h"
#include "TGTAFileList.h"
#include "TGTASContainer.h"
#include "TGTASFile.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <algorithm>

MapDocument::MapDocument(TGTAFileList& files, TGTAImg* archiveSet, QObject* parent)
    : QObject(parent), m_files(files), m_archiveSet(archiveSet)
{
    for (const auto& file : m_files.Files) {
        if (file->Modified)
            m_marks[file.get()].saved = NeverSaved;
    }
    if (m_files.DatModified)
        m_marks[datKey()].saved = NeverSaved;
}

MapDocument::~MapDocument()
{
    // The steps tell the document they go while it still stands.
    m_stack.clear();
}

void MapDocument::registerCommand(DocumentCommand* command)
{
    m_commands.push_back(command);
}

void MapDocument::unregisterCommand(DocumentCommand* command)
{
    std::erase(m_commands, command);
}

void MapDocument::setSelection(DocumentSelection selection)
{
    if (selection == m_selection)
        return;
    m_selection = std::move(selection);
    endMerging();
    emit selectionChanged();
}

TGTASContainer* MapDocument::section(int file, int section) const
{
    const TGTASFile* shown = m_files.File(file);
    return shown ? shown->SectionAt(section) : nullptr;
}

MapDocument::RecordCopies MapDocument::copyRecords(int file, int section, std::vector<int> records) const
{
    RecordCopies copies{file, section, std::move(records), {}};
    const TGTASContainer* container = this->section(file, section);
    for (int record : copies.records)
        copies.copies.push_back(container ? container->CopyRecord(record) : std::any());
    return copies;
}

void MapDocument::recordsEdited(const QString& text, RecordCopies before, Merge merge, int mergeKey,
                                std::optional<std::uint64_t> restoredVersion)
{
    TGTASFile* file = m_files.File(before.file);
    if (!file || !file->SectionAt(before.section))
        return;
    const int section = before.section;
    RecordCopies after = copyRecords(before.file, section, before.records);
    auto* command = new RecordsEditCommand(*this, text, file, std::move(before), std::move(after), merge, mergeKey);
    if (restoredVersion)
        command->setVersionAfter(*restoredVersion);
    pushCommand(command);
    notifyRecordsChanged(file, section);
}

void MapDocument::editRecords(const QString& text, int file, int section, std::vector<int> records,
                              const std::function<void()>& change, Merge merge, int mergeKey)
{
    RecordCopies before = copyRecords(file, section, std::move(records));
    change();
    recordsEdited(text, std::move(before), merge, mergeKey);
}

std::vector<int> MapDocument::addRecords(const QString& text, int file, int section,
                                         const std::function<std::vector<int>()>& add)
{
    TGTASFile* changed = m_files.File(file);
    TGTASContainer* container = this->section(file, section);
    if (!changed || !container)
        return {};
    const bool presentBefore = container->Present;
    std::vector<int> records = add();
    if (records.empty())
        return records;
    auto* command = new RecordsInsertCommand(*this, text, changed, section, records, true, true);
    command->setPresentBefore(presentBefore);
    pushCommand(command);
    notifyRecordsChanged(changed, section);
    return records;
}

void MapDocument::deleteRecords(const QString& text, int file, int section, std::vector<int> records)
{
    TGTASFile* changed = m_files.File(file);
    TGTASContainer* container = this->section(file, section);
    if (!changed || !container)
        return;
    std::erase_if(records, [container](int record) { return record < 0 || record >= container->Count(); });
    if (records.empty())
        return;
    pushCommand(new RecordsInsertCommand(*this, text, changed, section, std::move(records), false, false));
}

void MapDocument::changeFiles(const QString& text, const std::function<std::vector<int>()>& change)
{
    std::vector<std::vector<std::any>> before;
    for (const auto& file : m_files.Files)
        before.push_back(FilesCommand::copySections(*file));
    const std::vector<std::string> datBefore = m_files.DatLines;
    std::vector<bool> modifiedBefore;
    for (const auto& file : m_files.Files)
        modifiedBefore.push_back(file->Modified);
    const std::vector<int> changed = change();
    std::vector<FilesCommand::FileCopy> copies;
    for (int file : changed) {
        TGTASFile* now = m_files.File(file);
        if (!now || static_cast<std::size_t>(file) >= before.size()
            || std::any_of(copies.begin(), copies.end(), [now](const auto& copy) { return copy.file == now; }))
            continue;
        copies.push_back({now, std::move(before[static_cast<std::size_t>(file)]), FilesCommand::copySections(*now)});
        // The step marks the file, so that the windows hear of the mark as of any other.
        now->Modified = modifiedBefore[static_cast<std::size_t>(file)];
    }
    const bool datChanged = m_files.DatLines != datBefore;
    if (copies.empty() && !datChanged)
        return;
    std::optional<std::vector<std::string>> datFrom;
    std::optional<std::vector<std::string>> datTo;
    if (datChanged) {
        datFrom = datBefore;
        datTo = m_files.DatLines;
    }
    std::vector<const TGTASFile*> files;
    for (const auto& copy : copies)
        files.push_back(copy.file);
    pushCommand(new FilesCommand(*this, text, std::move(copies), std::move(datFrom), std::move(datTo), true));
    for (const TGTASFile* file : files)
        notifyRecordsChanged(file, -1);
    if (datChanged)
        notifyDatChanged();
}

void MapDocument::setDatLines(const QString& text, std::vector<std::string> lines)
{
    if (lines == m_files.DatLines)
        return;
    pushCommand(new FilesCommand(*this, text, {}, m_files.DatLines, std::move(lines), false));
}

void MapDocument::datLinesEdited(const QString& text, std::vector<std::string> before)
{
    if (before == m_files.DatLines)
        return;
    pushCommand(new FilesCommand(*this, text, {}, std::move(before), m_files.DatLines, true));
    notifyDatChanged();
}

int MapDocument::addFile(std::unique_ptr<TGTASFile> file)
{
    const bool modified = file->Modified;
    const TGTASFile* added = file.get();
    const int pos = m_files.AddFile(std::move(file));
    m_marks[added] = {0, modified ? NeverSaved : 0};
    emit fileAdded(pos);
    emit changed();
    return pos;
}

int MapDocument::removeFile(int file)
{
    const TGTASFile* leaving = m_files.File(file);
    if (!leaving)
        return 0;
    int dropped = 0;
    for (DocumentCommand* command : m_commands) {
        if (command->refersTo(leaving) && !command->isObsolete()) {
            command->drop();
            ++dropped;
        }
    }
    if (dropped > 0)
        emit stepsRemoved(QString::fromStdString(leaving->FileName), dropped);
    m_marks.erase(leaving);
    if (m_selection.file == file)
        m_selection = {};
    else if (m_selection.file > file)
        --m_selection.file;
    m_files.RemoveFile(file);
    emit fileRemoved(file);
    emit selectionChanged();
    emit changed();
    return dropped;
}

void MapDocument::showFile(int file)
{
    TGTASFile* shown = m_files.File(file);
    if (!shown || shown->Visible)
        return;
    shown->Visible = true;
    emit fileShown(file);
    emit changed();
}

ModifiedFilesReport MapDocument::saveModified()
{
    ModifiedFilesReport report = SaveModifiedFiles(m_files);
    for (const ModifiedFilesReport::Entry& saved : report.saved) {
        const TGTASFile* file = m_files.File(saved.file);
        Marks& marks = m_marks[file];
        marks.saved = marks.current;
        emit modifiedChanged(saved.file);
    }
    return report;
}

int MapDocument::saveDat()
{
    const int error = m_files.SaveDat();
    if (error == 0) {
        Marks& marks = m_marks[datKey()];
        marks.saved = marks.current;
        updateModified(datKey());
    }
    return error;
}

bool MapDocument::anyModified() const
{
    return std::any_of(m_files.Files.begin(), m_files.Files.end(), [](const auto& file) { return file->Modified; });
}

int MapDocument::sectionIndex(const TGTASFile& file, SectionCode section)
{
    const TGTASContainer* container = nullptr;
    if (file.Kind == FileKind::IPL) {
        const auto& ipl = static_cast<const TIPLFile&>(file);
        switch (section) {
        case SectionCode::Inst:
        case SectionCode::SeveralInst:
        case SectionCode::PickedInst: container = &ipl.Inst; break;
        case SectionCode::Cull: container = &ipl.Cull; break;
        case SectionCode::Zone: container = &ipl.Zone; break;
        case SectionCode::Occl: container = &ipl.Occl; break;
        case SectionCode::Path: container = &ipl.Path; break;
        default: break;
        }
    } else {
        const auto& ide = static_cast<const TIDEFile&>(file);
        switch (section) {
        case SectionCode::Objs: container = &ide.Objs; break;
        case SectionCode::TObj: container = &ide.TObj; break;
        case SectionCode::Path: container = &ide.Path; break;
        case SectionCode::Fx2d: container = &ide.Fx2d; break;
        default: break;
        }
    }
    return file.SectionIndexOf(container);
}

int MapDocument::indexOf(const TGTASFile* file) const
{
    for (int pos = 0; pos < m_files.Count(); ++pos) {
        if (m_files.Files[static_cast<std::size_t>(pos)].get() == file)
            return pos;
    }
    return -1;
}

std::uint64_t MapDocument::version(const void* key) const
{
    const auto marks = m_marks.find(key);
    return marks == m_marks.end() ? 0 : marks->second.current;
}

void MapDocument::setVersion(const void* key, std::uint64_t version)
{
    m_marks[key].current = version;
    updateModified(key);
}

void MapDocument::updateModified(const void* key)
{
    const Marks& marks = m_marks[key];
    const bool modified = marks.current != marks.saved;
    if (key == datKey()) {
        if (m_files.DatModified != modified) {
            m_files.DatModified = modified;
            emit datModifiedChanged();
        }
        return;
    }
    const int pos = indexOf(static_cast<const TGTASFile*>(key));
    if (pos < 0)
        return;
    TGTASFile& file = *m_files.File(pos);
    if (file.Modified != modified) {
        file.Modified = modified;
        emit modifiedChanged(pos);
    }
}

void MapDocument::pushCommand(QUndoCommand* command)
{
    m_stack.push(command);
}

void MapDocument::notifyRecordsChanged(const TGTASFile* file, int section)
{
    const int pos = indexOf(file);
    if (pos >= 0)
        emit recordsChanged(pos, section);
}

void MapDocument::notifyDatChanged()
{
    emit datChanged();
}

void MapDocument::keepSelectionValid()
{
    if (m_selection.empty())
        return;
    const TGTASFile* file = m_files.File(m_selection.file);
    const TGTASContainer* records = nullptr;
    if (file && file->Kind == m_selection.kind)
        records = file->SectionAt(sectionIndex(*file, m_selection.section));
    DocumentSelection kept = m_selection;
    std::erase_if(kept.records, [records](int record) { return !records || record >= records->Count(); });
    if (kept.records.empty() && !m_selection.records.empty())
        kept = {};
    if (kept != m_selection) {
        m_selection = std::move(kept);
        emit selectionChanged();
    }
}
