#pragma once

#include "DocumentSelection.h"
#include "ModifiedFilesSave.h"

#include <QObject>
#include <QUndoStack>

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class DocumentCommand;
class TGTAFileList;
class TGTASContainer;
class TGTASFile;
class TGTAImg;

// The map being edited: the game's file list, the archive set and the selection, and the undo
// stack through which every change to records and DAT lines is made. Each change is a command;
// doing, undoing and redoing it emits the signals the windows follow. A file's modified mark
// follows the stack: each file has a version that every command moves on, and the file is
// modified while its version is not the one it was saved at.
class MapDocument : public QObject {
    Q_OBJECT
public:
    // The copies of some records of one section, taken before or after an edit.
    struct RecordCopies {
        int file = -1;
        int section = -1; // the section's place in its file kind's order
        std::vector<int> records;
        std::vector<std::any> copies;
    };

    // Edits of one kind that merge while they follow each other on the same records:
    // typing into one field, one drag, one held nudge button.
    enum class Merge { None, Field, Move };

    MapDocument(TGTAFileList& files, TGTAImg* archiveSet = nullptr, QObject* parent = nullptr);
    ~MapDocument() override;

    TGTAFileList& files() const { return m_files; }
    TGTAImg* archiveSet() const { return m_archiveSet; }
    void setArchiveSet(TGTAImg* archiveSet) { m_archiveSet = archiveSet; }
    QUndoStack& undoStack() { return m_stack; }

    const DocumentSelection& selection() const { return m_selection; }
    void setSelection(DocumentSelection selection);

    // Record edits. A window copies the records it is about to change, changes them and
    // hands the copies back with the step's text: the document takes the records as they now
    // are and puts the step on the stack. Consecutive steps with the same merge kind and key
    // on the same records become one until `endMerging`.
    RecordCopies copyRecords(int file, int section, std::vector<int> records) const;
    // `restoredVersion`: the edit puts the records back as they were at that version of the
    // file (the item editor's restore), so the file's mark is what it was then.
    void recordsEdited(const QString& text, RecordCopies before, Merge merge = Merge::None, int mergeKey = 0,
                       std::optional<std::uint64_t> restoredVersion = std::nullopt);
    // Changes records through `change` as one step.
    void editRecords(const QString& text, int file, int section, std::vector<int> records,
                     const std::function<void()>& change, Merge merge = Merge::None, int mergeKey = 0);
    // A field, drag or held button is let go: the next edit is a step of its own.
    void endMerging() { ++m_mergeGeneration; }
    std::uint64_t mergeGeneration() const { return m_mergeGeneration; }

    // Records added (appended or inserted, in ascending order) or deleted as one step.
    // `add` makes the new records and returns their positions.
    std::vector<int> addRecords(const QString& text, int file, int section, const std::function<std::vector<int>()>& add);
    void deleteRecords(const QString& text, int file, int section, std::vector<int> records);

    // A change of whole files (a validation run with fixes): every section of every file is
    // copied, `change` runs and names the files it changed; one step takes them all back.
    void changeFiles(const QString& text, const std::function<std::vector<int>()>& change);

    // The DAT file's lines replaced as one step; or changed already, handed over with the
    // lines as they were before.
    void setDatLines(const QString& text, std::vector<std::string> lines);
    void datLinesEdited(const QString& text, std::vector<std::string> before);

    // Files joining or leaving the list: not steps, since they change what is on disk or
    // what is loaded at once. Removing a file takes every step that refers to it off the
    // stack; the returned count says how many.
    int addFile(std::unique_ptr<TGTASFile> file);
    int removeFile(int file);
    // A hidden file made visible because one of its records was chosen: not a step, since
    // what is visible is a view of the map and not part of its files.
    void showFile(int file);

    // Saves every modified map file; each one written is marked saved at the stack's point.
    ModifiedFilesReport saveModified();
    // Saves the DAT file; 0 or the system's error code.
    int saveDat();
    bool anyModified() const;

    // The place of a section, as the windows name it, in the file kind's order; -1 when the
    // file has no such section.
    static int sectionIndex(const TGTASFile& file, SectionCode section);

    // For the commands: the file's place in the list (-1 when it left), the version steps.
    int indexOf(const TGTASFile* file) const;
    std::uint64_t newVersion() { return ++m_lastVersion; }
    std::uint64_t version(const void* key) const;
    void setVersion(const void* key, std::uint64_t version);
    const void* datKey() const { return &m_files; }
    // Signals of a command that was applied.
    void notifyRecordsChanged(const TGTASFile* file, int section);
    void notifyDatChanged();
    // Keeps the selection where its records still exist after an undo or redo.
    void keepSelectionValid();
    void registerCommand(DocumentCommand* command);
    void unregisterCommand(DocumentCommand* command);

signals:
    void recordsChanged(int file, int section);
    void fileAdded(int file);
    void fileRemoved(int file);
    void fileShown(int file);
    // Closing or deleting a file took this many of its steps off the stack.
    void stepsRemoved(const QString& file, int steps);
    void modifiedChanged(int file);
    void datChanged();
    void datModifiedChanged();
    void selectionChanged();
    // Anything the 3D view draws may have changed.
    void changed();

private:
    struct Marks {
        std::uint64_t current = 0;
        std::uint64_t saved = 0;
    };
    static constexpr std::uint64_t NeverSaved = UINT64_MAX;

    void updateModified(const void* key);
    void pushCommand(QUndoCommand* command);
    TGTASContainer* section(int file, int section) const;

    TGTAFileList& m_files;
    TGTAImg* m_archiveSet;
    std::vector<DocumentCommand*> m_commands; // every step alive, on the stack or being pushed
    QUndoStack m_stack;
    DocumentSelection m_selection;
    std::unordered_map<const void*, Marks> m_marks;
    std::uint64_t m_lastVersion = 0;
    std::uint64_t m_mergeGeneration = 0;
};
