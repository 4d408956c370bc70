#pragma once

#include "ModelDrawTarget.h"
#include "TDffLoader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class ByteSource;

// One model of the archive set: where its bytes lie, read on first draw and dropped when no
// longer used. Drawing walks the first clump's frames, leaving out collision frames and
// lower levels of detail, and hands every split of every geometry to a draw target.
class TGTADff : public TDffLoader {
public:
    TGTADff(const ByteSource* stream, std::int64_t length, std::int64_t offset, std::string_view name);
    ~TGTADff();
    TGTADff(const TGTADff&) = delete;
    TGTADff& operator=(const TGTADff&) = delete;
    TGTADff(TGTADff&&) = default;
    TGTADff& operator=(TGTADff&&) = default;

    const ByteSource* Stream = nullptr; // not owned
    std::int64_t Offset = 0;
    std::int64_t Length = 0;
    std::string Name;                   // the entry name without its extension
    bool Loaded = false;
    bool Used = false;
    std::string LoadError;              // what the last Load found wrong; "" when it read cleanly

    // Reads the model. A model that cannot be read stays loaded and empty (it draws nothing
    // and is not read again every frame); the reason is in LoadError and the log.
    void Load();
    void Unload();

    // Draws the model at the current transform; dictionary -1 draws without textures.
    void Draw(int dictionaryIndex, ModelDrawTarget& target) const;
    void DrawFrame(std::size_t clumpIndex, std::int32_t frameIndex, bool withoutOwnTransform, int dictionaryIndex,
                   ModelDrawTarget& target) const;

    // Computes the face normals of every split not yet drawn. Drawing through Draw needs
    // no call: each split gets its normals when it is first drawn. For code that walks the
    // records itself.
    void EnsureNormals() const;

    // The frame's transform: rotation rows as the first three columns, position as the fourth.
    static std::array<float, 16> FrameMatrix(const TDFFFrame& frame);

private:
    void drawFrame(std::size_t clumpIndex, std::int32_t frameIndex, bool withoutOwnTransform, int dictionaryIndex,
                   ModelDrawTarget& target, int depth) const;
    void drawGeometry(const TDFFGeometry& geometry, int dictionaryIndex, ModelDrawTarget& target) const;
};
