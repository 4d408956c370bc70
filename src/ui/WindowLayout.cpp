#include "WindowLayout.h"

#include "ViewPreferences.h"

#include <QSettings>

namespace {

const QString GeometryKey = QStringLiteral("Layout/Geometry");
const QString StateKey = QStringLiteral("Layout/State");
const QString SplitterKey = QStringLiteral("Layout/Splitter");
const QString PlacedKey = QStringLiteral("Layout/PlacedDocks");
const QString DockSizesKey = QStringLiteral("Layout/DockSizes");

} // namespace

std::optional<WindowLayout> WindowLayout::load()
{
    const QSettings settings(ViewPreferences::settingsFile(), QSettings::IniFormat);
    WindowLayout layout;
    layout.Geometry = settings.value(GeometryKey).toByteArray();
    layout.State = settings.value(StateKey).toByteArray();
    layout.Splitter = settings.value(SplitterKey).toByteArray();
    layout.PlacedDocks = settings.value(PlacedKey).toStringList();
    layout.DockSizes = settings.value(DockSizesKey).toStringList();
    if (layout.Geometry.isEmpty() || layout.State.isEmpty())
        return std::nullopt;
    return layout;
}

void WindowLayout::save() const
{
    QSettings settings(ViewPreferences::settingsFile(), QSettings::IniFormat);
    settings.setValue(GeometryKey, Geometry);
    settings.setValue(StateKey, State);
    settings.setValue(SplitterKey, Splitter);
    settings.setValue(PlacedKey, PlacedDocks);
    settings.setValue(DockSizesKey, DockSizes);
}
