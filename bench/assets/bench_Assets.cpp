// Game asset reading on the large demo game, each figure beside two floors measured in the
// same run: reading the same bytes from disk, and copying them within memory.
//   - loading every model of the archive (TGTADff::Load, as the editor does),
//   - loading every texture dictionary of the archive (TGTATxd::Load, no graphics upload),
//   - the same two with the archive's bytes held in memory (as "generic" and loose files are),
//   - loading a set of larger generated models (thousands of triangles, like buildings),
//   - opening the archive set: the directory, its scan and the name indexes, "generic".
//
//   bench_Assets [game folder [runs]]   (default: the large demo game, generated in a temporary
//                                        folder; 15 runs)

#include "BenchTiming.h"
#include "ByteSource.h"
#include "DemoGame.h"
#include "DffWriter.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "ImgWriter.h"
#include "TGTAImg.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// This machine is shared and its timings wander; more runs steady the median.
int Runs = 15;
constexpr int LargeModels = 300;

std::vector<char> readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> readWholeFileBytes(const std::string& path)
{
    const std::vector<char> bytes = readWholeFile(path);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

template <typename Item>
std::uint64_t readEntryBytes(const std::vector<std::unique_ptr<Item>>& items, const ByteSource& source)
{
    // The floor reads into one reused buffer, as the model reader does.
    static std::vector<std::uint8_t> buffer;
    std::uint64_t total = 0;
    for (const auto& item : items)
        total += readSourceBytesInto(source, static_cast<std::uint64_t>(item->Offset),
                                     static_cast<std::uint64_t>(item->Length), buffer);
    return total;
}

// The second floor: the same entries copied out of the archive's bytes held in memory.
template <typename Item>
std::uint64_t copyEntryBytes(const std::vector<std::unique_ptr<Item>>& items, const std::vector<std::uint8_t>& archive)
{
    static std::vector<std::uint8_t> buffer;
    std::uint64_t total = 0;
    for (const auto& item : items) {
        const auto offset = static_cast<std::size_t>(item->Offset);
        if (offset >= archive.size())
            continue;
        const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(item->Length), archive.size() - offset);
        if (buffer.size() < length)
            buffer.resize(length);
        std::memcpy(buffer.data(), archive.data() + offset, length);
        total += length;
    }
    return total;
}

template <typename Item>
std::size_t loadAll(std::vector<std::unique_ptr<Item>>& items)
{
    std::size_t failed = 0;
    for (auto& item : items) {
        item->Load();
        failed += item->LoadError.empty() ? 0 : 1;
        item->Unload();
    }
    return failed;
}

template <typename Item>
std::vector<std::unique_ptr<Item>> sameEntriesFrom(const std::vector<std::unique_ptr<Item>>& items,
                                                   const ByteSource& source)
{
    std::vector<std::unique_ptr<Item>> copies;
    for (const auto& item : items) {
        if constexpr (std::is_same_v<Item, TGTATxd>)
            copies.push_back(std::make_unique<Item>(&source, item->Length, item->Offset, item->Name, nullptr));
        else
            copies.push_back(std::make_unique<Item>(&source, item->Length, item->Offset, item->Name));
    }
    return copies;
}

