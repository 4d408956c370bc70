// What one frame of the scene shows, read back as pixels from a real context: cubes and
// their colours, hidden files, translucent zones, path lines, the LOD choice, timed
// objects, the preferred IDE file, missing definitions, loading progress, usage marks of
// items out of view, compiled models after their dictionary was freed or the texture
// option changed, and what blends drawn texture by texture.
#include "SceneFixture.h"

#include "DrawSettings.h"
#include "LoadProgress.h"
#include "ProgramSettings.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int Size = 200;     // pixels
constexpr float Half = 20;    // world units from the centre to each side: 5 pixels per unit
constexpr int Hour = 12;

// Framebuffer pixel of a world point seen from above.
int px(float world)
{
    return static_cast<int>((world + Half) * Size / (2 * Half));
}

bool near(const Rgba& actual, const Rgba& expected, int tolerance = 3)
{
    for (int i = 0; i < 3; ++i)
        if (std::abs(actual[i] - expected[i]) > tolerance)
            return false;
    return true;
}

std::string text(const Rgba& c)
{
    return "(" + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) + ")";
}

#define EXPECT_COLOUR(actual, expected) EXPECT_TRUE(near(actual, expected)) << text(actual) << " not " << text(expected)

class SceneDrawing : public testing::Test {
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
    }
    void TearDown() override
    {
        if (renderer)
            renderer->ReleaseGL();
        drawSettings() = m_savedDraw;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // Writes and loads the game, and makes a renderer for it.
    void start(const std::vector<std::pair<std::string, std::string>>& mapFiles, bool models, bool textures = true)
    {
        writeFixtureGame(dir, mapFiles);
        settings = std::make_unique<SceneSettingsScope>(dir.path().string(), models, textures);
        game = std::make_unique<LoadedGame>();
        game->load();
        renderer = std::make_unique<SceneRenderer>(models, textures);
        renderer->SetGrouping(true, true); // texture by texture even where it saves nothing
        renderer->SetFileList(&game->files);
        renderer->SetArchiveSet(game->set.get());
        m_textures = textures;
        // Nothing after a broken fixture is worth running.
        if (HasFailure())
            throw std::runtime_error("the fixture game did not load");
    }

    void frame(int hour = Hour)
    {
        viewDrawingState(m_textures);
        lookDown(Half);
        renderer->DrawAll(hour, false);
    }

    Rgba at(float x, float y) const { return framebuffer.pixel(px(x), px(y)); }

    PickResult pick(float x, float y, int hour = Hour)
    {
        lookDown(Half);
        return pickAt(*renderer, px(x), px(y), hour);
    }

    int fileIndex(const std::string& name) const
    {
        for (int pos = 0; pos < game->files.Count(); ++pos)
            if (game->files.File(pos)->FileName == name)
                return pos;
        return -1;
    }

    TempDir dir;
    SceneFramebuffer framebuffer{Size, Size};
    std::unique_ptr<SceneSettingsScope> settings;
    std::unique_ptr<LoadedGame> game;
    std::unique_ptr<SceneRenderer> renderer;

private:
    static SceneContext* s_context;
    DrawSettings m_savedDraw;
    bool m_textures = true;
};

SceneContext* SceneDrawing::s_context = nullptr;

const std::string TownIde = "DATA\\MAPS\\town.ide";
const std::string TownIpl = "DATA\\MAPS\\town.ipl";

std::string objs(const std::string& lines)
{
    return "objs\r\n" + lines + "end\r\n";
}

std::string inst(const std::string& lines)
{
    return "inst\r\n" + lines + "end\r\n";
}

// A Vice City inst line without rotation.
std::string place(int id, const std::string& model, float x, float y, float z = 0)
{
    return std::to_string(id) + ", " + model + ", 0, " + std::to_string(x) + ", " + std::to_string(y) + ", " +
           std::to_string(z) + ", 1, 1, 1, 0, 0, 0, 1\r\n";
}

