#include "ViewCamera.h"

#include "NumberText.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

std::uint32_t moveFlagOfKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_W:
        return ViewCamera::MoveForward;
    case Qt::Key_Down:
    case Qt::Key_S:
        return ViewCamera::MoveBack;
    case Qt::Key_Left:
        return ViewCamera::TurnLeft;
    case Qt::Key_Right:
        return ViewCamera::TurnRight;
    case Qt::Key_A:
        return ViewCamera::StrafeLeft;
    case Qt::Key_D:
        return ViewCamera::StrafeRight;
    case Qt::Key_R:
        return ViewCamera::MoveUp;
    case Qt::Key_F:
        return ViewCamera::MoveDown;
    default:
        return 0;
    }
}

float radians(float degrees)
{
    return degrees * std::numbers::pi_v<float> / 180.0f;
}

} // namespace

float wrapAngle(float degrees)
{
    if (degrees > 360.0f)
        return degrees - 360.0f;
    if (degrees < 0.0f)
        return degrees + 360.0f;
    return degrees;
}

void ViewCamera::KeyDown(int key, bool alt)
{
    if (!FirstPerson)
        return;
    if (key == Qt::Key_Shift) {
        Reverse = alt;
        SpeedIndex = 2;
    } else if (key == Qt::Key_Control) {
        Reverse = alt;
        SpeedIndex = 0;
    } else if (key == Qt::Key_Home) {
        Pitch = -90.0f;
    }
    MoveFlags |= moveFlagOfKey(key);
}

void ViewCamera::KeyUp(int key, bool alt)
{
    if (!FirstPerson)
        return;
    if (key == Qt::Key_Shift || key == Qt::Key_Control) {
        Reverse = alt;
        SpeedIndex = 1;
    }
    MoveFlags &= ~moveFlagOfKey(key);
}

void ViewCamera::MovementTick()
{
    float s = SpeedIndex == 0 ? 1.0f : SpeedIndex == 2 ? 10.0f : 8.0f;
    if (Reverse)
        s = -s;
    const float h = radians(Heading);
    const float climb = s * std::cos(radians(Pitch));
    if (MoveFlags & MoveForward) {
        TargetX += std::sin(h) * s;
        TargetY += std::cos(h) * s;
        TargetZ -= climb;
    }
    if (MoveFlags & MoveBack) {
        TargetX -= std::sin(h) * s;
        TargetY -= std::cos(h) * s;
        TargetZ += climb;
    }
    if (MoveFlags & StrafeLeft) {
        TargetX += std::sin(radians(Heading - 90.0f)) * s;
        TargetY += std::cos(radians(Heading - 90.0f)) * s;
    }
    if (MoveFlags & StrafeRight) {
        TargetX += std::sin(radians(Heading + 90.0f)) * s;
        TargetY += std::cos(radians(Heading + 90.0f)) * s;
    }
    if (MoveFlags & MoveUp)
        TargetZ += s;
    if (MoveFlags & MoveDown)
        TargetZ -= s;
    if (MoveFlags & TurnLeft)
        Heading -= 3.0f;
    if (MoveFlags & TurnRight)
        Heading += 3.0f;
}

void ViewCamera::MouseTurn(int dx, int dy, bool alt)
{
    if (FirstPerson) {
        Pitch = std::clamp(Pitch + static_cast<float>(dy) / 2.0f, -180.0f, 0.0f);
        Heading = wrapAngle(Heading + static_cast<float>(dx) / 2.0f);
        Reverse = alt;
    } else {
        AngleX = wrapAngle(AngleX + static_cast<float>(dy) / 2.0f);
        AngleZ = wrapAngle(AngleZ + static_cast<float>(dx) / 2.0f);
    }
}

void ViewCamera::WheelZoom(int delta)
{
    if (!FirstPerson)
        Zoom -= Zoom * (static_cast<float>(delta) / 2000.0f);
}

void ViewCamera::ZoomStep(float divisor)
{
    Zoom += Zoom / divisor;
}

void ViewCamera::ResetView()
{
    const ViewCamera start;
    AngleX = start.AngleX;
    AngleY = start.AngleY;
    AngleZ = start.AngleZ;
    Zoom = start.Zoom;
    Pitch = start.Pitch;
    FirstPersonY = start.FirstPersonY;
    Heading = start.Heading;
}

void ViewCamera::SetFirstPerson(bool on)
{
    FirstPerson = on;
    MoveFlags = 0;
}

void ViewCamera::SetTarget(float x, float y, float z)
{
    TargetX = x;
    TargetY = y;
    TargetZ = z;
}

std::string ViewCamera::PositionText() const
{
    std::string text;
    appendShortFloat(text, TargetX);
    text += ", ";
    appendShortFloat(text, TargetY);
    text += ", ";
    appendShortFloat(text, TargetZ);
    return text;
}
