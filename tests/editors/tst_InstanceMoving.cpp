// Moving instances with the nudge buttons of the item editor: one step per click, one per
// tick while held, turning about the world axes, several instances at once, typed offsets,
// and the timer stopping when the selection goes away.
#include "TFormEditorItem.h"

#include "Quaternion.h"
#include "Snapping.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUndoStack>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr double Pi = 3.14159265358979;

constexpr std::string_view YardText =
    "inst\n"
    "1, crate, 1, 2, 3, 1, 1, 1, 0, 0, 0, 1\n"
    "2, barrel, 10, 20, 30, 1, 1, 1, 0, 0, 0, 1\n"
    "3, pallet, -4, 5, -6, 1, 1, 1, 0, 0, 0, 1\n"
    "end\n";

class InstanceMoving : public testing::Test {
protected:
    void SetUp() override
    {
        auto file = std::make_unique<TIPLFile>();
        file->ReadText(YardText);
        file->FileName = "yard.ipl";
        m_files.AddFile(std::move(file));
    }

    void selectOne(int record) { m_editor.SelectRecord(FileKind::IPL, SectionCode::Inst, record, 0); }
    void selectAllThree()
    {
        selectOne(0);
        m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 1, 0);
        m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 0);
    }
    TGTASInstObj& inst(int record) { return m_files.IPLFile(0)->Inst.Items[record]; }
    QToolButton* button(const QString& name) { return m_editor.findChild<QToolButton*>(name); }
    QLineEdit* box(const char* name) { return m_editor.findChild<QLineEdit*>(name); }
    void click(const QString& name)
    {
        QToolButton* nudge = button(name);
        ASSERT_NE(nudge, nullptr) << name.toStdString();
        QTest::mouseClick(nudge, Qt::LeftButton);
    }
    std::array<float, 3> position(int record) { return {inst(record).PosX, inst(record).PosY, inst(record).PosZ}; }

    TGTAFileList m_files{"", true};
    MapDocument m_document{m_files};
    TFormEditorItem m_editor{m_document, nullptr};
};

// Snapping on with the given steps for one test; off again after it.
class SnapScope {
public:
    SnapScope(float grid, float angle) : m_before(snapSettings()) { snapSettings() = {true, grid, angle}; }
    ~SnapScope() { snapSettings() = m_before; }
    SnapScope(const SnapScope&) = delete;
    SnapScope& operator=(const SnapScope&) = delete;

private:
    SnapSettings m_before;
};

bool onGrid(float value, float grid)
{
    const double steps = static_cast<double>(value) / grid;
    return std::abs(steps - std::round(steps)) < 1e-5;
}

// A shown 3D view over the document whose Ctrl-mouse events drag the editor's selection.
struct DragView {
    DragView(MapDocument& document, TFormEditorItem& editor)
    {
        window.resize(400, 300);
        view.FollowDocument(document);
        view.SetItemEditor(&editor);
        window.show();
    }
    void ctrlMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), QPointF(view.mapToGlobal(at)), button, held, Qt::ControlModifier);
        QApplication::sendEvent(&view, &event);
    }

    QWidget window;
    TGLView view{&window, nullptr, nullptr, false, false};
};

struct Suffix {
    const char* name;
    const char* caption;
    float step;
};
constexpr Suffix Suffixes[] = {{"L1", "<<", -0.3f}, {"L2", "<", -1.0f}, {"R2", ">", 1.0f}, {"R1", ">>", 0.3f}};
constexpr char Axes[] = {'X', 'Y', 'Z'};

TEST_F(InstanceMoving, AClickMovesOneStepAlongTheButtonsAxis)
{
    selectOne(0);
    ASSERT_FALSE(m_files.File(0)->Modified);
    click("EditIPLInstPosXR1");
    EXPECT_EQ(inst(0).PosX, 1.0f + 0.3f);
    EXPECT_EQ(inst(0).PosY, 2.0f);
    EXPECT_EQ(inst(0).PosZ, 3.0f);
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_EQ(box("EditIPLInstPosX")->text(), "1.3");
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(0)));
    EXPECT_FALSE(m_editor.MoveTimer->isActive()) << "the release stops the timer";

    for (int axis = 0; axis < 3; ++axis) {
        for (const Suffix& suffix : Suffixes) {
            const QString name = QString("EditIPLInstPos") + Axes[axis] + suffix.name;
            EXPECT_EQ(button(name)->text(), suffix.caption);
            std::array<float, 3> expected = position(0);
            expected[axis] += suffix.step;
            click(name);
            EXPECT_EQ(position(0), expected) << name.toStdString();
        }
    }
    EXPECT_EQ(inst(1).PosX, 10.0f) << "other instances stay";
}

