#include "DffWriter.h"
#include "ImgWriter.h"
#include "ModelDrawTarget.h"
#include "ProgramSettings.h"
#include "RwChunk.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TestFiles.h"
#include "TextureUploader.h"
#include "TxdWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t ViceCityStamp = 0x1003FFFF;

std::vector<std::uint8_t> dictionaryWith(const std::string& textureName)
{
    RgbaImage image{4, 4, std::vector<std::uint8_t>(4 * 4 * 4, 200)};
    return writeTxd({encodeTexture(textureName, "", TxdFormat::Rgba32, image, 1)}, ViceCityStamp);
}

std::vector<std::uint8_t> triangleModel()
{
    DffClump clump;
    clump.frames.push_back(DffFrame{});
    DffGeometry geometry;
    geometry.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    geometry.materials.push_back(DffMaterial{"wall", "", {255, 255, 255, 255}});
    geometry.splits.push_back(DffSplit{0, {0, 1, 2}});
    clump.geometries.push_back(geometry);
    clump.atomics.push_back(DffAtomic{0, 0, 5});
    return writeDff(clump, ViceCityStamp);
}

// Hands out texture names 100, 101, ... so tests can see which texture a lookup found.
class CountingUploader : public TextureUploader {
public:
    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) override
    {
        std::vector<std::uint32_t> ids;
        for (std::size_t i = 0; i < textures.size(); ++i)
            ids.push_back(m_next++);
        return ids;
    }
    void release(const std::vector<std::uint32_t>& ids) override { released += ids.size(); }

    std::size_t released = 0;

private:
    std::uint32_t m_next = 100;
};

class CountingTarget : public ModelDrawTarget {
public:
    void pushMatrix() override {}
    void multMatrix(const std::array<float, 16>&) override {}
    void popMatrix() override {}
    void setColourWhite() override {}
    void drawSplit(const ModelSplitDraw&) override { ++splits; }

    int splits = 0;
};

// A game folder with the main archive, generic.txd and the start-up flags all on.
class ArchiveSetTest : public testing::Test {
protected:
    void SetUp() override
    {
        programSettings().LoadModels = true;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = false;
        writeFile(game.file("models/generic.txd"), bytesText(dictionaryWith("generictex")));
    }

    void writeMainArchive(const std::vector<ImgWriterEntry>& entries)
    {
        ASSERT_EQ(writeImgArchive(game.file("models/gta3.img"), entries), 0);
    }

    TempDir game;
    GameSettingsScope scope{game.path().string() + "/", true};
};

} // namespace

TEST_F(ArchiveSetTest, ScansModelsAndDictionariesAndFindsThemByName)
{
    writeMainArchive({{"Hotel.DFF", triangleModel()},
                      {"hotel.txd", dictionaryWith("wall")},
                      {"hotel.col", {1, 2, 3}},
                      {"lamp.dff", triangleModel()}});
    TGTAImg set(programSettings().GameDir, true, nullptr);

    ASSERT_EQ(set.TxdCount, 2);
    ASSERT_EQ(set.DffCount, 2);
    EXPECT_EQ(set.Txds[0]->Name, "generic");
    EXPECT_TRUE(set.Txds[0]->Loaded);
    EXPECT_FALSE(set.Txds[1]->Loaded);
    EXPECT_FALSE(set.Dffs[0]->Loaded);

    EXPECT_EQ(set.FindTxd("GENERIC"), 0);
    EXPECT_EQ(set.FindTxd("HOTEL"), 1);
    EXPECT_EQ(set.FindTxd("hotel.txd"), -1); // definitions name dictionaries without extension
    EXPECT_EQ(set.FindTxd("nothing"), -1);
    EXPECT_EQ(set.FindDff("hotel"), 0);
    EXPECT_EQ(set.FindDff("LAMP"), 1);
    EXPECT_EQ(set.FindDff("hotel.col"), -1);

    EXPECT_TRUE(set.TxdExists("generic"));
    EXPECT_TRUE(set.TxdExists("hotel"));
    EXPECT_TRUE(set.TxdExists("hotel.dff")); // the extension is replaced
    EXPECT_FALSE(set.TxdExists("lamp"));
    EXPECT_TRUE(set.DffExists("Hotel"));
    EXPECT_FALSE(set.DffExists("generic"));
}

TEST_F(ArchiveSetTest, WithoutCompressedTexturesDictionariesComeFromTheTextureArchive)
{
    writeMainArchive({{"hotel.dff", triangleModel()}, {"inmain.txd", dictionaryWith("a")}});
    ASSERT_EQ(writeImgArchive(game.file("models/txd.img"), {{"hotel.txd", dictionaryWith("wall")}}), 0);

    TGTAImg set(programSettings().GameDir, false, nullptr);
    applyArchiveAvailability(set, programSettings());
    ASSERT_NE(set.TxdArchive, nullptr);
    EXPECT_EQ(set.TxdCount, 2);
    EXPECT_EQ(set.FindTxd("hotel"), 1);
    EXPECT_EQ(set.FindTxd("inmain"), -1);
    EXPECT_TRUE(set.TxdExists("inmain")); // existence always asks the main archive
    EXPECT_FALSE(set.TxdExists("hotel"));
    EXPECT_EQ(set.DffCount, 1);
    EXPECT_TRUE(programSettings().LoadTextures);
}

