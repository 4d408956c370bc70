#pragma once

#include <QComboBox>

#include <array>
#include <cstdint>

// A drop-down of named colours, each with a swatch: the sixteen standard colours, then the
// four extended ones. A colour not in the list is added under its hex name when selected.
class ColourBox : public QComboBox {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent = nullptr);

    // Red, green, blue of the selected entry.
    std::array<std::uint8_t, 3> selectedColour() const;
    void setSelectedColour(const std::array<std::uint8_t, 3>& colour);

private:
    void addColour(const QString& name, const QColor& colour);
};
