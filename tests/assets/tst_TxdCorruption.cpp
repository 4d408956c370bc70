#include "TxdDecoder.h"
#include "TxdPixels.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const FixtureNames[] = {"pal", "rgba", "dxt"};

Bytes fixture()
{
    return writeTxd({encodeTexture("pal", "palmask", TxdFormat::Pal8_8888, solidImage(4, 4, {5, 6, 7, 8}), 2),
                     encodeTexture("rgba", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 4}), 1),
                     encodeTexture("dxt", "", TxdFormat::Dxt1, solidImage(4, 4, {9, 9, 9, 255}), 1)},
                    0x0800FFFF);
}

// What was read is a prefix of the fixture's textures, in order.
void expectFixturePrefix(const TxdDecodeResult& result)
{
    ASSERT_LE(result.Textures.size(), 3u);
    for (std::size_t i = 0; i < result.Textures.size(); ++i)
        EXPECT_EQ(result.Textures[i].Texture.Name, FixtureNames[i]);
}

TEST(TxdTruncation, EveryCutIsReportedAndKeepsOnlyWholeTextures)
{
    const Bytes whole = fixture();
    ASSERT_EQ(decodeTxd(whole).Error, "");
    const std::vector<std::size_t> starts = texturePositions(whole);
    ASSERT_EQ(starts.size(), 3u);
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("cut at " + std::to_string(length));
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        const TxdDecodeResult result = decodeTxd(cut);
        EXPECT_NE(result.Error, "");
        expectFixturePrefix(result);
        // A texture whose levels were all present is kept with its pixels intact.
        for (const TxdDecodedTexture& texture : result.Textures) {
            for (const TxdLevel& level : texture.Levels) {
                if (texture.Texture.Compression == 0) {
                    EXPECT_FALSE(levelRgba(texture.Texture, level).empty());
                }
            }
        }
        // Textures that end (with their extension) before the cut are never lost.
        std::size_t complete = 0;
        for (std::size_t i = 0; i < 3; ++i)
            if (starts[i] + 12 + getU32(whole, starts[i] + 4) <= length)
                complete = i + 1;
        EXPECT_GE(result.Textures.size(), complete);
    }
}

struct CorruptionCase {
    const char* what;
    std::function<void(Bytes&, const std::vector<std::size_t>&)> corrupt;
    std::vector<std::string> textures; // names of the textures read afterwards
    bool reported; // Error not empty
};

const CorruptionCase CorruptionCases[] = {
    {"texture count 65535", [](Bytes& b, const auto&) { b[24] = 0xFF; b[25] = 0xFF; }, {"pal", "rgba", "dxt"}, true},
    {"dictionary size huge", [](Bytes& b, const auto&) { putU32(b, 4, 0xFFFFFFF0u); }, {"pal", "rgba", "dxt"}, true},
    {"dictionary struct size huge", [](Bytes& b, const auto&) { putU32(b, 16, 0xFFFFFFF0u); }, {"pal", "rgba", "dxt"}, false},
    // The fixed layout finds the next texture when a chunk size cannot be right.
    {"texture chunk size huge", [](Bytes& b, const auto& at) { putU32(b, at[0] + 4, 0xFFFFFFF0u); }, {"pal", "rgba", "dxt"}, false},
    {"level size huge, chunk size intact",
     [](Bytes& b, const auto& at) { putU32(b, at[1] + 112, 0xFFFFFFF0u); }, {"pal", "dxt"}, true},
    {"level size huge, chunk size huge",
     [](Bytes& b, const auto& at) {
         putU32(b, at[1] + 112, 0xFFFFFFF0u);
         putU32(b, at[1] + 4, 0xFFFFFFF0u);
     },
     {"pal"}, true},
    {"255 levels", [](Bytes& b, const auto& at) { b[at[2] + 109] = 255; }, {"pal", "rgba"}, true},
    {"width and height 65535",
     [](Bytes& b, const auto& at) { putU32(b, at[1] + 104, 0xFFFFFFFFu); }, {"pal", "rgba", "dxt"}, true},
    {"palette size past the end",
     [](Bytes& b, const auto& at) { putU32(b, at[0] + 112 + 1024, 0x7FFFFFFFu); }, {"rgba", "dxt"}, true},
    {"unknown chunk in place of a texture, size intact",
     [](Bytes& b, const auto& at) { putU32(b, at[1], 0x1234); }, {"pal", "dxt"}, true},
    {"unknown chunk in place of a texture, size huge",
     [](Bytes& b, const auto& at) {
         putU32(b, at[1], 0x1234);
         putU32(b, at[1] + 4, 0xFFFFFFF0u);
     },
     {"pal"}, true},
    {"unknown chunk in place of the first texture", [](Bytes& b, const auto& at) { putU32(b, at[0], 0x1234); }, {"rgba", "dxt"},
     true},
    {"texture chunk of size 0", [](Bytes& b, const auto& at) { putU32(b, at[1] + 4, 0); }, {"pal", "rgba", "dxt"}, false},
};