TEST_F(InstanceMoving, HoldingAButtonMovesOnceAtPressAndOncePerTick)
{
    selectOne(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_editor));
    QToolButton* down = button("EditIPLInstPosZL2");
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mousePress(down, Qt::LeftButton);
    EXPECT_EQ(inst(1).PosZ, 29.0f) << "one step at once";
    QTest::qWait(1000);
    const qint64 held = elapsed.elapsed();
    QTest::mouseRelease(down, Qt::LeftButton);
    const float steps = 30.0f - inst(1).PosZ;
    EXPECT_EQ(steps, std::round(steps)) << "whole steps of 1.0";
    // About 11 on an idle machine; a loaded one runs fewer ticks, never more than time allows.
    EXPECT_GE(steps, 6);
    EXPECT_LE(steps, held / 100 + 2);
    EXPECT_FALSE(m_editor.MoveTimer->isActive());

    const float after = inst(1).PosZ;
    QTest::qWait(250);
    EXPECT_EQ(inst(1).PosZ, after) << "nothing moves after the release";

    // The whole hold is one step; the next press is another.
    QUndoStack& stack = m_document.undoStack();
    ASSERT_EQ(stack.count(), 1);
    EXPECT_EQ(stack.undoText(), "Move Instance");
    click("EditIPLInstPosZL2");
    EXPECT_EQ(stack.count(), 2);
    stack.undo();
    EXPECT_EQ(inst(1).PosZ, after);
    stack.undo();
    EXPECT_EQ(inst(1).PosZ, 30.0f);
    EXPECT_EQ(m_files.IPLFile(0)->SaveText(), YardText);
    EXPECT_FALSE(m_files.File(0)->Modified);
    stack.redo();
    EXPECT_EQ(inst(1).PosZ, after);
}

// A Ctrl-drag in the real 3D view moves the selection at every pointer move and is one step.
TEST_F(InstanceMoving, ACtrlDragInTheViewIsOneStep)
{
    DragView drag(m_document, m_editor);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&drag.window));
    selectOne(0);
    ASSERT_EQ(drag.view.GetSelectionState(), SelectionState::One);
    const auto mouse = [&drag](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        drag.ctrlMouse(type, at, button, held);
    };
    const QPoint start(200, 150);
    mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        mouse(QEvent::MouseMove, start + QPoint(10 * step, -6 * step), Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, start + QPoint(40, -24), Qt::LeftButton, Qt::NoButton);

    const std::array<float, 3> moved = position(0);
    EXPECT_GT(std::abs(moved[0] - 1.0f) + std::abs(moved[1] - 2.0f), 1.0f) << "the drag moved the instance";
    EXPECT_EQ(moved[2], 3.0f) << "a plain Ctrl-drag keeps the height";
    QUndoStack& steps = m_document.undoStack();
    ASSERT_EQ(steps.count(), 1);
    EXPECT_EQ(steps.undoText(), "Move Instance");
    steps.undo();
    EXPECT_EQ(position(0), (std::array<float, 3>{1, 2, 3}));
    EXPECT_EQ(m_files.IPLFile(0)->SaveText(), YardText);
    steps.redo();
    EXPECT_EQ(position(0), moved);

    // The next drag is a step of its own.
    mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, start + QPoint(-20, 0), Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, start + QPoint(-20, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(steps.count(), 2);
}

