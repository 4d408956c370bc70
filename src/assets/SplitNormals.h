#pragma once

#include "TDffRecords.h"

#include <array>
#include <cstdint>
#include <vector>

// The face normals a split is drawn with, worked out from its geometry's vertices: one per
// triangle for lists; one per index for strips (see TDFFSplit::Normals).
std::size_t splitNormalCount(const TDFFSplit& split, std::uint32_t faceType);
void computeSplitNormals(const TDFFSplit& split, std::uint32_t faceType,
                         const std::vector<std::array<float, 3>>& vertices);
// Computes them unless the split already holds them.
void ensureSplitNormals(const TDFFSplit& split, std::uint32_t faceType,
                        const std::vector<std::array<float, 3>>& vertices);
