// The map search on the large demo game. Figures:
//   - a search per keystroke while a query is typed, over every definition and placement
//     (target: under 30 ms median, under 100 ms slowest);
//   - `quoxmapper-cli find` against `quoxmapper-cli dat` on the same game, each the whole
//     program from start to exit (target: find within 1.5 times dat).
//
//   bench_MapSearch [game folder]

#include "BenchGame.h"
#include "BenchTiming.h"
#include "MapSearch.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 7;

} // namespace

int main(int argc, char** argv)
{
    const BenchGame game(argc, argv, "quox-bench-search");
    if (!game.ready())
        return 1;
    const std::string gameDir = game.gameDir();

    TGTAFileList files(gameDir, true);
    files.LoadDat(DatPass::IDE);
    files.LoadDat(DatPass::IPL);
    int definitions = 0;
    int placements = 0;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIDEFile* ide = files.IDEFile(pos))
            definitions += ide->Objs.Count() + ide->TObj.Count();
        else if (const TIPLFile* ipl = files.IPLFile(pos))
            placements += ipl->Inst.Count();
    }

    // Every prefix of each query, as typed into the find box.
    const std::vector<std::string> typed = {"streetlamp", "qx_shop*", "LOD*01", "1295", "park.ipl", "zz"};
    std::vector<double> keystrokes;
    std::size_t hits = 0;
    for (const std::string& query : typed) {
        for (std::size_t length = 1; length <= query.size(); ++length) {
            const std::string prefix = query.substr(0, length);
            keystrokes.push_back(medianMilliseconds([&] { hits += searchMap(files, prefix).size(); }, Runs));
        }
    }
    std::sort(keystrokes.begin(), keystrokes.end());
    const double median = keystrokes[keystrokes.size() / 2];
    const double slowest = keystrokes.back();
    const double placementsOf = medianMilliseconds([&] { hits += placementsOfDefinition(files, 129).size(); }, Runs);
    const double freeIDs = medianMilliseconds([&] { hits += idUsage(files, defaultHighestGameID(true)).free.size(); }, Runs);

    const std::string program = std::string(QUOX_CLI_PATH) + " ";
    const std::string folder = " '" + gameDir + "' --game vc";
    const std::string quiet = " > /dev/null 2>&1";
    const double dat = medianProgramMilliseconds(program + "dat" + folder + quiet, Runs);
    const double find = medianProgramMilliseconds(program + "find" + folder + " --model streetlamp" + quiet, Runs);

    std::printf("game %s: %d definitions, %d placements; medians of %d runs (%zu hits counted)\n\n", gameDir.c_str(),
                definitions, placements, Runs, hits);
    std::printf("%-34s %10.2f ms (target: under 30 ms)\n", "search per keystroke, median", median);
    std::printf("%-34s %10.2f ms (target: under 100 ms)\n", "search per keystroke, slowest", slowest);
    std::printf("%-34s %10.2f ms\n", "placements of one definition", placementsOf);
    std::printf("%-34s %10.2f ms\n", "free IDs", freeIDs);
    std::printf("%-34s %10.2f ms\n", "quoxmapper-cli dat", dat);
    std::printf("%-34s %10.2f ms\n", "quoxmapper-cli find --model", find);
    std::printf("%-34s %9.2fx  (target: within 1.5x)\n", "find / dat", find / dat);
    return 0;
}
