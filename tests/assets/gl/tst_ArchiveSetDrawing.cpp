// The whole way from game files to pixels: the demo game's archive set loads a building's
// model and its dictionary from the archive, uploads the textures, draws it textured, and
// frees the textures again when it is no longer used.
#include "DemoGame.h"
#include "GLEntryPoints.h"
#include "GLModelDrawer.h"
#include "GLTestContext.h"
#include "GLTestFramebuffer.h"
#include "GLTextureUploader.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIDEFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

constexpr int Size = 96;

// A definition of the demo game whose model has textured materials.
struct TexturedDefinition {
    std::string model;
    int dictionary = -1;
};

class ArchiveSetDrawing : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_EQ(writeDemoGame(game.path().string(), DemoGameOptions{true, false}, error), 0) << error;
        m_saved = programSettings();
        programSettings().GameDir = withTrailingSeparator(game.path().string());
        programSettings().IsViceCity = true;
        programSettings().LoadModels = true;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = false;
        m_savedEntryPoints = glEntryPoints();
        glEntryPoints() = loadGLEntryPointsFromCurrentContext(glTestProcAddress);
    }
    void TearDown() override
    {
        programSettings() = m_saved;
        glEntryPoints() = m_savedEntryPoints;
    }

    static TexturedDefinition findTexturedBuilding(TGTAImg& set, TGTAFileList& files)
    {
        for (int pos = 0; pos < files.Count(); ++pos) {
            const TIDEFile* ide = files.IDEFile(pos);
            if (!ide)
                continue;
            for (const auto& record : ide->Objs.Items) {
                const int model = set.FindDff(record.ModelName);
                if (model < 0 || record.TextureIndex <= 0 || record.ModelName.starts_with("LOD"))
                    continue;
                set.Dffs[model]->Load();
                const auto& clumps = set.Dffs[model]->Clumps;
                if (!clumps.empty() && !clumps[0].GeometryList.Geometries.empty() &&
                    !clumps[0].GeometryList.Geometries[0].MaterialList.Materials.empty() &&
                    !clumps[0].GeometryList.Geometries[0].MaterialList.Materials[0].Texture.TextureName.empty())
                    return {record.ModelName, record.TextureIndex};
            }
        }
        return {};
    }

    // Looks straight down on the model from above, the whole model in view.
    static void lookDownOn(const TGTADff& model)
    {
        float reach = 1;
        for (const auto& geometry : model.Clumps[0].GeometryList.Geometries)
            for (const auto& vertex : geometry.Data.Vertices)
                reach = std::max({reach, std::fabs(vertex[0]), std::fabs(vertex[1])});
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-reach, reach, -reach, reach, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // The distinct colours drawn (cleared pixels left out).
    static std::set<std::array<std::uint8_t, 4>> drawnColours(const GLTestFramebuffer& framebuffer)
    {
        std::set<std::array<std::uint8_t, 4>> colours;
        for (const auto& pixel : framebuffer.pixels())
            if (pixel[3] != 0)
                colours.insert(pixel);
        return colours;
    }

    TempDir game;

private:
    ProgramSettings m_saved;
    GLEntryPoints m_savedEntryPoints;
};

} // namespace

TEST_F(ArchiveSetDrawing, BuildingIsDrawnWithItsDictionaryAndFreedWhenUnused)
{
    ASSERT_TRUE(glEntryPoints().hasCompressedTextures());
    GLTextureUploader uploader(glEntryPoints());
    TGTAImg set(programSettings().GameDir, true, &uploader);
    ASSERT_EQ(set.GenericError, 0);
    TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};
    set.ConnectFileList(files);
    ASSERT_EQ(files.LoadDat(DatPass::IDE), 0);

    const TexturedDefinition building = findTexturedBuilding(set, files);
    ASSERT_FALSE(building.model.empty()) << "the demo game has textured buildings";
    TGTADff& model = *set.Dffs[set.FindDff(building.model)];
    TGTATxd& dictionary = *set.Txds[building.dictionary];
    EXPECT_FALSE(dictionary.Loaded) << "dictionaries load on first use";

    GLTestFramebuffer framebuffer(Size, Size);
    ASSERT_TRUE(framebuffer.complete());
    GLModelDrawer drawer(&set);

    drawer.setBindTextures(false); // the program loads no textures
    lookDownOn(model);
    set.DrawModel(building.model, building.dictionary, drawer);
    const auto untextured = drawnColours(framebuffer);
    ASSERT_EQ(untextured.size(), 1u) << "untextured models are drawn white";
    EXPECT_EQ(*untextured.begin(), (std::array<std::uint8_t, 4>{255, 255, 255, 255}));

    drawer.setBindTextures(true);
    lookDownOn(model);
    std::int32_t modelIndex = -1;
    ASSERT_TRUE(set.DrawDefinitionModel(modelIndex, building.model, building.dictionary, drawer));
    const auto textured = drawnColours(framebuffer);
    EXPECT_GT(textured.size(), 8u) << "the roof and walls show their pictures";
    ASSERT_TRUE(dictionary.Loaded);
    ASSERT_GT(dictionary.TextureCount, 0);
    const GLuint texture = dictionary.TextureIds[0];
    EXPECT_TRUE(glIsTexture(texture));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A visibility change that leaves the building undrawn frees both.
    set.ResetUsage();
    set.FreeUnused();
    EXPECT_FALSE(model.Loaded);
    EXPECT_FALSE(dictionary.Loaded);
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_TRUE(set.Txds[0]->Loaded) << "generic stays";
    glDisable(GL_TEXTURE_2D);
}

TEST_F(ArchiveSetDrawing, RadarTilesGiveTheBackgroundMapItsFirstTextures)
{
    GLTextureUploader uploader(glEntryPoints());
    TGTAImg set(programSettings().GameDir, true, &uploader);
    for (int tile = 0; tile < 64; ++tile) {
        const std::string name = "radar" + std::string(tile < 10 ? "0" : "") + std::to_string(tile);
        const int index = set.FindTxd(name);
        ASSERT_GT(index, 0) << name;
        set.Txds[index]->Load();
        ASSERT_GT(set.Txds[index]->TextureCount, 0) << name;
        EXPECT_TRUE(glIsTexture(set.Txds[index]->TextureIds[0])) << name;
    }
    set.ResetUsage();
    set.FreeUnused();
    EXPECT_TRUE(set.Txds[set.FindTxd("radar00")]->Loaded);
    EXPECT_TRUE(set.Txds[set.FindTxd("radar63")]->Loaded);
}
