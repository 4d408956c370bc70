#include "MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

Vec3 minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

Vec3 faceNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    const Vec3 u = minus(b, a);
    const Vec3 v = minus(c, a);
    Vec3 n{u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0)
        n = {n[0] / length, n[1] / length, n[2] / length};
    return n;
}

} // namespace

MeshBuilder::MeshBuilder(std::vector<DffMaterial> materials, bool strips)
{
    m_indices.resize(materials.size());
    m_geometry.materials = std::move(materials);
    m_geometry.strips = strips;
}

std::uint32_t MeshBuilder::vertex(const Vec3& position, const Vec3& normal, const Vec2& uv)
{
    m_geometry.vertices.push_back(position);
    m_geometry.normals.push_back(normal);
    m_geometry.texCoords.push_back(uv);
    // Baked light from above and the south-west, so that walls stand apart without lighting.
    const float light = std::clamp(0.78f + 0.22f * normal[2] - 0.08f * normal[0] - 0.06f * normal[1], 0.5f, 1.0f);
    std::array<std::uint8_t, 4> shade = m_shade;
    for (int i = 0; i < 3; ++i)
        shade[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(std::lround(m_shade[static_cast<std::size_t>(i)] * light));
    m_geometry.prelit.push_back(shade);
    return static_cast<std::uint32_t>(m_geometry.vertices.size() - 1);
}

// `stripOrder` is the piece as a strip (3 or 4 indices). Lists take its triangles; strips
// join it to what the material has so far so that it starts on an even position, which
// keeps its winding.
void MeshBuilder::appendPiece(std::uint32_t material, const std::vector<std::uint32_t>& stripOrder)
{
    std::vector<std::uint32_t>& out = m_indices.at(material);
    if (!m_geometry.strips) {
        for (std::size_t i = 0; i + 2 < stripOrder.size(); ++i) {
            if (i % 2 == 0)
                out.insert(out.end(), {stripOrder[i], stripOrder[i + 1], stripOrder[i + 2]});
            else
                out.insert(out.end(), {stripOrder[i + 1], stripOrder[i], stripOrder[i + 2]});
        }
        return;
    }
    if (!out.empty()) {
        out.push_back(out.back());
        out.push_back(stripOrder.front());
        if (out.size() % 2 != 0)
            out.push_back(stripOrder.front());
    }
    out.insert(out.end(), stripOrder.begin(), stripOrder.end());
}

void MeshBuilder::quad(std::uint32_t material, const std::array<Vec3, 4>& c, const std::array<Vec2, 4>& uv,
                       bool twoSided)
{
    const Vec3 n = faceNormal(c[0], c[1], c[2]);
    const std::uint32_t i0 = vertex(c[0], n, uv[0]);
    const std::uint32_t i1 = vertex(c[1], n, uv[1]);
    const std::uint32_t i2 = vertex(c[2], n, uv[2]);
    const std::uint32_t i3 = vertex(c[3], n, uv[3]);
    appendPiece(material, {i0, i1, i3, i2});
    if (twoSided)
        quad(material, {c[1], c[0], c[3], c[2]}, {uv[1], uv[0], uv[3], uv[2]}, false);
}

void MeshBuilder::triangle(std::uint32_t material, const std::array<Vec3, 3>& c, const std::array<Vec2, 3>& uv)
{
    const Vec3 n = faceNormal(c[0], c[1], c[2]);
    const std::uint32_t i0 = vertex(c[0], n, uv[0]);
    const std::uint32_t i1 = vertex(c[1], n, uv[1]);
    const std::uint32_t i2 = vertex(c[2], n, uv[2]);
    appendPiece(material, {i0, i1, i2});
}

void MeshBuilder::box(std::uint32_t wallMaterial, int topMaterial, Vec3 lo, Vec3 hi, float tile)
{
    const float sx = (hi[0] - lo[0]) / tile;
    const float sy = (hi[1] - lo[1]) / tile;
    const float sz = (hi[2] - lo[2]) / tile;
    // South, east, north, west walls, each counter-clockwise seen from outside.
    quad(wallMaterial, {{{lo[0], lo[1], lo[2]}, {hi[0], lo[1], lo[2]}, {hi[0], lo[1], hi[2]}, {lo[0], lo[1], hi[2]}}},
         {{{0, sz}, {sx, sz}, {sx, 0}, {0, 0}}});
    quad(wallMaterial, {{{hi[0], lo[1], lo[2]}, {hi[0], hi[1], lo[2]}, {hi[0], hi[1], hi[2]}, {hi[0], lo[1], hi[2]}}},
         {{{0, sz}, {sy, sz}, {sy, 0}, {0, 0}}});
    quad(wallMaterial, {{{hi[0], hi[1], lo[2]}, {lo[0], hi[1], lo[2]}, {lo[0], hi[1], hi[2]}, {hi[0], hi[1], hi[2]}}},
         {{{0, sz}, {sx, sz}, {sx, 0}, {0, 0}}});
    quad(wallMaterial, {{{lo[0], hi[1], lo[2]}, {lo[0], lo[1], lo[2]}, {lo[0], lo[1], hi[2]}, {lo[0], hi[1], hi[2]}}},
         {{{0, sz}, {sy, sz}, {sy, 0}, {0, 0}}});
    if (topMaterial >= 0)
        quad(static_cast<std::uint32_t>(topMaterial),
             {{{lo[0], lo[1], hi[2]}, {hi[0], lo[1], hi[2]}, {hi[0], hi[1], hi[2]}, {lo[0], hi[1], hi[2]}}},
             {{{0, sy}, {sx, sy}, {sx, 0}, {0, 0}}});
}

DffGeometry MeshBuilder::take()
{
    for (std::size_t m = 0; m < m_indices.size(); ++m) {
        if (!m_indices[m].empty())
            m_geometry.splits.push_back({static_cast<std::uint32_t>(m), std::move(m_indices[m])});
    }
    m_indices.assign(m_indices.size(), {});
    return std::move(m_geometry);
}
