// The editor on the large demo game as a user runs it: the load sequence, every IPL file
// made visible ("Select All"), the view at 1280 × 800 with the start camera. Figures:
//   - launch to first frame: from the start of the load sequence until the first frame of
//     the visible files is drawn (in models mode the frame that loads their models);
//   - the median frame at the start camera and zoomed out until the whole map is in view,
//     in cubes mode and in models mode with textures and without (compiled and drawn
//     texture by texture, compiled and drawn item by item, and immediate mode);
//   - in models mode, the frame of each LOD choice ("Normal Mode", "LOD Mode", "Normal +
//     LOD", "As In Game") at both cameras, taking turns with the cubes frame, with the
//     items and compiled splits each draws;
//   - a pick at the centre of the view (double click), selection included;
//   - the peak resident memory after models mode with textures loaded what every file
//     shows, beside the archive bytes of the models and dictionaries loaded, and the
//     start-up window's estimate for that choice.
// A frame is what the view's paint draws, into its framebuffer, ended with glFinish.
//
//   xvfb-run -a -s "-screen 0 1920x1200x24" bench_EditorLaunch [game folder]

#include "BenchTiming.h"
#include "DemoGame.h"
#include "DialogService.h"
#include "DrawSettings.h"
#include "LoadSequence.h"
#include "Log.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "SceneRenderer.h"
#include "TFormMain.h"
#include "TFormStartup.h"
#include "TGTAImg.h"
#include "TGTATxd.h"
#include "TGLView.h"
#include "ViewSurfaceFormat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>

namespace {

constexpr int Width = 1280;
constexpr int Height = 800;
constexpr int Runs = 9;
constexpr int ZoomedRuns = 5;

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
    double itemsStart = 0;
    double itemsZoomed = 0;
    double immediateStart = 0;
    double immediateZoomed = 0;
    double alwaysStart = 0; // texture by texture even where the frame's own order changes less
    double alwaysZoomed = 0;
    GroupedFrame::Figures choiceStart;
    GroupedFrame::Figures choiceZoomed;
    double cubesStart = 0; // the same files drawn as cubes, taking turns with the models
    double cubesZoomed = 0;
    GroupedFrame::Figures groupingStart;
    GroupedFrame::Figures groupingZoomed;
    long peakKb = 0;
    std::int64_t archiveBytes = 0;
    double pick = 0;
    SceneRenderer::Counts countsStart;
    SceneRenderer::Counts countsZoomed;
    struct Choice {
        double start = 0, zoomed = 0;
        SceneRenderer::Counts countsStart, countsZoomed;
    };
    std::array<Choice, 4> choices{}; // by LOD choice, models mode only
    double choiceCubesStart = 0;     // the cubes frame taking turns with them
    double choiceCubesZoomed = 0;
};

constexpr const char* ChoiceNames[] = {"Normal Mode", "LOD Mode", "Normal + LOD", "As In Game"};

// What a paint of the view draws, into the view's own framebuffer; the composition of the
// window is left out (a repaint is skipped while the window server has not exposed it).
// `renderer`: another renderer of the same files drawn in the view's frame (null: the view's).
double frameTime(TGLView& view, int runs, SceneRenderer* renderer = nullptr)
{
    return medianMilliseconds(
        [&view, renderer] {
            view.makeCurrent();
            view.BeginFrame();
            (renderer ? *renderer : view.Renderer()).DrawAll(view.GameHour(), false);
            glFinish();
        },
        runs);
}

// The process's peak resident memory (VmHWM), in kB; 0 when the system does not say.
long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// Starts the peak over (Linux: writing 5 to clear_refs resets VmHWM to the current size).
void resetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Archive bytes of the models and dictionaries loaded now.
std::int64_t loadedArchiveBytes(const TGTAImg& set)
{
    std::int64_t bytes = 0;
    for (const auto& model : set.Dffs)
        bytes += model->Loaded ? model->Length : 0;
    for (const auto& dictionary : set.Txds)
        bytes += dictionary->Loaded ? dictionary->Length : 0;
    return bytes;
}

using Renderer = SceneRenderer;

