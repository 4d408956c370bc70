// The arithmetic of snapping: grid multiples, nudges from on and off the grid and turns in
// whole angle steps, at the edges the item editor's tests do not reach (float drift, no grid).
#include "Snapping.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SnappingMath, GridNudgeAndTurnTables)
{
    struct Grid {
        float value, step, snapped;
    };
    for (const Grid& c : {Grid{1.4f, 1, 1}, Grid{1.6f, 1, 2}, Grid{-1.6f, 1, -2}, Grid{7.4f, 2.5f, 7.5f},
                          Grid{3, 0, 3}, Grid{3, -1, 3}})
        EXPECT_EQ(snapToGrid(c.value, c.step), c.snapped) << c.value << " on " << c.step;

    struct Nudge {
        float value, delta, step, landed;
    };
    const Nudge nudges[] = {
        {2, 0.3f, 1, 3},          // on the grid: one step on
        {2, -0.3f, 1, 1},
        {2.4f, 0.3f, 1, 3},       // off the grid: the next multiple in the nudge's direction
        {2.4f, -0.3f, 1, 2},
        {-2.4f, 1, 1, -2},
        {2, 1, 0.25f, 3},         // the nudge's length in whole steps
        {4.9999995f, 1, 1, 6},    // float drift counts as on the grid
        {5.0000005f, -1, 1, 4},
        {2, 0.3f, 0, 2.3f},       // no grid: a plain step
    };
    for (const Nudge& c : nudges)
        EXPECT_FLOAT_EQ(nudgeOnGrid(c.value, c.delta, c.step), c.landed) << c.value << " by " << c.delta << " on " << c.step;

    struct Turn {
        float degrees, step, turned;
    };
    for (const Turn& c : {Turn{1, 15, 15}, Turn{-0.3f, 15, -15}, Turn{40, 15, 45}, Turn{1, 0, 1}, Turn{0, 15, 0}})
        EXPECT_EQ(snapTurn(c.degrees, c.step), c.turned) << c.degrees << " in steps of " << c.step;
}

} // namespace
