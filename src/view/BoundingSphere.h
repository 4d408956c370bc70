#pragma once

#include <array>

// A sphere that holds everything a model or placeholder draws, in the coordinates it is
// drawn in. Culling only ever asks whether it lies wholly outside the view.
struct BoundingSphere {
    std::array<float, 3> centre{0, 0, 0};
    float radius = 0;
};
