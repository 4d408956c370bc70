#pragma once

#include "ItemPanel.h"

class QLabel;
class QLineEdit;
class QListWidget;

// The page of several instances moved together: the list of them, their count and centre,
// the nudge buttons and the move-by boxes.
class SeveralInstancePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit SeveralInstancePanel(TFormEditorItem& editor);
    void load() override;

    // One row per instance; the row's data is the record index in the selected file.
    QListWidget* EditIPLMultInstList = nullptr;
    QLabel* EditIPLMultInstItemCount = nullptr;
    QLabel* EditIPLMultInstItemCenter = nullptr;
    // Move-by boxes: Enter in any of them moves every listed instance by all three.
    QLineEdit* EditIPLMultInstPosX = nullptr;
    QLineEdit* EditIPLMultInstPosY = nullptr;
    QLineEdit* EditIPLMultInstPosZ = nullptr;
};
