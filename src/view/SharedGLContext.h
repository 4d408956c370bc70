#pragma once

#include <memory>

class QOffscreenSurface;
class QOpenGLContext;
class QSurface;

// Makes the program's shared OpenGL context current on an offscreen surface for as long as
// it lives, unless a context is current already. Textures and display lists made in it are
// shared with every view, so the load sequence can fill the archive set before the main
// window is on screen, and the archive set can free its textures at exit.
class SharedGLContextScope {
public:
    SharedGLContextScope();
    ~SharedGLContextScope();
    SharedGLContextScope(const SharedGLContextScope&) = delete;
    SharedGLContextScope& operator=(const SharedGLContextScope&) = delete;

    // A context is current (the shared one, or the one that already was).
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
    QOpenGLContext* m_previous = nullptr;
    bool m_madeCurrent = false;
};
