// The arithmetic of "As In Game" without a picture: the camera found from the matrices a
// frame or a pick pass draws with, and the draw and swap distances of the games' rule.
#include "InGameDistances.h"
#include "ViewCamera.h"
#include "ViewMatrices.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// What gluPickMatrix puts before the projection: a small window scaled up to the whole view.
Matrix4 pickMatrix(double x, double y, double size, int width, int height)
{
    Matrix4 pick = identityMatrix();
    pick[0] = width / size;
    pick[5] = height / size;
    pick[12] = (width - 2 * x) / size;
    pick[13] = (height - 2 * y) / size;
    return pick;
}

TEST(InGameDistances, TheCameraIsWhereTheOrbitAndFirstPersonCamerasStand)
{
    ViewCamera orbit;
    orbit.AngleX = -60;
    orbit.AngleZ = 30;
    orbit.Zoom = -600;
    orbit.TargetX = 100;
    orbit.TargetY = 200;
    orbit.TargetZ = 5;
    const ViewMatrices matrices = cameraMatrices(orbit, 1280, 800);
    const auto eye = eyePosition(matrices.projection, matrices.modelview);
    ASSERT_TRUE(eye);
    EXPECT_NEAR(distance(*eye, {100, 200, 5}), 600, 1e-6);
    EXPECT_NEAR((*eye)[2], 5 + 600 * std::cos(60 * 3.14159265358979 / 180), 1e-6) << "tilted 60 degrees from straight down";

    const auto picked = eyePosition(multiplyMatrix(pickMatrix(300, 500, 2, 1280, 800), matrices.projection),
                                    matrices.modelview);
    ASSERT_TRUE(picked);
    EXPECT_NEAR(distance(*picked, *eye), 0, 1e-6) << "a pick pass measures from the same place";

    ViewCamera walker;
    walker.FirstPerson = true;
    walker.Heading = 75;
    walker.TargetX = -40;
    walker.TargetY = 12;
    walker.TargetZ = 30;
    const ViewMatrices walking = cameraMatrices(walker, 640, 480);
    const auto standing = eyePosition(walking.projection, walking.modelview);
    ASSERT_TRUE(standing);
    EXPECT_NEAR(distance(*standing, {-40, 12, 30}), 0, 1e-6);

    Matrix4 flat = identityMatrix(); // orthographic: no eye
    EXPECT_FALSE(eyePosition(flat, identityMatrix()));
}

TEST(InGameDistances, DrawnWithinTheDrawDistanceAndALodOnlyBeyondItsPartners)
{
    struct Case {
        InGameDistances::Reach reach;
        float distance, scale;
        bool drawn;
    };
    const Case cases[] = {
        {{100, -1}, 100, 1, true},   {{100, -1}, 100.01f, 1, false}, {{100, -1}, 399, 4, true},
        {{100, -1}, 26, 0.25f, false}, {{1000, 150}, 150, 1, false},  {{1000, 150}, 150.01f, 1, true},
        {{1000, 150}, 1000, 1, true}, {{1000, 150}, 1001, 1, false},  {{1000, 150}, 299, 2, false},
        {{1000, 150}, 301, 2, true},  {{0, -1}, 0, 1, true},           {{0, -1}, 0.5f, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InGameDistances::drawn(c.reach, c.distance * c.distance, c.scale), c.drawn)
            << "draw " << c.reach.draw << ", swap " << c.reach.swap << ", at " << c.distance << " x" << c.scale;
}

} // namespace
