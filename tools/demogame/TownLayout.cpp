#include "TownLayout.h"

#include "DemoRandom.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

namespace {

constexpr float Pitch = 120;     // distance between road centre lines
constexpr float RoadWidth = 20;
constexpr float Block = Pitch - RoadWidth;
constexpr float BlockTop = 0.2f; // height of the pavement slab buildings stand on

constexpr std::array<ShapeKind, 6> BuildingKinds{ShapeKind::Shop, ShapeKind::Office, ShapeKind::Tower,
                                                  ShapeKind::House, ShapeKind::Warehouse, ShapeKind::Apartment};

// How near a building of this kind must be for the game to draw it rather than its LOD.
float buildingDrawDistance(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Shop:
    case ShapeKind::House: return 150;
    case ShapeKind::Tower: return 300;
    default: return 200;
    }
}

std::string kindName(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Shop: return "shop";
    case ShapeKind::Office: return "office";
    case ShapeKind::Tower: return "tower";
    case ShapeKind::House: return "house";
    case ShapeKind::Warehouse: return "works";
    case ShapeKind::Apartment: return "flats";
    default: return "item";
    }
}

// The size of variant `v` of a building kind; every variant fits the slot its block gives it.
ShapeRecipe buildingRecipe(ShapeKind kind, int v)
{
    ShapeRecipe r;
    r.kind = kind;
    r.base = kind;
    switch (kind) {
    case ShapeKind::Shop: r.width = 16.0f + 2 * (v % 3); r.depth = 14; r.height = 7.0f + (v % 4); break;
    case ShapeKind::Office: r.width = 34.0f + 2 * (v % 3); r.depth = 30.0f + 2 * (v % 4); r.height = 24.0f + 4 * (v % 5); break;
    case ShapeKind::Tower: r.width = 28.0f + 2 * (v % 3); r.depth = 28.0f + 2 * (v % 2); r.height = 70.0f + 10 * (v % 6); break;
    case ShapeKind::House: r.width = 14.0f + (v % 3); r.depth = 11.0f + (v % 2); r.height = 5.0f + (v % 2); break;
    case ShapeKind::Warehouse: r.width = 40.0f + 2 * (v % 3); r.depth = 24.0f + 2 * (v % 3); r.height = 9.0f + (v % 3); break;
    case ShapeKind::Apartment: r.width = 30.0f + 2 * (v % 3); r.depth = 18.0f + 2 * (v % 2); r.height = 15.0f + 3 * (v % 4); break;
    default: break;
    }
    return r;
}

ShapeRecipe propRecipe(ShapeKind kind, float width = 1, float depth = 1, float height = 1)
{
    ShapeRecipe r;
    r.kind = kind;
    r.base = kind;
    r.width = width;
    r.depth = depth;
    r.height = height;
    return r;
}

// Which dictionary (by style) each kind of model takes its textures from.
std::string dictionaryStyle(const ShapeRecipe& r)
{
    switch (r.kind) {
    case ShapeKind::Shop:
    case ShapeKind::NeonSign: return "shops";
    case ShapeKind::Office: return "offices";
    case ShapeKind::Tower: return "towers";
    case ShapeKind::NightWindows: return r.base == ShapeKind::Tower ? "towers" : "offices";
    case ShapeKind::House:
    case ShapeKind::Apartment: return "houses";
    case ShapeKind::Warehouse: return "industry";
    case ShapeKind::Lod: return "lodtown";
    case ShapeKind::Lamp:
    case ShapeKind::Road:
    case ShapeKind::Crossing:
    case ShapeKind::BlockBase:
    case ShapeKind::Bench: return "streets";
    case ShapeKind::TreeBroad:
    case ShapeKind::TreePine:
    case ShapeKind::TreePalm:
    case ShapeKind::ParkBase:
    case ShapeKind::Stall: return "parks";
    case ShapeKind::Ground:
    case ShapeKind::Water: return "land";
    }
    return "misc";
}

