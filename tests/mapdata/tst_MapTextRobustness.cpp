#include "Log.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Lines made of pieces real and broken map files hold, so that random texts reach every
// section and record reader with odd column counts, empty columns and stray keywords.
// The last pieces are those whose meaning changes once written: a quoted inst token may
// hold blanks, which the written form cannot keep, and a byte order mark that a saved file
// begins with is read as one.
std::string randomMapText(std::mt19937& engine, bool withChangingPieces)
{
    static const std::string Pieces[] = {
        "inst", "cull", "zone", "occl", "path", "objs", "tobj", "2dfx", "end", "END", "cars", "pick", "#",
        ",", ", ", " ", "\t", "0", "-1", "1.5", "1E-005", "65536", "2147483648", "-3.4e38", "abc", "nan", "inf",
        ".", "-", "+", "\r\n", "\n", "\r", "\n\t", std::string(1, '\0'), "\xff",
        "\"", "\"\"", "\xEF\xBB\xBF",
    };
    constexpr int ChangingPieces = 3;
    constexpr int Count = sizeof Pieces / sizeof Pieces[0];
    std::uniform_int_distribution<int> piece(0, withChangingPieces ? Count - 1 : Count - 1 - ChangingPieces);
    std::string text;
    const int length = std::uniform_int_distribution<int>(0, 400)(engine);
    for (int i = 0; i < length; ++i)
        text += Pieces[piece(engine)];
    return text;
}

template <typename File>
std::string readAndSave(const std::string& text)
{
    File file;
    file.ReadText(text);
    EXPECT_EQ(file.SaveText(), text) << "an unedited text is saved byte for byte";
    return file.NormalFormText();
}

TEST(MapTextRobustness, AnyTextReadsAndSavedTextIsStable)
{
    const TextSink previous = setLogSink([](std::string_view) {}); // missing inst tokens are logged
    std::mt19937 engine(99);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomMapText(engine, round % 2 == 0);
        const std::string ipl = readAndSave<TIPLFile>(text);
        const std::string ide = readAndSave<TIDEFile>(text);
        if (round % 2 == 0)
            continue;
        ASSERT_EQ(readAndSave<TIPLFile>(ipl), ipl) << "from: " << testing::PrintToString(text);
        ASSERT_EQ(readAndSave<TIDEFile>(ide), ide) << "from: " << testing::PrintToString(text);
    }
    setLogSink(previous);
}

} // namespace
