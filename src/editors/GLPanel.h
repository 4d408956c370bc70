#pragma once

#include <QOpenGLContext>
#include <QOpenGLWidget>

#include <functional>

// The OpenGL surface of a tool window. Its context shares textures and display lists with
// the 3D view's. The owner draws through the hooks; `release` runs with the context
// current before the context goes (a move to another top-level window, as docking does,
// replaces it and `initialize` runs again for the new one).
class GLPanel : public QOpenGLWidget {
public:
    explicit GLPanel(QWidget* parent = nullptr) : QOpenGLWidget(parent) {}
    ~GLPanel() override { releaseContext(); }

    std::function<void()> initialize;
    std::function<void()> paint;
    std::function<void(int, int)> resized;
    std::function<void()> release;

    // The context exists and is valid (false before the first show and without OpenGL).
    bool contextOk() const { return context() && context()->isValid(); }

protected:
    void initializeGL() override
    {
        QObject::disconnect(m_contextGoing);
        m_contextGoing = QObject::connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                                          [this] { releaseContext(); }, Qt::DirectConnection);
        if (initialize)
            initialize();
    }
    void paintGL() override
    {
        if (paint)
            paint();
    }
    void resizeGL(int width, int height) override
    {
        if (resized)
            resized(width, height);
    }

private:
    void releaseContext()
    {
        QObject::disconnect(m_contextGoing);
        if (!contextOk() || !release)
            return;
        makeCurrent();
        release();
        doneCurrent();
    }

    QMetaObject::Connection m_contextGoing;
};
