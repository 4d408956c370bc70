// The editor on the large demo game as a user runs it: the load sequence, every IPL file
// made visible ("Select All"), the view at 1280 × 800 with the start camera. Figures:
//   - launch to first frame: from the start of the load sequence until the first frame of
//     the visible files is drawn (in models mode the frame that loads their models);
//   - the median frame at the start camera and zoomed out until the whole map is in view,
//     in cubes mode and in models mode with textures (compiled, and immediate mode);
//   - a pick at the centre of the view (double click), selection included.
// A frame is what the view's paint draws, into its framebuffer, ended with glFinish.
//
//   xvfb-run -a -s "-screen 0 1920x1200x24" bench_EditorLaunch [game folder]

#include "BenchTiming.h"
#include "DemoGame.h"
#include "DialogService.h"
#include "LoadSequence.h"
#include "Log.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "SceneRenderer.h"
#include "TFormMain.h"
#include "TGLView.h"
#include "ViewSurfaceFormat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int Width = 1280;
constexpr int Height = 800;
constexpr int Runs = 9;

// Answers every question with Yes ("Select All" in models mode asks first).
class AnswerYes : public DialogService {
public:
    DialogAnswer showMessage(MessageKind, const QString&, const QString&, DialogButtons buttons) override
    {
        return buttons == DialogButtons::Ok ? DialogAnswer::Ok : DialogAnswer::Yes;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> pickFolder(const QString&, const std::function<bool(const QString&)>&) override
    {
        return {};
    }
    QStringList openFiles(const QString&, const QString&, bool, const QString&) override { return {}; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

struct ModeFigures {
    double launch = 0;
    double frameStart = 0;
    double frameZoomed = 0;
    double immediateStart = 0;
    double immediateZoomed = 0;
    double pick = 0;
    SceneRenderer::Counts countsStart;
    SceneRenderer::Counts countsZoomed;
};

// What a paint of the view draws, into the view's own framebuffer; the composition of the
// window is left out (a repaint is skipped while the window server has not exposed it).
double frameTime(TGLView& view, int runs)
{
    return medianMilliseconds(
        [&view] {
            view.makeCurrent();
            view.BeginFrame();
            view.Renderer().DrawAll(view.GameHour(), false);
            glFinish();
        },
        runs);
}

ModeFigures run(const std::string& gameDir, bool models)
{
    ProgramSettings& settings = programSettings();
    settings.GameDir = gameDir;
    settings.LoadModels = models;
    settings.LoadTextures = true;
    settings.SkipTextures = false;

    ModeFigures figures;
    QElapsedTimer launch;
    launch.start();
    if (!RunLoadSequence()) {
        std::fprintf(stderr, "the load sequence did not finish\n");
        std::exit(1);
    }
    TFormMain& main = *programWindows().Main;
    TGLView& view = *programWindows().View;
    int frames = 0;
    QObject::connect(&view, &TGLView::frameDrawn, [&frames] { ++frames; });
    main.BtnVisCheckAllClick();
    view.setFixedSize(Width, Height);
    main.show();
    while (frames == 0 || main.LoadingPending())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    figures.launch = double(launch.elapsed());
    // Let the window settle (the three frames of a burst in models mode).
    for (int settle = 0; settle < 20; ++settle) {
        QApplication::processEvents();
        QThread::msleep(5);
    }

    view.Camera().Zoom = -600.0f;
    figures.frameStart = frameTime(view, Runs);
    figures.countsStart = view.Renderer().LastCounts();
    figures.pick = medianMilliseconds([&view] { view.PickAt(Width / 2, Height / 2, false); }, Runs);
    view.Camera().Zoom = -6000.0f;
    figures.frameZoomed = frameTime(view, 3);
    figures.countsZoomed = view.Renderer().LastCounts();
    if (models) {
        view.Renderer().SetCompileModels(false);
        view.Camera().Zoom = -600.0f;
        figures.immediateStart = frameTime(view, Runs);
        view.Camera().Zoom = -6000.0f;
        figures.immediateZoomed = frameTime(view, 3);
    }
    main.close();
    DestroyProgramWindows();
    return figures;
}

void printMode(const char* name, const ModeFigures& f)
{
    std::printf("%-34s %10.1f ms\n", (std::string(name) + ": launch to first frame").c_str(), f.launch);
    std::printf("%-34s %10.2f ms   %6d of %6d items drawn\n", (std::string(name) + ": frame, start camera").c_str(),
                f.frameStart, f.countsStart.instancesDrawn, f.countsStart.instancesConsidered);
    std::printf("%-34s %10.2f ms   %6d of %6d items drawn\n", (std::string(name) + ": frame, zoomed out").c_str(),
                f.frameZoomed, f.countsZoomed.instancesDrawn, f.countsZoomed.instancesConsidered);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": pick at the centre").c_str(), f.pick);
}

}

int main(int argc, char** argv)
{
    setViewSurfaceDefaults();
    QApplication app(argc, argv);
    AnswerYes answers;
    setDialogService(&answers);
    // The centre of the large map lies inside zone boxes: the pick shows "zone" there.
    int notices = 0;
    setUserNoticeSink([&notices](std::string_view) { ++notices; });

    std::filesystem::path folder;
    bool temporary = false;
    if (argc > 1) {
        folder = argv[1];
    } else {
        folder = std::filesystem::temp_directory_path() / "quox-bench-editor";
        std::filesystem::remove_all(folder);
        std::string error;
        if (writeDemoGame(folder.string(), DemoGameOptions{true, true}, error) != 0) {
            std::fprintf(stderr, "cannot write the demo game: %s\n", error.c_str());
            return 1;
        }
        temporary = true;
    }
    const std::string gameDir = folder.string() + "/";

    const ModeFigures cubes = run(gameDir, false);
    const ModeFigures models = run(gameDir, true);

    std::printf("game %s, view %d x %d, medians of %d frames (3 zoomed out)\n\n", gameDir.c_str(), Width, Height,
                Runs);
    printMode("cubes", cubes);
    printMode("models", models);
    std::printf("%-34s %10.2f ms\n", "models immediate: start camera", models.immediateStart);
    std::printf("%-34s %10.2f ms\n", "models immediate: zoomed out", models.immediateZoomed);
    std::printf("\n%-34s %9.2fx  (target: within 4x)\n", "models / cubes, start camera",
                models.frameStart / cubes.frameStart);
    std::printf("%-34s %9.2fx\n", "models / cubes, zoomed out", models.frameZoomed / cubes.frameZoomed);
    std::printf("%-34s %9.2fx\n", "immediate / compiled, start camera", models.immediateStart / models.frameStart);
    std::printf("%-34s %9.2f ms (target: under 20 ms)\n", "pick at the centre, models", models.pick);
    std::printf("%-34s %9d\n", "picks that hit a zone, cull or path", notices);
    if (temporary)
        std::filesystem::remove_all(folder);
    return 0;
}
