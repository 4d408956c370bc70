#include "PlanePoints.h"
#include "ViewCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Identity matrices: window (x, y) maps straight to normalised coordinates, the ray runs
// from z = -1 to z = +1.
ViewMatrices identityView()
{
    return {identityMatrix(), identityMatrix()};
}

void expectPoint(const std::optional<Vec3d>& p, double x, double y, double z, double tolerance = 1e-9)
{
    ASSERT_TRUE(p.has_value());
    EXPECT_NEAR((*p)[0], x, tolerance);
    EXPECT_NEAR((*p)[1], y, tolerance);
    EXPECT_NEAR((*p)[2], z, tolerance);
}

TEST(ViewMatricesMath, InverseTimesMatrixIsIdentityAndSingularHasNone)
{
    const Matrix4 m = multiplyMatrix(perspectiveMatrix(45, 4.0 / 3.0, 1, 8000),
                                     multiplyMatrix(rotationMatrix(30, 1, 0, 0), translationMatrix(5, -7, 2)));
    const auto inverse = invertMatrix(m);
    ASSERT_TRUE(inverse);
    const Matrix4 product = multiplyMatrix(m, *inverse);
    const Matrix4 identity = identityMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(product[i], identity[i], 1e-9) << i;
    EXPECT_FALSE(invertMatrix(Matrix4{}));
}

TEST(MouseRayMath, WindowYIsFlippedAndUnprojectedAtBothDepths)
{
    // Pixel (75, 24) of a 100x100 view: window y = 100 - 24 - 1 = 75.
    const auto ray = mouseRay(75, 24, identityView(), {0, 0, 100, 100});
    ASSERT_TRUE(ray);
    EXPECT_NEAR(ray->nearPoint[0], 0.5, 1e-12);
    EXPECT_NEAR(ray->nearPoint[1], 0.5, 1e-12);
    EXPECT_NEAR(ray->nearPoint[2], -1.0, 1e-12);
    EXPECT_NEAR(ray->farPoint[2], 1.0, 1e-12);
    EXPECT_FALSE(mouseRay(1, 1, identityView(), {0, 0, 0, 100}));
}

TEST(PlanePointsMath, TheFourDragRowsAndThePan)
{
    const MouseRay ray{{0.5, 0.25, -1.0}, {1.5, 0.75, 1.0}};
    const Vec3d s{10.0, 20.0, 0.0}; // t = 0.5 at z = 0
    expectPoint(dragPoint(DragMode::Plane, ray, s), 1.0, 0.5, 0.0);
    expectPoint(dragPoint(DragMode::AxisX, ray, s), 1.0, 20.0, 0.0);
    expectPoint(dragPoint(DragMode::AxisY, ray, s), 10.0, 0.5, 0.0);
    // Axis Z meets the upright plane y = s.y: here y = 0.5 at t = 0.5, so z = 0.
    expectPoint(dragPoint(DragMode::AxisZ, ray, Vec3d{10.0, 0.5, 99.0}), 10.0, 0.5, 0.0);
    expectPoint(panPoint(ray, 1.0), 1.5, 0.75, 1.0);
}

TEST(PlanePointsMath, ARayAlongThePlaneGivesNoPoint)
{
    const MouseRay level{{0.0, 0.0, 5.0}, {3.0, 4.0, 5.0}};
    EXPECT_FALSE(dragPoint(DragMode::Plane, level, Vec3d{0, 0, 0}));
    EXPECT_FALSE(dragPoint(DragMode::AxisX, level, Vec3d{0, 0, 0}));
    EXPECT_FALSE(panPoint(level, 1.0));
    // Straight down runs along every upright plane: no axis Z point.
    const MouseRay down{{1.0, 2.0, 10.0}, {1.0, 2.0, -10.0}};
    EXPECT_FALSE(dragPoint(DragMode::AxisZ, down, Vec3d{0, 0, 0}));
    expectPoint(dragPoint(DragMode::AxisX, down, Vec3d{0, 0, 3}), 1.0, 0.0, 3.0);
    // A ray too short to have a finite parameter.
    const MouseRay tiny{{0.0, 0.0, 0.0}, {0.0, 0.0, 1e-320}};
    EXPECT_FALSE(panPoint(tiny, 1e300));
}

TEST(CameraRays, StartCameraLooksDownWithXRightAndYUp)
{
    ViewCamera camera;
    const ViewMatrices matrices = cameraMatrices(camera, 640, 480);
    const Viewport viewport{0, 0, 640, 480};
    // Window row 240 is pixel row 239 counted from the top.
    expectPoint(panPoint(*mouseRay(320, 239, matrices, viewport), 0.0), 0.0, 0.0, 0.0, 1e-6);
    // 48 pixels right of centre: 0.15 of the half width, 600·tan(22.5°)·4/3 units.
    const double halfHeight = 600.0 * std::tan(std::numbers::pi / 8.0);
    expectPoint(panPoint(*mouseRay(368, 239, matrices, viewport), 0.0), 0.15 * halfHeight * 4.0 / 3.0, 0.0, 0.0,
                1e-6);
    expectPoint(panPoint(*mouseRay(320, 191, matrices, viewport), 0.0), 0.0, 0.2 * halfHeight, 0.0, 1e-6);

    // The target shifts the ground under the pointer by itself.
    camera.SetTarget(100.0f, -50.0f, 0.0f);
    expectPoint(panPoint(*mouseRay(320, 239, cameraMatrices(camera, 640, 480), viewport), 0.0), 100.0, -50.0, 0.0,
                1e-6);
}

TEST(CameraRays, OrbitTurnAboutZTurnsTheGroundUnderThePointer)
{
    ViewCamera camera;
    camera.AngleZ = 90.0f;
    const auto p = panPoint(*mouseRay(368, 239, cameraMatrices(camera, 640, 480), {0, 0, 640, 480}), 0.0);
    ASSERT_TRUE(p);
    EXPECT_NEAR((*p)[0], 0.0, 1e-4);
    EXPECT_LT((*p)[1], -40.0);
}

TEST(CameraRays, FirstPersonLooksAlongItsHeading)
{
    ViewCamera camera;
    camera.SetFirstPerson(true);
    camera.SetTarget(5.0f, 6.0f, 7.0f);
    for (const float heading : {0.0f, 90.0f, 225.0f}) {
        camera.Heading = heading;
        const auto ray = mouseRay(320, 239, cameraMatrices(camera, 640, 480), {0, 0, 640, 480});
        ASSERT_TRUE(ray);
        const double dx = ray->farPoint[0] - ray->nearPoint[0], dy = ray->farPoint[1] - ray->nearPoint[1],
                     dz = ray->farPoint[2] - ray->nearPoint[2];
        const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        const double h = heading * std::numbers::pi / 180.0;
        EXPECT_NEAR(dx / length, std::sin(h), 1e-3) << heading;
        EXPECT_NEAR(dy / length, std::cos(h), 1e-3) << heading;
        EXPECT_NEAR(dz / length, 0.0, 1e-3) << heading;
        // The ray starts at the camera's own position, one unit out.
        EXPECT_NEAR(ray->nearPoint[2], 7.0, 1e-2);
    }
}

} // namespace
