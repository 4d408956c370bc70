// Copy and paste of placements on the large demo game: 1,000 placements of the largest IPL
// file selected (its placements are fewer: copies of its own fill it up to 1,000 first), copied to the clipboard (Ctrl+C) and pasted into another IPL file (Ctrl+V)
// through the real windows (item editor, IPL editor showing the target file, 3D view), each
// run timed to the end of the painting it causes; the paste undone between runs, untimed.
// Figures: median and slowest of copy, paste, and both together, beside the 200 ms target.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_PlacementClipboard [game folder]

#include "BenchGame.h"
#include "MapDocument.h"
#include "PlacementCommands.h"
#include "ProgramSettings.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Selected = 1000;
constexpr int Runs = 30;
constexpr double TargetMs = 200;

struct Times {
    std::vector<double> ms;
    void report(const char* what)
    {
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("%-16s median %7.2f ms, slowest %7.2f ms: median %.3f of the %.0f ms target\n", what, median,
                    ms.back(), median / TargetMs, TargetMs);
    }
};

void waitExposed(QWidget& widget)
{
    for (int wait = 0; wait < 200 && !(widget.windowHandle() && widget.windowHandle()->isExposed()); ++wait) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const BenchGame game(argc, argv, "quox-bench-placement-clipboard");
    if (!game.ready())
        return 1;
    programSettings().GameDir = game.gameDir();
    programSettings().IsViceCity = true;

    TGTAFileList files(programSettings().GameDir, true);
    files.LoadDat(DatPass::IDE);
    files.LoadDat(DatPass::IPL);
    int largest = -1;
    int other = -1;
    for (int pos = 0; pos < files.Count(); ++pos) {
        const TIPLFile* ipl = files.IPLFile(pos);
        if (!ipl)
            continue;
        if (largest < 0 || ipl->Inst.Count() > files.IPLFile(largest)->Inst.Count()) {
            other = largest;
            largest = pos;
        } else if (other < 0) {
            other = pos;
        }
    }
    if (largest < 0 || other < 0) {
        std::fprintf(stderr, "the game has fewer than two IPL files\n");
        return 1;
    }
    // A selection holds placements of one file.
    TGTASInst& source = files.IPLFile(largest)->Inst;
    const int read = source.Count();
    for (int record = 0; source.Count() < Selected; record = (record + 1) % read) {
        const int copy = source.NewRecord();
        source.Items[static_cast<std::size_t>(copy)] = source.Items[static_cast<std::size_t>(record)];
    }

    MapDocument document(files);
    QWidget frame;
    frame.resize(800, 600);
    TGLView view(&frame, nullptr, nullptr, false, false);
    view.SetFileList(&files);
    view.FollowDocument(document);
    TFormEditorItem item(document, &view);
    TFormEditorIPL ipl(document, &item, &view, nullptr);
    view.SetItemEditor(&item);
    PlacementCommands commands(document, ipl, &view);
    frame.show();
    ipl.resize(420, 900);
    ipl.show();
    item.show();
    waitExposed(frame);
    waitExposed(ipl);
    ipl.ShowFile(other);
    ipl.SetSection(SectionCode::Inst);

    std::vector<int> records;
    for (int record = 0; record < Selected; ++record)
        records.push_back(record);
    using Clock = std::chrono::steady_clock;
    const auto since = [](Clock::time_point start) {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    Times copy;
    Times paste;
    Times both;
    for (int run = 0; run < Runs; ++run) {
        document.setSelection({FileKind::IPL, SectionCode::SeveralInst, largest, records});
        QApplication::processEvents();
        const auto start = Clock::now();
        commands.ActionEditCopy->trigger();
        QApplication::processEvents();
        const double copied = since(start);
        const auto pasteStart = Clock::now();
        commands.ActionEditPaste->trigger();
        QApplication::processEvents();
        paste.ms.push_back(since(pasteStart));
        copy.ms.push_back(copied);
        both.ms.push_back(since(start));
        if (files.IPLFile(other)->Inst.Count() < Selected) {
            std::fprintf(stderr, "the paste did not add the placements\n");
            return 1;
        }
        document.undoStack().undo();
        QApplication::processEvents();
    }
    std::printf("game %s: %d placements of %s (%d read, %d now) copied into %s (%d placements), %d runs\n",
                game.folder().string().c_str(), Selected, files.File(largest)->FileName.c_str(), read,
                files.IPLFile(largest)->Inst.Count(), files.File(other)->FileName.c_str(),
                files.IPLFile(other)->Inst.Count(), Runs);
    copy.report("copy");
    paste.report("paste");
    both.report("copy and paste");
    return 0;
}