// A building: a box of `rows` x `columns` quads on each of its four walls, one split per
// wall (each its own material), with normals, texture coordinates and prelit colours.
// Every fourth model stores its walls as strips, as some real buildings do.
DffClump largeModel(int number, int rows, int columns)
{
    DffClump clump;
    clump.frames.push_back(DffFrame{"building" + std::to_string(number)});
    DffGeometry geometry;
    geometry.strips = number % 4 == 3;
    for (int wall = 0; wall < 4; ++wall) {
        geometry.materials.push_back(DffMaterial{"wall" + std::to_string(wall), "", {255, 255, 255, 255}});
        const float angle = static_cast<float>(wall) * 1.5707964f;
        const float dx = std::cos(angle), dy = std::sin(angle);
        const auto first = static_cast<std::uint32_t>(geometry.vertices.size());
        for (int r = 0; r <= rows; ++r)
            for (int c = 0; c <= columns; ++c) {
                const float along = static_cast<float>(c) / static_cast<float>(columns) * 20.0f - 10.0f;
                geometry.vertices.push_back({dx * 10.0f - dy * along, dy * 10.0f + dx * along, static_cast<float>(r)});
                geometry.normals.push_back({dx, dy, 0});
                geometry.texCoords.push_back({static_cast<float>(c) * 0.25f, static_cast<float>(r) * 0.25f});
                geometry.prelit.push_back({static_cast<std::uint8_t>(r), 128, static_cast<std::uint8_t>(c), 255});
            }
        DffSplit split;
        split.material = static_cast<std::uint32_t>(wall);
        const auto at = [&](int r, int c) { return first + static_cast<std::uint32_t>(r * (columns + 1) + c); };
        for (int r = 0; r < rows; ++r) {
            if (geometry.strips) {
                // One strip per row, rows joined by two repeated indices (degenerate triangles).
                if (r > 0) {
                    split.indices.push_back(split.indices.back());
                    split.indices.push_back(at(r, 0));
                }
                for (int c = 0; c <= columns; ++c) {
                    split.indices.push_back(at(r, c));
                    split.indices.push_back(at(r + 1, c));
                }
            } else {
                for (int c = 0; c < columns; ++c)
                    for (const std::uint32_t index : {at(r, c), at(r + 1, c), at(r, c + 1), at(r, c + 1), at(r + 1, c),
                                                      at(r + 1, c + 1)})
                        split.indices.push_back(index);
            }
        }
        geometry.splits.push_back(std::move(split));
    }
    clump.geometries.push_back(std::move(geometry));
    clump.atomics.push_back(DffAtomic{});
    return clump;
}

