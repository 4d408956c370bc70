#include "FileByteSource.h"

#include <cerrno>
#include <climits>
#include <unistd.h>

std::size_t FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> into) const
{
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(LLONG_MAX))
        return 0;
    std::size_t done = 0;
    while (done < into.size()) {
        const ssize_t got = ::pread(m_fd, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}
