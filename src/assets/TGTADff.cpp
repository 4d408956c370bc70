#include "TGTADff.h"

#include "ByteSource.h"
#include "EntryNames.h"
#include "Log.h"
#include "SplitNormals.h"

namespace {

// Frame chains in real models are a handful deep; a longer one only comes from a corrupt
// file, and drawing it recursively could exhaust the stack.
constexpr int MaxFrameDepth = 256;

enum class ChildDrawing { WithTransform, WithoutTransform, Skipped };

// Children named with a level-of-detail suffix ("_L0", "_l1" ...) draw only level 0, in
// place of their parent; "Col..." frames hold collision geometry and never draw.
ChildDrawing childDrawing(const std::string& name)
{
    const std::size_t n = name.size();
    if (n < 3)
        return ChildDrawing::WithTransform;
    if (name[n - 3] == '_' && (name[n - 2] == 'L' || name[n - 2] == 'l')) {
        const char last = name[n - 1];
        const int level = (last >= '0' && last <= '9') ? last - '0' : -1;
        return level > 0 ? ChildDrawing::Skipped : ChildDrawing::WithoutTransform;
    }
    if (name.starts_with("Col"))
        return ChildDrawing::Skipped;
    return ChildDrawing::WithTransform;
}

} // namespace

TGTADff::TGTADff(const ByteSource* stream, std::int64_t length, std::int64_t offset, std::string_view name)
    : Stream(stream), Offset(offset), Length(length), Name(std::string(withoutExtension(name)))
{
    // Face normals serve drawing only: they are computed when a split is first drawn,
    // which keeps a square root per triangle out of loading.
    ComputeNormals = false;
}

TGTADff::~TGTADff()
{
    Clear();
}

void TGTADff::Load()
{
    Loaded = true;
    if (Stream == nullptr) {
        Clear();
        LoadError = "no data for model " + Name;
    } else {
        LoadError = ReadFromStream(*Stream, Length, Offset);
    }
    if (!LoadError.empty())
        logLine("model " + Name + ": " + LoadError);
    else if (!ReadWarning.empty())
        logLine("model " + Name + ": " + ReadWarning);
}

void TGTADff::Unload()
{
    Loaded = false;
    Clear();
}

void TGTADff::EnsureNormals() const
{
    for (const TDFFClump& clump : Clumps)
        for (const TDFFGeometry& geometry : clump.GeometryList.Geometries)
            for (const TDFFSplit& split : geometry.MaterialSplit.Splits)
                ensureSplitNormals(split, geometry.MaterialSplit.FaceType, geometry.Data.Vertices);
}

std::array<float, 16> TGTADff::FrameMatrix(const TDFFFrame& frame)
{
    const auto& r = frame.Rotation;
    const auto& p = frame.Position;
    return {r[0], r[1], r[2], 0, r[3], r[4], r[5], 0, r[6], r[7], r[8], 0, p[0], p[1], p[2], 1};
}

void TGTADff::Draw(int dictionaryIndex, ModelDrawTarget& target) const
{
    if (!Loaded || Clumps.empty())
        return;
    // Only the first clump is drawn; its roots without their own transform, so the model
    // stands at its placement's origin.
    const auto& frames = Clumps[0].FrameList.Data.Frames;
    for (std::size_t f = 0; f < frames.size(); ++f)
        if (frames[f].ParentIndex == -1)
            drawFrame(0, static_cast<std::int32_t>(f), true, dictionaryIndex, target, 0);
}

void TGTADff::DrawFrame(std::size_t clumpIndex, std::int32_t frameIndex, bool withoutOwnTransform,
                        int dictionaryIndex, ModelDrawTarget& target) const
{
    drawFrame(clumpIndex, frameIndex, withoutOwnTransform, dictionaryIndex, target, 0);
}

void TGTADff::drawFrame(std::size_t clumpIndex, std::int32_t frameIndex, bool withoutOwnTransform,
                        int dictionaryIndex, ModelDrawTarget& target, int depth) const
{
    if (clumpIndex >= Clumps.size() || depth > MaxFrameDepth)
        return;
    const TDFFClump& clump = Clumps[clumpIndex];
    const auto& frames = clump.FrameList.Data.Frames;
    if (frameIndex < 0 || static_cast<std::size_t>(frameIndex) >= frames.size())
        return;

    target.pushMatrix();
    target.setColourWhite();

    std::int32_t geometry = -1;
    for (const TDFFAtomic& atomic : clump.Atomics)
        if (atomic.FrameIndex == frameIndex)
            geometry = atomic.GeometryIndex; // the last atomic of the frame wins

    if (!withoutOwnTransform)
        target.multMatrix(FrameMatrix(frames[static_cast<std::size_t>(frameIndex)]));

    const auto& geometries = clump.GeometryList.Geometries;
    if (geometry >= 0 && static_cast<std::size_t>(geometry) < geometries.size())
        drawGeometry(geometries[static_cast<std::size_t>(geometry)], dictionaryIndex, target);

    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].ParentIndex != frameIndex)
            continue;
        const ChildDrawing how = childDrawing(frames[i].Name);
        if (how != ChildDrawing::Skipped)
            drawFrame(clumpIndex, static_cast<std::int32_t>(i), how == ChildDrawing::WithoutTransform,
                      dictionaryIndex, target, depth + 1);
    }

    target.popMatrix();
}

void TGTADff::drawGeometry(const TDFFGeometry& geometry, int dictionaryIndex, ModelDrawTarget& target) const
{
    const auto& materials = geometry.MaterialList.Materials;
    const std::uint32_t faceType = geometry.MaterialSplit.FaceType;
    for (const TDFFSplit& split : geometry.MaterialSplit.Splits) {
        ensureSplitNormals(split, faceType, geometry.Data.Vertices);
        SplitNormalMode normals = SplitNormalMode::PerVertex;
        if (split.Normals.empty())
            normals = SplitNormalMode::None;
        else if (faceType == 0)
            normals = SplitNormalMode::PerTriangle;
        std::string_view texture;
        std::string_view mask;
        if (split.MaterialIndex < materials.size()) {
            texture = materials[split.MaterialIndex].Texture.TextureName;
            mask = materials[split.MaterialIndex].Texture.MaskName;
        }
        target.drawSplit({geometry.Data, split, faceType, normals, texture, mask, dictionaryIndex});
    }
}
