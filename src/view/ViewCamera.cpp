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

// Sine and cosine of degrees, exact at whole quarter turns: level flight at pitch -90 and
// straight runs along an axis must not drift by rounding.
float sinDegrees(float degrees)
{
    const float quarters = degrees / 90.0f;
    if (quarters == std::floor(quarters)) {
        static constexpr float values[] = {0.0f, 1.0f, 0.0f, -1.0f};
        return values[((static_cast<long long>(quarters) % 4) + 4) % 4];
    }
    return static_cast<float>(std::sin(static_cast<double>(degrees) * std::numbers::pi / 180.0));
}

float cosDegrees(float degrees)
{
    return sinDegrees(degrees + 90.0f);
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
    const float climb = s * cosDegrees(Pitch);
    if (MoveFlags & MoveForward) {
        TargetX += sinDegrees(Heading) * s;
        TargetY += cosDegrees(Heading) * s;
        TargetZ -= climb;
    }
    if (MoveFlags & MoveBack) {
        TargetX -= sinDegrees(Heading) * s;
        TargetY -= cosDegrees(Heading) * s;
        TargetZ += climb;
    }
    if (MoveFlags & StrafeLeft) {
        TargetX += sinDegrees(Heading - 90.0f) * s;
        TargetY += cosDegrees(Heading - 90.0f) * s;
    }
    if (MoveFlags & StrafeRight) {
        TargetX += sinDegrees(Heading + 90.0f) * s;
        TargetY += cosDegrees(Heading + 90.0f) * s;
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
