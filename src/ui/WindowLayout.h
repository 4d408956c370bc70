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

    // The layout last saved; none when there is none or it is incomplete.
    static std::optional<WindowLayout> load();
    void save() const;
};