TEST_F(ArchiveSetTest, WithoutCompressedTexturesOrTextureArchiveOnlyGenericRemains)
{
    writeMainArchive({{"hotel.dff", triangleModel()}, {"hotel.txd", dictionaryWith("wall")}});
    TGTAImg set(programSettings().GameDir, false, nullptr);
    applyArchiveAvailability(set, programSettings());
    EXPECT_EQ(set.TxdCount, 1);
    EXPECT_EQ(set.DffCount, 1);
    EXPECT_FALSE(programSettings().LoadTextures);
    EXPECT_FALSE(programSettings().SkipTextures);
    EXPECT_TRUE(programSettings().LoadModels);
}

TEST_F(ArchiveSetTest, MissingMainArchiveLeavesGenericAndClearsTheFlags)
{
    TGTAImg set(programSettings().GameDir, true, nullptr);
    applyArchiveAvailability(set, programSettings());
    EXPECT_FALSE(set.Opened);
    EXPECT_EQ(set.TxdCount, 1);
    EXPECT_EQ(set.DffCount, 0);
    EXPECT_FALSE(programSettings().LoadModels);
    EXPECT_FALSE(programSettings().LoadTextures);
    ASSERT_EQ(set.Txds[0]->TextureCount, 1);
    EXPECT_EQ(set.Txds[0]->Textures[0].Name, "generictex");
}

TEST_F(ArchiveSetTest, MissingGenericDictionaryIsReportedAndKeepsPositions)
{
    std::filesystem::remove(game.file("models/generic.txd"));
    writeMainArchive({{"hotel.txd", dictionaryWith("wall")}});
    TGTAImg set(programSettings().GameDir, true, nullptr);
    EXPECT_EQ(set.GenericError, ENOENT);
    EXPECT_EQ(set.FindTxd("generic"), 0);
    EXPECT_EQ(set.Txds[0]->TextureCount, 0);
    EXPECT_EQ(set.FindTxd("hotel"), 1);
}

TEST_F(ArchiveSetTest, FreeUnusedKeepsGenericAndTheRadarTilesOnly)
{
    writeMainArchive({{"radar07.txd", dictionaryWith("radar07")},
                      {"radar123.txd", dictionaryWith("radar123")},
                      {"RADAR08.txd", dictionaryWith("RADAR08")},
                      {"hotel.txd", dictionaryWith("wall")},
                      {"hotel.dff", triangleModel()},
                      {"lamp.dff", triangleModel()}});
    CountingUploader uploader;
    TGTAImg set(programSettings().GameDir, true, &uploader);
    for (auto& dictionary : set.Txds)
        if (!dictionary->Loaded)
            dictionary->Load();
    CountingTarget target;
    set.DrawModel("hotel", set.FindTxd("hotel"), target);
    set.DrawModel("lamp", -1, target);
    EXPECT_EQ(target.splits, 2);

    set.ResetUsage();
    EXPECT_TRUE(set.FreePending);
    std::int32_t modelIndex = -1;
    EXPECT_TRUE(set.DrawDefinitionModel(modelIndex, "lamp", set.FindTxd("hotel"), target));
    EXPECT_EQ(modelIndex, 1);
    set.FreeUnused();

    EXPECT_TRUE(set.Txds[0]->Loaded);
    EXPECT_TRUE(set.Txds[set.FindTxd("radar07")]->Loaded);
    EXPECT_FALSE(set.Txds[set.FindTxd("radar123")]->Loaded);
    EXPECT_FALSE(set.Txds[set.FindTxd("RADAR08")]->Loaded);
    EXPECT_TRUE(set.Txds[set.FindTxd("hotel")]->Loaded); // marked by the definition
    EXPECT_FALSE(set.Dffs[0]->Loaded);
    EXPECT_TRUE(set.Dffs[1]->Loaded);
    EXPECT_EQ(uploader.released, 2u);
}

TEST_F(ArchiveSetTest, FreeUnusedKeepsWhatAWindowHoldsUntilItIsReleased)
{
    writeMainArchive({{"hotel.txd", dictionaryWith("wall")},
                      {"shop.txd", dictionaryWith("door")},
                      {"hotel.dff", triangleModel()}});
    CountingUploader uploader;
    TGTAImg set(programSettings().GameDir, true, &uploader);
    const int hotel = set.FindTxd("hotel");
    const int shop = set.FindTxd("shop");
    CountingTarget target;
    set.DrawModel("hotel", hotel, target);
    set.Txds[hotel]->Load();
    set.Txds[shop]->Load();

    // Held twice (the texture viewer and the secondary view show the same dictionary).
    set.HoldTxd(hotel);
    set.HoldTxd(hotel);
    set.HoldDff(0);
    set.HoldTxd(99); // out of range: ignored
    set.ResetUsage();
    set.FreeUnused();
    EXPECT_TRUE(set.Txds[hotel]->Loaded);
    EXPECT_EQ(set.Txds[hotel]->TextureCount, 1);
    EXPECT_TRUE(set.Dffs[0]->Loaded);
    EXPECT_FALSE(set.Txds[shop]->Loaded);

    set.ReleaseTxd(hotel);
    set.ReleaseDff(0);
    set.FreeUnused();
    EXPECT_TRUE(set.Txds[hotel]->Loaded);
    EXPECT_FALSE(set.Dffs[0]->Loaded);
    set.ReleaseTxd(hotel);
    set.ReleaseTxd(hotel); // more releases than holds do not hold it in advance
    set.FreeUnused();
    EXPECT_FALSE(set.Txds[hotel]->Loaded);
    set.Txds[hotel]->Load();
    set.HoldTxd(hotel);
    set.FreeUnused();
    EXPECT_TRUE(set.Txds[hotel]->Loaded);
}

