#include "Quaternion.h"

#include <cmath>

TQuaternion QuatRotationX(float angle)
{
    return {std::sin(angle / 2.0f), 0.0f, 0.0f, std::cos(angle / 2.0f)};
}

TQuaternion QuatRotationY(float angle)
{
    return {0.0f, std::sin(angle / 2.0f), 0.0f, std::cos(angle / 2.0f)};
}

TQuaternion QuatRotationZ(float angle)
{
    return {0.0f, 0.0f, std::sin(angle / 2.0f), std::cos(angle / 2.0f)};
}

TQuaternion QuatMultiply(const TQuaternion& a, const TQuaternion& b)
{
    TQuaternion r;
    r.x = a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y;
    r.y = a.w * b.y + b.w * a.y + b.x * a.z - a.x * b.z;
    r.z = a.w * b.z + b.w * a.z + a.x * b.y - b.x * a.y;
    r.w = a.w * b.w - b.x * a.x - a.y * b.y - b.z * a.z;
    return QuatNormalize(r);
}

TQuaternion QuatNormalize(const TQuaternion& q)
{
    const float lengthSquared = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
    if (lengthSquared == 0.0f)
        return q;
    const float scale = 1.0f / std::sqrt(lengthSquared);
    return {q.x * scale, q.y * scale, q.z * scale, q.w * scale};
}
