#include "GroupedFrame.h"

#include "GLEntryPoints.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace {

constexpr int CellSize = 4; // pixels of the coverage grid's cells
constexpr GroupedFrame::Colour White{1, 1, 1, 1};
constexpr GroupedFrame::Colour CubeLast{1, 0, 1, 1}; // the cube's list ends with its magenta face

template <typename T, std::size_t N>
std::array<T, N> current(GLenum which)
{
    std::array<T, N> values{};
    if constexpr (std::is_same_v<T, float>)
        glGetFloatv(which, values.data());
    else
        glGetIntegerv(which, values.data());
    return values;
}

} // namespace

void GroupedFrame::begin(bool bindTextures)
{
    m_bindTextures = bindTextures;
    m_texturing = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    m_lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    m_blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    m_alphaTest = glIsEnabled(GL_ALPHA_TEST) == GL_TRUE;
    m_placed = -1;
    m_sequence = 0;
    m_lastSequence = -2; // the first thing drawn is handed the state the frame began with
    m_projection = current<float, 16>(GL_PROJECTION_MATRIX);
    m_modelview = current<float, 16>(GL_MODELVIEW_MATRIX);
    m_viewport = current<int, 4>(GL_VIEWPORT);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += m_projection[static_cast<std::size_t>(k * 4 + r)] *
                       m_modelview[static_cast<std::size_t>(c * 4 + k)];
            m_clipFromWorld[static_cast<std::size_t>(c * 4 + r)] = sum;
        }
    m_anyBlend = false;
    // A modelview that is no plain motion leaves distances unknown: everything keeps its order.
    m_orderAll = std::abs(m_modelview[3]) + std::abs(m_modelview[7]) + std::abs(m_modelview[11]) > 1e-6f ||
                 std::abs(m_modelview[15] - 1) > 1e-6f;
    m_cellsX = std::max(1, (m_viewport[2] + CellSize - 1) / CellSize);
    m_cellsY = std::max(1, (m_viewport[3] + CellSize - 1) / CellSize);
    m_cells.assign(static_cast<std::size_t>(m_cellsX) * static_cast<std::size_t>(m_cellsY), Cell{INFINITY, -1, -1});
    m_masksShow = false;
    m_anyMask = false;
    if (glEntryPoints().hasMultitexture()) {
        GLint active = GL_TEXTURE0_ARB;
        glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
        glEntryPoints().ActiveTextureARB(GL_TEXTURE1_ARB);
        m_masksShow = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
        m_mask = static_cast<GLuint>(current<int, 1>(GL_TEXTURE_BINDING_2D)[0]);
        glEntryPoints().ActiveTextureARB(static_cast<GLenum>(active));
    }

    const auto normal = current<float, 4>(GL_CURRENT_NORMAL);
    m_normal = {normal[0], normal[1], normal[2]};
    m_texCoord = current<float, 4>(GL_CURRENT_TEXTURE_COORDS);
    m_colour = current<float, 4>(GL_CURRENT_COLOR);
    m_bound = static_cast<GLuint>(current<int, 1>(GL_TEXTURE_BINDING_2D)[0]);

    m_placements.clear();
    m_others.clear();
    m_inOrder.clear();
    for (Layer& layer : m_layers) {
        if (layer.empty)
            continue;
        layer.cubes.clear();
        for (auto& group : layer.groups)
            group.clear();
        layer.opaqueOthers.clear();
        layer.blending.clear();
        layer.empty = true;
    }
    m_figures = {};
}

GroupedFrame::Area GroupedFrame::wholeScreen() const
{
    return {0, 0, m_cellsX - 1, m_cellsY - 1, -INFINITY, INFINITY};
}

GroupedFrame::Area GroupedFrame::pointsArea(const std::vector<std::array<float, 3>>& points) const
{
    if (points.empty())
        return wholeScreen();
    return areaOf(points.data(), points.size());
}

