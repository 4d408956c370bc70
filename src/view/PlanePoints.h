#pragma once

// Where the ray under the mouse meets the planes of pans and object drags.

#include "ViewMatrices.h"

#include <array>
#include <optional>

using Vec3d = std::array<double, 3>;

// What a held left button is doing.
enum class DragMode : int {
    None = 0,
    Plane = 1, // the selection in the horizontal plane through it
    Pan = 2,   // the camera target in the horizontal plane through it
    AxisX = 4,
    AxisY = 5,
    AxisZ = 6,
};

// The mouse ray as its points on the near and far planes.
struct MouseRay {
    Vec3d nearPoint;
    Vec3d farPoint;
};

// The ray under view pixel (x, y), y counted from the top as the mouse gives it.
std::optional<MouseRay> mouseRay(int x, int y, const ViewMatrices& matrices, const Viewport& viewport);

// The drag point of a plane or single-axis drag for the selection at `s`: the ray meets the
// plane z = s.z (axis Z: y = s.y) and the coordinates other than the dragged ones stay s's.
// Nothing when the ray runs parallel to the plane.
std::optional<Vec3d> dragPoint(DragMode mode, const MouseRay& ray, const Vec3d& s);

// The point of the ray in the plane z = planeZ; nothing when the ray runs parallel to it.
std::optional<Vec3d> panPoint(const MouseRay& ray, double planeZ);
