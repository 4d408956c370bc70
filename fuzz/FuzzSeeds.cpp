// Writes the seed corpora of the fuzz programs into FOLDER/<target>/: the demo game's DAT,
// IDE and IPL files and the models and dictionaries of its archives, dictionaries of every
// texture format, and small archives with awkward entry names.
//
//   fuzz_seeds FOLDER

#include "DemoGame.h"
#include "DffWriter.h"
#include "ImgWriter.h"
#include "TGTA3Archive.h"
#include "PngWriter.h"
#include "TxdWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Large inputs slow every execution down; the fuzzer finds its way from a file's start.
constexpr std::size_t MaxTextSeed = 4 * 1024;
constexpr std::size_t MaxBinarySeed = 32 * 1024;

class Corpus {
public:
    explicit Corpus(fs::path folder) : m_folder(std::move(folder)) { fs::create_directories(m_folder); }

    void add(const std::string& bytes)
    {
        if (bytes.size() > MaxBinarySeed || !m_seen.insert(bytes).second)
            return;
        char name[32];
        std::snprintf(name, sizeof name, "seed-%04zu", m_seen.size());
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
    }

private:
    fs::path m_folder;
    std::set<std::string> m_seen;
};

std::string readWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The text cut at a line end within the limit.
std::string textSeed(std::string text)
{
    if (text.size() > MaxTextSeed) {
        const std::size_t lineEnd = text.rfind('\n', MaxTextSeed);
        text.resize(lineEnd == std::string::npos ? MaxTextSeed : lineEnd + 1);
    }
    return text;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

void addArchiveEntries(const fs::path& imgPath, Corpus& models, Corpus& dictionaries)
{
    TGTA3Archive archive(imgPath.string(), false);
    for (int i = 0; i < archive.EntryCount(); ++i) {
        const std::string name = lower(archive.GetEntry(i).TrimmedName());
        Corpus* corpus = name.ends_with(".dff") ? &models : name.ends_with(".txd") ? &dictionaries : nullptr;
        if (corpus == nullptr)
            continue;
        std::ostringstream bytes;
        if (archive.ExtractEntry(i, bytes) == 0)
            corpus->add(bytes.str());
    }
}

void addGame(const fs::path& scratch, bool viceCity, Corpus& maps, Corpus& dats, Corpus& models,
             Corpus& dictionaries)
{
    const fs::path game = scratch / (viceCity ? "vc" : "gta3");
    std::string error;
    if (writeDemoGame(game.string(), DemoGameOptions{viceCity, false}, error) != 0) {
        std::fprintf(stderr, "fuzz_seeds: the demo game could not be written: %s\n", error.c_str());
        std::exit(1);
    }
    const char gameBit = viceCity ? 0 : 2;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(game)) {
        const std::string extension = lower(entry.path().extension().string());
        if (extension == ".dat")
            dats.add(std::string(1, gameBit) + textSeed(readWhole(entry.path())));
        else if (extension == ".ide")
            maps.add(std::string(1, gameBit) + textSeed(readWhole(entry.path())));
        else if (extension == ".ipl" || extension == ".zon")
            maps.add(std::string(1, static_cast<char>(gameBit | 1)) + textSeed(readWhole(entry.path())));
        else if (extension == ".txd")
            dictionaries.add(readWhole(entry.path()));
        else if (extension == ".img")
            addArchiveEntries(entry.path(), models, dictionaries);
    }
}

// One small dictionary per stored format, under the version stamps real files carry.
void addTextureFormats(Corpus& dictionaries)
{
    const TxdFormat formats[] = {TxdFormat::Pal4_8888, TxdFormat::Pal4_888, TxdFormat::Pal8_8888,
                                 TxdFormat::Pal8_888,  TxdFormat::Rgba32,   TxdFormat::Dxt1,
                                 TxdFormat::Dxt1Alpha, TxdFormat::Dxt3,     TxdFormat::Dxt5};
    const std::uint32_t stamps[] = {0x00000310, 0x0401FFFF, 0x0800FFFF, 0x0C02FFFF, 0x1003FFFF};
    RgbaImage image{8, 8, std::vector<std::uint8_t>(8 * 8 * 4)};
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = static_cast<std::uint8_t>(i * 37 + (i % 4 == 3 ? 128 : 0));
    std::size_t n = 0;
    for (TxdFormat format : formats) {
        const TxdTextureData texture = encodeTexture("tex", n % 2 ? "texm" : "", format, image, 2);
        const std::vector<std::uint8_t> bytes = writeTxd({texture}, stamps[n++ % std::size(stamps)]);
        dictionaries.add(std::string(bytes.begin(), bytes.end()));
    }
}

