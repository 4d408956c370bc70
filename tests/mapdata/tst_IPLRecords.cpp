#include "TGTASCull.h"
#include "TGTASInst.h"
#include "TGTASOcclu.h"
#include "TGTASPathIPL.h"
#include "TGTASZone.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

// Reads one line into a fresh container and writes it back.
template <typename Container>
std::string rewritten(const std::string& line)
{
    Container container;
    EXPECT_TRUE(container.ReadLine(line)) << line;
    return container.WriteLine(0);
}

TEST(InstLine, TwelveColumnsReadAndWriteTheGtaThreeForm)
{
    TGTASInst inst;
    ASSERT_TRUE(inst.ReadLine("1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1"));
    const TGTASInstObj& r = inst.Items[0];
    EXPECT_FALSE(r.HasInterior);
    EXPECT_EQ(r.ID, 1);
    EXPECT_EQ(r.ModelName, "lamppost1");
    EXPECT_EQ(r.Interior, 0);
    EXPECT_EQ(r.PosX, 10.5f);
    EXPECT_EQ(r.PosY, -3.0f);
    EXPECT_EQ(r.RotW, 1.0f);
    EXPECT_EQ(r.DefFile, -1);
    EXPECT_EQ(inst.WriteLine(0), "1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1");
}

TEST(InstLine, ThirteenColumnsCarryTheViceCityInterior)
{
    TGTASInst inst;
    inst.ReadLine("1, lamppost1, 0, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1");
    EXPECT_TRUE(inst.Items[0].HasInterior);
    EXPECT_EQ(inst.Items[0].Interior, 0);
    EXPECT_EQ(inst.Items[0].PosX, 10.5f);
    EXPECT_EQ(inst.WriteLine(0), "1, lamppost1, 0, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1");
}

TEST(InstLine, TrailingCommaMakesThirteenTokens)
{
    TGTASInst inst;
    inst.ReadLine("1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1,");
    const TGTASInstObj& r = inst.Items[0];
    EXPECT_TRUE(r.HasInterior);
    EXPECT_EQ(r.Interior, -1) << "10.5 is no integer: the default";
    EXPECT_EQ(r.PosX, -3.0f);
    EXPECT_EQ(r.RotW, 0.0f);
}

TEST(InstLine, RealViceCityLayouts)
{
    // Empty model names, zero scale, exponent forms, TAB and blank padding.
    EXPECT_EQ(rewritten<TGTASInst>("2139, , 0, 3.80387E-010, -1557.48, 12, 0, 0, 0, 0, 0, 0, 1"),
              "2139, , 0, 3.80387E-010, -1557.48, 12, 0, 0, 0, 0, 0, 0, 1");
    EXPECT_EQ(rewritten<TGTASInst>("400,\tjetty01,\t0,\t-1.5,\t2.25,  3,\t1, 1, 1,\t0, 0, -0.707107, 0.707107"),
              "400, jetty01, 0, -1.5, 2.25, 3, 1, 1, 1, 0, 0, -0.707107, 0.707107");
}

TEST(InstLine, QuotedTokensAreWrittenQuotedAgain)
{
    // Quotes group an inst line's tokens: a name or a surplus token holding a blank, a comma
    // or a quote must come back as one token, or the written line reads as other fields.
    const struct {
        const char* line;
        const char* name;
        const char* written;
    } Cases[] = {
        {"139, \"a b\", 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1", "a b", "139, \"a b\", 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"},
        {"139,\"a,b\",1,2,3,1,1,1,0,0,0,1", "a,b", "139, \"a,b\", 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"},
        {"139, \"say \"\"hi\"\"\", 1, 2, 3, 1, 1, 1, 0, 0, 0, 1", "say \"hi\"",
         "139, \"say \"\"hi\"\"\", 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"},
        {"139, \"plain\", 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1, \"x y\", 7", "plain",
         "139, plain, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1, \"x y\", 7"},
    };
    for (const auto& c : Cases) {
        TGTASInst inst;
        ASSERT_TRUE(inst.ReadLine(c.line));
        EXPECT_EQ(inst.Items[0].ModelName, c.name);
        const std::string written = inst.WriteLine(0);
        EXPECT_EQ(written, c.written);
        TGTASInst again;
        ASSERT_TRUE(again.ReadLine(written));
        EXPECT_EQ(again.WriteLine(0), written) << c.line;
        EXPECT_EQ(again.Items[0].ModelName, c.name);
        EXPECT_EQ(again.Items[0].PosX, inst.Items[0].PosX);
    }
}

TEST(InstLine, MissingTokensTakeDefaults)
{
    TGTASInst inst;
    inst.ReadLine("x, onlyname");
    EXPECT_EQ(inst.Items[0].ID, -1);
    EXPECT_EQ(inst.Items[0].ModelName, "onlyname");
    EXPECT_EQ(inst.Items[0].PosX, 0.0f);
    EXPECT_EQ(inst.Items[0].RotW, 0.0f);
    EXPECT_FALSE(inst.Items[0].HasInterior);
}

