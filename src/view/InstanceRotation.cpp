#include "InstanceRotation.h"

#include <algorithm>
#include <cmath>

namespace {

// Values a little beyond ±1 come from rounding in the files; outside that range the arc
// sine and cosine have no value and the item would vanish.
double clampUnit(double v)
{
    return std::clamp(v, -1.0, 1.0);
}

} // namespace

std::array<float, 16> instanceMatrix(float posX, float posY, float posZ, float rotX, float rotY, float rotZ,
                                     float rotW)
{
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, posX, posY, posZ, 1};
    const double w = clampUnit(-double{rotW});
    const double s = std::sqrt(1 - w * w);
    if (s == 0)
        return m;
    double x = std::asin(clampUnit(rotX)) / s;
    double y = std::asin(clampUnit(rotY)) / s;
    double z = std::asin(clampUnit(rotZ)) / s;
    const double angle = 2 * std::acos(w);
    const double length = std::sqrt(x * x + y * y + z * z);
    // As glRotate: the axis is normalised, and a null axis turns nothing.
    if (angle == 0 || !(length > 1e-6))
        return m;
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(angle), sn = std::sin(angle), t = 1 - c;
    const double r[9] = {t * x * x + c,     t * x * y + sn * z, t * x * z - sn * y,  // column 0
                         t * x * y - sn * z, t * y * y + c,     t * y * z + sn * x,  // column 1
                         t * x * z + sn * y, t * y * z - sn * x, t * z * z + c};     // column 2
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            m[static_cast<std::size_t>(col * 4 + row)] = static_cast<float>(r[col * 3 + row]);
    return m;
}

std::array<float, 3> placePoint(const std::array<float, 16>& m, const std::array<float, 3>& p)
{
    return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12], m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]};
}
