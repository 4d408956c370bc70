#include "WindowPlacement.h"

#include <algorithm>

QPoint firstFloatingPlace(DockPlace place, const QRect& view, int belowButton, const QSize& frame)
{
    const int right = view.x() + view.width() - frame.width();
    const int bottom = view.y() + view.height() - frame.height();
    QPoint at;
    switch (place) {
    case DockPlace::ViewTopRight:
        at = {right, view.y()};
        break;
    case DockPlace::ViewTopRightBelowButton:
        at = {right, view.y() + belowButton};
        break;
    case DockPlace::ViewBottomRight:
        at = {right, bottom};
        break;
    case DockPlace::ViewTopLeftBelowButton:
        at = {view.x(), view.y() + belowButton};
        break;
    case DockPlace::ViewBottomLeft:
        at = {view.x(), bottom};
        break;
    case DockPlace::EditorTabs:
        at = view.topLeft();
        break;
    }
    return {std::max(0, at.x()), std::max(0, at.y())};
}

QRect fitInside(const QRect& window, const QRect& screen)
{
    if (screen.isEmpty())
        return window;
    const int width = std::min(window.width(), screen.width());
    const int height = std::min(window.height(), screen.height());
    const int x = std::clamp(window.x(), screen.x(), screen.x() + screen.width() - width);
    const int y = std::clamp(window.y(), screen.y(), screen.y() + screen.height() - height);
    return {x, y, width, height};
}
