#include "CliRun.h"
#include "DemoGame.h"
#include "GamePaths.h"
#include "MeshBuilder.h"
#include "TDffLoader.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"
#include "TextParser.h"
#include "TxdDecoder.h"
#include "TxdPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The file's name as the folder lists it: on Windows a path keeps the letter case it was
// asked for, whatever the case on disk.
std::string nameOnDisk(const std::string& path)
{
    const std::filesystem::path file(path);
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
        if (equalsIgnoringCase(entry.path().filename().string(), file.filename().string()))
            return entry.path().filename().string();
    return {};
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A demo game written once per form and shared by the tests that only read it.
struct Demo {
    TempDir dir;
    int code = -1;
    std::string error;
};

const Demo& demo(bool viceCity)
{
    static std::map<bool, std::unique_ptr<Demo>> made;
    std::unique_ptr<Demo>& slot = made[viceCity];
    if (!slot) {
        slot = std::make_unique<Demo>();
        DemoGameOptions options;
        options.viceCity = viceCity;
        slot->code = writeDemoGame(slot->dir.path().string(), options, slot->error);
    }
    return *slot;
}

struct DirEntry {
    std::string name;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

std::uint32_t u32At(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

// The 32-byte directory records: sector offset, sector count, zero-padded name.
std::vector<DirEntry> readDir(const std::string& dirPath)
{
    const std::string bytes = readFile(dirPath);
    std::vector<DirEntry> entries;
    for (std::size_t at = 0; at + 32 <= bytes.size(); at += 32) {
        const std::string field = bytes.substr(at + 8, 24);
        entries.push_back({field.substr(0, field.find('\0')), u32At(bytes, at), u32At(bytes, at + 4)});
    }
    return entries;
}

std::vector<std::uint8_t> entryBytes(const std::string& img, const DirEntry& entry)
{
    const auto begin = img.begin() + static_cast<std::ptrdiff_t>(entry.offset) * 2048;
    return {begin, begin + static_cast<std::ptrdiff_t>(entry.size) * 2048};
}

std::set<std::string> entryNames(const std::vector<DirEntry>& entries)
{
    std::set<std::string> names;
    for (const DirEntry& e : entries)
        names.insert(lower(e.name));
    return names;
}

// Loads the map as the editor does, with the game settings of the form.
struct LoadedMap {
    GameSettingsScope settings;
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    int ideResult = -1;
    int iplResult = -1;

    LoadedMap(const std::string& dir, bool viceCity) : settings(withTrailingSeparator(dir), viceCity)
    {
        ideResult = list.LoadDat(DatPass::IDE);
        iplResult = list.LoadDat(DatPass::IPL);
    }
};

// Data lines of a map file counted by their own rule: lines inside a known section that are
// not keywords, comments or blank; TAB-indented lines of a path section count as nodes.
struct LineCount {
    int records = 0;
    int nodes = 0;
};

LineCount countDataLines(const std::string& text, bool ide)
{
    const std::set<std::string> known = ide ? std::set<std::string>{"objs", "tobj", "path", "2dfx"}
                                            : std::set<std::string>{"inst", "cull", "zone", "occl", "path"};
    LineCount count;
    std::string section;
    std::istringstream in(text);
    for (std::string raw; std::getline(in, raw);) {
        std::string line = raw;
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        const std::string trimmed = first == std::string::npos ? "" : line.substr(first);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        if (lower(trimmed) == "end") {
            section.clear();
        } else if (known.count(trimmed) || trimmed == "pick") {
            section = known.count(trimmed) ? trimmed : "";
        } else if (!section.empty()) {
            if (section == "path" && raw[0] == '\t')
                ++count.nodes;
            else
                ++count.records;
        }
    }
    return count;
}

class DemoGameForms : public ::testing::TestWithParam<bool> {};

TEST_P(DemoGameForms, WritesTheFilesOfItsForm)
{
    const bool vc = GetParam();
    const Demo& game = demo(vc);
    ASSERT_EQ(game.code, 0) << game.error;
    EXPECT_EQ(game.error, "");
    const auto exists = [&](const std::string& relative) { return std::filesystem::exists(game.dir.file(relative)); };
    EXPECT_EQ(exists("gta-vc.exe"), vc);
    EXPECT_EQ(exists("data/gta_vc.dat"), vc);
    EXPECT_EQ(exists("data/gta3.dat"), !vc);
    EXPECT_EQ(exists("models/txd.img"), !vc);
    EXPECT_EQ(exists("models/txd.dir"), !vc);
    for (const char* always : {"models/gta3.img", "models/gta3.dir", "models/generic.txd"})
        EXPECT_TRUE(exists(always)) << always;
    if (vc) {
        EXPECT_EQ(std::filesystem::file_size(game.dir.file("gta-vc.exe")), 0u);
    }
}

TEST_P(DemoGameForms, DatLoadsEveryMapFileWithoutDroppingALine)
{
    const bool vc = GetParam();
    const Demo& game = demo(vc);
    ASSERT_EQ(game.code, 0) << game.error;
    LoadedMap map(game.dir.path().string(), vc);
    ASSERT_EQ(map.ideResult, 0);
    ASSERT_EQ(map.iplResult, 0);
    ASSERT_GT(map.list.Count(), 5);

    std::map<std::string, int> totals;
    bool sawMixedCase = false;
    bool sawMapzone = false;
    for (const std::string& line : map.list.DatLines)
        sawMapzone = sawMapzone || line.rfind("MAPZONE ", 0) == 0;
    EXPECT_EQ(sawMapzone, !vc); // Vice City loads its zone file through IPL
    for (int pos = 0; pos < map.list.Count(); ++pos) {
        const TGTASFile* file = map.list.File(pos);
        const std::string path = resolveGamePath(programSettings().GameDir, file->FileName);
        ASSERT_TRUE(std::filesystem::exists(path)) << file->FileName;
        sawMixedCase = sawMixedCase || nameOnDisk(path) != file->FileName.substr(file->FileName.rfind('\\') + 1);
        const LineCount lines = countDataLines(readFile(path), map.list.IDEFile(pos) != nullptr);
        if (const TIDEFile* ide = map.list.IDEFile(pos)) {
            int nodes = 0;
            for (const auto& group : ide->Path.Items)
                nodes += group.NodeCount();
            EXPECT_EQ(ide->Objs.Count() + ide->TObj.Count() + ide->Path.Count() + ide->Fx2d.Count(), lines.records)
                << file->FileName;
            EXPECT_EQ(nodes, lines.nodes) << file->FileName;
            totals["objs"] += ide->Objs.Count();
            totals["tobj"] += ide->TObj.Count();
            totals["ide path"] += ide->Path.Count();
            totals["2dfx"] += ide->Fx2d.Count();
        } else if (const TIPLFile* ipl = map.list.IPLFile(pos)) {
            int nodes = 0;
            for (const auto& group : ipl->Path.Items)
                nodes += group.NodeCount();
            EXPECT_EQ(ipl->Inst.Count() + ipl->Cull.Count() + ipl->Zone.Count() + ipl->Occl.Count() + ipl->Path.Count(),
                      lines.records)
                << file->FileName;
            EXPECT_EQ(nodes, lines.nodes) << file->FileName;
            for (const auto& inst : ipl->Inst.Items)
                ASSERT_EQ(inst.HasInterior, vc) << file->FileName << " " << inst.ModelName;
            totals["inst"] += ipl->Inst.Count();
            totals["cull"] += ipl->Cull.Count();
            totals["zone"] += ipl->Zone.Count();
            totals["occl"] += ipl->Occl.Count();
            totals["ipl path"] += ipl->Path.Count();
        }
    }
    EXPECT_TRUE(sawMixedCase) << "the DAT names should differ in letter case from the files on disk";
    for (const char* section : {"objs", "tobj", "2dfx", "inst", "cull", "zone"})
        EXPECT_GT(totals[section], 0) << section;
    EXPECT_EQ(totals["occl"] > 0, vc);
    EXPECT_EQ(totals["ipl path"] > 0, vc);
    EXPECT_EQ(totals["ide path"] > 0, !vc);
}

TEST_P(DemoGameForms, EveryDefinitionFindsItsModelAndDictionaryInTheArchives)
{
    const bool vc = GetParam();
    const Demo& game = demo(vc);
    ASSERT_EQ(game.code, 0) << game.error;
    const std::set<std::string> main = entryNames(readDir(game.dir.file("models/gta3.dir")));
    const std::set<std::string> textures = vc ? std::set<std::string>{} : entryNames(readDir(game.dir.file("models/txd.dir")));
    LoadedMap map(game.dir.path().string(), vc);
    int definitions = 0;
    const auto check = [&](const std::string& model, const std::string& txd) {
        ++definitions;
        EXPECT_TRUE(main.count(lower(model) + ".dff")) << model;
        EXPECT_TRUE(main.count(lower(txd) + ".txd")) << txd;
        if (!vc) {
            EXPECT_TRUE(textures.count(lower(txd) + ".txd")) << txd;
        }
    };
    for (int pos = 0; pos < map.list.Count(); ++pos)
        if (const TIDEFile* ide = map.list.IDEFile(pos)) {
            for (const auto& d : ide->Objs.Items)
                check(d.ModelName, d.TextureName);
            for (const auto& d : ide->TObj.Items)
                check(d.ModelName, d.TextureName);
        }
    EXPECT_GE(definitions, 30);
    for (int t = 0; t < 64; ++t) {
        const std::string name = std::string("radar") + (t < 10 ? "0" : "") + std::to_string(t) + ".txd";
        EXPECT_TRUE(main.count(name)) << name;
        if (!vc) {
            EXPECT_TRUE(textures.count(name)) << name;
        }
    }
}

TEST_P(DemoGameForms, ArchiveEntriesLieInsideTheDataFileWithoutOverlapping)
{
    const bool vc = GetParam();
    const Demo& game = demo(vc);
    ASSERT_EQ(game.code, 0) << game.error;
    for (const std::string& archive : vc ? std::vector<std::string>{"models/gta3"} : std::vector<std::string>{"models/gta3", "models/txd"}) {
        std::vector<DirEntry> entries = readDir(game.dir.file(archive + ".dir"));
        const auto imgSize = std::filesystem::file_size(game.dir.file(archive + ".img"));
        std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.offset < b.offset; });
        std::uint64_t end = 0;
        std::set<std::string> names;
        for (const DirEntry& e : entries) {
            EXPECT_GT(e.size, 0u) << e.name;
            EXPECT_GE(e.offset, end) << e.name;
            end = std::uint64_t{e.offset} + e.size;
            EXPECT_LE(end * 2048, imgSize) << e.name;
            EXPECT_LE(e.name.size(), 24u);
            EXPECT_TRUE(names.insert(lower(e.name)).second) << "twice: " << e.name;
        }
    }
}

TEST_P(DemoGameForms, EveryModelAndDictionaryDecodesAndModelsFindTheirTextures)
{
    const bool vc = GetParam();
    const Demo& game = demo(vc);
    ASSERT_EQ(game.code, 0) << game.error;
    const std::string img = readFile(game.dir.file("models/gta3.img"));
    std::map<std::string, std::set<std::string>> dictionaryTextures; // by lower-case dictionary name
    std::map<std::string, std::vector<std::uint8_t>> models;
    std::set<std::uint32_t> faceTypes;
    std::set<std::string> formats;
    bool mipLevels = false;

    const auto readDictionary = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const TxdDecodeResult result = decodeTxd(bytes);
        EXPECT_EQ(result.Error, "") << name;
        EXPECT_FALSE(result.Textures.empty()) << name;
        for (const TxdDecodedTexture& t : result.Textures) {
            dictionaryTextures[lower(name)].insert(lower(t.Texture.Name));
            const std::uint32_t raster = t.Texture.RasterFormat;
            mipLevels = mipLevels || t.Texture.Levels > 1;
            if (t.Texture.Compression != 0)
                formats.insert("DXT" + std::to_string(t.Texture.Compression) +
                               (t.Texture.Compression == 1 && t.Texture.HasAlpha ? " alpha" : ""));
            else if (raster & 0x6000)
                formats.insert(std::string(raster & 0x4000 ? "PAL4" : "PAL8") + ((raster & 0x0F00) == 0x0500 ? " 8888" : " 888"));
            else
                formats.insert("32-bit");
        }
    };
    for (const DirEntry& e : readDir(game.dir.file("models/gta3.dir"))) {
        const std::string name = lower(e.name);
        if (name.ends_with(".txd")) {
            readDictionary(name.substr(0, name.size() - 4), entryBytes(img, e));
        } else {
            ASSERT_TRUE(name.ends_with(".dff")) << name;
            models[name.substr(0, name.size() - 4)] = entryBytes(img, e);
        }
    }
    const std::string generic = readFile(game.dir.file("models/generic.txd"));
    readDictionary("generic", std::vector<std::uint8_t>(generic.begin(), generic.end()));
    EXPECT_TRUE(dictionaryTextures["generic"].count("coronastar"));
    EXPECT_TRUE(dictionaryTextures["generic"].count("shad_exp"));
    for (const char* format : {"PAL4 8888", "PAL4 888", "PAL8 8888", "PAL8 888", "32-bit", "DXT1", "DXT1 alpha", "DXT3", "DXT5"})
        EXPECT_TRUE(formats.count(format)) << format;
    EXPECT_TRUE(mipLevels);

    LoadedMap map(game.dir.path().string(), vc);
    int checked = 0;
    const auto checkModel = [&](const std::string& model, const std::string& txd) {
        const auto it = models.find(lower(model));
        ASSERT_NE(it, models.end()) << model;
        TDffLoader loader;
        ASSERT_EQ(loader.ReadFromBytes(it->second), "") << model;
        ASSERT_EQ(loader.Clumps.size(), 1u) << model;
        for (const auto& geometry : loader.Clumps[0].GeometryList.Geometries) {
            EXPECT_GT(geometry.Data.VertexCount, 0u) << model;
            faceTypes.insert(geometry.MaterialSplit.FaceType ? 1u : 0u);
            for (const auto& material : geometry.MaterialList.Materials) {
                const std::string texture = lower(material.Texture.TextureName);
                EXPECT_TRUE(dictionaryTextures[lower(txd)].count(texture) || dictionaryTextures["generic"].count(texture))
                    << model << " uses " << texture << " missing from " << txd;
            }
        }
        ++checked;
    };
    for (int pos = 0; pos < map.list.Count(); ++pos)
        if (const TIDEFile* ide = map.list.IDEFile(pos)) {
            for (const auto& d : ide->Objs.Items)
                checkModel(d.ModelName, d.TextureName);
            for (const auto& d : ide->TObj.Items)
                checkModel(d.ModelName, d.TextureName);
        }
    EXPECT_GE(checked, 30);
    EXPECT_EQ(faceTypes, (std::set<std::uint32_t>{0, 1})) << "both triangle lists and strips";
}

