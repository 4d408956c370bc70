#include "TFormGLViewDetached.h"

#include "ViewTestScene.h"

namespace {

using DetachedView = ViewScene;

TEST_F(DetachedView, ShowingCarriesTheViewAndClosingBringsItBack)
{
    view->MoveTo(20, 10, 0);
    view->Camera().AngleZ = 30.0f;
    view->SetBackgroundColour(0x00FF0000);
    TFormGLViewDetached detached(view, &window);
    auto* panel = detached.findChild<QWidget*>("DrawPanel");
    ASSERT_EQ(panel, detached.DrawPanel);
    EXPECT_TRUE(detached.windowFlags() & Qt::WindowStaysOnTopHint);

    detached.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&detached));
    QApplication::processEvents();
    EXPECT_EQ(view->parentWidget(), panel);
    EXPECT_EQ(view->size(), panel->size());
    // The new context gets the options again and the cube is still red on blue.
    QImage image = picture();
    EXPECT_EQ(rgbAt(image, QPoint(view->width() / 2, view->height() / 2)), 0xFF0000u);
    EXPECT_EQ(rgbAt(image, QPoint(5, 5)), 0x0000FFu);

    // Keys and the wheel reach the view from the window.
    view->SetFirstPerson(true);
    QTest::keyPress(&detached, Qt::Key_R);
    EXPECT_TRUE(view->MoveTimer().isActive());
    QTest::keyRelease(&detached, Qt::Key_R);
    EXPECT_FALSE(view->MoveTimer().isActive());
    view->SetFirstPerson(false);
    QWheelEvent wheel(QPointF(5, 5), QPointF(detached.mapToGlobal(QPoint(5, 5))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&detached, &wheel);
    EXPECT_FLOAT_EQ(view->Camera().Zoom, -106.0f);

    detached.close();
    QApplication::processEvents();
    EXPECT_EQ(view->parentWidget(), &window);
    EXPECT_EQ(view->size(), QSize(Width, Height));
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{20.0f, 10.0f, 0.0f}));
    EXPECT_FLOAT_EQ(view->Camera().AngleZ, 30.0f);
    image = picture();
    EXPECT_EQ(rgbAt(image, QPoint(Width / 2, Height / 2)), 0xFF0000u);
    EXPECT_EQ(rgbAt(image, QPoint(5, 5)), 0x0000FFu);

    // Picking works in the rebuilt context too.
    doubleClick(QPoint(Width / 2, Height / 2));
    ASSERT_EQ(selection.selects.size(), 1u);
    EXPECT_EQ(selection.selects[0].record, 1);
}

TEST_F(DetachedView, TexturesSurviveTheMoveToAnotherWindow)
{
    map().Visible = false;
    view->makeCurrent();
    GLuint name = 0;
    const std::uint32_t green = 0xFF00FF00u;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &green);
    glBindTexture(GL_TEXTURE_2D, 0);
    view->doneCurrent();
    std::vector<std::uint32_t> names(64, name);
    view->SetBackgroundMap(true, names);
    view->MoveTo(0, 0, -100);
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0x00FF00u);

    {
        TFormGLViewDetached detached(view, &window);
        detached.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&detached));
        EXPECT_EQ(rgbAt(picture(), QPoint(view->width() / 2, view->height() / 2)), 0x00FF00u);
        detached.close();
    }
    QApplication::processEvents();
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0x00FF00u);
    view->makeCurrent();
    glDeleteTextures(1, &name);
    view->doneCurrent();
}

} // namespace
