#pragma once

#include <GL/gl.h>

#include <array>

// The fixed-function state a window sets before it draws. Each window describes its own
// (the 3D view, the secondary model view, the texture viewer) and one function applies it,
// so the scene tests and the benchmark draw with exactly the 3D view's state.
struct GLDrawingState {
    std::array<float, 4> clearColour{0.0f, 0.0f, 0.0f, 0.0f};
    bool smoothShading = false;
    bool depthTest = true;
    GLenum depthFunction = GL_LEQUAL;
    bool nicestPerspective = true;
    bool texturing = false;
    bool lighting = false;
    bool alphaTest = false;  // greater than 0
    bool wireframe = false;
    bool alphaWrites = true; // off: colour writes for red, green and blue only
};

// Sets clear colour and depth (1), shading, alpha test, the blend function (source alpha,
// one minus source alpha; blending itself stays off), depth writes, test and function, the
// perspective hint, 2D texturing, polygon mode (both faces), lighting and the colour mask,
// in the current context.
void applyGLDrawingState(const GLDrawingState& state);

// The 3D view's state: flat shading, depth test less or equal, nicest perspective, and
// its view options.
GLDrawingState sceneDrawingState(bool texturing, bool lighting, bool alphaTest, bool wireframe);
