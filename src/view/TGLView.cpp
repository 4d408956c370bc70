#include "TGLView.h"

#include "DrawSettings.h"
#include "GLDrawingState.h"
#include "GLEntryPoints.h"
#include "Log.h"
#include "MapDocument.h"
#include "PickHits.h"
#include "PlanePoints.h"
#include "SceneRenderer.h"
#include "SelectionTarget.h"
#include "Snapping.h"
#include "TGTAFileList.h"
#include "TIPLFile.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <GL/glu.h>

#include <algorithm>
#include <array>

namespace {

constexpr int PickBufferWords = 512;

bool leftHeld(Qt::MouseButtons buttons)
{
    return buttons & (Qt::LeftButton | Qt::MiddleButton);
}

} // namespace

struct TGLView::Impl {
    QLabel* statusLabel = nullptr;
    QLineEdit* positionBox = nullptr;
    TGTAFileList* fileList = nullptr;
    SelectionTarget* editor = nullptr;
    std::unique_ptr<SceneRenderer> renderer;
    QMetaObject::Connection contextGoing;

    ViewCamera camera;
    QTimer moveTimer;

    // Start-up options and the view options, kept so a rebuilt context gets them again.
    bool texturesAtStart = false;
    bool texturing = false;
    bool lighting = false;
    bool wireframe = false;
    bool alphaTest = false;
    std::array<float, 4> clearColour{0.0f, 0.0f, 0.0f, 0.0f};
    std::array<float, 4> diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> ambient{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> specular{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> lightPosition{0.0f, 0.0f, 700.0f, 1.0f};
    bool backgroundMap = false;
    std::array<std::uint32_t, 64> radarTextures{};

    // Mouse: 0 no button, 1 left (or middle), 2 right, 3 left and right.
    int buttonState = 0;
    int lastX = 0, lastY = 0;
    DragMode dragMode = DragMode::None;
    Vec3d previous{};
    GridDrag gridDrag;

    int moveAxis = 2;
    int gameHour = 9;
    SelectionState selectionState = SelectionState::Nothing;
    bool glReady = false;
    bool picking = false;
    bool inPaint = false;
};

TGLView::TGLView(QWidget* panel, QLabel* statusLabel, QLineEdit* positionBox, bool texturesEnabled,
                 bool modelsMode)
    : QOpenGLWidget(panel), m(std::make_unique<Impl>())
{
    setObjectName("TGLView");
    m->statusLabel = statusLabel;
    m->positionBox = positionBox;
    m->renderer = std::make_unique<SceneRenderer>(modelsMode, texturesEnabled);
    m->texturesAtStart = texturesEnabled;
    m->texturing = texturesEnabled;
    m->alphaTest = texturesEnabled;
    m->lighting = modelsMode && !texturesEnabled;
    setFocusPolicy(Qt::StrongFocus);
    m->moveTimer.setInterval(10);
    connect(&m->moveTimer, &QTimer::timeout, this, &TGLView::MoveTimerTimer);
    AttachToPanel(panel);
}

TGLView::~TGLView()
{
    // The context outlives this destructor (QOpenGLWidget deletes it): its last signal
    // must not reach a half-destroyed view.
    disconnect(m->contextGoing);
    if (context() && context()->isValid()) {
        makeCurrent();
        m->renderer->ReleaseGL();
        m->renderer.reset();
        doneCurrent();
    }
}

void TGLView::AttachToPanel(QWidget* panel)
{
    if (!panel)
        return;
    QLayout* layout = panel->layout();
    if (!layout) {
        layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    if (parentWidget() != panel)
        setParent(panel);
    if (layout->indexOf(this) < 0)
        layout->addWidget(this);
    show();
    UpdateViewport();
}

void TGLView::SetFileList(TGTAFileList* fileList)
{
    m->fileList = fileList;
    m->renderer->SetFileList(fileList);
    update();
}

void TGLView::SetArchiveSet(TGTAImg* archiveSet)
{
    m->renderer->SetArchiveSet(archiveSet);
    update();
}

void TGLView::SetItemEditor(SelectionTarget* editor)
{
    m->editor = editor;
}

void TGLView::SetGameHour(int hour)
{
    m->gameHour = hour;
    update();
}

int TGLView::GameHour() const
{
    return m->gameHour;
}

void TGLView::SetBackgroundMap(bool on, const std::vector<std::uint32_t>& names)
{
    if (on && names.size() == m->radarTextures.size()) {
        std::copy(names.begin(), names.end(), m->radarTextures.begin());
        m->backgroundMap = true;
    } else {
        m->backgroundMap = false;
    }
    update();
}

void TGLView::SetLightColours(const std::array<float, 4>& diffuse, const std::array<float, 4>& ambient,
                              const std::array<float, 4>& specular)
{
    m->diffuse = diffuse;
    m->ambient = ambient;
    m->specular = specular;
    changeGL([this] {
        glLightfv(GL_LIGHT0, GL_DIFFUSE, m->diffuse.data());
        glLightfv(GL_LIGHT0, GL_AMBIENT, m->ambient.data());
        glLightfv(GL_LIGHT0, GL_SPECULAR, m->specular.data());
    });
}

std::array<float, 3> TGLView::GetCameraTarget() const
{
    return {m->camera.TargetX, m->camera.TargetY, m->camera.TargetZ};
}

void TGLView::UpdateViewport()
{
    const qreal ratio = devicePixelRatioF();
    changeGL([this, ratio] {
        glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    });
}

template <typename Change>
void TGLView::changeGL(Change&& change)
{
    // Before the first show, and while a move to another window rebuilds the context, there
    // is nothing to change: initializeGL applies the stored options to the new context.
    if (m->glReady && context() && context()->isValid() && !m->inPaint) {
        makeCurrent();
        change();
        doneCurrent();
    }
    update();
}

void TGLView::applyCamera()
{
    const ViewCamera& c = m->camera;
    gluPerspective(45.0, static_cast<double>(width()) / std::max(height(), 1), 1.0, 8000.0);
    if (c.FirstPerson) {
        glRotatef(c.Pitch, 1.0f, 0.0f, 0.0f);
        glRotatef(c.FirstPersonY, 0.0f, 1.0f, 0.0f);
        glRotatef(c.Heading, 0.0f, 0.0f, 1.0f);
    } else {
        glTranslatef(0.0f, 0.0f, c.Zoom);
        glRotatef(c.AngleX, 1.0f, 0.0f, 0.0f);
        glRotatef(c.AngleY, 0.0f, 1.0f, 0.0f);
        glRotatef(c.AngleZ, 0.0f, 0.0f, 1.0f);
    }
}

void TGLView::BeginFrame()
{
    if (!m->glReady)
        return;
    if (!m->inPaint)
        makeCurrent();
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    applyCamera();

    // The light follows the target; its position goes through the modelview matrix of the
    // frame before, which is the translation by the target as it was then.
    m->lightPosition[0] = m->camera.TargetX;
    m->lightPosition[1] = m->camera.TargetY;
    glLightfv(GL_LIGHT0, GL_POSITION, m->lightPosition.data());

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-m->camera.TargetX, -m->camera.TargetY, -m->camera.TargetZ);

    if (m->backgroundMap)
        drawBackgroundMap();
    if (m->selectionState == SelectionState::One)
        drawSelectionAxes();
}

void TGLView::drawBackgroundMap()
{
    const DrawSettings& settings = drawSettings();
    const float sizeX = settings.RadarTileSizeX;
    const float sizeY = settings.RadarTileSizeY;
    const auto z = static_cast<float>(settings.RadarZLevel);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            glBindTexture(GL_TEXTURE_2D, m->radarTextures[(7 - j) * 8 + i]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            const float x1 = static_cast<float>(i - 4) * sizeX, x2 = static_cast<float>(i - 3) * sizeX;
            const float y1 = static_cast<float>(j - 4) * sizeY, y2 = static_cast<float>(j - 3) * sizeY;
            // Each picture's first row lies to the north (high y).
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 1.0f), glVertex3f(x1, y1, z);
            glTexCoord2f(1.0f, 1.0f), glVertex3f(x2, y1, z);
            glTexCoord2f(1.0f, 0.0f), glVertex3f(x2, y2, z);
            glTexCoord2f(0.0f, 0.0f), glVertex3f(x1, y2, z);
            glEnd();
        }
    glBindTexture(GL_TEXTURE_2D, 0);
    // Back to what the texture option asks for, which may differ from the start-up choice.
    if (!m->texturing)
        glDisable(GL_TEXTURE_2D);
}

void TGLView::drawSelectionAxes()
{
    if (!m->editor)
        return;
    const auto s = m->editor->GetSelectionCentre();
    // Plain coloured lines, whatever the texture and light options.
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3f(s[0], s[1], -500.0f), glVertex3f(s[0], s[1], 500.0f);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3f(s[0], -2048.0f, s[2]), glVertex3f(s[0], 2048.0f, s[2]);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3f(-2048.0f, s[1], s[2]), glVertex3f(2048.0f, s[1], s[2]);
    glEnd();
    glPopAttrib();
    glColor3f(1.0f, 1.0f, 1.0f);
}

void TGLView::DrawCube()
{
    m->renderer->DrawCube();
}

void TGLView::SetFirstPerson(bool on)
{
    m->camera.SetFirstPerson(on);
    m->moveTimer.stop();
    update();
}

void TGLView::SetMoveAxis(int axis)
{
    if (axis >= 0 && axis <= 2)
        m->moveAxis = axis;
}

void TGLView::SetWireframe(bool on)
{
    m->wireframe = on;
    changeGL([on] { glPolygonMode(GL_FRONT_AND_BACK, on ? GL_LINE : GL_FILL); });
}

void TGLView::SetTextures(bool on)
{
    m->texturing = on && m->texturesAtStart;
    m->lighting = !m->texturing;
    m->renderer->SetTexturesEnabled(m->texturing);
    changeGL([this] {
        if (m->texturing)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        if (m->lighting)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
    });
}

void TGLView::SetAlphaTest(bool on)
{
    m->alphaTest = on;
    changeGL([on] {
        if (on)
            glEnable(GL_ALPHA_TEST);
        else
            glDisable(GL_ALPHA_TEST);
    });
}

void TGLView::SetBackgroundColour(std::uint32_t colour)
{
    m->clearColour = {static_cast<float>(colour & 0xFF) / 255.0f, static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                      static_cast<float>((colour >> 16) & 0xFF) / 255.0f, 0.0f};
    changeGL([this] { glClearColor(m->clearColour[0], m->clearColour[1], m->clearColour[2], m->clearColour[3]); });
}

void TGLView::WheelZoom(int delta)
{
    m->camera.WheelZoom(delta);
    update();
}

void TGLView::ZoomStep(float divisor)
{
    m->camera.ZoomStep(divisor);
    update();
}

void TGLView::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    m->camera.KeyDown(key, modifiers & Qt::AltModifier);
    if (!m->moveTimer.isActive())
        m->moveTimer.start();
    update();
}

