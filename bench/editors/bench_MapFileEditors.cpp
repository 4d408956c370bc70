// The IPL editor on the large demo game with one more IPL file of 30,000 placements, opened
// through "Open IPL File" as a user opens it. Figures (medians, each with the list painted):
//   - showing the file's inst section in the record list (from another section);
//   - sorting the inst rows by name;
//   - adding a record (the new row chosen and opened in the item editor), and deleting it.
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_MapFileEditors [game folder]

#include "BenchGame.h"
#include "BenchTiming.h"
#include "DialogService.h"
#include "MapListView.h"
#include "ProgramSettings.h"
#include "TFormEditorIPL.h"
#include "TFormEditorItem.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QAction>
#include <QApplication>
#include <QThread>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

constexpr int Records = 30000;
constexpr int Runs = 9;

// Chooses the one file to open and answers every question with No.
class OpenOneFile : public DialogService {
public:
    explicit OpenOneFile(QString path) : m_path(std::move(path)) {}
    DialogAnswer showMessage(MessageKind, const QString&, const QString&, DialogButtons buttons) override
    {
        return buttons == DialogButtons::Ok ? DialogAnswer::Ok : DialogAnswer::No;
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> pickFolder(const QString&, const std::function<bool(const QString&)>&) override
    {
        return {};
    }
    QStringList openFiles(const QString&, const QString&, bool, const QString&) override { return {m_path}; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override { return {}; }

private:
    QString m_path;
};

// Placements with shuffled IDs and names, so that sorting has work to do.
void writePlacements(const std::string& path)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> id(100, 9999);
    std::uniform_real_distribution<float> position(-2000, 2000);
    std::ofstream out(path, std::ios::binary);
    out << "inst\n";
    for (int record = 0; record < Records; ++record) {
        const int model = id(random);
        out << model << ", " << (record % 2 ? "Bench" : "bench") << model << ", 0, " << position(random) << ", "
            << position(random) << ", 10, 1, 1, 1, 0, 0, 0, 1\n";
    }
    out << "end\n";
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const BenchGame game(argc, argv, "quox-bench-mapfile-editors");
    if (!game.ready())
        return 1;
    const std::filesystem::path& folder = game.folder();
    programSettings().GameDir = game.gameDir();
    programSettings().IsViceCity = true;
    const std::string placements = (folder / "data" / "bench30k.ipl").string();
    writePlacements(placements);

    TGTAFileList files(programSettings().GameDir, true);
    files.LoadDat(DatPass::IDE);
    files.LoadDat(DatPass::IPL);
    MapDocument document(files);
    TFormEditorItem itemEditor(document, nullptr);
    TFormEditorIPL editor(document, &itemEditor, nullptr, nullptr);
    editor.resize(420, 900);
    editor.show();
    // Painting counts only once the window server shows the window.
    for (int wait = 0; wait < 200 && !(editor.windowHandle() && editor.windowHandle()->isExposed()); ++wait) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    OpenOneFile answers(QString::fromStdString(placements));
    setDialogService(&answers);
    editor.ActionFileOpen->trigger();
    QApplication::processEvents();
    const TIPLFile* opened = files.IPLFile(editor.CurrentFile());
    if (!opened || opened->Inst.Count() != Records) {
        std::fprintf(stderr, "the placements did not open\n");
        return 1;
    }

    auto paint = [&editor] { editor.ListItems->viewport()->repaint(); };
    const double show = medianMilliseconds(
        [&] {
            editor.SetSection(SectionCode::Inst);
            paint();
        },
        Runs, [&] { editor.SetSection(SectionCode::Cull); });
    const double sort = medianMilliseconds(
        [&] {
            editor.ListItemsColumnClick(1);
            paint();
        },
        Runs, [&] { editor.RefreshRecords(); });
    editor.RefreshRecords();
    const double adding = medianMilliseconds(
        [&] {
            editor.ActionEditAdd->trigger();
            paint();
        },
        Runs);
    // Deletes the records just added, the last row each time.
    const double deleting = medianMilliseconds(
        [&] {
            editor.ActionEditDelete->trigger();
            paint();
        },
        Runs, [&] { editor.ListItems->selectRow(editor.ListItems->model()->rowCount() - 1); });
    if (opened->Inst.Count() != Records) {
        std::fprintf(stderr, "adding and deleting left %d records\n", opened->Inst.Count());
        return 1;
    }

    std::printf("game %s, %d placements in %s, medians of %d runs\n\n", folder.string().c_str(), Records,
                placements.c_str(), Runs);
    std::printf("%-36s %8.2f ms (target: under 100 ms)\n", "show the inst section", show);
    std::printf("%-36s %8.2f ms (target: under 100 ms)\n", "sort the inst rows by name", sort);
    std::printf("%-36s %8.2f ms (target: under 10 ms)\n", "add a record and open it", adding);
    std::printf("%-36s %8.2f ms (target: under 10 ms)\n", "delete a record", deleting);
    setDialogService(nullptr);
    return 0;
}
