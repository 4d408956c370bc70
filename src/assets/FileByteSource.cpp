#include "FileByteSource.h"

#include "SystemFiles.h"

#include <cerrno>
#include <climits>

std::size_t FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> into) const
{
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(LLONG_MAX))
        return 0;
    std::size_t done = 0;
    while (done < into.size()) {
        const std::int64_t got = systemfiles::readAt(m_fd, into.data() + done, into.size() - done, offset + done);
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}