void TGLView::KeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    m->camera.KeyUp(key, modifiers & Qt::AltModifier);
    if (m->camera.MoveFlags == 0)
        m->moveTimer.stop();
}

void TGLView::MoveTimerTimer()
{
    // Held keys in orbit mode keep the timer running without moving anything.
    if (m->camera.MoveFlags == 0)
        return;
    m->camera.MovementTick();
    writePositionText();
    update();
}

void TGLView::writePositionText()
{
    if (m->positionBox)
        m->positionBox->setText(QString::fromStdString(m->camera.PositionText()));
}

void TGLView::MoveTo(float x, float y, float z)
{
    m->camera.SetTarget(x, y, z);
    writePositionText();
    update();
}

void TGLView::CentreOn(float x, float y, float z)
{
    MoveTo(x, y, z);
}

void TGLView::ResetView()
{
    m->camera.ResetView();
    update();
}

void TGLView::SetSelectionState(::SelectionState state)
{
    m->selectionState = state;
    if (m->statusLabel) {
        static const char* const texts[] = {"<< Nothing >>", "* Item Selected *", "* Lots Selected *"};
        m->statusLabel->setText(texts[static_cast<int>(state)]);
    }
    update();
}

void TGLView::FollowDocument(MapDocument& document)
{
    SetFileList(&document.files());
    connect(&document, &MapDocument::selectionChanged, this, [this, &document] {
        const DocumentSelection& selection = document.selection();
        SelectionState state = SelectionState::Nothing;
        if (!selection.empty() && selection.kind == FileKind::IPL) {
            if (selection.section == SectionCode::Inst)
                state = SelectionState::One;
            else if (selection.section == SectionCode::SeveralInst)
                state = SelectionState::Several;
        }
        SetSelectionState(state);
    });
    connect(&document, &MapDocument::changed, this, qOverload<>(&QWidget::update));
}

