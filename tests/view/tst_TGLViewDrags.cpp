#include "ViewTestScene.h"

#include <QKeyEvent>
#include <QWheelEvent>

namespace {

using ViewDrags = ViewScene;

void expectNear3(const std::array<float, 3>& actual, const std::array<double, 3>& expected, double tolerance)
{
    EXPECT_NEAR(actual[0], expected[0], tolerance);
    EXPECT_NEAR(actual[1], expected[1], tolerance);
    EXPECT_NEAR(actual[2], expected[2], tolerance);
}

TEST_F(ViewDrags, CtrlDragMovesTheSelectionWithThePointerInItsPlane)
{
    selection.centre = {0.0f, 0.0f, 0.0f};
    view->SetSelectionState(SelectionState::One);
    const QPoint start = pixelOf(0, 0, 0);
    const QPoint end = start + QPoint(60, -35);
    press(start, Qt::ControlModifier);
    drag(start + QPoint(20, -10), Qt::ControlModifier);
    drag(start + QPoint(45, -30), Qt::ControlModifier);
    drag(end, Qt::ControlModifier);
    release(end);

    const auto from = groundUnder(start, 0.0);
    const auto to = groundUnder(end, 0.0);
    ASSERT_EQ(selection.moves.size(), 3u);
    for (const auto& m : selection.moves)
        EXPECT_EQ(m[2], 0.0f);
    expectNear3(selection.movedBy(), {to[0] - from[0], to[1] - from[1], 0.0}, 1e-3);
    EXPECT_GT(selection.movedBy()[0], 5.0f);
    EXPECT_GT(selection.movedBy()[1], 2.0f);
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));

    // After the release a plain move does nothing.
    drag(start, Qt::ControlModifier, Qt::NoButton);
    EXPECT_EQ(selection.moves.size(), 3u);
}

TEST_F(ViewDrags, CtrlShiftDragAlongZMovesOnlyZ)
{
    // Looking at the selection from the side, so the upright plane through it faces the camera.
    view->Camera().AngleX = -60.0f;
    view->SetMoveAxis(2);
    selection.centre = {0.0f, 0.0f, 0.0f};
    view->SetSelectionState(SelectionState::One);
    const QPoint start = pixelOf(0, 0, 0);
    press(start, Qt::ControlModifier | Qt::ShiftModifier);
    drag(start + QPoint(0, -5), Qt::ControlModifier | Qt::ShiftModifier); // anchors the axis drag
    EXPECT_TRUE(selection.moves.empty());
    drag(start + QPoint(7, -25), Qt::ControlModifier | Qt::ShiftModifier);
    drag(start + QPoint(3, -40), Qt::ControlModifier | Qt::ShiftModifier);
    release(start + QPoint(3, -40));

    ASSERT_EQ(selection.moves.size(), 2u);
    for (const auto& m : selection.moves) {
        EXPECT_EQ(m[0], 0.0f);
        EXPECT_EQ(m[1], 0.0f);
    }
    // Upwards on the screen is upwards in the world, by the height between the anchoring
    // pixel and the last one on the upright plane y = 0.
    const double rise = uprightUnder(start + QPoint(3, -40), 0.0)[2] - uprightUnder(start + QPoint(0, -5), 0.0)[2];
    EXPECT_GT(rise, 5.0);
    EXPECT_NEAR(selection.movedBy()[2], rise, 1e-3);
}

