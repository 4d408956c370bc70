#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// The normal form of a text: what every save wrote before saving kept unchanged records.
std::string ipl(const std::string& text)
{
    TIPLFile file;
    file.ReadText(text);
    return file.NormalFormText();
}

std::string ide(const std::string& text)
{
    TIDEFile file;
    file.ReadText(text);
    return file.NormalFormText();
}

TEST(MapFileReading, DropsCommentsAndKeepsUnknownSectionsAfterTheKnownOnes)
{
    const std::string text = "# placed by hand\r\n"
                             "pick\r\n"
                             "end\r\n"
                             "inst\r\n"
                             "1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                             "\r\n"
                             "2,  bench ,  0,0,0, 1,1,1, 0,0,0,1\r\n"
                             "end\r\n"
                             "cars\r\n"
                             "  1, 2,\t3   \r\n"
                             "# a comment inside\r\n"
                             "END\r\n";
    EXPECT_EQ(ipl(text), "inst\r\n"
                         "1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                         "2, bench, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                         "end\r\n"
                         "pick\r\n"
                         "end\r\n"
                         "cars\r\n"
                         "  1, 2,\t3   \r\n"
                         "# a comment inside\r\n"
                         "END\r\n");
}

TEST(MapFileReading, SectionsAreWrittenInTheirFixedOrder)
{
    EXPECT_EQ(ipl("path\n0, -1\n\t0, -1, 0, 1, 2, 3, 0, 1, 1, 0, 0, 1\nend\ninst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"),
              "inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n"
              "path\r\n0, -1\r\n\t0, -1, 0, 1, 2, 3, 0, 1, 1, 0, 0, 1\r\nend\r\n");
    EXPECT_EQ(ide("2dfx\nend\ntobj\nend\nobjs\nend\n"), "objs\r\nend\r\ntobj\r\nend\r\n2dfx\r\nend\r\n");
}

TEST(MapFileReading, EmptySectionsAreWrittenBack)
{
    EXPECT_EQ(ide("tobj\nend\n"), "tobj\r\nend\r\n");
    EXPECT_EQ(ipl(""), "");
}

