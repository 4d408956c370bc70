#include "ViewFrustum.h"

#include <cmath>

ViewFrustum ViewFrustum::fromMatrices(const std::array<float, 16>& projection, const std::array<float, 16>& modelview)
{
    // clip = projection · modelview, in double so narrow pick frustums keep their planes.
    double clip[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += double{projection[k * 4 + row]} * modelview[col * 4 + k];
            clip[col * 4 + row] = sum;
        }
    auto rowOf = [&](int row, int col) { return clip[col * 4 + row]; };

    // A point is inside when -w ≤ x, y, z ≤ w: each plane is row 3 plus or minus row i.
    ViewFrustum frustum;
    for (int i = 0; i < 3; ++i)
        for (const double sign : {1.0, -1.0}) {
            double p[4];
            for (int col = 0; col < 4; ++col)
                p[col] = rowOf(3, col) + sign * rowOf(i, col);
            const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            if (!(length > 1e-12))
                continue; // no direction: this plane cuts nothing
            frustum.m_planes[static_cast<std::size_t>(frustum.m_count++)] = {
                static_cast<float>(p[0] / length), static_cast<float>(p[1] / length),
                static_cast<float>(p[2] / length), static_cast<float>(p[3] / length)};
        }
    return frustum;
}

bool ViewFrustum::outside(const BoundingSphere& sphere) const
{
    // A small margin keeps rounding from dropping something that touches the view.
    const float reach = sphere.radius * 1.001f + 1e-3f;
    for (int i = 0; i < m_count; ++i) {
        const Plane& p = m_planes[static_cast<std::size_t>(i)];
        const float distance = p.a * sphere.centre[0] + p.b * sphere.centre[1] + p.c * sphere.centre[2] + p.d;
        if (distance < -reach)
            return true;
    }
    return false;
}
