#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// A pair of arrows that steps a whole number within a range and shows it in a buddy edit
// box. Typing into the buddy changes nothing by itself: the next arrow click starts from the
// number typed there (when it is one), steps it and reports the new position.
class UpDownControl : public QWidget {
    Q_OBJECT
public:
    UpDownControl(int minimum, int maximum, int position, QLineEdit* buddy, QWidget* parent = nullptr);

    int position() const { return m_position; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    // An arrow was used; the position is already shown in the buddy.
    void clicked(int position);

private:
    void step(int delta);

    int m_minimum;
    int m_maximum;
    int m_position;
    QLineEdit* m_buddy;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
