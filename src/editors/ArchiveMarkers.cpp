#include "ArchiveMarkers.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int MarkerSize = 16;

QImage drawMarker(bool present)
{
    // QImage rather than QPixmap: it needs no display, so the function-local images may
    // outlive the application object.
    QImage image(MarkerSize, MarkerSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(present ? QColor(0, 150, 0) : QColor(210, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    if (present) {
        QPainterPath tick;
        tick.moveTo(3, 8.5);
        tick.lineTo(6.5, 12);
        tick.lineTo(13, 4);
        painter.drawPath(tick);
    } else {
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return image;
}

}

const std::array<QImage, 2>& ImageList1()
{
    static const std::array<QImage, 2> images{drawMarker(false), drawMarker(true)};
    return images;
}

ArchiveMarker::ArchiveMarker(const char* objectName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setFixedSize(MarkerSize, MarkerSize);
}

void ArchiveMarker::setImageIndex(int index)
{
    m_imageIndex = index;
}

QSize ArchiveMarker::sizeHint() const
{
    return {MarkerSize, MarkerSize};
}

void ArchiveMarker::paintEvent(QPaintEvent*)
{
    const auto& images = ImageList1();
    if (m_imageIndex < 0 || m_imageIndex >= static_cast<int>(images.size()))
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), images[static_cast<std::size_t>(m_imageIndex)]);
}
