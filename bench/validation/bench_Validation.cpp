// The whole-map validation on the large demo game. Figures:
//   - `quoxmapper-cli validate` against `quoxmapper-cli dat` on the same game, each the
//     whole program from start to exit (target: validate within 1.5 times dat);
//   - the validation window's run, from the Start button to the result (target: under 300 ms).
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_Validation [game folder]

#include "BenchGame.h"
#include "BenchTiming.h"
#include "GamePaths.h"
#include "MapDocument.h"
#include "TFormValidate.h"
#include "TGTA3Archive.h"
#include "TGTAFileList.h"

#include <QApplication>
#include <QLabel>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int Runs = 7;

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    const BenchGame game(argc, argv, "quox-bench-validation");
    if (!game.ready())
        return 1;
    const std::string gameDir = game.gameDir();

    const std::string quiet = "' --game vc > /dev/null 2>&1";
    const double dat = medianProgramMilliseconds(std::string(QUOX_CLI_PATH) + " dat '" + gameDir + quiet, Runs);
    const double validate = medianProgramMilliseconds(std::string(QUOX_CLI_PATH) + " validate '" + gameDir + quiet, Runs);

    TGTAFileList files(gameDir, true);
    files.LoadDat(DatPass::IDE);
    files.LoadDat(DatPass::IPL);
    TGTA3Archive archive(resolveGamePath(gameDir, "models\\gta3.img"), false);
    MapDocument document(files);
    TFormValidate window(document, &archive, nullptr);
    const double windowRun = medianMilliseconds([&window] { window.BtnStartClick(); }, Runs);

    std::printf("game %s, medians of %d runs\n\n", gameDir.c_str(), Runs);
    std::printf("%-34s %10.2f ms\n", "quoxmapper-cli dat", dat);
    std::printf("%-34s %10.2f ms\n", "quoxmapper-cli validate", validate);
    std::printf("%-34s %9.2fx  (target: within 1.5x)\n", "validate / dat", validate / dat);
    std::printf("%-34s %10.2f ms (target: under 300 ms)\n", "validation window run", windowRun);
    std::printf("%-34s %s\n", "result", window.ResultValue->text().toUtf8().constData());
    return 0;
}
