#include "ByteSource.h"
#include "DffWriter.h"
#include "GLEntryPoints.h"
#include "GLModelDrawer.h"
#include "GLTestContext.h"
#include "GLTestFramebuffer.h"
#include "ProgramSettings.h"
#include "TGTADff.h"
#include "TextureLookup.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr int Size = 64;

// Answers with fixed texture objects and remembers what it was asked.
class FakeTextures : public TextureLookup {
public:
    std::uint32_t texture = 0;
    std::uint32_t mask = 0;
    std::vector<std::string> asked;

    std::uint32_t textureId(int dictionaryIndex, std::string_view name) override
    {
        asked.push_back("texture " + std::to_string(dictionaryIndex) + " " + std::string(name));
        return texture;
    }
    std::uint32_t maskTextureId(int dictionaryIndex, std::string_view maskName) override
    {
        asked.push_back("mask " + std::to_string(dictionaryIndex) + " " + std::string(maskName));
        return mask;
    }
};

// A 64x64 framebuffer object with an orthographic projection of one unit per pixel; a
// 2x1 texture, red on the left and blue on the right.
class GLModelDrawerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_framebuffer.complete());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, Size, 0, Size, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);

        const std::array<std::uint8_t, 8> texels{255, 0, 0, 255, 0, 0, 255, 255};
        glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_TEXTURE_2D);
        textures.texture = m_texture;

        m_savedSettings = programSettings();
        m_savedEntryPoints = glEntryPoints();
        glEntryPoints() = GLEntryPoints{};
    }

    void TearDown() override
    {
        programSettings() = m_savedSettings;
        glEntryPoints() = m_savedEntryPoints;
        glDisable(GL_TEXTURE_2D);
        glDeleteTextures(1, &m_texture);
    }

    std::array<std::uint8_t, 4> pixel(int x, int y) const { return m_framebuffer.pixel(x, y); }

    // A unit quad on a child frame that scales it by 32 and moves it to (16, 16).
    static DffClump quadClump(const std::string& mask)
    {
        DffClump clump;
        DffFrame root;
        root.name = "root";
        root.position = {100, 100, 0}; // a root's own transform is not applied
        DffFrame quad;
        quad.name = "quad";
        quad.parent = 0;
        quad.rotation = {32, 0, 0, 0, 32, 0, 0, 0, 1};
        quad.position = {16, 16, 0};
        clump.frames = {root, quad};
        DffGeometry g;
        g.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        g.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        g.materials = {{"checker", mask, {255, 255, 255, 255}}};
        g.splits = {{0, {0, 1, 2, 0, 2, 3}}};
        clump.geometries = {g};
        clump.atomics = {{1, 0, 5}};
        return clump;
    }

    void draw(const DffClump& clump, int dictionaryIndex)
    {
        MemoryByteSource source(writeDff(clump, 0x1003FFFF));
        TGTADff dff(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "quad.dff");
        dff.Load();
        ASSERT_EQ(dff.LoadError, "");
        GLModelDrawer drawer(&textures, programSettings().LoadTextures);
        dff.Draw(dictionaryIndex, drawer);
    }

    static constexpr std::array<std::uint8_t, 4> Red{255, 0, 0, 255};
    static constexpr std::array<std::uint8_t, 4> Blue{0, 0, 255, 255};
    static constexpr std::array<std::uint8_t, 4> White{255, 255, 255, 255};
    static constexpr std::array<std::uint8_t, 4> Black{0, 0, 0, 255};

    FakeTextures textures;

private:
    GLTestFramebuffer m_framebuffer{Size, Size};
    GLuint m_texture = 0;
    ProgramSettings m_savedSettings;
    GLEntryPoints m_savedEntryPoints;
};

TEST_F(GLModelDrawerTest, TexturedQuadLandsWhereItsFrameMovesIt)
{
    programSettings().LoadTextures = true;
    draw(quadClump(""), 4);
    EXPECT_EQ(pixel(20, 30), Red);   // left half of the texture
    EXPECT_EQ(pixel(44, 30), Blue);  // right half
    EXPECT_EQ(pixel(8, 8), Black);   // outside the moved quad
    EXPECT_EQ(pixel(52, 52), Black);
    EXPECT_EQ(textures.asked, (std::vector<std::string>{"texture 4 checker"}));

    // The matrix pushes and pops balance.
    std::array<float, 16> modelview{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    EXPECT_EQ(modelview, (std::array<float, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLModelDrawerTest, WithoutTexturesOrDictionaryTheQuadIsWhite)
{
    programSettings().LoadTextures = false;
    draw(quadClump(""), 4);
    EXPECT_EQ(pixel(20, 30), White);
    EXPECT_EQ(pixel(44, 30), White);
    EXPECT_TRUE(textures.asked.empty());

    programSettings().LoadTextures = true;
    glBindTexture(GL_TEXTURE_2D, textures.texture);
    glClear(GL_COLOR_BUFFER_BIT);
    draw(quadClump(""), -1); // no dictionary: texture 0 is bound
    EXPECT_EQ(pixel(20, 30), White);
    EXPECT_TRUE(textures.asked.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GLModelDrawerTest, MaskGoesToUnitOneAndUnitZeroIsActiveAfterwards)
{
    glEntryPoints() = loadGLEntryPointsFromCurrentContext(glTestProcAddress);
    ASSERT_TRUE(glEntryPoints().hasMultitexture());
    programSettings().LoadTextures = true;
    textures.mask = textures.texture;

    draw(quadClump("checkerm"), 2);
    EXPECT_EQ(textures.asked, (std::vector<std::string>{"texture 2 checker", "mask 2 checkerm"}));
    GLint active = 0;
    GLint clientActive = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE_ARB, &clientActive);
    EXPECT_EQ(active, GL_TEXTURE0_ARB);
    EXPECT_EQ(clientActive, GL_TEXTURE0_ARB);

    glEntryPoints().ActiveTextureARB(GL_TEXTURE1_ARB);
    GLint boundOnOne = 0;
    GLint modeOnOne = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundOnOne);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &modeOnOne);
    EXPECT_EQ(static_cast<std::uint32_t>(boundOnOne), textures.mask);
    EXPECT_EQ(modeOnOne, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEntryPoints().ActiveTextureARB(GL_TEXTURE0_ARB);
    // Unit 1 is not enabled, so the picture is the base texture's.
    EXPECT_EQ(pixel(20, 30), Red);

    // A blank mask name leaves the second unit alone.
    textures.asked.clear();
    draw(quadClump("  "), 2);
    EXPECT_EQ(textures.asked, (std::vector<std::string>{"texture 2 checker"}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
