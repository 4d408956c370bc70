#pragma once

#include "ModelDrawTarget.h"

class TextureLookup;

// Draws models with the fixed-function OpenGL API into the current context: every split
// in immediate mode, its texture (and its mask on the second texture unit) bound by name
// through the archive set's texture lookup. Without `bindTextures` (textures not loaded, or
// a caller that binds each split's texture itself) unit 0's binding is left alone.
class GLModelDrawer : public ModelDrawTarget {
public:
    explicit GLModelDrawer(TextureLookup* textures, bool bindTextures = true)
        : m_textures(textures), m_bindTextures(bindTextures)
    {
    }

    void setBindTextures(bool on) { m_bindTextures = on; }
    bool bindsTextures() const { return m_bindTextures; }

    void pushMatrix() override;
    void multMatrix(const std::array<float, 16>& matrix) override;
    void popMatrix() override;
    void setColourWhite() override;
    void drawSplit(const ModelSplitDraw& split) override;

    // Bind the material's texture (or the texture whose own mask name matches) from the
    // dictionary as the current 2D texture; texture 0 when there is none. True when found.
    bool BindTexture(std::string_view name, int dictionaryIndex);
    bool BindMaskTexture(std::string_view name, int dictionaryIndex);

private:
    TextureLookup* m_textures; // not owned; null draws untextured
    bool m_bindTextures;
};
