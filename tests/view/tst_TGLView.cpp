#include "ViewTestScene.h"

#include "DrawSettings.h"
#include "GLEntryPoints.h"
#include "ViewMatrices.h"

#include <QElapsedTimer>
#include <QSignalSpy>

namespace {

using ViewPicture = ViewScene;

constexpr QRgb Red = 0xFF0000;

TEST_F(ViewPicture, CubeUnderTheTargetShowsItsRedTopOnTheBackground)
{
    const QImage image = picture();
    ASSERT_EQ(image.size(), QSize(Width, Height));
    EXPECT_EQ(rgbAt(image, pixelOf(0, 0, 4)), Red);
    EXPECT_EQ(rgbAt(image, QPoint(Width / 2, Height / 2)), Red);
    EXPECT_EQ(rgbAt(image, pixelOf(20, 10, 4)), Red);
    EXPECT_EQ(rgbAt(image, pixelOf(40, 30, 0)), 0u);

    // 0x00BBGGRR: blue in the high byte.
    view->SetBackgroundColour(0x00FF0000);
    EXPECT_EQ(rgbAt(picture(), pixelOf(40, 30, 0)), 0x0000FFu);
    view->SetBackgroundColour(0x000080FF);
    const QRgb orange = rgbAt(picture(), pixelOf(40, 30, 0));
    EXPECT_EQ(qRed(orange), 255);
    EXPECT_NEAR(qGreen(orange), 128, 8);
    EXPECT_EQ(qBlue(orange), 0);
}

TEST_F(ViewPicture, TargetAndTurnsMoveThePicture)
{
    view->MoveTo(20, 10, 0);
    EXPECT_EQ(position.text(), "20, 10, 0");
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), Red);

    // Seen from the side, the +x face (magenta) of the cube faces a camera turned about Y.
    view->Camera().AngleY = -90.0f;
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0xFF00FFu);
    view->ResetView();
    EXPECT_EQ(view->GetCameraTarget(), (std::array<float, 3>{20.0f, 10.0f, 0.0f}));
    EXPECT_FLOAT_EQ(view->Camera().Zoom, -600.0f);
}

TEST_F(ViewPicture, FrameMatricesAreTheCameraMatrices)
{
    ViewCamera& camera = view->Camera();
    camera.SetTarget(12.5f, -40.0f, 3.0f);
    for (const bool firstPerson : {false, true}) {
        camera.FirstPerson = firstPerson;
        camera.AngleX = 31.0f, camera.AngleY = 12.0f, camera.AngleZ = 250.0f;
        camera.Pitch = -70.0f, camera.Heading = 135.0f;
        view->makeCurrent();
        view->BeginFrame();
        GLdouble modelview[16], projection[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        view->doneCurrent();
        const ViewMatrices expected = cameraMatrices(camera, Width, Height);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(projection[i], expected.projection[i], 1e-4 * (1.0 + std::fabs(expected.projection[i])))
                << "projection " << i << " first person " << firstPerson;
            EXPECT_NEAR(modelview[i], expected.modelview[i], 1e-4) << "modelview " << i;
        }
    }
}

TEST_F(ViewPicture, EveryFrameIsAskedForAndNothingSpinsWhileIdle)
{
    QSignalSpy frames(view, &TGLView::frameDrawn);
    QTest::qWait(150);
    frames.clear();
    QTest::qWait(150);
    EXPECT_EQ(frames.count(), 0);

    view->ZoomStep(-5.0f);
    EXPECT_TRUE(frames.wait(1000));
    view->SetWireframe(true);
    EXPECT_TRUE(frames.wait(1000));
    view->CentreOn(1, 2, 3);
    EXPECT_TRUE(frames.wait(1000));
    QTest::qWait(100);
    frames.clear();
    QTest::qWait(150);
    EXPECT_EQ(frames.count(), 0);
}

TEST_F(ViewPicture, WireframeLeavesTheFaceOpenAndFillBringsItBack)
{
    view->SetWireframe(true);
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0u);
    view->SetWireframe(false);
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), Red);
}

