#include "ColourChooser.h"

#include <QColorDialog>
#include <QPixmap>

#include <iterator>

namespace {

// Red in the low byte, as the effect records store their colour.
constexpr int rgbValue(int r, int g, int b)
{
    return r + g * 256 + b * 65536;
}

struct NamedColour {
    const char* name;
    int value;
};

constexpr NamedColour NamedColours[] = {
    // The sixteen standard colours.
    {"black", rgbValue(0, 0, 0)},
    {"maroon", rgbValue(128, 0, 0)},
    {"green", rgbValue(0, 128, 0)},
    {"olive", rgbValue(128, 128, 0)},
    {"navy", rgbValue(0, 0, 128)},
    {"purple", rgbValue(128, 0, 128)},
    {"teal", rgbValue(0, 128, 128)},
    {"gray", rgbValue(128, 128, 128)},
    {"silver", rgbValue(192, 192, 192)},
    {"red", rgbValue(255, 0, 0)},
    {"lime", rgbValue(0, 255, 0)},
    {"yellow", rgbValue(255, 255, 0)},
    {"blue", rgbValue(0, 0, 255)},
    {"fuchsia", rgbValue(255, 0, 255)},
    {"aqua", rgbValue(0, 255, 255)},
    {"white", rgbValue(255, 255, 255)},
    // Extended colours.
    {"money green", rgbValue(192, 220, 192)},
    {"sky blue", rgbValue(166, 202, 240)},
    {"cream", rgbValue(255, 251, 240)},
    {"medium gray", rgbValue(160, 160, 164)},
};

QIcon swatch(const QColor& colour)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QString customName(int value)
{
    const QColor colour = ColourChooser::colourOf(value);
    return QString("custom (%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

}

ColourChooser::ColourChooser(QWidget* parent)
    : QComboBox(parent)
{
    for (const NamedColour& colour : NamedColours)
        addColour(colour.name, colour.value);
    addItem("Custom...", -1);
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &ColourChooser::itemActivated);
}

QColor ColourChooser::colourOf(int value)
{
    return QColor(value & 255, (value >> 8) & 255, (value >> 16) & 255);
}

int ColourChooser::valueOf(const QColor& colour)
{
    return rgbValue(colour.red(), colour.green(), colour.blue());
}

void ColourChooser::addColour(const QString& name, int value, int row)
{
    if (row < 0)
        addItem(swatch(colourOf(value)), name, value);
    else
        insertItem(row, swatch(colourOf(value)), name, value);
}

int ColourChooser::colourValue() const
{
    return currentData().toInt();
}

void ColourChooser::setColourValue(int value)
{
    value &= 0xFFFFFF;
    int row = -1;
    for (int named = 0; named < static_cast<int>(std::size(NamedColours)); ++named) {
        if (NamedColours[named].value == value) {
            row = named;
            break;
        }
    }
    if (row < 0) {
        if (m_customRow < 0) {
            m_customRow = customDialogRow();
            addColour(customName(value), value, m_customRow);
        } else {
            setItemText(m_customRow, customName(value));
            setItemIcon(m_customRow, swatch(colourOf(value)));
            setItemData(m_customRow, value);
        }
        row = m_customRow;
    }
    m_shownRow = row;
    setCurrentIndex(row);
    update();
}

void ColourChooser::itemActivated(int row)
{
    if (row != customDialogRow()) {
        m_shownRow = row;
        emit colourChosen(itemData(row).toInt());
        return;
    }
    QColorDialog dialog(colourOf(itemData(m_shownRow).toInt()), this);
    dialog.setObjectName("ColourChooserDialog");
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) {
        setCurrentIndex(m_shownRow);
        return;
    }
    const int value = valueOf(dialog.selectedColor());
    setColourValue(value);
    emit colourChosen(value);
}
