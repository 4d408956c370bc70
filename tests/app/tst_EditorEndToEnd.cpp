// The whole edit on the demo town, as a user makes it: load in models mode with textures,
// move to a building through the position box, double-click it, Ctrl-drag it, save, and
// find it moved in the file on disk.
#include "LoadSequence.h"

#include "DemoGame.h"
#include "ProgramSettings.h"
#include "ProgramWindows.h"
#include "ScriptedDialogService.h"
#include "TFormEditorItem.h"
#include "TFormMain.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"
#include "NumberText.h"
#include "TestFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {

template <typename Condition>
bool waitFor(Condition condition, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < milliseconds)
        QTest::qWait(10);
    return condition();
}

void sendMouse(QWidget* view, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, QPointF(at), QPointF(view->mapToGlobal(at)), button, held, modifiers);
    QApplication::sendEvent(view, &event);
}

struct Placement {
    int file = -1;
    int record = -1;
};

// The first shop01 of the file that has no neon sign standing on it.
Placement findLoneShop(const TGTAFileList& files)
{
    for (int pos = 0; pos < files.Count(); ++pos) {
        const TIPLFile* ipl = files.IPLFile(pos);
        if (!ipl)
            continue;
        const auto& items = ipl->Inst.Items;
        for (int record = 0; record < static_cast<int>(items.size()); ++record) {
            if (items[record].ModelName != "qx_shop01")
                continue;
            bool covered = false;
            for (const auto& other : items)
                covered = covered || (other.ModelName == "neonsign" && other.PosX == items[record].PosX
                                      && other.PosY == items[record].PosY);
            if (!covered)
                return {pos, record};
        }
    }
    return {};
}

// The demo town loaded in models mode with textures and its first frames drawn.
class DemoTown : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_EQ(writeDemoGame(m_game.path().string(), DemoGameOptions{}, error), 0) << error;
        m_settings.emplace(m_game.path().string() + "/", true);
        programSettings().LoadModels = true;
        programSettings().LoadTextures = true;
        programSettings().SkipTextures = false;
        ASSERT_TRUE(RunLoadSequence());
        main = programWindows().Main;
        view = programWindows().View;
        editor = static_cast<TFormEditorItem*>(programWindows().ItemEditor);
        files = main->FileList();
        QObject::connect(view, &TGLView::frameDrawn, [this] { ++frames; });
    }

    void TearDown() override
    {
        if (main)
            main->close();
        DestroyProgramWindows();
    }

    void showTown()
    {
        main->ShowInitialFiles();
        main->resize(1100, 700);
        main->show();
        ASSERT_TRUE(waitFor([&] { return frames > 0 && !main->LoadingPending(); }));
    }

    // Moves the camera to the building through the position box and double-clicks it.
    void doubleClickBuilding(const TGTASInstObj& building)
    {
        main->EditCurrentPos->setText(QString("%1, %2, 0").arg(building.PosX).arg(building.PosY));
        QTest::keyClick(main->EditCurrentPos, Qt::Key_Return);
        const QPoint centre(view->width() / 2, view->height() / 2);
        sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        sendMouse(view, QEvent::MouseButtonDblClick, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    }

    // The game as the next start reads it.
    const TGTASInstObj* savedInstance(Placement placement)
    {
        m_reread = std::make_unique<TGTAFileList>(programSettings().GameDir, programSettings().IsViceCity);
        m_reread->LoadDat(DatPass::IDE);
        m_reread->LoadDat(DatPass::IPL);
        const TIPLFile* saved = m_reread->IPLFile(placement.file);
        return saved && saved->Inst.IsValidIndex(placement.record) ? &saved->Inst.Items[placement.record] : nullptr;
    }

    TempDir m_game;
    std::optional<GameSettingsScope> m_settings;
    ScriptedDialogService dialogs;
    std::unique_ptr<TGTAFileList> m_reread;
    TFormMain* main = nullptr;
    TGLView* view = nullptr;
    TFormEditorItem* editor = nullptr;
    TGTAFileList* files = nullptr;
    int frames = 0;
};

TEST_F(DemoTown, DoubleClickHoldTheRaiseButtonAndSaveWritesTheNewHeight)
{
    showTown();
    const Placement shop = findLoneShop(*files);
    ASSERT_GE(shop.file, 0);
    TGTASInstObj& building = files->IPLFile(shop.file)->Inst.Items[shop.record];
    const float startZ = building.PosZ;
    doubleClickBuilding(building);
    ASSERT_TRUE(editor->HasSelection());
    ASSERT_EQ(editor->SelRecord(), shop.record);
    EXPECT_TRUE(editor->isVisible());
    auto* raise = editor->findChild<QAbstractButton*>("EditIPLInstPosZR1");
    ASSERT_NE(raise, nullptr);
    EXPECT_EQ(raise->text(), ">>");

    // Held for a while: one step at once, then one per tick, the file modified from the first.
    const int framesBefore = frames;
    QTest::mousePress(raise, Qt::LeftButton);
    EXPECT_FLOAT_EQ(building.PosZ, startZ + 0.3f);
    EXPECT_TRUE(files->File(shop.file)->Modified);
    // Ticks come while the button is held; on a loaded machine a frame may take longer than a
    // tick, so wait for the second step rather than a fixed time.
    EXPECT_TRUE(waitFor([&] { return building.PosZ > startZ + 0.45f; })) << "a held button repeats its step";
    QTest::mouseRelease(raise, Qt::LeftButton);
    const int steps = static_cast<int>(std::lround((building.PosZ - startZ) / 0.3f));
    EXPECT_GE(steps, 2);
    const float raisedZ = building.PosZ;
    QTest::qWait(250);
    EXPECT_EQ(building.PosZ, raisedZ) << "the release stops the steps";
    EXPECT_EQ(editor->findChild<QLineEdit*>("EditIPLInstPosZ")->text(), QString::fromStdString(shortFloatText(raisedZ)));
    ASSERT_TRUE(waitFor([&] { return frames > framesBefore; })) << "the next frame draws the building higher";

    main->ActionSaveModified->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("SUCCESS: The following files saved successfully:"));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromStdString(files->File(shop.file)->FileName)));
    const TGTASInstObj* saved = savedInstance(shop);
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->ModelName, "qx_shop01");
    EXPECT_NEAR(saved->PosZ, raisedZ, 1e-4);
    EXPECT_FLOAT_EQ(saved->PosX, building.PosX);
}

