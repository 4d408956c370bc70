#pragma once

#include "SceneRenderer.h"

#include <QOpenGLContext>

#include <GL/glu.h>

#include <array>

using PickBuffer = std::array<GLuint, 512>;

// One selection pass of the scene over 2 × 2 pixels at framebuffer pixel (x, y) (bottom row
// 0), with the current projection and modelview; the projection is restored afterwards.
// Returns the hit count the pass reports (-1 when the buffer overflowed).
inline int scenePickPass(SceneRenderer& renderer, double x, double y, int hour, PickBuffer& buffer)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, y, 2, 2, viewport);
    glMultMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    renderer.DrawAll(hour, true);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return glRenderMode(GL_RENDER);
}