struct BuildingDefinitions {
    int building = -1;
    int lod = -1;
    int night = -1;
};

// One district: a grid of blocks with roads between them, and the definitions its items use.
struct District {
    std::string modelPrefix; // "" in the small town
    std::string txdPrefix;
    std::map<std::string, int> areaOfStyle; // in the small town, areas by theme
    int area = -1;                          // in the large map, one area for everything
    Vec3 centre{0, 0, 0};
    int blocks = 6;
    int variants = 2;
    std::map<std::pair<int, int>, BuildingDefinitions> buildings;
    std::map<int, int> props; // by ShapeKind
};

class TownBuilder {
public:
    TownBuilder(TownLayout& layout, bool large)
        : m_layout(layout), m_large(large), m_random(large ? 0x1A26Eu : 0x5A11u), m_buildingPrefix(large ? "bx_" : "qx_")
    {
    }

    void buildSmallTown();
    void buildLargeMap();

private:
    int areaFor(District& d, const std::string& style) const
    {
        if (d.area >= 0)
            return d.area;
        const auto it = d.areaOfStyle.find(style);
        return it != d.areaOfStyle.end() ? it->second : d.areaOfStyle.begin()->second;
    }

    int addArea(const std::string& datName, const std::string& diskName)
    {
        m_layout.areas.push_back({datName, diskName});
        return static_cast<int>(m_layout.areas.size() - 1);
    }

    int define(District& d, const std::string& model, const ShapeRecipe& shape, float drawDistance, int flags,
               int timeOn = -1, int timeOff = -1)
    {
        TownDefinition def;
        def.id = m_nextId++;
        def.model = model;
        const std::string style = dictionaryStyle(shape);
        def.txd = d.txdPrefix + style;
        def.drawDistance = drawDistance;
        def.flags = flags;
        def.timed = timeOn >= 0;
        def.timeOn = std::max(timeOn, 0);
        def.timeOff = std::max(timeOff, 0);
        def.shape = shape;
        // A LOD model is defined and placed with its building, whichever dictionary it uses.
        ShapeRecipe owner = shape;
        if (shape.kind == ShapeKind::Lod)
            owner.kind = shape.base;
        def.area = areaFor(d, dictionaryStyle(owner));
        m_layout.definitions.push_back(def);
        const int index = static_cast<int>(m_layout.definitions.size() - 1);
        if (const auto point = shapeEffectPoint(shape)) {
            if (shape.kind == ShapeKind::Lamp)
                m_layout.effects.push_back({index, *point, {255, 240, 200}, true});
            else
                m_layout.effects.push_back({index, *point, {90, 90, 90}, false});
        }
        return index;
    }

    void defineDistrict(District& d);
    void place(int definition, float x, float y, float z, float yaw)
    {
        m_layout.placements.push_back({definition, {x, y, z}, yaw});
    }
    void placeBuilding(District& d, ShapeKind kind, float x, float y, float yaw);
    void placeTree(District& d, float x, float y);
    void buildDistrict(District& d);
    void buildBlock(District& d, float bx, float by, float ring);
    void addRoadPaths(float x, float y, bool alongY);
    void addBlockPath(float bx, float by);
    void buildLand(District& land, float landHalf, float seaHalf);
    void addDefinitionPaths();

    TownLayout& m_layout;
    bool m_large;
    DemoRandom m_random;
    int m_nextId = 100;
    // Three characters before a building's name, which its LOD's "LOD" stands in for.
    const std::string m_buildingPrefix;
};

