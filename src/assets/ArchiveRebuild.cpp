#include "ArchiveRebuild.h"

#include "ArchiveFiles.h"
#include "Log.h"
#include "SystemFiles.h"
#include "TGTA3Archive.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#if defined(__linux__)
#include <fcntl.h>
#include <unistd.h>
#endif

// The journal is one line of text; its presence, not its contents, commits the rebuild.
// The line only tells it apart from a stranger's file of the same name.

namespace sys = systemfiles;

namespace {

constexpr std::uint64_t SectorSize = 2048;
constexpr std::size_t RecordSize = 32;
constexpr std::size_t CopyPiece = 1024 * 1024;
constexpr char JournalText[] = "quoxmapper archive rebuild: replace both files by their pending copies\n";

// A rename or removal is on disk only once the folder holding it is flushed.
int syncFolder(const std::string& path)
{
    return sys::flushFolder(path) == 0 ? 0 : errno;
}

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::symlink_status(sys::pathFromUtf8(path), error).type() != std::filesystem::file_type::not_found
        && !error;
}

// Copies `length` bytes between two files, in the kernel where it can. EIO when the
// source ends first.
int copyRange(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t length,
              std::vector<char>& buffer, bool& kernelCopy)
{
    while (length > 0) {
        if (fromOffset > static_cast<std::uint64_t>(LLONG_MAX) || toOffset > static_cast<std::uint64_t>(LLONG_MAX))
            return EFBIG;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, CopyPiece));
        std::int64_t got = -1;
#if defined(__linux__)
        if (kernelCopy) {
            auto in = static_cast<off_t>(fromOffset);
            auto out = static_cast<off_t>(toOffset);
            got = ::copy_file_range(from, &in, to, &out, want, 0);
            if (got < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
        } else
#else
        kernelCopy = false;
#endif
        {
            if (buffer.size() < want)
                buffer.resize(CopyPiece);
            got = sys::readAt(from, buffer.data(), want, fromOffset);
            if (got > 0) {
                if (const int error = writeAllAt(to, buffer.data(), static_cast<std::size_t>(got), toOffset))
                    return error;
            }
        }
        if (got < 0 && errno == EINTR)
            continue; // the kernel's copy; reads retry on their own
        if (got < 0)
            return errno;
        if (got == 0)
            return EIO; // the data file ends before the entry does
        fromOffset += static_cast<std::uint64_t>(got);
        toOffset += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    return 0;
}

void putU32(char* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(value >> (8 * i));
}

// Writes the journal whole under a temporary name and renames it into place.
int writeJournal(const std::string& journal)
{
    const std::string temporary = journal + ".tmp";
    const int fd = sys::openFile(temporary, sys::OpenMode::ReadWriteEmpty);
    if (fd < 0)
        return errno;
    int error = writeAllAt(fd, JournalText, sizeof JournalText - 1, 0);
    if (error == 0 && sys::flushToDisk(fd) != 0)
        error = errno;
    if (sys::closeFile(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && sys::replaceFile(temporary, journal) != 0)
        error = errno;
    if (error != 0) {
        sys::removeFile(temporary);
        return error;
    }
    return syncFolder(journal);
}

bool isOurJournal(const std::string& journal)
{
    const int fd = sys::openFile(journal, sys::OpenMode::Read);
    if (fd < 0)
        return false;
    char text[sizeof JournalText] = {};
    const std::int64_t got = sys::readAt(fd, text, sizeof text, 0);
    sys::closeFile(fd);
    return got == static_cast<std::int64_t>(sizeof JournalText - 1) && std::memcmp(text, JournalText, sizeof JournalText - 1) == 0;
}

// Puts what a committed rebuild left in place: each pending file still there is renamed
// over its target, then the journal goes. Doing it twice does no harm.
int finishRebuild(const std::string& img, const std::string& dir, const std::string& journal)
{
    for (const std::string* target : {&img, &dir}) {
        const std::string pending = PendingName(*target);
        if (exists(pending) && sys::replaceFile(pending, *target) != 0)
            return errno;
    }
    if (const int error = syncFolder(img))
        return error;
    if (sys::removeFile(journal) != 0 && errno != ENOENT)
        return errno;
    return syncFolder(img);
}

} // namespace

std::string PendingName(const std::string& path)
{
    return path + ".rebuilt";
}

std::string JournalName(const std::string& imgPath)
{
    return imgPath + ".journal";
}

