#pragma once

#include "TownLayout.h"
#include "TxdWriter.h"

#include <vector>

// The map's background seen from above, cut into the 64 radar tiles: 8 x 8 tiles of
// RadarTileX x RadarTileY units centred on 0, 0. Tile number (7 - j) * 8 + i lies in
// column i (from low x) and row j (from low y), so tile 0 is the north-west corner, and
// each picture's top row is its north edge.
constexpr float RadarTileX = 503;
constexpr float RadarTileY = 501;

// 64 pictures of `tileSize` pixels square, in tile number order.
std::vector<RgbaImage> paintRadarTiles(const TownLayout& layout, int tileSize);
