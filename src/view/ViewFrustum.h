#pragma once

#include "BoundingSphere.h"

#include <array>

// The six clip planes of projection · modelview, in the coordinates the modelview takes
// (world units): what lies wholly outside one of them cannot reach the picture, nor the
// few pixels of a pick region when the projection carries a pick matrix.
class ViewFrustum {
public:
    // A frustum that culls nothing.
    ViewFrustum() = default;

    // Column-major matrices as OpenGL returns them.
    static ViewFrustum fromMatrices(const std::array<float, 16>& projection, const std::array<float, 16>& modelview);

    // True when the sphere lies wholly on the outer side of some plane.
    bool outside(const BoundingSphere& sphere) const;

    struct Plane {
        float a = 0, b = 0, c = 0, d = 1; // inside where a·x + b·y + c·z + d ≥ 0
    };
    const std::array<Plane, 6>& planes() const { return m_planes; }

private:
    std::array<Plane, 6> m_planes{};
    int m_count = 0; // planes that can cut; a degenerate matrix gives fewer
};
