#pragma once

// A 640x480 window holding the 3D view in cubes mode over a small map read from files on
// disk, a selection target that records what the view hands it, and helpers that map
// between world points and view pixels through the view's own OpenGL matrices.

#include "SelectionTarget.h"
#include "TGLView.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

// Stands where the item editor does: keeps the calls and a selection it moves.
class RecordingSelection : public SelectionTarget {
public:
    struct Select {
        FileKind kind;
        SectionCode section;
        int record, file;
    };
    std::vector<Select> selects;
    std::vector<std::array<float, 3>> moves;
    std::array<float, 3> centre{0.0f, 0.0f, 0.0f};
    TGLView* view = nullptr; // told the selection state, as the item editor does
    int selected = 0;

    void SelectRecord(FileKind kind, SectionCode section, int record, int file) override
    {
        selects.push_back({kind, section, record, file});
        selected = section == SectionCode::SeveralInst ? selected + 1 : 1;
        if (view)
            view->SetSelectionState(selected > 1 ? SelectionState::Several : SelectionState::One);
    }
    std::array<float, 3> GetSelectionCentre() const override { return centre; }
    void MoveSelection(float dx, float dy, float dz) override
    {
        moves.push_back({dx, dy, dz});
        centre[0] += dx, centre[1] += dy, centre[2] += dz;
    }
    std::array<float, 3> movedBy() const
    {
        std::array<float, 3> sum{0.0f, 0.0f, 0.0f};
        for (const auto& m : moves)
            sum[0] += m[0], sum[1] += m[1], sum[2] += m[2];
        return sum;
    }
};

// File 0 an IDE file, file 1 the map drawn in every test, file 2 (hidden) a heap of
// instances on one spot.
inline const char* const SceneIPL = "# test map\r\n"
                                    "inst\r\n"
                                    "100, cube_a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                                    "101, cube_b, 20, 10, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                                    "100, cube_c, -20, -10, 0, 1, 1, 1, 0, 0, 0, 1\r\n"
                                    "end\r\n"
                                    "zone\r\n"
                                    "covering, 0, -26, -16, -10, -14, -4, 30, 0\r\n"
                                    "end\r\n"
                                    "cull\r\n"
                                    "0, 0, 0, 14, -16, -10, 26, -4, 30, 0, 0\r\n"
                                    "end\r\n"
                                    "path\r\n"
                                    "0, -1\r\n"
                                    "\t1, 1, 0, -320, 160, 0, 0, 1, 1, 0, 0, 0\r\n"
                                    "\t1, -1, 0, -320, 320, 0, 0, 1, 1, 0, 0, 0\r\n"
                                    "end\r\n";

inline const char* const SceneIDE = "objs\r\n"
                                    "100, cube_a, cube_a, 1, 100, 0\r\n"
                                    "101, cube_b, cube_b, 1, 100, 0\r\n"
                                    "end\r\n";

class ViewScene : public testing::Test {
protected:
    static constexpr int Width = 640;
    static constexpr int Height = 480;
    static constexpr int MapFile = 1;
    static constexpr int HeapFile = 2;

