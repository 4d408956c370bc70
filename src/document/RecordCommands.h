#pragma once

#include "MapDocument.h"

#include <QUndoCommand>

#include <any>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TGTASFile;

// One step on the document's stack. Each step moves the version of every file it touches
// (and of the DAT file) on when done and back when undone, so that the document knows which
// files are modified. A step whose change was already made when it was pushed skips its
// first redo. A step of a file that was closed is dropped: it does nothing and leaves the
// stack when reached.
class DocumentCommand : public QUndoCommand {
public:
    DocumentCommand(MapDocument& document, const QString& text, bool alreadyDone);
    ~DocumentCommand() override;

    void undo() final;
    void redo() final;

    bool refersTo(const TGTASFile* file) const;
    // The one file's version once the step is done, when it returns the file to a version
    // it had before.
    void setVersionAfter(std::uint64_t version) { m_steps.front().after = version; }
    void drop() { setObsolete(true); }

protected:
    virtual void apply(bool forward) = 0;
    void touch(const TGTASFile* file);
    void touchDat();
    MapDocument& m_document;

    struct VersionStep {
        const void* key;
        std::uint64_t before;
        std::uint64_t after;
    };
    std::vector<VersionStep> m_steps;
    std::vector<const TGTASFile*> m_files;

private:
    void finish(bool forward);
    bool m_skipRedo;
};

// Some records of one section changed in place: their copies before and after.
class RecordsEditCommand : public DocumentCommand {
public:
    RecordsEditCommand(MapDocument& document, const QString& text, TGTASFile* file, MapDocument::RecordCopies before,
                       MapDocument::RecordCopies after, MapDocument::Merge merge, int mergeKey);

    int id() const override { return m_merge == MapDocument::Merge::None ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void apply(bool forward) override;

    TGTASFile* m_file;
    MapDocument::RecordCopies m_before;
    MapDocument::RecordCopies m_after;
    MapDocument::Merge m_merge;
    int m_mergeKey;
    std::uint64_t m_generation;
};

// Records added to or deleted from one section, with their read indexes so that a deleted
// record put back is saved with its original text.
class RecordsInsertCommand : public DocumentCommand {
public:
    // `inserting`: doing the step adds the records; else doing it deletes them.
    RecordsInsertCommand(MapDocument& document, const QString& text, TGTASFile* file, int section,
                         std::vector<int> records, bool inserting, bool alreadyDone);

    // Records already added may have made their section appear: this is how it was before.
    void setPresentBefore(bool present) { m_presentBefore = present; }

private:
    void apply(bool forward) override;

    TGTASFile* m_file;
    int m_section;
    std::vector<int> m_records; // ascending
    std::vector<std::any> m_copies;
    std::vector<int> m_readIndexes;
    bool m_inserting;
    bool m_presentBefore;
};

// Whole files (every section) and the DAT lines, before and after.
class FilesCommand : public DocumentCommand {
public:
    struct FileCopy {
        TGTASFile* file;
        std::vector<std::any> before;
        std::vector<std::any> after;
    };

    FilesCommand(MapDocument& document, const QString& text, std::vector<FileCopy> files,
                 std::optional<std::vector<std::string>> datBefore, std::optional<std::vector<std::string>> datAfter,
                 bool alreadyDone);

    static std::vector<std::any> copySections(const TGTASFile& file);

private:
    void apply(bool forward) override;

    std::vector<FileCopy> m_copies;
    std::optional<std::vector<std::string>> m_datBefore;
    std::optional<std::vector<std::string>> m_datAfter;
};
