#pragma once

#include "TDffRecords.h"

#include <array>
#include <cstdint>
#include <string_view>

// How a split's normals are given while it is drawn: none, one per triangle (lists), or
// one per index (strips).
enum class SplitNormalMode { None, PerTriangle, PerVertex };

// One split of a geometry with what drawing it needs: the vertices and texture coordinates
// of its geometry, the material's texture and mask names and the dictionary they come from.
struct ModelSplitDraw {
    const TDFFDataGeometry& geometry;
    const TDFFSplit& split;
    std::uint32_t faceType;        // 0: triangle list; anything else: strip
    SplitNormalMode normals;
    std::string_view textureName;
    std::string_view maskName;
    int dictionaryIndex;           // -1: no textures
};

// What model drawing emits, so the frame walk runs without OpenGL; the GL drawer turns it
// into immediate-mode calls. Matrices are 16 floats, column-major.
class ModelDrawTarget {
public:
    virtual ~ModelDrawTarget() = default;
    virtual void pushMatrix() = 0;
    virtual void multMatrix(const std::array<float, 16>& matrix) = 0;
    virtual void popMatrix() = 0;
    virtual void setColourWhite() = 0;
    virtual void drawSplit(const ModelSplitDraw& split) = 0;
};
