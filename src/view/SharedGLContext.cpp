#include "SharedGLContext.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>

namespace {

// One surface for the whole run: creating and destroying surfaces per use costs a round
// trip to the X server each time.
QOffscreenSurface* sharedSurface(QOpenGLContext* context)
{
    static QOffscreenSurface* surface = nullptr;
    if (!surface) {
        surface = new QOffscreenSurface;
        surface->setFormat(context->format());
        surface->create();
    }
    return surface;
}

}

SharedGLContextScope::SharedGLContextScope()
{
    m_previous = QOpenGLContext::currentContext();
    if (m_previous) {
        m_ok = true;
        return;
    }
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (!shared)
        return;
    m_ok = shared->makeCurrent(sharedSurface(shared));
    m_madeCurrent = m_ok;
}

SharedGLContextScope::~SharedGLContextScope()
{
    if (m_madeCurrent)
        QOpenGLContext::globalShareContext()->doneCurrent();
}
