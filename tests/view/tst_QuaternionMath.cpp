#include "Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

void expectQuat(const TQuaternion& q, float x, float y, float z, float w)
{
    EXPECT_NEAR(q.x, x, 1e-6f);
    EXPECT_NEAR(q.y, y, 1e-6f);
    EXPECT_NEAR(q.z, z, 1e-6f);
    EXPECT_NEAR(q.w, w, 1e-6f);
}

TEST(QuaternionRotation, HalfAnglesOnTheirAxis)
{
    const float h = std::sqrt(0.5f);
    expectQuat(QuatRotationX(Pi / 2), h, 0, 0, h);
    expectQuat(QuatRotationY(Pi / 2), 0, h, 0, h);
    expectQuat(QuatRotationZ(Pi / 2), 0, 0, h, h);
    expectQuat(QuatRotationZ(Pi), 0, 0, 1, 0);
    expectQuat(QuatRotationX(0), 0, 0, 0, 1);
}

TEST(QuaternionProduct, HandComputedCaseAndOrder)
{
    // i·j = k and j·i = -k: the product is not commutative.
    expectQuat(QuatMultiply({1, 0, 0, 0}, {0, 1, 0, 0}), 0, 0, 1, 0);
    expectQuat(QuatMultiply({0, 1, 0, 0}, {1, 0, 0, 0}), 0, 0, -1, 0);
    // (1 + i)(1 + j) = 1 + i + j + k, normalised to 0.5 each.
    expectQuat(QuatMultiply({1, 0, 0, 1}, {0, 1, 0, 1}), 0.5f, 0.5f, 0.5f, 0.5f);
    // Two quarter turns about Z are a half turn.
    expectQuat(QuatMultiply(QuatRotationZ(Pi / 2), QuatRotationZ(Pi / 2)), 0, 0, 1, 0);
}

TEST(QuaternionProduct, RotationThenItsInverseIsIdentity)
{
    for (const float angle : {0.3f, 1.0f, 2.5f, -1.2f}) {
        expectQuat(QuatMultiply(QuatRotationX(angle), QuatRotationX(-angle)), 0, 0, 0, 1);
        expectQuat(QuatMultiply(QuatRotationY(-angle), QuatRotationY(angle)), 0, 0, 0, 1);
    }
}

TEST(QuaternionProduct, ResultHasUnitLengthFromUnnormalisedInput)
{
    const TQuaternion q = QuatMultiply({2, 0, 0, 2}, {0, 0, 3, 0});
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-6f);
}

TEST(QuaternionNormalize, ScalesToUnitLengthAndLeavesZeroAlone)
{
    expectQuat(QuatNormalize({0, 3, 0, 4}), 0, 0.6f, 0, 0.8f);
    expectQuat(QuatNormalize({2, 2, 2, 2}), 0.5f, 0.5f, 0.5f, 0.5f);
    const TQuaternion zero = QuatNormalize({0, 0, 0, 0});
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.w, 0.0f);
    EXPECT_FALSE(std::isnan(zero.y));
    const TQuaternion tiny = QuatNormalize({0, 0, 0, -1e-3f});
    EXPECT_NEAR(tiny.w, -1.0f, 1e-6f);
}

} // namespace
