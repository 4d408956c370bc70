#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class GLModelDrawer;
class TGTAImg;

// One split of a compiled model. Its list draws the split in white under the model's frame
// transforms, without binding unit 0's texture: the frame binds `texture` for it, so that
// splits of many models can be drawn texture by texture. What the split takes from and
// leaves in the current normal and texture coordinate is kept, so that a frame drawing
// splits in another order can hand each the values it would have found.
struct CompiledSplit {
    GLuint list = 0;
    GLuint texture = 0;           // what the immediate-mode drawer binds; 0 for none
    bool opaque = true;           // no texel of the texture has alpha below 1 (once asked)
    bool masked = false;          // its list also sets up and binds `mask` on unit 1
    GLuint mask = 0;
    std::array<float, 3> low{}, high{}; // box around its vertices in the model's coordinates
    bool takesNormal = false;     // a vertex is drawn before the split gives a normal
    bool givesNormal = false;
    std::array<float, 3> lastNormal{};
    bool takesTexCoord = false;   // a vertex is drawn before the split gives a coordinate
    bool givesTexCoord = false;
    std::array<float, 2> lastTexCoord{};
};

// A model compiled with one dictionary: its splits in drawing order.
struct CompiledModel {
    std::vector<CompiledSplit> splits;
    bool setsWhite = false;       // the model has a frame, so drawing it leaves white current
    std::array<float, 3> low{}, high{}; // box around every split
};

// Display lists of the archive set's models, one per split of each model and dictionary it
// is drawn with, compiled from the immediate-mode drawer on first use. Lists stand for the
// texture objects of their dictionary, so a model whose model or dictionary was freed is
// dropped and compiled again on its next use; everything is compiled again when the
// texture option changes.
class CompiledModels {
public:
    CompiledModels() = default;
    ~CompiledModels() = default; // lists belong to a context: ReleaseGL while it is current
    CompiledModels(const CompiledModels&) = delete;
    CompiledModels& operator=(const CompiledModels&) = delete;

    // The loaded model `model` with dictionary `dictionary` (-1: none), compiled when it is
    // not yet; null when OpenGL has no list names left (the caller draws immediately).
    // `textures`: whether splits bind their textures (the program loads textures).
    // `opacity`: find out which splits are opaque, reading their textures back once (a
    // wait for the renderer, so only frames that draw texture by texture ask).
    const CompiledModel* get(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer, bool textures,
                             bool opacity);

    // Draws a compiled model in its own order, binding each split's texture as the
    // immediate-mode drawer does.
    static void drawInOrder(const CompiledModel& model, bool textures);

    // Drops the lists whose model or dictionary is no longer loaded.
    void dropStale(const TGTAImg& set);

    // Deletes every list.
    void release();

    // Compiled splits (display lists) that exist now.
    std::size_t listCount() const;

private:
    struct Entry {
        int dictionary = -1;
        bool dictionaryLoaded = false; // the dictionary's texture names were taken
        std::uint32_t dictionaryLoad = 0; // from this load of it (TGTATxd::LoadCount)
        bool compiled = false;
        bool opacityKnown = false;
        CompiledModel model;
    };
    bool compile(TGTAImg& set, int model, int dictionary, GLModelDrawer& drawer, CompiledModel& out);
    bool opaque(GLuint texture);
    static void deleteLists(CompiledModel& model);
    static bool dictionaryLoaded(const TGTAImg& set, int dictionary);
    static std::uint32_t dictionaryLoad(const TGTAImg& set, int dictionary);

    std::vector<std::vector<Entry>> m_byModel; // by model index; few dictionaries each
    bool m_texturesBaked = false;              // the texture option the lists were made with
    std::unordered_map<GLuint, bool> m_opaque; // by texture name, while its dictionary lives
};
