#pragma once

#include "DffWriter.h"
#include "MeshBuilder.h"
#include "TexturePictures.h"

#include <optional>
#include <string>
#include <vector>

// The kinds of model the demo town is built from. Buildings stand on their footprint
// centre at height 0 with their front to the south (-y); width runs along x, depth along y.
enum class ShapeKind {
    Shop, Office, Tower, House, Warehouse, Apartment, // buildings
    Lod,          // the far stand-in of a building (`base`)
    NightWindows, // lit windows over an office or tower, only at night
    NeonSign,     // a sign over a shop front, only at night
    Lamp, TreeBroad, TreePine, TreePalm, Bench, Stall,
    Road,         // a straight road piece, `depth` long along y, `width` wide
    Crossing, BlockBase, ParkBase, Ground, Water,
};

struct ShapeRecipe {
    ShapeKind kind = ShapeKind::Shop;
    ShapeKind base = ShapeKind::Shop; // the building a Lod, NightWindows or NeonSign belongs to
    float width = 10;
    float depth = 10;
    float height = 10;

    // Equal keys give equal model bytes (apart from the frame name), so they can be shared.
    std::string key() const;
};

bool isBuilding(ShapeKind kind);

// The model: one frame named `frameName`, one geometry, one atomic.
DffClump buildShape(const ShapeRecipe& recipe, const std::string& frameName);

// Every picture the model's materials use, in material order, without repeats.
std::vector<Picture> shapePictures(const ShapeRecipe& recipe);

// Where a model's effect sits, relative to its origin: the lamp's light, the chimney's smoke.
std::optional<Vec3> shapeEffectPoint(const ShapeRecipe& recipe);
