// The find window on the large demo game (33,000 placements, 8,000 definitions): the time
// from a character typed into the find box to the result list searched again, counted and
// painted, for every key of a set of queries typed and erased again, several rounds.
// Figures: the median and the slowest key.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_FindWindow [game folder]

#include "BenchFileList.h"
#include "BenchGame.h"
#include "MapDocument.h"
#include "MapListView.h"
#include "ProgramSettings.h"
#include "TFormFind.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 5;

// What modders type: names, a dictionary, IDs, wildcards, a file name.
const char* const Queries[] = {"tree_oak", "qx_parks", "1300", "shop*", "lod?hop0?", "downtown.ipl", "road"};

double milliseconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const BenchGame game(argc, argv, "quox-bench-find-window");
    if (!game.ready())
        return 1;
    const std::unique_ptr<TGTAFileList> loaded = loadBenchFiles(game);
    TGTAFileList& files = *loaded;
    int placements = 0;
    int definitions = 0;
    for (int f = 0; f < files.Count(); ++f) {
        if (const TIPLFile* ipl = files.IPLFile(f))
            placements += ipl->Inst.Count();
        if (const TIDEFile* ide = files.IDEFile(f))
            definitions += ide->Objs.Count() + ide->TObj.Count();
    }
    MapDocument document(files);
    TFormFind find(document, nullptr, nullptr, nullptr, nullptr);
    find.resize(640, 700);
    find.show();
    for (int wait = 0; wait < 200 && !(find.windowHandle() && find.windowHandle()->isExposed()); ++wait) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }

    std::vector<double> keys;
    long long hitsSeen = 0;
    double slowestKey = 0;
    QString slowestText;
    int slowestHits = 0;
    const auto typed = [&](const auto& press) {
        const auto start = std::chrono::steady_clock::now();
        press();
        find.ListHits->viewport()->repaint();
        const double time = milliseconds(start);
        keys.push_back(time);
        const int hits = find.ListHits->model()->rowCount();
        hitsSeen += hits;
        if (time > slowestKey) {
            slowestKey = time;
            slowestText = find.EditFind->text();
            slowestHits = hits;
        }
    };
    for (int round = 0; round < Rounds; ++round) {
        for (const char* query : Queries) {
            for (const char* c = query; *c; ++c)
                typed([&] { QTest::keyClick(find.EditFind, *c); });
            while (!find.EditFind->text().isEmpty())
                typed([&] { QTest::keyClick(find.EditFind, Qt::Key_Backspace); });
        }
    }
    std::sort(keys.begin(), keys.end());
    const double median = keys[keys.size() / 2];
    const double slowest = keys.back();
    std::printf("game %s: %d placements, %d definitions; %zu keys typed in %d rounds (%lld hits listed)\n\n",
                game.folder().string().c_str(), placements, definitions, keys.size(), Rounds, hitsSeen);
    std::printf("%-28s %8.2f ms (target: under 30 ms; %.2f of the target)\n", "key to list, median", median,
                median / 30.0);
    std::printf("%-28s %8.2f ms (target: under 100 ms; %.2f of the target): \"%s\", %d hits\n",
                "key to list, slowest", slowest, slowest / 100.0, slowestText.toUtf8().constData(), slowestHits);
    std::printf("%-28s %8.2f ms\n", "key to list, 99th percentile", keys[keys.size() * 99 / 100]);
    return 0;
}
