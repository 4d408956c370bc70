#include "TGTAS2dfx.h"
#include "TGTASObjs.h"
#include "TGTASPath.h"
#include "TGTASTObj.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Answers as a loaded game would: a fixed highest ID and a few dictionaries.
class FakeGame : public DefinitionContext {
public:
    int highest = 0;
    std::map<std::string, int> dictionaries;
    mutable int lookups = 0;

    int HighestID() const override { return highest; }
    int FindTextureDictionary(std::string_view name) const override
    {
        ++lookups;
        const auto found = dictionaries.find(std::string(name));
        return found == dictionaries.end() ? -1 : found->second;
    }
};

TEST(ObjsLine, SixColumns)
{
    TGTASObjs objs;
    objs.ReadLine("1, lamppost1, lampposts, 1, 150, 0");
    const TGTASObjsObj& r = objs.Items[0];
    EXPECT_EQ(r.ID, 1);
    EXPECT_EQ(r.ModelName, "lamppost1");
    EXPECT_EQ(r.TextureName, "lampposts");
    EXPECT_EQ(r.MeshCount, 1);
    EXPECT_EQ(r.DrawDistance, 150.0f);
    EXPECT_EQ(r.Flags, 0);
    EXPECT_TRUE(r.ExtraDrawDistances.empty());
    EXPECT_EQ(r.ModelIndex, -1);
    EXPECT_EQ(r.TextureIndex, -1);
    EXPECT_EQ(objs.WriteLine(0), "1, lamppost1, lampposts, 1, 150, 0");
}

TEST(ObjsLine, MissingColumnsTakeDefaults)
{
    TGTASObjs objs;
    objs.ReadLine("5, box, boxtxd");
    EXPECT_EQ(objs.Items[0].MeshCount, 1);
    EXPECT_EQ(objs.Items[0].DrawDistance, 100.0f);
    EXPECT_EQ(objs.Items[0].Flags, 0);
    objs.ReadLine("x, box, boxtxd, y, z, w");
    EXPECT_EQ(objs.Items[1].ID, -1);
    EXPECT_EQ(objs.WriteLine(1), "-1, box, boxtxd, 1, 100, 0");
}

TEST(ObjsLine, DrawDistanceIsWrittenWithFifteenDigits)
{
    TGTASObjs objs;
    objs.ReadLine("7, a, b, 1, 33.3, 4");
    EXPECT_EQ(objs.WriteLine(0), "7, a, b, 1, 33.2999992370605, 4");
    TGTASObjs again;
    again.ReadLine(objs.WriteLine(0));
    EXPECT_EQ(again.WriteLine(0), objs.WriteLine(0));
}

// Lines of real definition files carry one draw distance per mesh; the flags follow them.
TEST(ObjsLine, KeepsOneDrawDistancePerMesh)
{
    TGTASObjs objs;
    objs.ReadLine("160, wheel_sport, generic, 2, 20, 70, 0");
    objs.ReadLine("100, gate, gatetxd, 2, 150, 200, 0");
    objs.ReadLine("300, tower, towertxd, 3, 50, 150, 300, 2097152");
    const TGTASObjsObj& wheel = objs.Items[0];
    EXPECT_EQ(wheel.DrawDistance, 20.0f);
    ASSERT_EQ(wheel.ExtraDrawDistances.size(), 1u);
    EXPECT_EQ(wheel.ExtraDrawDistances[0], 70.0f);
    EXPECT_EQ(wheel.Flags, 0);
    EXPECT_EQ(objs.Items[1].Flags, 0);
    EXPECT_EQ(objs.Items[2].Flags, 2097152);
    EXPECT_EQ(objs.WriteLine(0), "160, wheel_sport, generic, 2, 20, 70, 0");
    EXPECT_EQ(objs.WriteLine(1), "100, gate, gatetxd, 2, 150, 200, 0");
    EXPECT_EQ(objs.WriteLine(2), "300, tower, towertxd, 3, 50, 150, 300, 2097152");
}

TEST(ObjsLine, OtherColumnCountsAreReadAsSixColumnsAndKeepTheRest)
{
    TGTASObjs objs;
    objs.ReadLine("100, gate, gatetxd, 2, 150, 200");    // one column short of two distances
    objs.ReadLine("101, gate, gatetxd, 1, 150, 200, 0"); // one mesh: the seventh column is surplus
    objs.ReadLine("102, gate, gatetxd, 4, 1, 2, 3, 4, 0");
    EXPECT_EQ(objs.Items[0].Flags, 200);
    EXPECT_EQ(objs.Items[1].Flags, 200);
    EXPECT_EQ(objs.Items[2].Flags, 2);
    EXPECT_EQ(objs.WriteLine(0), "100, gate, gatetxd, 2, 150, 200");
    EXPECT_EQ(objs.WriteLine(1), "101, gate, gatetxd, 1, 150, 200, 0");
    EXPECT_EQ(objs.WriteLine(2), "102, gate, gatetxd, 4, 1, 2, 3, 4, 0");
}

