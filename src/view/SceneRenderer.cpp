#include "SceneRenderer.h"

#include "CompiledModels.h"
#include "DefinitionLookup.h"
#include "DrawSettings.h"
#include "GroupedFrame.h"
#include "GLModelDrawer.h"
#include "InGameDistances.h"
#include "InstanceRotation.h"
#include "LodPartners.h"
#include "LoadProgress.h"
#include "ModelBounds.h"
#include "ProgramSettings.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TGTASDefinitions.h"
#include "TIPLFile.h"
#include "ViewFrustum.h"
#include "ViewMatrices.h"

#include <GL/gl.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

// Name of each kind of record in a pick pass, below the file's index.
enum PickKind : GLuint { PickInst = 0, PickPath = 1, PickZone = 2, PickCull = 3, PickOccluder = 4 };

constexpr float Sqrt3 = 1.7320508f;

struct Colour {
    float r, g, b;
};

// Face colours of the placeholder cube and of zone and cull boxes, by side.
constexpr Colour Green{0, 1, 0}, Orange{1, 0.5f, 0}, Red{1, 0, 0}, Yellow{1, 1, 0}, Blue{0, 0, 1}, Magenta{1, 0, 1};

// Six quads between two corners: low y green, high y orange, low z red, high z yellow,
// high x blue, low x magenta. Inside glBegin(GL_QUADS).
void boxFaces(float x1, float y1, float z1, float x2, float y2, float z2, float alpha)
{
    auto face = [alpha](const Colour& c, std::initializer_list<std::array<float, 3>> corners) {
        glColor4f(c.r, c.g, c.b, alpha);
        for (const auto& p : corners)
            glVertex3f(p[0], p[1], p[2]);
    };
    face(Green, {{x1, y1, z1}, {x2, y1, z1}, {x2, y1, z2}, {x1, y1, z2}});
    face(Orange, {{x1, y2, z1}, {x1, y2, z2}, {x2, y2, z2}, {x2, y2, z1}});
    face(Red, {{x1, y1, z1}, {x1, y2, z1}, {x2, y2, z1}, {x2, y1, z1}});
    face(Yellow, {{x1, y1, z2}, {x2, y1, z2}, {x2, y2, z2}, {x1, y2, z2}});
    face(Blue, {{x2, y1, z1}, {x2, y2, z1}, {x2, y2, z2}, {x2, y1, z2}});
    face(Magenta, {{x1, y1, z1}, {x1, y1, z2}, {x1, y2, z2}, {x1, y2, z1}});
}

// LOD choice 0 "Normal Mode", 1 "LOD Mode", 2 "Normal + LOD"; "As In Game" lets the
// distance rule decide.
bool passesLodChoice(const std::string& modelName, int choice)
{
    if (choice == LodChoiceAsInGame)
        return true;
    return isLodModelName(modelName) ? (choice == 1 || choice == 2) : (choice == 0 || choice == 2);
}

// The corners of the box around a sphere, for the screen area it may cover.
std::vector<std::array<float, 3>> boxAround(const BoundingSphere& sphere)
{
    std::vector<std::array<float, 3>> corners;
    const auto& c = sphere.centre;
    const float r = sphere.radius;
    for (int i = 0; i < 8; ++i)
        corners.push_back({c[0] + ((i & 1) ? r : -r), c[1] + ((i & 2) ? r : -r), c[2] + ((i & 4) ? r : -r)});
    return corners;
}

// The corners of boxes given by two opposite corners each.
template <typename Boxes, typename Corners>
std::vector<std::array<float, 3>> boxCorners(const Boxes& boxes, Corners corners)
{
    std::vector<std::array<float, 3>> points;
    for (const auto& box : boxes) {
        const auto [a, b] = corners(box);
        for (int i = 0; i < 8; ++i)
            points.push_back({(i & 1) ? a[0] : b[0], (i & 2) ? a[1] : b[1], (i & 4) ? a[2] : b[2]});
    }
    return points;
}

