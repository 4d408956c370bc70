#pragma once

#include "ArchiveRebuild.h"
#include "FileByteSource.h"
#include "NameIndex.h"
#include "TImgEntry.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One opened archive: the ".img" data file and the ".dir" directory beside it. Both files
// stay open (and locked against other writers) for the archive's lifetime; the directory
// is kept in memory with a case-insensitive name index. File operations return 0 or the
// system's error code.
class TGTA3Archive {
public:
    // `FileName` is the ".img" path; the directory has the same path with ".dir". With
    // `CreateNew` both files are created empty. An archive that cannot be opened stays
    // empty with `Opened` false and `openError` set; what that means is the caller's business.
    TGTA3Archive(std::string FileName, bool CreateNew);
    // An archive held in memory, for checks that must not touch any file: the directory
    // file's bytes and the data file's. Entries are read and extracted as from files;
    // deletions change the directory in memory (see directoryBytes); nothing can be added
    // or rebuilt (EROFS).
    TGTA3Archive(std::vector<std::uint8_t> directory, std::vector<std::uint8_t> data);
    virtual ~TGTA3Archive();
    TGTA3Archive(const TGTA3Archive&) = delete;
    TGTA3Archive& operator=(const TGTA3Archive&) = delete;

    int EntryCount() const;
    // A copy of the entry at `index` (a default entry with Index -1 when out of range).
    TImgEntry GetEntry(int index) const;
    // The entry's whole sectors, filler included. EIO when the data file ends first.
    int ExtractEntry(int index, std::ostream& destination) const;
    // The entry's sectors into `folder` under its name made safe as a file name (see
    // safeEntryFileName); the file is replaced whole or not at all.
    int ExtractEntryToFolder(int index, const std::string& folder, std::string& writtenPath) const;
    // Appends the source's bytes from its current position as a new entry. On failure
    // both files are cut back to their old lengths and the entry list is unchanged.
    virtual int AddFile(const std::string& name, std::istream& source);
    // Adds the source as a new entry and removes the older entries of the same name (any
    // letter case). On failure both files and the entry list are as they were.
    int ReplaceEntry(const std::string& name, std::istream& source);
    void MarkDeleted(int index);
    // Removes the marked entries and replaces the directory file whole. On failure nothing
    // changes, in memory or on disk.
    int CommitDeletions();
    // Position of the entry whose trimmed name equals `name` without regard to case, or -1.
    // Among equal names, the first in directory order.
    int FindEntry(std::string_view name) const;
    void BuildNameIndex();
    void FreeNameIndex();
    // Writes both files again without the space deleted and replaced entries left, the
    // entries in directory order; safe against a crash at any point (ArchiveRebuild.h).
    // On success the archive goes on with the new files and `Entries` has the new offsets.
    virtual int Rebuild(ArchiveRebuildReport& report, const RebuildObserver& observer = {});
    // The data file, for models and dictionaries read from the archive.
    const ByteSource& ImgSource() const;
    // The directory as its file would hold it: of an archive in memory, the bytes kept
    // there (with deletions committed); of an archive on disk, nothing.
    const std::vector<std::uint8_t>& directoryBytes() const { return m_memoryDirectory; }

    // The error that left the archive unopened (0 when opened).
    int openError() const { return m_openError; }
    const std::string& dirFileName() const { return m_dirFileName; }

    std::string FileName;
    std::vector<TImgEntry> Entries;
    bool Opened = false;
    bool ReadOnly = false;
    // Called with an entry name whose entry was added or removed, so that the texture
    // dictionary lookups of the definitions can be redone.
    std::function<void(std::string_view entryName)> EntryChanged;

protected:
    int ImgStream = -1; // descriptor of the ".img" file
    int DirStream = -1; // descriptor of the ".dir" file

private:
    bool openBoth(bool createNew);
    bool openBothReadOnly();
    void closeBoth();
    void readDirectory();
    void appendRecords(std::span<const std::uint8_t> bytes);
    bool inMemory() const { return m_memoryData.has_value(); }
    int copyEntry(int index, const std::function<bool(const char*, std::size_t)>& sink) const;
    void entryChanged(std::string_view name) const;
    // Writes the directory file anew with `directory`'s records and reopens it locked.
    int replaceDirectoryFile(const std::string& directory);
    // Finishes or undoes what an interrupted rebuild left; called with both files locked.
    // False when the files could not be opened again afterwards.
    bool settleInterruptedRebuild();
    // Opens and locks the archive's files again after a failed replace that needed them
    // closed; read-only when another editor took the lock meanwhile.
    void retakeOldFiles();

    std::string m_dirFileName;
    NameIndex m_nameIndex; // trimmed entry names
    int m_openError = 0;
    FileByteSource m_imgSource{ImgStream};
    std::optional<MemoryByteSource> m_memoryData;
    std::vector<std::uint8_t> m_memoryDirectory;
};

// The entry name reduced to a file name that stays inside any folder: the last component
// after '/' or '\', characters unsafe in file names replaced by '_'; "entry<index>" when
// nothing usable is left.
std::string safeEntryFileName(const TImgEntry& entry);