GroupedFrame::Area GroupedFrame::areaOf(const std::array<float, 3>* points, std::size_t count) const
{
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    Area area;
    area.nearest = INFINITY;
    area.farthest = -INFINITY;
    const auto& m = m_clipFromWorld;
    for (std::size_t i = 0; i < count; ++i) {
        const auto& p = points[i];
        const float cx = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
        const float cy = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
        const float cw = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
        const float depth = -(m_modelview[2] * p[0] + m_modelview[6] * p[1] + m_modelview[10] * p[2] + m_modelview[14]);
        if (!(cw > 1e-6f))
            return wholeScreen(); // reaches behind the eye: its picture is unbounded
        const float wx = (cx / cw + 1) * 0.5f * static_cast<float>(m_viewport[2]);
        const float wy = (cy / cw + 1) * 0.5f * static_cast<float>(m_viewport[3]);
        x0 = std::min(x0, wx), x1 = std::max(x1, wx);
        y0 = std::min(y0, wy), y1 = std::max(y1, wy);
        area.nearest = std::min(area.nearest, depth);
        area.farthest = std::max(area.farthest, depth);
    }
    if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1))
        return wholeScreen();
    // Pixels of margin for rasterisation at the edges, and some for rounding in depth.
    x0 -= 2, y0 -= 2, x1 += 2, y1 += 2;
    const float slack = 1e-3f * std::max(1.0f, std::abs(area.farthest));
    area.nearest -= slack;
    area.farthest += slack;
    if (x1 < 0 || y1 < 0 || x0 >= static_cast<float>(m_viewport[2]) || y0 >= static_cast<float>(m_viewport[3]))
        return {}; // off the screen
    auto cell = [](float v, int cells) { return std::clamp(static_cast<int>(v) / CellSize, 0, cells - 1); };
    area.x0 = cell(std::max(x0, 0.0f), m_cellsX);
    area.y0 = cell(std::max(y0, 0.0f), m_cellsY);
    area.x1 = cell(x1, m_cellsX);
    area.y1 = cell(y1, m_cellsY);
    return area;
}

GroupedFrame::Area GroupedFrame::boxArea(const std::array<float, 16>* placement, const std::array<float, 3>& low,
                                         const std::array<float, 3>& high) const
{
    std::array<std::array<float, 3>, 8> corners;
    for (std::size_t i = 0; i < 8; ++i) {
        const float x = (i & 1) ? high[0] : low[0];
        const float y = (i & 2) ? high[1] : low[1];
        const float z = (i & 4) ? high[2] : low[2];
        if (placement) {
            const auto& t = *placement;
            corners[i] = {t[0] * x + t[4] * y + t[8] * z + t[12], t[1] * x + t[5] * y + t[9] * z + t[13],
                          t[2] * x + t[6] * y + t[10] * z + t[14]};
        } else {
            corners[i] = {x, y, z};
        }
    }
    return areaOf(corners.data(), corners.size());
}

int GroupedFrame::opaqueLayer(const Area& area) const
{
    int layer = 0;
    for (int y = area.y0; y <= area.y1; ++y)
        for (int x = area.x0; x <= area.x1; ++x) {
            const Cell& cell = m_cells[static_cast<std::size_t>(y * m_cellsX + x)];
            if (cell.blendNearest <= area.farthest)
                layer = std::max(layer, cell.blendLayer + 1);
        }
    return layer;
}

int GroupedFrame::blendLayer(const Area& area) const
{
    int layer = 0;
    for (int y = area.y0; y <= area.y1; ++y)
        for (int x = area.x0; x <= area.x1; ++x) {
            const Cell& cell = m_cells[static_cast<std::size_t>(y * m_cellsX + x)];
            layer = std::max({layer, cell.blendLayer, cell.opaqueLayer});
        }
    return layer;
}

void GroupedFrame::mark(const Area& area, int layer, bool blends)
{
    // Opaque things of the first layer never move what blends after them.
    if (!blends && layer == 0)
        return;
    m_anyBlend = m_anyBlend || blends;
    for (int y = area.y0; y <= area.y1; ++y)
        for (int x = area.x0; x <= area.x1; ++x) {
            Cell& cell = m_cells[static_cast<std::size_t>(y * m_cellsX + x)];
            if (blends) {
                cell.blendNearest = std::min(cell.blendNearest, area.nearest);
                cell.blendLayer = std::max(cell.blendLayer, layer);
            } else {
                cell.opaqueLayer = std::max(cell.opaqueLayer, layer);
            }
        }
}

void GroupedFrame::place(const Op& op, int layerIndex, bool blends)
{
    m_inOrder.push_back(op);
    if (static_cast<std::size_t>(layerIndex) >= m_layers.size())
        m_layers.resize(static_cast<std::size_t>(layerIndex) + 1);
    Layer& layer = m_layers[static_cast<std::size_t>(layerIndex)];
    layer.empty = false;
    if (blends) {
        layer.blending.push_back(op);
        return;
    }
    switch (op.kind) {
    case Kind::Cube: layer.cubes.push_back(op); return;
    case Kind::Other: layer.opaqueOthers.push_back(op); return;
    case Kind::Split: break;
    }
    auto [found, added] = layer.groupOf.try_emplace(op.texture, layer.groups.size());
    if (added)
        layer.groups.emplace_back();
    layer.groups[found->second].push_back(op);
}

