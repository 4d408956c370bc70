// Rules of the scene drawing that need no picture: how a placement's stored rotation turns
// its item, when a timed object is there, and which IDE file an IPL file prefers.
#include "DefinitionLookup.h"
#include "InstanceRotation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float Tolerance = 1e-5f;

void expectPoint(const std::array<float, 3>& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual[0], x, Tolerance);
    EXPECT_NEAR(actual[1], y, Tolerance);
    EXPECT_NEAR(actual[2], z, Tolerance);
}

} // namespace

TEST(InstanceRotation, StoredInverseOfATurnAboutZTurnsTheItemForward)
{
    // An item turned 90° counter-clockwise seen from above is stored with the inverse
    // quaternion (0, 0, -sin 45°, cos 45°).
    const float s = std::sqrt(0.5f);
    const auto m = instanceMatrix(100, 200, 5, 0, 0, -s, s);
    expectPoint(placePoint(m, {1, 0, 0}), 100, 201, 5);
    expectPoint(placePoint(m, {0, 1, 0}), 99, 200, 5);
    expectPoint(placePoint(m, {0, 0, 1}), 100, 200, 6);
}

TEST(InstanceRotation, TurnsAboutXAndYAndTheIdentity)
{
    const float s = std::sqrt(0.5f);
    // Stored (-sin 45°, 0, 0, cos 45°): 90° about +x, so +y goes to +z.
    expectPoint(placePoint(instanceMatrix(0, 0, 0, -s, 0, 0, s), {0, 1, 0}), 0, 0, 1);
    // 180° about y: w 0, y -1; the arc sine of -1 is -90°, scaled back to a unit axis.
    expectPoint(placePoint(instanceMatrix(0, 0, 0, 0, -1, 0, 0), {1, 0, 0}), -1, 0, 0);
    expectPoint(placePoint(instanceMatrix(3, 4, 5, 0, 0, 0, 1), {1, 2, 3}), 4, 6, 8);
    expectPoint(placePoint(instanceMatrix(3, 4, 5, 0, 0, 0, -1), {1, 2, 3}), 4, 6, 8);
}

TEST(InstanceRotation, ComponentsRoundedPastOneStillPlaceTheItem)
{
    // Files hold values such as w = 1.0000001 or x = -1.0000002; the item must not vanish.
    const auto m = instanceMatrix(10, 0, 0, 0, 0, 0, 1.0000001f);
    for (float v : m)
        EXPECT_TRUE(std::isfinite(v));
    expectPoint(placePoint(m, {1, 0, 0}), 11, 0, 0);
    const auto turned = instanceMatrix(0, 0, 0, 0, 0, -1.0000002f, 0);
    for (float v : turned)
        EXPECT_TRUE(std::isfinite(v));
    expectPoint(placePoint(turned, {1, 0, 0}), -1, 0, 0);
}

TEST(TimedObject, OnBetweenItsHoursAndAcrossMidnight)
{
    struct Case {
        int on, off, hour;
        bool expected;
    };
    const Case cases[] = {
        {6, 20, 5, false}, {6, 20, 6, true}, {6, 20, 19, true}, {6, 20, 20, false},
        {20, 6, 19, false}, {20, 6, 20, true}, {20, 6, 23, true}, {20, 6, 0, true},
        {20, 6, 5, true}, {20, 6, 6, false}, {20, 6, 12, false}, {7, 7, 7, false},
        {7, 7, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(timedObjectOn(c.on, c.off, c.hour), c.expected) << c.on << ".." << c.off << " at " << c.hour;
}

TEST(PreferredIDE, SameNameWithTheExtensionReplaced)
{
    EXPECT_EQ(preferredIDEName("DATA\\MAPS\\downtown\\downtown.ipl"), "DATA\\MAPS\\downtown\\downtown.IDE");
    EXPECT_EQ(preferredIDEName("data\\maps\\a.b.ipl"), "data\\maps\\a.b.IDE") << "the last dot counts";
    EXPECT_EQ(preferredIDEName("data\\maps.v2\\noext"), "data\\maps.v2\\noext.IDE")
        << "a dot in a folder name is no extension";
    EXPECT_EQ(preferredIDEName("plain"), "plain.IDE");
}