// The colour the path lines leave current: that of the last group of a known type.
std::optional<std::array<float, 4>> pathColourLeft(const TGTASPathIPL& paths)
{
    const DrawSettings& settings = drawSettings();
    std::optional<std::array<float, 4>> left;
    for (const TGTASPathIPLObj& group : paths.Items) {
        const std::array<std::uint8_t, 3>* colour = nullptr;
        switch (group.GroupType) {
        case 0: colour = &settings.PeoplePathColour; break;
        case 1: colour = &settings.CarPathColour; break;
        case 2: colour = &settings.BoatPathColour; break;
        default: break;
        }
        if (colour)
            left = std::array<float, 4>{(*colour)[0] / 255.0f, (*colour)[1] / 255.0f, (*colour)[2] / 255.0f, 1};
    }
    return left;
}

std::array<float, 16> currentMatrix(GLenum which)
{
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

} // namespace

struct SceneRenderer::Impl {
    bool modelsMode;
    bool texturesEnabled;
    TGTAFileList* files = nullptr;
    TGTAImg* set = nullptr;
    LoadProgress* progress = nullptr;
    std::unique_ptr<GLModelDrawer> drawer;
    CompiledModels compiled;
    bool compileModels = true;
    bool grouping = true;
    bool loadTextures = true; // the program loads textures: models bind them
    GroupedFrame grouped;
    bool culling = true;
    GLuint cubeList = 0;
    bool compiledForOtherSet = false; // lists of a previous archive set wait for a current context
    Counts counts;
    ViewFrustum frustum;
    FrameIDIndex idIndex;
    InGameDistances inGame;
    // "As In Game" this frame: where the camera stands and the draw distance scale.
    std::optional<std::array<float, 3>> eye;
    float distanceScale = 1;
    // Model-space spheres by model index; a model's geometry never changes in a run, so
    // they outlive unloading.
    std::vector<BoundingSphere> spheres;
    std::vector<bool> sphereKnown;

    Impl(bool models, bool textures) : modelsMode(models), texturesEnabled(textures) {}

    float cubeHalfSize() const { return modelsMode ? 0.5f : 4.0f; }
    BoundingSphere cubeSphere() const { return {{0, 0, 0}, cubeHalfSize() * Sqrt3}; }

    TGTADff& model(int index) { return *set->Dffs[static_cast<std::size_t>(index)]; }

    const BoundingSphere& modelSphere(int index)
    {
        const auto pos = static_cast<std::size_t>(index);
        if (pos >= spheres.size()) {
            spheres.resize(static_cast<std::size_t>(set->DffCount));
            sphereKnown.resize(static_cast<std::size_t>(set->DffCount), false);
        }
        if (!sphereKnown[pos]) {
            TGTADff& dff = model(index);
            if (!dff.Loaded)
                dff.Load();
            spheres[pos] = modelBoundingSphere(dff);
            sphereKnown[pos] = true;
        }
        return spheres[pos];
    }

    // Whether the item's sphere (in its own coordinates) can reach the picture.
    bool inView(const std::array<float, 16>& placement, const BoundingSphere& local) const
    {
        if (!culling)
            return true;
        return !frustum.outside({placePoint(placement, local.centre), local.radius});
    }

    // "As In Game": whether the game draws the placement from this frame's camera. A
    // placement without a definition at this hour (a timed object out of its hours) is not.
    bool shownInGame(const TGTASInstObj& record, const TGTASObjsObj* definition) const
    {
        if (!definition)
            return false;
        const InGameDistances::Reach* reach = inGame.reachOf(record.DefFile, record.DefHour != -1, record.DefIndex);
        if (!reach)
            return false;
        const float dx = record.PosX - (*eye)[0], dy = record.PosY - (*eye)[1], dz = record.PosZ - (*eye)[2];
        return InGameDistances::drawn(*reach, dx * dx + dy * dy + dz * dz, distanceScale);
    }

    void drawInstances(TIPLFile& ipl, int fileIndex, int hour, bool picking, bool loadingPass, SceneRenderer& owner,
                       GroupedFrame* queue);
    void drawModel(const std::array<float, 16>& placement, const BoundingSphere& sphere, int modelIndex,
                   int dictionary, GroupedFrame* queue);
    void drawPaths(const TGTASPathIPL& paths) const;
    void drawZones(const TGTASZone& zones) const;
    void drawCulls(const TGTASCull& culls) const;
    template <typename Boxes>
    void drawBoxes(const Boxes& boxes) const;
};

