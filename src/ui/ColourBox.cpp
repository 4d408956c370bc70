#include "ColourBox.h"

#include <QPixmap>

namespace {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

constexpr NamedColour namedColours[] = {
    {"Black", 0x000000},   {"Maroon", 0x800000},     {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},    {"Purple", 0x800080},     {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},  {"Red", 0xFF0000},        {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},    {"Fuchsia", 0xFF00FF},    {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xA6CAF0}, {"Cream", 0xFFFBF0}, {"Medium Gray", 0xA4A0A0},
};

} // namespace

ColourBox::ColourBox(QWidget* parent) : QComboBox(parent)
{
    for (const NamedColour& named : namedColours)
        addColour(QString::fromLatin1(named.name), QColor::fromRgb(named.rgb));
}

void ColourBox::addColour(const QString& name, const QColor& colour)
{
    QPixmap swatch(16, 12);
    swatch.fill(colour);
    addItem(QIcon(swatch), name, colour);
}

std::array<std::uint8_t, 3> ColourBox::selectedColour() const
{
    const QColor colour = currentData().value<QColor>();
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

void ColourBox::setSelectedColour(const std::array<std::uint8_t, 3>& colour)
{
    const QColor wanted(colour[0], colour[1], colour[2]);
    for (int i = 0; i < count(); ++i) {
        if (itemData(i).value<QColor>() == wanted) {
            setCurrentIndex(i);
            return;
        }
    }
    addColour(wanted.name(), wanted);
    setCurrentIndex(count() - 1);
}