TEST_F(ViewDrags, ChangingModifiersMidDragReanchorsWithoutAJump)
{
    view->SetMoveAxis(0);
    view->SetSelectionState(SelectionState::One);
    const QPoint start = pixelOf(0, 0, 0);
    press(start, Qt::ControlModifier);
    drag(start + QPoint(10, 0), Qt::ControlModifier);
    ASSERT_EQ(selection.moves.size(), 1u);
    drag(start + QPoint(30, 20), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(selection.moves.size(), 1u);
    drag(start + QPoint(40, 60), Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(selection.moves.size(), 2u);
    EXPECT_GT(selection.moves[1][0], 0.0f);
    EXPECT_EQ(selection.moves[1][1], 0.0f);
    drag(start + QPoint(50, 60), Qt::ControlModifier);
    EXPECT_EQ(selection.moves.size(), 2u);
    release(start + QPoint(50, 60));
}

TEST_F(ViewDrags, CtrlDragWithNothingSelectedPansAndTheGroundFollowsThePointer)
{
    view->SetSelectionState(SelectionState::Nothing);
    const QPoint start(300, 200);
    const QPoint end = start + QPoint(-70, 45);
    const auto grabbed = groundUnder(start, 0.0);
    press(start, Qt::ControlModifier);
    for (int step = 1; step <= 5; ++step)
        drag(start + (end - start) * step / 5, Qt::ControlModifier);
    release(end);
    EXPECT_TRUE(selection.moves.empty());
    // The grabbed ground point lies under the pointer again, however many steps it took.
    const auto under = groundUnder(end, 0.0);
    EXPECT_NEAR(under[0], grabbed[0], 1e-2);
    EXPECT_NEAR(under[1], grabbed[1], 1e-2);
    EXPECT_GT(view->GetCameraTarget()[0], 10.0f);
    EXPECT_EQ(view->GetCameraTarget()[2], 0.0f);
    EXPECT_EQ(position.text().toStdString(), view->Camera().PositionText());
}

TEST_F(ViewDrags, RightDragTurnsTheOrbitAndWheelZooms)
{
    const QPoint start(320, 240);
    press(start, Qt::NoModifier, Qt::RightButton);
    drag(start + QPoint(20, 0), Qt::NoModifier, Qt::RightButton);
    drag(start + QPoint(20, 8), Qt::NoModifier, Qt::RightButton);
    release(start + QPoint(20, 8), Qt::RightButton);
    EXPECT_FLOAT_EQ(view->Camera().AngleZ, 10.0f);
    EXPECT_FLOAT_EQ(view->Camera().AngleX, 4.0f);

    QWheelEvent wheel(QPointF(start), QPointF(view->mapToGlobal(start)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
    EXPECT_FLOAT_EQ(view->Camera().Zoom, -94.0f);
}

TEST_F(ViewDrags, HeldWMovesTheFirstPersonCameraEightUnitsPerTick)
{
    view->SetFirstPerson(true);
    view->setFocus();
    QTest::keyPress(view, Qt::Key_W);
    EXPECT_TRUE(view->MoveTimer().isActive());
    EXPECT_EQ(view->MoveTimer().interval(), 10);
    view->MoveTimer().stop(); // ticks are driven by hand below
    for (int tick = 0; tick < 3; ++tick)
        QMetaObject::invokeMethod(&view->MoveTimer(), "timeout");
    EXPECT_NEAR(view->GetCameraTarget()[1], 24.0f, 1e-4f);
    EXPECT_EQ(position.text(), "0, 24, 0");
    view->MoveTimer().start();
    QTest::keyRelease(view, Qt::Key_W);
    EXPECT_FALSE(view->MoveTimer().isActive());
}

TEST_F(ViewDrags, KeysMoveNothingInOrbitMode)
{
    view->setFocus();
    QTest::keyPress(view, Qt::Key_W);
    QMetaObject::invokeMethod(&view->MoveTimer(), "timeout");
    QTest::keyRelease(view, Qt::Key_W);
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
    EXPECT_FALSE(view->MoveTimer().isActive());
}

TEST_F(ViewDrags, FirstPersonButtonsMoveForwardWhileHeld)
{
    view->SetFirstPerson(true);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        press(QPoint(100, 100), Qt::NoModifier, button);
        EXPECT_TRUE(view->MoveTimer().isActive());
        EXPECT_EQ(view->Camera().MoveFlags, std::uint32_t(ViewCamera::MoveForward));
        release(QPoint(100, 100), button);
        EXPECT_FALSE(view->MoveTimer().isActive());
        EXPECT_EQ(view->Camera().MoveFlags, 0u);
    }
    // Alt with the button drives backwards.
    press(QPoint(100, 100), Qt::AltModifier, Qt::LeftButton);
    QMetaObject::invokeMethod(&view->MoveTimer(), "timeout");
    release(QPoint(100, 100));
    EXPECT_NEAR(view->GetCameraTarget()[1], -8.0f, 1e-4f);
}

TEST_F(ViewDrags, KeyRepeatsAreNotSeparatePresses)
{
    view->SetFirstPerson(true);
    view->setFocus();
    QTest::keyPress(view, Qt::Key_W);
    // A repeated release followed by a repeated press, as X11 sends while a key is held.
    QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_W, Qt::NoModifier, "w", true);
    QApplication::sendEvent(view, &repeatUp);
    QKeyEvent repeatDown(QEvent::KeyPress, Qt::Key_W, Qt::NoModifier, "w", true);
    QApplication::sendEvent(view, &repeatDown);
    EXPECT_TRUE(view->MoveTimer().isActive());
    EXPECT_EQ(view->Camera().MoveFlags, std::uint32_t(ViewCamera::MoveForward));
    QTest::keyRelease(view, Qt::Key_W);
    EXPECT_FALSE(view->MoveTimer().isActive());
}

} // namespace
