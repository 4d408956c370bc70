#include "GLModelDrawer.h"

#include "GLEntryPoints.h"
#include "TextParser.h"
#include "TextureLookup.h"

void GLModelDrawer::pushMatrix()
{
    glPushMatrix();
}

void GLModelDrawer::multMatrix(const std::array<float, 16>& matrix)
{
    glMultMatrixf(matrix.data());
}

void GLModelDrawer::popMatrix()
{
    glPopMatrix();
}

void GLModelDrawer::setColourWhite()
{
    glColor4f(1, 1, 1, 1);
}

bool GLModelDrawer::BindTexture(std::string_view name, int dictionaryIndex)
{
    std::uint32_t id = 0;
    if (m_textures != nullptr && !name.empty() && dictionaryIndex != -1)
        id = m_textures->textureId(dictionaryIndex, name);
    glBindTexture(GL_TEXTURE_2D, id);
    return id != 0;
}

bool GLModelDrawer::BindMaskTexture(std::string_view name, int dictionaryIndex)
{
    std::uint32_t id = 0;
    if (m_textures != nullptr && !name.empty() && dictionaryIndex != -1)
        id = m_textures->maskTextureId(dictionaryIndex, name);
    glBindTexture(GL_TEXTURE_2D, id);
    return id != 0;
}

void GLModelDrawer::drawSplit(const ModelSplitDraw& s)
{
    const TDFFDataGeometry& geometry = s.geometry;
    const bool hasTexCoords = !geometry.TexCoords.empty();

    if (m_bindTextures)
        BindTexture(s.textureName, s.dictionaryIndex);

    const GLEntryPoints& gl = glEntryPoints();
    const bool masked = gl.hasMultitexture() && !TrimText(s.maskName).empty();
    if (masked) {
        gl.ActiveTextureARB(GL_TEXTURE1_ARB);
        gl.ClientActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PREVIOUS_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_ALPHA);
        BindMaskTexture(s.maskName, s.dictionaryIndex);
    }

    // Records checked by the reader never fail these tests; records made any other way
    // must not reach past their arrays.
    const auto& indices = s.split.Indices;
    const auto& normals = s.split.Normals;
    const std::size_t vertexCount = geometry.Vertices.size();
    glBegin(s.faceType == 0 ? GL_TRIANGLES : GL_TRIANGLE_STRIP);
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const std::uint32_t v = indices[k];
        if (v >= vertexCount)
            continue;
        if (hasTexCoords && v < geometry.TexCoords.size())
            glTexCoord2f(geometry.TexCoords[v][0], geometry.TexCoords[v][1]);
        if (s.normals == SplitNormalMode::PerTriangle && k % 3 == 0 && k / 3 < normals.size())
            glNormal3fv(normals[k / 3].data());
        else if (s.normals == SplitNormalMode::PerVertex && k < normals.size())
            glNormal3fv(normals[k].data());
        glVertex3fv(geometry.Vertices[v].data());
    }
    glEnd();

    if (masked) {
        gl.ActiveTextureARB(GL_TEXTURE0_ARB);
        gl.ClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
}
