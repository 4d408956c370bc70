// The map document's undo stack on the large demo game: 10,000 mixed steps (field edits,
// moves of 1 to 50 instances, added and deleted instances) over its IPL files, with the IPL
// editor showing the largest file, then every step undone and every step redone. Figures:
//   - each undo and each redo with what it changed painted, as the event loop paints it, and
//     again with both lists painted whole on top: median, 99th percentile and slowest, beside
//     painting the lists alone;
//   - the memory the stack holds after the 10,000 steps (resident size before and after).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_UndoStack [game folder]

#include "BenchFileList.h"
#include "BenchGame.h"
#include "MapDocument.h"
#include "MapListView.h"
#include "ProgramSettings.h"
#include "TFormEditorIPL.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QApplication>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Steps = 10000;

double residentMegabytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

struct Times {
    std::vector<double> ms;
    void report(const char* what)
    {
        std::sort(ms.begin(), ms.end());
        std::printf("%s, %zu steps: median %.3f ms, 99th %.3f ms, slowest %.3f ms\n", what, ms.size(),
                    ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
    }
};

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const BenchGame game(argc, argv, "quox-bench-undo-stack");
    if (!game.ready())
        return 1;
    const std::unique_ptr<TGTAFileList> loaded = loadBenchFiles(game);
    TGTAFileList& files = *loaded;
    std::vector<int> ipls;
    int largest = -1;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIPLFile* ipl = files.IPLFile(pos); ipl && ipl->Inst.Count() > 50) {
            ipls.push_back(pos);
            if (largest < 0 || ipl->Inst.Count() > files.IPLFile(largest)->Inst.Count())
                largest = pos;
        }
    }
    if (ipls.empty()) {
        std::fprintf(stderr, "no IPL file with more than 50 placements\n");
        return 1;
    }
    MapDocument document(files);
    TFormEditorIPL editor(document, nullptr, nullptr, nullptr);
    editor.resize(420, 900);
    editor.show();
    for (int wait = 0; wait < 200 && !(editor.windowHandle() && editor.windowHandle()->isExposed()); ++wait) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    editor.ShowFile(largest);
    editor.SetSection(SectionCode::Inst);
    // Both lists painted whole, as every step may need them.
    auto paint = [&editor] {
        QApplication::processEvents();
        editor.ListItems->viewport()->repaint();
        editor.ListFiles->viewport()->repaint();
    };
    // What the program does after a step: the event loop paints what the step changed, once.
    auto paintChanged = [] { QApplication::processEvents(); };
    paint();

    const double before = residentMegabytes();
    std::mt19937 random(42);
    auto pick = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); };
    int counts[4] = {};
    for (int step = 0; step < Steps; ++step) {
        const int file = ipls[static_cast<std::size_t>(pick(static_cast<int>(ipls.size())))];
        TIPLFile& ipl = *files.IPLFile(file);
        const int inst = MapDocument::sectionIndex(ipl, SectionCode::Inst);
        const int count = ipl.Inst.Count();
        const int kind = pick(4);
        ++counts[kind];
        switch (kind) {
        case 0: {
            const int record = pick(count);
            document.editRecords("Edit Record", file, inst, {record},
                                 [&] { ipl.Inst.Items[static_cast<std::size_t>(record)].PosZ += 1; });
            break;
        }
        case 1: {
            std::vector<int> records;
            const int first = pick(count - 50);
            for (int n = 1 + pick(50), r = first; n > 0; --n, ++r)
                records.push_back(r);
            document.editRecords("Move Instances", file, inst, records, [&] {
                for (int record : records)
                    ipl.Inst.Items[static_cast<std::size_t>(record)].PosX += 2;
            });
            break;
        }
        case 2:
            document.addRecords("Add Record", file, inst,
                                [&] { return std::vector<int>{ipl.Inst.NewRecordAt(0, 0, 0)}; });
            break;
        default:
            document.deleteRecords("Delete Record", file, inst, {pick(count)});
            break;
        }
    }
    paint();
    const double after = residentMegabytes();

    Times undo;
    Times redo;
    Times painting;
    using Clock = std::chrono::steady_clock;
    // The lists painted alone, without a step: what every step below pays for painting.
    for (int run = 0; run < 500; ++run) {
        const auto start = Clock::now();
        paint();
        painting.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    // Each step twice over: painted as the program paints it, and with both lists painted
    // whole again on top (the dearer bound).
    Times undoWhole;
    Times redoWhole;
    const auto timeSteps = [&](auto step, auto more, Times& changed, Times& whole) {
        while (more()) {
            const auto start = Clock::now();
            step();
            paintChanged();
            const auto painted = Clock::now();
            editor.ListItems->viewport()->repaint();
            editor.ListFiles->viewport()->repaint();
            changed.ms.push_back(std::chrono::duration<double, std::milli>(painted - start).count());
            whole.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    };
    timeSteps([&] { document.undoStack().undo(); }, [&] { return document.undoStack().canUndo(); }, undo, undoWhole);
    timeSteps([&] { document.undoStack().redo(); }, [&] { return document.undoStack().canRedo(); }, redo, redoWhole);

    std::printf("game %s: %d IPL files edited, largest shown with %d placements\n", game.folder().string().c_str(),
                static_cast<int>(ipls.size()), files.IPLFile(largest)->Inst.Count());
    std::printf("%d steps: %d field edits, %d moves of 1-50 instances, %d adds, %d deletes\n", Steps, counts[0],
                counts[1], counts[2], counts[3]);
    painting.report("paint");
    undo.report("undo");
    redo.report("redo");
    undoWhole.report("undo, lists painted whole again");
    redoWhole.report("redo, lists painted whole again");
    std::printf("resident size: %.1f MB before the steps, %.1f MB after: the stack holds about %.1f MB\n", before,
                after, after - before);
    return 0;
}
