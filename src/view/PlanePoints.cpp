#include "PlanePoints.h"

#include <cmath>

namespace {

// The ray parameter where coordinate `axis` reaches `value`; nothing when it never does.
std::optional<double> rayParameter(const MouseRay& ray, int axis, double value)
{
    const double d = ray.farPoint[axis] - ray.nearPoint[axis];
    if (d == 0.0)
        return std::nullopt;
    const double t = (value - ray.nearPoint[axis]) / d;
    if (!std::isfinite(t))
        return std::nullopt;
    return t;
}

double along(const MouseRay& ray, int axis, double t)
{
    return ray.nearPoint[axis] + t * (ray.farPoint[axis] - ray.nearPoint[axis]);
}

} // namespace

std::optional<MouseRay> mouseRay(int x, int y, const ViewMatrices& matrices, const Viewport& viewport)
{
    const double winX = x;
    const double winY = static_cast<double>(viewport[3]) - y - 1.0;
    const auto nearPoint = unprojectPoint(winX, winY, 0.0, matrices, viewport);
    const auto farPoint = unprojectPoint(winX, winY, 1.0, matrices, viewport);
    if (!nearPoint || !farPoint)
        return std::nullopt;
    return MouseRay{*nearPoint, *farPoint};
}

std::optional<Vec3d> dragPoint(DragMode mode, const MouseRay& ray, const Vec3d& s)
{
    if (mode == DragMode::AxisZ) {
        const auto t = rayParameter(ray, 1, s[1]);
        if (!t)
            return std::nullopt;
        return Vec3d{s[0], s[1], along(ray, 2, *t)};
    }
    const auto t = rayParameter(ray, 2, s[2]);
    if (!t)
        return std::nullopt;
    switch (mode) {
    case DragMode::AxisX:
        return Vec3d{along(ray, 0, *t), s[1], s[2]};
    case DragMode::AxisY:
        return Vec3d{s[0], along(ray, 1, *t), s[2]};
    default:
        return Vec3d{along(ray, 0, *t), along(ray, 1, *t), s[2]};
    }
}

std::optional<Vec3d> panPoint(const MouseRay& ray, double planeZ)
{
    return dragPoint(DragMode::Plane, ray, Vec3d{0.0, 0.0, planeZ});
}
