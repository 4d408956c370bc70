#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// The main window's layout as kept from run to run, in the settings file of
// ViewPreferences (group "Layout"): the window's geometry, the docks' state, the sizes of
// the view's splitter, and the docks that have been placed once already.
struct WindowLayout {
    QByteArray Geometry;
    QByteArray State;
    QByteArray Splitter;
    QStringList PlacedDocks;
    // The width (left and right areas) or height (top and bottom) of each docked dock, as
    // "name=size": the state alone gives them back fitted to a window not yet shown.
    QStringList DockSizes;

    // The layout last saved; none when there is none or it is incomplete.
    static std::optional<WindowLayout> load();
    void save() const;
};
