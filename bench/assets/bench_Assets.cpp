// Game asset reading on the large demo game, each figure beside the time to read the same
// bytes from disk in the same run (the floor):
//   - parsing every model of the archive,
//   - decoding every texture dictionary of the archive (no graphics upload),
//   - opening the archive set: the directory, its scan and the name indexes, "generic".
//
//   bench_Assets [game folder]   (default: the large demo game, generated in a temporary folder)

#include "BenchTiming.h"
#include "ByteSource.h"
#include "DemoGame.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "TGTAImg.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// This machine is shared and its timings wander; more runs steady the median.
constexpr int Runs = 15;

std::vector<char> readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

void report(const char* label, double floor, double measured, double megabytes)
{
    std::printf("%-44s %9.2f ms  floor %8.2f ms  ratio %5.2fx", label, measured, floor, measured / floor);
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
    std::uint64_t modelBytes = 0;
    std::uint64_t dictionaryBytes = 0;
    const double modelFloor = medianMilliseconds([&] { modelBytes = readEntryBytes(set.Dffs, source); }, Runs);
    const double dictionaryFloor =
        medianMilliseconds([&] { dictionaryBytes = readEntryBytes(set.Txds, source); }, Runs);
    std::size_t failedModels = 0;
    const double models = medianMilliseconds([&] {
        failedModels = 0;
        for (auto& model : set.Dffs) {
            model->Load();
            failedModels += model->LoadError.empty() ? 0 : 1;
            model->Unload();
        }
    }, Runs);
    std::size_t failedDictionaries = 0;
    const double dictionaries = medianMilliseconds([&] {
        failedDictionaries = 0;
        for (auto& dictionary : set.Txds) {
            dictionary->Load();
            failedDictionaries += dictionary->LoadError.empty() ? 0 : 1;
            dictionary->Unload();
        }
    }, Runs);

    std::printf("game %s: %zu archive entries, %d models (%.1f MB), %d dictionaries (%.1f MB); median of %d runs\n",
                folder.string().c_str(), entries, set.DffCount, modelBytes / 1e6, set.TxdCount, dictionaryBytes / 1e6,
                Runs);
    report("parse every model", modelFloor, models, modelBytes / 1e6);
    report("decode every dictionary", dictionaryFloor, dictionaries, dictionaryBytes / 1e6);
    report("open archive set (directory, scan, indexes)", openFloor, opening, 0);
    if (failedModels || failedDictionaries)
        std::printf("reports: %zu models, %zu dictionaries\n", failedModels, failedDictionaries);

    if (!generated.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(generated, ignored);
    }
    return 0;
}
