#include "FileIO.h"

#include "LargePages.h"
#include "SystemFiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace sys = systemfiles;

namespace {

constexpr size_t ReadPiece = 256 * 1024;
constexpr size_t SmallestPiece = 4 * 1024;

int lastError()
{
    return errno != 0 ? errno : EIO;
}

// Links are followed so that saving through one replaces the file it points to.
#ifdef _WIN32
std::string followLinks(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file = sys::pathFromUtf8(path);
    if (!fs::is_symlink(file, error))
        return path;
    const fs::path resolved = fs::canonical(file, error);
    return error ? path : sys::utf8FromPath(resolved);
}
#else
std::string followLinks(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return path;
    return resolved;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
#endif

// A file opened for reading, or minus the error; a folder is refused as one.
int openForReading(const std::string& path)
{
    const int fd = sys::openFile(path, sys::OpenMode::Read);
    if (fd < 0)
        return -lastError();
    bool directory = false;
    if (sys::isDirectory(fd, directory) == 0 && directory) {
        sys::closeFile(fd);
        return -EISDIR;
    }
    return fd;
}

// The piece to read at a time: the whole file and one byte more (the read that finds the end),
// within bounds. Every piece is zero-filled before it is read into, so a small file must not
// cost a large piece: a game's DAT file names hundreds of small files.
// `length` becomes the file's length, 0 when unknown.
size_t pieceFor(int fd, std::uint64_t& length)
{
    if (sys::fileLength(fd, length) != 0)
        length = 0;
    if (length >= ReadPiece)
        return ReadPiece;
    return std::max(static_cast<size_t>(length) + 1, SmallestPiece);
}

// Appends the next piece of the file to `text`: the bytes read (0 at the end), or minus the
// error with `text` as it was.
std::int64_t appendNextPiece(int fd, std::string& text, size_t piece)
{
    const size_t kept = text.size();
    text.resize(kept + piece);
    const std::int64_t got = sys::readNext(fd, text.data() + kept, piece);
    const int error = got < 0 ? lastError() : 0;
    text.resize(kept + static_cast<size_t>(std::max<std::int64_t>(got, 0)));
    return got < 0 ? -error : got;
}

} // namespace

int readLines(const std::string& path, const std::function<void(std::string_view)>& visit)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return -fd;

    std::uint64_t length = 0;
    const size_t piece = pieceFor(fd, length);
    std::string pending;
    pending.reserve(2 * piece);
    bool startOfFile = true;
    while (true) {
        const std::int64_t got = appendNextPiece(fd, pending, piece);
        if (got < 0) {
            sys::closeFile(fd);
            return static_cast<int>(-got);
        }
        const bool atEnd = got == 0;
        std::string_view data(pending);
        if (startOfFile && (data.size() >= 3 || atEnd)) {
            if (data.starts_with(ByteOrderMark))
                data.remove_prefix(ByteOrderMark.size());
            startOfFile = false;
        }
        if (startOfFile)
            continue;
        const size_t skipped = pending.size() - data.size();
        const size_t used = splitLines(data, atEnd, visit);
        pending.erase(0, skipped + used);
        if (atEnd)
            break;
    }
    sys::closeFile(fd);
    return 0;
}

int appendFileContents(const std::string& path, std::string& text)
{
    const int fd = openForReading(path);
    if (fd < 0)
        return -fd;
    const size_t start = text.size();
    std::uint64_t length = 0;
    const size_t piece = pieceFor(fd, length);
    if (length > 0) {
        text.reserve(start + static_cast<size_t>(length) + piece); // room for the read that finds the end
        adviseLargePagesForSpare(text);
    }
    while (true) {
        const std::int64_t got = appendNextPiece(fd, text, piece);
        if (got < 0) {
            sys::closeFile(fd);
            text.resize(start);
            return static_cast<int>(-got);
        }
        if (got == 0)
            break;
    }
    sys::closeFile(fd);
    return 0;
}

ReplacingFileWriter::ReplacingFileWriter(const std::string& path) : m_target(followLinks(path))
{
    m_temporary = m_target;
    m_temporary.append(TemporarySuffix).append("XXXXXX");
    m_fd = sys::createUniqueFile(m_temporary);
    if (m_fd < 0) {
        m_error = lastError();
        return;
    }
    m_created = true;
#ifndef _WIN32
    // On Windows the new file takes the folder's permissions, as any file made there.
    struct stat old {};
    const mode_t mode = ::stat(m_target.c_str(), &old) == 0 ? (old.st_mode & 07777) : newFileMode();
    if (::fchmod(m_fd, mode) != 0)
        m_error = lastError();
#endif
}

ReplacingFileWriter::~ReplacingFileWriter()
{
    if (m_fd >= 0)
        sys::closeFile(m_fd);
    if (m_created && !m_committed) {
        std::error_code ignored;
        std::filesystem::remove(sys::pathFromUtf8(m_temporary), ignored);
    }
}

void ReplacingFileWriter::write(std::string_view data)
{
    while (m_error == 0 && !data.empty()) {
        const std::int64_t written = sys::writeNext(m_fd, data.data(), data.size());
        if (written < 0) {
            m_error = lastError();
            return;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
}

int ReplacingFileWriter::commit()
{
    if (m_error == 0 && sys::flushToDisk(m_fd) != 0)
        m_error = lastError();
    if (m_fd >= 0 && sys::closeFile(m_fd) != 0 && m_error == 0)
        m_error = lastError();
    m_fd = -1;
    if (m_error == 0 && sys::replaceFile(m_temporary, m_target) != 0)
        m_error = lastError();
    m_committed = m_error == 0;
    if (m_committed)
        removeStaleTemporaries();
    return m_error;
}

// A save killed part way (power cut, SIGKILL) leaves its temporary file beside the target;
// the next good save of that target takes such leftovers away. Only old ones: a younger one
// may belong to a save another program is making right now.
void ReplacingFileWriter::removeStaleTemporaries() const
{
    constexpr auto StaleAge = std::chrono::minutes(10);
    namespace fs = std::filesystem;
    const fs::path target = sys::pathFromUtf8(m_target);
    const std::string prefix = sys::utf8FromPath(target.filename()).append(TemporarySuffix);
    const std::size_t nameLength = prefix.size() + 6; // the six characters the template fills
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(target.parent_path(), error), end; !error && it != end; it.increment(error)) {
        const std::string name = sys::utf8FromPath(it->path().filename());
        if (name.size() != nameLength || !name.starts_with(prefix) || !it->is_regular_file(error))
            continue;
        const auto written = fs::last_write_time(it->path(), error);
        if (!error && now - written > StaleAge)
            fs::remove(it->path(), error);
        error.clear();
    }
}

int replaceFileContents(const std::string& path, std::string_view contents)
{
    ReplacingFileWriter writer(path);
    writer.write(contents);
    return writer.commit();
}
