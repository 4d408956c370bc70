#include "LoadProgress.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

class RecordingProgress : public LoadProgress {
public:
    std::vector<std::string> calls;
    void SetPartMax(int n) override { calls.push_back("max " + std::to_string(n)); }
    void StepPart() override { calls.push_back("step"); }
    void SetPartText(std::string_view text) override { calls.push_back("text " + std::string(text)); }
};

// A game folder with a DAT file and the map files it names.
class GameFolder : public testing::Test {
protected:
    TempDir dir;

    std::string game() const { return dir.path().string() + "/"; }
    void write(const std::string& relative, const std::string& text) { writeFile(dir.file(relative), text); }

    std::vector<std::string> names(const TGTAFileList& list) const
    {
        std::vector<std::string> result;
        for (const auto& file : list.Files)
            result.push_back((file->Kind == FileKind::IDE ? "IDE " : "IPL ") + file->FileName);
        return result;
    }
};

TEST_F(GameFolder, BothPassesBuildTheFileListInDatOrder)
{
    write("data/gta_vc.dat", "# Vice City\r\n"
                             "  # IDE data\\commented.ide\r\n"
                             "IPL DATA\\MAPS\\town.ipl\r\n"
                             "ide data\\maps\\town.ide\r\n"
                             "IDE\tdata\\maps\\tab.ide\r\n"
                             "\r\n"
                             "COLFILE 0 MODELS\\COLL\\GENERIC.COL\r\n"
                             "MAPZONE data\\map.zon\r\n"
                             "IDE   data\\maps\\town.ide  \r\n"
                             "SPLASH\r\n");
    write("data/maps/town.ide", "objs\n1, a, b, 1, 100, 0\n5, c, d, 1, 100, 0\nend\n");
    write("data/maps/TOWN.IPL", "inst\n1, a, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    write("data/map.zon", "zone\nDowntown, 0, -5, -5, 0, 5, 5, 50, 1\nend\n");
    GameSettingsScope scope(game(), true);

    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    RecordingProgress progress;
    ASSERT_EQ(list.LoadDat(DatPass::IDE, &progress), 0);
    EXPECT_EQ(names(list), (std::vector<std::string>{"IDE data\\maps\\town.ide", "IDE data\\maps\\town.ide"}));
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"text Parsing DAT Contents", "max 2",
                                                        "text data\\maps\\town.ide", "step",
                                                        "text data\\maps\\town.ide", "step"}));
    ASSERT_EQ(list.LoadDat(DatPass::IPL), 0);
    EXPECT_EQ(names(list), (std::vector<std::string>{"IDE data\\maps\\town.ide", "IDE data\\maps\\town.ide",
                                                     "IPL DATA\\MAPS\\town.ipl", "IPL data\\map.zon"}));
    EXPECT_EQ(list.IDEFile(0)->Objs.Count(), 2);
    EXPECT_EQ(list.IDEFile(1)->Objs.Count(), 2) << "a file named twice is read twice";
    EXPECT_EQ(list.IPLFile(2)->Inst.Count(), 1);
    EXPECT_EQ(list.IPLFile(3)->Zone.Count(), 1) << "MAPZONE files are read by the IPL rules";
    EXPECT_TRUE(list.IPLFile(3)->RelativeToGame);
    EXPECT_FALSE(list.IPLFile(3)->Visible);
    EXPECT_EQ(list.IPLFile(0), nullptr);
    EXPECT_EQ(list.IDEFile(7), nullptr);

    ASSERT_EQ(list.DatLines.size(), 10u);
    EXPECT_EQ(list.DatLines[1], "# IDE data\\commented.ide");
    EXPECT_EQ(list.DatLines[8], "IDE   data\\maps\\town.ide");
    EXPECT_EQ(list.HighestID(), 5);
}

TEST_F(GameFolder, TheGameModeChoosesTheDatFile)
{
    write("data/gta3.dat", "IDE data\\three.ide\n");
    write("data/gta_vc.dat", "IDE data\\vice.ide\n");
    for (bool viceCity : {true, false}) {
        GameSettingsScope scope(game(), viceCity);
        TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
        ASSERT_EQ(list.LoadDat(DatPass::IDE), 0);
        ASSERT_EQ(list.Count(), 1);
        EXPECT_EQ(list.File(0)->FileName, viceCity ? "data\\vice.ide" : "data\\three.ide");
    }
}

TEST_F(GameFolder, MissingFilesLeaveAnEmptyListOrEmptyFiles)
{
    GameSettingsScope scope(game(), false);
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    RecordingProgress progress;
    EXPECT_EQ(list.LoadDat(DatPass::IDE, &progress), ENOENT);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(list.DatLines.empty());
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"text Parsing DAT Contents", "max 0"}));

    write("data/gta3.dat", "IPL data\\maps\\gone.ipl\n");
    EXPECT_EQ(list.LoadDat(DatPass::IPL), 0);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.IPLFile(0)->Inst.Count(), 0);
}

