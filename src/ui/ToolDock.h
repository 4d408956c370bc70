#pragma once

#include "WindowPlacement.h"

#include <QDockWidget>

#include <functional>

// A tool window of the main window held in a dock: docked to a side, tabbed with others or
// floating. Its toggle action is the window's action in the menus, so the action's check
// follows the dock however it is shown or hidden. The window inside keeps its own way of
// showing and hiding itself: show() shows the dock, raise() brings it to the front (its tab,
// when it is tabbed behind another), hide() hides it, and closing the dock asks the window
// first (a viewer with unsaved changes may refuse).
class ToolDock : public QDockWidget {
    Q_OBJECT
public:
    // `placeFirst` gives the top left corner for a floating dock of the given frame size
    // the first time it is shown.
    ToolDock(QWidget* window, const QString& name, DockPlace place,
             std::function<QPoint(DockPlace, QSize)> placeFirst, QWidget* parent);

    DockPlace place() const { return m_place; }
    // The action's caption, kept when the window's title changes.
    void setActionCaption(const QString& caption);
    // Whether the dock has been put at its first place (or by the user) already; a reset of
    // the layout forgets it.
    // In front: its tab the one shown, or its floating window above the others.
    void bringToFront();
    bool placed() const { return m_placed; }
    void setPlaced(bool placed) { m_placed = placed; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    DockPlace m_place;
    std::function<QPoint(DockPlace, QSize)> m_placeFirst;
    QString m_caption;
    bool m_placed = false;
    bool m_syncing = false; // the dock itself shows or hides its window
};
