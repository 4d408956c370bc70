#include "GLTextureUploader.h"

#include "TxdPixels.h"

#include <algorithm>

namespace {

GLenum compressedFormat(const TTexture& texture, TxdPixelFormat format)
{
    switch (format) {
    case TxdPixelFormat::Dxt1:
        return texture.HasAlpha == 0 ? GL_COMPRESSED_RGB_S3TC_DXT1_EXT : GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    case TxdPixelFormat::Dxt3:
        return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    case TxdPixelFormat::Dxt5:
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
        // A cube map's further faces follow its first face's levels: only the first is drawn.
        const std::size_t levels = std::min<std::size_t>(textures[i].Levels.size(), texture.Levels);
        for (std::size_t level = 0; level < levels; ++level) {
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
    const TxdPixelFormat format = txdPixelFormat(texture);
    if (txdIsDxt(format)) {
        const std::size_t needed = txdLevelBytes(format, level.Width, level.Height);
        if (!m_entryPoints.hasCompressedTextures() || level.Data.size() < needed)
            return false;
        m_entryPoints.CompressedTexImage2DARB(GL_TEXTURE_2D, levelIndex, compressedFormat(texture, format), width,
                                              height, 0, static_cast<GLsizei>(needed), level.Data.data());
        return true;
    }
    if (format == TxdPixelFormat::Paletted && m_entryPoints.hasPalettes()) {
        if (level.Data.size() < std::size_t{level.Width} * level.Height)
            return false;
        std::vector<std::uint8_t> palette(level.Palette.begin(), level.Palette.end());
        if (!txdPaletteHasAlpha(texture.RasterFormat))
            for (std::size_t i = 3; i < palette.size(); i += 4)
                palette[i] = 255;
        glTexImage2D(GL_TEXTURE_2D, levelIndex, GL_COLOR_INDEX8_EXT, width, height, 0, GL_COLOR_INDEX, GL_UNSIGNED_BYTE,
                     level.Data.data());
        m_entryPoints.ColorTableEXT(GL_TEXTURE_2D, GL_RGBA4, static_cast<GLsizei>(palette.size() / 4), GL_RGBA,
                                    GL_UNSIGNED_BYTE, palette.data());
        return true;
    }
    const std::vector<std::uint8_t> rgba = levelRgba(texture, level);
    if (rgba.empty())
        return false;
    glTexImage2D(GL_TEXTURE_2D, levelIndex, GL_RGBA4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return true;
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