    TempDir dir;
    TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};
    QWidget window;
    QLabel status;
    QLineEdit position;
    TGLView* view = nullptr;
    RecordingSelection selection;

    void SetUp() override
    {
        writeFile(dir.file("test.ide"), SceneIDE);
        writeFile(dir.file("test.ipl"), SceneIPL);
        std::string heap = "inst\r\n";
        for (int i = 0; i < 100; ++i)
            heap += "100, cube_a, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1\r\n";
        writeFile(dir.file("heap.ipl"), heap + "end\r\n");

        auto ide = std::make_unique<TIDEFile>();
        ASSERT_EQ(ide->Load(dir.file("test.ide")), 0);
        files.AddFile(std::move(ide));
        auto ipl = std::make_unique<TIPLFile>();
        ASSERT_EQ(ipl->Load(dir.file("test.ipl")), 0);
        ASSERT_EQ(ipl->Inst.Count(), 3);
        ASSERT_EQ(ipl->Zone.Count(), 1);
        ASSERT_EQ(ipl->Cull.Count(), 1);
        ASSERT_EQ(ipl->Path.Count(), 1);
        ipl->Visible = true;
        files.AddFile(std::move(ipl));
        auto heapFile = std::make_unique<TIPLFile>();
        ASSERT_EQ(heapFile->Load(dir.file("heap.ipl")), 0);
        files.AddFile(std::move(heapFile));

        window.resize(Width, Height);
        view = new TGLView(&window, &status, &position, false, false);
        view->SetFileList(&files);
        view->SetItemEditor(&selection);
        selection.view = view;
        // Closer than the start zoom, so an 8-unit cube covers some 46 pixels.
        view->Camera().Zoom = -100.0f;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QApplication::processEvents();
        ASSERT_TRUE(view->GLReady());
        ASSERT_EQ(view->size(), QSize(Width, Height));
    }

    TIPLFile& map() { return *files.IPLFile(MapFile); }

    // The matrices and viewport a frame of the view sets up.
    struct FrameMatrices {
        GLdouble modelview[16];
        GLdouble projection[16];
        GLint viewport[4];
    };
    FrameMatrices frameMatrices()
    {
        FrameMatrices m{};
        view->makeCurrent();
        view->BeginFrame();
        glGetDoublev(GL_MODELVIEW_MATRIX, m.modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, m.projection);
        glGetIntegerv(GL_VIEWPORT, m.viewport);
        view->doneCurrent();
        return m;
    }

    // The view pixel (y down) of a world point, through the matrices of a frame.
    QPoint pixelOf(float x, float y, float z)
    {
        const FrameMatrices m = frameMatrices();
        GLdouble wx = 0, wy = 0, wz = 0;
        gluProject(x, y, z, m.modelview, m.projection, m.viewport, &wx, &wy, &wz);
        return QPoint(static_cast<int>(std::lround(wx)), m.viewport[3] - 1 - static_cast<int>(std::lround(wy)));
    }

    // The mouse ray of a view pixel as its points at depth 0 and 1, through the frame's matrices.
    std::array<std::array<double, 3>, 2> rayUnder(QPoint pixel)
    {
        const FrameMatrices m = frameMatrices();
        const double winY = m.viewport[3] - pixel.y() - 1.0;
        std::array<std::array<double, 3>, 2> ray{};
        gluUnProject(pixel.x(), winY, 0.0, m.modelview, m.projection, m.viewport, &ray[0][0], &ray[0][1], &ray[0][2]);
        gluUnProject(pixel.x(), winY, 1.0, m.modelview, m.projection, m.viewport, &ray[1][0], &ray[1][1], &ray[1][2]);
        return ray;
    }

    // Where that ray meets the plane through `value` across coordinate `axis`.
    std::array<double, 3> rayInPlane(QPoint pixel, int axis, double value)
    {
        const auto ray = rayUnder(pixel);
        const double t = (value - ray[0][axis]) / (ray[1][axis] - ray[0][axis]);
        std::array<double, 3> p{};
        for (int i = 0; i < 3; ++i)
            p[i] = ray[0][i] + t * (ray[1][i] - ray[0][i]);
        return p;
    }
    std::array<double, 3> groundUnder(QPoint pixel, double planeZ) { return rayInPlane(pixel, 2, planeZ); }
    std::array<double, 3> uprightUnder(QPoint pixel, double planeY) { return rayInPlane(pixel, 1, planeY); }

    QImage picture()
    {
        view->update();
        return view->grabFramebuffer();
    }

    // Mouse events with modifiers on every event (QTest's moves carry none).
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers)
    {
        QMouseEvent event(type, QPointF(at), QPointF(view->mapToGlobal(at)), button, held, modifiers);
        QApplication::sendEvent(view, &event);
    }
    void press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, at, button, button, modifiers);
    }
    void drag(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier, Qt::MouseButtons held = Qt::LeftButton)
    {
        mouse(QEvent::MouseMove, at, Qt::NoButton, held, modifiers);
    }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton, Qt::NoModifier);
    }
    void doubleClick(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, modifiers);
        release(at);
    }
};

inline QRgb rgbAt(const QImage& image, QPoint p)
{
    return image.pixel(p) & 0xFFFFFFu;
}
