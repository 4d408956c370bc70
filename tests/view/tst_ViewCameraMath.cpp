#include "ViewCamera.h"

#include <QtCore/qnamespace.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

ViewCamera firstPersonCamera()
{
    ViewCamera camera;
    camera.SetFirstPerson(true);
    return camera;
}

TEST(ViewCameraKeys, ForwardKeysMoveEightUnitsAlongPlusYAtTheStartPitch)
{
    for (const int key : {int(Qt::Key_W), int(Qt::Key_Up)}) {
        ViewCamera camera = firstPersonCamera();
        camera.KeyDown(key, false);
        camera.MovementTick();
        camera.MovementTick();
        // Level and straight: no drift off the axis from rounding, however long it is held.
        EXPECT_EQ(camera.PositionText(), "0, 16, 0");
        camera.KeyUp(key, false);
        EXPECT_EQ(camera.MoveFlags, 0u);
    }
}

TEST(ViewCameraKeys, ShiftCtrlAndAltChooseSpeedAndDirection)
{
    struct Case {
        int modifierKey;
        bool alt;
        float expectedY;
    };
    for (const Case c : {Case{Qt::Key_Shift, false, 10.0f}, Case{Qt::Key_Control, false, 1.0f},
                         Case{Qt::Key_Shift, true, -10.0f}, Case{Qt::Key_Control, true, -1.0f}}) {
        ViewCamera camera = firstPersonCamera();
        camera.KeyDown(c.modifierKey, c.alt);
        camera.KeyDown(Qt::Key_W, c.alt);
        camera.MovementTick();
        EXPECT_FLOAT_EQ(camera.TargetY, c.expectedY) << c.modifierKey << " alt " << c.alt;
        camera.KeyUp(c.modifierKey, false);
        EXPECT_EQ(camera.SpeedIndex, 1);
        EXPECT_FALSE(camera.Reverse);
    }
}

TEST(ViewCameraKeys, EachMovementKeySetsItsOwnFlag)
{
    ViewCamera camera = firstPersonCamera();
    const std::pair<int, std::uint32_t> keys[] = {
        {Qt::Key_Up, 0x002},    {Qt::Key_W, 0x002}, {Qt::Key_Down, 0x004}, {Qt::Key_S, 0x004},
        {Qt::Key_Left, 0x008},  {Qt::Key_Right, 0x010}, {Qt::Key_A, 0x020}, {Qt::Key_D, 0x040},
        {Qt::Key_R, 0x080},     {Qt::Key_F, 0x100}};
    for (const auto& [key, flag] : keys) {
        camera.KeyDown(key, false);
        EXPECT_EQ(camera.MoveFlags, flag) << key;
        camera.KeyUp(key, false);
        EXPECT_EQ(camera.MoveFlags, 0u) << key;
    }
    camera.KeyDown(Qt::Key_Q, false);
    EXPECT_EQ(camera.MoveFlags, 0u);
}

TEST(ViewCameraKeys, KeysDoNothingInOrbitMode)
{
    ViewCamera camera;
    camera.Pitch = -30.0f;
    for (const int key : {int(Qt::Key_W), int(Qt::Key_Shift), int(Qt::Key_Control), int(Qt::Key_Home),
                          int(Qt::Key_R)})
        camera.KeyDown(key, true);
    EXPECT_EQ(camera.MoveFlags, 0u);
    EXPECT_EQ(camera.SpeedIndex, 1);
    EXPECT_FALSE(camera.Reverse);
    EXPECT_FLOAT_EQ(camera.Pitch, -30.0f);
    camera.MovementTick();
    EXPECT_EQ(camera.PositionText(), "0, 0, 0");
}

TEST(ViewCameraKeys, HomeLevelsThePitch)
{
    ViewCamera camera = firstPersonCamera();
    camera.MouseTurn(0, 100, false);
    EXPECT_FLOAT_EQ(camera.Pitch, -40.0f);
    camera.KeyDown(Qt::Key_Home, false);
    EXPECT_FLOAT_EQ(camera.Pitch, -90.0f);
}

TEST(ViewCameraTick, StepsFollowHeadingPitchAndOrder)
{
    // Heading 90 looks along +x; pitch 0 looks straight down, so forward descends.
    ViewCamera camera = firstPersonCamera();
    camera.Heading = 90.0f;
    camera.Pitch = 0.0f;
    camera.MoveFlags = ViewCamera::MoveForward;
    camera.MovementTick();
    EXPECT_EQ(camera.PositionText(), "8, 0, -8");
    // Half way down at heading 30: a quarter of the step to x, the sine of 60 degrees down.
    ViewCamera slant = firstPersonCamera();
    slant.Heading = 30.0f;
    slant.Pitch = -60.0f;
    slant.MoveFlags = ViewCamera::MoveForward;
    slant.MovementTick();
    EXPECT_NEAR(slant.TargetX, 4.0f, 1e-5f);
    EXPECT_NEAR(slant.TargetY, 8.0f * std::sqrt(3.0f) / 2.0f, 1e-5f);
    EXPECT_NEAR(slant.TargetZ, -4.0f, 1e-5f);

    // Strafing right at heading 0 moves +x; up and down cancel; turning comes last and
    // is not wrapped, so the strafe used the heading before the turn.
    ViewCamera strafe = firstPersonCamera();
    strafe.MoveFlags = ViewCamera::StrafeRight | ViewCamera::TurnLeft | ViewCamera::MoveUp | ViewCamera::MoveDown;
    strafe.MovementTick();
    EXPECT_NEAR(strafe.TargetX, 8.0f, 1e-4f);
    EXPECT_NEAR(strafe.TargetY, 0.0f, 1e-4f);
    EXPECT_FLOAT_EQ(strafe.TargetZ, 0.0f);
    EXPECT_FLOAT_EQ(strafe.Heading, -3.0f);

    // Turning ignores speed and reverse; strafing left with reverse goes the other way.
    ViewCamera reversed = firstPersonCamera();
    reversed.Reverse = true;
    reversed.SpeedIndex = 2;
    reversed.MoveFlags = ViewCamera::StrafeLeft | ViewCamera::TurnRight | ViewCamera::MoveBack;
    reversed.MovementTick();
    EXPECT_NEAR(reversed.TargetX, 10.0f, 1e-4f);
    EXPECT_NEAR(reversed.TargetY, 10.0f, 1e-4f);
    EXPECT_FLOAT_EQ(reversed.Heading, 3.0f);
}

