#pragma once

#include "DffWriter.h"

#include <array>
#include <cstdint>
#include <vector>

using Vec3 = std::array<float, 3>;
using Vec2 = std::array<float, 2>;

// Collects faces of one geometry, each on a material, and turns them into the geometry's
// vertex arrays and one split per material: a triangle list, or one triangle strip per
// material whose pieces are joined by degenerate triangles. Every face gets vertices of its
// own so that texture coordinates and normals stay sharp at edges.
class MeshBuilder {
public:
    MeshBuilder(std::vector<DffMaterial> materials, bool strips);

    // Corners counter-clockwise seen from the front; uv per corner. `twoSided` adds the back.
    void quad(std::uint32_t material, const std::array<Vec3, 4>& corners, const std::array<Vec2, 4>& uv,
              bool twoSided = false);
    void triangle(std::uint32_t material, const std::array<Vec3, 3>& corners, const std::array<Vec2, 3>& uv);

    // An axis-aligned box from `low` to `high`: four walls on `wallMaterial` with the
    // texture repeated every `tile` units, the top on `topMaterial` (none when it is -1).
    void box(std::uint32_t wallMaterial, int topMaterial, Vec3 low, Vec3 high, float tile);

    // Prelit colour of the vertices added from now on.
    void setShade(std::array<std::uint8_t, 4> colour) { m_shade = colour; }

    DffGeometry take();

private:
    std::uint32_t vertex(const Vec3& position, const Vec3& normal, const Vec2& uv);
    void appendPiece(std::uint32_t material, const std::vector<std::uint32_t>& stripOrder);

    DffGeometry m_geometry;
    std::vector<std::vector<std::uint32_t>> m_indices; // per material
    std::array<std::uint8_t, 4> m_shade{255, 255, 255, 255};
};
