#include "TGTA3Archive.h"

#include "ArchiveFiles.h"
#include "FileIO.h"
#include "Log.h"
#include "SystemFiles.h"
#include "TextParser.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>

// Directory record, 32 bytes, little-endian, no header, no count:
//   0  u32       Offset  start of the data in the ".img", in 2048-byte sectors
//   4  u32       Size    length of the data, in whole sectors
//   8  char[24]  Name    zero-padded; no zero when all 24 are used
// A trailing piece shorter than 32 bytes is not a record.

namespace {

namespace sys = systemfiles;

constexpr std::uint64_t SectorSize = 2048;
constexpr std::size_t RecordSize = 32;
constexpr std::size_t CopyPiece = 64 * 1024;

std::uint32_t getU32(const std::uint8_t* bytes)
{
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16
        | std::uint32_t{bytes[3]} << 24;
}

void putU32(char* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
}

TImgEntry entryFromRecord(const std::uint8_t* record, std::int32_t index)
{
    TImgEntry entry;
    entry.Offset = getU32(record);
    entry.Size = getU32(record + 4);
    std::memcpy(entry.Name, record + 8, sizeof entry.Name);
    entry.Index = index;
    return entry;
}

void recordFromEntry(const TImgEntry& entry, char* record)
{
    putU32(record, entry.Offset);
    putU32(record + 4, entry.Size);
    std::memcpy(record + 8, entry.Name, sizeof entry.Name);
}

// The ".dir" beside the ".img". On a case-sensitive file system "GTA3.IMG" may sit beside
// "gta3.dir" or "GTA3.DIR": an existing directory file is matched without regard to case.
std::string directoryPathFor(const std::string& imgPath)
{
    namespace fs = std::filesystem;
    fs::path dir = sys::pathFromUtf8(imgPath);
    dir.replace_extension(".dir");
    std::error_code error;
    if (fs::exists(dir, error))
        return sys::utf8FromPath(dir);
    const fs::path folder = dir.has_parent_path() ? dir.parent_path() : fs::path(".");
    const std::string wanted = sys::utf8FromPath(dir.filename());
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (equalsIgnoringCase(sys::utf8FromPath(it->path().filename()), wanted))
            return sys::utf8FromPath(dir.has_parent_path() ? folder / it->path().filename() : it->path().filename());
    }
    return sys::utf8FromPath(dir);
}

int fileLength(int fd, std::uint64_t& length)
{
    return sys::fileLength(fd, length) != 0 ? errno : 0;
}

bool isUnsafeInFileName(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F || std::strchr("<>:\"|?*", c) != nullptr;
}

} // namespace

TGTA3Archive::TGTA3Archive(std::string fileName, bool createNew)
    : FileName(std::move(fileName)), m_dirFileName(directoryPathFor(FileName))
{
    if (!openBoth(createNew)) {
        ReadOnly = true;
        openBothReadOnly();
    }
    Opened = ImgStream >= 0 && DirStream >= 0;
    if (Opened) {
        m_openError = 0;
        readDirectory();
    }
    BuildNameIndex();
}

TGTA3Archive::TGTA3Archive(std::vector<std::uint8_t> directory, std::vector<std::uint8_t> data)
    : m_memoryData(std::in_place, std::move(data)), m_memoryDirectory(std::move(directory))
{
    Opened = true;
    Entries.reserve(m_memoryDirectory.size() / RecordSize);
    appendRecords(m_memoryDirectory);
    BuildNameIndex();
}

TGTA3Archive::~TGTA3Archive()
{
    FreeNameIndex();
    closeBoth();
}

bool TGTA3Archive::openBoth(bool createNew)
{
    ImgStream = openArchiveFileLocked(FileName, createNew ? sys::OpenMode::ReadWriteCreate : sys::OpenMode::ReadWrite);
    if (ImgStream >= 0)
        DirStream = openArchiveFileLocked(m_dirFileName, createNew ? sys::OpenMode::ReadWriteCreate : sys::OpenMode::ReadWrite);
    const int failed = ImgStream < 0 ? ImgStream : DirStream;
    if (failed < 0) {
        m_openError = -failed;
        ImgStream = std::max(ImgStream, -1);
        DirStream = std::max(DirStream, -1);
        closeBoth();
        return false;
    }
    // A rebuild cut short by a crash is settled before anything is read.
    if (!createNew && !settleInterruptedRebuild()) {
        closeBoth();
        return false;
    }
    // Truncated only once both locks are held, never under another editor's feet.
    if (createNew && (sys::truncateFile(ImgStream, 0) != 0 || sys::truncateFile(DirStream, 0) != 0)) {
        m_openError = errno;
        closeBoth();
        return false;
    }
    return true;
}

