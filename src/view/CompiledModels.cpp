#include "CompiledModels.h"

#include "GLEntryPoints.h"
#include "GLModelDrawer.h"
#include "ModelDrawTarget.h"
#include "ProgramSettings.h"
#include "TGTAImg.h"
#include "TextParser.h"

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

} // namespace

bool CompiledModels::dictionaryLoaded(const TGTAImg& set, int dictionary)
{
    return dictionary >= 0 && dictionary < set.TxdCount && set.Txds[static_cast<std::size_t>(dictionary)]->Loaded;
}

void CompiledModels::draw(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer)
{
    if (model < 0 || model >= set.DffCount)
        return;
    const bool textures = programSettings().LoadTextures;
    if (textures != m_texturesBaked) {
        release();
        m_texturesBaked = textures;
    }
    if (static_cast<std::size_t>(model) >= m_byModel.size())
        m_byModel.resize(static_cast<std::size_t>(set.DffCount));
    std::vector<Entry>& entries = m_byModel[static_cast<std::size_t>(model)];
    for (Entry& entry : entries) {
        if (entry.dictionary != dictionary)
            continue;
        // Freed behind our back (not through the frame loop): its texture names are gone.
        if (entry.dictionaryLoaded && !dictionaryLoaded(set, dictionary)) {
            glDeleteLists(entry.list, 1);
            entry.list = compile(set, model, dictionary, drawer);
            entry.dictionaryLoaded = dictionaryLoaded(set, dictionary);
        }
        if (entry.list != 0)
            glCallList(entry.list);
        else
            set.Dffs[static_cast<std::size_t>(model)]->Draw(dictionary, drawer);
        return;
    }
    Entry entry;
    entry.dictionary = dictionary;
    entry.list = compile(set, model, dictionary, drawer);
    entry.dictionaryLoaded = dictionaryLoaded(set, dictionary);
    entries.push_back(entry);
    if (entry.list != 0)
        glCallList(entry.list);
    else
        set.Dffs[static_cast<std::size_t>(model)]->Draw(dictionary, drawer);
}

GLuint CompiledModels::compile(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer)
{
    const TGTADff& dff = *set.Dffs[static_cast<std::size_t>(model)];
    if (programSettings().LoadTextures) {
        TexturePreloader preloader(set);
        dff.Draw(dictionary, preloader);
    }
    const GLuint list = glGenLists(1);
    if (list == 0)
        return 0; // out of list names: the caller draws immediately
    glNewList(list, GL_COMPILE);
    dff.Draw(dictionary, drawer);
    glEndList();
    return list;
}

void CompiledModels::dropStale(const TGTAImg& set)
{
    for (std::size_t model = 0; model < m_byModel.size(); ++model) {
        std::vector<Entry>& entries = m_byModel[model];
        if (entries.empty())
            continue;
        const bool modelLoaded = static_cast<int>(model) < set.DffCount && set.Dffs[model]->Loaded;
        std::erase_if(entries, [&](const Entry& entry) {
            const bool stale = !modelLoaded || (entry.dictionary != -1 && !dictionaryLoaded(set, entry.dictionary));
            if (stale && entry.list != 0)
                glDeleteLists(entry.list, 1);
            return stale;
        });
    }
}

void CompiledModels::release()
{
    for (auto& entries : m_byModel)
        for (const Entry& entry : entries)
            if (entry.list != 0)
                glDeleteLists(entry.list, 1);
    m_byModel.clear();
}

std::size_t CompiledModels::listCount() const
{
    std::size_t count = 0;
    for (const auto& entries : m_byModel)
        count += entries.size();
    return count;
}
