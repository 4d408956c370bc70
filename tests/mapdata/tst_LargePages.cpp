#include "LargePages.h"
#include "RandomMapRecords.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

#ifdef __linux__
// Whether the system marked the mapping that holds `address` for large pages ("hg" among
// its VmFlags in /proc/self/smaps).
bool markedForLargePages(const void* address)
{
    const auto wanted = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> from >> dash >> to && dash == '-') {
            inside = wanted >= from && wanted < to;
            continue;
        }
        if (inside && line.rfind("VmFlags:", 0) == 0)
            return (line + " ").find(" hg ") != std::string::npos;
    }
    return false;
}

TEST(LargePages, ALargeReserveIsMarkedAndASmallOneIsNot)
{
    std::vector<std::uint64_t> large;
    large.reserve((std::size_t{16} << 20) / sizeof(std::uint64_t));
    EXPECT_FALSE(markedForLargePages(large.data() + large.capacity() / 2));
    adviseLargePagesForSpare(large);
    EXPECT_TRUE(markedForLargePages(large.data() + large.capacity() / 2));

    // A vector of 1 MB lies in a mapping of its own too (the allocator maps buffers that
    // large), which stays unmarked.
    std::vector<std::uint64_t> small;
    small.reserve((std::size_t{1} << 20) / sizeof(std::uint64_t));
    adviseLargePagesForSpare(small);
    EXPECT_FALSE(markedForLargePages(small.data() + small.capacity() / 2));

    // The memory is still ordinary memory.
    large.assign(large.capacity(), 7);
    EXPECT_EQ(large[large.size() - 1], 7u);
}

// A map file large enough for large pages reads its records there, and is still written
// back byte for byte.
TEST(LargePages, ALargeMapFileReadsIntoThemAndSavesUnchanged)
{
    TempDir dir;
    const std::string path = dir.file("large.ipl");
    {
        RandomMapRecords random(7, RandomMapRecords::Floats::MapLike);
        TIPLFile written;
        random.fillIPL(written, 60000, 0);
        written.Cull.Present = written.Zone.Present = written.Occl.Present = written.Path.Present = false;
        written.FileName = path;
        ASSERT_EQ(written.Save(), 0);
    }
    const std::string bytes = readFile(path);
    ASSERT_GT(bytes.size(), std::size_t{4} << 20);

    TIPLFile read;
    ASSERT_EQ(read.Load(path), 0);
    ASSERT_EQ(read.Inst.Count(), 60000);
    EXPECT_TRUE(markedForLargePages(&read.Inst.Items[read.Inst.Items.size() / 2]));
    EXPECT_EQ(read.SaveText(), bytes);
}
#endif

} // namespace
