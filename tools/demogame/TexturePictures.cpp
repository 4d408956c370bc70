#include "TexturePictures.h"

#include "DemoRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

using Colour = std::array<int, 4>;

class Canvas {
public:
    Canvas(int size, Colour fill) : m_size(size)
    {
        m_image.width = size;
        m_image.height = size;
        m_image.pixels.resize(static_cast<std::size_t>(size) * size * 4);
        rect(0, 0, size, size, fill);
    }

    int size() const { return m_size; }

    void set(int x, int y, Colour c)
    {
        if (x < 0 || y < 0 || x >= m_size || y >= m_size)
            return;
        std::uint8_t* p = &m_image.pixels[(static_cast<std::size_t>(y) * m_size + x) * 4];
        for (int i = 0; i < 4; ++i)
            p[i] = static_cast<std::uint8_t>(std::clamp(c[i], 0, 255));
    }

    Colour get(int x, int y) const
    {
        const std::uint8_t* p = &m_image.pixels[(static_cast<std::size_t>(y) * m_size + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    void rect(int x0, int y0, int x1, int y1, Colour c)
    {
        for (int y = std::max(0, y0); y < std::min(m_size, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(m_size, x1); ++x)
                set(x, y, c);
    }

    // Varies the brightness of every pixel by up to +-amount, leaving alpha alone.
    void grain(DemoRandom& random, int amount)
    {
        for (int y = 0; y < m_size; ++y)
            for (int x = 0; x < m_size; ++x) {
                Colour c = get(x, y);
                const int d = random.between(-amount, amount);
                set(x, y, {c[0] + d, c[1] + d, c[2] + d, c[3]});
            }
    }

    RgbaImage take() { return std::move(m_image); }

private:
    int m_size;
    RgbaImage m_image;
};

Colour shade(Colour c, int delta) { return {c[0] + delta, c[1] + delta, c[2] + delta, c[3]}; }

void bricks(Canvas& c, Colour brick, Colour mortar, DemoRandom& random)
{
    const int s = c.size();
    const int rowHeight = std::max(2, s / 16);
    const int brickWidth = rowHeight * 2;
    c.rect(0, 0, s, s, mortar);
    for (int row = 0; row * rowHeight < s; ++row) {
        const int offset = (row % 2) * brickWidth / 2;
        for (int x = -offset; x < s; x += brickWidth)
            c.rect(x + 1, row * rowHeight + 1, x + brickWidth, (row + 1) * rowHeight,
                   shade(brick, random.between(-18, 18)));
    }
    c.grain(random, 6);
}

// A grid of `columns` x `rows` windows on a wall colour; `lit` windows glow at random.
void windows(Canvas& c, Colour wall, Colour glass, int columns, int rows, DemoRandom& random, float lit = 0)
{
    const int s = c.size();
    c.rect(0, 0, s, s, wall);
    const int cw = s / columns;
    const int rh = s / rows;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col) {
            Colour g = random.chance(lit) ? Colour{255, 226, 140, 255} : shade(glass, random.between(-20, 20));
            const int x0 = col * cw + cw / 5;
            const int y0 = row * rh + rh / 5;
            c.rect(x0, y0, col * cw + cw - cw / 5, row * rh + rh - rh / 6, g);
            c.rect(x0, y0, col * cw + cw - cw / 5, y0 + std::max(1, rh / 12), shade(g, 50)); // reflection
        }
    c.grain(random, 4);
}

// Leaves on a transparent background: random blobs inside `outline` (true where a leaf may be).
template <typename Outline>
void foliage(Canvas& c, Colour leaf, DemoRandom& random, Outline outline)
{
    const int s = c.size();
    c.rect(0, 0, s, s, {leaf[0], leaf[1], leaf[2], 0});
    const int blobs = s * s / 12;
    for (int i = 0; i < blobs; ++i) {
        const int x = random.between(0, s - 1);
        const int y = random.between(0, s - 1);
        if (!outline(static_cast<float>(x) / s, static_cast<float>(y) / s))
            continue;
        const Colour colour = shade(leaf, random.between(-35, 35));
        const int r = std::max(1, s / 40);
        c.rect(x - r, y - r, x + r + 1, y + r + 1, colour);
    }
}

} // namespace

std::string pictureName(Picture picture)
{
    switch (picture) {
    case Picture::Bricks: return "qx_bricks";
    case Picture::YellowBricks: return "qx_yellowbrick";
    case Picture::ShopFront: return "qx_shopfront";
    case Picture::Awning: return "qx_awning";
    case Picture::RoofTar: return "qx_rooftar";
    case Picture::Concrete: return "qx_concrete";
    case Picture::GlassWindows: return "qx_glasswin";
    case Picture::RoofGravel: return "qx_roofgravel";
    case Picture::Plaster: return "qx_plaster";
    case Picture::HouseWindows: return "qx_housewin";
    case Picture::RoofTiles: return "qx_rooftiles";
    case Picture::TowerPanel: return "qx_towerpanel";
    case Picture::TowerWindows: return "qx_towerwin";
    case Picture::RoofMetal: return "qx_roofmetal";
    case Picture::Corrugated: return "qx_corrugated";
    case Picture::FactoryWindows: return "qx_factorywin";
    case Picture::LodFacade: return "qx_lodfacade";
    case Picture::LitWindows: return "qx_litwin";
    case Picture::Neon: return "qx_neon";
    case Picture::Asphalt: return "qx_asphalt";
    case Picture::CrossingAsphalt: return "qx_crossing";
    case Picture::Pavement: return "qx_pavement";
    case Picture::LampMetal: return "qx_lampmetal";
    case Picture::Grass: return "qx_grass";
    case Picture::Leaves: return "qx_leaves";
    case Picture::PineLeaves: return "qx_pine";
    case Picture::PalmLeaves: return "qx_palm";
    case Picture::Bark: return "qx_bark";
    case Picture::Water: return "qx_water";
    case Picture::StallCanvas: return "qx_canvas";
    case Picture::Wood: return "qx_wood";
    case Picture::Corona: return "coronastar";
    case Picture::Shadow: return "shad_exp";
    }
    return "qx_unknown";
}

bool pictureHasAlpha(Picture picture)
{
    switch (picture) {
    case Picture::Awning:
    case Picture::Leaves:
    case Picture::PineLeaves:
    case Picture::PalmLeaves:
    case Picture::Water:
    case Picture::Neon:
    case Picture::LitWindows:
    case Picture::Corona:
    case Picture::Shadow:
        return true;
    default:
        return false;
    }
}

RgbaImage paintPicture(Picture picture, int size)
{
    DemoRandom random(0x51A7E000u + static_cast<unsigned>(picture) * 7919u + static_cast<unsigned>(size));
    const int s = size;
    switch (picture) {
    case Picture::Bricks: {
        Canvas c(s, {0, 0, 0, 255});
        bricks(c, {150, 62, 44, 255}, {190, 180, 165, 255}, random);
        return c.take();
    }
    case Picture::YellowBricks: {
        Canvas c(s, {0, 0, 0, 255});
        bricks(c, {196, 160, 92, 255}, {120, 110, 100, 255}, random);
        return c.take();
    }
    case Picture::ShopFront: {
        Canvas c(s, {60, 60, 64, 255});
        windows(c, {70, 52, 40, 255}, {70, 110, 140, 255}, 2, 1, random);
        c.rect(s * 2 / 5, s / 3, s * 3 / 5, s, {90, 60, 35, 255}); // door
        return c.take();
    }
    case Picture::Awning: {
        Canvas c(s, {0, 0, 0, 255});
        for (int x = 0; x < s; ++x)
            c.rect(x, 0, x + 1, s, (x / std::max(1, s / 8)) % 2 ? Colour{230, 230, 220, 255} : Colour{40, 120, 60, 255});
        c.rect(0, s - s / 8, s, s, {0, 0, 0, 0}); // scalloped edge is see-through
        return c.take();
    }
    case Picture::RoofTar: {
        Canvas c(s, {58, 56, 54, 255});
        c.grain(random, 14);
        return c.take();
    }
    case Picture::Concrete: {
        Canvas c(s, {168, 166, 158, 255});
        c.grain(random, 10);
        for (int y = 0; y < s; y += std::max(2, s / 4))
            c.rect(0, y, s, y + 1, {120, 118, 112, 255});
        return c.take();
    }
    case Picture::GlassWindows: {
        Canvas c(s, {0, 0, 0, 255});
        windows(c, {150, 150, 145, 255}, {60, 100, 130, 255}, 4, 2, random);
        return c.take();
    }
    case Picture::RoofGravel: {
        Canvas c(s, {120, 116, 108, 255});
        c.grain(random, 30);
        return c.take();
    }
    case Picture::Plaster: {
        Canvas c(s, {222, 208, 178, 255});
        c.grain(random, 8);
        return c.take();
    }
    case Picture::HouseWindows: {
        Canvas c(s, {0, 0, 0, 255});
        windows(c, {222, 208, 178, 255}, {80, 110, 150, 255}, 2, 1, random);
        for (int x = 0; x < s; x += std::max(1, s / 2))
            c.rect(x + s / 10 - 2, s / 5, x + s / 10, s - s / 6, {40, 90, 60, 255}); // shutters
        return c.take();
    }
    case Picture::RoofTiles: {
        Canvas c(s, {160, 70, 50, 255});
        for (int y = 0; y < s; y += std::max(2, s / 8))
            c.rect(0, y, s, y + 1, {110, 45, 30, 255});
        c.grain(random, 10);
        return c.take();
    }
    case Picture::TowerPanel: {
        Canvas c(s, {100, 120, 140, 255});
        for (int x = 0; x < s; x += std::max(2, s / 4))
            c.rect(x, 0, x + 1, s, {70, 80, 95, 255});
        c.grain(random, 5);
        return c.take();
    }
    case Picture::TowerWindows: {
        Canvas c(s, {0, 0, 0, 255});
        windows(c, {90, 100, 115, 255}, {40, 70, 110, 255}, 4, 4, random);
        return c.take();
    }
    case Picture::RoofMetal: {
        Canvas c(s, {140, 146, 150, 255});
        for (int x = 0; x < s; x += std::max(2, s / 16))
            c.rect(x, 0, x + 1, s, {100, 106, 110, 255});
        return c.take();
    }
    case Picture::Corrugated: {
        Canvas c(s, {0, 0, 0, 255});
        for (int x = 0; x < s; ++x) {
            const int v = 120 + static_cast<int>(30 * std::sin(x * 6.2831853f * 8 / s));
            c.rect(x, 0, x + 1, s, {v - 20, v, v + 10, 255});
        }
        c.grain(random, 6);
        return c.take();
    }
    case Picture::FactoryWindows: {
        Canvas c(s, {0, 0, 0, 255});
        windows(c, {110, 120, 125, 255}, {150, 170, 160, 255}, 6, 1, random);
        return c.take();
    }
    case Picture::LodFacade: {
        Canvas c(s, {0, 0, 0, 255});
        windows(c, {150, 140, 130, 255}, {70, 90, 120, 255}, 4, 4, random);
        return c.take();
    }
    case Picture::LitWindows: {
        Canvas c(s, {0, 0, 0, 0});
        windows(c, {0, 0, 0, 0}, {0, 0, 0, 0}, 4, 4, random, 0.55f);
        return c.take();
    }
    case Picture::Neon: {
        Canvas c(s, {0, 0, 0, 0});
        const float half = s / 2.0f;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const float d = std::abs(std::hypot(x - half, y - half) - half * 0.7f);
                const int a = std::max(0, 255 - static_cast<int>(d * 600 / s));
                c.set(x, y, {255, 60, 200, a});
            }
        return c.take();
    }
    case Picture::Asphalt: {
        Canvas c(s, {70, 70, 72, 255});
        c.grain(random, 12);
        // Centre line dashes along v, kerb lines at both sides.
        for (int y = 0; y < s; y += s / 4)
            c.rect(s / 2 - std::max(1, s / 64), y, s / 2 + std::max(1, s / 64), y + s / 8, {230, 210, 90, 255});
        c.rect(0, 0, std::max(1, s / 32), s, {200, 200, 200, 255});
        c.rect(s - std::max(1, s / 32), 0, s, s, {200, 200, 200, 255});
        return c.take();
    }
    case Picture::CrossingAsphalt: {
        Canvas c(s, {70, 70, 72, 255});
        c.grain(random, 12);
        for (int x = s / 8; x < s - s / 8; x += s / 8)
            c.rect(x, 0, x + s / 16, s / 8, {235, 235, 235, 255}); // zebra stripes
        return c.take();
    }
    case Picture::Pavement: {
        Canvas c(s, {176, 172, 164, 255});
        for (int i = 0; i < s; i += std::max(2, s / 8)) {
            c.rect(i, 0, i + 1, s, {130, 126, 120, 255});
            c.rect(0, i, s, i + 1, {130, 126, 120, 255});
        }
        c.grain(random, 8);
        return c.take();
    }
    case Picture::LampMetal: {
        Canvas c(s, {50, 56, 60, 255});
        c.rect(0, 0, s, s / 4, {240, 235, 200, 255}); // the glass at the top of the texture
        c.grain(random, 6);
        return c.take();
    }
    case Picture::Grass: {
        Canvas c(s, {70, 130, 50, 255});
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const int d = random.between(-25, 25);
                c.set(x, y, {70 + d / 2, 130 + d, 50 + d / 3, 255});
            }
        return c.take();
    }
    case Picture::Leaves: {
        Canvas c(s, {0, 0, 0, 0});
        foliage(c, {60, 120, 40, 255}, random, [](float u, float v) {
            return std::hypot(u - 0.5f, v - 0.45f) < 0.45f && v < 0.9f;
        });
        return c.take();
    }
    case Picture::PineLeaves: {
        Canvas c(s, {0, 0, 0, 0});
        foliage(c, {30, 80, 40, 255}, random, [](float u, float v) { return std::abs(u - 0.5f) < v * 0.45f; });
        return c.take();
    }
    case Picture::PalmLeaves: {
        Canvas c(s, {0, 0, 0, 0});
        foliage(c, {90, 140, 50, 255}, random, [](float u, float v) {
            return std::abs(v - 0.5f - 0.3f * std::sin(u * 3.14159f)) < 0.12f;
        });
        return c.take();
    }
    case Picture::Bark: {
        Canvas c(s, {0, 0, 0, 255});
        for (int x = 0; x < s; ++x) {
            const int d = random.between(-20, 20);
            c.rect(x, 0, x + 1, s, {100 + d, 72 + d, 48 + d, 255});
        }
        c.grain(random, 8);
        return c.take();
    }
    case Picture::Water: {
        Canvas c(s, {0, 0, 0, 0});
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const float wave = std::sin((x + 2 * y) * 6.2831853f * 2 / s) + std::sin((3 * x - y) * 6.2831853f / s);
                const int d = static_cast<int>(wave * 12);
                c.set(x, y, {30 + d, 90 + d, 150 + d, 190});
            }
        return c.take();
    }
    case Picture::StallCanvas: {
        Canvas c(s, {0, 0, 0, 255});
        for (int x = 0; x < s; ++x)
            c.rect(x, 0, x + 1, s, (x / std::max(1, s / 6)) % 2 ? Colour{240, 240, 230, 255} : Colour{200, 40, 40, 255});
        return c.take();
    }
    case Picture::Wood: {
        Canvas c(s, {0, 0, 0, 255});
        for (int y = 0; y < s; ++y) {
            const int d = static_cast<int>(12 * std::sin(y * 0.9f)) + random.between(-6, 6);
            c.rect(0, y, s, y + 1, {140 + d, 100 + d, 60 + d, 255});
        }
        return c.take();
    }
    case Picture::Corona: {
        Canvas c(s, {0, 0, 0, 0});
        const float half = s / 2.0f;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const float r = std::hypot(x + 0.5f - half, y + 0.5f - half) / half;
                const float star = std::max(0.0f, 1 - std::min(std::abs(x + 0.5f - half), std::abs(y + 0.5f - half)) / 2);
                const float a = std::clamp(std::max(1 - r, star * (1 - r)) * 1.2f, 0.0f, 1.0f);
                c.set(x, y, {255, 255, 255, static_cast<int>(a * 255)});
            }
        return c.take();
    }
    case Picture::Shadow: {
        Canvas c(s, {0, 0, 0, 0});
        const float half = s / 2.0f;
        for (int y = 0; y < s; ++y)
            for (int x = 0; x < s; ++x) {
                const float r = std::hypot(x + 0.5f - half, y + 0.5f - half) / half;
                c.set(x, y, {255, 255, 255, static_cast<int>(std::clamp(1 - r, 0.0f, 1.0f) * 200)});
            }
        return c.take();
    }
    }
    return Canvas(s, {255, 0, 255, 255}).take();
}
