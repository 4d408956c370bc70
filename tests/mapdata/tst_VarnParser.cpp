#include "Log.h"
#include "VarnParser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

namespace {

std::vector<std::string> tokens()
{
    std::vector<std::string> list;
    for (int i = 0; i < TokenCount(); ++i)
        list.emplace_back(TokenAt(i));
    return list;
}

struct SplitCase {
    const char* line;
    std::vector<std::string> expected;
};

class SplitLineRule : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLineRule, GivesTheTokensOfTheCommaTextRule)
{
    std::string line = GetParam().line;
    SplitLine(line);
    EXPECT_EQ(tokens(), GetParam().expected) << "line: [" << GetParam().line << "]";
    const std::span<const std::string_view> all = Tokens();
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.end()), GetParam().expected);

    // Without quotes the tokens are read in place; with them from the list's own copy, so
    // changing the line afterwards changes the tokens only in the first case.
    const bool quoted = line.find('"') != std::string::npos;
    for (const std::string_view token : all) {
        if (token.empty())
            continue;
        const bool inLine = token.data() >= line.data() && token.data() + token.size() <= line.data() + line.size();
        EXPECT_EQ(inLine, !quoted) << "line: [" << GetParam().line << "]";
    }
    std::fill(line.begin(), line.end(), '#');
    if (quoted) {
        EXPECT_EQ(tokens(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitLineRule,
    testing::Values(SplitCase{"1, abc, 2.5", {"1", "abc", "2.5"}}, SplitCase{"1,abc,,2.5", {"1", "abc", "", "2.5"}},
                    SplitCase{"1, abc,", {"1", "abc", ""}},
                    // Only a comma that is the very last character adds an empty token.
                    SplitCase{"1, abc, ", {"1", "abc"}}, SplitCase{"a b", {"a", "b"}}, SplitCase{"a,b", {"a", "b"}},
                    SplitCase{"\"two words\", x", {"two words", "x"}},
                    SplitCase{"\"a, \"\"b\"\"\"", {"a, \"b\""}}, SplitCase{"\"open", {"open"}},
                    SplitCase{"2139, , 0, 1", {"2139", "", "0", "1"}},
                    SplitCase{"\t 1\t,\tlamp  ,\t\t2 \t", {"1", "lamp", "2"}}, SplitCase{",", {"", ""}},
                    SplitCase{"", {}}, SplitCase{" \t ", {}}));

TEST(SplitLine, EachSplitReplacesTheWholeList)
{
    SplitLine("a, b, c, d");
    SplitLine("x");
    EXPECT_EQ(tokens(), std::vector<std::string>{"x"});
}

TEST(SplitWords, KeepsOnlyTheNonEmptyWords)
{
    SplitWords("  a   b  ");
    EXPECT_EQ(tokens(), (std::vector<std::string>{"a", "b"}));
    // The words of a text made on the way, read after it is gone.
    SplitWords(std::string("vc,  \"Vice City\" 1"));
    EXPECT_EQ(tokens(), (std::vector<std::string>{"vc", "Vice,City", "1"}));
}

TEST(TokenAt, OutOfRangeGivesEmptyTextAndADebugLine)
{
    std::vector<std::string> logged;
    const TextSink previous = setLogSink([&](std::string_view line) { logged.emplace_back(line); });
    SplitLine("a, b, c");
    EXPECT_EQ(TokenAt(5), "");
    EXPECT_EQ(TokenAt(-1), "");
    EXPECT_EQ(TokenAt(2), "c");
    setLogSink(previous);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0], "indexed failed at 5, text is: a,b,c");
    EXPECT_EQ(logged[1], "indexed failed at -1, text is: a,b,c");
}

} // namespace
