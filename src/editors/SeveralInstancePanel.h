#pragma once

#include "ItemPanel.h"

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

// The page of several instances moved together: the list of them, their count and centre,
// the nudge buttons and the move-by boxes.
class SeveralInstancePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit SeveralInstancePanel(TFormEditorItem& editor);
    void load() override;

    void EditIPLMultInstPosCenterClick();

    // One row per instance; the row's data is the record index in the selected file.
    QListWidget* EditIPLMultInstList = nullptr;
    QLabel* EditIPLMultInstItemCount = nullptr;
    QLabel* EditIPLMultInstItemCenter = nullptr;
    // Move-by boxes: Enter in any of them moves every listed instance by all three.
    QLineEdit* EditIPLMultInstPosX = nullptr;
    QLineEdit* EditIPLMultInstPosY = nullptr;
    QLineEdit* EditIPLMultInstPosZ = nullptr;
    // Nudge buttons per axis X, Y, Z, in the order L1, L2, R2, R1.
    std::array<std::array<QToolButton*, 4>, 3> PosButtons{};
    QPushButton* EditIPLMultInstPosCenter = nullptr;
};
