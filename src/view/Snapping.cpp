#include "Snapping.h"

#include <algorithm>
#include <cmath>

namespace {

// Float positions drift a little off a multiple when moved by float steps; within this share
// of a step they count as on it.
constexpr double OnGridTolerance = 1e-4;

} // namespace

SnapSettings& snapSettings()
{
    static SnapSettings settings;
    return settings;
}

float snapToGrid(float value, float step)
{
    if (!(step > 0) || !std::isfinite(value))
        return value;
    return static_cast<float>(std::round(static_cast<double>(value) / step) * step);
}

float nudgeOnGrid(float value, float delta, float step)
{
    if (!(step > 0) || delta == 0 || !std::isfinite(value))
        return value + delta;
    double steps = static_cast<double>(value) / step;
    if (std::abs(steps - std::round(steps)) < OnGridTolerance)
        steps = std::round(steps);
    const double count = std::max(1.0, std::round(std::abs(static_cast<double>(delta)) / step));
    const double landed = delta > 0 ? std::floor(steps) + count : std::ceil(steps) - count;
    return static_cast<float>(landed * step);
}

float snapTurn(float degrees, float angleStep)
{
    if (!(angleStep > 0) || degrees == 0)
        return degrees;
    const float count = std::max(1.0f, std::round(std::abs(degrees) / angleStep));
    return std::copysign(count * angleStep, degrees);
}

void GridDrag::start(const std::array<float, 3>& centre)
{
    for (std::size_t axis = 0; axis < 3; ++axis)
        m_wanted[axis] = centre[axis];
}

std::array<float, 3> GridDrag::step(const std::array<float, 3>& centre, const std::array<double, 3>& delta,
                                    const std::array<bool, 3>& axes, float gridStep)
{
    std::array<float, 3> move{0, 0, 0};
    for (std::size_t axis = 0; axis < 3; ++axis) {
        if (!axes[axis])
            continue;
        m_wanted[axis] += delta[axis];
        move[axis] = snapToGrid(static_cast<float>(m_wanted[axis]), gridStep) - centre[axis];
    }
    return move;
}