struct ProgressCounter : LoadProgress {
    int overall = 0;
    int part = 0;
    std::vector<int> partMaxima;
    void StepOverall() override { ++overall; }
    void StepPart() override { ++part; }
    void SetPartMax(int max) override { partMaxima.push_back(max); }
};

} // namespace

TEST_F(SceneDrawing, CubeShowsItsTopColourAndLeavesPictureAndPickWhenItsFileIsHidden)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")},
           {TownIpl, inst(place(1, "thing", 10, 0) + place(1, "thing", -10, 0))}},
          false, false);
    frame();
    EXPECT_COLOUR(at(10, 0), CubeTop);
    EXPECT_COLOUR(at(13.5f, 3.5f), CubeTop) << "8-unit cube in cubes mode";
    EXPECT_COLOUR(at(10, 4.6f), Black);
    EXPECT_COLOUR(at(0, 0), Black);
    EXPECT_EQ(renderer->LastCounts().instancesConsidered, 2);

    const int ipl = fileIndex(TownIpl);
    const PickResult hit = pick(-10, 0);
    EXPECT_EQ(hit.names, (std::vector<GLuint>{static_cast<GLuint>(ipl), 0, 1})) << "file, inst kind, record";
    EXPECT_TRUE(pick(0, 10).names.empty());

    game->files.File(ipl)->Visible = false;
    frame();
    EXPECT_COLOUR(at(10, 0), Black);
    EXPECT_EQ(pick(-10, 0).hits, 0);
    EXPECT_EQ(renderer->LastCounts().instancesConsidered, 0);
}

TEST_F(SceneDrawing, ZoneAndCullBoxesAreTranslucentAndPickedAsTheirKind)
{
    // A zone over empty ground and over a cube; a cull box (from its second and third points).
    const std::string ipl = inst(place(1, "thing", 10, 10)) +
                            "zone\r\nz1, 0, -15, -15, -10, -5, -5, 10, 1\r\nz2, 0, 5, 5, -10, 15, 15, 10, 1\r\nend\r\n"
                            "cull\r\n100, 100, 0, 5, -15, -10, 15, -5, 10, 0, 0\r\nend\r\n";
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")}, {TownIpl, ipl}}, false, false);
    frame();
    // Bottom face red at half strength over black, then the yellow top over that.
    const Rgba overGround{191, 127, 0, 255};
    EXPECT_COLOUR(at(-10, -10), overGround);
    // The cube's red top shows through the yellow top.
    EXPECT_COLOUR(at(10, 10), (Rgba{255, 127, 0, 255}));
    EXPECT_COLOUR(at(10, -10), overGround) << "the cull box lies between its second and third points";
    EXPECT_COLOUR(at(0, 0), Black);

    const GLuint file = static_cast<GLuint>(fileIndex(TownIpl));
    EXPECT_EQ(pick(-10, -10).names, (std::vector<GLuint>{file, 2})) << "zone";
    EXPECT_EQ(pick(10, -10).names, (std::vector<GLuint>{file, 3})) << "cull";
    EXPECT_EQ(pick(10, 10).names, (std::vector<GLuint>{file, 2})) << "the zone's top lies above the cube";
}

