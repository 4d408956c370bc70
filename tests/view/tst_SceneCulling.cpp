// Culling, compiling and drawing texture by texture must not change what the view shows:
// the demo town drawn from a tilted camera with culling and without, compiled (grouped by
// texture and item by item) and in immediate mode, gives the same pixels, and picks at
// many points choose the same item with the same hit records.
#include "SceneFixture.h"

#include "DemoGame.h"
#include "DrawSettings.h"
#include "ProgramSettings.h"

namespace {

constexpr int Width = 320;
constexpr int Height = 200;
constexpr int Hour = 12;

class SceneCulling : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_context = new SceneContext;
        s_dir = new TempDir;
        std::string error;
        s_written = writeDemoGame(s_dir->path().string(), DemoGameOptions{true, false}, error) == 0;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        delete s_context;
        s_dir = nullptr;
        s_context = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_context->ready());
        ASSERT_TRUE(s_written);
        ASSERT_TRUE(framebuffer.complete());
        settings = std::make_unique<SceneSettingsScope>(s_dir->path().string(), true, true);
        game = std::make_unique<LoadedGame>();
        ASSERT_NO_FATAL_FAILURE(game->load());
        renderer = std::make_unique<SceneRenderer>(true, true);
        renderer->SetGrouping(true, true); // texture by texture even where it saves nothing
        renderer->SetFileList(&game->files);
        renderer->SetArchiveSet(game->set.get());
    }
    void TearDown() override
    {
        if (renderer)
            renderer->ReleaseGL();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Looking north over the town at a slant, so that much of it lies beside or behind
    // the camera.
    static void camera() { viewCamera(double{Width} / Height, -250, -60, {40, -60, 0}); }

    std::vector<Rgba> picture()
    {
        viewDrawingState(true);
        camera();
        renderer->DrawAll(Hour, false);
        return framebuffer.pixels();
    }

    static std::size_t differing(const std::vector<Rgba>& a, const std::vector<Rgba>& b)
    {
        std::size_t count = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            count += a[i] != b[i] ? 1 : 0;
        return count + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
    }

    static std::size_t drawnPixels(const std::vector<Rgba>& pixels)
    {
        std::size_t count = 0;
        for (const Rgba& p : pixels)
            count += p != Black ? 1 : 0;
        return count;
    }

    SceneFramebuffer framebuffer{Width, Height};
    std::unique_ptr<SceneSettingsScope> settings;
    std::unique_ptr<LoadedGame> game;
    std::unique_ptr<SceneRenderer> renderer;

private:
    static SceneContext* s_context;
    static TempDir* s_dir;
    static bool s_written;
};

SceneContext* SceneCulling::s_context = nullptr;
TempDir* SceneCulling::s_dir = nullptr;
bool SceneCulling::s_written = false;

} // namespace

TEST_F(SceneCulling, PictureIsTheSameWithAndWithoutCullingAndCompiling)
{
    const std::vector<Rgba> culled = picture();
    const SceneRenderer::Counts counts = renderer->LastCounts();
    EXPECT_GT(counts.instancesConsidered, 100);
    EXPECT_LT(counts.instancesDrawn, counts.instancesConsidered) << "part of the town lies out of view";
    EXPECT_GT(counts.instancesDrawn, 0);
    EXPECT_GT(drawnPixels(culled), culled.size() / 4) << "the town fills much of the view";
    EXPECT_GT(renderer->CompiledListCount(), 0u);

    renderer->SetCulling(false);
    const std::vector<Rgba> everything = picture();
    EXPECT_EQ(renderer->LastCounts().instancesDrawn, counts.instancesConsidered);
    EXPECT_EQ(differing(culled, everything), 0u);

    renderer->SetCulling(true);
    renderer->SetCompileModels(false);
    const std::vector<Rgba> immediate = picture();
    EXPECT_EQ(differing(culled, immediate), 0u) << "compiled lists draw what immediate mode draws";
}

TEST_F(SceneCulling, PickChoosesTheSameItemWithAndWithoutCulling)
{
    picture(); // loads what the view shows, as the frame before a pick does
    int hitsOnItems = 0;
    for (int y = 10; y < Height; y += 23) {
        for (int x = 10; x < Width; x += 29) {
            camera();
            renderer->SetCulling(true);
            const PickResult culled = pickAt(*renderer, x, y, Hour);
            const int drawnForPick = renderer->LastCounts().instancesDrawn;
            renderer->SetCulling(false);
            const PickResult all = pickAt(*renderer, x, y, Hour);
            EXPECT_EQ(culled.names, all.names) << "at " << x << ", " << y;
            EXPECT_LT(drawnForPick, renderer->LastCounts().instancesDrawn / 4)
                << "only items near the ray are drawn for a pick";
            if (all.names.size() == 3)
                ++hitsOnItems;
        }
    }
    EXPECT_GT(hitsOnItems, 10);
}

