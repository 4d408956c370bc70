#include "GLEntryPoints.h"
#include "GLTestContext.h"
#include "GLTestFramebuffer.h"
#include "GLTextureUploader.h"
#include "TxdDecoder.h"
#include "TxdPixels.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const GLEntryPoints& contextEntryPoints()
{
    static const GLEntryPoints points = loadGLEntryPointsFromCurrentContext(glTestProcAddress);
    return points;
}

std::vector<TxdDecodedTexture> decode(const std::vector<TxdTextureData>& textures)
{
    TxdDecodeResult result = decodeTxd(writeTxd(textures, 0x1003FFFF));
    EXPECT_EQ(result.Error, "");
    return std::move(result.Textures);
}

GLint levelParameter(GLuint id, int level, GLenum name)
{
    glBindTexture(GL_TEXTURE_2D, id);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

Bytes readBack(GLuint id, int level)
{
    const auto width = levelParameter(id, level, GL_TEXTURE_WIDTH);
    const auto height = levelParameter(id, level, GL_TEXTURE_HEIGHT);
    Bytes pixels(static_cast<std::size_t>(width * height * 4), 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Texels are stored with 4 bits per channel: one step is 17.
void expectNearRgba4(const Bytes& actual, const Bytes& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_LE(std::abs(actual[i] - expected[i]), 17) << "byte " << i;
}

class GLTextureUpload : public testing::Test {
protected:
    void TearDown() override
    {
        uploader.release(ids);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures)
    {
        ids = uploader.upload(textures);
        return ids;
    }

    GLTextureUploader uploader{contextEntryPoints()};
    std::vector<std::uint32_t> ids;
};

TEST_F(GLTextureUpload, ThirtyTwoBitPixelsGoOverAsRedGreenBlueAlpha)
{
    TxdTextureData texture;
    texture.name = "swap";
    texture.rasterFormat = TxdRaster::Format8888;
    texture.width = 2;
    texture.height = 1;
    texture.depth = 32;
    texture.levels = {{{10, 20, 30, 40, 0, 100, 255, 200}}};
    const auto textures = decode({texture});
    ASSERT_EQ(textures.size(), 1u);
    EXPECT_EQ(levelRgba(textures[0].Texture, textures[0].Levels[0]), (Bytes{30, 20, 10, 40, 255, 100, 0, 200}));

    const auto uploaded = upload(textures);
    ASSERT_EQ(uploaded.size(), 1u);
    ASSERT_NE(uploaded[0], 0u);
    EXPECT_EQ(levelParameter(uploaded[0], 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA4);
    const Bytes texels = readBack(uploaded[0], 0);
    expectNearRgba4(texels, {30, 20, 10, 40, 255, 100, 0, 200});
    EXPECT_EQ(texels[4], 255); // red and blue not swapped back
    EXPECT_EQ(texels[6], 0);
}

struct CompressedCase {
    TxdFormat format;
    std::uint32_t hasAlpha;
    GLenum expected;
};

class GLCompressedUpload : public GLTextureUpload, public testing::WithParamInterface<CompressedCase> {};

TEST_P(GLCompressedUpload, FormatFollowsCompressionAndAlphaFlag)
{
    TxdTextureData texture = encodeTexture("dxt", "", GetParam().format, solidImage(8, 8, {50, 60, 70, 255}), 2);
    texture.hasAlpha = GetParam().hasAlpha;
    const auto uploaded = upload(decode({texture}));
    ASSERT_EQ(uploaded.size(), 1u);
    EXPECT_EQ(levelParameter(uploaded[0], 0, GL_TEXTURE_INTERNAL_FORMAT), static_cast<GLint>(GetParam().expected));
    EXPECT_EQ(levelParameter(uploaded[0], 1, GL_TEXTURE_WIDTH), 4);
    EXPECT_EQ(levelParameter(uploaded[0], 1, GL_TEXTURE_COMPRESSED), GL_TRUE);
    // The driver decodes what it was given: the colour survives.
    const Bytes texels = readBack(uploaded[0], 0);
    EXPECT_NEAR(texels[0], 50, 8);
    EXPECT_NEAR(texels[1], 60, 8);
    EXPECT_NEAR(texels[2], 70, 8);
}

INSTANTIATE_TEST_SUITE_P(
    Dxt, GLCompressedUpload,
    testing::Values(CompressedCase{TxdFormat::Dxt1, 0, GL_COMPRESSED_RGB_S3TC_DXT1_EXT},
                    CompressedCase{TxdFormat::Dxt1, 1, GL_COMPRESSED_RGBA_S3TC_DXT1_EXT},
                    CompressedCase{TxdFormat::Dxt3, 1, GL_COMPRESSED_RGBA_S3TC_DXT3_EXT},
                    CompressedCase{TxdFormat::Dxt5, 0, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT}));

TEST_F(GLTextureUpload, EveryMipLevelHasItsOwnSize)
{
    const auto uploaded =
        upload(decode({encodeTexture("mips", "", TxdFormat::Rgba32, solidImage(256, 64, {1, 2, 3, 255}), 9)}));
    const int sizes[9][2] = {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}};
    for (int level = 0; level < 9; ++level) {
        EXPECT_EQ(levelParameter(uploaded[0], level, GL_TEXTURE_WIDTH), sizes[level][0]) << "level " << level;
        EXPECT_EQ(levelParameter(uploaded[0], level, GL_TEXTURE_HEIGHT), sizes[level][1]) << "level " << level;
    }
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
}

// Draws a quad with the texture over the whole viewport and reads the middle pixel.
Bytes drawnColour(GLuint id)
{
    GLTestFramebuffer framebuffer(8, 8);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    const auto pixel = framebuffer.pixel(4, 4);
    return Bytes(pixel.begin(), pixel.end());
}

TEST_F(GLTextureUpload, MipChainsThatStopEarlyStillDraw)
{
    // Three levels of a 64x64 texture: without a level limit it would be incomplete.
    const auto uploaded =
        upload(decode({encodeTexture("short", "", TxdFormat::Rgba32, solidImage(64, 64, {255, 0, 0, 255}), 3)}));
    expectNearRgba4(drawnColour(uploaded[0]), {255, 0, 0, 255});
}

TEST_F(GLTextureUpload, PalettesAreExpandedWhenTheDriverHasNoPaletteTextures)
{
    ASSERT_FALSE(contextEntryPoints().hasPalettes());
    RgbaImage picture = blockImage(4, 2, {{255, 0, 0, 255}, {0, 0, 255, 0}});
    const auto uploaded = upload(decode({encodeTexture("p8", "", TxdFormat::Pal8_8888, picture, 1),
                                         encodeTexture("p4", "", TxdFormat::Pal4_888, picture, 1)}));
    ASSERT_EQ(uploaded.size(), 2u);
    EXPECT_EQ(levelParameter(uploaded[0], 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA4);
    expectNearRgba4(readBack(uploaded[0], 0), picture.pixels);
    // 888 palettes are opaque whatever their alpha bytes hold.
    for (std::size_t i = 3; i < picture.pixels.size(); i += 4)
        picture.pixels[i] = 255;
    expectNearRgba4(readBack(uploaded[1], 0), picture.pixels);
}

// DXT textures go to the driver as blocks whatever depth they declare, and Direct3D 9
// textures by their format code: DXT5 as blocks, R5G6B5 and L8 widened to RGBA.
TEST_F(GLTextureUpload, TheCompressionByteAndDirect3D9FormatCodesDecideTheUpload)
{
    const Bytes redBlock{0x00, 0xF8, 0x1F, 0x00, 0, 0, 0, 0}; // every index 0: colour 0, red
    Bytes dxt5{255, 0, 0, 0, 0, 0, 0, 0};                      // alpha 255 everywhere
    dxt5.insert(dxt5.end(), redBlock.begin(), redBlock.end());
    TxdDecodeResult result = decodeTxd(handTxd({{"deep", 8, 0x0600, 0, 4, 4, 32, 1, {}, {redBlock}},
                                                {"d9dxt5", 9, 0x0300, 0x35545844, 4, 4, 16, 1 | 8, {}, {dxt5}},
                                                {"d9565", 9, 0x0200, 23, 2, 1, 16, 0, {}, {{0x00, 0xF8, 0xE0, 0x07}}},
                                                {"d9l8", 9, 0, 50, 1, 1, 8, 0, {}, {{136}}}}));
    ASSERT_EQ(result.Error, "");
    const auto uploaded = upload(result.Textures);
    ASSERT_EQ(uploaded.size(), 4u);
    EXPECT_EQ(levelParameter(uploaded[0], 0, GL_TEXTURE_INTERNAL_FORMAT),
              static_cast<GLint>(GL_COMPRESSED_RGB_S3TC_DXT1_EXT));
    expectNearRgba4(readBack(uploaded[0], 0), solidImage(4, 4, {255, 0, 0, 255}).pixels);
    EXPECT_EQ(levelParameter(uploaded[1], 0, GL_TEXTURE_INTERNAL_FORMAT),
              static_cast<GLint>(GL_COMPRESSED_RGBA_S3TC_DXT5_EXT));
    expectNearRgba4(readBack(uploaded[1], 0), solidImage(4, 4, {255, 0, 0, 255}).pixels);
    EXPECT_EQ(levelParameter(uploaded[2], 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA4);
    expectNearRgba4(readBack(uploaded[2], 0), {255, 0, 0, 255, 0, 255, 0, 255});
    expectNearRgba4(readBack(uploaded[3], 0), {136, 136, 136, 255});
}

TEST_F(GLTextureUpload, UnsupportedFormatsGetAnEmptyObjectAndReleaseDeletesThem)
{
    TxdTextureData sixteen = encodeTexture("565", "", TxdFormat::Rgba32, solidImage(2, 2, {1, 2, 3, 4}), 1);
    sixteen.depth = 16; // uncompressed 16-bit: not drawn
    const auto made = uploader.upload(decode({sixteen}));
    ASSERT_EQ(made.size(), 1u);
    EXPECT_TRUE(glIsTexture(made[0]));
    EXPECT_EQ(levelParameter(made[0], 0, GL_TEXTURE_WIDTH), 0);
    uploader.release(made);
    EXPECT_FALSE(glIsTexture(made[0]));
    EXPECT_TRUE(uploader.upload({}).empty());
}

} // namespace