TEST_F(SceneDrawing, PathLinesJoinNodesExceptFromTheOriginOrToNoNode)
{
    auto node = [](int type, int next, float x, float y) {
        return "\t" + std::to_string(type) + ", " + std::to_string(next) + ", 0, " + std::to_string(x * 16) + ", " +
               std::to_string(y * 16) + ", 0, 0, 1, 1, 0, 0, 1\r\n";
    };
    const std::string paths = "path\r\n"
                              // people: from the origin to (-10, 10): nothing drawn
                              "0, -1\r\n" + node(1, 1, 0, 0) + node(1, -1, -10, 10) +
                              // boats: (-15, 15) to (-5, 15)
                              "2, -1\r\n" + node(1, 1, -15, 15) + node(2, -1, -5, 15) +
                              // a link past the group's nodes, and an unused node
                              node(1, 40, 5, 5) + node(0, 0, 10, -10) +
                              // an unknown type keeps the boats' colour: (5, -15) to (15, -15)
                              "7, -1\r\n" + node(1, 1, 5, -15) + node(1, -1, 15, -15) + "end\r\n";
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")}, {TownIpl, paths}}, false, false);
    frame();
    const Rgba lime{0, 255, 0, 255};
    EXPECT_COLOUR(at(-10, 15), lime);
    EXPECT_COLOUR(at(10, -15), lime);
    EXPECT_COLOUR(at(-5, 5), Black) << "a node at the origin draws no line";
    EXPECT_COLOUR(at(-2, 2), Black);
    EXPECT_COLOUR(at(10, 0), Black) << "the boat line does not run to the unused node";
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
}

TEST_F(SceneDrawing, LodChoiceDecidesWhichItemsAreDrawnAndPicked)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n2, LODthing, cyan, 1, 1500, 0\r\n")},
           {TownIpl, inst(place(1, "thing", -10, 0) + place(2, "LodThing", 10, 0))}},
          true);
    struct Case {
        int choice;
        bool normal, lod;
    };
    for (const Case c : {Case{0, true, false}, Case{1, false, true}, Case{2, true, true}}) {
        drawSettings().LodChoice = c.choice;
        frame();
        EXPECT_COLOUR(at(-10, 0), c.normal ? Cyan : Black) << "choice " << c.choice;
        EXPECT_COLOUR(at(10, 0), c.lod ? Cyan : Black) << "choice " << c.choice;
        EXPECT_EQ(renderer->LastCounts().instancesConsidered, int{c.normal} + int{c.lod});
        EXPECT_EQ(pick(10, 0).names.size(), c.lod ? 3u : 0u) << "choice " << c.choice;
    }
}

TEST_F(SceneDrawing, TimedObjectIsItsModelAtNightAndTheSmallCubeAtNoon)
{
    start({{TownIde, "tobj\r\n3, other, violet, 1, 100, 0, 20, 6\r\nend\r\n"}, {TownIpl, inst(place(3, "other", 0, 0))}},
          true);
    const int ide = fileIndex(TownIde);
    TGTASInstObj& record = game->files.IPLFile(fileIndex(TownIpl))->Inst.Items[0];

    frame(22);
    EXPECT_COLOUR(at(0, 0), Violet);
    EXPECT_COLOUR(at(1.5f, 1.5f), Violet);
    EXPECT_EQ(record.DefFile, ide);
    EXPECT_EQ(record.DefIndex, 0);
    EXPECT_EQ(record.DefHour, 22);

    frame(12);
    EXPECT_COLOUR(at(0, 0), CubeTop);
    EXPECT_COLOUR(at(0.3f, 0.3f), CubeTop);
    EXPECT_COLOUR(at(1.5f, 1.5f), Black) << "a 1-unit cube in models mode";
    EXPECT_EQ(record.DefFile, -1);
    EXPECT_EQ(record.DefHour, -1);

    frame(3);
    EXPECT_COLOUR(at(1.5f, 1.5f), Violet);
    EXPECT_EQ(record.DefHour, 3);
}

