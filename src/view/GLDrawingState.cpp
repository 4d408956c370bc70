#include "GLDrawingState.h"

namespace {

void enable(GLenum capability, bool on)
{
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

} // namespace

void applyGLDrawingState(const GLDrawingState& state)
{
    glClearColor(state.clearColour[0], state.clearColour[1], state.clearColour[2], state.clearColour[3]);
    glClearDepth(1.0);
    glShadeModel(state.smoothShading ? GL_SMOOTH : GL_FLAT);
    glAlphaFunc(GL_GREATER, 0.0f);
    enable(GL_ALPHA_TEST, state.alphaTest);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
    glDepthFunc(state.depthFunction);
    enable(GL_DEPTH_TEST, state.depthTest);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, state.nicestPerspective ? GL_NICEST : GL_FASTEST);
    enable(GL_TEXTURE_2D, state.texturing);
    glPolygonMode(GL_FRONT_AND_BACK, state.wireframe ? GL_LINE : GL_FILL);
    enable(GL_LIGHTING, state.lighting);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, state.alphaWrites ? GL_TRUE : GL_FALSE);
}

GLDrawingState sceneDrawingState(bool texturing, bool lighting, bool alphaTest, bool wireframe)
{
    GLDrawingState state;
    state.texturing = texturing;
    state.lighting = lighting;
    state.alphaTest = alphaTest;
    state.wireframe = wireframe;
    return state;
}