SceneRenderer::SceneRenderer(bool modelsMode, bool texturesEnabled)
    : m(std::make_unique<Impl>(modelsMode, texturesEnabled))
{
}

SceneRenderer::~SceneRenderer() = default;

void SceneRenderer::SetFileList(TGTAFileList* fileList)
{
    m->files = fileList;
}

void SceneRenderer::SetArchiveSet(TGTAImg* archiveSet)
{
    if (archiveSet == m->set)
        return;
    m->set = archiveSet;
    m->drawer = archiveSet ? std::make_unique<GLModelDrawer>(archiveSet) : nullptr;
    m->spheres.clear();
    m->sphereKnown.clear();
    m->compiledForOtherSet = m->compiled.listCount() > 0;
}

void SceneRenderer::SetLoadingProgress(LoadProgress* progress)
{
    m->progress = progress;
}

void SceneRenderer::SetTexturesEnabled(bool on)
{
    m->texturesEnabled = on;
}

void SceneRenderer::SetCompileModels(bool on)
{
    m->compileModels = on;
}

void SceneRenderer::SetGrouping(bool on, bool always)
{
    m->grouping = on;
    m->grouped.setAlwaysGrouped(always);
}

GroupedFrame::Figures SceneRenderer::LastGrouping() const
{
    return m->grouped.LastFigures();
}

void SceneRenderer::SetCulling(bool on)
{
    m->culling = on;
}

SceneRenderer::Counts SceneRenderer::LastCounts() const
{
    return m->counts;
}

std::size_t SceneRenderer::CompiledListCount() const
{
    return m->compiled.listCount();
}

void SceneRenderer::DrawAll(int gameHour, bool picking)
{
    m->counts = {};
    if (!m->files)
        return;
    m->idIndex.reset();
    if (m->compiledForOtherSet) {
        m->compiled.release();
        m->compiledForOtherSet = false;
    }
    m->loadTextures = programSettings().LoadTextures;
    if (m->drawer)
        m->drawer->setBindTextures(m->loadTextures);
    m->frustum = m->culling ? ViewFrustum::fromMatrices(currentMatrix(GL_PROJECTION_MATRIX),
                                                        currentMatrix(GL_MODELVIEW_MATRIX))
                            : ViewFrustum();
    m->eye.reset();
    if (m->modelsMode && drawSettings().LodChoice == LodChoiceAsInGame) {
        m->inGame.refresh(*m->files);
        m->distanceScale = drawSettings().DrawDistanceScale;
        auto widen = [](const std::array<float, 16>& from) {
            Matrix4 to{};
            std::copy(from.begin(), from.end(), to.begin());
            return to;
        };
        // The camera from the matrices themselves, so a pick pass measures what its frame did.
        if (const auto eye = eyePosition(widen(currentMatrix(GL_PROJECTION_MATRIX)),
                                         widen(currentMatrix(GL_MODELVIEW_MATRIX))))
            m->eye = std::array<float, 3>{static_cast<float>((*eye)[0]), static_cast<float>((*eye)[1]),
                                          static_cast<float>((*eye)[2])};
    }
    // While a loading pass runs (or freeing waits for this frame's usage marks) every model
    // of the visible files is loaded and marked, drawn or not.
    const bool loadingPass = m->progress != nullptr || (m->set != nullptr && m->set->FreePending);

    auto withName = [picking](GLuint name, auto&& draw) {
        if (picking)
            glPushName(name);
        draw();
        if (picking)
            glPopName();
    };
    // Models drawn texture by texture; picks keep the names of the item-by-item order.
    // "Normal + LOD" draws both forms of an item in one place: where their faces meet at
    // equal depth the one drawn last shows, so that choice keeps the item-by-item order. So
    // does a loading pass: its progress steps let editors change files before the frame ends.
    GroupedFrame* queue = (m->modelsMode && m->compileModels && m->grouping && !picking && m->set &&
                           !m->progress && drawSettings().LodChoice != 2)
                              ? &m->grouped
                              : nullptr;
    if (queue) {
        queue->begin(m->loadTextures);
        glEnable(GL_BLEND);
    }
    for (int pos = 0; pos < m->files->Count(); ++pos) {
        TIPLFile* ipl = m->files->IPLFile(pos);
        if (!ipl || !ipl->Visible)
            continue;
        if (queue) {
            m->drawInstances(*ipl, pos, gameHour, false, loadingPass, *this, queue);
            Impl& impl = *m;
            queue->addOther([&impl, ipl] { impl.drawPaths(ipl->Path); }, {}, false, pathColourLeft(ipl->Path));
            constexpr std::array<float, 4> boxColour{Magenta.r, Magenta.g, Magenta.b, 0.5f};
            if (!ipl->Zone.Items.empty())
                queue->addOther([&impl, ipl] { impl.drawZones(ipl->Zone); },
                                boxCorners(ipl->Zone.Items, [](const TGTASZoneObj& z) {
                                    return std::pair{std::array{z.Pos1X, z.Pos1Y, z.Pos1Z},
                                                     std::array{z.Pos2X, z.Pos2Y, z.Pos2Z}};
                                }),
                                true, boxColour);
            if (!ipl->Cull.Items.empty())
                queue->addOther([&impl, ipl] { impl.drawCulls(ipl->Cull); },
                                boxCorners(ipl->Cull.Items, [](const TGTASCullObj& c) {
                                    return std::pair{std::array{c.Pos2X, c.Pos2Y, c.Pos2Z},
                                                     std::array{c.Pos3X, c.Pos3Y, c.Pos3Z}};
                                }),
                                true, boxColour);
            continue;
        }
        if (picking)
            glPushName(static_cast<GLuint>(pos));
        glEnable(GL_BLEND);
        withName(PickInst, [&] { m->drawInstances(*ipl, pos, gameHour, picking, loadingPass, *this, nullptr); });
        withName(PickPath, [&] { m->drawPaths(ipl->Path); });
        withName(PickZone, [&] { m->drawZones(ipl->Zone); });
        withName(PickCull, [&] { m->drawCulls(ipl->Cull); });
        withName(PickOccluder, [] {}); // occluders are not drawn
        if (picking)
            glPopName();
        glDisable(GL_BLEND);
    }
    if (queue) {
        queue->finish();
        glDisable(GL_BLEND);
    }
}

