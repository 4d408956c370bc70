#pragma once

// Rotations as the IPL files store them: four single-precision components, identity
// (0, 0, 0, 1). Used by the item editor to turn selected instances.
struct TQuaternion {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

// A rotation by `angle` radians about one world axis.
TQuaternion QuatRotationX(float angle);
TQuaternion QuatRotationY(float angle);
TQuaternion QuatRotationZ(float angle);

// The Hamilton product a·b, normalised.
TQuaternion QuatMultiply(const TQuaternion& a, const TQuaternion& b);

// Scaled to length 1 in single precision; a quaternion of zero length is returned unchanged.
TQuaternion QuatNormalize(const TQuaternion& q);