void TownBuilder::defineDistrict(District& d)
{
    for (const ShapeKind kind : BuildingKinds) {
        for (int v = 0; v < d.variants; ++v) {
            const ShapeRecipe recipe = buildingRecipe(kind, v);
            const std::string name = d.modelPrefix + kindName(kind) + (v < 9 ? "0" : "") + std::to_string(v + 1);
            BuildingDefinitions defs;
            // The games pair a building with its LOD by name from the fourth character on
            // ("qx_shop01" and "LODshop01"), and draw them by the games' own distances:
            // the building near by, its LOD from there on out to the distance of a skyline.
            defs.building = define(d, m_buildingPrefix + name, recipe, buildingDrawDistance(kind), 0);
            ShapeRecipe lod = recipe;
            lod.kind = ShapeKind::Lod;
            defs.lod = define(d, "LOD" + name, lod, kind == ShapeKind::Tower ? 2000.0f : 1000.0f, 0);
            if (kind == ShapeKind::Office || kind == ShapeKind::Tower) {
                ShapeRecipe night = recipe;
                night.kind = ShapeKind::NightWindows;
                defs.night = define(d, name + "nt", night, buildingDrawDistance(kind), 12, 20, 6);
            }
            d.buildings[{static_cast<int>(kind), v}] = defs;
        }
    }
    const auto prop = [&](ShapeKind kind, const std::string& name, const ShapeRecipe& recipe, float distance, int flags,
                          int on = -1, int off = -1) {
        d.props[static_cast<int>(kind)] = define(d, d.modelPrefix + name, recipe, distance, flags, on, off);
    };
    ShapeRecipe neon = buildingRecipe(ShapeKind::Shop, 0);
    neon.kind = ShapeKind::NeonSign;
    prop(ShapeKind::NeonSign, "neonsign", neon, 150, 12, 20, 6);
    prop(ShapeKind::Lamp, "streetlamp", propRecipe(ShapeKind::Lamp), 150, 0);
    prop(ShapeKind::TreeBroad, "tree_oak", propRecipe(ShapeKind::TreeBroad, 1, 1, 11), 200, 4);
    prop(ShapeKind::TreePine, "tree_pine", propRecipe(ShapeKind::TreePine, 1, 1, 13), 200, 4);
    prop(ShapeKind::TreePalm, "tree_palm", propRecipe(ShapeKind::TreePalm, 1, 1, 9), 200, 4);
    prop(ShapeKind::Bench, "parkbench", propRecipe(ShapeKind::Bench), 80, 0);
    prop(ShapeKind::Stall, "marketstall", propRecipe(ShapeKind::Stall), 120, 0, 6, 20);
    prop(ShapeKind::Road, "road_straight", propRecipe(ShapeKind::Road, RoadWidth, Block), 400, 0);
    prop(ShapeKind::Crossing, "road_cross", propRecipe(ShapeKind::Crossing, RoadWidth, RoadWidth), 400, 0);
    prop(ShapeKind::BlockBase, "pavement_block", propRecipe(ShapeKind::BlockBase, Block, Block), 400, 0);
    prop(ShapeKind::ParkBase, "park_block", propRecipe(ShapeKind::ParkBase, Block, Block), 400, 0);
}

void TownBuilder::placeBuilding(District& d, ShapeKind kind, float x, float y, float yaw)
{
    const int variant = m_random.between(0, d.variants - 1);
    const BuildingDefinitions& defs = d.buildings.at({static_cast<int>(kind), variant});
    place(defs.building, x, y, BlockTop, yaw);
    place(defs.lod, x, y, BlockTop, yaw);
    if (defs.night >= 0)
        place(defs.night, x, y, BlockTop, yaw);
    if (kind == ShapeKind::Shop && m_random.chance(0.5f))
        place(d.props.at(static_cast<int>(ShapeKind::NeonSign)), x, y, BlockTop, yaw);
    if (kind == ShapeKind::Tower) {
        const ShapeRecipe& r = m_layout.definitions[static_cast<std::size_t>(defs.building)].shape;
        m_layout.occluders.push_back({x, y, BlockTop, r.width, r.depth, r.height, yaw});
        if (!m_large)
            m_layout.culls.push_back({{x, y, r.height / 2},
                                      {x - r.width / 2 - 5, y - r.depth / 2 - 5, 0},
                                      {x + r.width / 2 + 5, y + r.depth / 2 + 5, r.height + 5},
                                      2});
    }
}