class TxdCorruption : public testing::TestWithParam<CorruptionCase> {};

TEST_P(TxdCorruption, ReadsWhatItCanAndSaysSo)
{
    Bytes bytes = fixture();
    GetParam().corrupt(bytes, texturePositions(bytes));
    const TxdDecodeResult result = decodeTxd(bytes);
    std::vector<std::string> names;
    for (const TxdDecodedTexture& texture : result.Textures)
        names.push_back(texture.Texture.Name);
    EXPECT_EQ(names, GetParam().textures);
    EXPECT_EQ(!result.Error.empty(), GetParam().reported) << result.Error;
}

INSTANTIATE_TEST_SUITE_P(Variants, TxdCorruption, testing::ValuesIn(CorruptionCases),
                         [](const testing::TestParamInfo<CorruptionCase>& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c != 0; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(TxdCorruptionMessages, NameWhereAndWhat)
{
    Bytes count = fixture();
    count[24] = 5;
    EXPECT_EQ(decodeTxd(count).Error, "the dictionary ends after 3 of 5 textures");

    Bytes level = fixture();
    const auto at = texturePositions(level);
    putU32(level, at[1] + 112, 1000);
    EXPECT_EQ(decodeTxd(level).Error, "texture 2 of 3 at byte " + std::to_string(at[1]) + ": cannot read 1000 bytes at byte " +
                                          std::to_string(at[1] + 116) + ": only " +
                                          std::to_string(level.size() - at[1] - 116) + " left");

    Bytes small = fixture();
    putU32(small, texturePositions(small)[1] + 104, 0x00040004); // 4x4 in 16 bytes
    EXPECT_EQ(decodeTxd(small).Error, "texture \"rgba\" level 0 holds 16 bytes where 4x4 needs 64");
}

TEST(TxdCorruptionNames, NamesWithoutAZeroByteStopAtTheirField)
{
    TxdTextureData texture = encodeTexture(std::string(40, 'N'), std::string(32, 'M'), TxdFormat::Rgba32,
                                           solidImage(1, 1, {1, 2, 3, 4}), 1);
    const TxdDecodeResult result = decodeTxd(writeTxd({texture, texture}, 0x1003FFFF));
    ASSERT_EQ(result.Textures.size(), 2u);
    EXPECT_EQ(result.Textures[0].Texture.Name, std::string(32, 'N'));
    EXPECT_EQ(result.Textures[0].Texture.MaskName, std::string(32, 'M'));
    EXPECT_EQ(result.Textures[1].Texture.Name, std::string(32, 'N'));
}

TEST(TxdCorruptionNames, UnknownChunksBetweenTexturesAreSteppedOver)
{
    Bytes bytes = fixture();
    const std::size_t second = texturePositions(bytes)[1];
    const Bytes unknown = {0x34, 0x12, 0, 0, 4, 0, 0, 0, 0xFF, 0xFF, 0, 0x08, 1, 2, 3, 4};
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(second), unknown.begin(), unknown.end());
    putU32(bytes, 4, getU32(bytes, 4) + 16);
    const TxdDecodeResult result = decodeTxd(bytes);
    EXPECT_EQ(result.Error, "");
    ASSERT_EQ(result.Textures.size(), 3u);
    expectFixturePrefix(result);
}

} // namespace
