#include "ModelShapes.h"

#include <charconv>
#include <cmath>

namespace {

using P = Picture;

std::string numberText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

DffMaterial material(Picture picture)
{
    DffMaterial m;
    m.texture = pictureName(picture);
    if (pictureHasAlpha(picture))
        m.mask = m.texture + "m";
    return m;
}

// Strips for some kinds and lists for others, so that the demo carries both forms.
bool usesStrips(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Shop:
    case ShapeKind::Tower:
    case ShapeKind::Warehouse:
    case ShapeKind::Lamp:
    case ShapeKind::Road:
    case ShapeKind::Crossing:
    case ShapeKind::Ground:
    case ShapeKind::Stall:
        return true;
    default:
        return false;
    }
}

// A band of window quads standing `out` units in front of every wall of the box
// (-w/2..w/2, -d/2..d/2), one band per storey from z0 to z1.
void windowBands(MeshBuilder& mesh, std::uint32_t m, float w, float d, float z0, float z1, float storey, float out,
                 float windowWidth)
{
    const float x = w / 2 + out;
    const float y = d / 2 + out;
    const float uw = std::max(1.0f, std::round(w / windowWidth));
    const float ud = std::max(1.0f, std::round(d / windowWidth));
    for (float z = z0; z + storey * 0.5f <= z1; z += storey) {
        const float top = std::min(z1, z + storey * 0.8f);
        const float bottom = z + storey * 0.2f;
        mesh.quad(m, {{{-x, -y, bottom}, {x, -y, bottom}, {x, -y, top}, {-x, -y, top}}}, {{{0, 1}, {uw, 1}, {uw, 0}, {0, 0}}});
        mesh.quad(m, {{{x, -y, bottom}, {x, y, bottom}, {x, y, top}, {x, -y, top}}}, {{{0, 1}, {ud, 1}, {ud, 0}, {0, 0}}});
        mesh.quad(m, {{{x, y, bottom}, {-x, y, bottom}, {-x, y, top}, {x, y, top}}}, {{{0, 1}, {uw, 1}, {uw, 0}, {0, 0}}});
        mesh.quad(m, {{{-x, y, bottom}, {-x, -y, bottom}, {-x, -y, top}, {-x, y, top}}}, {{{0, 1}, {ud, 1}, {ud, 0}, {0, 0}}});
    }
}

// A flat rectangle at height z with the texture repeated every `tile` units.
void ground(MeshBuilder& mesh, std::uint32_t m, float w, float d, float z, float tile)
{
    const float u = w / tile;
    const float v = d / tile;
    mesh.quad(m, {{{-w / 2, -d / 2, z}, {w / 2, -d / 2, z}, {w / 2, d / 2, z}, {-w / 2, d / 2, z}}},
              {{{0, v}, {u, v}, {u, 0}, {0, 0}}});
}

// Two or more upright two-sided picture planes crossing at the origin (tree crowns).
void crossedPlanes(MeshBuilder& mesh, std::uint32_t m, int planes, float size, float z0, float z1)
{
    for (int i = 0; i < planes; ++i) {
        const float a = 3.14159265f * static_cast<float>(i) / static_cast<float>(planes);
        const float cx = std::cos(a) * size / 2;
        const float cy = std::sin(a) * size / 2;
        mesh.quad(m, {{{-cx, -cy, z0}, {cx, cy, z0}, {cx, cy, z1}, {-cx, -cy, z1}}}, {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}, true);
    }
}

