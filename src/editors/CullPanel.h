#pragma once

#include "ItemPanel.h"

class QLineEdit;

// The page of a cull zone of an IPL file. It only displays: its boxes are read-only and
// write nothing back.
class CullPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit CullPanel(TFormEditorItem& editor);
    void load() override;

    QLineEdit* EditIPLCullPos1X = nullptr;
    QLineEdit* EditIPLCullPos1Y = nullptr;
    QLineEdit* EditIPLCullPos1Z = nullptr;
    QLineEdit* EditIPLCullPos2X = nullptr;
    QLineEdit* EditIPLCullPos2Y = nullptr;
    QLineEdit* EditIPLCullPos2Z = nullptr;
    QLineEdit* EditIPLCullPos3X = nullptr;
    QLineEdit* EditIPLCullPos3Y = nullptr;
    QLineEdit* EditIPLCullPos3Z = nullptr;
    QLineEdit* EditIPLCullU10 = nullptr;
    QLineEdit* EditIPLCullU11 = nullptr;
};
