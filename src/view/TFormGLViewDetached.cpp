#include "TFormGLViewDetached.h"

#include "TGLView.h"

#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWheelEvent>

TFormGLViewDetached::TFormGLViewDetached(TGLView* view, QWidget* mainPanel, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_view(view), m_mainPanel(mainPanel)
{
    setObjectName("TFormGLViewDetached");
    setWindowTitle("3D View");
    resize(640, 480);
    DrawPanel = new QWidget(this);
    DrawPanel->setObjectName("DrawPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DrawPanel);
}

void TFormGLViewDetached::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_view)
        m_view->AttachToPanel(DrawPanel);
}

void TFormGLViewDetached::closeEvent(QCloseEvent* event)
{
    if (m_view)
        m_view->AttachToPanel(m_mainPanel);
    QWidget::closeEvent(event);
}

void TFormGLViewDetached::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_view)
        m_view->UpdateViewport();
}

void TFormGLViewDetached::keyPressEvent(QKeyEvent* event)
{
    if (m_view && !event->isAutoRepeat())
        m_view->KeyDown(event->key(), event->modifiers());
    event->accept();
}

void TFormGLViewDetached::keyReleaseEvent(QKeyEvent* event)
{
    if (m_view && !event->isAutoRepeat())
        m_view->KeyUp(event->key(), event->modifiers());
    event->accept();
}

void TFormGLViewDetached::wheelEvent(QWheelEvent* event)
{
    if (m_view)
        m_view->WheelZoom(event->angleDelta().y());
    event->accept();
}