TEST_F(SceneDrawing, DefinitionOfTheSameNamedIdeFileWinsOverEarlierFiles)
{
    start({{"DATA\\MAPS\\a.ide", objs("100, other, violet, 1, 100, 0\r\n")},
           {"DATA\\MAPS\\b.ide", objs("100, thing, cyan, 1, 100, 0\r\n")},
           {"DATA\\MAPS\\B.IPL", inst(place(100, "thing", -10, 0))},
           {"DATA\\MAPS\\c.ipl", inst(place(100, "thing", 10, 0))}},
          true);
    frame();
    EXPECT_COLOUR(at(-10, 0), Cyan) << "B.IPL prefers b.ide";
    EXPECT_COLOUR(at(10, 0), Violet) << "c.ipl has no IDE of its name: the first definition in list order";
    EXPECT_EQ(game->files.IPLFile(fileIndex("DATA\\MAPS\\B.IPL"))->Inst.Items[0].DefFile,
              fileIndex("DATA\\MAPS\\b.ide"));

    // The same through the ID index the loading pass builds.
    for (auto& file : game->files.Files)
        if (auto* ide = dynamic_cast<TIDEFile*>(file.get()))
            ide->Objs.BuildIDIndex();
    for (auto& file : game->files.Files)
        if (auto* ipl = dynamic_cast<TIPLFile*>(file.get()))
            ipl->Inst.Items[0].DefFile = -1;
    frame();
    EXPECT_COLOUR(at(-10, 0), Cyan);
    EXPECT_COLOUR(at(10, 0), Violet);
}

TEST_F(SceneDrawing, UndefinedItemIsTheOneUnitCubeInModelsModeAndTheEightUnitCubeInCubesMode)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")},
           {TownIpl, inst(place(999, "nowhere", 0, 0) + place(1, "thing", 10, 0))}},
          true);
    // A defined item whose model is not in the archive: also the cube.
    game->files.IDEFile(fileIndex(TownIde))->Objs.Items[0].ModelName = "missing";
    frame();
    EXPECT_COLOUR(at(0, 0), CubeTop);
    EXPECT_COLOUR(at(0.25f, 0), CubeTop);
    EXPECT_COLOUR(at(0.8f, 0), Black);
    EXPECT_COLOUR(at(10, 0), CubeTop);
    EXPECT_COLOUR(at(10.8f, 0), Black);
    EXPECT_EQ(game->files.IDEFile(fileIndex(TownIde))->Objs.Items[0].ModelIndex, -1);

    renderer->ReleaseGL();
    renderer = std::make_unique<SceneRenderer>(false, true);
    renderer->SetFileList(&game->files);
    frame();
    EXPECT_COLOUR(at(3.8f, 0), CubeTop);
    EXPECT_COLOUR(at(4.4f, 0), Black);
}

TEST_F(SceneDrawing, LoadingPassStepsOncePerVisibleFileAndOncePerItem)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")},
           {TownIpl, inst(place(1, "thing", 0, 0) + place(1, "thing", 5, 0) + place(1, "thing", 500, 0))},
           {"DATA\\MAPS\\empty.ipl", inst("")},
           {"DATA\\MAPS\\hidden.ipl", inst(place(1, "thing", 0, 5))}},
          true);
    game->files.File(fileIndex("DATA\\MAPS\\hidden.ipl"))->Visible = false;
    ProgressCounter progress;
    renderer->SetLoadingProgress(&progress);
    frame();
    EXPECT_EQ(progress.overall, 2);
    EXPECT_EQ(progress.partMaxima, (std::vector<int>{3, 0}));
    EXPECT_EQ(progress.part, 3) << "also for the item out of view";
    renderer->SetLoadingProgress(nullptr);
    frame();
    EXPECT_EQ(progress.overall, 2);
}

TEST_F(SceneDrawing, ItemOutOfViewIsNotDrawnButItsModelIsLoadedAndMarkedWhileFreeingWaits)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n2, other, violet, 1, 100, 0\r\n")},
           {TownIpl, inst(place(1, "thing", 0, 0) + place(2, "other", 500, 0))}},
          true);
    TGTAImg& set = *game->set;
    TGTADff& other = *set.Dffs[set.FindDff("other")];
    TGTATxd& violet = *set.Txds[set.FindTxd("violet")];

    set.ResetUsage();
    frame();
    EXPECT_EQ(renderer->LastCounts().instancesConsidered, 2);
    EXPECT_EQ(renderer->LastCounts().instancesDrawn, 1);
    EXPECT_TRUE(other.Loaded);
    EXPECT_TRUE(other.Used);
    EXPECT_TRUE(violet.Used);
    renderer->FreeUnusedIfPending();
    EXPECT_FALSE(set.FreePending);
    EXPECT_TRUE(other.Loaded) << "used by a visible file, though out of view";

    // Hiding the file frees both models and the dictionaries.
    game->files.File(fileIndex(TownIpl))->Visible = false;
    set.ResetUsage();
    frame();
    renderer->FreeUnusedIfPending();
    EXPECT_FALSE(other.Loaded);
    EXPECT_FALSE(set.Dffs[set.FindDff("thing")]->Loaded);
    EXPECT_FALSE(violet.Loaded);
}