void TownBuilder::placeTree(District& d, float x, float y)
{
    static constexpr std::array<ShapeKind, 3> trees{ShapeKind::TreeBroad, ShapeKind::TreePine, ShapeKind::TreePalm};
    const ShapeKind kind = trees[static_cast<std::size_t>(m_random.between(0, 2))];
    place(d.props.at(static_cast<int>(kind)), x, y, BlockTop, static_cast<float>(m_random.between(0, 35) * 10));
}

void TownBuilder::buildBlock(District& d, float bx, float by, float ring)
{
    enum class Use { Downtown, Shops, Flats, Houses, Industry, Park };
    Use use;
    const float pick = m_random.unit();
    if (ring < 1)
        use = Use::Downtown;
    else if (ring < 2)
        use = pick < 0.55f ? Use::Shops : pick < 0.85f ? Use::Flats : Use::Park;
    else
        use = pick < 0.5f ? Use::Houses : pick < 0.75f ? Use::Industry : pick < 0.9f ? Use::Shops : Use::Park;

    const auto prop = [&](ShapeKind kind) { return d.props.at(static_cast<int>(kind)); };
    place(prop(use == Use::Park ? ShapeKind::ParkBase : ShapeKind::BlockBase), bx, by, 0, 0);
    addBlockPath(bx, by);

    switch (use) {
    case Use::Downtown: {
        // A tower in one corner, offices in two, a small square with trees in the last.
        const int towerCorner = m_random.between(0, 3);
        for (int q = 0; q < 4; ++q) {
            const float qx = bx + (q % 2 ? 25.0f : -25.0f);
            const float qy = by + (q / 2 ? 25.0f : -25.0f);
            const float yaw = q / 2 ? 180.0f : 0.0f;
            if (q == towerCorner)
                placeBuilding(d, ShapeKind::Tower, qx, qy, yaw);
            else if (q == (towerCorner + 2) % 4) {
                for (int t = 0; t < 4; ++t)
                    placeTree(d, qx + (t % 2 ? 12.0f : -12.0f), qy + (t / 2 ? 12.0f : -12.0f));
                place(prop(ShapeKind::Bench), qx, qy, BlockTop, yaw);
            } else
                placeBuilding(d, ShapeKind::Office, qx, qy, yaw);
        }
        break;
    }
    case Use::Shops:
        for (int side = 0; side < 2; ++side)
            for (int k = 0; k < 4; ++k)
                placeBuilding(d, ShapeKind::Shop, bx - 36 + 24.0f * k, by + (side ? 41.0f : -41.0f), side ? 180.0f : 0.0f);
        for (int t = 0; t < 4; ++t)
            placeTree(d, bx - 30 + 20.0f * t, by + m_random.between(-5, 5));
        break;
    case Use::Flats:
        placeBuilding(d, ShapeKind::Apartment, bx - 22, by - 25, 0);
        placeBuilding(d, ShapeKind::Apartment, bx + 22, by + 25, 180);
        for (int t = 0; t < 3; ++t) {
            placeTree(d, bx + 15 + 10.0f * t, by - 25 + m_random.between(-8, 8));
            placeTree(d, bx - 35 + 10.0f * t, by + 25 + m_random.between(-8, 8));
        }
        break;
    case Use::Houses:
        for (int side = 0; side < 2; ++side)
            for (int k = 0; k < 3; ++k) {
                const float hx = bx - 30 + 30.0f * k;
                placeBuilding(d, ShapeKind::House, hx, by + (side ? 38.0f : -38.0f), side ? 180.0f : 0.0f);
                placeTree(d, hx + m_random.between(-6, 6), by + (side ? 16.0f : -16.0f));
            }
        break;
    case Use::Industry:
        placeBuilding(d, ShapeKind::Warehouse, bx, by - 25, 0);
        placeBuilding(d, ShapeKind::Warehouse, bx, by + 25, 180);
        break;
    case Use::Park: {
        // Trees all over, away from the pond in the middle; benches and market stalls.
        int planted = 0;
        for (int attempt = 0; attempt < 60 && planted < 16; ++attempt) {
            const float x = static_cast<float>(m_random.between(-44, 44));
            const float y = static_cast<float>(m_random.between(-44, 44));
            if (std::abs(x) < 20 && std::abs(y) < 15)
                continue;
            placeTree(d, bx + x, by + y);
            ++planted;
        }
        for (int b = 0; b < 3; ++b)
            place(prop(ShapeKind::Bench), bx - 10 + 10.0f * b, by - 13, BlockTop, 0);
        place(prop(ShapeKind::Stall), bx - 8, by + 14, BlockTop, 180);
        place(prop(ShapeKind::Stall), bx + 8, by + 14, BlockTop, 180);
        break;
    }
    }
}