TEST(EditorEndToEnd, DoubleClickCtrlDragAndSaveMoveABuildingOnDisk)
{
    TempDir game;
    std::string error;
    ASSERT_EQ(writeDemoGame(game.path().string(), DemoGameOptions{}, error), 0) << error;
    GameSettingsScope settings(game.path().string() + "/", true);
    programSettings().LoadModels = true;
    programSettings().LoadTextures = true;
    programSettings().SkipTextures = false;
    ScriptedDialogService dialogs;

    ASSERT_TRUE(RunLoadSequence());
    TFormMain* main = programWindows().Main;
    TGLView* view = programWindows().View;
    auto* editor = static_cast<TFormEditorItem*>(programWindows().ItemEditor);
    TGTAFileList& files = *main->FileList();
    int frames = 0;
    QObject::connect(view, &TGLView::frameDrawn, [&frames] { ++frames; });

    main->ShowInitialFiles(); // the small town's placements are shown at once
    for (int pos : main->VisibleRows())
        EXPECT_EQ(files.File(pos)->Visible, files.IPLFile(pos)->Inst.Count() > 0) << files.File(pos)->FileName;
    // The loading pass holds the visibility list and the LOD choice until its frame is drawn.
    EXPECT_TRUE(main->LoadingPending());
    EXPECT_FALSE(main->ChkListVisible->isEnabled());
    main->resize(1100, 700);
    main->show();
    ASSERT_TRUE(waitFor([&] { return frames > 0 && !main->LoadingPending(); }));
    EXPECT_TRUE(main->ChkListVisible->isEnabled());
    // Models mode draws three frames per burst and then shows the rate.
    ASSERT_TRUE(waitFor([&] { return main->LblFPS->text().endsWith(" fps"); }));

    const Placement shop = findLoneShop(files);
    ASSERT_GE(shop.file, 0);
    TGTASInstObj& building = files.IPLFile(shop.file)->Inst.Items[shop.record];
    const float startX = building.PosX;
    const float startY = building.PosY;

    // Typing the position and Enter moves the camera target there.
    main->EditCurrentPos->setText(QString("%1, %2, 0").arg(building.PosX).arg(building.PosY));
    QTest::keyClick(main->EditCurrentPos, Qt::Key_Return);
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{startX, startY, 0}));

    const QPoint centre(view->width() / 2, view->height() / 2);
    sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    sendMouse(view, QEvent::MouseButtonDblClick, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    sendMouse(view, QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);

    ASSERT_TRUE(editor->HasSelection());
    EXPECT_EQ(editor->SelFile(), shop.file);
    EXPECT_EQ(editor->SelRecord(), shop.record);
    EXPECT_EQ(main->StatusValue->text(), "* Item Selected *");
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{startX, startY, building.PosZ}));
    EXPECT_FALSE(main->ActionSaveModified->isEnabled());

    // Ctrl-drag to the right: the building follows the pointer in its plane.
    sendMouse(view, QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    for (int step = 1; step <= 4; ++step)
        sendMouse(view, QEvent::MouseMove, centre + QPoint(20 * step, 0), Qt::NoButton, Qt::LeftButton,
                  Qt::ControlModifier);
    sendMouse(view, QEvent::MouseButtonRelease, centre + QPoint(80, 0), Qt::LeftButton, Qt::NoButton,
              Qt::ControlModifier);
    EXPECT_GT(building.PosX, startX + 10.0f);
    EXPECT_NEAR(building.PosY, startY, 0.5f);
    EXPECT_TRUE(files.File(shop.file)->Modified);
    EXPECT_TRUE(main->ActionSaveModified->isEnabled());
    const float movedX = building.PosX;

    main->ActionSaveModified->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Information);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("SUCCESS: The following files saved successfully:"));
    EXPECT_FALSE(files.File(shop.file)->Modified);

    // The next start reads the building where it was left.
    TGTAFileList reread{programSettings().GameDir, programSettings().IsViceCity};
    reread.LoadDat(DatPass::IDE);
    reread.LoadDat(DatPass::IPL);
    const TIPLFile* saved = reread.IPLFile(shop.file);
    ASSERT_NE(saved, nullptr);
    ASSERT_TRUE(saved->Inst.IsValidIndex(shop.record));
    EXPECT_EQ(saved->Inst.Items[shop.record].ModelName, "qx_shop01");
    EXPECT_NEAR(saved->Inst.Items[shop.record].PosX, movedX, 1e-3);
    EXPECT_NEAR(saved->Inst.Items[shop.record].PosY, startY, 0.5f);

    main->close();
    DestroyProgramWindows();
}

}