TEST_F(SceneDrawing, CompiledModelIsDrawnTexturedAgainAfterItsDictionaryWasFreed)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")}, {TownIpl, inst(place(1, "thing", 0, 0))}}, true);
    TGTAImg& set = *game->set;
    TGTATxd& cyan = *set.Txds[set.FindTxd("cyan")];
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan);
    EXPECT_EQ(renderer->CompiledListCount(), 1u);
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan) << "replayed from its list";
    EXPECT_EQ(renderer->CompiledListCount(), 1u);

    game->files.File(fileIndex(TownIpl))->Visible = false;
    set.ResetUsage();
    frame();
    renderer->FreeUnusedIfPending();
    ASSERT_FALSE(cyan.Loaded);
    EXPECT_EQ(renderer->CompiledListCount(), 0u);

    // Texture names freed with the dictionary may be handed out again: give one a colour
    // that a list still binding the old name would show.
    GLuint stranger = 0;
    glGenTextures(1, &stranger);
    glBindTexture(GL_TEXTURE_2D, stranger);
    const std::array<std::uint8_t, 4> orange{255, 128, 0, 255};
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, orange.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    game->files.File(fileIndex(TownIpl))->Visible = true;
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan);
    EXPECT_TRUE(cyan.Loaded);
    EXPECT_EQ(renderer->CompiledListCount(), 1u);
    glDeleteTextures(1, &stranger);

    // Freed behind the renderer's back (not through the frame loop): still drawn right.
    cyan.Unload();
    glGenTextures(1, &stranger);
    glBindTexture(GL_TEXTURE_2D, stranger);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, orange.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan);
    glDeleteTextures(1, &stranger);
}

// A dictionary written back to the archive and read again at once (as the texture viewer
// does after saving) gets new texture objects: lists binding the old ones are compiled again.
TEST_F(SceneDrawing, CompiledModelShowsTheDictionarySavedIntoTheArchive)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")}, {TownIpl, inst(place(1, "thing", 0, 0))}}, true);
    TGTAImg& set = *game->set;
    const int cyan = set.FindTxd("cyan");
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan);

    ASSERT_EQ(set.SaveTxd(cyan, solidDictionary(Violet)), 0);
    EXPECT_FALSE(set.Txds[cyan]->Loaded);
    set.Txds[cyan]->Load();
    frame();
    EXPECT_COLOUR(at(0, 0), Violet);
    EXPECT_EQ(renderer->CompiledListCount(), 1u);

    // Read back from the archive as a fresh load of the game reads it.
    LoadedGame again;
    again.load();
    TGTATxd& reread = *again.set->Txds[again.set->FindTxd("cyan")];
    reread.Load();
    EXPECT_EQ(reread.Bytes(), set.Txds[cyan]->Bytes());
    EXPECT_EQ(again.set->EntryCount(), set.EntryCount());
}