TEST(ViewCameraMouse, FirstPersonPitchStaysWithinItsRangeAndHeadingWraps)
{
    ViewCamera camera = firstPersonCamera();
    camera.MouseTurn(0, 500, true);
    EXPECT_FLOAT_EQ(camera.Pitch, 0.0f);
    EXPECT_TRUE(camera.Reverse);
    camera.MouseTurn(0, -1000, false);
    EXPECT_FLOAT_EQ(camera.Pitch, -180.0f);
    EXPECT_FALSE(camera.Reverse);
    camera.MouseTurn(-10, 0, false);
    EXPECT_FLOAT_EQ(camera.Heading, 355.0f);
    camera.MouseTurn(20, 0, false);
    EXPECT_FLOAT_EQ(camera.Heading, 5.0f);
    EXPECT_FLOAT_EQ(camera.AngleZ, 0.0f);
}

TEST(ViewCameraMouse, OrbitDragTurnsByHalfThePixelsAndWraps)
{
    ViewCamera camera;
    camera.MouseTurn(20, 0, false);
    EXPECT_FLOAT_EQ(camera.AngleZ, 10.0f);
    camera.AngleZ = 355.0f;
    camera.MouseTurn(20, 0, false);
    EXPECT_FLOAT_EQ(camera.AngleZ, 5.0f);
    camera.MouseTurn(0, -4, false);
    EXPECT_FLOAT_EQ(camera.AngleX, 358.0f);
    EXPECT_FLOAT_EQ(camera.Pitch, -90.0f);
    EXPECT_FLOAT_EQ(wrapAngle(365.0f), 5.0f);
    EXPECT_FLOAT_EQ(wrapAngle(360.0f), 360.0f);
}

TEST(ViewCameraZoom, WheelAndStepsScaleTheZoom)
{
    ViewCamera camera;
    camera.WheelZoom(120);
    EXPECT_FLOAT_EQ(camera.Zoom, -600.0f * 0.94f);
    camera.WheelZoom(-120);
    EXPECT_NEAR(camera.Zoom, -600.0f * 0.94f * 1.06f, 1e-3f);

    ViewCamera steps;
    steps.ZoomStep(-5.0f);
    EXPECT_FLOAT_EQ(steps.Zoom, -480.0f);
    steps.ZoomStep(5.0f);
    EXPECT_FLOAT_EQ(steps.Zoom, -576.0f);

    ViewCamera firstPerson = firstPersonCamera();
    firstPerson.WheelZoom(120);
    EXPECT_FLOAT_EQ(firstPerson.Zoom, -600.0f);
    firstPerson.ZoomStep(-5.0f);
    EXPECT_FLOAT_EQ(firstPerson.Zoom, -480.0f);
}

TEST(ViewCameraModes, ResetKeepsTheTargetAndSwitchingKeepsAngles)
{
    ViewCamera camera;
    camera.SetTarget(10.0f, -20.0f, 30.5f);
    camera.AngleX = 45.0f;
    camera.AngleZ = 90.0f;
    camera.Zoom = -100.0f;
    camera.Heading = 33.0f;
    camera.Pitch = -10.0f;
    camera.ResetView();
    EXPECT_FLOAT_EQ(camera.AngleX, 0.0f);
    EXPECT_FLOAT_EQ(camera.AngleZ, 0.0f);
    EXPECT_FLOAT_EQ(camera.Zoom, -600.0f);
    EXPECT_FLOAT_EQ(camera.Heading, 0.0f);
    EXPECT_FLOAT_EQ(camera.Pitch, -90.0f);
    EXPECT_EQ(camera.PositionText(), "10, -20, 30.5");

    camera.SetFirstPerson(true);
    camera.KeyDown(Qt::Key_W, false);
    camera.KeyDown(Qt::Key_D, false);
    camera.Heading = 12.0f;
    camera.SetFirstPerson(false);
    EXPECT_EQ(camera.MoveFlags, 0u);
    EXPECT_FLOAT_EQ(camera.Heading, 12.0f);
    EXPECT_EQ(camera.PositionText(), "10, -20, 30.5");
}

TEST(ViewCameraText, PositionTextIgnoresTheLocale)
{
    // The GUI toolkit takes the user's locale; a decimal comma must not reach the text.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    ViewCamera camera;
    camera.SetTarget(-1557.48f, 0.125f, 1234567.0f);
    EXPECT_EQ(camera.PositionText(), "-1557.48, 0.125, 1.23457E006");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