std::vector<Picture> picturesOf(const ShapeRecipe& r)
{
    switch (r.kind) {
    case ShapeKind::Shop: return {P::Bricks, P::ShopFront, P::RoofTar, P::Awning};
    case ShapeKind::Office: return {P::Concrete, P::GlassWindows, P::RoofGravel, P::RoofMetal};
    case ShapeKind::Tower: return {P::TowerPanel, P::TowerWindows, P::RoofMetal};
    case ShapeKind::House: return {P::Plaster, P::HouseWindows, P::RoofTiles};
    case ShapeKind::Warehouse: return {P::Corrugated, P::FactoryWindows, P::RoofMetal, P::Bricks};
    case ShapeKind::Apartment: return {P::YellowBricks, P::HouseWindows, P::RoofGravel};
    case ShapeKind::Lod: return {P::LodFacade, P::RoofTar};
    case ShapeKind::NightWindows: return {P::LitWindows};
    case ShapeKind::NeonSign: return {P::Neon};
    case ShapeKind::Lamp: return {P::LampMetal};
    case ShapeKind::TreeBroad: return {P::Bark, P::Leaves};
    case ShapeKind::TreePine: return {P::Bark, P::PineLeaves};
    case ShapeKind::TreePalm: return {P::Bark, P::PalmLeaves};
    case ShapeKind::Bench: return {P::Wood, P::LampMetal};
    case ShapeKind::Stall: return {P::Wood, P::StallCanvas};
    case ShapeKind::Road: return {P::Asphalt};
    case ShapeKind::Crossing: return {P::CrossingAsphalt};
    case ShapeKind::BlockBase: return {P::Pavement};
    case ShapeKind::ParkBase: return {P::Pavement, P::Grass, P::Water};
    case ShapeKind::Ground: return {P::Grass};
    case ShapeKind::Water: return {P::Water};
    }
    return {};
}