// Median frame times of each way of drawing (a setup that returns the renderer to draw
// with, null for the view's), taking turns.
std::vector<double> interleavedFrames(TGLView& view, int runs,
                                      const std::vector<std::function<SceneRenderer*()>>& ways)
{
    std::vector<std::vector<double>> times(ways.size());
    for (int run = 0; run < runs; ++run)
        for (std::size_t way = 0; way < ways.size(); ++way) {
            SceneRenderer* renderer = ways[way]();
            times[way].push_back(frameTime(view, 1, renderer));
        }
    std::vector<double> medians;
    for (auto& t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

// Each LOD choice drawn as the editor draws it, taking turns with the cubes frame.
void measureChoices(TGLView& view, SceneRenderer& renderer, SceneRenderer& cubes, ModeFigures& figures)
{
    std::vector<std::function<SceneRenderer*()>> ways;
    for (int choice = 0; choice < 4; ++choice)
        ways.push_back([choice]() -> SceneRenderer* {
            drawSettings().LodChoice = choice;
            return nullptr;
        });
    ways.push_back([&cubes]() -> SceneRenderer* { return &cubes; });
    for (const bool zoomed : {false, true}) {
        view.Camera().Zoom = zoomed ? -6000.0f : -600.0f;
        // A first frame of each loads what the choice shows and compiles it.
        for (int choice = 0; choice < 4; ++choice) {
            ways[static_cast<std::size_t>(choice)]();
            frameTime(view, 1);
            ModeFigures::Choice& c = figures.choices[static_cast<std::size_t>(choice)];
            (zoomed ? c.countsZoomed : c.countsStart) = renderer.LastCounts();
        }
        const std::vector<double> times = interleavedFrames(view, zoomed ? ZoomedRuns : Runs, ways);
        for (int choice = 0; choice < 4; ++choice) {
            ModeFigures::Choice& c = figures.choices[static_cast<std::size_t>(choice)];
            (zoomed ? c.zoomed : c.start) = times[static_cast<std::size_t>(choice)];
        }
        (zoomed ? figures.choiceCubesZoomed : figures.choiceCubesStart) = times[4];
    }
    drawSettings().LodChoice = 0;
}

ModeFigures run(const std::string& gameDir, bool models, bool textures, bool memoryOnly = false)
{
    ProgramSettings& settings = programSettings();
    settings.GameDir = gameDir;
    settings.LoadModels = models;
    settings.LoadTextures = textures;
    settings.SkipTextures = !textures;

    ModeFigures figures;
    resetPeakResident();
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

    figures.peakKb = peakResidentKb();
    if (main.ArchiveSet())
        figures.archiveBytes = loadedArchiveBytes(*main.ArchiveSet());
    if (memoryOnly)
        return figures;

    // The ways of drawing take turns frame by frame, so that a machine busy with other
    // work slows them alike.
    Renderer& renderer = view.Renderer();
    std::vector<std::function<SceneRenderer*()>> ways{[&renderer]() -> SceneRenderer* {
        renderer.SetCompileModels(true);
        renderer.SetGrouping(true, false);
        return nullptr;
    }};
    // The same files in cubes mode, drawn in the same frame state (textured, unlit): the
    // cubes frame taking turns with the models frames.
    SceneRenderer cubes(false, textures);
    cubes.SetFileList(main.FileList());
    if (models) {
        ways.push_back([&renderer]() -> SceneRenderer* {
            renderer.SetGrouping(false);
            return nullptr;
        });
        ways.push_back([&renderer]() -> SceneRenderer* {
            renderer.SetGrouping(true);
            renderer.SetCompileModels(false);
            return nullptr;
        });
        ways.push_back([&cubes]() -> SceneRenderer* { return &cubes; });
        ways.push_back([&renderer]() -> SceneRenderer* {
            renderer.SetGrouping(true, true);
            return nullptr;
        });
    }
    view.Camera().Zoom = -600.0f;
    std::vector<double> start = interleavedFrames(view, Runs, ways);
    figures.countsStart = renderer.LastCounts();
    ways.front()();
    frameTime(view, 1);
    figures.groupingStart = renderer.LastGrouping();
    figures.pick = medianMilliseconds([&view] { view.PickAt(Width / 2, Height / 2, false); }, Runs);
    view.Camera().Zoom = -6000.0f;
    std::vector<double> zoomed = interleavedFrames(view, ZoomedRuns, ways);
    figures.countsZoomed = renderer.LastCounts();
    ways.front()();
    frameTime(view, 1);
    figures.groupingZoomed = renderer.LastGrouping();
    figures.frameStart = start[0];
    figures.frameZoomed = zoomed[0];
    if (models) {
        figures.itemsStart = start[1];
        figures.itemsZoomed = zoomed[1];
        figures.immediateStart = start[2];
        figures.immediateZoomed = zoomed[2];
        figures.cubesStart = start[3];
        figures.cubesZoomed = zoomed[3];
        figures.alwaysStart = start[4];
        figures.alwaysZoomed = zoomed[4];
        for (const bool always : {true, false}) {
            ways.front()();
            renderer.SetGrouping(true, always);
            view.Camera().Zoom = -600.0f;
            frameTime(view, 1);
            (always ? figures.groupingStart : figures.choiceStart) = renderer.LastGrouping();
            view.Camera().Zoom = -6000.0f;
            frameTime(view, 1);
            (always ? figures.groupingZoomed : figures.choiceZoomed) = renderer.LastGrouping();
        }
        renderer.SetGrouping(true, false);
        measureChoices(view, renderer, cubes, figures);
    }
    view.makeCurrent();
    cubes.ReleaseGL();
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
    if (f.itemsStart == 0)
        return;
    auto grouping = [&](const char* what, double ms, const GroupedFrame::Figures& g, const GroupedFrame::Figures& c) {
        std::printf("%-34s %10.2f ms   %d grouped, %d in order, %d layers, %d binds; changes %d grouped, %d in "
                    "order: drawn %s\n",
                    (std::string(name) + what).c_str(), ms, g.grouped, g.ordered, g.layers, g.binds,
                    c.groupedChanges, c.inOrderChanges, c.grouped > 0 ? "grouped" : "in order");
    };
    grouping(": chosen order, start", f.frameStart, f.groupingStart, f.choiceStart);
    grouping(": chosen order, zoomed", f.frameZoomed, f.groupingZoomed, f.choiceZoomed);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": always grouped, start").c_str(), f.alwaysStart);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": always grouped, zoomed").c_str(), f.alwaysZoomed);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": item by item, start").c_str(), f.itemsStart);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": item by item, zoomed").c_str(), f.itemsZoomed);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": immediate, start").c_str(), f.immediateStart);
    std::printf("%-34s %10.2f ms\n", (std::string(name) + ": immediate, zoomed").c_str(), f.immediateZoomed);
    for (const bool zoomed : {false, true}) {
        const double cubes = zoomed ? f.choiceCubesZoomed : f.choiceCubesStart;
        std::printf("%s, %s: cubes frame %.2f ms\n", name, zoomed ? "zoomed out" : "start camera", cubes);
        for (std::size_t choice = 0; choice < f.choices.size(); ++choice) {
            const ModeFigures::Choice& c = f.choices[choice];
            const SceneRenderer::Counts& counts = zoomed ? c.countsZoomed : c.countsStart;
            const double ms = zoomed ? c.zoomed : c.start;
            std::printf("  %-14s %10.2f ms  %6.2fx cubes  %6d items, %6d splits drawn\n", ChoiceNames[choice], ms,
                        ms / cubes, counts.instancesDrawn, counts.splitsDrawn);
        }
    }
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

    // A child run for the memory figures: one load in a fresh process.
    if (argc == 5 && std::string(argv[1]) == "--memory") {
        const ModeFigures f = run(argv[4], std::string(argv[2]) == "1", std::string(argv[3]) == "1", true);
        std::printf("%ld %lld\n", f.peakKb, static_cast<long long>(f.archiveBytes));
        std::fflush(stdout);
        std::_Exit(0); // the windows stay: only the figures matter
    }

    std::filesystem::path folder;
    bool temporary = false;
    if (argc > 1) {
        folder = argv[1];
    } else {
        // One folder per run: other runs may share the machine.
        folder = std::filesystem::temp_directory_path() / ("quox-bench-editor-" + std::to_string(getpid()));
        std::filesystem::remove_all(folder);
        std::string error;
        if (writeDemoGame(folder.string(), DemoGameOptions{true, true}, error) != 0) {
            std::fprintf(stderr, "cannot write the demo game: %s\n", error.c_str());
            return 1;
        }
        temporary = true;
    }
    const std::string gameDir = folder.string() + "/";

    const ModeFigures cubes = run(gameDir, false, true);
    const ModeFigures models = run(gameDir, true, true);
    const ModeFigures untextured = run(gameDir, true, false);

    std::printf("game %s, view %d x %d, medians of %d frames (%d zoomed out)\n\n", gameDir.c_str(), Width, Height,
                Runs, ZoomedRuns);
    printMode("cubes", cubes);
    printMode("models", models);
    printMode("models untextured", untextured);
    std::printf("\n%-34s %9.2fx  (target: within 3x)\n", "models / cubes, start camera",
                models.frameStart / cubes.frameStart);
    std::printf("%-34s %9.2fx  (target: within 2.5x, under 250 ms)\n", "models / cubes, zoomed out",
                models.frameZoomed / cubes.frameZoomed);
    std::printf("%-34s %9.2fx  (%.2f ms / %.2f ms, cubes frames taking turns with the models frames)\n",
                "  same, one run", models.frameStart / models.cubesStart, models.frameStart, models.cubesStart);
    std::printf("%-34s %9.2fx  (%.2f ms / %.2f ms)\n", "  same, one run", models.frameZoomed / models.cubesZoomed,
                models.frameZoomed, models.cubesZoomed);
    std::printf("%-34s %9.2fx\n", "item by item / cubes, one run, start", models.itemsStart / models.cubesStart);
    std::printf("%-34s %9.2fx\n", "item by item / cubes, one run, zoomed", models.itemsZoomed / models.cubesZoomed);
    std::printf("%-34s %9.2fx\n", "untextured / cubes, start camera", untextured.frameStart / cubes.frameStart);
    std::printf("%-34s %9.2fx\n", "untextured / cubes, zoomed out", untextured.frameZoomed / cubes.frameZoomed);
    std::printf("%-34s %9.2fx\n", "grouped / immediate, start camera", models.frameStart / models.immediateStart);
    std::printf("%-34s %9.2fx\n", "grouped / immediate, zoomed out", models.frameZoomed / models.immediateZoomed);
    std::printf("%-34s %9.2fx\n", "chosen / item by item, start", models.frameStart / models.itemsStart);
    std::printf("%-34s %9.2fx\n", "chosen / item by item, zoomed out", models.frameZoomed / models.itemsZoomed);
    std::printf("%-34s %9.2fx\n", "always grouped / item by item, start", models.alwaysStart / models.itemsStart);
    std::printf("%-34s %9.2fx\n", "always grouped / item by item, zoomed", models.alwaysZoomed / models.itemsZoomed);
    std::printf("%-34s %9.2f ms (target: under 20 ms)\n", "pick at the centre, models", models.pick);
    std::printf("%-34s %9d\n", "picks that hit a zone, cull or path", notices);
    auto memory = [&](const char* name, bool models, bool textures) {
        QProcess child;
        child.start(QString::fromLocal8Bit(argv[0]),
                    {"--memory", models ? "1" : "0", textures ? "1" : "0", QString::fromStdString(gameDir)});
        child.waitForFinished(300000);
        const QStringList figuresOut = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed().split(' ');
        ModeFigures f;
        if (figuresOut.size() == 2) {
            f.peakKb = figuresOut[0].toLong();
            f.archiveBytes = figuresOut[1].toLongLong();
        }
        std::printf("%-34s %9.1f MB peak resident, %.1f MB of archive entries loaded; estimate \"%s\"\n", name,
                    f.peakKb / 1024.0, f.archiveBytes / 1048576.0,
                    memoryEstimateText(true, models, textures).toStdString().c_str());
    };
    std::printf("\nPeak resident memory of a fresh editor process once every file's models are loaded:\n");
    memory("memory, cubes", false, true);
    memory("memory, models with textures", true, true);
    memory("memory, models without textures", true, false);
    if (temporary)
        std::filesystem::remove_all(folder);
    return 0;
}
