#include "RecordCommands.h"

#include "TGTAFileList.h"
#include "TGTASContainer.h"
#include "TGTASFile.h"

#include <algorithm>

DocumentCommand::DocumentCommand(MapDocument& document, const QString& text, bool alreadyDone)
    : QUndoCommand(text), m_document(document), m_skipRedo(alreadyDone)
{
    m_document.registerCommand(this);
}

DocumentCommand::~DocumentCommand()
{
    m_document.unregisterCommand(this);
}

void DocumentCommand::touch(const TGTASFile* file)
{
    if (std::find(m_files.begin(), m_files.end(), file) != m_files.end())
        return;
    m_files.push_back(file);
    m_steps.push_back({file, m_document.version(file), m_document.newVersion()});
}

void DocumentCommand::touchDat()
{
    m_steps.push_back({m_document.datKey(), m_document.version(m_document.datKey()), m_document.newVersion()});
}

bool DocumentCommand::refersTo(const TGTASFile* file) const
{
    return std::find(m_files.begin(), m_files.end(), file) != m_files.end();
}

void DocumentCommand::undo()
{
    if (isObsolete())
        return;
    apply(false);
    finish(false);
}

void DocumentCommand::redo()
{
    if (isObsolete())
        return;
    if (m_skipRedo)
        m_skipRedo = false;
    else
        apply(true);
    finish(true);
}

void DocumentCommand::finish(bool forward)
{
    for (const VersionStep& step : m_steps)
        m_document.setVersion(step.key, forward ? step.after : step.before);
    m_document.keepSelectionValid();
    emit m_document.changed();
}

RecordsEditCommand::RecordsEditCommand(MapDocument& document, const QString& text, TGTASFile* file,
                                       MapDocument::RecordCopies before, MapDocument::RecordCopies after,
                                       MapDocument::Merge merge, int mergeKey)
    : DocumentCommand(document, text, true), m_file(file), m_before(std::move(before)), m_after(std::move(after)),
      m_merge(merge), m_mergeKey(mergeKey), m_generation(document.mergeGeneration())
{
    touch(file);
}

bool RecordsEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const RecordsEditCommand*>(other);
    if (isObsolete() || next->m_merge != m_merge || next->m_mergeKey != m_mergeKey
        || next->m_generation != m_generation || next->m_file != m_file || next->m_after.section != m_after.section
        || next->m_after.records != m_after.records)
        return false;
    m_after = next->m_after;
    m_steps.front().after = next->m_steps.front().after;
    return true;
}

void RecordsEditCommand::apply(bool forward)
{
    const MapDocument::RecordCopies& state = forward ? m_after : m_before;
    TGTASContainer* container = m_file->SectionAt(state.section);
    if (!container)
        return;
    for (std::size_t i = 0; i < state.records.size(); ++i)
        container->PutRecord(state.records[i], state.copies[i]);
    m_document.notifyRecordsChanged(m_file, state.section);
}

RecordsInsertCommand::RecordsInsertCommand(MapDocument& document, const QString& text, TGTASFile* file, int section,
                                           std::vector<int> records, bool inserting, bool alreadyDone)
    : DocumentCommand(document, text, alreadyDone), m_file(file), m_section(section), m_records(std::move(records)),
      m_inserting(inserting)
{
    std::sort(m_records.begin(), m_records.end());
    m_records.erase(std::unique(m_records.begin(), m_records.end()), m_records.end());
    const TGTASContainer* container = file->SectionAt(section);
    m_presentBefore = container && container->Present;
    if (container) {
        for (int record : m_records) {
            m_copies.push_back(container->CopyRecord(record));
            m_readIndexes.push_back(container->ReadIndex(record));
        }
    }
    touch(file);
}

void RecordsInsertCommand::apply(bool forward)
{
    TGTASContainer* container = m_file->SectionAt(m_section);
    if (!container)
        return;
    if (forward == m_inserting) {
        const bool present = container->Present;
        for (std::size_t i = 0; i < m_records.size(); ++i)
            container->InsertRecordCopy(m_records[i], m_copies[i], m_readIndexes[i]);
        // Putting deleted records back does not make a section appear that was not there.
        container->Present = forward || present || m_presentBefore;
    } else {
        for (auto record = m_records.rbegin(); record != m_records.rend(); ++record)
            container->RemoveRecord(*record);
        if (!forward)
            container->Present = m_presentBefore;
    }
    m_document.notifyRecordsChanged(m_file, m_section);
}

FilesCommand::FilesCommand(MapDocument& document, const QString& text, std::vector<FileCopy> files,
                           std::optional<std::vector<std::string>> datBefore,
                           std::optional<std::vector<std::string>> datAfter, bool alreadyDone)
    : DocumentCommand(document, text, alreadyDone), m_copies(std::move(files)), m_datBefore(std::move(datBefore)),
      m_datAfter(std::move(datAfter))
{
    for (const FileCopy& copy : m_copies)
        touch(copy.file);
    if (m_datBefore && m_datAfter)
        touchDat();
}

std::vector<std::any> FilesCommand::copySections(const TGTASFile& file)
{
    std::vector<std::any> sections;
    for (int section = 0; section < file.SectionCount(); ++section)
        sections.push_back(file.SectionAt(section)->CopySection());
    return sections;
}

void FilesCommand::apply(bool forward)
{
    for (const FileCopy& copy : m_copies) {
        const std::vector<std::any>& sections = forward ? copy.after : copy.before;
        for (std::size_t section = 0; section < sections.size(); ++section)
            copy.file->SectionAt(static_cast<int>(section))->PutSection(sections[section]);
        m_document.notifyRecordsChanged(copy.file, -1);
    }
    if (m_datBefore && m_datAfter) {
        m_document.files().DatLines = forward ? *m_datAfter : *m_datBefore;
        m_document.notifyDatChanged();
    }
}
