#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The plain records a model file is read into: clumps of frames, geometries and atomics.
// Arrays hold exactly what was read; the count fields beside them are the counts the file
// declared or the number of records appended, kept for the editors that show them.
// Records compare equal field by field (floats by value).

struct TDFFFrame {
    std::string Name;
    std::array<float, 9> Rotation{};           // three rows of three
    std::array<float, 3> Position{};
    std::int32_t ParentIndex = -1;             // -1: a root frame
    std::array<std::uint16_t, 2> MatrixFlags{}; // the file's 32-bit flags, low half then high half

    bool operator==(const TDFFFrame&) const = default;
};

struct TDFFDataFrameList {
    std::uint32_t FrameCount = 0;
    std::vector<TDFFFrame> Frames;

    bool operator==(const TDFFDataFrameList&) const = default;
};

struct TDFFFrameList {
    TDFFDataFrameList Data;

    bool operator==(const TDFFFrameList&) const = default;
};

struct TDFFDataGeometry {
    std::uint16_t Flags = 0;
    std::uint8_t UVSetCount = 0;
    std::uint8_t NativeFlags = 0;
    std::uint32_t TriangleCount = 0;
    std::uint32_t VertexCount = 0;
    std::uint32_t MorphTargetCount = 0;
    float Ambient = 0;
    float Specular = 0;
    float Diffuse = 0;
    std::vector<std::array<std::uint8_t, 4>> Colours;    // prelit red, green, blue, alpha
    std::vector<std::array<float, 2>> TexCoords;         // the first set only
    std::vector<std::array<std::uint16_t, 4>> Triangles; // as stored, four u16 each
    std::array<float, 4> BoundingSphere{};
    std::uint32_t HasPositions = 0;
    std::uint32_t HasNormals = 0;
    std::vector<std::array<float, 3>> Vertices;
    std::vector<std::array<float, 3>> Normals;

    bool operator==(const TDFFDataGeometry&) const = default;
};

struct TDFFTexture {
    std::string TextureName;
    std::string MaskName;
    bool NameSeen = false; // the first string of a texture chunk has been taken as its name

    bool operator==(const TDFFTexture&) const = default;
};

struct TDFFMaterial {
    std::uint32_t MaterialFlags = 0;
    std::array<std::uint8_t, 4> Colour{}; // red, green, blue, alpha
    std::uint32_t Reserved = 0;
    std::uint32_t IsTextured = 0;
    float Ambient = 0;
    float Specular = 0;
    float Diffuse = 0;
    std::uint32_t Trailing = 0; // a 32-byte struct's last word; 0 for the usual 28-byte struct
    TDFFTexture Texture;

    bool operator==(const TDFFMaterial&) const = default;
};

struct TDFFMaterialList {
    std::uint32_t MaterialTotal = 0;
    std::int32_t FirstMaterialRef = -1;
    std::vector<TDFFMaterial> Materials;
    std::uint32_t MaterialCount = 0; // materials appended

    bool operator==(const TDFFMaterialList&) const = default;
};

struct TDFFSplit {
    std::uint32_t IndexCount = 0;
    std::uint32_t MaterialIndex = 0;
    std::vector<std::uint32_t> Indices;
    // Computed, not read: one per triangle (lists) or per index (strips). Derived from the
    // records alone, so they may be filled in later, when drawing first needs them
    // (SplitNormals.h); hence mutable.
    mutable std::vector<std::array<float, 3>> Normals;

    bool operator==(const TDFFSplit&) const = default;
};

struct TDFFMaterialSplit {
    std::uint32_t FaceType = 0; // 0: triangle lists; anything else: strips
    std::uint32_t SplitCount = 0;
    std::uint32_t IndexTotal = 0;
    std::vector<TDFFSplit> Splits;

    bool operator==(const TDFFMaterialSplit&) const = default;
};

struct TDFFGeometry {
    TDFFDataGeometry Data;
    TDFFMaterialList MaterialList;
    TDFFMaterialSplit MaterialSplit;

    bool operator==(const TDFFGeometry&) const = default;
};

struct TDFFGeometryList {
    std::uint32_t GeometryCount = 0; // as declared by the struct
    std::vector<TDFFGeometry> Geometries;
    std::uint32_t GeometriesRead = 0;

    bool operator==(const TDFFGeometryList&) const = default;
};

struct TDFFAtomic {
    std::int32_t FrameIndex = 0;
    std::int32_t GeometryIndex = 0;
    std::uint32_t AtomicFlags = 0;
    std::uint32_t AtomicReserved = 0;

    bool operator==(const TDFFAtomic&) const = default;
};

struct TDFFClump {
    std::uint32_t AtomicTotal = 0;
    TDFFFrameList FrameList;
    TDFFGeometryList GeometryList;
    std::vector<TDFFAtomic> Atomics;
    std::uint32_t AtomicCount = 0; // atomics read

    bool operator==(const TDFFClump&) const = default;
};
