#pragma once

#include "TxdDecoder.h"

#include <cstdint>
#include <vector>

// Turns decoded textures into texture objects of the drawing layer (OpenGL in the editor).
// The core hands textures over and keeps the returned names; 0 stands for no object.
class TextureUploader {
public:
    virtual ~TextureUploader() = default;
    // One name per texture, in the same order.
    virtual std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) = 0;
    virtual void release(const std::vector<std::uint32_t>& ids) = 0;
};
