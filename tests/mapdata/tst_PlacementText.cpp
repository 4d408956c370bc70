// Placements as clipboard text: the lines written for copied records and the same inst reader
// taking lines back, rejecting what a file read would only default. The interior column and
// the centre are tested where pasting uses them.
#include "PlacementText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(PlacementLines, LinesTheReaderTakesAndThoseItRejects)
{
    struct Case {
        const char* line;
        bool accepted;
        bool interior;
    };
    const Case cases[] = {
        {"1, lamppost1, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1", true, false},
        {"1, lamppost1, 2, 10.5, -3, 0, 1, 1, 1, 0, 0, 0, 1", true, true},
        {"2139, , 0, 3.80387E-010, 1, 2, 0, 0, 0, 0, 0, 0, 1", true, true}, // empty name, exponent
        {"7 tree 1 2 3 1 1 1 0 0 0 1", true, false},                         // blanks separate too
        {"7, tree, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1, 99, extra", true, false},   // surplus columns kept
        {"7, tree, 1, 2, 3, 1, 1, 1, 0, 0, 0", false, false},                // one column short
        {"x7, tree, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1", false, false},            // ID not a number
        {"7, tree, 1, 2, 3, 1, 1, 1, 0, 0, zero, 1", false, false},          // rotation not a number
        {"7, tree, 1.5, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1", false, false},        // interior not an integer
        {"hello world", false, false},
    };
    for (const Case& c : cases) {
        const PlacementLines read = readPlacementLines(c.line);
        EXPECT_EQ(read.records.size(), c.accepted ? 1u : 0u) << c.line;
        EXPECT_EQ(read.rejected.size(), c.accepted ? 0u : 1u) << c.line;
        if (c.accepted)
            EXPECT_EQ(read.records[0].HasInterior, c.interior) << c.line;
        else
            EXPECT_EQ(read.rejected[0].text, c.line);
    }
    // The same text in a file keeps its bad lines readable as before: only pasting is strict.
    TGTASInst file;
    EXPECT_TRUE(file.ReadLine("x7, tree, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1"));
}

TEST(PlacementLines, SectionLinesCommentsAndBlanksArePassedOverAndRejectedLinesKeepTheirNumbers)
{
    const PlacementLines read = readPlacementLines("inst\r\n"
                                                   "# copied from town.ipl\r\n"
                                                   "1, a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                                                   "\r\n"
                                                   "2, b, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n"
                                                   "3, c, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                                                   "END\r\n"
                                                   "oops\r\n");
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].ModelName, "a");
    EXPECT_EQ(read.records[1].ModelName, "c");
    ASSERT_EQ(read.rejected.size(), 2u);
    EXPECT_EQ(read.rejected[0].line, 5);
    EXPECT_EQ(read.rejected[0].text, "2, b, 0, 0, 0, 1, 1, 1, 0, 0, 0");
    EXPECT_EQ(read.rejected[1].line, 8);
    EXPECT_TRUE(readPlacementLines("").records.empty());
    EXPECT_TRUE(readPlacementLines("\n\n").rejected.empty());
}

TEST(PlacementLines, CopiedTextReadsBackAsTheSameRecords)
{
    std::mt19937 random(2112);
    std::uniform_real_distribution<float> coordinate(-3000.0f, 3000.0f);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    TGTASInst section;
    for (int i = 0; i < 200; ++i) {
        const int pos = section.NewRecord();
        TGTASInstObj& record = section.Items[static_cast<std::size_t>(pos)];
        record.HasInterior = i % 3 != 0;
        record.ID = static_cast<int>(random() % 8000);
        record.Interior = record.HasInterior ? static_cast<int>(random() % 20) : 0;
        record.ModelName = i % 17 == 0 ? std::string() : "model" + std::to_string(i);
        record.PosX = coordinate(random);
        record.PosY = coordinate(random);
        record.PosZ = coordinate(random) / 100;
        record.ScaleX = record.ScaleY = record.ScaleZ = 1;
        record.RotX = unit(random);
        record.RotY = unit(random);
        record.RotZ = unit(random);
        record.RotW = unit(random);
        if (i % 50 == 7)
            record.Surplus = "42, \"a b\"";
    }
    std::vector<int> chosen;
    for (int pos = 0; pos < section.Count(); pos += 3)
        chosen.push_back(pos);
    chosen.push_back(section.Count()); // out of range: left out
    const std::string text = placementText(section, chosen);
    chosen.pop_back();
    const PlacementLines read = readPlacementLines(text);
    ASSERT_TRUE(read.rejected.empty());
    ASSERT_EQ(read.records.size(), chosen.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        // Written with six significant digits: the text, not the float, is what must survive.
        TGTASInst again;
        again.Items.push_back(read.records[i]);
        EXPECT_EQ(again.WriteLine(0), section.WriteLine(chosen[i]));
        EXPECT_EQ(read.records[i].HasInterior, section.Items[static_cast<std::size_t>(chosen[i])].HasInterior);
    }
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(chosen.size()));
}

} // namespace
