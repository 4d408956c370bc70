#pragma once

#include "BoundingSphere.h"

class TGTADff;

// The bounding sphere of what drawing the model emits: every vertex its splits index,
// placed by the frame matrices exactly as drawing places them. A model that draws nothing
// (empty, or unreadable) gets a sphere of radius 0 at its origin: there is nothing to see.
BoundingSphere modelBoundingSphere(const TGTADff& model);
