#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The About window: the program's name, version and credits. Shown and hidden by the main
// window; OK only hides it.
class TFormAbout : public QWidget {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* ProgramName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Credits = nullptr;
    QPushButton* OKButton = nullptr;
};

// "Version 0.1.0 (commit 1a2b3c4)": the version the program was built as.
QString programVersionText();