void TownBuilder::addRoadPaths(float x, float y, bool alongY)
{
    const float dx = alongY ? 0 : Block / 2;
    const float dy = alongY ? Block / 2 : 0;
    TownPathGroup group;
    group.type = 1;
    group.nodes.push_back({1, 1, {x - dx, y - dy, 1}, 1, 1});
    group.nodes.push_back({2, -1, {x, y, 1}, 1, 1});
    group.nodes.push_back({1, 1, {x + dx, y + dy, 1}, 1, 1});
    m_layout.paths.push_back(group);
}

void TownBuilder::addBlockPath(float bx, float by)
{
    TownPathGroup group;
    group.type = 0;
    const float h = Block / 2 - 2;
    const std::array<Vec3, 4> corners{{{bx - h, by - h, 1}, {bx + h, by - h, 1}, {bx + h, by + h, 1}, {bx - h, by + h, 1}}};
    for (int k = 0; k < 4; ++k)
        group.nodes.push_back({2, (k + 1) % 4, corners[static_cast<std::size_t>(k)], 0, 0});
    m_layout.paths.push_back(group);
}

void TownBuilder::buildDistrict(District& d)
{
    const int n = d.blocks;
    const float x0 = d.centre[0] - n * Pitch / 2;
    const float y0 = d.centre[1] - n * Pitch / 2;
    const auto prop = [&](ShapeKind kind) { return d.props.at(static_cast<int>(kind)); };
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const float x = x0 + Pitch * i;
            const float y = y0 + Pitch * j;
            place(prop(ShapeKind::Crossing), x, y, 0, 0);
            if (j < n) { // road northwards, lamps on the west side, trees on the east side
                const float cy = y + Pitch / 2;
                place(prop(ShapeKind::Road), x, cy, 0, 0);
                addRoadPaths(x, cy, true);
                if (i > 0) {
                    place(prop(ShapeKind::Lamp), x - 11.5f, cy - 25, BlockTop, 0);
                    place(prop(ShapeKind::Lamp), x - 11.5f, cy + 25, BlockTop, 0);
                }
                if (i < n) {
                    placeTree(d, x + 12, cy - 30);
                    placeTree(d, x + 12, cy + 30);
                }
            }
            if (i < n) { // road eastwards, lamps on the south side
                const float cx = x + Pitch / 2;
                place(prop(ShapeKind::Road), cx, y, 0, 90);
                addRoadPaths(cx, y, false);
                if (j > 0)
                    place(prop(ShapeKind::Lamp), cx, y - 11.5f, BlockTop, 90);
            }
        }
    const float middle = (n - 1) / 2.0f;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const float ring = std::max(std::abs(i - middle), std::abs(j - middle));
            buildBlock(d, x0 + Pitch * i + Pitch / 2, y0 + Pitch * j + Pitch / 2, ring);
        }
}

