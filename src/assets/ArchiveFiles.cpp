#include "ArchiveFiles.h"

#include <cerrno>

namespace sys = systemfiles;

int openArchiveFileLocked(const std::string& path, sys::OpenMode mode)
{
    const int fd = sys::openFile(path, mode);
    if (fd < 0)
        return -errno;
    if (sys::lockExclusive(fd) != 0) {
        const int error = errno;
        sys::closeFile(fd);
        return -error;
    }
    return fd;
}

int writeAllAt(int fd, const char* data, std::size_t size, std::uint64_t offset)
{
    while (size > 0) {
        const std::int64_t written = sys::writeAt(fd, data, size, offset);
        if (written < 0)
            return errno;
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
    return 0;
}