// A mesh count changed in an editor: the line must read back with the same flags and hours.
TEST(DefinitionLine, ExtraDistancesAreWrittenOnlyForTheirMeshCount)
{
    TGTASObjs objs;
    objs.ReadLine("300, tower, towertxd, 3, 50, 150, 300, 2097152");
    objs.Items[0].MeshCount = 1;
    EXPECT_EQ(objs.WriteLine(0), "300, tower, towertxd, 1, 50, 2097152");
    TGTASObjs reread;
    reread.ReadLine(objs.WriteLine(0));
    EXPECT_EQ(reread.Items[0].Flags, 2097152);
    objs.Items[0].MeshCount = 3; // the distances were kept in the record
    EXPECT_EQ(objs.WriteLine(0), "300, tower, towertxd, 3, 50, 150, 300, 2097152");

    TGTASTObj tobj;
    ASSERT_TRUE(tobj.ReadLine("600, shop, shoptxd, 2, 30, 90, 4, 19, 7"));
    tobj.Items[0].MeshCount = 3;
    TGTASTObj timed;
    ASSERT_TRUE(timed.ReadLine(tobj.WriteLine(0)));
    EXPECT_EQ(timed.Items[0].Flags, 4);
    EXPECT_EQ(timed.Items[0].TimeOn, 19);
    EXPECT_EQ(timed.Items[0].TimeOff, 7);
}

TEST(TObjLine, EightColumnsReadStrictly)
{
    TGTASTObj tobj;
    ASSERT_TRUE(tobj.ReadLine("500, nightlight, lights, 1, 100, 0, 20, 6"));
    EXPECT_EQ(tobj.Items[0].TimeOn, 20);
    EXPECT_EQ(tobj.Items[0].TimeOff, 6);
    EXPECT_EQ(tobj.WriteLine(0), "500, nightlight, lights, 1, 100, 0, 20, 6");
    EXPECT_FALSE(tobj.ReadLine("501, a, b, 1, 100, 0, six, 6"));
    EXPECT_FALSE(tobj.ReadLine("502, a, b, 1, 100, 0, 20"));
    EXPECT_FALSE(tobj.ReadLine("503, a, b, one, 100, 0, 20, 6"));
    EXPECT_TRUE(tobj.ReadLine("x, a, b, 1, 100, 0, 20, 6")) << "the ID stays lenient";
    EXPECT_EQ(tobj.Items[1].ID, -1);
    EXPECT_EQ(tobj.Count(), 2);
}

TEST(TObjLine, KeepsOneDrawDistancePerMesh)
{
    TGTASTObj tobj;
    ASSERT_TRUE(tobj.ReadLine("600, shop, shoptxd, 2, 30, 90, 4, 19, 7"));
    EXPECT_EQ(tobj.Items[0].Flags, 4);
    EXPECT_EQ(tobj.Items[0].TimeOn, 19);
    EXPECT_EQ(tobj.Items[0].TimeOff, 7);
    EXPECT_EQ(tobj.WriteLine(0), "600, shop, shoptxd, 2, 30, 90, 4, 19, 7");
    EXPECT_FALSE(tobj.ReadLine("601, shop, shoptxd, 2, 30, far, 4, 19, 7"));
}

TEST(Definitions, NewRecordsTakeTheNextFreeIdAndTheirDefaults)
{
    TGTASObjs objs;
    objs.ReadLine("10, a, b, 1, 100, 0");
    objs.ReadLine("-5, c, d, 1, 100, 0");
    const int own = objs.NewRecord();
    EXPECT_EQ(objs.Items[own].ID, 11);
    EXPECT_EQ(objs.WriteLine(own), "11, , , 1, 0, 0");

    FakeGame game;
    game.highest = 4999;
    objs.SetContext(&game);
    EXPECT_EQ(objs.Items[objs.NewRecord()].ID, 5000);

    TGTASTObj tobj;
    tobj.SetContext(&game);
    const int timed = tobj.NewRecord();
    EXPECT_TRUE(tobj.Present);
    EXPECT_EQ(tobj.WriteLine(timed), "5000, , , 1, 0, 0, 6, 19");
}