void GroupedFrame::addModel(const std::array<float, 16>& placement, const BoundingSphere&, const CompiledModel& model)
{
    const int placementIndex = static_cast<int>(m_placements.size());
    m_placements.push_back(placement);
    for (const CompiledSplit& split : model.splits) {
        Op op;
        op.sequence = m_sequence++;
        op.list = split.list;
        op.placement = placementIndex;
        op.texture = m_bindTextures ? split.texture : m_bound;
        op.setNormal = split.takesNormal;
        op.normal = m_normal;
        op.setTexCoord = split.takesTexCoord;
        op.texCoord = m_texCoord;
        // Without texturing the texel alpha never reaches the picture.
        const bool blends = (split.masked && m_masksShow) || (m_texturing && (!m_bindTextures || !split.opaque));
        placeSplit(op, placement, split, blends || m_orderAll);
        m_bound = op.texture;
        if (split.givesNormal)
            m_normal = split.lastNormal;
        if (split.givesTexCoord)
            m_texCoord = {split.lastTexCoord[0], split.lastTexCoord[1], 0, 1};
        if (split.masked) {
            m_anyMask = true;
            m_mask = split.mask;
        }
    }
    if (model.setsWhite)
        m_colour = White;
}

void GroupedFrame::placeSplit(const Op& op, const std::array<float, 16>& placement, const CompiledSplit& split,
                              bool blends)
{
    // Until something blends every opaque thing lies in the first layer.
    if (!blends && !m_anyBlend) {
        place(op, 0, false);
        return;
    }
    const Area area = boxArea(&placement, split.low, split.high);
    if (area.empty())
        return; // off the screen
    const int layer = blends ? blendLayer(area) : opaqueLayer(area);
    place(op, layer, blends);
    mark(area, layer, blends);
}

void GroupedFrame::addCube(const std::array<float, 16>& placement, const BoundingSphere& sphere, GLuint cubeList)
{
    Op op;
    op.sequence = m_sequence++;
    op.kind = Kind::Cube;
    op.list = cubeList;
    op.placement = static_cast<int>(m_placements.size());
    op.setNormal = true;
    op.normal = m_normal;
    m_placements.push_back(placement);
    const auto& c = sphere.centre;
    const float r = sphere.radius;
    if (!m_anyBlend) {
        place(op, 0, false);
    } else if (const Area area = boxArea(nullptr, {c[0] - r, c[1] - r, c[2] - r}, {c[0] + r, c[1] + r, c[2] + r});
               !area.empty()) {
        const int layer = opaqueLayer(area);
        place(op, layer, false);
        mark(area, layer, false);
    }
    m_bound = 0;
    m_colour = CubeLast;
}

void GroupedFrame::addOther(std::function<void()> draw, const std::vector<std::array<float, 3>>& extent,
                            bool translucent, std::optional<Colour> leaves)
{
    Op op;
    op.sequence = m_sequence++;
    op.kind = Kind::Other;
    op.other = static_cast<int>(m_others.size());
    op.setNormal = true;
    op.normal = m_normal;
    op.colour = m_colour;
    m_others.push_back(std::move(draw));
    const bool ordered = translucent || m_orderAll;
    const Area area = pointsArea(extent);
    if (!area.empty()) {
        const int layer = ordered ? blendLayer(area) : opaqueLayer(area);
        place(op, layer, ordered);
        mark(area, layer, ordered);
    }
    if (leaves)
        m_colour = *leaves;
}

void GroupedFrame::drawOp(const Op& op)
{
    // What follows the thing drawn just before it in the frame's order finds its state
    // already current. The normal shows only under lighting, the coordinate only with
    // texturing.
    const bool handOver = op.sequence != m_lastSequence + 1;
    m_lastSequence = op.sequence;
    if (handOver && op.setNormal && m_lighting)
        glNormal3fv(op.normal.data());
    if (handOver && op.setTexCoord && m_texturing)
        glTexCoord4fv(op.texCoord.data());
    if (op.kind == Kind::Other) {
        unplace();
        if (handOver)
            glColor4fv(op.colour.data());
        m_others[static_cast<std::size_t>(op.other)]();
        return;
    }
    // Splits of one item that follow each other share its placement: the same matrix.
    if (op.placement != m_placed) {
        unplace();
        glPushMatrix();
        glMultMatrixf(m_placements[static_cast<std::size_t>(op.placement)].data());
        m_placed = op.placement;
    }
    glCallList(op.list);
}

void GroupedFrame::opaqueState(bool opaque) const
{
    if (m_blending)
        opaque ? glDisable(GL_BLEND) : glEnable(GL_BLEND);
    if (m_alphaTest)
        opaque ? glDisable(GL_ALPHA_TEST) : glEnable(GL_ALPHA_TEST);
}

