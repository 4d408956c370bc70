#include "MainImageList.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int ImageSize = 16;

void drawSection(QPainter& painter)
{
    QFont font = painter.font();
    font.setPixelSize(14);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRect(0, 0, ImageSize, ImageSize), Qt::AlignCenter, QString(QChar(0x00A7)));
}

void drawWaiting(QPainter& painter)
{
    // Two triangles of dots meeting at the middle.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(160, 110, 0));
    const int rows[][2] = {{2, 4}, {5, 3}, {8, 1}, {11, 3}, {14, 4}};
    for (const auto& [y, half] : rows) {
        for (int x = 8 - half; x <= 8 + half; x += 2)
            painter.drawEllipse(QPointF(x, y), 0.9, 0.9);
    }
}

void drawCross(QPainter& painter)
{
    painter.setPen(QPen(QColor(210, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(4, 4), QPointF(12, 12));
    painter.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void drawTick(QPainter& painter)
{
    painter.setPen(QPen(QColor(0, 160, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(3, 8.5);
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4);
    painter.drawPath(tick);
}

}

// Not cached: a pixmap must not outlive the application object, and these are cheap.
QIcon mainImage(int index)
{
    void (*draw)(QPainter&) = nullptr;
    switch (index) {
    case MainImages::Section: draw = drawSection; break;
    case MainImages::Waiting: draw = drawWaiting; break;
    case MainImages::Failed: draw = drawCross; break;
    case MainImages::Passed: draw = drawTick; break;
    default: return {};
    }
    QPixmap pixmap(ImageSize, ImageSize);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    return QIcon(pixmap);
}