// Grass tiles over the land square, sea tiles in a ring around it.
void TownBuilder::buildLand(District& land, float landHalf, float seaHalf)
{
    const int ground = define(land, land.modelPrefix + "ground_grass", propRecipe(ShapeKind::Ground, 200, 200), 1500, 0);
    const int sea = define(land, land.modelPrefix + "sea_water", propRecipe(ShapeKind::Water, 400, 400), 3000, 4);
    for (float x = -landHalf + 100; x < landHalf; x += 200)
        for (float y = -landHalf + 100; y < landHalf; y += 200)
            place(ground, x, y, 0, 0);
    for (float x = -seaHalf + 200; x < seaHalf; x += 400)
        for (float y = -seaHalf + 200; y < seaHalf; y += 400)
            if (std::abs(x) > landHalf || std::abs(y) > landHalf)
                place(sea, x, y, 0, 0);
    m_layout.landHalfSize = landHalf;
}

// Path groups that GTA III keeps with the road definitions, relative to the model.
void TownBuilder::addDefinitionPaths()
{
    for (std::size_t k = 0; k < m_layout.definitions.size(); ++k) {
        const ShapeKind kind = m_layout.definitions[k].shape.kind;
        const int def = static_cast<int>(k);
        if (kind == ShapeKind::Road) {
            TownPathGroup cars{1, def, {}};
            cars.nodes.push_back({1, 1, {0, -Block / 2, 0}, 1, 1});
            cars.nodes.push_back({2, -1, {0, 0, 0}, 1, 1});
            cars.nodes.push_back({1, 1, {0, Block / 2, 0}, 1, 1});
            m_layout.paths.push_back(cars);
            TownPathGroup people{0, def, {}};
            people.nodes.push_back({1, 1, {RoadWidth / 2 + 2, -Block / 2, 0}, 0, 0});
            people.nodes.push_back({1, -1, {RoadWidth / 2 + 2, Block / 2, 0}, 0, 0});
            m_layout.paths.push_back(people);
        } else if (kind == ShapeKind::Crossing) {
            TownPathGroup cars{1, def, {}};
            cars.nodes.push_back({2, -1, {0, 0, 0}, 1, 1});
            const float h = RoadWidth / 2;
            for (const Vec3 end : {Vec3{-h, 0, 0}, Vec3{h, 0, 0}, Vec3{0, -h, 0}, Vec3{0, h, 0}})
                cars.nodes.push_back({1, 0, end, 1, 1});
            m_layout.paths.push_back(cars);
        }
    }
}

void TownBuilder::buildSmallTown()
{
    District town;
    town.txdPrefix = "qx_";
    const char* themes[][3] = {
        {"DATA\\MAPS\\Downtown\\Downtown", "data/maps/downtown/downtown", "shops offices towers lodtown"},
        {"DATA\\MAPS\\Suburbs\\Suburbs", "data/maps/suburbs/suburbs", "houses industry"},
        {"DATA\\MAPS\\Streets\\Streets", "data/maps/streets/streets", "streets"},
        {"data\\maps\\Park\\Park", "data/maps/park/park", "parks"},
        {"DATA\\MAPS\\Land\\Land", "data/maps/Land/land", "land"},
    };
    for (const auto& theme : themes) {
        const int area = addArea(theme[0], theme[1]);
        std::string styles = theme[2];
        std::size_t start = 0;
        while (start < styles.size()) {
            const std::size_t end = std::min(styles.find(' ', start), styles.size());
            town.areaOfStyle[styles.substr(start, end - start)] = area;
            start = end + 1;
        }
    }
    town.blocks = 6;
    town.variants = 2;
    defineDistrict(town);
    buildDistrict(town);
    buildLand(town, 800, 1600);
    addDefinitionPaths();

    const float half = town.blocks * Pitch / 2 + RoadWidth;
    m_layout.zones.push_back({"QXTOWN", 0, {-half, -half, -50}, {half, half, 300}, 1});
    m_layout.zones.push_back({"QXCENTRE", 2, {-Pitch, -Pitch, -50}, {Pitch, Pitch, 300}, 1});
    m_layout.zones.push_back({"QXCOAST", 0, {-1600, -1600, -50}, {1600, 1600, 300}, 0});
}

