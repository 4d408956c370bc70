#pragma once

#include "ItemPanel.h"

// The page of a zone of an IPL file.
class ZonePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit ZonePanel(TFormEditorItem& editor);
    void load() override;
};
