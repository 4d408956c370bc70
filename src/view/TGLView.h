#pragma once

#include "SectionCode.h"
#include "ViewCamera.h"

#include <QOpenGLWidget>
#include <QTimer>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class MapDocument;
class QLabel;
class QLineEdit;
class QWidget;
class SceneRenderer;
class SelectionTarget;
class TGTAFileList;
class TGTAImg;

// The one 3D view of the program: an OpenGL widget with its camera, keyboard and mouse
// navigation, the view options of the main window, picking and object drags. It draws a
// frame whenever Qt asks it to paint; input, timers and option changes request one.
class TGLView : public QOpenGLWidget {
    Q_OBJECT
public:
    // Builds the view as a child of `panel` filling it. The status label and the position box
    // belong to the main window (either may be null in tests).
    TGLView(QWidget* panel, QLabel* statusLabel, QLineEdit* positionBox, bool texturesEnabled, bool modelsMode);
    ~TGLView() override;

    // Moves the view (and its picture) into another panel, filling it.
    void AttachToPanel(QWidget* panel);

    void SetFileList(TGTAFileList* fileList);
    void SetArchiveSet(TGTAImg* archiveSet);
    void SetItemEditor(SelectionTarget* editor);

    void SetGameHour(int hour);
    int GameHour() const;
    // On with exactly 64 texture names switches the radar map on; anything else switches it off.
    void SetBackgroundMap(bool on, const std::vector<std::uint32_t>& names);
    void SetLightColours(const std::array<float, 4>& diffuse, const std::array<float, 4>& ambient,
                         const std::array<float, 4>& specular);
    std::array<float, 3> GetCameraTarget() const;

    void UpdateViewport();
    // Clear, projection, camera, light, background map and selection axes for one frame.
    // Called by paintGL; public for the frame loop's tests.
    void BeginFrame();
    void DrawCube();

    void SetFirstPerson(bool on);
    void SetMoveAxis(int axis);         // 0 X, 1 Y, 2 Z
    void SetWireframe(bool on);
    void SetTextures(bool on);
    void SetAlphaTest(bool on);
    void SetBackgroundColour(std::uint32_t colour); // 0x00BBGGRR

    void WheelZoom(int delta);
    void ZoomStep(float divisor);
    // Qt key codes (Qt::Key_W ...); the Alt modifier is the reverse flag.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);

    void MoveTo(float x, float y, float z);
    void CentreOn(float x, float y, float z);
    void ResetView();

    // The view draws the document's files, shows its selection and draws a new frame whenever the
    // document changes what it draws.
    void FollowDocument(MapDocument& document);
    void SetSelectionState(::SelectionState state);
    ::SelectionState GetSelectionState() const;

    // Runs a pick pass at view pixel (x, y) and hands the nearest hit on.
    void PickAt(int x, int y, bool addToSelection);

    bool GLReady() const;
    bool IsPicking() const;
    ViewCamera& Camera();
    const ViewCamera& Camera() const;
    SceneRenderer& Renderer();
    QTimer& MoveTimer();

signals:
    // Emitted as a frame begins, before anything is drawn (the frame-rate measurement).
    void frameStarting();
    // Emitted at the end of every frame, with the view's context still current, so the
    // main window can run the rest of its frame loop (end of a loading pass, frees, rate).
    void frameDrawn();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void MoveTimerTimer();
    void releaseGL();
    void applyGLState();
    void applyCamera();
    void drawBackgroundMap();
    void drawSelectionAxes();
    void writePositionText();
    // Runs `change` with the context current when there is one, then asks for a frame.
    template <typename Change>
    void changeGL(Change&& change);
    void leftButtonDownOrbit(int x, int y, Qt::KeyboardModifiers modifiers);
    void leftButtonMoveOrbit(int x, int y, Qt::KeyboardModifiers modifiers);
    void panTo(int x, int y);
    void handlePick(const std::uint32_t* buffer, int hits, bool addToSelection);

    struct Impl;
    std::unique_ptr<Impl> m;
};
