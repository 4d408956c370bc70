#pragma once

#include "ItemPanel.h"

// The page of a 2D effect of an IDE file: the common fields and a sub-panel per effect type.
class EffectPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit EffectPanel(TFormEditorItem& editor);
    void load() override;
};