TEST(Definitions, HighestIdIgnoresNegativeIds)
{
    TGTASObjs objs;
    EXPECT_EQ(objs.HighestID(), 0);
    objs.ReadLine("-1, a, b, 1, 100, 0");
    EXPECT_EQ(objs.HighestID(), 0);
    objs.ReadLine("77, a, b, 1, 100, 0");
    objs.ReadLine("12, a, b, 1, 100, 0");
    EXPECT_EQ(objs.HighestID(), 77);
}

TEST(Definitions, TextureDictionariesResolveThroughTheGame)
{
    FakeGame game;
    game.dictionaries = {{"lampposts", 3}, {"generic", 0}};
    TGTASObjs objs;
    objs.SetContext(&game);
    objs.ReadLine("1, lamp, lampposts, 1, 100, 0");
    objs.ReadLine("2, box, missing, 1, 100, 0");
    objs.ReadLine("3, nothing, , 1, 100, 0");
    EXPECT_EQ(objs.Items[0].TextureIndex, 3);
    EXPECT_EQ(objs.Items[1].TextureIndex, -1);
    EXPECT_EQ(objs.Items[2].TextureIndex, -1);
    EXPECT_EQ(game.lookups, 2) << "an empty texture name is not looked up";

    // The archive gained the dictionary: records using it look again, others do not.
    game.dictionaries["missing"] = 9;
    game.lookups = 0;
    objs.TextureEntryChanged("MISSING.TXD");
    EXPECT_EQ(objs.Items[1].TextureIndex, 9);
    EXPECT_EQ(game.lookups, 1);
    objs.TextureEntryChanged("missing.dff");
    EXPECT_EQ(game.lookups, 1);
}

TEST(Definitions, IdIndexSortsPositionsByIdAndStoresOwnPositions)
{
    TGTASObjs objs;
    for (const char* line : {"30, a, t, 1, 1, 0", "-2, b, t, 1, 1, 0", "10, c, t, 1, 1, 0", "20, d, t, 1, 1, 0"})
        objs.ReadLine(line);
    EXPECT_FALSE(objs.IDIndex);
    objs.BuildIDIndex();
    ASSERT_TRUE(objs.IDIndex);
    EXPECT_EQ(*objs.IDIndex, (std::vector<int>{1, 2, 3, 0}));
    EXPECT_EQ(objs.Items[3].ArrayIndex, 3);
    objs.DropIDIndex();
    EXPECT_FALSE(objs.IDIndex);
}

TEST(IdePath, HeaderAndIntegerNodes)
{
    TGTASPath path;
    path.ReadLine("car, -1, road01");
    EXPECT_EQ(path.Items[0].ID, 65535);
    EXPECT_EQ(path.WriteLine(0), "car, 65535, road01");

    path.AddNodeLine(0, "1, 2, 0, 12.5, -3, 0, 1, 1, 1");
    path.AddNodeLine(0, "");
    const TGTASPathNode& node = path.Items[0].Nodes[0];
    EXPECT_EQ(node.PosX, 0) << "node positions are integers in IDE files";
    EXPECT_EQ(node.PosY, -3);
    EXPECT_EQ(path.Items[0].Nodes[1].NextNode, -1);
    EXPECT_EQ(path.WriteLine(0), "car, 65535, road01\r\n\t1, 2, 0, 0, -3, 0, 1, 1, 1\r\n\t0, -1, 0, 0, 0, 0, 0, 0, 0");

    const int created = path.NewRecord();
    EXPECT_EQ(path.Items[created].GroupType, "ped");
    EXPECT_EQ(path.Items[created].NodeCount(), 12);
    EXPECT_EQ(path.Items[created].Nodes[0].NextNode, -1);
}

struct EffectCase {
    const char* line;
    const char* written;
};

class EffectLine : public testing::TestWithParam<EffectCase> {};

