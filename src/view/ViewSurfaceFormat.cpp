#include "ViewSurfaceFormat.h"

#include <QCoreApplication>
#include <QSurfaceFormat>

void setViewSurfaceDefaults()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(5);
    format.setGreenBufferSize(5);
    format.setBlueBufferSize(5);
    format.setDepthBufferSize(16);
    QSurfaceFormat::setDefaultFormat(format);
}