void report(const char* label, double diskFloor, double memoryFloor, double measured, double megabytes)
{
    std::printf("%-44s %9.2f ms  disk floor %8.2f ms %5.2fx  memory floor %8.2f ms %5.2fx", label, measured,
                diskFloor, measured / diskFloor, memoryFloor, measured / memoryFloor);
    if (megabytes > 0)
        std::printf("  %8.1f MB/s", megabytes / (measured / 1000.0));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path folder;
    std::filesystem::path generated;
    if (argc > 1) {
        folder = argv[1];
        if (argc > 2)
            Runs = std::max(1, std::atoi(argv[2]));
    } else {
        generated = std::filesystem::temp_directory_path() / "quox-bench-assets";
        folder = generated;
        std::string error;
        if (writeDemoGame(folder.string(), DemoGameOptions{true, true}, error) != 0) {
            std::fprintf(stderr, "cannot write the demo game: %s\n", error.c_str());
            return 2;
        }
    }
    ProgramSettings& settings = programSettings();
    settings.GameDir = withTrailingSeparator(folder.string());
    settings.LoadModels = settings.LoadTextures = true;

    const std::string dirPath = resolveGamePath(settings.GameDir, "models\\gta3.dir");
    const std::string genericPath = resolveGamePath(settings.GameDir, "models\\generic.txd");
    std::size_t entries = 0;
    const double openFloor = medianMilliseconds(
        [&] {
            entries = readWholeFile(dirPath).size() / 32;
            readWholeFile(genericPath);
        },
        Runs);
    // Opening only: the set of the run before is freed untimed.
    std::unique_ptr<TGTAImg> opened;
    const double opening = medianMilliseconds([&] { opened = std::make_unique<TGTAImg>(programSettings().GameDir, true, nullptr); }, Runs,
                                              [&] { opened.reset(); });
    opened.reset();

    TGTAImg set(programSettings().GameDir, true, nullptr);
    const ByteSource& source = set.ImgSource();
    const std::vector<std::uint8_t> archiveBytes = readWholeFileBytes(set.FileName);
    const MemoryByteSource memorySource(archiveBytes);
    std::uint64_t modelBytes = 0;
    std::uint64_t dictionaryBytes = 0;
    const double modelFloor = medianMilliseconds([&] { modelBytes = readEntryBytes(set.Dffs, source); }, Runs);
    const double modelCopyFloor = medianMilliseconds([&] { copyEntryBytes(set.Dffs, archiveBytes); }, Runs);
    const double dictionaryFloor =
        medianMilliseconds([&] { dictionaryBytes = readEntryBytes(set.Txds, source); }, Runs);
    const double dictionaryCopyFloor = medianMilliseconds([&] { copyEntryBytes(set.Txds, archiveBytes); }, Runs);
    std::size_t failedModels = 0;
    std::size_t failedDictionaries = 0;
    const double models = medianMilliseconds([&] { failedModels = loadAll(set.Dffs); }, Runs);
    const double dictionaries = medianMilliseconds([&] { failedDictionaries = loadAll(set.Txds); }, Runs);
    auto modelsInMemory = sameEntriesFrom(set.Dffs, memorySource);
    // "generic" (position 0) is a loose file, not an archive entry.
    auto dictionariesInMemory = sameEntriesFrom(set.Txds, memorySource);
    dictionariesInMemory.erase(dictionariesInMemory.begin());
    const double modelsFromMemory = medianMilliseconds([&] { loadAll(modelsInMemory); }, Runs);
    const double dictionariesFromMemory = medianMilliseconds([&] { loadAll(dictionariesInMemory); }, Runs);

    // Larger models in an archive of their own beside the game.
    const std::string largePath = (folder / "large-models.img").string();
    std::uint64_t largeTriangles = 0;
    {
        std::vector<ImgWriterEntry> entries;
        for (int m = 0; m < LargeModels; ++m) {
            const DffClump clump = largeModel(m, 10 + m % 7, 30 + m % 11);
            for (const DffSplit& split : clump.geometries[0].splits)
                largeTriangles += clump.geometries[0].strips ? split.indices.size() - 2 : split.indices.size() / 3;
            entries.push_back({"building" + std::to_string(m) + ".dff", writeDff(clump, 0x1003FFFF)});
        }
        if (const int error = writeImgArchive(largePath, entries)) {
            std::fprintf(stderr, "cannot write %s: error %d\n", largePath.c_str(), error);
            return 2;
        }
    }
    TGTA3Archive largeArchive(largePath, false);
    std::vector<std::unique_ptr<TGTADff>> largeModels;
    for (const TImgEntry& entry : largeArchive.Entries)
        largeModels.push_back(std::make_unique<TGTADff>(&largeArchive.ImgSource(), std::int64_t{entry.Size} * 2048,
                                                        std::int64_t{entry.Offset} * 2048, entry.TrimmedName()));
    const std::vector<std::uint8_t> largeBytes = readWholeFileBytes(largePath);
    std::uint64_t largeModelBytes = 0;
    const double largeFloor =
        medianMilliseconds([&] { largeModelBytes = readEntryBytes(largeModels, largeArchive.ImgSource()); }, Runs);
    const double largeCopyFloor = medianMilliseconds([&] { copyEntryBytes(largeModels, largeBytes); }, Runs);
    std::size_t failedLarge = 0;
    const double large = medianMilliseconds([&] { failedLarge = loadAll(largeModels); }, Runs);

    std::printf("game %s: %zu archive entries, %d models (%.1f MB), %d dictionaries (%.1f MB); median of %d runs\n",
                folder.string().c_str(), entries, set.DffCount, modelBytes / 1e6, set.TxdCount, dictionaryBytes / 1e6,
                Runs);
    std::printf("large models: %d models, %.0f triangles each on average (%.1f MB)\n", LargeModels,
                static_cast<double>(largeTriangles) / LargeModels, largeModelBytes / 1e6);
    report("load every model", modelFloor, modelCopyFloor, models, modelBytes / 1e6);
    report("load every dictionary", dictionaryFloor, dictionaryCopyFloor, dictionaries, dictionaryBytes / 1e6);
    report("load every model, bytes in memory", modelFloor, modelCopyFloor, modelsFromMemory, modelBytes / 1e6);
    report("load every dictionary, bytes in memory", dictionaryFloor, dictionaryCopyFloor, dictionariesFromMemory,
           dictionaryBytes / 1e6);
    report("load every large model", largeFloor, largeCopyFloor, large, largeModelBytes / 1e6);
    report("open archive set (directory, scan, indexes)", openFloor, openFloor, opening, 0);
    if (failedModels || failedDictionaries || failedLarge)
        std::printf("reports: %zu models, %zu dictionaries, %zu large models\n", failedModels, failedDictionaries,
                    failedLarge);

    if (!generated.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(generated, ignored);
    } else {
        std::filesystem::remove(largePath);
        std::filesystem::remove(std::filesystem::path(largePath).replace_extension(".dir"));
    }
    return 0;
}
