#pragma once

// The view's projection and modelview as plain numbers, in OpenGL's column-major layout,
// so mouse rays are computed from the camera as it is now rather than from the last frame.

#include <array>
#include <optional>

struct ViewCamera;

using Matrix4 = std::array<double, 16>; // column-major: element (row, col) at col * 4 + row
using Viewport = std::array<int, 4>;    // x, y, width, height

Matrix4 identityMatrix();
Matrix4 multiplyMatrix(const Matrix4& a, const Matrix4& b); // a·b, as glMultMatrix onto a
Matrix4 perspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar);
Matrix4 rotationMatrix(double angleDegrees, double x, double y, double z);
Matrix4 translationMatrix(double x, double y, double z);
std::optional<Matrix4> invertMatrix(const Matrix4& m);

struct ViewMatrices {
    Matrix4 projection; // perspective with the camera multiplied on
    Matrix4 modelview;  // the translation by the negative target
};

// The matrices a frame of a view of this size draws with: a 45 degree perspective from
// 1 to 8000 units, the orbit or first-person camera, and the target at the origin.
ViewMatrices cameraMatrices(const ViewCamera& camera, int width, int height);

// Window coordinates (y up, depth 0..1) back to world coordinates; nothing when the
// matrices cannot be inverted.
std::optional<std::array<double, 3>> unprojectPoint(double winX, double winY, double winZ,
                                                    const ViewMatrices& matrices, const Viewport& viewport);

// The point the picture is seen from, in world units: the centre of projection of
// projection · modelview (a pick matrix on the projection leaves it where it is); nothing
// for matrices without one.
std::optional<std::array<double, 3>> eyePosition(const Matrix4& projection, const Matrix4& modelview);