SelectionState TGLView::GetSelectionState() const
{
    return m->selectionState;
}

void TGLView::PickAt(int x, int y, bool addToSelection)
{
    if (!m->glReady || !context() || !context()->isValid())
        return;
    makeCurrent();
    m->picking = true;
    std::array<GLuint, PickBufferWords> buffer{};
    glSelectBuffer(PickBufferWords, buffer.data());
    glRenderMode(GL_SELECT);

    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x * ratio, viewport[3] - y * ratio - 1.0, 2.0, 2.0, viewport);
    applyCamera();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-m->camera.TargetX, -m->camera.TargetY, -m->camera.TargetZ);
    glInitNames();
    if (m->fileList)
        m->renderer->DrawAll(m->gameHour, true);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    // -1 when the hits overflowed the buffer: nothing is trusted then.
    const GLint hits = glRenderMode(GL_RENDER);
    doneCurrent();

    if (hits > 0)
        handlePick(buffer.data(), hits, addToSelection);
    m->picking = false;
    update();
}

void TGLView::handlePick(const std::uint32_t* buffer, int hits, bool addToSelection)
{
    const auto hit = nearestPickHit(std::span<const std::uint32_t>(buffer, PickBufferWords), hits);
    if (!hit)
        return;
    switch (static_cast<PickKind>(hit->kind)) {
    case PickKind::Instance: {
        TIPLFile* file = m->fileList ? m->fileList->IPLFile(static_cast<int>(hit->file)) : nullptr;
        if (!file || hit->record >= static_cast<std::uint32_t>(file->Inst.Count()))
            return;
        const int fileIndex = static_cast<int>(hit->file);
        const int record = static_cast<int>(hit->record);
        // Read the position first: the editor may change the records it is handed.
        const TGTASInstObj inst = file->Inst.Items[record];
        if (m->editor)
            m->editor->SelectRecord(FileKind::IPL, addToSelection ? SectionCode::SeveralInst : SectionCode::PickedInst, record, fileIndex);
        if (!addToSelection)
            CentreOn(inst.PosX, inst.PosY, inst.PosZ);
        break;
    }
    case PickKind::Path:
        notifyUser("path");
        break;
    case PickKind::Zone:
        notifyUser("zone");
        break;
    case PickKind::Cull:
        notifyUser("cull");
        break;
    case PickKind::Occluder:
        notifyUser("occl");
        break;
    }
}

