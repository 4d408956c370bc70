#pragma once

#include <GL/gl.h>

#include <cstddef>
#include <vector>

class GLModelDrawer;
class TGTAImg;

// Display lists of the archive set's models, one per model and dictionary it is drawn
// with, compiled from the immediate-mode drawer on first use. Lists hold the texture
// objects of their dictionary, so a list whose model or dictionary was freed is dropped
// and compiled again on its next use.
class CompiledModels {
public:
    CompiledModels() = default;
    ~CompiledModels() = default; // lists belong to a context: ReleaseGL while it is current
    CompiledModels(const CompiledModels&) = delete;
    CompiledModels& operator=(const CompiledModels&) = delete;

    // Draws the loaded model `model` with dictionary `dictionary` (-1: none) from its list.
    void draw(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer);

    // Drops the lists whose model or dictionary is no longer loaded.
    void dropStale(const TGTAImg& set);

    // Deletes every list.
    void release();

    std::size_t listCount() const;

private:
    struct Entry {
        int dictionary = -1;
        GLuint list = 0;
        bool dictionaryLoaded = false; // the dictionary's textures were baked in
    };
    GLuint compile(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer);
    static bool dictionaryLoaded(const TGTAImg& set, int dictionary);

    std::vector<std::vector<Entry>> m_byModel; // by model index; few dictionaries each
    bool m_texturesBaked = false;              // the texture setting the lists were made with
};