bool TGTA3Archive::settleInterruptedRebuild()
{
    const std::string journal = JournalName(FileName);
    const std::string pendingImg = PendingName(FileName);
    const std::string pendingDir = PendingName(m_dirFileName);
    sys::removeFile(journal + ".tmp");
    const bool committed = isOurJournal(journal);
    if (committed && !sys::ReplacesOpenFiles) {
        // The old files are about to be replaced, which this system allows only once they
        // are closed; they are opened and locked again below.
        closeBoth();
    }
    if (!committed) {
        // Not committed: the old files are whole and the new ones are unfinished.
        for (const std::string* pending : {&pendingImg, &pendingDir}) {
            if (exists(*pending) && sys::removeFile(*pending) != 0)
                logLine("archive: cannot remove the unfinished rebuild file " + *pending + ": " + std::strerror(errno));
        }
        return true;
    }
    logLine("archive: finishing the interrupted rebuild of " + FileName);
    if (const int error = finishRebuild(FileName, m_dirFileName, journal)) {
        // Neither pair can be trusted while a pending file sits unrenamed: keep away.
        logLine("archive: cannot finish the rebuild of " + FileName + ": " + std::strerror(error));
        m_openError = error;
        return false;
    }
    // The descriptors and their locks belong to the files as they were. Closed first: a
    // file renamed over by the rebuild before it stopped may be the one held here, and a
    // second lock on it would fail.
    closeBoth();
    ImgStream = openArchiveFileLocked(FileName, sys::OpenMode::ReadWrite);
    DirStream = ImgStream >= 0 ? openArchiveFileLocked(m_dirFileName, sys::OpenMode::ReadWrite) : -1;
    if (ImgStream < 0 || DirStream < 0) {
        m_openError = ImgStream < 0 ? -ImgStream : -DirStream;
        ImgStream = std::max(ImgStream, -1);
        DirStream = std::max(DirStream, -1);
        return false;
    }
    return true;
}

void TGTA3Archive::retakeOldFiles()
{
    ImgStream = std::max(openArchiveFileLocked(FileName, sys::OpenMode::ReadWrite), -1);
    DirStream = ImgStream >= 0 ? std::max(openArchiveFileLocked(m_dirFileName, sys::OpenMode::ReadWrite), -1) : -1;
    if (ImgStream < 0 || DirStream < 0) {
        // Another editor took the archive in the moment it was let go.
        closeBoth();
        ReadOnly = true;
        Opened = openBothReadOnly();
        logLine("archive: " + FileName + " could not be locked again and is open read-only");
    }
}