// The view's own state: lighting without textures, the alpha test with them.
void realViewState(bool textures)
{
    GLDrawingState state = sceneDrawingState(textures, !textures, textures, false);
    state.clearColour = {0, 0, 0, 1};
    applyGLDrawingState(state);
    glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST_F(SceneCulling, DrawingTextureByTextureKeepsThePictureOfImmediateMode)
{
    struct Case {
        bool textures;
        bool wholeMap;
        int lodChoice;
        int hour;
    };
    const Case cases[] = {
        {true, false, 0, 12}, {true, true, 0, 12}, {true, false, 2, 22}, {true, true, 1, 3},
        {false, false, 0, 12}, {false, true, 0, 12}, {false, true, 2, 22}, {false, false, 1, 3},
    };
    auto draw = [&](const Case& c) {
        realViewState(c.textures);
        if (c.wholeMap)
            viewCamera(double{Width} / Height, -4500, 0, {0, 0, 0});
        else
            camera();
        renderer->DrawAll(c.hour, false);
        return framebuffer.pixels();
    };
    for (const Case& c : cases) {
        const std::string name = std::string(c.textures ? "textured" : "untextured") +
                                 (c.wholeMap ? ", whole map" : ", tilted") + ", LOD choice " +
                                 std::to_string(c.lodChoice) + ", hour " + std::to_string(c.hour);
        programSettings().LoadTextures = c.textures;
        drawSettings().LodChoice = c.lodChoice;
        renderer->SetCompileModels(true);
        const std::vector<Rgba> grouped = draw(c);
        const GroupedFrame::Figures figures = renderer->LastGrouping();
        // Twice: the second frame starts from the state the first one left.
        EXPECT_EQ(differing(draw(c), grouped), 0u) << name;
        renderer->SetGrouping(true, false);
        const std::vector<Rgba> cheaper = draw(c);
        const GroupedFrame::Figures choice = renderer->LastGrouping();
        renderer->SetGrouping(false);
        const std::vector<Rgba> itemByItem = draw(c);
        renderer->SetGrouping(true, true);
        renderer->SetCompileModels(false);
        const std::vector<Rgba> immediate = draw(c);

        EXPECT_GT(drawnPixels(immediate), immediate.size() / 8) << name;
        EXPECT_EQ(differing(grouped, immediate), 0u) << name;
        EXPECT_EQ(differing(itemByItem, immediate), 0u) << name;
        EXPECT_EQ(differing(cheaper, immediate), 0u) << name;
        EXPECT_EQ(choice.grouped > 0, choice.groupedChanges < choice.inOrderChanges)
            << name << ": drawn texture by texture when that changes less";
        if (c.lodChoice == 2)
            continue; // drawn item by item
        EXPECT_GT(figures.grouped, figures.ordered) << name << ": most of the town is drawn grouped";
        EXPECT_LT(figures.binds, (figures.grouped + figures.ordered) / 2)
            << name << ": item by item binds once a split";
        if (c.textures) {
            EXPECT_GT(figures.ordered, 0) << name << ": leaves and water blend in their order";
        }
        if (c.wholeMap) {
            EXPECT_EQ(renderer->LastCounts().instancesDrawn, renderer->LastCounts().instancesConsidered) << name;
        }
    }
    programSettings().LoadTextures = true;
    drawSettings().LodChoice = 0;
}

TEST_F(SceneCulling, PickHitRecordsAreTheSameFromCompiledListsAndImmediateMode)
{
    picture();
    int hits = 0;
    for (int y = 10; y < Height; y += 37) {
        for (int x = 10; x < Width; x += 41) {
            PickBuffer compiled{};
            PickBuffer immediate{};
            camera();
            renderer->SetCompileModels(true);
            const int compiledHits = scenePickPass(*renderer, x, y, Hour, compiled);
            renderer->SetCompileModels(false);
            const int immediateHits = scenePickPass(*renderer, x, y, Hour, immediate);
            EXPECT_EQ(compiledHits, immediateHits) << "at " << x << ", " << y;
            EXPECT_EQ(compiled, immediate) << "at " << x << ", " << y;
            hits += compiledHits;
        }
    }
    EXPECT_GT(hits, 20);
}

TEST_F(SceneCulling, LodModeAndNightHoursAlsoKeepThePicture)
{
    drawSettings().LodChoice = 2;
    const std::vector<Rgba> culled = [&] {
        viewDrawingState(true);
        camera();
        renderer->DrawAll(22, false);
        return framebuffer.pixels();
    }();
    renderer->SetCulling(false);
    viewDrawingState(true);
    camera();
    renderer->DrawAll(22, false);
    EXPECT_EQ(differing(culled, framebuffer.pixels()), 0u);
    drawSettings().LodChoice = 0;
}
