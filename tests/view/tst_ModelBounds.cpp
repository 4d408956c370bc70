// The bounding sphere of a model is that of what drawing it places: child frames moved by
// their matrices, the root's own transform left out, collision and lower-detail frames
// skipped; a model that draws nothing has an empty sphere.
#include "ByteSource.h"
#include "DffWriter.h"
#include "ModelBounds.h"
#include "TGTADff.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

DffGeometry unitSquare()
{
    DffGeometry g;
    g.vertices = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {50, 50, 50}}; // the last is not indexed
    g.materials = {{"", "", {255, 255, 255, 255}}};
    g.splits = {{0, {0, 1, 2, 0, 2, 3}}};
    return g;
}

DffFrame frame(const std::string& name, std::int32_t parent, std::array<float, 3> position)
{
    DffFrame f;
    f.name = name;
    f.parent = parent;
    f.position = position;
    return f;
}

BoundingSphere sphereOf(const DffClump& clump)
{
    MemoryByteSource source(writeDff(clump, 0x1003FFFF));
    TGTADff model(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "m.dff");
    model.Load();
    EXPECT_EQ(model.LoadError, "");
    return modelBoundingSphere(model);
}

// Every corner of the square placed at `offset` lies inside.
void expectHolds(const BoundingSphere& s, std::array<float, 3> offset)
{
    for (const auto& c : {std::array<float, 2>{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        const float dx = c[0] + offset[0] - s.centre[0], dy = c[1] + offset[1] - s.centre[1],
                    dz = offset[2] - s.centre[2];
        EXPECT_LE(std::sqrt(dx * dx + dy * dy + dz * dz), s.radius) << offset[0] << ", " << offset[1];
    }
}

} // namespace

TEST(ModelBounds, ChildFrameMovedByItsMatrixRootLeftWhereItIs)
{
    DffClump clump;
    // The root's own position is not applied when drawn; its child's is, relative to it.
    clump.frames = {frame("root", -1, {100, 0, 0}), frame("wing", 0, {10, 0, 0})};
    clump.geometries = {unitSquare(), unitSquare()};
    clump.atomics = {{0, 0, 5}, {1, 1, 5}};
    const BoundingSphere s = sphereOf(clump);
    EXPECT_NEAR(s.centre[0], 5, 1e-4);
    EXPECT_NEAR(s.centre[1], 0, 1e-4);
    EXPECT_NEAR(s.centre[2], 0, 1e-4);
    EXPECT_NEAR(s.radius, std::sqrt(37.0f), 1e-2) << "from (5, 0) to the far corners (11, ±1)";
    expectHolds(s, {0, 0, 0});
    expectHolds(s, {10, 0, 0});
}

TEST(ModelBounds, RotatedChildAndSkippedFramesCountAsDrawn)
{
    DffClump clump;
    DffFrame turned = frame("turned", 0, {0, 0, 5});
    turned.rotation = {0, 0, 1, 0, 1, 0, -1, 0, 0}; // the square stands upright
    clump.frames = {frame("root", -1, {0, 0, 0}), turned, frame("Colmesh", 0, {500, 0, 0}),
                    frame("thing_L1", 0, {0, 500, 0})};
    clump.geometries = {unitSquare(), unitSquare(), unitSquare()};
    clump.atomics = {{1, 0, 5}, {2, 1, 5}, {3, 2, 5}};
    const BoundingSphere s = sphereOf(clump);
    EXPECT_NEAR(s.centre[2], 5, 1e-4);
    EXPECT_NEAR(s.radius, std::sqrt(2.0f), 1e-2) << "collision and level-1 frames are not drawn";
}

TEST(ModelBounds, ModelThatDrawsNothingHasAnEmptySphere)
{
    DffClump clump;
    clump.frames = {frame("root", -1, {0, 0, 0})};
    const BoundingSphere empty = sphereOf(clump);
    EXPECT_EQ(empty.radius, 0.0f);

    MemoryByteSource garbage(std::vector<std::uint8_t>(40, 0xAB));
    TGTADff broken(&garbage, 40, 0, "broken.dff");
    broken.Load();
    EXPECT_NE(broken.LoadError, "");
    const BoundingSphere unreadable = modelBoundingSphere(broken);
    EXPECT_EQ(unreadable.radius, 0.0f);
    EXPECT_EQ(unreadable.centre, (std::array<float, 3>{0, 0, 0}));
}