void buildGeometry(MeshBuilder& mesh, const ShapeRecipe& r)
{
    const float w = r.width;
    const float d = r.depth;
    const float h = r.height;
    switch (r.kind) {
    case ShapeKind::Shop:
        mesh.box(0, 2, {-w / 2, -d / 2, 0}, {w / 2, d / 2, h}, 4);
        mesh.quad(1, {{{-w / 2 + 0.5f, -d / 2 - 0.05f, 0}, {w / 2 - 0.5f, -d / 2 - 0.05f, 0},
                       {w / 2 - 0.5f, -d / 2 - 0.05f, 3.5f}, {-w / 2 + 0.5f, -d / 2 - 0.05f, 3.5f}}},
                  {{{0, 1}, {std::round(w / 6), 1}, {std::round(w / 6), 0}, {0, 0}}});
        mesh.quad(3, {{{-w / 2 + 0.5f, -d / 2 - 2.2f, 3.2f}, {w / 2 - 0.5f, -d / 2 - 2.2f, 3.2f},
                       {w / 2 - 0.5f, -d / 2, 3.9f}, {-w / 2 + 0.5f, -d / 2, 3.9f}}},
                  {{{0, 1}, {std::round(w / 4), 1}, {std::round(w / 4), 0}, {0, 0}}}, true);
        return;
    case ShapeKind::Office:
        mesh.box(0, 2, {-w / 2, -d / 2, 0}, {w / 2, d / 2, h}, 8);
        windowBands(mesh, 1, w, d, 0, h, 4, 0.05f, 6);
        mesh.box(3, 3, {-w / 6, -d / 6, h}, {w / 6, d / 6, h + 3}, 3); // machine room
        return;
    case ShapeKind::Tower: {
        const float body = std::round(h * 0.7f);
        mesh.box(0, 2, {-w / 2, -d / 2, 0}, {w / 2, d / 2, body}, 8);
        windowBands(mesh, 1, w, d, 0, body, 3.5f, 0.05f, 5);
        mesh.box(0, 2, {-w * 0.35f, -d * 0.35f, body}, {w * 0.35f, d * 0.35f, h}, 8);
        windowBands(mesh, 1, w * 0.7f, d * 0.7f, body, h, 3.5f, 0.05f, 5);
        return;
    }
    case ShapeKind::House: {
        mesh.box(0, -1, {-w / 2, -d / 2, 0}, {w / 2, d / 2, h}, 4);
        windowBands(mesh, 1, w, d, 0, h, 3, 0.05f, 5);
        const float ridge = h + d * 0.4f;
        const float eave = 0.6f;
        const float rx = w / 2 + eave;
        const float ry = d / 2 + eave;
        const float v = std::round(d / 3);
        mesh.quad(2, {{{-rx, -ry, h - 0.3f}, {rx, -ry, h - 0.3f}, {rx, 0, ridge}, {-rx, 0, ridge}}},
                  {{{0, v}, {w / 3, v}, {w / 3, 0}, {0, 0}}});
        mesh.quad(2, {{{rx, ry, h - 0.3f}, {-rx, ry, h - 0.3f}, {-rx, 0, ridge}, {rx, 0, ridge}}},
                  {{{0, v}, {w / 3, v}, {w / 3, 0}, {0, 0}}});
        mesh.triangle(0, {{{w / 2, -d / 2, h}, {w / 2, d / 2, h}, {w / 2, 0, ridge}}}, {{{0, 1}, {2, 1}, {1, 0}}});
        mesh.triangle(0, {{{-w / 2, d / 2, h}, {-w / 2, -d / 2, h}, {-w / 2, 0, ridge}}}, {{{0, 1}, {2, 1}, {1, 0}}});
        return;
    }
    case ShapeKind::Warehouse:
        mesh.box(0, 2, {-w / 2, -d / 2, 0}, {w / 2, d / 2, h}, 6);
        windowBands(mesh, 1, w, d, h - 3.5f, h, 3.5f, 0.05f, 4);
        mesh.box(3, 3, {w / 2 - 4, d / 2 - 4, h}, {w / 2 - 2, d / 2 - 2, h + 6}, 2); // chimney
        return;
    case ShapeKind::Apartment:
        mesh.box(0, 2, {-w / 2, -d / 2, 0}, {w / 2, d / 2, h}, 4);
        windowBands(mesh, 1, w, d, 0, h, 3, 0.05f, 4);
        return;
    case ShapeKind::Lod: {
        const float top = r.base == ShapeKind::House ? h + d * 0.2f : h;
        mesh.box(0, 1, {-w / 2, -d / 2, 0}, {w / 2, d / 2, top}, std::max(w, top) / 2);
        return;
    }
    case ShapeKind::NightWindows: {
        const float body = r.base == ShapeKind::Tower ? std::round(h * 0.7f) : h;
        windowBands(mesh, 0, w, d, 0, body, r.base == ShapeKind::Tower ? 3.5f : 4, 0.12f, 6);
        return;
    }
    case ShapeKind::NeonSign:
        mesh.quad(0, {{{-2, -d / 2 - 0.4f, 4.3f}, {2, -d / 2 - 0.4f, 4.3f}, {2, -d / 2 - 0.4f, 6.3f}, {-2, -d / 2 - 0.4f, 6.3f}}},
                  {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}, true);
        return;
    case ShapeKind::Lamp:
        mesh.setShade({200, 200, 200, 255});
        mesh.box(0, -1, {-0.15f, -0.15f, 0}, {0.15f, 0.15f, 6}, 8);
        mesh.box(0, 0, {-0.1f, -0.1f, 5.9f}, {1.6f, 0.1f, 6.1f}, 8);
        mesh.setShade({255, 255, 230, 255});
        mesh.quad(0, {{{1.1f, -0.25f, 5.85f}, {1.1f, 0.25f, 5.85f}, {1.9f, 0.25f, 5.85f}, {1.9f, -0.25f, 5.85f}}},
                  {{{0, 0.25f}, {1, 0.25f}, {1, 0}, {0, 0}}}, true);
        return;
    case ShapeKind::TreeBroad:
        mesh.box(0, -1, {-0.3f, -0.3f, 0}, {0.3f, 0.3f, 4}, 2);
        crossedPlanes(mesh, 1, 3, h * 0.8f, 2.5f, h);
        return;
    case ShapeKind::TreePine:
        mesh.box(0, -1, {-0.25f, -0.25f, 0}, {0.25f, 0.25f, 2}, 2);
        crossedPlanes(mesh, 1, 2, h * 0.45f, 1.5f, h);
        return;
    case ShapeKind::TreePalm:
        mesh.box(0, -1, {-0.2f, -0.2f, 0}, {0.2f, 0.2f, h}, 2);
        for (int i = 0; i < 5; ++i) {
            const float a = 6.2831853f * static_cast<float>(i) / 5;
            const float c = std::cos(a);
            const float s = std::sin(a);
            const float len = 4.5f;
            mesh.quad(1, {{{-s * 0.8f, c * 0.8f, h + 0.2f}, {s * 0.8f, -c * 0.8f, h + 0.2f},
                           {c * len + s * 0.8f, s * len - c * 0.8f, h - 1.2f}, {c * len - s * 0.8f, s * len + c * 0.8f, h - 1.2f}}},
                      {{{0, 1}, {0, 0}, {1, 0}, {1, 1}}}, true);
        }
        return;
    case ShapeKind::Bench:
        mesh.box(0, 0, {-1, -0.3f, 0.45f}, {1, 0.3f, 0.55f}, 1);
        mesh.box(0, 0, {-1, 0.25f, 0.55f}, {1, 0.35f, 1.0f}, 1);
        mesh.box(1, 1, {-0.9f, -0.25f, 0}, {-0.8f, 0.25f, 0.45f}, 1);
        mesh.box(1, 1, {0.8f, -0.25f, 0}, {0.9f, 0.25f, 0.45f}, 1);
        return;
    case ShapeKind::Stall:
        mesh.box(0, 0, {-1.5f, -0.8f, 0}, {1.5f, 0.8f, 1}, 1);
        for (const float x : {-1.4f, 1.3f})
            for (const float y : {-0.9f, 0.8f})
                mesh.box(0, -1, {x, y, 0}, {x + 0.1f, y + 0.1f, 2.3f}, 1);
        mesh.quad(1, {{{-1.8f, -1.4f, 2.1f}, {1.8f, -1.4f, 2.1f}, {1.8f, 1.1f, 2.6f}, {-1.8f, 1.1f, 2.6f}}},
                  {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}}, true);
        return;
    case ShapeKind::Road: {
        const float v = d / w;
        mesh.quad(0, {{{-w / 2, -d / 2, 0.1f}, {w / 2, -d / 2, 0.1f}, {w / 2, d / 2, 0.1f}, {-w / 2, d / 2, 0.1f}}},
                  {{{0, v}, {1, v}, {1, 0}, {0, 0}}});
        return;
    }
    case ShapeKind::Crossing:
        mesh.quad(0, {{{-w / 2, -d / 2, 0.1f}, {w / 2, -d / 2, 0.1f}, {w / 2, d / 2, 0.1f}, {-w / 2, d / 2, 0.1f}}},
                  {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}});
        return;
    case ShapeKind::BlockBase:
        mesh.box(0, 0, {-w / 2, -d / 2, 0}, {w / 2, d / 2, 0.2f}, 4);
        return;
    case ShapeKind::ParkBase:
        mesh.box(0, -1, {-w / 2, -d / 2, 0}, {w / 2, d / 2, 0.2f}, 4);
        ground(mesh, 1, w, d, 0.2f, 8);
        ground(mesh, 2, w * 0.3f, d * 0.2f, 0.3f, 10); // pond
        return;
    case ShapeKind::Ground:
        ground(mesh, 0, w, d, 0, 10);
        return;
    case ShapeKind::Water:
        ground(mesh, 0, w, d, 0, 25);
        return;
    }
}

} // namespace

