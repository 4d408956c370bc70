#pragma once

#include "ItemPanel.h"

// The page of a cull zone of an IPL file. It only displays: its boxes write nothing back.
class CullPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit CullPanel(TFormEditorItem& editor);
    void load() override;
};
