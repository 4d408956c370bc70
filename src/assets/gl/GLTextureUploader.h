#pragma once

#include "GLEntryPoints.h"
#include "TextureUploader.h"

// Creates one OpenGL texture object per decoded texture in the current context and uploads
// its levels: 8- and 32-bit pictures as 16-bit RGBA4 texels, paletted ones through the
// palette extension when the driver has it, DXT levels unchanged when it can take them.
class GLTextureUploader : public TextureUploader {
public:
    explicit GLTextureUploader(const GLEntryPoints& entryPoints) : m_entryPoints(entryPoints) {}

    std::vector<std::uint32_t> upload(const std::vector<TxdDecodedTexture>& textures) override;
    void release(const std::vector<std::uint32_t>& ids) override;

private:
    // Uploads one level; false when nothing could be handed to OpenGL.
    bool uploadLevel(const TTexture& texture, const TxdLevel& level, int levelIndex) const;

    const GLEntryPoints& m_entryPoints;
};
