#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The descriptor-level file calls of the core, one spelling on every platform. Paths are
// UTF-8 (on Windows they reach the wide-character API, so any letter works); descriptors are
// ints (on Windows the C runtime's, over a file handle); failures return -1 and leave an
// errno value in errno (Windows errors are mapped to the nearest one), as the POSIX calls do.
namespace systemfiles {

// Our strings are UTF-8; std::filesystem takes a plain string in the system's code page on
// Windows, so every path goes through these two.
std::filesystem::path pathFromUtf8(std::string_view path);
std::string utf8FromPath(const std::filesystem::path& path);

enum class OpenMode {
    Read,            // existing file, reading
    ReadWrite,       // existing file, reading and writing
    ReadWriteCreate, // reading and writing, created empty when missing
    ReadWriteEmpty,  // reading and writing, created or cut to nothing
};

// The descriptor, or -1. Every file is opened so that other programs may still read, write,
// rename and delete it (on Windows: all share modes); locking is separate.
int openFile(const std::string& path, OpenMode mode);
// A new file from `pattern`, whose last six characters ("XXXXXX") become a unique suffix;
// the pattern holds the name taken. The descriptor (reading and writing), or -1.
int createUniqueFile(std::string& pattern);
int closeFile(int fd);

// Bytes moved (0 at the end of the file), or -1; a call a signal interrupts is made again, so
// -1 never means EINTR. Reads and writes at a position do not use or move a position that
// matters to the sequential ones.
std::int64_t readNext(int fd, void* into, std::size_t size);
std::int64_t writeNext(int fd, const void* data, std::size_t size);
std::int64_t readAt(int fd, void* into, std::size_t size, std::uint64_t offset);
std::int64_t writeAt(int fd, const void* data, std::size_t size, std::uint64_t offset);

// 0 or -1, as the calls they stand for.
int fileLength(int fd, std::uint64_t& length);
int isDirectory(int fd, bool& directory);
int truncateFile(int fd, std::uint64_t length);
int flushToDisk(int fd);
// Takes the exclusive lock that every editor takes on an archive file, without waiting: -1
// with EWOULDBLOCK when another descriptor (of this or another process) holds it. The lock
// never stops others from reading the file.
int lockExclusive(int fd);
// Puts `from` in the place of `to`, replacing it whole in one step. On Windows (before
// Windows 10, on FAT and under Wine) a file that is open, even by this process, may not be
// replaced: the caller lets go of it first.
int replaceFile(const std::string& from, const std::string& to);
#ifdef _WIN32
constexpr bool ReplacesOpenFiles = false;
#else
constexpr bool ReplacesOpenFiles = true;
#endif
int removeFile(const std::string& path);
// Makes the renames and removals in the folder of `path` last through a crash (on Windows the
// file system records them itself once the replace returns).
int flushFolder(const std::string& path);
// Gives the file under `to` the access rights of the one under `from` (on Windows new files
// take the folder's, as every file made there).
int copyPermissions(int from, int to);

} // namespace systemfiles