bool TGLView::GLReady() const
{
    return m->glReady;
}

bool TGLView::IsPicking() const
{
    return m->picking;
}

ViewCamera& TGLView::Camera()
{
    return m->camera;
}

const ViewCamera& TGLView::Camera() const
{
    return m->camera;
}

SceneRenderer& TGLView::Renderer()
{
    return *m->renderer;
}

QTimer& TGLView::MoveTimer()
{
    return m->moveTimer;
}

void TGLView::initializeGL()
{
    QOpenGLContext* ctx = context();
    m->glReady = ctx && ctx->isValid();
    if (!m->glReady)
        return;
    glEntryPoints() = loadGLEntryPointsFromCurrentContext(
        [ctx](const char* name) { return reinterpret_cast<void*>(ctx->getProcAddress(name)); });
    applyGLState();
    // A move to another top-level window replaces the context; the scene's display lists
    // and compiled models go with the old one and are built again on the next frame.
    disconnect(m->contextGoing);
    m->contextGoing = connect(ctx, &QOpenGLContext::aboutToBeDestroyed, this, &TGLView::releaseGL,
                              Qt::DirectConnection);
}

void TGLView::releaseGL()
{
    makeCurrent();
    m->renderer->ReleaseGL();
    doneCurrent();
}

void TGLView::applyGLState()
{
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    GLDrawingState state = sceneDrawingState(m->texturing, m->lighting, m->alphaTest, m->wireframe);
    state.clearColour = m->clearColour;
    applyGLDrawingState(state);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_DIFFUSE, m->diffuse.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, m->ambient.data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, m->specular.data());
    const std::array<float, 4> startPosition{0.0f, 0.0f, 700.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, startPosition.data());
    glEnable(GL_LIGHT0);
}