void SceneRenderer::Impl::drawInstances(TIPLFile& ipl, int fileIndex, int hour, bool picking, bool loadingPass,
                                        SceneRenderer& owner, GroupedFrame* queue)
{
    if (progress) {
        progress->StepOverall();
        progress->SetPartMax(ipl.Inst.Count());
    }
    // Progress steps let messages run, and an editor may change definitions meanwhile:
    // then the records themselves are searched.
    DefinitionLookup lookup(*files, fileIndex, progress ? nullptr : &idIndex);
    const int lodChoice = drawSettings().LodChoice;

    // Count each time, for the same reason.
    for (int k = 0; k < ipl.Inst.Count(); ++k) {
        if (progress)
            progress->StepPart();
        if (k >= ipl.Inst.Count())
            break;
        TGTASInstObj& record = ipl.Inst.Items[static_cast<std::size_t>(k)];

        TGTASObjsObj* definition = nullptr;
        int modelIndex = -1;
        bool farAway = false; // hidden by the game's distance rule
        if (modelsMode) {
            DefinitionLookup::forgetOtherHour(record, hour);
            if (!passesLodChoice(record.ModelName, lodChoice))
                continue;
            definition = lookup.resolve(record, hour);
            if (eye && !shownInGame(record, definition)) {
                if (!loadingPass)
                    continue; // costs nothing more
                farAway = true;
            }
            if (definition && set) {
                if (definition->TextureIndex >= 0 && definition->TextureIndex < set->TxdCount)
                    set->Txds[static_cast<std::size_t>(definition->TextureIndex)]->Used = true;
                if (definition->ModelIndex == -1)
                    definition->ModelIndex = set->FindDff(definition->ModelName);
                if (definition->ModelIndex >= 0 && definition->ModelIndex < set->DffCount)
                    modelIndex = definition->ModelIndex;
            }
        }
        if (!farAway)
            ++counts.instancesConsidered;

        const std::array<float, 16> placement = instanceMatrix(record.PosX, record.PosY, record.PosZ, record.RotX,
                                                               record.RotY, record.RotZ, record.RotW);
        const BoundingSphere& local = modelIndex != -1 ? modelSphere(modelIndex) : cubeSphere();
        if (farAway || !inView(placement, local)) {
            if (loadingPass && modelIndex != -1) {
                TGTADff& dff = model(modelIndex);
                if (!dff.Loaded)
                    dff.Load();
                dff.Used = true;
            }
            continue;
        }
        ++counts.instancesDrawn;

        if (queue) {
            const BoundingSphere world{placePoint(placement, local.centre), local.radius};
            if (modelIndex == -1) {
                if (const GLuint cube = owner.cubeList(); cube != 0)
                    queue->addCube(placement, world, cube);
            } else {
                drawModel(placement, world, modelIndex, definition->TextureIndex, queue);
            }
            continue;
        }
        glPushMatrix();
        glMultMatrixf(placement.data());
        if (picking)
            glPushName(static_cast<GLuint>(k));
        if (modelIndex == -1) {
            owner.DrawCube();
        } else {
            drawModel(placement, {}, modelIndex, definition->TextureIndex, nullptr);
        }
        if (picking)
            glPopName();
        glPopMatrix();
    }
}

