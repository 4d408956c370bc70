#pragma once

#include "ItemPanel.h"

// The page of one placed instance: its fields, the nudge buttons, and whether its definition, model and dictionary can be found.
class InstancePanel : public ItemPanel {
    Q_OBJECT
public:
    explicit InstancePanel(TFormEditorItem& editor);
    void load() override;
    // The validation list's four rows for the selected instance.
    void UpdateInstanceValidation();
    // The position and rotation boxes show the record again (edits are off meanwhile).
    void showPosition();
    void showRotation();
};
