#include "GLEntryPoints.h"
#include "GLTestContext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A driver that answers every name with a non-null stub, as some do.
void* stubForAnyName(const char*)
{
    static int stub;
    return &stub;
}

} // namespace

TEST(GLEntryPoints, ExtensionNamesMatchWholeWords)
{
    EXPECT_TRUE(hasGLExtension("GL_ARB_multitexture GL_EXT_bgra", "GL_ARB_multitexture"));
    EXPECT_TRUE(hasGLExtension("GL_EXT_bgra GL_ARB_multitexture", "GL_ARB_multitexture"));
    EXPECT_FALSE(hasGLExtension("GL_ARB_multitexture_extra", "GL_ARB_multitexture"));
    EXPECT_FALSE(hasGLExtension("GL_ARB_texture_compression_bptc", "GL_ARB_texture_compression"));
    EXPECT_FALSE(hasGLExtension("", "GL_ARB_multitexture"));
}

TEST(GLEntryPoints, StubsWithoutTheirExtensionCountAsAbsent)
{
    const GLEntryPoints none = loadGLEntryPoints("GL_EXT_bgra", stubForAnyName);
    EXPECT_FALSE(none.hasPalettes());
    EXPECT_FALSE(none.hasCompressedTextures());
    EXPECT_FALSE(none.hasMultitexture());

    // Compressed upload needs both the upload extension and the S3TC formats.
    const GLEntryPoints half = loadGLEntryPoints("GL_ARB_texture_compression", stubForAnyName);
    EXPECT_FALSE(half.hasCompressedTextures());

    const GLEntryPoints all = loadGLEntryPoints(
        "GL_EXT_paletted_texture GL_ARB_texture_compression GL_EXT_texture_compression_s3tc GL_ARB_multitexture",
        stubForAnyName);
    EXPECT_TRUE(all.hasPalettes());
    EXPECT_TRUE(all.hasCompressedTextures());
    EXPECT_TRUE(all.hasMultitexture());
}

TEST(GLEntryPoints, MesaContextOffersCompressionAndMultitextureButNoPalettes)
{
    const GLEntryPoints points = loadGLEntryPointsFromCurrentContext(glTestProcAddress);
    EXPECT_TRUE(points.hasCompressedTextures());
    EXPECT_TRUE(points.hasMultitexture());
    EXPECT_FALSE(points.hasPalettes());
}