// Draws the model at the current transform, or hands it to the grouped frame.
void SceneRenderer::Impl::drawModel(const std::array<float, 16>& placement, const BoundingSphere& sphere,
                                    int modelIndex, int dictionary, GroupedFrame* queue)
{
    TGTADff& dff = model(modelIndex);
    if (!dff.Loaded)
        dff.Load();
    dff.Used = true;
    const CompiledModel* lists =
        compileModels ? compiled.get(*set, modelIndex, dictionary, *drawer, loadTextures, queue != nullptr)
                      : nullptr;
    if (lists)
        counts.splitsDrawn += static_cast<int>(lists->splits.size());
    if (!queue) {
        if (lists)
            CompiledModels::drawInOrder(*lists, loadTextures);
        else
            dff.Draw(dictionary, *drawer);
        return;
    }
    if (lists) {
        queue->addModel(placement, sphere, *lists);
        return;
    }
    // Out of list names: drawn in immediate mode in its place in the order.
    TGTADff* immediate = &dff;
    GLModelDrawer* target = drawer.get();
    queue->addOther(
        [immediate, target, placement, dictionary] {
            glPushMatrix();
            glMultMatrixf(placement.data());
            immediate->Draw(dictionary, *target);
            glPopMatrix();
        },
        boxAround(sphere), true, std::array<float, 4>{1, 1, 1, 1});
}

void SceneRenderer::Impl::drawPaths(const TGTASPathIPL& paths) const
{
    const DrawSettings& settings = drawSettings();
    const float scale = settings.PathCoordinateScale;
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    glLineWidth(settings.PathLineWidth);
    for (const TGTASPathIPLObj& group : paths.Items) {
        const std::array<std::uint8_t, 3>* colour = nullptr;
        switch (group.GroupType) {
        case 0: colour = &settings.PeoplePathColour; break;
        case 1: colour = &settings.CarPathColour; break;
        case 2: colour = &settings.BoatPathColour; break;
        default: break; // the colour of the group before stays
        }
        if (colour)
            glColor3ub((*colour)[0], (*colour)[1], (*colour)[2]);
        glBegin(GL_LINES);
        for (const TGTASPathIPLNode& node : group.Nodes) {
            if (node.NodeType == 0 || node.NextNode == -1)
                continue;
            if (node.PosX == 0 && node.PosY == 0 && node.PosZ == 0)
                continue;
            // A link past the group's nodes comes from a damaged file: there is nothing to join.
            if (node.NextNode < 0 || node.NextNode >= group.NodeCount())
                continue;
            const TGTASPathIPLNode& next = group.Nodes[static_cast<std::size_t>(node.NextNode)];
            glVertex3f(node.PosX * scale, node.PosY * scale, node.PosZ * scale);
            glVertex3f(next.PosX * scale, next.PosY * scale, next.PosZ * scale);
        }
        glEnd();
    }
    glLineWidth(1);
    if (texturesEnabled)
        glEnable(GL_TEXTURE_2D);
    glPopMatrix();
}

