#pragma once

#include "ModelShapes.h"
#include "TxdWriter.h"

#include <array>
#include <string>
#include <vector>

// What the demo town consists of, before any file is written: the map files, the object
// definitions with the shapes of their models, the placements, effects, zones, culls,
// occluders and path groups, and the texture dictionaries. The writers of the map text,
// the models, the dictionaries and the radar pictures all read this one description, so
// they agree with each other.

// One IDE file and the IPL file of the same name. `datName` is the path as the DAT file
// names it, without extension (games' form: backslashes, mixed case); `diskName` the
// relative path the file is written to, without extension.
struct TownArea {
    std::string datName;
    std::string diskName;
};

struct TownDefinition {
    int id = 0;
    std::string model;
    std::string txd;
    float drawDistance = 100;
    int flags = 0;
    bool timed = false;
    int timeOn = 0;
    int timeOff = 0;
    ShapeRecipe shape;
    int area = 0;
};

// A placed item; it goes into the IPL file of its definition's area. `yaw` in degrees,
// counter-clockwise seen from above, as the item is drawn.
struct TownPlacement {
    int definition = 0;
    Vec3 position{0, 0, 0};
    float yaw = 0;
};

struct TownEffect {
    int definition = 0;
    Vec3 offset{0, 0, 0};
    std::array<int, 3> colour{255, 255, 255};
    bool light = true; // else a particle effect
};

struct TownZone {
    std::string name;
    int type = 0;
    Vec3 low{0, 0, 0};
    Vec3 high{0, 0, 0};
    int level = 1;
};

struct TownCull {
    Vec3 centre{0, 0, 0};
    Vec3 low{0, 0, 0};
    Vec3 high{0, 0, 0};
    int flags = 0;
};

struct TownOccluder {
    float x = 0, y = 0, bottom = 0, width = 0, length = 0, height = 0, rotation = 0;
};

struct TownPathNode {
    int type = 0; // 0 unused, 1 external, 2 internal
    int next = -1;
    Vec3 position{0, 0, 0}; // world units
    int leftLanes = 0;
    int rightLanes = 0;
};

// A path group of 12 nodes. World groups (`definition` -1) go to the Vice City path
// file; groups of a definition (positions relative to its model) to the GTA III IDE files.
struct TownPathGroup {
    int type = 1; // 0 people, 1 cars
    int definition = -1;
    std::vector<TownPathNode> nodes;
};

struct TownTexture {
    Picture picture;
    TxdFormat format;
    int size = 64;
    int levels = 4;
};

struct TownDictionary {
    std::string name;
    std::vector<TownTexture> textures;
};

struct TownLayout {
    std::vector<TownArea> areas;
    std::vector<TownDefinition> definitions;
    std::vector<TownPlacement> placements;
    std::vector<TownEffect> effects;
    std::vector<TownZone> zones;
    std::vector<TownCull> culls;
    std::vector<TownOccluder> occluders;
    std::vector<TownPathGroup> paths;
    std::vector<TownDictionary> dictionaries; // every dictionary named by a definition
    float landHalfSize = 0;                   // land covers |x|, |y| up to this; sea beyond
};

// The small town, or with `large` the big map for benchmarks: many districts, each with
// definitions and map files of its own.
TownLayout buildTownLayout(bool large);

// How each picture is stored in the dictionaries.
TxdFormat pictureFormat(Picture picture);

// The generic dictionary (models/generic.txd): textures shared by the 2dfx effects.
TownDictionary genericDictionary();