TEST_P(EffectLine, ReadsAndWritesTheColumnsOfItsType)
{
    TGTAS2dfx fx;
    ASSERT_TRUE(fx.ReadLine(GetParam().line)) << GetParam().line;
    EXPECT_EQ(fx.WriteLine(0), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Types, EffectLine,
    testing::Values(
        EffectCase{"1800, 0.5, -1, 4.25, 255, 128, 0, 100, 0, \"coronastar\", \"shad_exp\", 100, 8, 1, 0, 40, 0, 1, 0, 0",
                   "1800, 0.5, -1, 4.25, 255, 128, 0, 100, 0, \"coronastar\", \"shad_exp\", 100, 8, 1, 0, 40, 0, 1, "
                   "0, 0"},
        EffectCase{"1801, 0, 0, 1, 0, 0, 0, 200, 1, 3, 0, 0, 0.5, 1", "1801, 0, 0, 1, 0, 0, 0, 200, 1, 3, 0, 0, 0.5, 1"},
        EffectCase{"1802, 0, 0, 1, 0, 0, 0, 200, 3, 2, 0, 1, 0, 1, 0, 0",
                   "1802, 0, 0, 1, 0, 0, 0, 200, 3, 2, 0, 1, 0, 1, 0, 0"},
        EffectCase{"1803, 0, 0, 1, 0, 0, 0, 200, 2", "1803, 0, 0, 1, 0, 0, 0, 200, 2, "},
        EffectCase{"1804, 0, 0, 1, 0, 0, 0, 200, 4, 9, 9", "1804, 0, 0, 1, 0, 0, 0, 200, 4, 9, 9"},
        EffectCase{"x, 0, 0, 1, 300, -1, 256, 50, 2", "65535, 0, 0, 1, 44, 255, 0, 50, 2, "}));

TEST(EffectLine, RejectsLinesMissingAColumnOfTheirType)
{
    TGTAS2dfx fx;
    EXPECT_FALSE(fx.ReadLine("1, 0, 0, 1, 255, 255, 255, 100, 0, \"c\", \"s\", 100, 8, 1, 0, 40, 0, 1, 0"));
    EXPECT_FALSE(fx.ReadLine("1, 0, 0, 1, 255, 255, 255, 100.5, 2"));
    EXPECT_FALSE(fx.ReadLine("1, 0, 0, 1, 255, 255, 255, 100, 1, 3, 0, 0, 0"));
    EXPECT_FALSE(fx.ReadLine("1, 0, zero, 1, 255, 255, 255, 100, 2"));
    EXPECT_FALSE(fx.ReadLine("1, 0, 0, 1, 255, 255, 255, 100"));
    EXPECT_EQ(fx.Count(), 0);
}

TEST(EffectRecord, NewLightHasTheDefaultCoronaAndShadow)
{
    TGTAS2dfx fx;
    const int pos = fx.NewRecord();
    EXPECT_TRUE(fx.Present);
    EXPECT_EQ(fx.WriteLine(pos), "0, 0, 0, 0, 255, 255, 255, 200, 0, \"coronastar\", \"shad_exp\", 100, 8, 1, 0, 40, "
                                 "0, 0, 0, 0");
    const TGTAS2dfxObj& r = fx.Items[pos];
    EXPECT_EQ(r.RotW, 1.0f);
    EXPECT_EQ(r.Dir1Y, 1.0f);
    EXPECT_EQ(r.Dir2Y, 1.0f);
    EXPECT_EQ(r.Dir1X, 0.0f);
}

TEST(SurplusColumns, EveryIdeRecordWritesTheColumnsAfterItsOwnBack)
{
    const struct {
        const char* line;
        const char* written;
    } cases[] = {
        // A mod's default.ide: one column more than the objs form.
        {"6620, spl_b_bab_m, generic, 1, 20, 70, 0", "6620, spl_b_bab_m, generic, 1, 20, 70, 0"},
        {"100, gate, gatetxd, 2, 150, 200, 4, 1, x", "100, gate, gatetxd, 2, 150, 200, 4, 1, x"},
    };
    for (const auto& c : cases) {
        TGTASObjs objs;
        objs.ReadLine(c.line);
        EXPECT_EQ(objs.WriteLine(0), c.written);
    }
    TGTASTObj tobj;
    ASSERT_TRUE(tobj.ReadLine("7, lamp, lamptxd, 1, 50, 0, 20, 6, extra"));
    EXPECT_EQ(tobj.Items[0].TimeOff, 6);
    tobj.Items[0].TimeOn = 19;
    EXPECT_EQ(tobj.WriteLine(0), "7, lamp, lamptxd, 1, 50, 0, 19, 6, extra");

    TGTASPath path;
    path.ReadLine("car, 5, road01, 1");
    path.AddNodeLine(0, "1, 2, 0, 0, -3, 0, 1, 1, 1, 2, 3");
    EXPECT_EQ(path.WriteLine(0), "car, 5, road01, 1\r\n\t1, 2, 0, 0, -3, 0, 1, 1, 1, 2, 3");

    TGTAS2dfx fx;
    ASSERT_TRUE(fx.ReadLine("1801, 0, 0, 1, 0, 0, 0, 200, 1, 3, 0, 0, 0.5, 1, 6"));
    ASSERT_TRUE(fx.ReadLine("1803, 0, 0, 1, 0, 0, 0, 200, 2, 6"));
    EXPECT_EQ(fx.WriteLine(0), "1801, 0, 0, 1, 0, 0, 0, 200, 1, 3, 0, 0, 0.5, 1, 6");
    EXPECT_EQ(fx.WriteLine(1), "1803, 0, 0, 1, 0, 0, 0, 200, 2, 6");
}

} // namespace
