#pragma once

#include "TxdWriter.h"

#include <string>

// The demo town's textures, painted from code: every picture comes from a fixed recipe
// and a fixed seed, so it is the same on every run.
enum class Picture {
    Bricks, YellowBricks, ShopFront, Awning, RoofTar, Concrete, GlassWindows, RoofGravel,
    Plaster, HouseWindows, RoofTiles, TowerPanel, TowerWindows, RoofMetal, Corrugated,
    FactoryWindows, LodFacade, LitWindows, Neon, Asphalt, CrossingAsphalt, Pavement,
    LampMetal, Grass, Leaves, PineLeaves, PalmLeaves, Bark, Water, StallCanvas, Wood,
    Corona, Shadow,
};

// The texture name models and dictionaries use for the picture.
std::string pictureName(Picture picture);

// Whether the picture has see-through parts (its texture needs an alpha format and a mask).
bool pictureHasAlpha(Picture picture);

RgbaImage paintPicture(Picture picture, int size);