TEST_P(DemoGameForms, TwoRunsWriteTheSameBytes)
{
    const bool vc = GetParam();
    const Demo& first = demo(vc);
    ASSERT_EQ(first.code, 0) << first.error;
    TempDir second;
    DemoGameOptions options;
    options.viceCity = vc;
    std::string error;
    ASSERT_EQ(writeDemoGame(second.path().string(), options, error), 0) << error;
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(first.dir.path()))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), first.dir.path()).string());
    std::set<std::string> secondFiles;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(second.path()))
        if (entry.is_regular_file())
            secondFiles.insert(std::filesystem::relative(entry.path(), second.path()).string());
    EXPECT_EQ(files, secondFiles);
    for (const std::string& file : files)
        EXPECT_TRUE(readFile(first.dir.file(file)) == readFile(second.file(file))) << file << " differs";
}

INSTANTIATE_TEST_SUITE_P(ViceCityAndGta3, DemoGameForms, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "ViceCity" : "Gta3"; });

TEST(DemoGameTown, HasLodModelsTimedObjectsLightsAndEnoughModels)
{
    const Demo& game = demo(true);
    ASSERT_EQ(game.code, 0) << game.error;
    LoadedMap map(game.dir.path().string(), true);
    std::map<std::string, float> drawDistance;
    std::map<std::string, std::pair<int, int>> hours;
    int lights = 0;
    int particles = 0;
    for (int pos = 0; pos < map.list.Count(); ++pos)
        if (const TIDEFile* ide = map.list.IDEFile(pos)) {
            for (const auto& d : ide->Objs.Items)
                drawDistance[lower(d.ModelName)] = d.DrawDistance;
            for (const auto& d : ide->TObj.Items)
                hours[lower(d.ModelName)] = {d.TimeOn, d.TimeOff};
            for (const auto& fx : ide->Fx2d.Items) {
                if (fx.EffectType == 0) {
                    ++lights;
                    EXPECT_EQ(fx.CoronaTexture, "\"coronastar\"");
                    EXPECT_EQ(fx.ShadowTexture, "\"shad_exp\"");
                } else if (fx.EffectType == 1) {
                    ++particles;
                }
            }
        }
    EXPECT_GT(lights, 0);
    EXPECT_GT(particles, 0);

    std::set<std::string> placed;
    std::set<std::string> where; // model and position of every placement
    int nightOnly = 0;
    for (int pos = 0; pos < map.list.Count(); ++pos)
        if (const TIPLFile* ipl = map.list.IPLFile(pos))
            for (const auto& inst : ipl->Inst.Items) {
                placed.insert(lower(inst.ModelName));
                where.insert(lower(inst.ModelName) + "@" + std::to_string(inst.PosX) + "," + std::to_string(inst.PosY));
                const auto timed = hours.find(lower(inst.ModelName));
                nightOnly += timed != hours.end() && timed->second == std::make_pair(20, 6);
            }
    EXPECT_GE(placed.size(), 30u);
    EXPECT_GT(nightOnly, 0);
    int lods = 0;
    for (const std::string& entry : where) {
        if (entry.rfind("lod", 0) != 0)
            continue;
        ++lods;
        const std::string model = entry.substr(0, entry.find('@'));
        const std::string at = entry.substr(entry.find('@'));
        // The building the games pair with it: equal from the fourth character on.
        std::string building;
        for (const std::string& other : where)
            if (other.rfind("lod", 0) != 0 && other.size() > 3 && other.substr(3) == model.substr(3) + at)
                building = other.substr(0, other.find('@'));
        ASSERT_FALSE(building.empty()) << "no building under " << entry;
        EXPECT_GE(drawDistance[model], 300.0f) << model;
        EXPECT_LE(drawDistance[model], 2000.0f) << model;
        EXPECT_GE(drawDistance[building], 100.0f) << building;
        EXPECT_LE(drawDistance[building], 300.0f) << building;
    }
    EXPECT_GT(lods, 0);
}

