#include "ModelBounds.h"

#include "ModelDrawTarget.h"
#include "TGTADff.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using Matrix = std::array<float, 16>; // column-major, as OpenGL takes it

constexpr Matrix Identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    return r;
}

// Follows the matrix calls of a model walk and gathers the placed vertices.
class VertexGatherer : public ModelDrawTarget {
public:
    void pushMatrix() override { m_stack.push_back(m_stack.back()); }
    void multMatrix(const Matrix& matrix) override { m_stack.back() = multiply(m_stack.back(), matrix); }
    void popMatrix() override
    {
        if (m_stack.size() > 1)
            m_stack.pop_back();
    }
    void setColourWhite() override {}

    void drawSplit(const ModelSplitDraw& split) override
    {
        const Matrix& m = m_stack.back();
        const auto& vertices = split.geometry.Vertices;
        for (const std::uint32_t index : split.split.Indices) {
            if (index >= vertices.size())
                continue; // drawing skips it too
            const auto& v = vertices[index];
            points.push_back({m[0] * v[0] + m[4] * v[1] + m[8] * v[2] + m[12],
                              m[1] * v[0] + m[5] * v[1] + m[9] * v[2] + m[13],
                              m[2] * v[0] + m[6] * v[1] + m[10] * v[2] + m[14]});
        }
    }

    std::vector<std::array<float, 3>> points;

private:
    std::vector<Matrix> m_stack{Identity};
};

} // namespace

BoundingSphere modelBoundingSphere(const TGTADff& model)
{
    VertexGatherer gatherer;
    model.Draw(-1, gatherer);
    if (gatherer.points.empty())
        return {};

    // The box's middle as centre, the farthest vertex from it as radius: not the smallest
    // sphere, but tight enough for buildings and cheap.
    std::array<float, 3> low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()};
    std::array<float, 3> high{-low[0], -low[1], -low[2]};
    for (const auto& p : gatherer.points)
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], p[i]);
            high[i] = std::max(high[i], p[i]);
        }
    BoundingSphere sphere;
    for (int i = 0; i < 3; ++i)
        sphere.centre[i] = (low[i] + high[i]) / 2;
    double farthest = 0;
    for (const auto& p : gatherer.points) {
        const double dx = p[0] - sphere.centre[0], dy = p[1] - sphere.centre[1], dz = p[2] - sphere.centre[2];
        farthest = std::max(farthest, dx * dx + dy * dy + dz * dz);
    }
    // A hair larger, so rounding never puts a drawn vertex outside.
    sphere.radius = static_cast<float>(std::sqrt(farthest) * 1.0001 + 1e-4);
    return sphere;
}
