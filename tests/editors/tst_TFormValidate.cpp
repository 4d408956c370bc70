// The validation window: its rows, result text and colours, the report it shows beside the
// command line's, the signals of a deleting repair, the clipboard and the busy button.
#include "MapDocument.h"
#include "ScriptedDialogService.h"
#include "SmallGame.h"
#include "TFormValidate.h"
#include "TIPLFile.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Row {
    std::string text;
    int image;
    bool operator==(const Row&) const = default;
};

std::vector<Row> statusRows(const TFormValidate& window)
{
    std::vector<Row> rows;
    for (int at = 0; at < window.ListStatus->topLevelItemCount(); ++at) {
        const QTreeWidgetItem* row = window.ListStatus->topLevelItem(at);
        rows.push_back({row->text(0).toStdString(), TFormValidate::rowImage(row)});
    }
    return rows;
}

int imageOf(const TFormValidate& window, const std::string& caption)
{
    for (const Row& row : statusRows(window))
        if (row.text == caption)
            return row.image;
    return -1;
}

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

TEST(TFormValidate, CleanGamePassesEveryCheckAndShowsWhatTheCommandLinePrints)
{
    LoadedSmallGame game(validSmallGame());
    MapDocument document(game.files);
    TFormValidate window(document, game.archive.get(), nullptr);
    window.BtnStart->click();

    EXPECT_EQ(window.ModeValue->text(), "Vice City Mode");
    EXPECT_EQ(window.ResultValue->text(), "SUCCESS: No Errors Found!");
    EXPECT_EQ(textColour(window.ResultValue), QColor(0, 128, 0));
    EXPECT_EQ(textColour(window.ModeValue), QColor(0, 128, 0));
    const std::vector<Row> rows = statusRows(window);
    ASSERT_EQ(rows.size(), 21u);
    EXPECT_EQ(rows[0], (Row{"Main Archive", 22}));
    EXPECT_EQ(rows[1], (Row{"Duplicate Entries", 27}));
    for (const Row& row : rows)
        EXPECT_TRUE(row.image == 22 || row.image == 27) << row.text;

    QProcess cli;
    cli.start(QUOX_CLI_PATH, {"validate", QString::fromStdString(game.gameDir)});
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()),
              window.ListResult->toPlainText() + "\n" + window.ResultValue->text() + "\n");
}