// The radar pictures read back from the GTA III texture archive (paletted, so decodable
// here) show the town where the placements put it.
TEST(DemoGameRadar, TilesShowRoadsLandAndSeaWhereTheyAre)
{
    const Demo& game = demo(false);
    ASSERT_EQ(game.code, 0) << game.error;
    const std::string img = readFile(game.dir.file("models/txd.img"));
    std::map<std::string, DirEntry> entries;
    for (const DirEntry& e : readDir(game.dir.file("models/txd.dir")))
        entries[e.name] = e;
    const auto sample = [&](float x, float y) -> std::array<int, 3> {
        const float px = (x + 4 * 503.0f) / (8 * 503.0f) * 1024;
        const float py = (4 * 501.0f - y) / (8 * 501.0f) * 1024;
        const int column = static_cast<int>(px) / 128;
        const int row = static_cast<int>(py) / 128;
        const int tile = row * 8 + column;
        const std::string name = std::string("radar") + (tile < 10 ? "0" : "") + std::to_string(tile) + ".txd";
        const TxdDecodeResult result = decodeTxd(entryBytes(img, entries.at(name)));
        if (result.Textures.empty())
            return {-1, -1, -1};
        const TxdDecodedTexture& t = result.Textures[0];
        const std::vector<std::uint8_t> rgba = levelRgba(t.Texture, t.Levels.at(0));
        const std::size_t at = (static_cast<std::size_t>(static_cast<int>(py) % 128) * 128 + static_cast<int>(px) % 128) * 4;
        if (rgba.size() < at + 4)
            return {-1, -1, -1};
        return {rgba[at], rgba[at + 1], rgba[at + 2]};
    };
    const auto road = sample(5, 5); // the crossing in the middle of the town
    EXPECT_LT(std::abs(road[0] - road[2]), 20);
    EXPECT_LT(road[1], 120);
    EXPECT_GE(road[1], 40);
    const auto grass = sample(700, -700); // land outside the town, south-east
    EXPECT_GT(grass[1], grass[0] + 20);
    EXPECT_GT(grass[1], grass[2] + 20);
    const auto sea = sample(-1900, 1900); // far north-west: tile 0
    EXPECT_GT(sea[2], sea[0] + 50);
    EXPECT_GT(sea[2], sea[1] + 20);

    // Every house shows its red roof at its own position: a picture turned or mirrored,
    // or a tile out of place, would put something else there.
    LoadedMap map(game.dir.path().string(), false);
    int houses = 0;
    int redRoofs = 0;
    for (int pos = 0; pos < map.list.Count(); ++pos)
        if (const TIPLFile* ipl = map.list.IPLFile(pos))
            for (const auto& inst : ipl->Inst.Items)
                if (lower(inst.ModelName).rfind("qx_house", 0) == 0) {
                    ++houses;
                    const auto roof = sample(inst.PosX, inst.PosY);
                    redRoofs += roof[0] > roof[1] + 40 && roof[0] > roof[2] + 40;
                }
    EXPECT_GT(houses, 5);
    EXPECT_EQ(redRoofs, houses);
}

