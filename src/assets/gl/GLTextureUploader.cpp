#include "GLTextureUploader.h"

#include "TxdPixels.h"

namespace {

GLenum compressedFormat(const TTexture& texture)
{
    switch (texture.Compression) {
    case 1:
        return texture.HasAlpha == 0 ? GL_COMPRESSED_RGB_S3TC_DXT1_EXT : GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    case 3:
        return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    case 5:
        return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    default:
        return 0;
    }
}

} // namespace

std::vector<std::uint32_t> GLTextureUploader::upload(const std::vector<TxdDecodedTexture>& textures)
{
    std::vector<std::uint32_t> ids(textures.size(), 0);
    if (textures.empty())
        return ids;
    std::vector<GLuint> names(textures.size(), 0);
    glGenTextures(static_cast<GLsizei>(names.size()), names.data());

    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // index rows of odd widths are not padded
    for (std::size_t i = 0; i < textures.size(); ++i) {
        const TTexture& texture = textures[i].Texture;
        ids[i] = names[i];
        glBindTexture(GL_TEXTURE_2D, names[i]);
        int uploaded = 0;
        for (std::size_t level = 0; level < textures[i].Levels.size(); ++level) {
            // A level that cannot be uploaded ends the chain the texture samples from.
            if (!uploadLevel(texture, textures[i].Levels[level], static_cast<int>(level)))
                break;
            ++uploaded;
        }
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                        texture.Levels > 1 ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR);
        // Files often stop their mip chain before 1x1; without a limit such a texture would
        // be incomplete and draw as if it had no image.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, uploaded > 0 ? uploaded - 1 : 0);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    glBindTexture(GL_TEXTURE_2D, 0);
    return ids;
}

bool GLTextureUploader::uploadLevel(const TTexture& texture, const TxdLevel& level, int levelIndex) const
{
    const GLsizei width = level.Width;
    const GLsizei height = level.Height;
    if (texture.Depth == 8 && m_entryPoints.hasPalettes()) {
        if (level.Data.size() < std::size_t{level.Width} * level.Height)
            return false;
        std::vector<std::uint8_t> palette = level.Palette;
        if (!txdPaletteHasAlpha(texture.RasterFormat))
            for (std::size_t i = 3; i < palette.size(); i += 4)
                palette[i] = 255;
        glTexImage2D(GL_TEXTURE_2D, levelIndex, GL_COLOR_INDEX8_EXT, width, height, 0, GL_COLOR_INDEX, GL_UNSIGNED_BYTE,
                     level.Data.data());
        m_entryPoints.ColorTableEXT(GL_TEXTURE_2D, GL_RGBA4, static_cast<GLsizei>(palette.size() / 4), GL_RGBA,
                                    GL_UNSIGNED_BYTE, palette.data());
        return true;
    }
    if (texture.Depth == 8 || texture.Depth == 32) {
        const std::vector<std::uint8_t> rgba = levelRgba(texture, level);
        if (rgba.empty())
            return false;
        glTexImage2D(GL_TEXTURE_2D, levelIndex, GL_RGBA4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return true;
    }
    if (texture.Depth == 16 && m_entryPoints.hasCompressedTextures()) {
        const GLenum format = compressedFormat(texture);
        if (format == 0)
            return false;
        const std::size_t blockBytes = texture.Compression == 1 ? 8 : 16;
        const std::size_t needed = std::size_t{(level.Width + 3u) / 4u} * ((level.Height + 3u) / 4u) * blockBytes;
        if (level.Data.size() < needed)
            return false;
        m_entryPoints.CompressedTexImage2DARB(GL_TEXTURE_2D, levelIndex, format, width, height, 0,
                                              static_cast<GLsizei>(needed), level.Data.data());
        return true;
    }
    return false;
}

void GLTextureUploader::release(const std::vector<std::uint32_t>& ids)
{
    std::vector<GLuint> names;
    for (const std::uint32_t id : ids)
        if (id != 0)
            names.push_back(id);
    if (!names.empty())
        glDeleteTextures(static_cast<GLsizei>(names.size()), names.data());
}
