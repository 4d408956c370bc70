#include "SplitNormals.h"

#include <cmath>

namespace {

using Vec3 = std::array<float, 3>;

inline Vec3 faceNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    const float ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    const float vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    const Vec3 n{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length == 0)
        return n; // a degenerate triangle keeps the zero vector
    const float scale = 1.0f / length;
    return {n[0] * scale, n[1] * scale, n[2] * scale};
}

} // namespace

std::size_t splitNormalCount(const TDFFSplit& split, std::uint32_t faceType)
{
    const std::size_t count = split.Indices.size();
    return faceType == 0 ? count / 3 : count;
}

// Strips: the winding flips on odd positions; the first two indices take the first
// triangle's normal.
void computeSplitNormals(const TDFFSplit& split, std::uint32_t faceType, const std::vector<Vec3>& vertices)
{
    const std::uint32_t* idx = split.Indices.data();
    const std::size_t count = split.Indices.size();
    // The reader has checked every index; records built any other way must not reach past
    // the vertices (an index outside them counts as the origin).
    const Vec3 origin{0, 0, 0};
    const auto v = [&, data = vertices.data(), size = vertices.size()](std::size_t i) -> const Vec3& {
        return i < size ? data[i] : origin;
    };
    auto& normals = split.Normals;
    normals.resize(splitNormalCount(split, faceType));
    Vec3* out = normals.data();
    if (faceType == 0) {
        for (std::size_t k = 0; k + 2 < count; k += 3)
            *out++ = faceNormal(v(idx[k]), v(idx[k + 1]), v(idx[k + 2]));
        return;
    }
    // Two triangles a step, even then odd, without a remainder test per index.
    std::size_t k = 0;
    for (; k + 3 < count; k += 2) {
        out[k + 2] = faceNormal(v(idx[k]), v(idx[k + 1]), v(idx[k + 2]));
        out[k + 3] = faceNormal(v(idx[k + 1]), v(idx[k + 3]), v(idx[k + 2]));
    }
    if (k + 2 < count)
        out[k + 2] = faceNormal(v(idx[k]), v(idx[k + 1]), v(idx[k + 2]));
    if (count >= 3) {
        out[0] = out[2];
        out[1] = out[2];
    } else {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = {0, 0, 0};
    }
}

void ensureSplitNormals(const TDFFSplit& split, std::uint32_t faceType, const std::vector<Vec3>& vertices)
{
    if (split.Normals.size() != splitNormalCount(split, faceType))
        computeSplitNormals(split, faceType, vertices);
}
