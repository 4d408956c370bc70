// Frame times of the 3D view's scene on the large demo game, 1280 × 800 pixels, with the
// view's start camera (45°, near 1, far 8000, 600 above the target at the map centre):
//   - the first frame in models mode (loading every model and dictionary it needs),
//   - the median frame in cubes mode, and in models mode, textured, compiled and immediate,
//   - the same zoomed out to 6000 above the centre,
//   - a pick at the centre (2 × 2 pixels), with and without the frustum prefilter.
// Every timed frame ends with glFinish.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_SceneDrawing [game folder]

#include "BenchTiming.h"
#include "DemoGame.h"
#include "GLDrawingState.h"
#include "GLTestFramebuffer.h"
#include "GLEntryPoints.h"
#include "GLPickPass.h"
#include "GLTextureUploader.h"
#include "GamePaths.h"
#include "ProgramSettings.h"
#include "SceneRenderer.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TIPLFile.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <GL/glu.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int Width = 1280;
constexpr int Height = 800;
constexpr int Hour = 12;
constexpr int Runs = 9;

// The view's camera looking straight down on the target from `zoom`.
void camera(float zoom)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double{Width} / Height, 1, 8000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, zoom);
    glTranslatef(0, 0, 0); // minus the target, the map centre
}

void frame(SceneRenderer& renderer, bool textures, float zoom)
{
    GLDrawingState state = sceneDrawingState(textures, false, false, false);
    state.clearColour = {0, 0, 0, 1};
    applyGLDrawingState(state);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    camera(zoom);
    renderer.DrawAll(Hour, false);
    glFinish();
}

// A pick pass of 2 × 2 pixels at the centre; returns the hit count.
int pickCentre(SceneRenderer& renderer, float zoom)
{
    static PickBuffer buffer;
    camera(zoom);
    const int hits = scenePickPass(renderer, Width / 2.0, Height / 2.0 - 1, Hour, buffer);
    glFinish();
    return hits;
}

double milliseconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void row(const char* label, double ms, const SceneRenderer::Counts& counts)
{
    std::printf("%-40s %9.2f ms   %6d of %6d items drawn\n", label, ms, counts.instancesDrawn,
                counts.instancesConsidered);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    std::filesystem::path folder;
    std::filesystem::path generated;
    if (argc > 1) {
        folder = argv[1];
    } else {
        generated = std::filesystem::temp_directory_path() / "quox-bench-scene";
        folder = generated;
        std::string error;
        if (writeDemoGame(folder.string(), DemoGameOptions{true, true}, error) != 0) {
            std::fprintf(stderr, "cannot write the demo game: %s\n", error.c_str());
            return 2;
        }
    }

    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (!context.create() || !context.makeCurrent(&surface)) {
        std::fprintf(stderr, "no OpenGL context could be made current\n");
        return 1;
    }
    glEntryPoints() = loadGLEntryPointsFromCurrentContext(
        [&](const char* name) { return reinterpret_cast<void*>(context.getProcAddress(name)); });
    int result = 0;
    {
        GLTestFramebuffer framebuffer(Width, Height, true);
        if (!framebuffer.complete()) {
            std::fprintf(stderr, "framebuffer incomplete\n");
            return 1;
        }
        ProgramSettings& settings = programSettings();
        settings.GameDir = withTrailingSeparator(folder.string());
        settings.IsViceCity = true;
        settings.LoadModels = settings.LoadTextures = true;
        settings.SkipTextures = false;

        GLTextureUploader uploader(glEntryPoints());
        TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};
        std::unique_ptr<TGTAImg> set;
        const double loading = milliseconds([&] {
            set = std::make_unique<TGTAImg>(programSettings().GameDir, glEntryPoints().hasCompressedTextures(), &uploader);
            set->ConnectFileList(files);
            files.LoadDat(DatPass::IDE);
            files.LoadDat(DatPass::IPL);
        });
        int iplFiles = 0;
        for (auto& file : files.Files)
            if (file->Kind == FileKind::IPL) {
                file->Visible = true;
                ++iplFiles;
            }
        std::printf("game %s: %d IPL files, %d models, %d dictionaries; %s; median of %d frames\n",
                    folder.string().c_str(), iplFiles, set->DffCount, set->TxdCount,
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)), Runs);
        std::printf("%-40s %9.2f ms\n", "load archive set and map files", loading);

        SceneRenderer models(true, true);
        models.SetFileList(&files);
        models.SetArchiveSet(set.get());
        set->ResetUsage(); // the loading pass after making everything visible
        const double first = milliseconds([&] { frame(models, true, -600); });
        row("first frame, models (loads, compiles)", first, models.LastCounts());
        models.FreeUnusedIfPending();

        SceneRenderer cubes(false, true);
        cubes.SetFileList(&files);
        const double cubesStart = medianMilliseconds([&] { frame(cubes, false, -600); }, Runs);
        row("cubes, start camera", cubesStart, cubes.LastCounts());
        const double modelsStart = medianMilliseconds([&] { frame(models, true, -600); }, Runs);
        row("models textured compiled, start camera", modelsStart, models.LastCounts());
        models.SetCompileModels(false);
        const double immediateStart = medianMilliseconds([&] { frame(models, true, -600); }, Runs);
        row("models textured immediate, start camera", immediateStart, models.LastCounts());
        models.SetCompileModels(true);

        const double cubesFar = medianMilliseconds([&] { frame(cubes, false, -6000); }, 3);
        row("cubes, zoomed out to 6000", cubesFar, cubes.LastCounts());
        const double modelsFar = medianMilliseconds([&] { frame(models, true, -6000); }, 3);
        row("models textured compiled, zoomed out", modelsFar, models.LastCounts());
        models.SetCompileModels(false);
        const double immediateFar = medianMilliseconds([&] { frame(models, true, -6000); }, 3);
        row("models textured immediate, zoomed out", immediateFar, models.LastCounts());
        models.SetCompileModels(true);

        int hits = 0;
        const double pick = medianMilliseconds([&] { hits = pickCentre(models, -600); }, Runs);
        row("pick at the centre, prefiltered", pick, models.LastCounts());
        std::printf("%-40s %9d\n", "  hit records", hits);
        models.SetCulling(false);
        int hitsAll = 0;
        const double pickAll = medianMilliseconds([&] { hitsAll = pickCentre(models, -600); }, 3);
        row("pick at the centre, every item drawn", pickAll, models.LastCounts());
        std::printf("%-40s %9d\n", "  hit records", hitsAll);
        models.SetCulling(true);
        if (hits != hitsAll) {
            std::fprintf(stderr, "the prefilter changed the pick: %d hits, %d without\n", hits, hitsAll);
            result = 1;
        }

        std::printf("\n%-40s %9s %9s\n", "", "start", "zoomed");
        std::printf("%-40s %8.2fx %8.2fx   (target within 4x at the start camera)\n", "models compiled / cubes",
                    modelsStart / cubesStart, modelsFar / cubesFar);
        std::printf("%-40s %8.2fx %8.2fx\n", "models immediate / cubes", immediateStart / cubesStart,
                    immediateFar / cubesFar);
        std::printf("%-40s %8.2f ms   (target below 20 ms)\n", "pick", pick);

        models.ReleaseGL();
        cubes.ReleaseGL();
        set.reset();
    }
    context.doneCurrent();
    if (!generated.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(generated, ignored);
    }
    return result;
}
