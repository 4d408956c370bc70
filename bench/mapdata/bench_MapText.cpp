// Reads and writes back large generated map files and compares both with a plain
// line-by-line read of the same file (the I/O floor), measured in the same run.
//
//   bench_MapText [folder]     (default: the system's temporary folder)

#include "BenchTiming.h"
#include "RandomMapRecords.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Bytes the C library's allocator has handed out and not taken back (0 where unknown).
std::size_t heapInUse()
{
#ifdef __GLIBC__
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return 0;
#endif
}

size_t plainLineRead(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    size_t lines = 0;
    while (std::getline(in, line))
        ++lines;
    return lines;
}

template <typename File>
void measure(const char* label, const std::string& path, size_t lines, const std::function<size_t(File&)>& records)
{
    size_t seen = 0;
    const double floor = medianMilliseconds([&] { seen = plainLineRead(path); });
    size_t read = 0;
    const auto load = [&] {
        File file;
        file.Load(path);
        read = records(file);
    };
    const double reading = medianMilliseconds(load);
    const double floorCpu = medianCpuMilliseconds([&] { seen = plainLineRead(path); });
    const double readingCpu = medianCpuMilliseconds(load);
    const std::size_t heapBefore = heapInUse();
    File loaded;
    loaded.Load(path);
    const std::size_t heapAfter = heapInUse();
    const std::string copy = path + ".written";
    loaded.FileName = copy;
    const double writing = medianMilliseconds([&] { loaded.Save(); });
    size_t bytes = 0;
    const double formatting = medianMilliseconds([&] { bytes = loaded.SaveText().size(); });

    const auto perSecond = [&](double ms) { return static_cast<double>(lines) / (ms / 1000.0); };
    std::printf("%-28s %9zu lines  floor %8.1f ms  read %8.1f ms (%4.2fx floor, %10.0f lines/s)"
                "  write %8.1f ms (%4.2fx floor, %10.0f lines/s)\n",
                label, seen, floor, reading, reading / floor, perSecond(reading), writing, writing / floor,
                perSecond(writing));
    std::printf("  %zu bytes; the whole text built in memory alone takes %.1f ms; a write includes flushing to disk\n",
                bytes, formatting);
    std::printf("  processor time: floor %.1f ms, read %.1f ms (%4.2fx floor)\n", floorCpu, readingCpu,
                readingCpu / floorCpu);
    if (heapAfter > heapBefore)
        std::printf("  memory of the loaded file: %.0f bytes per record (%.0f bytes of text per line)\n",
                    static_cast<double>(heapAfter - heapBefore) / static_cast<double>(records(loaded)),
                    static_cast<double>(bytes) / static_cast<double>(lines));
    if (read + 4 < lines)
        std::printf("  warning: read %zu records of %zu lines\n", read, lines);
    std::filesystem::remove(copy);
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path();
    const std::string iplPath = (folder / "bench_inst.ipl").string();
    const std::string idePath = (folder / "bench_objs.ide").string();

    RandomMapRecords random(2026, RandomMapRecords::Floats::MapLike);
    {
        TIPLFile ipl;
        random.fillIPL(ipl, 200000, 0);
        ipl.Cull.Present = ipl.Zone.Present = ipl.Occl.Present = ipl.Path.Present = false;
        ipl.FileName = iplPath;
        ipl.Save();
        TIDEFile ide;
        random.fillIDE(ide, 10000, 0);
        ide.Path.Present = ide.Fx2d.Present = false;
        ide.FileName = idePath;
        ide.Save();
    }

    std::printf("median of 7 runs; files in %s\n", folder.string().c_str());
    measure<TIPLFile>("IPL, 200,000 inst lines", iplPath, 200000 + 2,
                      [](TIPLFile& f) { return static_cast<size_t>(f.Inst.Count()); });
    measure<TIDEFile>("IDE, 20,000 objs/tobj lines", idePath, 20000 + 4,
                      [](TIDEFile& f) { return static_cast<size_t>(f.Objs.Count() + f.TObj.Count()); });

    std::filesystem::remove(iplPath);
    std::filesystem::remove(idePath);
    return 0;
}
