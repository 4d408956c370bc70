#include "LargePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

void adviseLargePages(const void* begin, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Below two large pages there is little to gain and a large page's worth to lose.
    constexpr std::size_t Worthwhile = std::size_t{4} << 20;
    if (bytes < Worthwhile)
        return;
    // The advice takes whole pages: the part of the buffer that starts and ends on them.
    static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(begin) + pageSize - 1) / pageSize * pageSize;
    const auto last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / pageSize * pageSize;
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE); // only advice: failure changes nothing
#else
    (void)begin;
    (void)bytes;
#endif
}
