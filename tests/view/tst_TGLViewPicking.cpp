#include "ViewTestScene.h"

#include "Log.h"

#include <string>

namespace {

class ViewPicking : public ViewScene {
protected:
    std::vector<std::string> notices;
    TextSink savedSink;

    void SetUp() override
    {
        ViewScene::SetUp();
        savedSink = setUserNoticeSink([this](std::string_view text) { notices.emplace_back(text); });
    }
    void TearDown() override { setUserNoticeSink(savedSink); }
};

TEST_F(ViewPicking, DoubleClickSelectsTheItemAloneAndCentresOnIt)
{
    doubleClick(pixelOf(20, 10, 4));
    ASSERT_EQ(selection.selects.size(), 1u);
    EXPECT_EQ(selection.selects[0].kind, FileKind::IPL);
    EXPECT_EQ(selection.selects[0].section, SectionCode::PickedInst);
    EXPECT_EQ(selection.selects[0].record, 1);
    EXPECT_EQ(selection.selects[0].file, MapFile);
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{20.0f, 10.0f, 0.0f}));
    EXPECT_EQ(position.text(), "20, 10, 0");
    EXPECT_EQ(status.text(), "* Item Selected *");
    EXPECT_EQ(view->GetSelectionState(), SelectionState::One);
    EXPECT_FALSE(view->IsPicking());
    EXPECT_TRUE(notices.empty());
}

TEST_F(ViewPicking, ShiftDoubleClickAddsWithoutMovingTheCamera)
{
    doubleClick(pixelOf(0, 0, 4));
    const QPoint second = pixelOf(20, 10, 4);
    doubleClick(second, Qt::ShiftModifier);
    ASSERT_EQ(selection.selects.size(), 2u);
    EXPECT_EQ(selection.selects[0].record, 0);
    EXPECT_EQ(selection.selects[1].section, SectionCode::SeveralInst);
    EXPECT_EQ(selection.selects[1].record, 1);
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(status.text(), "* Lots Selected *");
}

TEST_F(ViewPicking, DoubleClickOnEmptyGroundOrWithCtrlSelectsNothing)
{
    doubleClick(pixelOf(40, 30, 0));
    doubleClick(pixelOf(0, 0, 4), Qt::ControlModifier);
    EXPECT_TRUE(selection.selects.empty());
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(position.text(), "");
    EXPECT_TRUE(notices.empty());
}

TEST_F(ViewPicking, HitsOnPathsZonesAndCullsOnlyNameTheirKind)
{
    struct Case {
        std::array<float, 3> at;
        const char* word;
    };
    // The zone lies over cube C: the zone's top is nearer, so the item is not selected.
    for (const Case c : {Case{{-20, -10, 4}, "zone"}, Case{{20, -10, 0}, "cull"}, Case{{-20, 15, 0}, "path"}}) {
        notices.clear();
        doubleClick(pixelOf(c.at[0], c.at[1], c.at[2]));
        ASSERT_EQ(notices.size(), 1u) << c.word;
        EXPECT_EQ(notices[0], c.word);
    }
    EXPECT_TRUE(selection.selects.empty());
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
}

TEST_F(ViewPicking, HiddenFilesCannotBePicked)
{
    map().Visible = false;
    doubleClick(pixelOf(20, 10, 4));
    EXPECT_TRUE(selection.selects.empty());
}

TEST_F(ViewPicking, TooManyHitsForTheBufferSelectNothing)
{
    // A hundred instances on one spot give six words each: more than the 512 of the buffer.
    map().Visible = false;
    files.IPLFile(HeapFile)->Visible = true;
    doubleClick(pixelOf(0, 0, 4));
    EXPECT_TRUE(selection.selects.empty());

    // Within the buffer the same spot is picked.
    files.IPLFile(HeapFile)->Inst.Items.resize(50);
    doubleClick(pixelOf(0, 0, 4));
    ASSERT_EQ(selection.selects.size(), 1u);
    EXPECT_EQ(selection.selects[0].file, HeapFile);
    EXPECT_EQ(selection.selects[0].record, 0);
}

TEST_F(ViewPicking, PickUsesTheCameraAsItIsNow)
{
    // Turned half round and moved: the pick must follow without a frame drawn in between.
    view->Camera().AngleZ = 180.0f;
    view->MoveTo(20, 10, 0);
    doubleClick(QPoint(Width / 2, Height / 2));
    ASSERT_EQ(selection.selects.size(), 1u);
    EXPECT_EQ(selection.selects[0].record, 1);
}

} // namespace
