// "As In Game" read back from a real context: a placement is drawn within its draw distance
// times the scale, a LOD in its building's place only beyond the building's distance, and
// a pick sees exactly what was drawn. The camera looks straight down on the origin.
#include "SceneFixture.h"

#include "DrawSettings.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int Size = 200;
constexpr int Hour = 12;
constexpr int Centre = Size / 2;

bool near(const Rgba& actual, const Rgba& expected)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > 3)
            return false;
    return true;
}

const std::string TownIde = "DATA\\MAPS\\town.ide";
const std::string TownIpl = "DATA\\MAPS\\town.ipl";

std::string place(int id, const std::string& model, float x, float y)
{
    return std::to_string(id) + ", " + model + ", 0, " + std::to_string(x) + ", " + std::to_string(y) +
           ", 0, 1, 1, 1, 0, 0, 0, 1\r\n";
}

class SceneInGame : public testing::Test {
protected:
    static void SetUpTestSuite() { s_context = new SceneContext; }
    static void TearDownTestSuite()
    {
        delete s_context;
        s_context = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_context->ready());
        ASSERT_TRUE(framebuffer.complete());
        m_savedDraw = drawSettings();
        drawSettings().LodChoice = LodChoiceAsInGame;
    }
    void TearDown() override
    {
        if (renderer)
            renderer->ReleaseGL();
        drawSettings() = m_savedDraw;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    void start(const std::string& ide, const std::string& ipl)
    {
        writeFixtureGame(dir, {{TownIde, ide}, {TownIpl, "inst\r\n" + ipl + "end\r\n"}});
        settings = std::make_unique<SceneSettingsScope>(dir.path().string(), true, true);
        game = std::make_unique<LoadedGame>();
        game->load();
        renderer = std::make_unique<SceneRenderer>(true, true);
        renderer->SetFileList(&game->files);
        renderer->SetArchiveSet(game->set.get());
        if (HasFailure())
            throw std::runtime_error("the fixture game did not load");
    }

    // The eye `height` units above the origin, looking down.
    Rgba frame(float height)
    {
        viewDrawingState(true);
        viewCamera(1.0, -height, 0, {0, 0, 0});
        renderer->DrawAll(Hour, false);
        return framebuffer.pixel(Centre, Centre);
    }

    // The record index picked at the centre, -1 for nothing.
    int pickCentre(float height)
    {
        viewCamera(1.0, -height, 0, {0, 0, 0});
        const PickResult hit = pickAt(*renderer, Centre, Centre, Hour);
        return hit.names.size() == 3 ? static_cast<int>(hit.names[2]) : -1;
    }

    TempDir dir;
    SceneFramebuffer framebuffer{Size, Size};
    std::unique_ptr<SceneSettingsScope> settings;
    std::unique_ptr<LoadedGame> game;
    std::unique_ptr<SceneRenderer> renderer;

private:
    static SceneContext* s_context;
    DrawSettings m_savedDraw;
};

SceneContext* SceneInGame::s_context = nullptr;

// The building (cyan, 20 units) and its LOD (violet, 60 units) stand in one place.
const std::string PairIde = "objs\r\n1, hd_thing, cyan, 1, 20, 0\r\n2, LODthing, violet, 1, 60, 0\r\nend\r\n";
const std::string PairIpl = place(1, "hd_thing", 0, 0) + place(2, "LODthing", 0, 0);

TEST_F(SceneInGame, BuildingGivesWayToItsLodAndTheLodToNothingAsTheCameraRises)
{
    start(PairIde, PairIpl);
    enum Shown { Nothing, Building, Lod };
    struct Case {
        float scale, height;
        Shown shown;
    };
    const Case cases[] = {
        {1, 19.9f, Building}, {1, 20.1f, Lod},     {1, 59.9f, Lod},      {1, 60.1f, Nothing},
        {2, 39.9f, Building}, {2, 40.1f, Lod},     {2, 119.9f, Lod},     {2, 120.1f, Nothing},
        {0.25f, 4.9f, Building}, {0.25f, 5.1f, Lod}, {4, 79.9f, Building}, {4, 240.1f, Nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("scale " + std::to_string(c.scale) + ", height " + std::to_string(c.height));
        drawSettings().DrawDistanceScale = c.scale;
        const Rgba centre = frame(c.height);
        const Rgba expected = c.shown == Building ? Cyan : c.shown == Lod ? Violet : Black;
        EXPECT_TRUE(near(centre, expected));
        EXPECT_EQ(renderer->LastCounts().instancesDrawn, c.shown == Nothing ? 0 : 1);
        EXPECT_EQ(pickCentre(c.height), c.shown == Building ? 0 : c.shown == Lod ? 1 : -1) << "a pick sees what is drawn";
    }
}

TEST_F(SceneInGame, LodsPairByNameAloneAndTimedObjectsKeepTheirHours)
{
    // The building stands far off, yet its LOD still gives way inside the building's
    // distance; "LODlone" has no building and is drawn by its own distance; the tobj is
    // on from 20 to 6 only.
    start(PairIde + "objs\r\n3, LODlone, violet, 1, 30, 0\r\nend\r\n" +
              "tobj\r\n4, other, cyan, 1, 100, 0, 20, 6\r\nend\r\n",
          place(1, "hd_thing", 500, 0) + place(2, "LODthing", 0, 0) + place(3, "LODlone", 3, 0) +
              place(4, "other", -3, 0));
    struct Case {
        float height;
        int hour, drawn;
    };
    for (const Case c : {Case{15, 12, 1}, Case{25, 12, 2}, Case{25, 22, 3}, Case{35, 22, 2}, Case{70, 22, 1},
                         Case{110, 22, 0}}) {
        SCOPED_TRACE("height " + std::to_string(c.height) + ", hour " + std::to_string(c.hour));
        viewDrawingState(true);
        viewCamera(1.0, -c.height, 0, {0, 0, 0});
        renderer->DrawAll(c.hour, false);
        EXPECT_EQ(renderer->LastCounts().instancesDrawn, c.drawn);
    }
}

TEST_F(SceneInGame, AChangedDrawDistanceIsSeenByTheNextFrame)
{
    start(PairIde, PairIpl);
    EXPECT_TRUE(near(frame(30), Violet));
    TIDEFile* ide = game->files.IDEFile(0);
    ASSERT_NE(ide, nullptr);
    ide->Objs.Items[0].DrawDistance = 40; // the building now reaches the camera
    EXPECT_TRUE(near(frame(30), Cyan));
    ide->Objs.Items[0].ModelName = "hd_other"; // no longer the LOD's partner: both show
    frame(30);
    EXPECT_EQ(renderer->LastCounts().instancesDrawn, 2);
}

TEST_F(SceneInGame, TheWrittenChoicesIgnoreDrawDistances)
{
    start(PairIde, PairIpl);
    drawSettings().LodChoice = 2;
    drawSettings().DrawDistanceScale = 0.25f;
    frame(1000);
    EXPECT_EQ(renderer->LastCounts().instancesDrawn, 2);
}

} // namespace
