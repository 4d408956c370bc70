#pragma once

#include <QWidget>

class ColourBox;
class QLineEdit;
class QTabWidget;
class UpDownControl;

// The settings window: radar calibration and the look of the path lines. Every change is
// written to the drawing settings at once and used by the next frame; nothing is stored,
// each run starts from the built-in defaults.
class Twnd_setup : public QWidget {
    Q_OBJECT
public:
    explicit Twnd_setup(QWidget* parent = nullptr);

    QTabWidget* PageControl = nullptr;
    QLineEdit* Edit1 = nullptr;
    UpDownControl* UpDown1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    UpDownControl* UpDown2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    UpDownControl* UpDown3 = nullptr;
    ColourBox* BoxColour = nullptr;
    ColourBox* ColorBox1 = nullptr;
    ColourBox* ColorBox2 = nullptr;
    QLineEdit* Edit4 = nullptr;

    void UpDown1Click(int position);
    void UpDown2Click(int position);
    void UpDown3Click(int position);
    void BoxColourChange();
    void Edit4Change();

private:
    QWidget* radarPage();
    QWidget* pathsPage();
};
