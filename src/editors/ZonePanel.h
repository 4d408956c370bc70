#pragma once

#include "ItemPanel.h"

class QComboBox;
class QLineEdit;
struct TGTASZoneObj;

// The page of a zone of an IPL file: its name, its type and the two corners of its box.
class ZonePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit ZonePanel(TFormEditorItem& editor);
    void load() override;

    QLineEdit* EditIPLZoneName = nullptr;
    QComboBox* box_zonetypes = nullptr;
    QLineEdit* EditIPLZonePos1X = nullptr;
    QLineEdit* EditIPLZonePos1Y = nullptr;
    QLineEdit* EditIPLZonePos1Z = nullptr;
    QLineEdit* EditIPLZonePos2X = nullptr;
    QLineEdit* EditIPLZonePos2Y = nullptr;
    QLineEdit* EditIPLZonePos2Z = nullptr;
    QLineEdit* EditIPLZoneU9 = nullptr;

    void EditIPLZoneNameChange();
    void box_zonetypesChange();
    // One of the six corner boxes and the coordinate it holds.
    void EditIPLZonePosChange(QLineEdit* box, float TGTASZoneObj::*field);
    void EditIPLZoneU9Change();
};
