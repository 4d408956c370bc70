#pragma once

#include "BoundingSphere.h"
#include "CompiledModels.h"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

// One frame of the scene drawn texture by texture, with the picture of drawing it item by
// item. Opaque things cover each other by depth alone, so their order does not show; what
// blends (texels with alpha below 1, boxes, masks while unit 1 textures) shows what was
// drawn before it. So things are handed over in the frame's order and sorted into layers:
// something opaque goes one layer above what blends before it on its part of the screen
// (unless it lies wholly in front of that), something that blends into the highest layer
// of what came before it there. Each layer draws its opaque things texture by texture
// (each bound once), then what blends in the original order; unless the frame's own order
// changes textures, matrices and blending fewer times, then that is drawn. The current
// normal, texture coordinate and colour each thing would have found are handed to it.
class GroupedFrame {
public:
    using Colour = std::array<float, 4>;

    // Starts a frame with the current projection, modelview, viewport and current state.
    // `bindTextures`: splits bind their own texture (the program loads textures).
    void begin(bool bindTextures);

    // A compiled model placed by `placement`; `sphere` holds it in world coordinates.
    void addModel(const std::array<float, 16>& placement, const BoundingSphere& sphere, const CompiledModel& model);

    // The placeholder cube's list (it binds no texture and sets its own colours).
    void addCube(const std::array<float, 16>& placement, const BoundingSphere& sphere, GLuint cubeList);

    // Other drawing at the current modelview, within the world points `extent` (empty:
    // anywhere on the screen). `leaves`: the colour it leaves current, if it sets one.
    void addOther(std::function<void()> draw, const std::vector<std::array<float, 3>>& extent, bool translucent,
                  std::optional<Colour> leaves);

    // Draws everything handed over and leaves the current state as the item-by-item
    // frame would.
    void finish();

    struct Figures {
        int grouped = 0;  // opaque splits and cubes, drawn texture by texture
        int ordered = 0;  // what blends (boxes included), drawn in the frame's order
        int layers = 0;
        int binds = 0;    // texture binds
        int groupedChanges = 0; // binds and placement changes texture by texture
        int inOrderChanges = 0; // the same in the frame's own order
    };

    // On: texture by texture even when the frame's own order would change less.
    void setAlwaysGrouped(bool on) { m_alwaysGrouped = on; }
    Figures LastFigures() const { return m_figures; }

private:
    enum class Kind : std::uint8_t { Split, Cube, Other };
    struct Op {
        Kind kind = Kind::Split;
        bool setNormal = false;
        bool setTexCoord = false;
        GLuint list = 0;
        GLuint texture = 0;
        int placement = -1;
        int other = -1;
        int sequence = 0; // place in the frame's order
        std::array<float, 3> normal{};
        std::array<float, 4> texCoord{};
        Colour colour{};
    };
    // Where something may land on the screen: grid cells (inclusive; none when x1 < x0)
    // and its distances in front of the eye.
    struct Area {
        int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
        float nearest = 0, farthest = 0;
        bool empty() const { return x1 < x0 || y1 < y0; }
    };

    Area boxArea(const std::array<float, 16>* placement, const std::array<float, 3>& low,
                 const std::array<float, 3>& high) const;
    Area pointsArea(const std::vector<std::array<float, 3>>& points) const;
    Area areaOf(const std::array<float, 3>* points, std::size_t count) const;
    void placeSplit(const Op& op, const std::array<float, 16>& placement, const CompiledSplit& split, bool blends);
    Area wholeScreen() const;
    // The layer of an opaque thing on `area`, and of one that blends.
    int opaqueLayer(const Area& area) const;
    int blendLayer(const Area& area) const;
    void mark(const Area& area, int layer, bool blends);
    void place(const Op& op, int layer, bool blends);
    struct Changes {
        int binds = 0;
        int placements = 0;
    };
    static Changes changes(const std::vector<const std::vector<Op>*>& runs, GLint bound);
    void drawInOrder(GLint bound);
    void drawOrdered(const std::vector<Op>& ops, GLint& bound);
    void restoreState();
    void drawOp(const Op& op);
    void unplace();
    void opaqueState(bool opaque) const;

    bool m_bindTextures = true;
    bool m_texturing = false;
    bool m_lighting = false;
    bool m_blending = false;
    bool m_alphaTest = false;
    int m_placed = -1; // placement whose matrix is pushed while drawing
    int m_sequence = 0;
    int m_lastSequence = -2; // of the thing drawn last
    std::array<float, 16> m_projection{};
    std::array<float, 16> m_modelview{};
    std::array<int, 4> m_viewport{};
    std::array<float, 16> m_clipFromWorld{}; // projection · modelview
    bool m_anyBlend = false;                 // something that blends was handed over
    bool m_orderAll = false;
    int m_cellsX = 0, m_cellsY = 0;
    // By cell of the screen grid: what was handed over so far.
    struct Cell {
        float blendNearest;  // nearest distance of what blends there
        int blendLayer;      // highest layer of what blends there; -1 none
        int opaqueLayer;     // highest layer of what is opaque there; -1 none
    };
    std::vector<Cell> m_cells;
    bool m_masksShow = false;
    bool m_anyMask = false;
    GLuint m_mask = 0; // unit 1's texture as the item-by-item frame would leave it

    // The current state as the item-by-item frame would have it at this point.
    std::array<float, 3> m_normal{};
    std::array<float, 4> m_texCoord{};
    Colour m_colour{};
    GLuint m_bound = 0;

    std::vector<std::array<float, 16>> m_placements;
    std::vector<std::function<void()>> m_others;
    struct Layer {
        std::vector<Op> cubes;
        std::unordered_map<GLuint, std::size_t> groupOf; // texture to its place in groups
        std::vector<std::vector<Op>> groups;
        std::vector<Op> opaqueOthers;
        std::vector<Op> blending;
        bool empty = true;
    };
    std::vector<Layer> m_layers;
    std::vector<Op> m_inOrder; // everything on the screen in the frame's order
    bool m_alwaysGrouped = false;
    Figures m_figures;
};
