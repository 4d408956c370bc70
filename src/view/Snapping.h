#pragma once

#include <array>

// Snapping of the selection while it is moved or turned: the main window's check box and
// step boxes (kept from run to run), read by the 3D view's drags and the item editor's
// nudge buttons. Turns stay quaternion products; only the angle of each step is snapped.
struct SnapSettings {
    bool Enabled = false;
    float GridStep = 1.0f;   // world units
    float AngleStep = 15.0f; // degrees
};

SnapSettings& snapSettings();

// The multiple of `step` nearest to `value`; a step that is not positive leaves the value.
float snapToGrid(float value, float step);

// Where a nudge of `delta` from `value` lands on the grid: the next multiple of `step` in the
// nudge's direction and then as many further steps as the nudge is long in whole steps, so
// that every nudge moves, however small against the grid.
float nudgeOnGrid(float value, float delta, float step);

// A turn of `degrees` made a whole number of angle steps, at least one, with its sign.
float snapTurn(float degrees, float angleStep);

// One drag of the selection with snapping: the pointer's moves are summed where they would
// have taken the centre, and the centre goes to the grid multiple nearest that point on the
// axes the drag moves along.
class GridDrag {
public:
    void start(const std::array<float, 3>& centre);
    // The move that takes `centre` there after the pointer moved by `delta`.
    std::array<float, 3> step(const std::array<float, 3>& centre, const std::array<double, 3>& delta,
                              const std::array<bool, 3>& axes, float gridStep);

private:
    std::array<double, 3> m_wanted{};
};