bool TGTA3Archive::openBothReadOnly()
{
    ImgStream = sys::openFile(FileName, sys::OpenMode::Read);
    if (ImgStream >= 0)
        DirStream = sys::openFile(m_dirFileName, sys::OpenMode::Read);
    if (ImgStream < 0 || DirStream < 0) {
        m_openError = errno;
        closeBoth();
        return false;
    }
    return true;
}

void TGTA3Archive::closeBoth()
{
    if (ImgStream >= 0)
        sys::closeFile(ImgStream);
    if (DirStream >= 0)
        sys::closeFile(DirStream);
    ImgStream = -1;
    DirStream = -1;
}

void TGTA3Archive::readDirectory()
{
    // The reserve comes from the file's real length; the entries only from bytes read.
    std::uint64_t length = 0;
    if (fileLength(DirStream, length) == 0 && length / RecordSize < Entries.max_size())
        Entries.reserve(static_cast<std::size_t>(length / RecordSize) + 1);

    // A small directory gets a small buffer; room for two records at least, whatever the length says.
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(CopyPiece, length + 2 * RecordSize)));
    std::size_t held = 0;
    std::uint64_t position = 0;
    while (true) {
        const std::int64_t got = sys::readAt(DirStream, buffer.data() + held, buffer.size() - held, position);
        if (got <= 0)
            break;
        position += static_cast<std::uint64_t>(got);
        held += static_cast<std::size_t>(got);
        const std::size_t used = (held / RecordSize) * RecordSize;
        appendRecords(std::span(buffer.data(), used));
        std::memmove(buffer.data(), buffer.data() + used, held - used);
        held -= used;
    }
}

void TGTA3Archive::appendRecords(std::span<const std::uint8_t> bytes)
{
    for (std::size_t used = 0; bytes.size() - used >= RecordSize; used += RecordSize)
        Entries.push_back(entryFromRecord(bytes.data() + used, static_cast<std::int32_t>(Entries.size())));
}

const ByteSource& TGTA3Archive::ImgSource() const
{
    if (m_memoryData)
        return *m_memoryData;
    return m_imgSource;
}

int TGTA3Archive::EntryCount() const
{
    return Opened ? static_cast<int>(Entries.size()) : 0;
}

TImgEntry TGTA3Archive::GetEntry(int index) const
{
    if (index < 0 || index >= EntryCount()) {
        TImgEntry none;
        none.Index = -1;
        return none;
    }
    return Entries[static_cast<std::size_t>(index)];
}

int TGTA3Archive::copyEntry(int index, const std::function<bool(const char*, std::size_t)>& sink) const
{
    if (!Opened)
        return EBADF;
    if (index < 0 || index >= EntryCount())
        return EINVAL;
    const TImgEntry& entry = Entries[static_cast<std::size_t>(index)];
    std::uint64_t position = entry.Offset * SectorSize;
    std::uint64_t remaining = entry.Size * SectorSize;
    // An entry past the data file's end fails before anything is copied or a buffer is
    // made for it (a corrupt directory may name sizes of gigabytes).
    std::uint64_t available = 0;
    if (m_memoryData)
        available = m_memoryData->bytes().size();
    else if (const int error = fileLength(ImgStream, available))
        return error;
    if (remaining > 0 && (position > available || remaining > available - position))
        return EIO;
    if (m_memoryData) {
        const auto* bytes = reinterpret_cast<const char*>(m_memoryData->bytes().data());
        return remaining == 0 || sink(bytes + position, static_cast<std::size_t>(remaining)) ? 0 : EIO;
    }
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(remaining, CopyPiece)));
    while (remaining > 0) {
        if (position > static_cast<std::uint64_t>(LLONG_MAX))
            return EIO;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, buffer.size()));
        const std::int64_t got = sys::readAt(ImgStream, buffer.data(), want, position);
        if (got < 0)
            return errno;
        if (got == 0)
            return EIO; // the data file ends before the entry does
        if (!sink(buffer.data(), static_cast<std::size_t>(got)))
            return EIO;
        position += static_cast<std::uint64_t>(got);
        remaining -= static_cast<std::uint64_t>(got);
    }
    return 0;
}