TEST_F(InstanceMoving, RotationButtonsTurnAboutTheWorldAxes)
{
    selectOne(0);
    click("EditIPLInstRotZR2");
    EXPECT_NEAR(inst(0).RotX, 0, 1e-7);
    EXPECT_NEAR(inst(0).RotY, 0, 1e-7);
    EXPECT_NEAR(inst(0).RotZ, 0.0087265, 1e-6);
    EXPECT_NEAR(inst(0).RotW, 0.9999619, 1e-6);
    EXPECT_EQ(box("EditIPLInstRotX")->text(), "0.00");
    EXPECT_EQ(box("EditIPLInstRotY")->text(), "0.00");
    EXPECT_EQ(box("EditIPLInstRotZ")->text(), "0.50");
    EXPECT_EQ(box("EditIPLInstRotW")->text(), "0.50");
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_EQ(m_editor.ExpandedEdit->text(), QString::fromStdString(m_files.IPLFile(0)->Inst.WriteLine(0)));

    selectOne(1);
    click("EditIPLInstRotYL1");
    EXPECT_NEAR(inst(1).RotY, -std::sin(0.15 * Pi / 180), 1e-7);
    EXPECT_NEAR(inst(1).RotX, 0, 1e-7);
    EXPECT_NEAR(inst(1).RotZ, 0, 1e-7);
    EXPECT_EQ(inst(1).PosX, 10.0f) << "turning leaves the position";
}

TEST_F(InstanceMoving, AFullTurnReturnsToTheIdentity)
{
    selectOne(2);
    for (int i = 0; i < 180; ++i)
        click("EditIPLInstRotXR2");
    // Half a turn about X.
    EXPECT_NEAR(std::abs(inst(2).RotX), 1, 1e-4);
    EXPECT_NEAR(inst(2).RotW, 0, 1e-3);
    for (int i = 0; i < 180; ++i)
        click("EditIPLInstRotXR2");
    EXPECT_NEAR(std::abs(inst(2).RotW), 1, 1e-4);
    EXPECT_NEAR(inst(2).RotX, 0, 1e-3);
    EXPECT_EQ(inst(2).RotY, 0.0f);
    EXPECT_EQ(inst(2).RotZ, 0.0f);
    const float length = std::hypot(std::hypot(inst(2).RotX, inst(2).RotY), std::hypot(inst(2).RotZ, inst(2).RotW));
    EXPECT_NEAR(length, 1, 1e-6) << "every step is normalised";
}

TEST_F(InstanceMoving, TheStepIsTheLeftFactor)
{
    selectOne(0);
    for (int i = 0; i < 90; ++i)
        click("EditIPLInstRotXR2");
    click("EditIPLInstRotZR2");
    // step * current: a quarter turn about X, then a turn about the world's Z raises y;
    // the other order would lower it.
    EXPECT_GT(inst(0).RotY, 0.006f);
    EXPECT_NEAR(inst(0).RotZ, inst(0).RotY, 1e-6);
}

TEST_F(InstanceMoving, SeveralInstancesMoveTogetherAndTheCentreLabelStays)
{
    selectAllThree();
    ASSERT_EQ(m_editor.SelSection(), SectionCode::SeveralInst);
    const QString centre = m_editor.EditIPLMultInstItemCenter->text();
    ASSERT_EQ(centre, "2.33333, 9, 9");
    click("EditIPLMultInstPosYR2");
    EXPECT_EQ(inst(0).PosY, 3.0f);
    EXPECT_EQ(inst(1).PosY, 21.0f);
    EXPECT_EQ(inst(2).PosY, 6.0f);
    EXPECT_EQ(inst(0).PosX, 1.0f);
    EXPECT_EQ(m_editor.EditIPLMultInstItemCenter->text(), centre);
    EXPECT_TRUE(m_files.File(0)->Modified);
    EXPECT_FALSE(m_editor.MoveTimer->isActive());

    for (int axis = 0; axis < 3; ++axis) {
        for (const Suffix& suffix : Suffixes) {
            const QString name = QString("EditIPLMultInstPos") + Axes[axis] + suffix.name;
            EXPECT_EQ(button(name)->text(), suffix.caption);
            std::array<float, 3> expected = position(2);
            expected[axis] += suffix.step;
            click(name);
            EXPECT_EQ(position(2), expected) << name.toStdString();
        }
    }
}