TEST_F(GameFolder, SaveDatWritesTheLinesInTheirNewOrder)
{
    write("data/gta3.dat", "# comment\nIDE data\\a.ide\nCDIMAGE models\\gta3.img\n\nIPL data\\b.ipl\n");
    GameSettingsScope scope(game(), false);
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    list.LoadDat(DatPass::IDE);
    std::swap(list.DatLines[1], list.DatLines[4]);
    list.DatModified = true;
    ASSERT_EQ(list.SaveDat(), 0);
    EXPECT_EQ(readFile(dir.file("data/gta3.dat")),
              "# comment\r\nIPL data\\b.ipl\r\nCDIMAGE models\\gta3.img\r\n\r\nIDE data\\a.ide\r\n");
    EXPECT_TRUE(list.DatModified) << "clearing it is the DAT editor's business";
}

TEST_F(GameFolder, AFirstLineBeginningWithAByteOrderMarkKeepsIt)
{
    // The file's own mark is taken off on reading; a second one belongs to the first line.
    write("data/gta3.dat", "\xEF\xBB\xBF\xEF\xBB\xBFIDE data\\a.ide\nIPL data\\b.ipl\n");
    GameSettingsScope scope(game(), false);
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    list.LoadDat(DatPass::IDE);
    const std::vector<std::string> read = list.DatLines;
    ASSERT_EQ(read.front(), "\xEF\xBB\xBFIDE data\\a.ide");
    ASSERT_EQ(list.SaveDat(), 0);
    list.LoadDat(DatPass::IDE);
    EXPECT_EQ(list.DatLines, read);
}

TEST_F(GameFolder, AFailedSaveDatKeepsTheOldFile)
{
    write("data", "a file where the data folder should be");
    GameSettingsScope scope(game(), false);
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    list.DatLines = {"IDE data\\a.ide"};
    EXPECT_EQ(list.SaveDat(), ENOTDIR);
    EXPECT_EQ(readFile(dir.file("data")), "a file where the data folder should be");
}

TEST(FileList, AddAndRemoveShiftPositions)
{
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    for (const char* name : {"a.ipl", "b.ipl", "c.ipl"}) {
        auto file = std::make_unique<TIPLFile>();
        file->FileName = name;
        list.AddFile(std::move(file));
    }
    list.RemoveFile(1);
    list.RemoveFile(9);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.File(1)->FileName, "c.ipl");
}

TEST(FileList, DefinitionsAskTheWholeListForIdsAndDictionaries)
{
    TGTAFileList list{programSettings().GameDir, programSettings().IsViceCity};
    auto first = std::make_unique<TIDEFile>();
    first->ReadText("objs\n120, a, shared, 1, 100, 0\nend\ntobj\n300, b, night, 1, 100, 0, 20, 6\nend\n");
    list.AddFile(std::move(first));
    list.AddFile(std::make_unique<TIDEFile>());
    EXPECT_EQ(list.HighestID(), 300);

    TIDEFile& second = *list.IDEFile(1);
    EXPECT_EQ(second.Objs.Items[second.Objs.NewRecord()].ID, 301);
    EXPECT_EQ(list.HighestID(), 301);

    EXPECT_EQ(list.IDEFile(0)->Objs.Items[0].TextureIndex, -1) << "no archive set answers yet";
    std::vector<std::string> known = {"generic"};
    list.SetTextureDictionaryLookup([&](std::string_view name) {
        for (size_t i = 0; i < known.size(); ++i)
            if (known[i] == name)
                return static_cast<int>(i);
        return -1;
    });
    known.push_back("shared");
    known.push_back("night");
    list.TextureEntryChanged("Shared.txd");
    EXPECT_EQ(list.IDEFile(0)->Objs.Items[0].TextureIndex, 1);
    EXPECT_EQ(list.IDEFile(0)->TObj.Items[0].TextureIndex, -1);
    list.TextureEntryChanged("night.TXD");
    EXPECT_EQ(list.IDEFile(0)->TObj.Items[0].TextureIndex, 2);

    // A file opened before it joins the list looks its dictionaries up when it joins.
    auto opened = std::make_unique<TIDEFile>();
    opened->ReadText("objs\n7, x, night, 1, 100, 0\nend\n");
    EXPECT_EQ(opened->Objs.Items[0].TextureIndex, -1);
    const int pos = list.AddFile(std::move(opened));
    EXPECT_EQ(list.IDEFile(pos)->Objs.Items[0].TextureIndex, 2);
}

} // namespace