void TGLView::resizeGL(int width, int height)
{
    glViewport(0, 0, width, height);
}

void TGLView::paintGL()
{
    emit frameStarting();
    m->inPaint = true;
    BeginFrame();
    if (m->fileList)
        m->renderer->DrawAll(m->gameHour, false);
    m->inPaint = false;
    emit frameDrawn();
}

void TGLView::mousePressEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    const int y = static_cast<int>(event->position().y());
    event->accept();
    if (event->button() == Qt::RightButton) {
        m->buttonState = (m->buttonState == 1 || m->buttonState == 3) ? 3 : 2;
        m->lastX = x, m->lastY = y;
        return;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::MiddleButton)
        return;
    if (m->camera.FirstPerson) {
        m->buttonState = m->buttonState == 2 ? 3 : 1;
        m->camera.Reverse = event->modifiers() & Qt::AltModifier;
        m->camera.MoveFlags |= ViewCamera::MoveForward;
        if (!m->moveTimer.isActive())
            m->moveTimer.start();
        update();
        return;
    }
    leftButtonDownOrbit(x, y, event->modifiers());
}

void TGLView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !m->camera.FirstPerson &&
        !(event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        PickAt(static_cast<int>(event->position().x()), static_cast<int>(event->position().y()),
               event->modifiers() & Qt::ShiftModifier);
        return;
    }
    mousePressEvent(event);
}

void TGLView::leftButtonDownOrbit(int x, int y, Qt::KeyboardModifiers modifiers)
{
    m->buttonState = 1;
    m->lastX = x, m->lastY = y;
    const auto ray = mouseRay(x, y, cameraMatrices(m->camera, width(), height()), {0, 0, width(), height()});
    if ((m->selectionState != SelectionState::Nothing) && (modifiers & Qt::ControlModifier) && m->editor) {
        const auto c = m->editor->GetSelectionCentre();
        const auto point = ray ? dragPoint(DragMode::Plane, *ray, Vec3d{c[0], c[1], c[2]}) : std::nullopt;
        // Without a point under the pointer the first move anchors the drag instead.
        m->dragMode = point ? DragMode::Plane : DragMode::None;
        if (point)
            m->previous = *point;
        m->gridDrag.start(c);
        return;
    }
    const auto point = ray ? panPoint(*ray, m->camera.TargetZ) : std::nullopt;
    m->dragMode = point ? DragMode::Pan : DragMode::None;
    if (point)
        m->previous = *point;
}

void TGLView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const Qt::MouseButtons buttons = event->buttons();
    m->buttonState = leftHeld(buttons) ? 1 : (buttons & Qt::RightButton) ? 2 : 0;
    if (m->dragMode != DragMode::None && m->dragMode != DragMode::Pan && m->editor)
        m->editor->MoveFinished();
    m->dragMode = DragMode::None;
    const bool forwardButton = event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton;
    if (m->camera.FirstPerson && forwardButton && !leftHeld(buttons)) {
        m->camera.MoveFlags &= ~static_cast<std::uint32_t>(ViewCamera::MoveForward);
        if (m->camera.MoveFlags == 0)
            m->moveTimer.stop();
    }
}

