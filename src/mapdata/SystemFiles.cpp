#include "SystemFiles.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <random>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace systemfiles {

std::filesystem::path pathFromUtf8(std::string_view path)
{
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

std::string utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

#ifdef _WIN32

namespace {

// Files are replaced and read while a virus scanner or an indexer may hold them for a moment;
// a replace that meets such a holder is tried again for about a second before it fails.
constexpr int ReplaceTries = 20;
constexpr DWORD ReplacePause = 50; // milliseconds

// Large reads and writes go in pieces that a DWORD counts.
constexpr std::size_t LargestPiece = 1u << 30;

int errnoFromWindows(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_CURRENT_DIRECTORY:
        return EACCES;
    case ERROR_LOCK_VIOLATION:
        return EWOULDBLOCK;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    default:
        return EIO;
    }
}

int failWith(DWORD error)
{
    errno = errnoFromWindows(error);
    return -1;
}

// Windows answers "path not found" also when a folder of the path is a file; that is told
// apart as POSIX does, since the user can do something about it.
int errnoForPath(const std::wstring& path, DWORD error)
{
    if (error != ERROR_PATH_NOT_FOUND && error != ERROR_DIRECTORY)
        return errnoFromWindows(error);
    std::filesystem::path folder(path);
    for (folder = folder.parent_path(); folder.has_relative_path(); folder = folder.parent_path()) {
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ENOENT : ENOTDIR;
    }
    return ENOENT;
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A handle under a C runtime descriptor, which owns it from then on.
int descriptorFor(HANDLE handle, bool readOnly)
{
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | (readOnly ? _O_RDONLY : 0));
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

int openWide(const std::string& path, DWORD access, DWORD disposition)
{
    const std::wstring wide = pathFromUtf8(path).wstring();
    const HANDLE handle = CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder is refused as "access denied"; say what it is, as open() and read() do.
        const DWORD attributes = GetFileAttributesW(wide.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES
            && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            errno = EISDIR;
            return -1;
        }
        errno = errnoForPath(wide, error);
        return -1;
    }
    return descriptorFor(handle, access == GENERIC_READ);
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED position {};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

// Windows 10 and later replace a file that is open (the archive's own data file during a
// rebuild, a map file a viewer holds) when asked for POSIX semantics; older systems, other
// file systems and Wine refuse the request, and the caller falls back to MoveFileEx.
// FileRenameInfoEx: MinGW declares it only for newer Windows versions than it targets.
constexpr auto RenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

bool replaceKeepingOpenHandles(const std::wstring& source, const std::wstring& target)
{
    const HANDLE handle = CreateFileW(source.c_str(), DELETE | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    // The first member is a DWORD of flags here, whatever the headers' Windows version says.
    const DWORD flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    std::memcpy(buffer.data(), &flags, sizeof flags);
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.c_str(), nameBytes);
    const bool replaced = SetFileInformationByHandle(handle, RenameInfoEx, info, static_cast<DWORD>(buffer.size()));
    CloseHandle(handle);
    return replaced;
}

} // namespace

int openFile(const std::string& path, OpenMode mode)
{
    switch (mode) {
    case OpenMode::Read:
        return openWide(path, GENERIC_READ, OPEN_EXISTING);
    case OpenMode::ReadWrite:
        return openWide(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    case OpenMode::ReadWriteCreate:
        return openWide(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    case OpenMode::ReadWriteEmpty:
        return openWide(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    }
    errno = EINVAL;
    return -1;
}

int createUniqueFile(std::string& pattern)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    if (pattern.size() < 6 || pattern.compare(pattern.size() - 6, 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return -1;
    }
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = pattern.size() - 6; i < pattern.size(); ++i)
            pattern[i] = letters[pick(random)];
        const int fd = openWide(pattern, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

int closeFile(int fd)
{
    return _close(fd);
}

std::int64_t readNext(int fd, void* into, std::size_t size)
{
    DWORD got = 0;
    if (!ReadFile(handleOf(fd), into, static_cast<DWORD>(std::min(size, LargestPiece)), &got, nullptr))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : failWith(GetLastError());
    return got;
}

std::int64_t writeNext(int fd, const void* data, std::size_t size)
{
    DWORD written = 0;
    if (!WriteFile(handleOf(fd), data, static_cast<DWORD>(std::min(size, LargestPiece)), &written, nullptr))
        return failWith(GetLastError());
    return written;
}

std::int64_t readAt(int fd, void* into, std::size_t size, std::uint64_t offset)
{
    OVERLAPPED position = at(offset);
    DWORD got = 0;
    if (!ReadFile(handleOf(fd), into, static_cast<DWORD>(std::min(size, LargestPiece)), &got, &position))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : failWith(GetLastError());
    return got;
}

std::int64_t writeAt(int fd, const void* data, std::size_t size, std::uint64_t offset)
{
    OVERLAPPED position = at(offset);
    DWORD written = 0;
    if (!WriteFile(handleOf(fd), data, static_cast<DWORD>(std::min(size, LargestPiece)), &written, &position))
        return failWith(GetLastError());
    return written;
}

int fileLength(int fd, std::uint64_t& length)
{
    LARGE_INTEGER size {};
    if (!GetFileSizeEx(handleOf(fd), &size))
        return failWith(GetLastError());
    length = static_cast<std::uint64_t>(size.QuadPart);
    return 0;
}

int isDirectory(int fd, bool& directory)
{
    BY_HANDLE_FILE_INFORMATION information {};
    if (!GetFileInformationByHandle(handleOf(fd), &information))
        return failWith(GetLastError());
    directory = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return 0;
}

int truncateFile(int fd, std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EFBIG;
        return -1;
    }
    FILE_END_OF_FILE_INFO end {};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(length);
    if (!SetFileInformationByHandle(handleOf(fd), FileEndOfFileInfo, &end, sizeof end))
        return failWith(GetLastError());
    return 0;
}

int flushToDisk(int fd)
{
    if (!FlushFileBuffers(handleOf(fd)))
        return failWith(GetLastError());
    return 0;
}

int lockExclusive(int fd)
{
    // Windows locks are mandatory: a locked byte cannot be read through another handle. The
    // lock therefore covers one byte far past any real data, which no reader ever touches.
    OVERLAPPED position = at(0x7FFFFFFFFFFFFFFEull);
    if (!LockFileEx(handleOf(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &position)) {
        const DWORD error = GetLastError();
        errno = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? EWOULDBLOCK : errnoFromWindows(error);
        return -1;
    }
    return 0;
}

int replaceFile(const std::string& from, const std::string& to)
{
    // rename() will not replace an existing file on Windows; MoveFileEx does, in one step on
    // the same volume, and writes the change through before it returns. It still fails while
    // another program holds the target open without sharing its deletion.
    const std::wstring source = pathFromUtf8(from).wstring();
    const std::wstring target = pathFromUtf8(to).wstring();
    // A file the user marked read-only is not replaced (Windows refuses that itself; Wine
    // would not).
    const DWORD targetAttributes = GetFileAttributesW(target.c_str());
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_READONLY)) {
        errno = EACCES;
        return -1;
    }
    if (replaceKeepingOpenHandles(source, target))
        return 0;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < ReplaceTries; ++attempt) {
        if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            break;
        // A folder in the way will not change by waiting.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            break;
        Sleep(ReplacePause);
    }
    return failWith(error);
}

int removeFile(const std::string& path)
{
    if (!DeleteFileW(pathFromUtf8(path).wstring().c_str()))
        return failWith(GetLastError());
    return 0;
}

int flushFolder(const std::string&)
{
    return 0;
}

int copyPermissions(int, int)
{
    return 0;
}

#else

int openFile(const std::string& path, OpenMode mode)
{
    switch (mode) {
    case OpenMode::Read:
        return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    case OpenMode::ReadWrite:
        return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    case OpenMode::ReadWriteCreate:
        return ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_CREAT, 0644);
    case OpenMode::ReadWriteEmpty:
        return ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_CREAT | O_TRUNC, 0644);
    }
    errno = EINVAL;
    return -1;
}