TEST_F(SceneDrawing, CompiledModelFollowsTheTextureOption)
{
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")}, {TownIpl, inst(place(1, "thing", 0, 0))}}, true);
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan);
    EXPECT_EQ(renderer->LastGrouping().grouped, 1);
    EXPECT_EQ(renderer->LastGrouping().binds, 1);

    // Without loaded textures a split binds nothing: what is bound shows, so it keeps its order.
    programSettings().LoadTextures = false;
    frame();
    EXPECT_EQ(renderer->CompiledListCount(), 1u);
    EXPECT_EQ(renderer->LastGrouping().ordered, 1);
    EXPECT_EQ(renderer->LastGrouping().binds, 0);

    programSettings().LoadTextures = true;
    glBindTexture(GL_TEXTURE_2D, 0);
    frame();
    EXPECT_COLOUR(at(0, 0), Cyan) << "compiled again with its texture";
    EXPECT_EQ(renderer->LastGrouping().grouped, 1);
}

TEST_F(SceneDrawing, WhatBlendsKeepsItsOrderWithWhatLiesBehindIt)
{
    // Glass first, high up; a cyan square under it, drawn later; a cyan square beside it;
    // violet over part of the glass.
    start({{TownIde,
            objs("1, thing, cyan, 1, 100, 0\r\n2, other, glass, 1, 100, 0\r\n3, thing, violet, 1, 100, 0\r\n")},
           {TownIpl, inst(place(2, "other", 0, 0, 10) + place(1, "thing", 0, 0) + place(1, "thing", 10, 0) +
                          place(3, "thing", 3, 3, 20))}},
          true);
    frame();
    const std::vector<Rgba> grouped = framebuffer.pixels();
    const GroupedFrame::Figures figures = renderer->LastGrouping();
    renderer->SetCompileModels(false);
    frame();
    EXPECT_EQ(framebuffer.pixels(), grouped);
    renderer->SetCompileModels(true);

    EXPECT_EQ(figures.ordered, 1) << "the glass";
    EXPECT_EQ(figures.grouped, 3) << "the squares";
    EXPECT_EQ(figures.layers, 2) << "the square under the glass comes after it, the others before";
    const Rgba glassOverBlack = at(-1, -1);
    EXPECT_TRUE(near(glassOverBlack, Rgba{136, 136, 136, 255}, 12)) << text(glassOverBlack);
    EXPECT_COLOUR(at(10, 0), Cyan);
    EXPECT_COLOUR(at(4, 4), Violet);
}

TEST_F(SceneDrawing, LitCubeFindsTheNormalOfTheItemByItemFrame)
{
    // The cube has no normals: lit, it shows the normal the square before it left current.
    // Drawn texture by texture the cube comes first, so the frame hands it that normal.
    start({{TownIde, objs("1, thing, cyan, 1, 100, 0\r\n")},
           {TownIpl, inst(place(1, "thing", -10, 0) + place(999, "nowhere", 0, 0) + place(1, "thing", 10, 0))}},
          true, false);
    auto litFrame = [&] {
        GLDrawingState state = sceneDrawingState(false, true, false, false);
        state.clearColour = {0, 0, 0, 1};
        applyGLDrawingState(state);
        glEnable(GL_LIGHT0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        lookDown(Half);
        const std::array<float, 4> light{0, 0, 1, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, light.data());
        renderer->DrawAll(Hour, false);
        return framebuffer.pixels();
    };
    std::vector<Rgba> cubeShades;
    for (const std::array<float, 3> before : {std::array<float, 3>{0, 0, 1}, {1, 0, 0}, {0, 0.6f, 0.8f}}) {
        glNormal3fv(before.data());
        renderer->SetCompileModels(false);
        const std::vector<Rgba> immediate = litFrame();
        cubeShades.push_back(at(0, 0));
        const std::vector<Rgba> immediateAgain = litFrame();
        glNormal3fv(before.data());
        renderer->SetCompileModels(true);
        EXPECT_EQ(litFrame(), immediate) << "first frame";
        EXPECT_EQ(litFrame(), immediateAgain) << "a frame after a frame";
        EXPECT_GT(renderer->LastGrouping().grouped, 0);
    }
    EXPECT_EQ(cubeShades[0], cubeShades[1]) << "the square's normal, not the one before the frame";
    EXPECT_EQ(cubeShades[0], cubeShades[2]);
}