// Expanding a strip (odd triangles turned round, degenerate ones skipped) gives exactly the
// triangles of the list form of the same faces.
TEST(DemoGameMeshes, StripsJoinPiecesWithoutChangingTheirTriangles)
{
    const auto build = [](bool strips) {
        MeshBuilder mesh({DffMaterial{}, DffMaterial{}}, strips);
        mesh.box(0, 1, {0, 0, 0}, {2, 3, 4}, 1);
        mesh.triangle(1, {{{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}}, {{{0, 0}, {1, 0}, {0, 1}}});
        mesh.quad(0, {{{0, 0, 6}, {1, 0, 6}, {1, 1, 6}, {0, 1, 6}}}, {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, true);
        return mesh.take();
    };
    const auto canonical = [](std::array<std::uint32_t, 3> t) {
        while (t[0] != std::min({t[0], t[1], t[2]}))
            t = {t[1], t[2], t[0]};
        return t;
    };
    const DffGeometry list = build(false);
    const DffGeometry strip = build(true);
    EXPECT_FALSE(list.strips);
    EXPECT_TRUE(strip.strips);
    ASSERT_EQ(list.splits.size(), 2u);
    ASSERT_EQ(strip.splits.size(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        std::vector<std::array<std::uint32_t, 3>> fromList;
        const auto& li = list.splits[s].indices;
        ASSERT_EQ(li.size() % 3, 0u);
        for (std::size_t i = 0; i < li.size(); i += 3)
            fromList.push_back(canonical({li[i], li[i + 1], li[i + 2]}));
        std::vector<std::array<std::uint32_t, 3>> fromStrip;
        const auto& si = strip.splits[s].indices;
        for (std::size_t i = 0; i + 2 < si.size(); ++i) {
            if (si[i] == si[i + 1] || si[i + 1] == si[i + 2] || si[i] == si[i + 2])
                continue;
            fromStrip.push_back(canonical(i % 2 ? std::array<std::uint32_t, 3>{si[i + 1], si[i], si[i + 2]}
                                                : std::array<std::uint32_t, 3>{si[i], si[i + 1], si[i + 2]}));
        }
        EXPECT_EQ(fromStrip, fromList) << "split " << s;
    }
    // Vertex winding: the first wall faces south (-y).
    const auto& v = list.vertices;
    const auto& i = list.splits[0].indices;
    const auto a = v[i[0]], b = v[i[1]], c = v[i[2]];
    const float ny = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
    EXPECT_LT(ny, 0);
}

TEST(DemoGameLarge, MeetsTheBenchmarkCounts)
{
    TempDir dir;
    DemoGameOptions options;
    options.large = true;
    std::string error;
    ASSERT_EQ(writeDemoGame(dir.path().string(), options, error), 0) << error;
    const std::vector<DirEntry> entries = readDir(dir.file("models/gta3.dir"));
    EXPECT_GE(entries.size(), 8000u);
    const std::set<std::string> names = entryNames(entries);
    EXPECT_EQ(names.size(), entries.size()) << "entry names are distinct";

    LoadedMap map(dir.path().string(), true);
    int iplFiles = 0;
    int inst = 0;
    int definitions = 0;
    int missing = 0;
    for (int pos = 0; pos < map.list.Count(); ++pos) {
        if (const TIPLFile* ipl = map.list.IPLFile(pos)) {
            iplFiles += ipl->Inst.Count() > 0;
            inst += ipl->Inst.Count();
        } else if (const TIDEFile* ide = map.list.IDEFile(pos)) {
            const auto check = [&](const auto& d) {
                ++definitions;
                missing += !names.count(lower(d.ModelName) + ".dff") || !names.count(lower(d.TextureName) + ".txd");
            };
            std::for_each(ide->Objs.Items.begin(), ide->Objs.Items.end(), check);
            std::for_each(ide->TObj.Items.begin(), ide->TObj.Items.end(), check);
        }
    }
    EXPECT_GE(inst, 30000);
    EXPECT_GE(iplFiles, 40);
    EXPECT_GE(definitions, 6000);
    EXPECT_EQ(missing, 0);
}

TEST(DemoGameCli, WritesTheFormAskedForAndNamesWhatCouldNotBeWritten)
{
    TempDir dir;
    const CliResult gta3 = runCli({"demo-game", dir.file("g3"), "--game", "gta3"});
    EXPECT_EQ(gta3.code, 0) << gta3.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("g3/data/gta3.dat")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("g3/models/txd.img")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("g3/gta-vc.exe")));

    const CliResult vc = runCli({"demo-game", dir.file("vc")});
    EXPECT_EQ(vc.code, 0) << vc.err;
    EXPECT_TRUE(std::filesystem::exists(dir.file("vc/gta-vc.exe")));

    writeFile(dir.file("blocker"), "a file where a folder should be");
    const CliResult blocked = runCli({"demo-game", dir.file("blocker/game")});
    EXPECT_EQ(blocked.code, 2);
    EXPECT_NE(blocked.err.find("blocker"), std::string::npos) << blocked.err;
    EXPECT_EQ(blocked.out, "");

    const CliResult badGame = runCli({"demo-game", dir.file("x"), "--game", "sa"});
    EXPECT_EQ(badGame.code, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

} // namespace