int createUniqueFile(std::string& pattern)
{
    return ::mkstemp(pattern.data());
}

int closeFile(int fd)
{
    return ::close(fd);
}

// A signal that arrives while a read or write waits interrupts it before any byte moved: the
// call is made again here, so no caller has to.
template <typename Call>
std::int64_t retryingInterrupted(Call call)
{
    std::int64_t result = 0;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

std::int64_t readNext(int fd, void* into, std::size_t size)
{
    return retryingInterrupted([&] { return ::read(fd, into, size); });
}

std::int64_t writeNext(int fd, const void* data, std::size_t size)
{
    return retryingInterrupted([&] { return ::write(fd, data, size); });
}

std::int64_t readAt(int fd, void* into, std::size_t size, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EINVAL;
        return -1;
    }
    return retryingInterrupted([&] { return ::pread(fd, into, size, static_cast<off_t>(offset)); });
}

std::int64_t writeAt(int fd, const void* data, std::size_t size, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EFBIG;
        return -1;
    }
    return retryingInterrupted([&] { return ::pwrite(fd, data, size, static_cast<off_t>(offset)); });
}

int fileLength(int fd, std::uint64_t& length)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return -1;
    length = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

int isDirectory(int fd, bool& directory)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return -1;
    directory = S_ISDIR(info.st_mode);
    return 0;
}

int truncateFile(int fd, std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(LLONG_MAX)) {
        errno = EFBIG;
        return -1;
    }
    return ::ftruncate(fd, static_cast<off_t>(length));
}

int flushToDisk(int fd)
{
    return ::fsync(fd);
}

int lockExclusive(int fd)
{
    // An advisory lock: it keeps out other editors, which all ask for it, and nobody else.
    return ::flock(fd, LOCK_EX | LOCK_NB);
}

int replaceFile(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}

int removeFile(const std::string& path)
{
    return ::unlink(path.c_str());
}

int flushFolder(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const int fd = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    errno = error;
    return result;
}

int copyPermissions(int from, int to)
{
    struct stat info {};
    if (::fstat(from, &info) != 0)
        return -1;
    return ::fchmod(to, info.st_mode & 07777);
}

#endif

} // namespace systemfiles
