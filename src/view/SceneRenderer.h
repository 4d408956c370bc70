#pragma once

#include "GroupedFrame.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <memory>

class LoadProgress;
class TGTAFileList;
class TGTAImg;
struct TGTASObjsObj;

// Draws the visible IPL files of the game file list into the current OpenGL context:
// instances as their definitions' models or as the placeholder cube, IPL path lines, zone
// and cull boxes; with a name per file, kind and instance while the view picks.
// With "As In Game" an item is drawn only within its definition's draw distance (times
// the draw distance scale), and a LOD only beyond that of its high-detail partner.
// Items whose bounding sphere lies outside the current projection and modelview (the view
// frustum, or the few pixels of a pick region) are skipped; the picture and the hit are
// the same as drawing everything. Models are compiled split by split once per dictionary
// they are drawn with, and a frame's models are drawn texture by texture where that
// changes less, with the picture of drawing them item by item.
class SceneRenderer {
public:
    SceneRenderer(bool modelsMode, bool texturesEnabled);
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    void SetFileList(TGTAFileList* fileList);
    void SetArchiveSet(TGTAImg* archiveSet);
    // Set while a "Loading Needed Models && Textures" pass is pending: the next DrawAll
    // steps it once per visible file and once per instance. Null otherwise.
    void SetLoadingProgress(LoadProgress* progress);

    // Draws every visible IPL file with the current matrices. `picking`: push the names of
    // the pick pass (file index, kind 0..4, instance index).
    void DrawAll(int gameHour, bool picking);

    // One object definition at the current origin, in immediate mode: its dictionary is
    // marked used, its model looked up while unknown, loaded, drawn and marked; the
    // placeholder cube when there is no such model.
    void DrawDefinition(TGTASObjsObj& record);

    // The placeholder cube at the current origin: half-size 0.5 in models mode, 4 in cubes
    // mode; compiled into a display list on first use.
    void DrawCube();

    // Frame loop step 7: when the archive set asks for it, frees the models and dictionaries
    // no drawn record used, and the compiled forms of what was freed.
    void FreeUnusedIfPending();

    // Drops every display list and compiled model; call with the context current before it
    // goes away (the view's context is rebuilt when the view moves to another window).
    void ReleaseGL();

    // Figures of the last DrawAll, for tests and the benchmark.
    struct Counts {
        int instancesConsidered = 0; // records of visible files that passed the LOD choice's rule
        int instancesDrawn = 0;      // of those, inside the frustum
        int splitsDrawn = 0;         // compiled model splits those drew
    };
    Counts LastCounts() const;

    // Benchmark switch: draw models in immediate mode every frame instead of compiled.
    void SetCompileModels(bool on);

    // Off: compiled models are drawn item by item instead of texture by texture (tests and
    // the benchmark compare the two). On, a frame is drawn texture by texture when that
    // changes textures and matrices fewer times than its own order, or always with `always`.
    void SetGrouping(bool on, bool always = false);
    // Figures of the last frame drawn texture by texture.
    GroupedFrame::Figures LastGrouping() const;

    // Off: every item is drawn whatever the view (tests compare the two pictures).
    void SetCulling(bool on);

    // The view's texture option: paths, zones and culls switch 2D texturing back on after
    // themselves only while it is on.
    void SetTexturesEnabled(bool on);

    // Display lists of compiled model splits that exist now.
    std::size_t CompiledListCount() const;

private:
    GLuint cubeList(); // compiled on first use; 0 when OpenGL has no list names left
    struct Impl;
    std::unique_ptr<Impl> m;
};
