#include "RadarPicture.h"

#include "DemoRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

using Colour = std::array<std::uint8_t, 3>;

class MapPainter {
public:
    explicit MapPainter(int pixels) : m_pixels(pixels), m_rgb(static_cast<std::size_t>(pixels) * pixels * 3) {}

    // World position to pixel position: x grows east, rows grow southwards from the top.
    float px(float x) const { return (x + 4 * RadarTileX) / (8 * RadarTileX) * m_pixels; }
    float py(float y) const { return (4 * RadarTileY - y) / (8 * RadarTileY) * m_pixels; }
    float unitsPerPixel() const { return 8 * RadarTileX / m_pixels; }

    void dot(int x, int y, Colour c)
    {
        if (x < 0 || y < 0 || x >= m_pixels || y >= m_pixels)
            return;
        std::uint8_t* p = &m_rgb[(static_cast<std::size_t>(y) * m_pixels + x) * 3];
        p[0] = c[0];
        p[1] = c[1];
        p[2] = c[2];
    }

    Colour at(int x, int y) const
    {
        const std::uint8_t* p = &m_rgb[(static_cast<std::size_t>(y) * m_pixels + x) * 3];
        return {p[0], p[1], p[2]};
    }

    // A rectangle of `width` x `depth` world units centred on (x, y), turned by `yaw` degrees.
    void footprint(float x, float y, float width, float depth, float yaw, Colour fill)
    {
        const float a = yaw * std::numbers::pi_v<float> / 180;
        const float c = std::cos(a);
        const float s = std::sin(a);
        const float reach = std::hypot(width, depth) / 2;
        const int x0 = static_cast<int>(std::floor(px(x - reach)));
        const int x1 = static_cast<int>(std::ceil(px(x + reach)));
        const int y0 = static_cast<int>(std::floor(py(y + reach)));
        const int y1 = static_cast<int>(std::ceil(py(y - reach)));
        const float step = unitsPerPixel();
        for (int row = y0; row <= y1; ++row)
            for (int col = x0; col <= x1; ++col) {
                // Pixel centre back to world, then into the rectangle's own axes.
                const float wx = (col + 0.5f) * step - 4 * RadarTileX - x;
                const float wy = 4 * RadarTileY - (row + 0.5f) * (8 * RadarTileY / m_pixels) - y;
                const float u = wx * c + wy * s;
                const float v = -wx * s + wy * c;
                if (std::abs(u) <= std::max(width / 2, step / 2) && std::abs(v) <= std::max(depth / 2, step / 2))
                    dot(col, row, fill);
            }
    }

    std::vector<RgbaImage> cut(int tileSize) const
    {
        std::vector<RgbaImage> tiles;
        const int perRow = m_pixels / tileSize;
        for (int t = 0; t < perRow * perRow; ++t) {
            RgbaImage tile;
            tile.width = tileSize;
            tile.height = tileSize;
            tile.pixels.resize(static_cast<std::size_t>(tileSize) * tileSize * 4);
            const int left = (t % perRow) * tileSize;
            const int top = (t / perRow) * tileSize;
            for (int y = 0; y < tileSize; ++y)
                for (int x = 0; x < tileSize; ++x) {
                    const Colour c = at(left + x, top + y);
                    std::uint8_t* p = &tile.pixels[(static_cast<std::size_t>(y) * tileSize + x) * 4];
                    p[0] = c[0];
                    p[1] = c[1];
                    p[2] = c[2];
                    p[3] = 255;
                }
            tiles.push_back(std::move(tile));
        }
        return tiles;
    }

private:
    int m_pixels;
    std::vector<std::uint8_t> m_rgb;
};

Colour roofColour(const ShapeRecipe& shape)
{
    switch (shape.kind) {
    case ShapeKind::Shop: return {92, 88, 84};
    case ShapeKind::Office: return {150, 146, 138};
    case ShapeKind::Tower: return {170, 176, 182};
    case ShapeKind::House: return {160, 74, 52};
    case ShapeKind::Warehouse: return {128, 134, 140};
    case ShapeKind::Apartment: return {140, 130, 118};
    default: return {128, 128, 128};
    }
}

// Drawing order: ground first, then roads and blocks, then buildings, then trees.
int layer(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Ground:
    case ShapeKind::Water: return 0;
    case ShapeKind::Road:
    case ShapeKind::Crossing:
    case ShapeKind::BlockBase:
    case ShapeKind::ParkBase: return 1;
    case ShapeKind::TreeBroad:
    case ShapeKind::TreePine:
    case ShapeKind::TreePalm: return 3;
    default: return isBuilding(kind) ? 2 : -1;
    }
}

void paintItem(MapPainter& map, const TownPlacement& p, const ShapeRecipe& shape)
{
    const float x = p.position[0];
    const float y = p.position[1];
    switch (shape.kind) {
    case ShapeKind::Ground: map.footprint(x, y, shape.width, shape.depth, 0, {84, 128, 60}); return;
    case ShapeKind::Water: map.footprint(x, y, shape.width, shape.depth, 0, {44, 96, 150}); return;
    case ShapeKind::Road:
        map.footprint(x, y, shape.width, shape.depth, p.yaw, {74, 74, 76});
        map.footprint(x, y, 1.5f, shape.depth * 0.8f, p.yaw, {200, 186, 90});
        return;
    case ShapeKind::Crossing: map.footprint(x, y, shape.width, shape.depth, p.yaw, {74, 74, 76}); return;
    case ShapeKind::BlockBase: map.footprint(x, y, shape.width, shape.depth, p.yaw, {176, 172, 164}); return;
    case ShapeKind::ParkBase:
        map.footprint(x, y, shape.width, shape.depth, p.yaw, {176, 172, 164});
        map.footprint(x, y, shape.width - 3, shape.depth - 3, p.yaw, {80, 140, 58});
        map.footprint(x, y, shape.width * 0.3f, shape.depth * 0.2f, p.yaw, {50, 110, 170});
        return;
    case ShapeKind::TreeBroad:
    case ShapeKind::TreePine:
    case ShapeKind::TreePalm: map.footprint(x, y, 6, 6, 45, {40, 92, 36}); return;
    default:
        if (isBuilding(shape.kind)) {
            Colour edge = roofColour(shape);
            for (auto& c : edge)
                c = static_cast<std::uint8_t>(c * 3 / 4);
            map.footprint(x, y, shape.width, shape.depth, p.yaw, edge);
            map.footprint(x, y, shape.width - 3, shape.depth - 3, p.yaw, roofColour(shape));
        }
        return;
    }
}

} // namespace

std::vector<RgbaImage> paintRadarTiles(const TownLayout& layout, int tileSize)
{
    MapPainter map(tileSize * 8);
    // Open sea everywhere first, with a faint swell so the water does not look flat.
    DemoRandom random(0x7AD4u);
    for (int y = 0; y < tileSize * 8; ++y)
        for (int x = 0; x < tileSize * 8; ++x) {
            const int d = random.between(-4, 4);
            map.dot(x, y, {static_cast<std::uint8_t>(40 + d), static_cast<std::uint8_t>(92 + d),
                           static_cast<std::uint8_t>(146 + d)});
        }
    for (int l = 0; l <= 3; ++l)
        for (const TownPlacement& p : layout.placements) {
            const ShapeRecipe& shape = layout.definitions[static_cast<std::size_t>(p.definition)].shape;
            if (layer(shape.kind) == l)
                paintItem(map, p, shape);
        }
    return map.cut(tileSize);
}