// Layouts real files have that the writers never produce: Direct3D 9 textures (format
// code and flags where Direct3D 8 has its alpha flag and compression byte), DXT textures
// declaring depth 32 or 4, and a clump whose declared size ends before its last atomic.
void addRealFileQuirks(Corpus& models, Corpus& dictionaries)
{
    RgbaImage image{8, 8, std::vector<std::uint8_t>(8 * 8 * 4, 200)};
    TxdTextureData dxt1 = encodeTexture("d9dxt1", "", TxdFormat::Dxt1, image, 2);
    dxt1.platform = 9, dxt1.hasAlpha = 0x31545844, dxt1.compression = 8; // "DXT1", compressed
    TxdTextureData dxt5 = encodeTexture("d9dxt5", "m", TxdFormat::Dxt5, image, 1);
    dxt5.platform = 9, dxt5.hasAlpha = 0x35545844, dxt5.compression = 9; // "DXT5", alpha, compressed
    TxdTextureData argb = encodeTexture("d9argb", "", TxdFormat::Rgba32, image, 2);
    argb.platform = 9, argb.hasAlpha = 21, argb.compression = 1; // A8R8G8B8, alpha
    const std::vector<std::uint8_t> direct3D9 = writeTxd({dxt1, dxt5, argb}, 0x1003FFFF);
    dictionaries.add(std::string(direct3D9.begin(), direct3D9.end()));

    TxdTextureData deep = encodeTexture("deep", "", TxdFormat::Dxt1, image, 1);
    deep.depth = 32, deep.rasterFormat = TxdRaster::Format888;
    TxdTextureData shallow = encodeTexture("shallow", "", TxdFormat::Dxt1Alpha, image, 1);
    shallow.depth = 4;
    const std::vector<std::uint8_t> depths = writeTxd({deep, shallow}, 0x0401FFFF);
    dictionaries.add(std::string(depths.begin(), depths.end()));

    DffClump clump;
    clump.frames = {DffFrame{"root"}};
    DffGeometry geometry;
    geometry.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    geometry.materials = {{"tex", "", {255, 255, 255, 255}}};
    geometry.splits = {{0, {0, 1, 2}}};
    clump.geometries = {geometry};
    clump.atomics = {{0, 0, 5}, {0, 0, 5}, {0, 0, 5}};
    std::string model;
    for (const std::uint8_t byte : writeDff(clump, 0x0800FFFF))
        model += static_cast<char>(byte);
    const auto u32At = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i)
            value |= std::uint32_t{static_cast<unsigned char>(model[at + i])} << (8 * i);
        return value;
    };
    // The clump's declared size ends at its second atomic.
    int atomics = 0;
    for (std::size_t at = 12; at + 12 <= model.size(); at += 12 + u32At(at + 4)) {
        if (u32At(at) == 20 && ++atomics == 2) {
            for (std::size_t i = 0; i < 4; ++i)
                model[4 + i] = static_cast<char>(((at - 12) >> (8 * i)) & 0xFF);
            models.add(model);
            break;
        }
    }
}

// Pictures of power-of-two and other sides, with and without alpha.
void addPictures(Corpus& pictures)
{
    const int sizes[][2] = {{1, 1}, {4, 4}, {16, 8}, {3, 5}, {64, 64}};
    std::uint8_t shade = 0;
    for (const auto& size : sizes) {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size[0] * size[1]) * 4);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i % 4 == 3 ? (shade % 2 ? 255 : i) : i * 13 + shade);
        const std::vector<std::uint8_t> png = encodePng(size[0], size[1], pixels);
        pictures.add(std::string(png.begin(), png.end()));
        ++shade;
    }
}

// The fuzz input of an archive: u16 directory length, directory, data file.
void addArchive(const fs::path& scratch, const std::vector<ImgWriterEntry>& entries, std::uint32_t firstSector,
                Corpus& archives)
{
    const fs::path img = scratch / "seed.img";
    if (writeImgArchive(img.string(), entries, firstSector) != 0)
        return;
    const std::string dir = readWhole(scratch / "seed.dir");
    std::string input;
    input += static_cast<char>(dir.size() & 0xFF);
    input += static_cast<char>((dir.size() >> 8) & 0xFF);
    input += dir;
    input += readWhole(img);
    archives.add(input);
}

void addArchives(const fs::path& scratch, Corpus& archives)
{
    const auto bytes = [](std::size_t size, std::uint8_t fill) { return std::vector<std::uint8_t>(size, fill); };
    addArchive(scratch, {{"box.dff", bytes(100, 1)}, {"box.txd", bytes(3000, 2)}}, 0, archives);
    addArchive(scratch, {{"..\\..\\escape.dff", bytes(10, 3)}, {"models/sub/deep.txd", bytes(10, 4)}}, 1, archives);
    addArchive(scratch, {{"abcdefghijklmnopqrstuvwx", bytes(1, 5)}, {"BOX.DFF", bytes(0, 0)}, {" ..", bytes(5, 6)}},
               0, archives);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::string pattern = (fs::temp_directory_path() / "quoxseeds-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("fuzz_seeds");
        return 1;
    }
    const fs::path scratch = pattern;

    Corpus maps(folder / "mapfile"), dats(folder / "dat"), models(folder / "dff"), dictionaries(folder / "txd"),
        archives(folder / "archive"), pictures(folder / "png");
    addGame(scratch, true, maps, dats, models, dictionaries);
    addGame(scratch, false, maps, dats, models, dictionaries);
    addTextureFormats(dictionaries);
    addRealFileQuirks(models, dictionaries);
    addArchives(scratch, archives);
    addPictures(pictures);

    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return 0;
}
