// Culling and compiling must not change what the view shows: the demo town drawn from a
// tilted camera with culling and without, compiled and in immediate mode, gives the same
// pixels, and picks at many points choose the same item.
#include "SceneFixture.h"

#include "DemoGame.h"
#include "DrawSettings.h"

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