TEST(TFormValidate, ErrorsTurnTheResultRedAndWarningsCountOnTheirCheck)
{
    SmallGame broken = validSmallGame();
    addInstance(broken, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    LoadedSmallGame game(broken);
    MapDocument document(game.files);
    TFormValidate window(document, game.archive.get(), nullptr);
    window.BtnStart->click();
    EXPECT_EQ(window.ResultValue->text(), "ERROR: 1 Errors Found!");
    EXPECT_EQ(textColour(window.ResultValue), QColor(Qt::red));
    EXPECT_EQ(imageOf(window, "Associated Definition"), 26);

    SmallGame warned = validSmallGame();
    addInstance(warned, "100, box, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    LoadedSmallGame other(warned);
    MapDocument otherDocument(other.files);
    TFormValidate second(otherDocument, other.archive.get(), nullptr);
    second.BtnStart->click();
    EXPECT_EQ(second.ResultValue->text(), "SUCCESS: No Errors Found! (1 Warnings)");
    EXPECT_EQ(textColour(second.ResultValue), QColor(0, 128, 0));
    EXPECT_EQ(imageOf(second, "Associated Definition"), 26) << "warnings count on the check's row";
}

// A selection in the file goes before its instances are deleted; the windows hear of the
// changed records and the modified file from the document once the run is a step.
TEST(TFormValidate, DeletingRepairClearsTheSelectionFirstAndTellsTheDocumentAfter)
{
    SmallGame broken = validSmallGame();
    addInstance(broken, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    LoadedSmallGame game(broken);
    const TIPLFile& ipl = *game.files.IPLFile(1);
    MapDocument document(game.files);
    document.setSelection({FileKind::IPL, SectionCode::Inst, 1, {3}});
    TFormValidate window(document, game.archive.get(), nullptr);
    std::vector<std::string> events;
    const auto count = [&ipl] { return std::to_string(ipl.Inst.Count()); };
    QObject::connect(&document, &MapDocument::selectionChanged, [&] {
        events.push_back((document.selection().empty() ? "cleared of " : "selected of ") + count());
    });
    QObject::connect(&document, &MapDocument::recordsChanged,
                     [&](int file, int) { events.push_back("changed " + std::to_string(file) + " of " + count()); });
    QObject::connect(&document, &MapDocument::modifiedChanged,
                     [&](int file) { events.push_back("modified " + std::to_string(file)); });
    window.box_fix->setChecked(true);
    window.BtnStart->click();

    EXPECT_EQ(events, (std::vector<std::string>{"cleared of 4", "modified 1", "changed 1 of 3"}));
    EXPECT_TRUE(ipl.Modified);
    EXPECT_TRUE(window.ListResult->toPlainText().contains("!! IDE DEFINITION IS MISSING!!) -> DELETED\n"));
}

// A run with fixes is one step of the document: one undo takes every fix back.
TEST(TFormValidate, ARunWithFixesIsUndoneInOneStep)
{
    SmallGame broken = validSmallGame();
    addInstance(broken, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    addInstance(broken, "998, nowhere, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    LoadedSmallGame game(broken);
    const TIPLFile& ipl = *game.files.IPLFile(1);
    const std::string before = ipl.SaveText();
    MapDocument document(game.files);
    TFormValidate window(document, game.archive.get(), nullptr);
    window.box_fix->setChecked(true);
    window.BtnStart->click();
    ASSERT_EQ(ipl.Inst.Count(), 3);

    QUndoStack& steps = document.undoStack();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.undoText(), "Validation Fixes");
    EXPECT_TRUE(ipl.Modified);
    steps.undo();
    EXPECT_EQ(ipl.SaveText(), before);
    EXPECT_FALSE(ipl.Modified);
    steps.redo();
    EXPECT_EQ(ipl.Inst.Count(), 3);
    EXPECT_TRUE(ipl.Modified);
}

// A mod folder checked without its base game's definitions would lose most of its map:
// more than 20 deletions are asked about first, naming the count.
TEST(TFormValidate, AsksBeforeDeletingMoreThanTwentyPlacements)
{
    struct Case {
        const char* name;
        int missing;
        std::optional<DialogAnswer> answer; // nothing: no question expected
        bool runs;
        int placementsLeft;
    } cases[] = {
        {"twenty are deleted without a question", 20, std::nullopt, true, 3},
        {"twenty-one, Yes: deleted", 21, DialogAnswer::Yes, true, 3},
        {"twenty-one, No: repaired but kept", 21, DialogAnswer::No, true, 24},
        {"twenty-one, Cancel: no run", 21, DialogAnswer::Cancel, false, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallGame game = validSmallGame();
        for (int i = 0; i < c.missing; ++i)
            addInstance(game, std::to_string(900 + i) + ", nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
        LoadedSmallGame loaded(game);
        const TIPLFile& ipl = *loaded.files.IPLFile(1);
        ScriptedDialogService dialogs;
        if (c.answer)
            dialogs.answers.push_back(*c.answer);
        MapDocument document(loaded.files);
        TFormValidate window(document, loaded.archive.get(), nullptr);
        window.box_fix->setChecked(true);
        window.BtnStart->click();

        if (c.answer) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].buttons, DialogButtons::YesNoCancel);
            EXPECT_TRUE(dialogs.messages[0].text.contains("would delete 21 placements")) << dialogs.messages[0].text.toStdString();
        } else {
            EXPECT_TRUE(dialogs.messages.empty());
        }
        EXPECT_EQ(window.ListStatus->topLevelItemCount(), c.runs ? 21 : 0);
        EXPECT_EQ(ipl.Inst.Count(), c.placementsLeft);
        EXPECT_EQ(ipl.Modified, c.runs && c.placementsLeft == 3);
        if (c.answer == DialogAnswer::No) {
            EXPECT_EQ(window.ListResult->toPlainText().count("!! IDE DEFINITION IS MISSING!!) -> (not deleted)"), 21);
        }
        EXPECT_TRUE(window.BtnStart->isEnabled());
    }
}

TEST(TFormValidate, CopyPutsTheReportWithCrLfOnTheClipboard)
{
    SmallGame broken = validSmallGame();
    addInstance(broken, "999, nothing, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1");
    LoadedSmallGame game(broken);
    MapDocument document(game.files);
    TFormValidate window(document, game.archive.get(), nullptr);
    window.BtnStart->click();
    window.BtnCopy->click();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith("### Error Report: Main Archive  ###\r\n### Error Report: IDE - Objs ###\r\n"));
    EXPECT_TRUE(copied.endsWith("### Error Report: Map Consistency ###\r\n"));
    EXPECT_EQ(copied.count("\r\n"), window.ListResult->toPlainText().count('\n') + 1);
}

TEST(TFormValidate, StartWhileRunningDoesNothing)
{
    LoadedSmallGame game(validSmallGame());
    MapDocument document(game.files);
    TFormValidate window(document, game.archive.get(), nullptr);
    window.Running = true;
    window.BtnStartClick();
    EXPECT_EQ(window.ListStatus->topLevelItemCount(), 0);
    EXPECT_TRUE(window.ResultValue->text().isEmpty());
    window.Running = false;
    window.BtnStartClick();
    EXPECT_EQ(window.ListStatus->topLevelItemCount(), 21);
    EXPECT_TRUE(window.BtnStart->isEnabled());
}

} // namespace
