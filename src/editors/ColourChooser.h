#pragma once

#include <QColor>
#include <QComboBox>

// A drop-down of named colours, each with a swatch, ending in "Custom..." which asks for
// any colour with the colour dialog. Its value is red + green*256 + blue*65536. A value
// that has no name is shown by a custom entry, so the drop-down always shows the value set.
class ColourChooser : public QComboBox {
    Q_OBJECT
public:
    explicit ColourChooser(QWidget* parent = nullptr);

    int colourValue() const;
    // Selects the named colour with this value, or else the custom entry holding it.
    void setColourValue(int value);

    static QColor colourOf(int value);
    static int valueOf(const QColor& colour);

signals:
    // The user chose a colour from the list or the colour dialog.
    void colourChosen(int value);

private:
    void itemActivated(int row);
    int customDialogRow() const { return count() - 1; }
    void addColour(const QString& name, int value, int row = -1);

    int m_customRow = -1; // the entry of a value without a name, once one was needed
    int m_shownRow = 0; // the row to go back to when the colour dialog is cancelled
};