std::string ShapeRecipe::key() const
{
    return std::to_string(static_cast<int>(kind)) + "/" + std::to_string(static_cast<int>(base)) + "/" +
           numberText(width) + "/" + numberText(depth) + "/" + numberText(height);
}

bool isBuilding(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Shop:
    case ShapeKind::Office:
    case ShapeKind::Tower:
    case ShapeKind::House:
    case ShapeKind::Warehouse:
    case ShapeKind::Apartment:
        return true;
    default:
        return false;
    }
}

std::vector<Picture> shapePictures(const ShapeRecipe& recipe) { return picturesOf(recipe); }

DffClump buildShape(const ShapeRecipe& recipe, const std::string& frameName)
{
    std::vector<DffMaterial> materials;
    for (const Picture picture : picturesOf(recipe))
        materials.push_back(material(picture));
    MeshBuilder mesh(std::move(materials), usesStrips(recipe.kind));
    buildGeometry(mesh, recipe);

    DffClump clump;
    DffFrame frame;
    frame.name = frameName;
    clump.frames.push_back(frame);
    clump.geometries.push_back(mesh.take());
    clump.atomics.push_back(DffAtomic{});
    return clump;
}

std::optional<Vec3> shapeEffectPoint(const ShapeRecipe& recipe)
{
    if (recipe.kind == ShapeKind::Lamp)
        return Vec3{1.5f, 0, 5.8f};
    if (recipe.kind == ShapeKind::Warehouse)
        return Vec3{recipe.width / 2 - 3, recipe.depth / 2 - 3, recipe.height + 6.5f};
    return std::nullopt;
}
