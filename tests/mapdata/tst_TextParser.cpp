#include "TextParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

TEST(GetColumn, PicksCommaSeparatedColumnsTrimmed)
{
    EXPECT_EQ(GetColumn(1, "a, b"), "a");
    EXPECT_EQ(GetColumn(2, "a, b"), "b");
    EXPECT_EQ(GetColumn(3, "a, b"), "");
    EXPECT_EQ(GetColumn(2, "a,  b c ,d"), "b c");
    EXPECT_EQ(GetColumn(0, "a, b"), "");
    // Quotes mean nothing here; blanks alone do not separate.
    EXPECT_EQ(GetColumn(2, "1, \"a,b\", 2"), "\"a");
    EXPECT_EQ(GetColumn(1, "\t 12 34\t"), "12 34");
    EXPECT_EQ(GetColumn(3, "a,b,"), "");
}

TEST(ColumnCount, CountsCommasPlusOne)
{
    EXPECT_EQ(ColumnCount(""), 1);
    EXPECT_EQ(ColumnCount("a, b, c"), 3);
    EXPECT_EQ(ColumnCount("a, b,"), 3);
}

TEST(ReplaceText, ReplacesEveryOccurrenceWithoutRegardToCase)
{
    EXPECT_EQ(ReplaceText("a b  c", " ", ","), "a,b,,c");
    EXPECT_EQ(ReplaceText("Data\\MAPS\\x", "maps", "m"), "Data\\m\\x");
    EXPECT_EQ(ReplaceText("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceText("abc", "", "x"), "abc");
}

TEST(Bits, SetClearAndTestModulo32)
{
    EXPECT_EQ(PutBit(0, 3, true), 8u);
    EXPECT_EQ(PutBit(8, 3, false), 0u);
    EXPECT_TRUE(BitIsSet(8, 35));
    EXPECT_FALSE(BitIsSet(8, 2));
    EXPECT_EQ(SetBit(0, 31), 0x80000000u);
    EXPECT_EQ(ClearBit(0xFFFFFFFFu, 32), 0xFFFFFFFEu);
}

TEST(Angles, ArcSinAndArcCosThroughAtan2)
{
    EXPECT_NEAR(ArcSin(0.5), std::numbers::pi / 6, 1e-12);
    EXPECT_NEAR(ArcSin(1.0), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(ArcCos(0.0), std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(ArcCos(-1.0), std::numbers::pi, 1e-12);
    EXPECT_TRUE(std::isnan(ArcSin(2.0)));
}

TEST(TrimText, RemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(TrimText(" \t\r\nabc \x01"), "abc");
    EXPECT_EQ(TrimText("   "), "");
    EXPECT_TRUE(equalsIgnoringCase("END", "end"));
    EXPECT_FALSE(equalsIgnoringCase("ends", "end"));
}

} // namespace
