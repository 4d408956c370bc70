#include "Log.h"
#include "VarnParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Runs in a process of its own: no split has happened before this test.
TEST(TokenAt, BeforeAnySplitTellsTheUserAndGivesEmptyText)
{
    std::vector<std::string> notices;
    setUserNoticeSink([&](std::string_view text) { notices.emplace_back(text); });
    EXPECT_EQ(TokenAt(0), "");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "text parser not initialized.");

    SplitLine("a");
    EXPECT_EQ(TokenAt(0), "a");
    EXPECT_EQ(notices.size(), 1u);
}
