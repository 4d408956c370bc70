#include "CompiledModels.h"

#include "GLEntryPoints.h"
#include "GLModelDrawer.h"
#include "ModelDrawTarget.h"
#include "TGTAImg.h"
#include "TextParser.h"

#include <algorithm>
#include <optional>

namespace {

// Looks up every texture a model will bind, so that dictionaries load (and upload their
// textures) before a list is compiled: uploads made inside glNewList would be recorded
// into the list instead of run.
class TexturePreloader : public ModelDrawTarget {
public:
    explicit TexturePreloader(TGTAImg& set) : m_set(set) {}
    void pushMatrix() override {}
    void multMatrix(const std::array<float, 16>&) override {}
    void popMatrix() override {}
    void setColourWhite() override {}
    void drawSplit(const ModelSplitDraw& split) override
    {
        if (split.dictionaryIndex == -1)
            return;
        if (!split.textureName.empty())
            m_set.textureId(split.dictionaryIndex, split.textureName);
        if (glEntryPoints().hasMultitexture() && !TrimText(split.maskName).empty())
            m_set.maskTextureId(split.dictionaryIndex, split.maskName);
    }

private:
    TGTAImg& m_set;
};

// Every split of a model with the frame transforms it is drawn under, outermost first.
class SplitRecorder : public ModelDrawTarget {
public:
    struct Recorded {
        std::vector<std::array<float, 16>> transforms;
        ModelSplitDraw split;
    };

    void pushMatrix() override { m_depths.push_back(m_transforms.size()); }
    void multMatrix(const std::array<float, 16>& matrix) override { m_transforms.push_back(matrix); }
    void popMatrix() override
    {
        if (m_depths.empty())
            return;
        m_transforms.resize(m_depths.back());
        m_depths.pop_back();
    }
    void setColourWhite() override { setsWhite = true; }
    void drawSplit(const ModelSplitDraw& split) override { splits.push_back({m_transforms, split}); }

    std::vector<Recorded> splits;
    bool setsWhite = false;

private:
    std::vector<std::array<float, 16>> m_transforms;
    std::vector<std::size_t> m_depths;
};

// What the immediate-mode drawer's vertex loop takes and leaves of the current normal and
// texture coordinate (it skips indices past the vertices and gives what the arrays hold).
void traceVertexState(const ModelSplitDraw& s, CompiledSplit& out)
{
    const auto& geometry = s.geometry;
    const auto& indices = s.split.Indices;
    const auto& normals = s.split.Normals;
    const bool hasTexCoords = !geometry.TexCoords.empty();
    bool normalGiven = false;
    bool texCoordGiven = false;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        const std::uint32_t v = indices[k];
        if (v >= geometry.Vertices.size())
            continue;
        if (hasTexCoords && v < geometry.TexCoords.size()) {
            out.lastTexCoord = {geometry.TexCoords[v][0], geometry.TexCoords[v][1]};
            texCoordGiven = true;
        }
        std::optional<std::array<float, 3>> normal;
        if (s.normals == SplitNormalMode::PerTriangle && k % 3 == 0 && k / 3 < normals.size())
            normal = normals[k / 3];
        else if (s.normals == SplitNormalMode::PerVertex && k < normals.size())
            normal = normals[k];
        if (normal) {
            out.lastNormal = *normal;
            normalGiven = true;
        }
        out.takesNormal = out.takesNormal || !normalGiven;
        out.takesTexCoord = out.takesTexCoord || !texCoordGiven;
    }
    out.givesNormal = normalGiven;
    out.givesTexCoord = texCoordGiven;
}

// The box around the split's drawn vertices under its frame transforms.
void splitBounds(const std::vector<std::array<float, 16>>& transforms, const ModelSplitDraw& s, CompiledSplit& out)
{
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (const auto& t : transforms) {
        std::array<float, 16> product{};
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) {
                float sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += m[static_cast<std::size_t>(k * 4 + r)] * t[static_cast<std::size_t>(c * 4 + k)];
                product[static_cast<std::size_t>(c * 4 + r)] = sum;
            }
        m = product;
    }
    bool any = false;
    for (const std::uint32_t v : s.split.Indices) {
        if (v >= s.geometry.Vertices.size())
            continue;
        const auto& p = s.geometry.Vertices[v];
        for (std::size_t r = 0; r < 3; ++r) {
            const float value = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
            out.low[r] = any ? std::min(out.low[r], value) : value;
            out.high[r] = any ? std::max(out.high[r], value) : value;
        }
        any = true;
    }
}

} // namespace

bool CompiledModels::dictionaryLoaded(const TGTAImg& set, int dictionary)
{
    return dictionary >= 0 && dictionary < set.TxdCount && set.Txds[static_cast<std::size_t>(dictionary)]->Loaded;
}

std::uint32_t CompiledModels::dictionaryLoad(const TGTAImg& set, int dictionary)
{
    return dictionaryLoaded(set, dictionary) ? set.Txds[static_cast<std::size_t>(dictionary)]->LoadCount : 0;
}