void GroupedFrame::unplace()
{
    if (m_placed == -1)
        return;
    glPopMatrix();
    m_placed = -1;
}

// Texture binds and placement changes of a sequence of things, from the texture bound.
GroupedFrame::Changes GroupedFrame::changes(const std::vector<const std::vector<Op>*>& runs, GLint bound)
{
    Changes count;
    int placed = -1;
    for (const std::vector<Op>* run : runs)
        for (const Op& op : *run) {
            if (op.kind == Kind::Split && static_cast<GLint>(op.texture) != bound) {
                bound = static_cast<GLint>(op.texture);
                ++count.binds;
            }
            if (op.kind == Kind::Cube)
                bound = 0;
            if (op.kind != Kind::Other && op.placement != placed)
                ++count.placements;
            placed = op.kind == Kind::Other ? -1 : op.placement;
        }
    return count;
}

void GroupedFrame::finish()
{
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);

    // The renderer pays about as much for a texture bind as for taking up another matrix or
    // switching blending, and grouping by texture breaks an item's splits apart: when that
    // would change more than it saves, the frame is drawn in its own order (the same
    // picture either way).
    std::vector<const std::vector<Op>*> layered;
    for (const Layer& layer : m_layers) {
        if (layer.empty)
            continue;
        layered.push_back(&layer.cubes);
        for (const auto& group : layer.groups)
            layered.push_back(&group);
        layered.push_back(&layer.opaqueOthers);
        layered.push_back(&layer.blending);
    }
    const Changes grouped = changes(layered, bound);
    const Changes inOrder = changes({&m_inOrder}, bound);
    // Each layer also turns blending and the alpha test off and on again.
    const auto layers = std::count_if(m_layers.begin(), m_layers.end(), [](const Layer& l) { return !l.empty; });
    const int toggles = (m_blending || m_alphaTest) ? 2 * static_cast<int>(layers) : 0;
    m_figures.groupedChanges = grouped.binds + grouped.placements + toggles;
    m_figures.inOrderChanges = inOrder.binds + inOrder.placements;
    if (!m_alwaysGrouped && m_figures.groupedChanges >= m_figures.inOrderChanges) {
        drawInOrder(bound);
        return;
    }
    for (const Layer& layer : m_layers) {
        if (layer.empty)
            continue;
        ++m_figures.layers;
        // Fragments of opaque things have alpha 1: blending gives the fragment itself and
        // the alpha test passes it, so both are left out (and the renderer can test depth
        // before it textures).
        opaqueState(true);
        for (const Op& op : layer.cubes)
            drawOp(op);
        if (!layer.cubes.empty())
            bound = 0;
        m_figures.grouped += static_cast<int>(layer.cubes.size());
        for (const auto& group : layer.groups) {
            if (group.empty())
                continue;
            if (static_cast<GLint>(group.front().texture) != bound) {
                glBindTexture(GL_TEXTURE_2D, group.front().texture);
                bound = static_cast<GLint>(group.front().texture);
                ++m_figures.binds;
            }
            for (const Op& op : group)
                drawOp(op);
            m_figures.grouped += static_cast<int>(group.size());
        }
        opaqueState(false);
        for (const Op& op : layer.opaqueOthers)
            drawOp(op);
        drawOrdered(layer.blending, bound);
        m_figures.ordered += static_cast<int>(layer.blending.size());
    }
    unplace();
    restoreState();
}

void GroupedFrame::drawInOrder(GLint bound)
{
    m_figures.ordered = static_cast<int>(m_inOrder.size());
    drawOrdered(m_inOrder, bound);
    unplace();
    restoreState();
}

// Operations in their own order, binding a split's texture only when it changes (a cube
// leaves none bound).
void GroupedFrame::drawOrdered(const std::vector<Op>& ops, GLint& bound)
{
    for (const Op& op : ops) {
        if (op.kind == Kind::Split && static_cast<GLint>(op.texture) != bound) {
            glBindTexture(GL_TEXTURE_2D, op.texture);
            bound = static_cast<GLint>(op.texture);
            ++m_figures.binds;
        }
        drawOp(op);
        if (op.kind == Kind::Cube)
            bound = 0;
    }
}

void GroupedFrame::restoreState()
{
    if (m_anyMask) {
        glEntryPoints().ActiveTextureARB(GL_TEXTURE1_ARB);
        glBindTexture(GL_TEXTURE_2D, m_mask);
        glEntryPoints().ActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glBindTexture(GL_TEXTURE_2D, m_bound);
    glNormal3fv(m_normal.data());
    glTexCoord4fv(m_texCoord.data());
    glColor4fv(m_colour.data());
}