int TGTA3Archive::ExtractEntry(int index, std::ostream& destination) const
{
    return copyEntry(index, [&destination](const char* data, std::size_t size) {
        try {
            destination.write(data, static_cast<std::streamsize>(size));
        } catch (const std::exception&) {
            return false; // a stream set to throw on failure
        }
        return !destination.fail();
    });
}

int TGTA3Archive::ExtractEntryToFolder(int index, const std::string& folder, std::string& writtenPath) const
{
    if (index < 0 || index >= EntryCount())
        return Opened ? EINVAL : EBADF;
    const std::string path = sys::utf8FromPath(sys::pathFromUtf8(folder)
                                               / sys::pathFromUtf8(safeEntryFileName(Entries[static_cast<std::size_t>(index)])));
    ReplacingFileWriter writer(path);
    if (writer.error() != 0)
        return writer.error();
    if (const int error = copyEntry(index, [&writer](const char* data, std::size_t size) {
            writer.write(std::string_view(data, size));
            return writer.error() == 0;
        }))
        return writer.error() != 0 ? writer.error() : error;
    if (const int error = writer.commit())
        return error;
    writtenPath = path;
    return 0;
}

int TGTA3Archive::AddFile(const std::string& name, std::istream& source)
{
    if (!Opened)
        return EBADF;
    if (ReadOnly || inMemory())
        return EROFS;
    std::uint64_t oldImgLength = 0;
    std::uint64_t oldDirLength = 0;
    if (const int error = fileLength(ImgStream, oldImgLength))
        return error;
    if (const int error = fileLength(DirStream, oldDirLength))
        return error;

    TImgEntry entry;
    // A data file that does not end on a sector boundary (not written by this program)
    // gets its last sector completed, so the new data starts where its Offset says.
    const std::uint64_t firstSector = (oldImgLength + SectorSize - 1) / SectorSize;
    if (firstSector > UINT32_MAX || oldDirLength / RecordSize > INT32_MAX)
        return EFBIG;
    entry.Offset = static_cast<std::uint32_t>(firstSector);
    entry.Index = static_cast<std::int32_t>(oldDirLength / RecordSize);
    std::memcpy(entry.Name, name.data(), std::min(name.size(), sizeof entry.Name));

    const auto rollBack = [&](int error) {
        if (sys::truncateFile(ImgStream, oldImgLength) != 0 || sys::truncateFile(DirStream, oldDirLength) != 0)
            logLine("archive: cannot cut " + FileName + " back after a failed add: " + std::strerror(errno));
        return error;
    };

    std::uint64_t copied = 0;
    std::vector<char> buffer(CopyPiece);
    try {
        if (source.fail())
            return EIO;
        while (true) {
            source.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const auto got = static_cast<std::size_t>(source.gcount());
            if (source.bad())
                return rollBack(EIO);
            if (got > 0) {
                if (const int error = writeAllAt(ImgStream, buffer.data(), got, firstSector * SectorSize + copied))
                    return rollBack(error);
                copied += got;
            }
            if (!source)
                break;
        }
    } catch (const std::exception&) {
        return rollBack(EIO);
    }

    const std::uint64_t sectors = (copied + SectorSize - 1) / SectorSize;
    if (sectors > UINT32_MAX - firstSector)
        return rollBack(EFBIG);
    entry.Size = static_cast<std::uint32_t>(sectors);
    if (sectors > 0 && sys::truncateFile(ImgStream, (firstSector + sectors) * SectorSize) != 0)
        return rollBack(errno);

    char record[RecordSize];
    recordFromEntry(entry, record);
    if (const int error = writeAllAt(DirStream, record, RecordSize, std::uint64_t(entry.Index) * RecordSize))
        return rollBack(error);

    Entries.push_back(entry);
    BuildNameIndex();
    entryChanged(entry.TrimmedName());
    return 0;
}