const CompiledModel* CompiledModels::get(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer,
                                         bool textures, bool opacity)
{
    if (model < 0 || model >= set.DffCount)
        return nullptr;
    if (textures != m_texturesBaked) {
        release();
        m_texturesBaked = textures;
    }
    drawer.setBindTextures(textures);
    if (static_cast<std::size_t>(model) >= m_byModel.size())
        m_byModel.resize(static_cast<std::size_t>(set.DffCount));
    std::vector<Entry>& entries = m_byModel[static_cast<std::size_t>(model)];
    Entry* found = nullptr;
    for (Entry& entry : entries)
        if (entry.dictionary == dictionary)
            found = &entry;
    if (found && found->dictionaryLoaded && found->dictionaryLoad != dictionaryLoad(set, dictionary)) {
        // Freed behind our back (not through the frame loop), or read again (a saved
        // dictionary): the texture names the lists bind are gone.
        deleteLists(found->model);
        found->compiled = false;
        found->opacityKnown = false;
        m_opaque.clear();
    }
    if (!found) {
        entries.emplace_back();
        found = &entries.back();
        found->dictionary = dictionary;
    }
    if (!found->compiled) {
        found->compiled = compile(set, model, dictionary, drawer, found->model);
        found->dictionaryLoaded = dictionaryLoaded(set, dictionary);
        found->dictionaryLoad = dictionaryLoad(set, dictionary);
    }
    if (!found->compiled)
        return nullptr;
    if (opacity && !found->opacityKnown) {
        for (CompiledSplit& split : found->model.splits)
            split.opaque = split.texture == 0 || opaque(split.texture);
        found->opacityKnown = true;
    }
    return &found->model;
}

bool CompiledModels::compile(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer, CompiledModel& out)
{
    const TGTADff& dff = *set.Dffs[static_cast<std::size_t>(model)];
    const bool textures = drawer.bindsTextures();
    if (textures) {
        TexturePreloader preloader(set);
        dff.Draw(dictionary, preloader);
    }
    SplitRecorder recorder;
    dff.Draw(dictionary, recorder);
    out = {};
    out.setsWhite = recorder.setsWhite;
    drawer.setBindTextures(false);
    for (const SplitRecorder::Recorded& recorded : recorder.splits) {
        const ModelSplitDraw& s = recorded.split;
        CompiledSplit split;
        if (textures && !s.textureName.empty() && s.dictionaryIndex != -1)
            split.texture = set.textureId(s.dictionaryIndex, s.textureName);
        split.masked = glEntryPoints().hasMultitexture() && !TrimText(s.maskName).empty();
        if (split.masked && !s.maskName.empty() && s.dictionaryIndex != -1)
            split.mask = set.maskTextureId(s.dictionaryIndex, s.maskName);
        traceVertexState(s, split);
        splitBounds(recorded.transforms, s, split);
        for (int axis = 0; axis < 3; ++axis) {
            const auto a = static_cast<std::size_t>(axis);
            out.low[a] = out.splits.empty() ? split.low[a] : std::min(out.low[a], split.low[a]);
            out.high[a] = out.splits.empty() ? split.high[a] : std::max(out.high[a], split.high[a]);
        }
        split.list = glGenLists(1);
        if (split.list == 0)
            break; // out of list names
        // A split under no frame transform needs no matrix of its own: a push and pop would
        // only make the renderer take up the unchanged matrix again.
        const bool transformed = !recorded.transforms.empty();
        glNewList(split.list, GL_COMPILE);
        if (transformed)
            glPushMatrix();
        glColor4f(1, 1, 1, 1);
        for (const auto& transform : recorded.transforms)
            glMultMatrixf(transform.data());
        drawer.drawSplit(s);
        if (transformed)
            glPopMatrix();
        glEndList();
        out.splits.push_back(split);
    }
    drawer.setBindTextures(textures);
    if (out.splits.size() != recorder.splits.size()) {
        deleteLists(out);
        return false;
    }
    return true;
}

// Whether every texel of every level has full alpha, read back once per texture: only such
// splits look the same whatever was drawn before them.
bool CompiledModels::opaque(GLuint texture)
{
    if (auto known = m_opaque.find(texture); known != m_opaque.end())
        return known->second;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    bool result = true;
    std::vector<std::uint8_t> alpha;
    for (GLint level = 0; result && level < 32; ++level) {
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0)
            break;
        alpha.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_ALPHA, GL_UNSIGNED_BYTE, alpha.data());
        for (const std::uint8_t a : alpha)
            if (a != 255) {
                result = false;
                break;
            }
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    m_opaque.emplace(texture, result);
    return result;
}

void CompiledModels::drawInOrder(const CompiledModel& model, bool textures)
{
    for (const CompiledSplit& split : model.splits) {
        if (textures)
            glBindTexture(GL_TEXTURE_2D, split.texture);
        glCallList(split.list);
    }
}

void CompiledModels::deleteLists(CompiledModel& model)
{
    for (const CompiledSplit& split : model.splits)
        if (split.list != 0)
            glDeleteLists(split.list, 1);
    model.splits.clear();
}

void CompiledModels::dropStale(const TGTAImg& set)
{
    m_opaque.clear(); // freed dictionaries give their texture names back
    for (std::size_t model = 0; model < m_byModel.size(); ++model) {
        std::vector<Entry>& entries = m_byModel[model];
        if (entries.empty())
            continue;
        const bool modelLoaded = static_cast<int>(model) < set.DffCount && set.Dffs[model]->Loaded;
        std::erase_if(entries, [&](Entry& entry) {
            const bool stale = !modelLoaded || (entry.dictionary != -1 && !dictionaryLoaded(set, entry.dictionary)) ||
                               (entry.dictionaryLoaded && entry.dictionaryLoad != dictionaryLoad(set, entry.dictionary));
            if (stale)
                deleteLists(entry.model);
            return stale;
        });
    }
}

void CompiledModels::release()
{
    for (auto& entries : m_byModel)
        for (Entry& entry : entries)
            deleteLists(entry.model);
    m_byModel.clear();
    m_opaque.clear();
}

std::size_t CompiledModels::listCount() const
{
    std::size_t count = 0;
    for (const auto& entries : m_byModel)
        for (const Entry& entry : entries)
            count += entry.model.splits.size();
    return count;
}
