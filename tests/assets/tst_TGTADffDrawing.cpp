#include "ByteSource.h"
#include "DffWriter.h"
#include "TGTADff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string number(float value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// Writes what drawing asks for as short lines: geometries by their position in clump 0,
// matrices by their translation (all of them in `matrices`).
class RecordingTarget : public ModelDrawTarget {
public:
    explicit RecordingTarget(const TDffLoader& model) : m_model(model) {}

    std::vector<std::string> lines;
    std::vector<std::array<float, 16>> matrices;

    void pushMatrix() override { lines.push_back("push"); }
    void multMatrix(const std::array<float, 16>& m) override
    {
        matrices.push_back(m);
        lines.push_back("mult " + number(m[12]) + "," + number(m[13]) + "," + number(m[14]));
    }
    void popMatrix() override { lines.push_back("pop"); }
    void setColourWhite() override { lines.push_back("white"); }
    void drawSplit(const ModelSplitDraw& s) override
    {
        std::string line = "split g" + std::to_string(geometryIndex(s.geometry)) + " " + std::string(s.textureName) +
                           "/" + std::string(s.maskName) + " d" + std::to_string(s.dictionaryIndex) + " f" +
                           std::to_string(s.faceType);
        switch (s.normals) {
        case SplitNormalMode::None: line += " none"; break;
        case SplitNormalMode::PerTriangle: line += " triangle"; break;
        case SplitNormalMode::PerVertex: line += " vertex"; break;
        }
        lines.push_back(line);
    }

private:
    int geometryIndex(const TDFFDataGeometry& geometry) const
    {
        const auto& geometries = m_model.Clumps[0].GeometryList.Geometries;
        for (std::size_t g = 0; g < geometries.size(); ++g)
            if (&geometries[g].Data == &geometry)
                return static_cast<int>(g);
        return -1;
    }
    const TDffLoader& m_model;
};

DffGeometry triangle(const std::string& texture)
{
    DffGeometry g;
    g.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    g.materials = {{texture, texture + "m", {255, 255, 255, 255}}};
    g.splits = {{0, {0, 1, 2}}};
    return g;
}

DffFrame frame(const std::string& name, std::int32_t parent, float x)
{
    DffFrame f;
    f.name = name;
    f.parent = parent;
    f.position = {x, 0, 0};
    return f;
}

// A model loaded from written bytes, kept with its source.
struct LoadedModel {
    explicit LoadedModel(const DffClump& clump)
        : source(writeDff(clump, 0x1003FFFF)),
          dff(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "model.dff")
    {
        dff.Load();
        EXPECT_EQ(dff.LoadError, "");
    }
    MemoryByteSource source;
    TGTADff dff;
};

TEST(DffDrawing, ARootFrameIsDrawnWithoutItsOwnTransform)
{
    DffClump clump;
    clump.frames = {frame("root", -1, 9)};
    clump.geometries = {triangle("wall")};
    clump.atomics = {{0, 0, 5}};
    LoadedModel model(clump);
    RecordingTarget target(model.dff);
    model.dff.Draw(3, target);
    EXPECT_EQ(target.lines, (std::vector<std::string>{"push", "white", "split g0 wall/wallm d3 f0 triangle", "pop"}));
}

TEST(DffDrawing, LevelOfDetailAndCollisionFramesByName)
{
    DffClump clump;
    clump.frames = {
        frame("car", -1, 1),          // 0
        frame("body_L0", 0, 2),       // 1: drawn in place of its parent
        frame("body_L2", 0, 3),       // 2: skipped with its child
        frame("door", 2, 4),          // 3
        frame("wheel_lf_L1", 0, 5),   // 4: skipped
        frame("Col_box", 0, 6),       // 5: collision, skipped
        frame("col_box", 0, 7),       // 6: not a collision frame
        frame("wheel_rf", 1, 8),      // 7: under body_L0
        frame("ab", 0, 9),            // 8: too short for any rule
        frame("door_lx", 0, 10),      // 9: level suffix without a digit, drawn in place
    };
    for (int g = 0; g < 10; ++g)
        clump.geometries.push_back(triangle("t" + std::to_string(g)));
    for (int f = 0; f < 10; ++f)
        clump.atomics.push_back({f, f, 5});
    LoadedModel model(clump);
    RecordingTarget target(model.dff);
    model.dff.Draw(-1, target);
    const std::vector<std::string> expected{
        "push", "white", "split g0 t0/t0m d-1 f0 triangle",
        "push", "white", "split g1 t1/t1m d-1 f0 triangle",
        "push", "white", "mult 8,0,0", "split g7 t7/t7m d-1 f0 triangle", "pop",
        "pop",
        "push", "white", "mult 7,0,0", "split g6 t6/t6m d-1 f0 triangle", "pop",
        "push", "white", "mult 9,0,0", "split g8 t8/t8m d-1 f0 triangle", "pop",
        "push", "white", "split g9 t9/t9m d-1 f0 triangle", "pop",
        "pop"};
    EXPECT_EQ(target.lines, expected);
}