TEST(InstRecord, NewRecordFollowsTheGameMode)
{
    for (bool viceCity : {true, false}) {
        TGTASInst inst;
        inst.ViceCity = viceCity;
        EXPECT_FALSE(inst.Present);
        const int pos = inst.NewRecordAt(1.5f, 2.0f, -3.0f);
        EXPECT_TRUE(inst.Present);
        EXPECT_EQ(inst.Items[pos].HasInterior, viceCity);
        EXPECT_EQ(inst.WriteLine(pos), viceCity ? "0, , 0, 1.5, 2, -3, 0, 0, 0, 0, 0, 0, 1"
                                                : "0, , 1.5, 2, -3, 0, 0, 0, 0, 0, 0, 1");
    }
}

TEST(Records, DeleteShiftsLaterPositionsAndKeepsPresent)
{
    TGTASInst inst;
    inst.ReadLine("1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    inst.ReadLine("2, b, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    inst.ReadLine("3, c, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    inst.Present = true;
    inst.DeleteRecord(0);
    inst.DeleteRecord(7);
    inst.DeleteRecord(-1);
    ASSERT_EQ(inst.Count(), 2);
    EXPECT_EQ(inst.Items[0].ModelName, "b");
    inst.DeleteRecord(0);
    inst.DeleteRecord(0);
    EXPECT_EQ(inst.Count(), 0);
    EXPECT_TRUE(inst.Present);
    EXPECT_EQ(inst.WriteLine(0), "");
}

TEST(CullLine, ReadsNineFloatsAndTwoNumbersStrictly)
{
    EXPECT_EQ(rewritten<TGTASCull>("1, 2, 3, 4.5, 5, 6, 7, 8, 9, 10, 11"), "1, 2, 3, 4.5, 5, 6, 7, 8, 9, 10, 11");
    EXPECT_EQ(rewritten<TGTASCull>("0,0,0,0,0,0,0,0,0,-1,70000"), "0, 0, 0, 0, 0, 0, 0, 0, 0, 65535, 4464");
    TGTASCull cull;
    EXPECT_FALSE(cull.ReadLine("1, 2, 3, 4, 5, 6, 7, 8, 9, 10"));
    EXPECT_FALSE(cull.ReadLine("1, 2, 3, x, 5, 6, 7, 8, 9, 10, 11"));
    EXPECT_FALSE(cull.ReadLine("1, 2, 3, 4, 5, 6, 7, 8, 9, 1.5, 11"));
    EXPECT_EQ(cull.Count(), 0);
    EXPECT_EQ(cull.WriteLine(cull.NewRecord()), "0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0");
}

TEST(ZoneLine, ReadsStrictlyAndNewZonesCountOn)
{
    EXPECT_EQ(rewritten<TGTASZone>("Downtown, 0, -500, -300.5, 0, 200, 100, 50, 1"),
              "Downtown, 0, -500, -300.5, 0, 200, 100, 50, 1");
    TGTASZone zone;
    EXPECT_FALSE(zone.ReadLine("Downtown, 0, -500, -300.5, 0, 200, 100, 50"));
    EXPECT_FALSE(zone.ReadLine("Downtown, one, -500, -300.5, 0, 200, 100, 50, 1"));

    EXPECT_EQ(zone.Items[zone.NewRecord()].Name, "Zone01");
    EXPECT_EQ(zone.WriteLine(0), "Zone01, 3, 0, 0, 0, 0, 0, 0, 1");
    zone.Items[0].Name = "Zone07";
    EXPECT_EQ(zone.Items[zone.NewRecord()].Name, "Zone08");
    zone.ReadLine("Downtown, 0, 0, 0, 0, 0, 0, 0, 1");
    EXPECT_EQ(zone.Items[zone.NewRecord()].Name, "Zone00");
    zone.ReadLine("Zone9, 0, 0, 0, 0, 0, 0, 0, 1");
    EXPECT_EQ(zone.Items[zone.NewRecord()].Name, "Zone10");
}

TEST(OcclLine, KeepsSevenToTenNumbersAsRead)
{
    EXPECT_EQ(rewritten<TGTASOcclu>("115.719, -1557.48, -34.3707, 19.029, 12.3125, 58.1319, 164.106"),
              "115.719, -1557.48, -34.3707, 19.029, 12.3125, 58.1319, 164.106");
    EXPECT_EQ(rewritten<TGTASOcclu>("1, 2, 3, 4, 5, 6, 7, 8"), "1, 2, 3, 4, 5, 6, 7, 8");
    EXPECT_EQ(rewritten<TGTASOcclu>("1, 2, 3, 4, 5, 6, 7, 8, 9, 10"), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10");

    TGTASOcclu occl;
    occl.ReadLine("1, 2, 3, 4, 5, 6, 7");
    EXPECT_EQ(occl.Items[0].ColumnCount, 7);
    EXPECT_EQ(occl.Items[0].U7, 7.0f);
    EXPECT_EQ(occl.Items[0].U8, 0.0f);
    EXPECT_FALSE(occl.ReadLine("1, 2, 3, 4, 5, 6"));
    EXPECT_FALSE(occl.ReadLine("1, 2, 3, 4, 5, 6, x"));
    EXPECT_FALSE(occl.ReadLine("1, 2, 3, 4, 5, 6, 7,"));
    EXPECT_EQ(occl.Count(), 1);
}

TEST(IplPath, GroupHeaderAndNodes)
{
    TGTASPathIPL path;
    ASSERT_TRUE(path.ReadLine("1, -1"));
    path.AddNodeLine(0, "1, 2, 0, 12.5, -3, 0.5, 1.5, 1, 1, 0, 0, 1");
    path.AddNodeLine(0, "x");
    path.AddNodeLine(5, "1, 2, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1");
    ASSERT_EQ(path.Items[0].NodeCount(), 2);
    EXPECT_EQ(path.Items[0].Nodes[0].PosX, 12.5f);
    EXPECT_EQ(path.Items[0].Nodes[1].NextNode, -1) << "a node's missing NextNode is -1";
    EXPECT_EQ(path.WriteLine(0), "1, -1\r\n\t1, 2, 0, 12.5, -3, 0.5, 1.5, 1, 1, 0, 0, 1\r\n"
                                 "\t0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0");

    const int created = path.NewRecord();
    ASSERT_EQ(path.Items[created].NodeCount(), 12);
    EXPECT_EQ(path.Items[created].GroupType, 0);
    EXPECT_EQ(path.Items[created].Other, -1);
    EXPECT_EQ(path.Items[created].Nodes[11].U12, 1);
    EXPECT_EQ(path.Items[created].Nodes[11].NextNode, -1);
}

TEST(IplPath, ColumnsTenToTwelveKeepAFractionWhenTheFileHasOne)
{
    const struct {
        const char* node;
        float u10, u11, u12;
        const char* written;
    } cases[] = {
        // A node line of Vice City's paths.ipl.
        {"2, 5, 0, -3628.81, 16622.8, 96, 18, 1, 1, 0, 8, 0.5", 0, 8, 0.5f,
         "2, 5, 0, -3628.81, 16622.8, 96, 18, 1, 1, 0, 8, 0.5"},
        {"1, 2, 0, 0, 0, 0, 0, 1, 1, 0.25, -1.5, 3", 0.25f, -1.5f, 3, "1, 2, 0, 0, 0, 0, 0, 1, 1, 0.25, -1.5, 3"},
        // Whole numbers keep the low 16 bits, as before.
        {"1, 2, 0, 0, 0, 0, 0, 1, 1, -1, 65537, 2.0", 65535, 1, 2, "1, 2, 0, 0, 0, 0, 0, 1, 1, 65535, 1, 2"},
        {"1, 2, 0, 0, 0, 0, 0, 1, 1, x, , 1e1", 0, 0, 10, "1, 2, 0, 0, 0, 0, 0, 1, 1, 0, 0, 10"},
    };
    for (const auto& c : cases) {
        TGTASPathIPL path;
        ASSERT_TRUE(path.ReadLine("0, -1"));
        path.AddNodeLine(0, c.node);
        const TGTASPathIPLNode& node = path.Items[0].Nodes.at(0);
        EXPECT_EQ(node.U10, c.u10) << c.node;
        EXPECT_EQ(node.U11, c.u11) << c.node;
        EXPECT_EQ(node.U12, c.u12) << c.node;
        EXPECT_EQ(path.WriteLine(0), std::string("0, -1\r\n\t") + c.written);
    }
}

TEST(SurplusColumns, EveryIplRecordWritesTheColumnsAfterItsOwnBack)
{
    const struct {
        std::string written, expected;
    } cases[] = {
        {rewritten<TGTASInst>("1, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1, 7, x"), "1, box, 0, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1, 7, x"},
        {rewritten<TGTASInst>("1, box, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"), "1, box, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"},
        {rewritten<TGTASCull>("1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12"},
        {rewritten<TGTASZone>("Zone01, 3, 0, 0, 0, 1, 1, 1, 1, two words"), "Zone01, 3, 0, 0, 0, 1, 1, 1, 1, two words"},
        {rewritten<TGTASOcclu>("1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11"), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11"},
        {rewritten<TGTASPathIPL>("0, -1, 5"), "0, -1, 5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.written, c.expected);

    TGTASPathIPL path;
    path.ReadLine("0, -1");
    path.AddNodeLine(0, "1, 2, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 9,  8 ");
    EXPECT_EQ(path.WriteLine(0), "0, -1\r\n\t1, 2, 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 9, 8");
    // An edited record keeps its surplus after its own columns.
    TGTASCull cull;
    cull.ReadLine("1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12");
    cull.Items[0].U11 = 40;
    EXPECT_EQ(cull.WriteLine(0), "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 40, 12");
}

} // namespace