TEST_F(ArchiveSetTest, DefinitionsWithoutAModelAskAgainAtEveryDraw)
{
    writeMainArchive({{"hotel.dff", triangleModel()}});
    TGTAImg set(programSettings().GameDir, true, nullptr);
    CountingTarget target;
    std::int32_t modelIndex = -1;
    EXPECT_FALSE(set.DrawDefinitionModel(modelIndex, "shop", -1, target));
    EXPECT_EQ(modelIndex, -1);

    std::istringstream model(bytesText(triangleModel()));
    ASSERT_EQ(set.AddFile("shop.dff", model), 0);
    EXPECT_EQ(set.FindDff("shop"), set.DffCount - 1);
    EXPECT_TRUE(set.DrawDefinitionModel(modelIndex, "shop", -1, target));
    EXPECT_EQ(modelIndex, set.DffCount - 1);
    EXPECT_EQ(target.splits, 1);
}

TEST_F(ArchiveSetTest, TextureLookupsLoadTheDictionaryAndFindNamesAndMasks)
{
    RgbaImage image{4, 4, std::vector<std::uint8_t>(64, 90)};
    const auto leaves = writeTxd({encodeTexture("bark", "", TxdFormat::Rgba32, image, 1),
                                  encodeTexture("Leaves", "leavesm", TxdFormat::Rgba32, image, 1)},
                                 ViceCityStamp);
    writeMainArchive({{"tree.txd", leaves}});
    CountingUploader uploader;
    TGTAImg set(programSettings().GameDir, true, &uploader); // generic takes 100
    const int tree = set.FindTxd("tree");
    EXPECT_EQ(set.textureId(tree, "LEAVES"), 102u);
    EXPECT_TRUE(set.Txds[tree]->Loaded);
    EXPECT_EQ(set.maskTextureId(tree, "leavesm"), 102u);
    EXPECT_EQ(set.textureId(tree, "missing"), 0u);
    EXPECT_EQ(set.textureId(-1, "bark"), 0u);
    EXPECT_EQ(set.textureId(99, "bark"), 0u);
}

TEST_F(ArchiveSetTest, DeletedEntriesStayDrawableButNoLongerExist)
{
    writeMainArchive({{"hotel.dff", triangleModel()}, {"lamp.dff", triangleModel()}});
    TGTAImg set(programSettings().GameDir, true, nullptr);
    CountingTarget target;
    set.DrawModel("hotel", -1, target);
    set.MarkDeleted(set.FindEntry("hotel.dff"));
    ASSERT_EQ(set.CommitDeletions(), 0);
    EXPECT_EQ(set.FindDff("hotel"), 0);
    EXPECT_FALSE(set.DffExists("hotel"));
    set.DrawModel("hotel", -1, target);
    EXPECT_EQ(target.splits, 2);
}

TEST_F(ArchiveSetTest, AddedDictionaryIsFoundByTheDefinitionsThatNameIt)
{
    writeMainArchive({{"hotel.dff", triangleModel()}});
    writeFile(game.file("data/maps/town.ide"), "objs\n1, hotel, hoteltex, 1, 100, 0\nend\n");
    writeFile(game.file("data/gta_vc.dat"), "IDE DATA\\MAPS\\town.ide\n");
    TGTAImg set(programSettings().GameDir, true, nullptr);
    TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};
    set.ConnectFileList(files);
    ASSERT_EQ(files.LoadDat(DatPass::IDE), 0);
    TIDEFile* ide = files.IDEFile(0);
    ASSERT_NE(ide, nullptr);
    EXPECT_EQ(ide->Objs.Items[0].TextureIndex, -1);

    std::istringstream dictionary(bytesText(dictionaryWith("wall")));
    ASSERT_EQ(set.AddFile("HotelTex.txd", dictionary), 0);
    EXPECT_EQ(ide->Objs.Items[0].TextureIndex, set.TxdCount - 1);

    set.MarkDeleted(set.FindEntry("hoteltex.txd"));
    ASSERT_EQ(set.CommitDeletions(), 0);
    // The dictionary object stays, so the definition still finds it.
    EXPECT_EQ(ide->Objs.Items[0].TextureIndex, set.TxdCount - 1);
}
