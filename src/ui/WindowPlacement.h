#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a tool window floats the first time it is shown, beside the 3D view.
enum class DockPlace {
    ViewTopRight,            // the DAT editor, the undo history
    ViewTopRightBelowButton, // the validation window: below the view's show/hide button
    ViewBottomRight,         // the item editor
    ViewTopLeftBelowButton,  // the texture viewer
    ViewBottomLeft,          // the second display
    EditorTabs,              // the map file and archive editors: tabs beside the view
};

// The top left corner of a floating window of `frame` size at `place` in the view's
// rectangle `view` (global coordinates); `belowButton` is the height the view's show/hide
// button takes at its top. Coordinates are clamped at 0.
QPoint firstFloatingPlace(DockPlace place, const QRect& view, int belowButton, const QSize& frame);

// `window` moved, and shrunk where it is larger, to lie inside `screen`: a layout saved on a
// bigger screen comes back where the user can reach it.
QRect fitInside(const QRect& window, const QRect& screen);