TEST_F(InstanceMoving, TypedOffsetsMoveOnEnterAndResetTheirBox)
{
    selectAllThree();
    QLineEdit* x = box("EditIPLMultInstPosX");
    QLineEdit* y = box("EditIPLMultInstPosY");
    QLineEdit* z = box("EditIPLMultInstPosZ");
    EXPECT_EQ(x->text(), "0");
    x->clear();
    QTest::keyClicks(x, "5");
    y->clear();
    QTest::keyClicks(y, "2");
    z->clear();
    QTest::keyClicks(z, "up");
    EXPECT_EQ(position(0), (std::array<float, 3>{1, 2, 3})) << "typing alone moves nothing";

    QTest::keyClick(x, Qt::Key_Return);
    EXPECT_EQ(position(0), (std::array<float, 3>{6, 4, 3}));
    EXPECT_EQ(position(1), (std::array<float, 3>{15, 22, 30}));
    EXPECT_EQ(position(2), (std::array<float, 3>{1, 7, -6}));
    EXPECT_EQ(x->text(), "0");
    EXPECT_EQ(y->text(), "2");
    EXPECT_EQ(z->text(), "up");
    EXPECT_TRUE(m_files.File(0)->Modified);

    QTest::keyClick(y, Qt::Key_Enter);
    EXPECT_EQ(position(0), (std::array<float, 3>{6, 6, 3}));
    EXPECT_EQ(position(2), (std::array<float, 3>{1, 9, -6}));
    EXPECT_EQ(y->text(), "0");

    // Taking a member out is a new selection, not a reload: the boxes keep their text.
    z->clear();
    QTest::keyClicks(z, "1.5");
    m_editor.SelectRecord(FileKind::IPL, SectionCode::SeveralInst, 2, 0);
    EXPECT_EQ(z->text(), "1.5");
    QTest::keyClick(z, Qt::Key_Return);
    EXPECT_EQ(position(0).at(2), 4.5f);
    EXPECT_EQ(position(2).at(2), -6.0f) << "the removed member stays";
}

TEST_F(InstanceMoving, TheCentreButtonMovesTheViewToTheAverage)
{
    QWidget panel;
    TGLView view(&panel, nullptr, nullptr, false, false);
    m_editor.SetView(&view);
    selectAllThree();
    QTest::mouseClick(m_editor.findChild<QPushButton*>("EditIPLMultInstPosCenter"), Qt::LeftButton);
    const std::array<float, 3> target = view.GetCameraTarget();
    EXPECT_NEAR(target[0], 7.0 / 3, 1e-5);
    EXPECT_EQ(target[1], 9.0f);
    EXPECT_EQ(target[2], 9.0f);
    m_editor.SetView(nullptr);
}

TEST_F(InstanceMoving, TheTimerStopsWhenTheSelectionNoLongerFits)
{
    selectOne(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_editor));
    QToolButton* right = button("EditIPLInstPosXR2");
    QTest::mousePress(right, Qt::LeftButton);
    ASSERT_TRUE(m_editor.MoveTimer->isActive());
    EXPECT_EQ(m_editor.MoveMode, 1);
    m_editor.ClearSelection();
    const float cleared = inst(0).PosX;
    QTest::qWait(250);
    EXPECT_FALSE(m_editor.MoveTimer->isActive());
    EXPECT_EQ(m_editor.MoveMode, 0);
    EXPECT_EQ(inst(0).PosX, cleared);
    QTest::mouseRelease(right, Qt::LeftButton);

    // Holding a several-instance button while one instance gets picked stops it too.
    selectAllThree();
    QToolButton* several = button("EditIPLMultInstPosZR1");
    QTest::mousePress(several, Qt::LeftButton);
    ASSERT_TRUE(m_editor.MoveTimer->isActive());
    selectOne(1);
    const std::array<float, 3> picked = position(1);
    QTest::qWait(250);
    EXPECT_FALSE(m_editor.MoveTimer->isActive());
    EXPECT_EQ(m_editor.MoveMode, 0);
    EXPECT_EQ(position(1), picked);
    QTest::mouseRelease(several, Qt::LeftButton);
}

} // namespace