void TGLView::mouseMoveEvent(QMouseEvent* event)
{
    const int x = static_cast<int>(event->position().x());
    const int y = static_cast<int>(event->position().y());
    const Qt::MouseButtons buttons = event->buttons();
    event->accept();
    if (!leftHeld(buttons) && !(buttons & Qt::RightButton)) {
        m->buttonState = 0;
        return;
    }
    if (m->buttonState == 2 || m->buttonState == 3) {
        m->camera.MouseTurn(x - m->lastX, y - m->lastY, event->modifiers() & Qt::AltModifier);
        m->lastX = x, m->lastY = y;
        update();
        return;
    }
    if (m->buttonState == 1 && !m->camera.FirstPerson) {
        leftButtonMoveOrbit(x, y, event->modifiers());
        m->lastX = x, m->lastY = y;
    }
}

void TGLView::leftButtonMoveOrbit(int x, int y, Qt::KeyboardModifiers modifiers)
{
    if (m->selectionState == SelectionState::Nothing || !(modifiers & Qt::ControlModifier) || !m->editor) {
        panTo(x, y);
        return;
    }
    const auto ray = mouseRay(x, y, cameraMatrices(m->camera, width(), height()), {0, 0, width(), height()});
    if (!ray)
        return;
    const auto c = m->editor->GetSelectionCentre();
    const Vec3d s{c[0], c[1], c[2]};
    const DragMode mode = (modifiers & Qt::ShiftModifier) ? static_cast<DragMode>(4 + m->moveAxis) : DragMode::Plane;
    const auto point = dragPoint(mode, *ray, s);
    if (!point)
        return; // the ray runs along the drag plane: this step moves nothing
    if (m->dragMode == mode) {
        const Vec3d& p = *point;
        const Vec3d& q = m->previous;
        // Each drag mode moves along its own axes only.
        const std::array<bool, 3> axes = mode == DragMode::AxisX ? std::array<bool, 3>{true, false, false}
            : mode == DragMode::AxisY                            ? std::array<bool, 3>{false, true, false}
            : mode == DragMode::AxisZ                            ? std::array<bool, 3>{false, false, true}
                                                                 : std::array<bool, 3>{true, true, false};
        if (snapSettings().Enabled) {
            // Between grid lines the selection stays where it is.
            const std::array<float, 3> move
                = m->gridDrag.step(c, {p[0] - q[0], p[1] - q[1], p[2] - q[2]}, axes, snapSettings().GridStep);
            if (move != std::array<float, 3>{0, 0, 0})
                m->editor->MoveSelection(move[0], move[1], move[2]);
        } else {
            std::array<float, 3> move{0, 0, 0};
            for (std::size_t axis = 0; axis < 3; ++axis)
                move[axis] = axes[axis] ? static_cast<float>(p[axis] - q[axis]) : 0.0f;
            m->editor->MoveSelection(move[0], move[1], move[2]);
        }
        update();
    } else {
        m->dragMode = mode;
        m->gridDrag.start(c);
    }
    m->previous = *point;
}

void TGLView::panTo(int x, int y)
{
    const auto ray = mouseRay(x, y, cameraMatrices(m->camera, width(), height()), {0, 0, width(), height()});
    const auto point = ray ? panPoint(*ray, m->camera.TargetZ) : std::nullopt;
    if (!point)
        return; // the ray runs along the ground plane: this step moves nothing
    if (m->dragMode == DragMode::Pan) {
        // The ray is taken with the camera as it is now, so after this step the grabbed
        // ground point lies under the pointer again: it stays the anchor.
        m->camera.TargetX += static_cast<float>(m->previous[0] - (*point)[0]);
        m->camera.TargetY += static_cast<float>(m->previous[1] - (*point)[1]);
        writePositionText();
        update();
    } else {
        m->dragMode = DragMode::Pan;
        m->previous = *point;
    }
}

void TGLView::wheelEvent(QWheelEvent* event)
{
    WheelZoom(event->angleDelta().y());
    event->accept();
}

void TGLView::keyPressEvent(QKeyEvent* event)
{
    // The held key's repeats would restart nothing new; the press and release pair counts.
    if (!event->isAutoRepeat())
        KeyDown(event->key(), event->modifiers());
    event->accept();
}

void TGLView::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        KeyUp(event->key(), event->modifiers());
    event->accept();
}