void TownBuilder::buildLargeMap()
{
    constexpr int Grid = 7;
    constexpr float Spacing = 600;
    District land;
    land.txdPrefix = "bx_";
    land.area = addArea("DATA\\MAPS\\Land\\Land", "data/maps/land/land");
    for (int k = 0; k < Grid * Grid; ++k) {
        District d;
        const std::string tag = (k < 10 ? "d0" : "d") + std::to_string(k);
        d.modelPrefix = tag;
        d.txdPrefix = tag + "_";
        d.area = addArea("DATA\\MAPS\\" + tag + "\\" + tag, "data/maps/" + tag + "/" + tag);
        d.centre = {(static_cast<float>(k % Grid) - 3) * Spacing, (static_cast<float>(k / Grid) - 3) * Spacing, 0};
        d.blocks = 5;
        d.variants = 11;
        defineDistrict(d);
        buildDistrict(d);
        const float half = d.blocks * Pitch / 2 + RoadWidth;
        m_layout.zones.push_back({"DIST" + tag.substr(1), 0,
                                  {d.centre[0] - half, d.centre[1] - half, -50},
                                  {d.centre[0] + half, d.centre[1] + half, 400}, 1});
    }
    buildLand(land, 2200, 3000);
    addDefinitionPaths();
}

} // namespace

TxdFormat pictureFormat(Picture picture)
{
    switch (picture) {
    case Picture::ShopFront:
    case Picture::GlassWindows:
    case Picture::RoofTiles:
    case Picture::TowerWindows:
    case Picture::FactoryWindows:
    case Picture::Pavement:
    case Picture::Grass: return TxdFormat::Dxt1;
    case Picture::LitWindows:
    case Picture::PineLeaves: return TxdFormat::Dxt1Alpha;
    case Picture::TowerPanel:
    case Picture::Water: return TxdFormat::Dxt3;
    case Picture::Concrete:
    case Picture::PalmLeaves: return TxdFormat::Dxt5;
    case Picture::Awning:
    case Picture::LampMetal: return TxdFormat::Pal4_8888;
    case Picture::RoofTar:
    case Picture::RoofMetal:
    case Picture::Corrugated:
    case Picture::LodFacade:
    case Picture::Bark: return TxdFormat::Pal4_888;
    case Picture::Leaves:
    case Picture::Shadow: return TxdFormat::Pal8_8888;
    case Picture::Plaster:
    case Picture::Neon:
    case Picture::Corona: return TxdFormat::Rgba32;
    default: return TxdFormat::Pal8_888;
    }
}

TownDictionary genericDictionary()
{
    return {"generic", {{Picture::Corona, pictureFormat(Picture::Corona), 64, 1},
                        {Picture::Shadow, pictureFormat(Picture::Shadow), 64, 4}}};
}

TownLayout buildTownLayout(bool large)
{
    TownLayout layout;
    TownBuilder builder(layout, large);
    if (large)
        builder.buildLargeMap();
    else
        builder.buildSmallTown();

    // One dictionary per texture name the definitions use, holding every picture their models need.
    std::map<std::string, std::size_t> byName;
    for (const TownDefinition& def : layout.definitions) {
        auto [it, added] = byName.try_emplace(def.txd, layout.dictionaries.size());
        if (added)
            layout.dictionaries.push_back({def.txd, {}});
        TownDictionary& dictionary = layout.dictionaries[it->second];
        for (const Picture picture : shapePictures(def.shape)) {
            const bool present = std::any_of(dictionary.textures.begin(), dictionary.textures.end(),
                                             [&](const TownTexture& t) { return t.picture == picture; });
            if (present)
                continue;
            const int size = picture == Picture::Grass ? 128 : picture == Picture::LodFacade ? 32 : 64;
            const int levels = picture == Picture::Grass ? 8 : picture == Picture::Neon ? 1 : 4;
            dictionary.textures.push_back({picture, pictureFormat(picture), size, levels});
        }
    }
    return layout;
}
