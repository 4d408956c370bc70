#pragma once

// Shared by the scene drawing tests: an OpenGL context made current on an offscreen
// surface, a framebuffer with a depth buffer, the view's drawing state, a pick pass, and a
// small game of our own (an archive with three square models and two one-colour texture
// dictionaries, map files written per test).

#include "GLDrawingState.h"
#include "GLEntryPoints.h"
#include "GLPickPass.h"
#include "GLTestContext.h"
#include "GLTestFramebuffer.h"
#include "GLTextureUploader.h"
#include "GamePaths.h"
#include "ImgWriter.h"
#include "ProgramSettings.h"
#include "SceneRenderer.h"
#include "SquareModel.h"
#include "TGTAFileList.h"
#include "TGTAImg.h"
#include "TestFiles.h"
#include "TxdWriter.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>


// A compatibility context on an offscreen surface, current while it lives.
class SceneContext {
public:
    SceneContext()
    {
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setDepthBufferSize(24);
        m_surface.setFormat(format);
        m_surface.create();
        m_context.setFormat(format);
        m_ready = m_context.create() && m_context.makeCurrent(&m_surface);
    }
    ~SceneContext() { m_context.doneCurrent(); }
    bool ready() const { return m_ready; }

private:
    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    bool m_ready = false;
};

// An RGBA framebuffer object with a depth buffer, bound while it lives, viewport its size.
class SceneFramebuffer : public GLTestFramebuffer {
public:
    SceneFramebuffer(int width, int height) : GLTestFramebuffer(width, height, true) {}
};

// The state the view sets up before the scene draws, a black background, cleared.
inline void viewDrawingState(bool textures)
{
    GLDrawingState state = sceneDrawingState(textures, false, false, false);
    state.clearColour = {0, 0, 0, 1};
    applyGLDrawingState(state);
    glDisable(GL_CULL_FACE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Straight down on the square (-half..half)² of the xy plane; x to the right, y up.
inline void lookDown(float half)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half, half, -half, half, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The view's perspective camera: 45°, near 1, far 8000, tilted by `tiltDegrees` about x
// and pulled back by `zoom` from the target.
inline void viewCamera(double aspect, float zoom, float tiltDegrees, std::array<float, 3> target)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, aspect, 1, 8000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, zoom);
    glRotatef(tiltDegrees, 1, 0, 0);
    glTranslatef(-target[0], -target[1], -target[2]);
}

// The nearest hit of a pick pass: its names, empty when nothing was hit.
struct PickResult {
    std::vector<GLuint> names;
    int hits = 0;
};

// A pick pass of 2 × 2 pixels at framebuffer pixel (x, y) (bottom row 0) with the current
// projection and modelview, chosen as the view chooses: smallest minimum depth, the first
// of equals, a depth of 0xFFFFFFFF never.
inline PickResult pickAt(SceneRenderer& renderer, int x, int y, int hour)
{
    PickBuffer buffer{};
    PickResult result;
    result.hits = scenePickPass(renderer, x, y, hour, buffer);
    std::size_t at = 0;
    GLuint best = 0xFFFFFFFF;
    for (int hit = 0; hit < result.hits && at + 3 <= buffer.size(); ++hit) {
        const GLuint count = buffer[at];
        const GLuint minimum = buffer[at + 1];
        if (at + 3 + count > buffer.size())
            break;
        if (minimum < best) {
            best = minimum;
            result.names.assign(buffer.begin() + static_cast<std::ptrdiff_t>(at + 3),
                                buffer.begin() + static_cast<std::ptrdiff_t>(at + 3 + count));
        }
        at += 3 + count;
    }
    return result;
}

// Sets the program-wide settings and entry points a test's game needs; restores them after.
class SceneSettingsScope {
public:
    SceneSettingsScope(const std::string& gameDir, bool models, bool textures)
        : m_settings(programSettings()), m_entryPoints(glEntryPoints())
    {
        programSettings().GameDir = withTrailingSeparator(gameDir);
        programSettings().IsViceCity = true;
        programSettings().LoadModels = models;
        programSettings().LoadTextures = textures;
        programSettings().SkipTextures = !textures;
        glEntryPoints() = loadGLEntryPointsFromCurrentContext(glTestProcAddress);
    }
    ~SceneSettingsScope()
    {
        programSettings() = m_settings;
        glEntryPoints() = m_entryPoints;
    }
    SceneSettingsScope(const SceneSettingsScope&) = delete;
    SceneSettingsScope& operator=(const SceneSettingsScope&) = delete;

private:
    ProgramSettings m_settings;
    GLEntryPoints m_entryPoints;
};

// The fixture game's colours as drawn: textures are stored as 16-bit texels, and these
// survive that exactly.
inline constexpr Rgba Black{0, 0, 0, 255};
inline constexpr Rgba CubeTop{255, 0, 0, 255}; // the +z face

// Writes the fixture game into `dir`: the archive (models "thing", "LODthing", "other",
// and "hd_thing", the building the games would pair with "LODthing";
// dictionaries "cyan", "violet", and "glass", white at half alpha), "generic", and a DAT file naming the given map files in
// order. Each map file is (DAT name, text); IDE files are told apart by their extension.
inline void writeFixtureGame(const TempDir& dir, const std::vector<std::pair<std::string, std::string>>& mapFiles)
{
    const std::vector<std::uint8_t> square = squareModel();
    std::filesystem::create_directories(dir.path() / "models");
    ASSERT_EQ(writeImgArchive(dir.file("models/gta3.img"), {{"thing.dff", square},
                                                             {"LODthing.dff", square},
                                                             {"hd_thing.dff", square},
                                                             {"other.dff", square},
                                                             {"cyan.txd", solidDictionary(Cyan)},
                                                             {"violet.txd", solidDictionary(Violet)},
                                                             {"glass.txd", solidDictionary({255, 255, 255, 128})}}),
              0);
    writeFile(dir.file("models/generic.txd"), bytesText(solidDictionary({255, 255, 255, 255})));
    std::string dat;
    for (const auto& [name, text] : mapFiles) {
        const bool ide = name.size() > 4 && (name.ends_with(".ide") || name.ends_with(".IDE"));
        dat += (ide ? "IDE " : "IPL ") + name + "\r\n";
        std::string path = name;
        for (char& c : path)
            if (c == '\\')
                c = '/';
        writeFile(dir.file(path), text);
    }
    writeFile(dir.file("data/gta_vc.dat"), dat);
}

// The game of a TempDir loaded as the program loads it, every IPL file visible.
struct LoadedGame {
    GLTextureUploader uploader{glEntryPoints()};
    std::unique_ptr<TGTAImg> set;
    TGTAFileList files{programSettings().GameDir, programSettings().IsViceCity};

    void load()
    {
        set = std::make_unique<TGTAImg>(programSettings().GameDir, glEntryPoints().hasCompressedTextures(), &uploader);
        set->ConnectFileList(files);
        ASSERT_EQ(files.LoadDat(DatPass::IDE), 0);
        ASSERT_EQ(files.LoadDat(DatPass::IPL), 0);
        for (auto& file : files.Files)
            file->Visible = true;
    }
};