TEST(DffDrawing, FrameMatrixTakesRotationRowsAsColumns)
{
    DffClump clump;
    DffFrame child = frame("arm", 0, 0);
    child.rotation = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    child.position = {4, 5, 6};
    clump.frames = {frame("root", -1, 0), child};
    clump.geometries = {triangle("a")};
    clump.atomics = {{1, 0, 5}};
    LoadedModel model(clump);
    RecordingTarget target(model.dff);
    model.dff.Draw(0, target);
    ASSERT_EQ(target.matrices.size(), 1u);
    EXPECT_EQ(target.matrices[0], (std::array<float, 16>{0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1}));
}

TEST(DffDrawing, TheLastAtomicOfAFrameWins)
{
    DffClump clump;
    clump.frames = {frame("root", -1, 0)};
    clump.geometries = {triangle("first"), triangle("second")};
    clump.atomics = {{0, 1, 5}, {0, 0, 5}};
    LoadedModel model(clump);
    RecordingTarget target(model.dff);
    model.dff.Draw(0, target);
    EXPECT_EQ(target.lines, (std::vector<std::string>{"push", "white", "split g0 first/firstm d0 f0 triangle", "pop"}));
}

TEST(DffDrawing, NormalModesFollowFaceTypeAndComputedNormals)
{
    DffClump clump;
    clump.frames = {frame("root", -1, 0)};
    DffGeometry strips = triangle("s");
    strips.strips = true;
    strips.splits = {{0, {0, 1, 2}}, {0, {0}}};
    DffGeometry lists = triangle("l");
    lists.splits = {{0, {0, 1, 2}}, {0, {0, 1}}};
    clump.geometries = {lists, strips};
    clump.atomics = {{0, 0, 5}};
    LoadedModel listModel(clump);
    RecordingTarget listTarget(listModel.dff);
    listModel.dff.Draw(0, listTarget);
    EXPECT_EQ(listTarget.lines, (std::vector<std::string>{"push", "white", "split g0 l/lm d0 f0 triangle",
                                                          "split g0 l/lm d0 f0 none", "pop"}));
    clump.atomics = {{0, 1, 5}};
    LoadedModel stripModel(clump);
    RecordingTarget stripTarget(stripModel.dff);
    stripModel.dff.Draw(0, stripTarget);
    EXPECT_EQ(stripTarget.lines, (std::vector<std::string>{"push", "white", "split g1 s/sm d0 f1 vertex",
                                                           "split g1 s/sm d0 f1 vertex", "pop"}));
}

// Records put together by hand, as a caller may: indices the reader would have refused
// must still draw nothing rather than reach past the arrays.
TEST(DffDrawing, OutOfRangeIndicesDrawNothing)
{
    TGTADff dff(nullptr, 0, 0, "hand.dff");
    dff.Loaded = true;
    TDFFClump& clump = dff.Clumps.emplace_back();
    clump.FrameList.Data.Frames = {TDFFFrame{}, TDFFFrame{}, TDFFFrame{}};
    clump.FrameList.Data.Frames[1].ParentIndex = 0;
    clump.FrameList.Data.Frames[2].ParentIndex = 0;
    clump.FrameList.Data.Frames[1].Name = "part";
    clump.FrameList.Data.Frames[2].Name = "other";
    TDFFGeometry& geometry = clump.GeometryList.Geometries.emplace_back();
    geometry.MaterialSplit.Splits.push_back(TDFFSplit{0, 7, {}, {}}); // material 7 of none
    clump.Atomics = {{0, 1, 0, 0}, {1, -1, 0, 0}, {2, 0, 0, 0}};
    dff.Clumps.push_back(clump); // a second clump is never drawn

    RecordingTarget target(dff);
    dff.Draw(0, target);
    EXPECT_EQ(target.lines, (std::vector<std::string>{"push", "white", "push", "white", "mult 0,0,0", "pop", "push",
                                                      "white", "mult 0,0,0", "split g0 / d0 f0 none", "pop", "pop"}));

    target.lines.clear();
    dff.DrawFrame(5, 0, true, 0, target);
    dff.DrawFrame(0, 9, true, 0, target);
    dff.DrawFrame(0, -1, true, 0, target);
    EXPECT_TRUE(target.lines.empty());

    dff.Unload();
    dff.Draw(0, target);
    EXPECT_TRUE(target.lines.empty());
}

TEST(DffDrawing, AModelThatIsNotLoadedDrawsNothing)
{
    DffClump clump;
    clump.frames = {frame("root", -1, 0)};
    clump.geometries = {triangle("a")};
    clump.atomics = {{0, 0, 5}};
    MemoryByteSource source(writeDff(clump, 0x0800FFFF));
    TGTADff dff(&source, static_cast<std::int64_t>(source.bytes().size()), 0, "a.b.dff");
    EXPECT_EQ(dff.Name, "a.b");
    RecordingTarget target(dff);
    dff.Draw(0, target);
    EXPECT_TRUE(target.lines.empty());
    dff.Load();
    dff.Draw(0, target);
    EXPECT_EQ(target.lines.size(), 4u);
}

} // namespace