namespace {

TEST_F(InstanceMoving, SnappedNudgesAndDragsLandOnGridMultiples)
{
    struct Case {
        float grid;
        const char* button;
        std::array<float, 3> landed; // instance 0, from (1, 2, 3) or where the case before left it
    };
    const Case cases[] = {
        {1.0f, "EditIPLInstPosXR1", {2, 2, 3}},    // a small step still moves one whole step
        {1.0f, "EditIPLInstPosXL1", {1, 2, 3}},
        {2.5f, "EditIPLInstPosYR2", {1, 2.5f, 3}}, // off the grid: to the next multiple first
        {2.5f, "EditIPLInstPosYR2", {1, 5, 3}},
        {2.5f, "EditIPLInstPosYL2", {1, 2.5f, 3}},
        {0.25f, "EditIPLInstPosZR2", {1, 2.5f, 4}}, // one unit is four steps of 0.25
        {0.25f, "EditIPLInstPosZL1", {1, 2.5f, 3.75f}},
    };
    selectOne(0);
    for (const Case& c : cases) {
        const SnapScope snap(c.grid, 15);
        click(c.button);
        EXPECT_EQ(position(0), c.landed) << c.button << " on a grid of " << c.grid;
    }

    // Several instances: their centre lands on the grid and they keep their places around it.
    selectAllThree();
    {
        const SnapScope snap(1, 15);
        click("EditIPLMultInstPosXR1");
        EXPECT_TRUE(onGrid(m_editor.GetSelectionCentre()[0], 1)) << m_editor.GetSelectionCentre()[0];
        EXPECT_FLOAT_EQ(inst(1).PosX - inst(0).PosX, 9);
        click("EditIPLMultInstPosZL2");
        EXPECT_FLOAT_EQ(m_editor.GetSelectionCentre()[2], 9) << "from 9.25 down to the grid";
    }

    // A Ctrl-drag in the view: the centre follows the pointer from grid line to grid line.
    DragView drag(m_document, m_editor);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&drag.window));
    selectOne(1);
    const SnapScope snap(5, 15);
    const auto mouse = [&drag](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        drag.ctrlMouse(type, at, button, held);
    };
    const std::size_t steps = m_document.undoStack().count();
    const std::array<float, 3> before = position(1);
    const QPoint start(200, 150);
    mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 12; ++step) {
        mouse(QEvent::MouseMove, start + QPoint(7 * step, -3 * step), Qt::NoButton, Qt::LeftButton);
        EXPECT_TRUE(onGrid(inst(1).PosX, 5)) << inst(1).PosX;
        EXPECT_TRUE(onGrid(inst(1).PosY, 5)) << inst(1).PosY;
    }
    mouse(QEvent::MouseButtonRelease, start + QPoint(84, -36), Qt::LeftButton, Qt::NoButton);
    EXPECT_GE(std::abs(inst(1).PosX - before[0]) + std::abs(inst(1).PosY - before[1]), 5.0f) << "the drag moved it";
    EXPECT_EQ(inst(1).PosZ, before[2]);
    EXPECT_EQ(static_cast<std::size_t>(m_document.undoStack().count()), steps + 1) << "one step";
}

TEST_F(InstanceMoving, SnappedTurnsAreWholeAngleStepsAndTwentyFourOfFifteenDegreesComeBack)
{
    selectOne(2);
    for (int i = 0; i < 30; ++i)
        click("EditIPLInstRotXR2"); // a start that is not the identity
    const TQuaternion start{inst(2).RotX, inst(2).RotY, inst(2).RotZ, inst(2).RotW};
    const auto rotation = [this] { return TQuaternion{inst(2).RotX, inst(2).RotY, inst(2).RotZ, inst(2).RotW}; };
    const auto expectSameTurn = [](const TQuaternion& a, const TQuaternion& b, const char* what) {
        // q and -q are the same turn.
        const float sign = (a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w) < 0 ? -1.0f : 1.0f;
        EXPECT_NEAR(a.x, sign * b.x, 2e-6) << what;
        EXPECT_NEAR(a.y, sign * b.y, 2e-6) << what;
        EXPECT_NEAR(a.z, sign * b.z, 2e-6) << what;
        EXPECT_NEAR(a.w, sign * b.w, 2e-6) << what;
    };

    const SnapScope snap(1, 15);
    click("EditIPLInstRotZR1"); // a step of 0.3 degrees turns one angle step
    const float fifteen = static_cast<float>(15 * Pi / 180);
    expectSameTurn(rotation(), QuatMultiply(QuatRotationZ(fifteen), start), "one step of 15 degrees");
    for (int i = 1; i < 24; ++i)
        click("EditIPLInstRotZR2");
    expectSameTurn(rotation(), start, "24 steps of 15 degrees");
    for (int i = 0; i < 24; ++i)
        click("EditIPLInstRotYL2");
    expectSameTurn(rotation(), start, "24 steps back about Y");
    const float length = std::hypot(std::hypot(inst(2).RotX, inst(2).RotY), std::hypot(inst(2).RotZ, inst(2).RotW));
    EXPECT_NEAR(length, 1, 1e-6);
}

} // namespace