TEST(MapFileReading, EndClosesInAnyCaseButKeywordsAreLowerCaseOnly)
{
    EXPECT_EQ(ipl("inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nEnd\nzone\nZ, 0, 0, 0, 0, 1, 1, 1, 1\nEND\n"),
              "inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\nzone\r\nZ, 0, 0, 0, 0, 1, 1, 1, 1\r\nend\r\n");
    // "INST" opens no inst section; its lines are kept as an unknown section instead.
    TIPLFile file;
    file.ReadText("INST\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    EXPECT_FALSE(file.Inst.Present);
    EXPECT_EQ(file.Inst.Count(), 0);
    EXPECT_EQ(file.NormalFormText(), "INST\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n");
}

TEST(MapFileReading, AKnownKeywordEndsAnUnknownSectionWithoutItsEnd)
{
    TIPLFile file;
    file.ReadText("weird stuff\n\n1, 2, 3\ninst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    ASSERT_EQ(file.UnknownSections.size(), 1u);
    EXPECT_FALSE(file.UnknownSections[0].Closed);
    EXPECT_EQ(file.Inst.Count(), 1);
    EXPECT_EQ(file.NormalFormText(), "inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n"
                                     "weird stuff\r\n\r\n1, 2, 3\r\nend\r\n");
}

TEST(MapFileReading, AKeywordWithoutEndSwitchesSections)
{
    TIDEFile file;
    file.ReadText("objs\n1, a, b, 1, 100, 0\ntobj\n2, a, b, 1, 100, 0, 20, 6\nend\n");
    EXPECT_EQ(file.Objs.Count(), 1);
    EXPECT_EQ(file.TObj.Count(), 1);
    EXPECT_TRUE(file.UnknownSections.empty());
}

TEST(MapFileReading, OnlyTabIndentedLinesArePathNodes)
{
    TIDEFile file;
    file.ReadText("path\n"
                  "ped, 5, road\n"
                  "\t1, -1, 0, 10, 20, 0, 1, 1, 1\n"
                  "  \t2, -1, 0, 10, 20, 0, 1, 1, 1\n"
                  "    car, 6, road2\n"
                  "\t0, 1, 0, 0, 0, 0, 1, 1, 1\n"
                  "end\n");
    ASSERT_EQ(file.Path.Count(), 3);
    EXPECT_EQ(file.Path.Items[0].NodeCount(), 1);
    EXPECT_EQ(file.Path.Items[1].GroupType, "2") << "a blank-indented line is a new group header";
    EXPECT_EQ(file.Path.Items[2].GroupType, "car");
    EXPECT_EQ(file.Path.Items[2].NodeCount(), 1);

    TIPLFile orphan;
    orphan.ReadText("path\n\t1, -1, 0, 1, 2, 3, 0, 1, 1, 0, 0, 1\n0, -1\nend\n");
    ASSERT_EQ(orphan.Path.Count(), 1);
    EXPECT_EQ(orphan.Path.Items[0].NodeCount(), 0) << "a node before any group has no group to join";
}

TEST(MapFileReading, RealViceCityPathGroupsRoundTrip)
{
    std::string text = "path\r\n";
    for (int group = 0; group < 3; ++group) {
        text += "1, -1\r\n";
        for (int node = 0; node < 12; ++node)
            text += "\t2, " + std::to_string(node - 1) + ", 0, -1093.5, 1204.25, 10, 0, 1, 1, 0, 0, 1\r\n";
    }
    text += "end\r\n";
    TIPLFile file;
    file.ReadText(text);
    ASSERT_EQ(file.Path.Count(), 3);
    EXPECT_EQ(file.Path.Items[2].NodeCount(), 12);
    EXPECT_EQ(file.NormalFormText(), text);
    EXPECT_EQ(file.SaveText(), text);
}

TEST(MapFileReading, LineEndsAreCrLfLfOrCr)
{
    const std::string expected = "inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n";
    EXPECT_EQ(ipl("inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend"), expected);
    EXPECT_EQ(ipl("inst\r\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\nend\r\n"), expected);
    EXPECT_EQ(ipl("inst\r1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\rend\r"), expected);
    EXPECT_EQ(ipl("\xEF\xBB\xBFinst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n"), expected);
}

TEST(MapFileReading, RejectedLinesAreDroppedAndReadingGoesOn)
{
    TIDEFile file;
    file.ReadText("tobj\n1, a, b, 1, 100, 0, six, 6\n2, a, b, 1, 100, 0, 20, 6\nend\n");
    ASSERT_EQ(file.TObj.Count(), 1);
    EXPECT_EQ(file.TObj.Items[0].ID, 2);
}

TEST(MapFileLoading, ReadsFromDiskAndAppends)
{
    TempDir dir;
    writeFile(dir.file("town.ipl"), "inst\n1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\nend\n");
    TIPLFile file;
    ASSERT_EQ(file.Load(dir.file("town.ipl")), 0);
    EXPECT_EQ(file.FileName, dir.file("town.ipl"));
    ASSERT_EQ(file.Load(dir.file("town.ipl")), 0);
    EXPECT_EQ(file.Inst.Count(), 2);
    EXPECT_FALSE(file.Modified);
}

TEST(MapFileLoading, AFileThatCannotBeReadGivesTheSystemError)
{
    TempDir dir;
    TIPLFile file;
    file.Inst.ReadLine("1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    EXPECT_EQ(file.Load(dir.file("missing.ipl")), ENOENT);
    EXPECT_EQ(file.FileName, dir.file("missing.ipl"));
    EXPECT_EQ(file.Inst.Count(), 1);
    EXPECT_EQ(file.Load(dir.path().string()), EISDIR);
}

TEST(MapFileLoading, NamesRelativeToTheGameAreFoundWithoutRegardToCase)
{
    TempDir dir;
    writeFile(dir.file("data/maps/Town/town.IDE"), "objs\n1, a, b, 1, 100, 0\nend\n");
    TIDEFile file;
    file.RelativeToGame = true;
    file.GameDir = dir.path().string() + "/";
    ASSERT_EQ(file.Load("DATA\\MAPS\\town\\TOWN.ide"), 0);
    EXPECT_EQ(file.Objs.Count(), 1);
    EXPECT_EQ(file.FileName, "DATA\\MAPS\\town\\TOWN.ide");

    file.Objs.Items[0].Flags = 4;
    file.Modified = true;
    ASSERT_EQ(file.Save(), 0);
    EXPECT_EQ(readFile(dir.file("data/maps/Town/town.IDE")), "objs\n1, a, b, 1, 100, 4\nend\n");
}

} // namespace
