#include "ViewerTestGame.h"

#include "ColourBox.h"
#include "GLPanel.h"
#include "ScriptedDialogService.h"
#include "TFormExtraView.h"
#include "TFormTextureView.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace {

constexpr Rgba Black{0, 0, 0, 255};
constexpr Rgba White{255, 255, 255, 255};
constexpr Rgba CubeTop{255, 0, 0, 255}; // the placeholder's +z face

class ExtraView : public ViewerGame {
protected:
    std::unique_ptr<TFormTextureView> textures;
    std::unique_ptr<TFormExtraView> form;

    void SetUp() override
    {
        ViewerGame::SetUp();
        textures = std::make_unique<TFormTextureView>(set.get(), nullptr);
        form = std::make_unique<TFormExtraView>(&files, set.get(), textures.get(), nullptr, true);
    }
    void TearDown() override
    {
        form.reset();
        textures.reset();
        ViewerGame::TearDown();
    }

    // Shown, facing the square's plane (no tilt) from 10 units, the turning stopped.
    void showFacing()
    {
        form->resize(300, 300);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::processEvents();
        ASSERT_TRUE(form->ContextOk);
        form->TimerRotate->stop();
        form->BarRotation->setValue(-180);
        form->BarDepth->setValue(10);
    }
    Rgba centre()
    {
        const QImage image = form->ViewPanel->grabFramebuffer();
        return pixelAt(image, image.width() / 2, image.height() / 2);
    }
    TGTADff& model(const char* name) { return *set->Dffs[static_cast<std::size_t>(set->FindDff(name))]; }
};

TEST_F(ExtraView, SlidersSetDepthAndTilt)
{
    EXPECT_FLOAT_EQ(form->Depth, -52.0f);
    EXPECT_FLOAT_EQ(form->Tilt, -45.0f);
    EXPECT_EQ(form->BarDepth->value(), 52);
    EXPECT_EQ(form->BarRotation->value(), -135);
    EXPECT_EQ(form->BarDepth->toolTip(), "Zoom Level");
    EXPECT_EQ(form->BarRotation->toolTip(), "Rotation Angle");
    EXPECT_EQ(form->BtnViewDFF->toolTip(), "Open External Model");
    const struct {
        QSlider* bar;
        int position;
        float* field;
        float expected;
    } moves[] = {{form->BarDepth, 402, &form->Depth, -402.0f},
                 {form->BarDepth, 2, &form->Depth, -2.0f},
                 {form->BarRotation, 0, &form->Tilt, -180.0f},
                 {form->BarRotation, -180, &form->Tilt, 0.0f}};
    for (const auto& move : moves) {
        move.bar->setValue(move.position);
        EXPECT_FLOAT_EQ(*move.field, move.expected) << move.bar->objectName().toStdString() << " " << move.position;
    }
}

TEST_F(ExtraView, TurnsOnlyWhileVisible)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_TRUE(form->TimerRotate->isActive());
    EXPECT_EQ(form->TimerRotate->interval(), 10);
    QTest::qWait(100);
    EXPECT_GT(form->Spin, 0.0f);
    form->hide();
    EXPECT_FALSE(form->TimerRotate->isActive());
}

TEST_F(ExtraView, AModelIsCompiledOncePerShowingAndShowsItsDictionary)
{
    showFacing();
    form->ShowModel("thing", txd("cyan"));
    EXPECT_EQ(textures->FilenameValue->text(), "cyan.txd");
    EXPECT_EQ(centre(), Cyan);
    // Drawn from the list: frames after the first do not read the model again.
    model("thing").Unload();
    EXPECT_EQ(centre(), Cyan);
    EXPECT_EQ(centre(), Cyan);
    EXPECT_FALSE(model("thing").Loaded);

    form->ShowModel("other", txd("violet"));
    EXPECT_EQ(centre(), Violet);
    EXPECT_TRUE(model("other").Loaded);
    EXPECT_EQ(textures->FilenameValue->text(), "violet.txd");

    form->ShowModel("", -1);
    EXPECT_EQ(centre(), Black);
    EXPECT_EQ(textures->FilenameValue->text(), "");
    form->ShowModel("nothing", -1); // not in the archive: an empty picture
    EXPECT_EQ(centre(), Black);
}

