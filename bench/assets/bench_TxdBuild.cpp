// Building a dictionary of 64 pictures of 256x256 with mip levels, as `txd build` does:
// PNG files read, levels box-filtered, DXT compressed at libsquish's best quality, written.
// Prints the median of a few runs for each format against the 2-second target, and against
// the same build stored uncompressed (8888), the part that is not compression.
#include "BenchTiming.h"
#include "FileIO.h"
#include "PngWriter.h"
#include "TxdBuild.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

// Smooth colour fields with fine noise, like photographs: the hard case for DXT fitting.
std::vector<std::uint8_t> photoLike(int size, std::mt19937& random)
{
    std::uniform_int_distribution<int> noise(-8, 8);
    std::uniform_real_distribution<double> phase(0, 6.28);
    const double a = phase(random), b = phase(random), c = phase(random);
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double fx = x / double(size), fy = y / double(size);
            const int values[3] = {int(128 + 100 * std::sin(7 * fx + 3 * fy + a)), int(128 + 90 * std::cos(5 * fy - 4 * fx + b)),
                                   int(110 + 80 * std::sin(6 * (fx + fy) + c))};
            for (const int v : values)
                pixels.push_back(static_cast<std::uint8_t>(std::clamp(v + noise(random), 0, 255)));
            pixels.push_back(x < size / 8 ? 0 : 255); // an alpha edge, for DXT3
        }
    return pixels;
}

} // namespace

int main()
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quox-bench-txdbuild";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::mt19937 random(64);
    std::vector<std::string> paths;
    for (int i = 0; i < 64; ++i) {
        const std::string path = (folder / ("tex" + std::to_string(i) + ".png")).string();
        const std::vector<std::uint8_t> pixels = photoLike(256, random);
        const std::vector<std::uint8_t> png = encodePng(256, 256, pixels);
        replaceFileContents(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
        paths.push_back(path);
    }

    const auto timeFormat = [&](const char* format) {
        TxdBuildOptions options;
        options.format = parseTxdFormatChoice(format);
        options.mipmaps = true;
        std::size_t bytes = 0;
        const double ms = medianMilliseconds(
            [&] {
                std::vector<std::string> errors;
                bytes = writeTxd(buildTextures(paths, options, errors), txdGameStamp(TxdGame::ViceCity)).size();
            },
            3);
        std::printf("%-5s 64 x 256x256 with mip levels: %8.0f ms median of 3, %zu bytes\n", format, ms, bytes);
        return ms;
    };
    const double raw = timeFormat("8888");
    const double dxt1 = timeFormat("dxt1");
    const double dxt3 = timeFormat("dxt3");
    std::printf("dxt1: %.2f of the 2 s target, %.1f x the uncompressed build\n", dxt1 / 2000, dxt1 / raw);
    std::printf("dxt3: %.2f of the 2 s target, %.1f x the uncompressed build\n", dxt3 / 2000, dxt3 / raw);
    std::filesystem::remove_all(folder);
    return 0;
}