int TGTA3Archive::Rebuild(ArchiveRebuildReport& report, const RebuildObserver& observer)
{
    report = {};
    if (!Opened)
        return EBADF;
    if (ReadOnly || inMemory())
        return EROFS;
    const auto tell = [&observer](RebuildStage stage, int entry) {
        if (observer)
            observer(stage, entry);
    };

    std::uint64_t oldImgBytes = 0;
    if (sys::fileLength(ImgStream, oldImgBytes) != 0)
        return errno;
    report.oldBytes = oldImgBytes;
    report.entries = static_cast<int>(Entries.size());

    const std::string pendingImg = PendingName(FileName);
    const std::string pendingDir = PendingName(m_dirFileName);
    const std::string journal = JournalName(FileName);
    int newImg = openArchiveFileLocked(pendingImg, sys::OpenMode::ReadWriteEmpty);
    int newDir = newImg >= 0 ? openArchiveFileLocked(pendingDir, sys::OpenMode::ReadWriteEmpty) : -1;
    const auto abandon = [&](int error) {
        for (int* fd : {&newImg, &newDir}) {
            if (*fd >= 0)
                sys::closeFile(*fd);
            *fd = -1;
        }
        sys::removeFile(pendingImg);
        sys::removeFile(pendingDir);
        return error;
    };
    if (newImg < 0 || newDir < 0)
        return abandon(newImg < 0 ? -newImg : -newDir);
    // The new files keep the old ones' permissions.
    if (sys::copyPermissions(ImgStream, newImg) != 0 || sys::copyPermissions(DirStream, newDir) != 0)
        return abandon(errno);

    // The data, entry after entry in directory order, and the directory that points into it.
    std::vector<TImgEntry> moved = Entries;
    std::string directory;
    directory.reserve(Entries.size() * RecordSize);
    std::vector<char> buffer;
    bool kernelCopy = true;
    std::uint64_t sector = 0;
    report.oldOffsets.reserve(Entries.size());
    // Entries that lie one after the other in the old file are copied in one piece (most
    // of an archive, usually), up to a size that keeps the progress moving.
    constexpr std::uint64_t RunLimit = 16 * 1024 * 1024 / SectorSize;
    std::uint64_t runFrom = 0;
    std::uint64_t runTo = 0;
    std::uint64_t runLength = 0;
    std::size_t runFirst = 0;
    const auto flushRun = [&](std::size_t end) {
        if (runLength > 0) {
            if (const int error = copyRange(ImgStream, runFrom * SectorSize, newImg, runTo * SectorSize,
                                            runLength * SectorSize, buffer, kernelCopy)) {
                // Named by the first entry of the piece that the old file could not give.
                const std::uint64_t oldSectors = oldImgBytes / SectorSize;
                for (std::size_t pos = runFirst; pos < end; ++pos) {
                    const TImgEntry& entry = Entries[pos];
                    if (entry.Size > 0 && std::uint64_t{entry.Offset} + entry.Size > oldSectors) {
                        report.failedEntry = entry.TrimmedName();
                        break;
                    }
                }
                if (report.failedEntry.empty())
                    report.failedEntry = Entries[runFirst].TrimmedName();
                return error;
            }
        }
#if defined(__linux__)
        // The piece starts on its way to the disk now, while the next is copied, so that
        // the flush before the journal has little left to wait for.
        if (runLength > 0)
            ::sync_file_range(newImg, static_cast<off_t>(runTo * SectorSize), static_cast<off_t>(runLength * SectorSize),
                              SYNC_FILE_RANGE_WRITE);
#endif
        for (std::size_t pos = runFirst; pos < end; ++pos)
            tell(RebuildStage::EntryCopied, static_cast<int>(pos));
        runFirst = end;
        runLength = 0;
        return 0;
    };
    for (std::size_t pos = 0; pos < moved.size(); ++pos) {
        TImgEntry& entry = moved[pos];
        report.oldOffsets.push_back(entry.Offset);
        if (sector + entry.Size > UINT32_MAX)
            return abandon(EFBIG);
        const bool continues = runLength > 0 && entry.Offset == runFrom + runLength && runLength + entry.Size <= RunLimit;
        if (!continues && runLength > 0) {
            if (const int error = flushRun(pos))
                return abandon(error);
        }
        if (runLength == 0) {
            runFrom = entry.Offset;
            runTo = sector;
        }
        runLength += entry.Size;
        entry.Offset = static_cast<std::uint32_t>(sector);
        sector += entry.Size;
        char record[RecordSize];
        putU32(record, entry.Offset);
        putU32(record + 4, entry.Size);
        std::memcpy(record + 8, entry.Name, sizeof entry.Name);
        directory.append(record, RecordSize);
    }
    if (const int error = flushRun(moved.size()))
        return abandon(error);
    if (sys::truncateFile(newImg, sector * SectorSize) != 0)
        return abandon(errno);
    if (const int error = writeAllAt(newDir, directory.data(), directory.size(), 0))
        return abandon(error);
    if (sys::flushToDisk(newImg) != 0 || sys::flushToDisk(newDir) != 0)
        return abandon(errno);
    if (const int error = syncFolder(pendingImg))
        return abandon(error);
    tell(RebuildStage::FilesWritten, -1);

    if (const int error = writeJournal(journal))
        return abandon(error);
    tell(RebuildStage::JournalWritten, -1);

    // Committed. The new files are locked already, so no other editor gets in between
    // (where open files cannot be replaced, only for the moment of the first rename).
    if (!sys::ReplacesOpenFiles)
        closeBoth();
    if (sys::replaceFile(pendingImg, FileName) != 0) {
        const int error = errno;
        sys::removeFile(journal);
        syncFolder(journal);
        if (!sys::ReplacesOpenFiles)
            retakeOldFiles();
        return abandon(error);
    }
    tell(RebuildStage::DataReplaced, -1);
    int error = sys::replaceFile(pendingDir, m_dirFileName) == 0 ? 0 : errno;
    if (error == 0) {
        tell(RebuildStage::DirectoryReplaced, -1);
        error = syncFolder(FileName);
    }
    if (error == 0 && sys::removeFile(journal) != 0)
        error = errno;
    if (error == 0)
        error = syncFolder(journal);

    // From here on the new data file is the archive's, whatever else failed.
    closeBoth();
    ImgStream = newImg;
    DirStream = newDir;
    if (error != 0) {
        // The directory may still be the old one on disk; the journal stays, so the next
        // open finishes the rebuild. Until then nothing more is written.
        ReadOnly = true;
        logLine("archive: the rebuild of " + FileName + " is finished at the next open: " + std::strerror(error));
    }
    Entries = std::move(moved);
    BuildNameIndex();
    report.newBytes = sector * SectorSize;
    report.replaced = true;
    if (error == 0)
        tell(RebuildStage::Finished, -1);
    return error;
}