TEST_F(ExtraView, BackgroundAndTexturesFollowTheirControls)
{
    showFacing();
    form->ShowModel("thing", txd("cyan"));
    form->BoxColour->setCurrentText("Maroon");
    const QImage image = form->ViewPanel->grabFramebuffer();
    EXPECT_EQ(pixelAt(image, 5, 5), (Rgba{128, 0, 0, 255}));
    form->SetTextures(false);
    EXPECT_EQ(centre(), White);
    form->SetTextures(true);
    EXPECT_EQ(centre(), Cyan);
}

// FreeUnused must not unload what the view shows: its list would bind deleted textures.
TEST_F(ExtraView, FreeUnusedKeepsTheShownModelAndDictionary)
{
    showFacing();
    form->ShowModel("thing", txd("cyan"));
    EXPECT_EQ(centre(), Cyan);
    textures->SetDictionary(txd("violet")); // the texture viewer moves on; the model's dictionary stays held
    set->ResetUsage();
    set->FreeUnused();
    EXPECT_TRUE(set->Txds[txd("cyan")]->Loaded);
    EXPECT_TRUE(model("thing").Loaded);
    EXPECT_EQ(centre(), Cyan);

    form->ShowModel("other", txd("violet"));
    set->ResetUsage();
    set->FreeUnused();
    EXPECT_FALSE(set->Txds[txd("cyan")]->Loaded);
    EXPECT_FALSE(model("thing").Loaded);
}

TEST_F(ExtraView, DefinitionsAreDrawnLiveWithTheirDictionary)
{
    showFacing();
    const struct {
        int id, kind;
        int dictionary;
        Rgba picture;
        QString file;
    } cases[] = {
        {100, 0, txd("cyan"), Cyan, "cyan.txd"},
        {101, 1, txd("violet"), Violet, "violet.txd"},
        {200, 0, txd("cyan"), CubeTop, "cyan.txd"},   // no such model: the placeholder cube
        // The dictionary of the last match in the first file that has one; drawn are the first
        // record of each file (the first file's in front: equal depths do not pass).
        {300, 0, txd("violet"), Cyan, "violet.txd"},
        {999, 0, -1, Black, ""},                       // defined nowhere: nothing, not even the cube
        {40000, 0, txd("violet"), Violet, "violet.txd"}, // above 32767: the ID is kept whole
    };
    for (const auto& c : cases) {
        form->ShowDefinition(c.id, c.kind);
        EXPECT_EQ(form->Mode, 2);
        EXPECT_EQ(form->DictionaryIndex, c.dictionary) << c.id;
        EXPECT_EQ(textures->FilenameValue->text(), c.file) << c.id;
        EXPECT_EQ(centre(), c.picture) << c.id;
    }
    // Live: an edit of the definition shows in the next frame.
    form->ShowDefinition(100, 0);
    TGTASObjsObj& record = files.IDEFile(0)->Objs.Items[0];
    record.TextureIndex = txd("violet");
    EXPECT_EQ(centre(), Violet);
}

class ExtraViewLooseModel : public ExtraView {
protected:
    ScriptedDialogService dialogs;

    void open(const std::vector<std::uint8_t>& bytes, const char* name)
    {
        writeFile(dir.file(name), bytesText(bytes));
        dialogs.openFileChoices.push_back({QString::fromStdString(dir.file(name))});
        QTest::mouseClick(form->BtnViewDFF, Qt::LeftButton);
    }
};

TEST_F(ExtraViewLooseModel, ShowsTheFileUntexturedUntilAnArchiveModelReplacesIt)
{
    showFacing();
    const int models = set->DffCount;
    open(squareModel(), "loose.dff");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->ModelName, "");
    EXPECT_EQ(centre(), White);
    EXPECT_EQ(set->DffCount, models);
    EXPECT_EQ(set->FindDff("loose"), -1);

    form->ShowModel("other", txd("violet"));
    EXPECT_EQ(centre(), Violet);
}

TEST_F(ExtraViewLooseModel, ATruncatedFileShowsItsErrorAndNothing)
{
    showFacing();
    form->ShowModel("thing", txd("cyan"));
    EXPECT_EQ(centre(), Cyan);
    std::vector<std::uint8_t> bytes = squareModel();
    bytes.resize(bytes.size() / 2);
    open(bytes, "cut.dff");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("ERROR: Cannot read " + QString::fromStdString(dir.file("cut.dff")) + ": "))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(centre(), Black);

    // Cancelling the dialog changes nothing.
    form->ShowModel("thing", txd("cyan"));
    QTest::mouseClick(form->BtnViewDFF, Qt::LeftButton);
    EXPECT_EQ(centre(), Cyan);
}

} // namespace