TEST_F(ViewPicture, OptionalEntryPointsArePublishedByWhatTheDriverAdvertises)
{
    view->makeCurrent();
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const std::string_view list = extensions ? extensions : "";
    EXPECT_EQ(glEntryPoints().hasMultitexture(), hasGLExtension(list, "GL_ARB_multitexture"));
    EXPECT_EQ(glEntryPoints().hasPalettes(), hasGLExtension(list, "GL_EXT_paletted_texture"));
    EXPECT_EQ(glEntryPoints().hasCompressedTextures(), hasGLExtension(list, "GL_ARB_texture_compression") &&
                                                           hasGLExtension(list, "GL_EXT_texture_compression_s3tc"));
    GLint depthTest = 0, shade = 0;
    glGetIntegerv(GL_DEPTH_TEST, &depthTest);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(depthTest, GL_TRUE);
    EXPECT_EQ(shade, GL_FLAT);
    view->doneCurrent();
}

// One-colour radar tiles, uploaded in the view's context (shared with every other).
class ViewRadar : public ViewScene {
protected:
    std::vector<GLuint> textures;

    GLuint upload(const std::vector<std::uint32_t>& rowsTopFirst, int width, int height)
    {
        view->makeCurrent();
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rowsTopFirst.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        view->doneCurrent();
        textures.push_back(name);
        return name;
    }
    void TearDown() override
    {
        view->makeCurrent();
        glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
        view->doneCurrent();
    }
};

TEST_F(ViewRadar, TilesLieByNumberWithTheirFirstRowNorth)
{
    map().Visible = false;
    view->Camera().Zoom = -600.0f;
    // Bytes R, G, B, A in memory.
    const std::uint32_t green = 0xFF00FF00u, red = 0xFF0000FFu, blue = 0xFFFF0000u;
    std::vector<std::uint32_t> names(64, 0);
    names[0] = upload({green, green, red, red}, 2, 2); // north half green, south half red
    names[9] = upload({blue}, 1, 1);
    view->SetBackgroundMap(true, names);

    const DrawSettings& settings = drawSettings();
    const float z = static_cast<float>(settings.RadarZLevel);
    // Tile 0: column 0, top row (north-west corner of the map).
    const float x0 = -3.5f * settings.RadarTileSizeX, y0 = 3.5f * settings.RadarTileSizeY;
    view->MoveTo(x0, y0, z);
    const QImage first = picture();
    EXPECT_EQ(rgbAt(first, pixelOf(x0, y0 + 100, z)), 0x00FF00u);
    EXPECT_EQ(rgbAt(first, pixelOf(x0, y0 - 100, z)), Red);
    // Tile 9: column 1, second row from the top.
    const float x9 = -2.5f * settings.RadarTileSizeX, y9 = 2.5f * settings.RadarTileSizeY;
    view->MoveTo(x9, y9, z);
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0x0000FFu);

    // Not exactly 64 names switches the map off.
    names.pop_back();
    view->SetBackgroundMap(true, names);
    EXPECT_EQ(rgbAt(picture(), QPoint(Width / 2, Height / 2)), 0u);
}

TEST_F(ViewRadar, TextureOffLeavesModelsUntexturedAfterTheMap)
{
    // A view started with textures, whose texture option is then switched off: the
    // map is still drawn textured, the texturing does not stay on afterwards.
    QWidget other;
    other.resize(200, 200);
    auto* textured = new TGLView(&other, nullptr, nullptr, true, false);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    textured->SetTextures(false);
    textured->SetBackgroundMap(true, std::vector<std::uint32_t>(64, 0));
    textured->makeCurrent();
    textured->BeginFrame();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    textured->doneCurrent();
    textured->SetTextures(true);
    textured->makeCurrent();
    textured->BeginFrame();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    textured->doneCurrent();
}

TEST_F(ViewPicture, AxesRunThroughASingleSelection)
{
    map().Visible = false;
    selection.centre = {30.0f, -20.0f, 0.0f};
    // The green axis runs along y through the selection: a column of green pixels.
    const QPoint onAxis = pixelOf(30, 25, 0);
    auto greenNear = [&](const QImage& image) {
        for (int dx = -1; dx <= 1; ++dx)
            if (rgbAt(image, onAxis + QPoint(dx, 0)) == 0x00FF00u)
                return true;
        return false;
    };
    view->SetSelectionState(SelectionState::One);
    EXPECT_EQ(status.text(), "* Item Selected *");
    EXPECT_TRUE(greenNear(picture()));
    view->SetSelectionState(SelectionState::Several);
    EXPECT_EQ(status.text(), "* Lots Selected *");
    EXPECT_FALSE(greenNear(picture()));
    view->SetSelectionState(SelectionState::Nothing);
    EXPECT_EQ(status.text(), "<< Nothing >>");
}

} // namespace
