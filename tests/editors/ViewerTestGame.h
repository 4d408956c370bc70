#pragma once

// A small game for the texture viewer and the secondary model view: an archive with the
// models "thing" and "other" (a flat textured square), the dictionaries "cyan", "violet"
// and "signs" (textures of several formats), "generic", and IDE files, loaded into an
// archive set with textures uploaded in the program's shared context.

#include "GLEntryPoints.h"
#include "GLTextureUploader.h"
#include "GamePaths.h"
#include "ImgWriter.h"
#include "ProgramSettings.h"
#include "SharedGLContext.h"
#include "SquareModel.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TestFiles.h"
#include "TxdTestData.h"
#include "TxdWriter.h"

#include <QImage>
#include <QOpenGLContext>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Red on top, blue below: which way up the viewer draws.
inline RgbaImage topRedBottomBlue(int width, int height)
{
    RgbaImage image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels.insert(image.pixels.end(), {std::uint8_t(y < height / 2 ? 255 : 0), 0,
                                                     std::uint8_t(y < height / 2 ? 0 : 255), 255});
    return image;
}

// Textures in file order: "zeta" 32-bit (64 x 32, red above blue), "Alpha" PAL8 with
// alpha (see-through), "mid" DXT1 green with 3 levels, "flagged" alpha flag 2, "odd" with
// compression 2.
inline std::vector<std::uint8_t> signsDictionary()
{
    std::vector<TxdTextureData> textures;
    textures.push_back(encodeTexture("zeta", "", TxdFormat::Rgba32, topRedBottomBlue(64, 32), 1));
    textures.push_back(encodeTexture("Alpha", "alpham", TxdFormat::Pal8_8888, solidImage(64, 64, {0, 0, 255, 0}), 1));
    textures.push_back(encodeTexture("mid", "", TxdFormat::Dxt1, solidImage(64, 64, {0, 255, 0, 255}), 3));
    TxdTextureData flagged = encodeTexture("flagged", "", TxdFormat::Rgba32, solidImage(4, 4, {1, 2, 3, 4}), 1);
    flagged.hasAlpha = 2;
    textures.push_back(flagged);
    TxdTextureData odd = encodeTexture("odd", "", TxdFormat::Dxt3, solidImage(4, 4, {1, 2, 3, 4}), 1);
    odd.compression = 2;
    textures.push_back(odd);
    return writeTxd(textures, 0x1003FFFF);
}

// A Direct3D 9 dictionary laid out by hand: "d9green" DXT1 (format code "DXT1", flags
// compressed), 8 x 8 of blocks whose colour 0 is pure green, every index 0; "d9red" R5G6B5,
// 8 x 8 of pure red words.
inline std::vector<std::uint8_t> direct3D9Dictionary()
{
    std::vector<std::uint8_t> green;
    for (int block = 0; block < 4; ++block)
        green.insert(green.end(), {0xE0, 0x07, 0x00, 0x00, 0, 0, 0, 0});
    std::vector<std::uint8_t> red;
    for (int pixel = 0; pixel < 64; ++pixel)
        red.insert(red.end(), {0x00, 0xF8});
    return handTxd({{"d9green", 9, 0x0200, 0x31545844, 8, 8, 16, 8, {}, {green}},
                    {"d9red", 9, 0x0200, 23, 8, 8, 16, 0, {}, {red}}});
}

inline const char* const ViewerIDE = "objs\r\n"
                                     "100, thing, cyan, 1, 100, 0\r\n"
                                     "200, nomodel, cyan, 1, 100, 0\r\n"
                                     "300, thing, cyan, 1, 100, 0\r\n"
                                     "300, thing, violet, 1, 100, 0\r\n"
                                     "40000, other, violet, 1, 100, 0\r\n"
                                     "end\r\n"
                                     "tobj\r\n"
                                     "101, other, violet, 1, 100, 0, 20, 6\r\n"
                                     "end\r\n";

inline const char* const ViewerSecondIDE = "objs\r\n"
                                           "300, other, generic, 1, 100, 0\r\n"
                                           "end\r\n";

// The game loaded as the program loads it. Textures are uploaded without the compressed
// texture entry point, so DXT textures have no image and the viewer decodes them itself.
class ViewerGame : public testing::Test {
protected:
    TempDir dir;
    ProgramSettings savedSettings = programSettings();
    GLEntryPoints savedEntryPoints = glEntryPoints();
    GLEntryPoints uncompressed;
    std::unique_ptr<GLTextureUploader> uploader;
    std::unique_ptr<TGTAImg> set;
    TGTAFileList files{withTrailingSeparator(dir.path().string()), true};

    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "models");
        const std::vector<std::uint8_t> square = squareModel();
        ASSERT_EQ(writeImgArchive(dir.file("models/gta3.img"), {{"thing.dff", square},
                                                                 {"other.dff", square},
                                                                 {"cyan.txd", solidDictionary(Cyan)},
                                                                 {"violet.txd", solidDictionary(Violet)},
                                                                 {"signs.txd", signsDictionary()},
                                                                 {"d3d9.txd", direct3D9Dictionary()}}),
                  0);
        writeFile(dir.file("models/generic.txd"), bytesText(solidDictionary({255, 255, 255, 255})));
        writeFile(dir.file("first.ide"), ViewerIDE);
        writeFile(dir.file("second.ide"), ViewerSecondIDE);

        programSettings().GameDir = withTrailingSeparator(dir.path().string());
        programSettings().LoadModels = true;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = false;
        SharedGLContextScope context;
        ASSERT_TRUE(context.ok());
        glEntryPoints() = loadGLEntryPointsFromCurrentContext([](const char* name) {
            return reinterpret_cast<void*>(QOpenGLContext::currentContext()->getProcAddress(name));
        });
        uncompressed = glEntryPoints();
        uncompressed.CompressedTexImage2DARB = nullptr;
        uploader = std::make_unique<GLTextureUploader>(uncompressed);
        set = std::make_unique<TGTAImg>(programSettings().GameDir, true, uploader.get());
        set->ConnectFileList(files);
        for (const char* name : {"first.ide", "second.ide"}) {
            auto ide = std::make_unique<TIDEFile>();
            ASSERT_EQ(ide->Load(dir.file(name)), 0);
            files.AddFile(std::move(ide));
        }
    }

    void TearDown() override
    {
        {
            SharedGLContextScope context;
            set.reset();
        }
        programSettings() = savedSettings;
        glEntryPoints() = savedEntryPoints;
    }

    int txd(const char* name) const { return set->FindTxd(name); }
};

inline Rgba pixelAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)), 255};
}