int TGTA3Archive::ReplaceEntry(const std::string& name, std::istream& source)
{
    const std::string_view kept = TrimText(name);
    std::uint64_t oldImgLength = 0;
    std::uint64_t oldDirLength = 0;
    if (Opened) {
        if (const int error = fileLength(ImgStream, oldImgLength))
            return error;
        if (const int error = fileLength(DirStream, oldDirLength))
            return error;
    }
    const std::size_t before = Entries.size();
    // Not the override: a derived archive set must not take the new entry for a new object.
    if (const int error = TGTA3Archive::AddFile(name, source))
        return error;
    std::vector<std::size_t> marked;
    for (std::size_t pos = 0; pos < before; ++pos)
        if (!Entries[pos].Deleted && equalsIgnoringCase(Entries[pos].TrimmedView(), kept)) {
            Entries[pos].Deleted = true;
            marked.push_back(pos);
        }
    const int error = CommitDeletions();
    if (error == 0)
        return 0;
    // The old directory stands: take the new entry's record and data off again, so the old
    // entry stays the one found by its name. Deletions marked before the replace stay marked.
    for (std::size_t pos : marked)
        Entries[pos].Deleted = false;
    if (DirStream < 0 || sys::truncateFile(ImgStream, oldImgLength) != 0 || sys::truncateFile(DirStream, oldDirLength) != 0)
        logLine("archive: cannot cut " + FileName + " back after a failed replace: " + std::strerror(errno));
    Entries.resize(before);
    BuildNameIndex();
    entryChanged(kept);
    return error;
}

void TGTA3Archive::MarkDeleted(int index)
{
    if (index >= 0 && index < static_cast<int>(Entries.size()))
        Entries[static_cast<std::size_t>(index)].Deleted = true;
}

int TGTA3Archive::CommitDeletions()
{
    if (!Opened)
        return EBADF;
    if (ReadOnly)
        return EROFS;
    std::vector<TImgEntry> kept;
    std::vector<std::string> removed;
    std::string directory;
    for (const TImgEntry& entry : Entries) {
        if (entry.Deleted) {
            removed.push_back(entry.TrimmedName());
            continue;
        }
        kept.push_back(entry);
        kept.back().Index = static_cast<std::int32_t>(kept.size() - 1);
        char record[RecordSize];
        recordFromEntry(entry, record);
        directory.append(record, RecordSize);
    }
    if (removed.empty())
        return 0;

    if (inMemory())
        m_memoryDirectory.assign(directory.begin(), directory.end());
    else if (const int error = replaceDirectoryFile(directory))
        return error;

    Entries = std::move(kept);
    BuildNameIndex();
    for (auto name = removed.rbegin(); name != removed.rend(); ++name)
        entryChanged(*name);
    return 0;
}

int TGTA3Archive::replaceDirectoryFile(const std::string& directory)
{
#ifdef _WIN32
    // Windows renames nothing over a file that is open, not even over our own descriptor:
    // the directory (and its lock) is let go for the replace and taken again after it.
    sys::closeFile(DirStream);
    DirStream = -1;
#endif
    // The new directory is written beside the old one and renamed over it: a failure
    // leaves the old directory whole, never half old and half new.
    const int replaceError = replaceFileContents(m_dirFileName, directory);
#ifndef _WIN32
    if (replaceError != 0)
        return replaceError;
#endif

    // The descriptor and the lock still belong to the replaced file.
    const int reopened = openArchiveFileLocked(m_dirFileName, sys::OpenMode::ReadWrite);
    if (DirStream >= 0)
        sys::closeFile(DirStream);
    DirStream = std::max(reopened, -1);
    if (reopened < 0) {
        ReadOnly = true;
        logLine("archive: " + m_dirFileName + " cannot be opened for writing again: " + std::strerror(-reopened));
    }
    return replaceError;
}

int TGTA3Archive::FindEntry(std::string_view name) const
{
    if (m_nameIndex.built())
        return m_nameIndex.find(name);
    for (std::size_t i = 0; i < Entries.size(); ++i) {
        if (equalsIgnoringCase(Entries[i].TrimmedName(), name))
            return static_cast<int>(i);
    }
    return -1;
}

void TGTA3Archive::BuildNameIndex()
{
    std::vector<std::string_view> names;
    names.reserve(Entries.size());
    for (const TImgEntry& entry : Entries)
        names.push_back(entry.TrimmedView());
    m_nameIndex.build(names);
}

void TGTA3Archive::FreeNameIndex()
{
    m_nameIndex.clear();
}

void TGTA3Archive::entryChanged(std::string_view name) const
{
    if (EntryChanged)
        EntryChanged(name);
}

std::string safeEntryFileName(const TImgEntry& entry)
{
    std::string name = entry.TrimmedName();
    if (const auto separator = name.find_last_of("/\\"); separator != std::string::npos)
        name.erase(0, separator + 1);
    while (!name.empty() && static_cast<unsigned char>(name.front()) <= 0x20)
        name.erase(name.begin());
    std::replace_if(name.begin(), name.end(), isUnsafeInFileName, '_');
    if (name.empty() || name == "." || name == "..") {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, entry.Index);
        name = "entry" + std::string(digits, result.ptr);
    }
    return name;
}