template <typename Boxes>
void SceneRenderer::Impl::drawBoxes(const Boxes& boxes) const
{
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    boxes();
    glEnd();
    if (texturesEnabled)
        glEnable(GL_TEXTURE_2D);
}

void SceneRenderer::Impl::drawZones(const TGTASZone& zones) const
{
    drawBoxes([&] {
        for (const TGTASZoneObj& z : zones.Items)
            boxFaces(z.Pos1X, z.Pos1Y, z.Pos1Z, z.Pos2X, z.Pos2Y, z.Pos2Z, 0.5f);
    });
}

void SceneRenderer::Impl::drawCulls(const TGTASCull& culls) const
{
    // A cull's first point is not part of its box.
    drawBoxes([&] {
        for (const TGTASCullObj& c : culls.Items)
            boxFaces(c.Pos2X, c.Pos2Y, c.Pos2Z, c.Pos3X, c.Pos3Y, c.Pos3Z, 0.5f);
    });
}

void SceneRenderer::DrawDefinition(TGTASObjsObj& record)
{
    if (m->drawer)
        m->drawer->setBindTextures(programSettings().LoadTextures);
    if (!m->set || !m->drawer ||
        !m->set->DrawDefinitionModel(record.ModelIndex, record.ModelName, record.TextureIndex, *m->drawer))
        DrawCube();
}

void SceneRenderer::DrawCube()
{
    if (const GLuint list = cubeList(); list != 0)
        glCallList(list);
}

GLuint SceneRenderer::cubeList()
{
    if (m->cubeList == 0) {
        m->cubeList = glGenLists(1);
        if (m->cubeList == 0)
            return 0;
        const float h = m->cubeHalfSize();
        glNewList(m->cubeList, GL_COMPILE);
        // No texture: the faces show their own colours whatever the last model bound.
        glBindTexture(GL_TEXTURE_2D, 0);
        glBegin(GL_QUADS);
        // +y green, -y orange, +z red, -z yellow, -x blue, +x magenta.
        glColor3f(Green.r, Green.g, Green.b);
        glVertex3f(-h, h, -h); glVertex3f(-h, h, h); glVertex3f(h, h, h); glVertex3f(h, h, -h);
        glColor3f(Orange.r, Orange.g, Orange.b);
        glVertex3f(-h, -h, -h); glVertex3f(h, -h, -h); glVertex3f(h, -h, h); glVertex3f(-h, -h, h);
        glColor3f(Red.r, Red.g, Red.b);
        glVertex3f(-h, -h, h); glVertex3f(h, -h, h); glVertex3f(h, h, h); glVertex3f(-h, h, h);
        glColor3f(Yellow.r, Yellow.g, Yellow.b);
        glVertex3f(-h, -h, -h); glVertex3f(-h, h, -h); glVertex3f(h, h, -h); glVertex3f(h, -h, -h);
        glColor3f(Blue.r, Blue.g, Blue.b);
        glVertex3f(-h, -h, -h); glVertex3f(-h, -h, h); glVertex3f(-h, h, h); glVertex3f(-h, h, -h);
        glColor3f(Magenta.r, Magenta.g, Magenta.b);
        glVertex3f(h, -h, -h); glVertex3f(h, h, -h); glVertex3f(h, h, h); glVertex3f(h, -h, h);
        glEnd();
        glEndList();
    }
    return m->cubeList;
}

void SceneRenderer::FreeUnusedIfPending()
{
    if (!m->set || !m->set->FreePending)
        return;
    m->set->FreeUnused();
    m->set->FreePending = false;
    m->compiled.dropStale(*m->set);
}

void SceneRenderer::ReleaseGL()
{
    if (m->cubeList != 0)
        glDeleteLists(m->cubeList, 1);
    m->cubeList = 0;
    m->compiled.release();
    m->compiledForOtherSet = false;
}
