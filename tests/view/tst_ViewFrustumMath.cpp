// The clip planes of projection · modelview and the sphere test that culls with them:
// orthographic and perspective views, a moved camera, and the narrow view of a pick region.
#include "ViewFrustum.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Matrix = std::array<float, 16>;

constexpr Matrix Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                r[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
    return r;
}

Matrix ortho(float l, float r, float b, float t, float n, float f)
{
    return {2 / (r - l), 0, 0, 0, 0, 2 / (t - b), 0, 0, 0, 0, -2 / (f - n), 0,
            -(r + l) / (r - l), -(t + b) / (t - b), -(f + n) / (f - n), 1};
}

// As gluPerspective.
Matrix perspective(float fovyDegrees, float aspect, float n, float f)
{
    const float c = 1 / std::tan(fovyDegrees * 3.14159265f / 360);
    return {c / aspect, 0, 0, 0, 0, c, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
}

Matrix translate(float x, float y, float z)
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
}

// As gluPickMatrix for a region of w × h pixels centred on (x, y) of the viewport.
Matrix pickMatrix(float x, float y, float w, float h, const std::array<float, 4>& viewport)
{
    const Matrix move = translate((viewport[2] - 2 * (x - viewport[0])) / w, (viewport[3] - 2 * (y - viewport[1])) / h, 0);
    const Matrix scale{viewport[2] / w, 0, 0, 0, 0, viewport[3] / h, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return multiply(move, scale);
}

BoundingSphere sphere(float x, float y, float z, float r)
{
    return {{x, y, z}, r};
}

} // namespace

TEST(ViewFrustum, OrthographicBoxKeepsWhatTouchesItAndDropsWhatLiesBeyond)
{
    const ViewFrustum f = ViewFrustum::fromMatrices(ortho(-10, 10, -10, 10, -100, 100), Identity);
    EXPECT_FALSE(f.outside(sphere(0, 0, 0, 1)));
    EXPECT_FALSE(f.outside(sphere(10.5f, 0, 0, 1))) << "overlaps the right side";
    EXPECT_TRUE(f.outside(sphere(11.5f, 0, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(0, -12, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(0, 0, 102, 1))) << "behind the near plane (z up to 100 is in view)";
    EXPECT_FALSE(f.outside(sphere(0, 0, -100.5f, 1)));
    EXPECT_TRUE(f.outside(sphere(0, 0, -102, 1)));
    EXPECT_FALSE(f.outside(sphere(50, 50, 50, 100))) << "a large sphere reaching in";
}

TEST(ViewFrustum, PerspectiveFollowsTheCameraTransform)
{
    // The view's start camera: 45°, 1..8000, pulled back 600 above the target.
    const Matrix projection = perspective(45, 1.6f, 1, 8000);
    const Matrix modelview = multiply(translate(0, 0, -600), translate(-1000, 0, 0));
    const ViewFrustum f = ViewFrustum::fromMatrices(projection, modelview);
    // Half height seen at distance 600: 600·tan(22.5°) ≈ 248.5; half width ≈ 397.6.
    EXPECT_FALSE(f.outside(sphere(1000, 0, 0, 1)));
    EXPECT_FALSE(f.outside(sphere(1000 + 395, 0, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(1000 + 400, 0, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(1000, 252, 0, 1)));
    EXPECT_FALSE(f.outside(sphere(1000, 246, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(0, 0, 0, 100))) << "the map centre lies off to the side";
    EXPECT_TRUE(f.outside(sphere(1000, 0, 600.5f, 0.2f))) << "closer than the near plane";
    EXPECT_FALSE(f.outside(sphere(1000, 0, 599, 0.2f)));
    EXPECT_TRUE(f.outside(sphere(1000, 0, -7500, 10))) << "beyond the far plane";
}

TEST(ViewFrustum, PickRegionSeesOnlyTheFewPixelsAroundTheMouse)
{
    const std::array<float, 4> viewport{0, 0, 1280, 800};
    const Matrix projection = multiply(pickMatrix(640, 400, 2, 2, viewport), perspective(45, 1.6f, 1, 8000));
    const ViewFrustum f = ViewFrustum::fromMatrices(projection, translate(0, 0, -600));
    // One pixel is 2·248.5 / 800 ≈ 0.62 units at the target's depth.
    EXPECT_FALSE(f.outside(sphere(0, 0, 0, 0.1f)));
    EXPECT_FALSE(f.outside(sphere(1.5f, 0, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(3, 0, 0, 1)));
    EXPECT_TRUE(f.outside(sphere(0, -3, 0, 1)));
    EXPECT_FALSE(f.outside(sphere(0, 0, -3000, 1))) << "along the ray, deep down";
}

TEST(ViewFrustum, DegenerateMatricesCullNothing)
{
    const Matrix zero{};
    EXPECT_FALSE(ViewFrustum::fromMatrices(zero, Identity).outside(sphere(1e6f, 0, 0, 1)));
    EXPECT_FALSE(ViewFrustum().outside(sphere(-1e6f, 1e6f, 0, 0)));
}
