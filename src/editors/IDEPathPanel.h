#pragma once

#include "ItemPanel.h"

// The page of a path group of an IDE file: its header, its nodes, and the selected node's fields.
class IDEPathPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit IDEPathPanel(TFormEditorItem& editor);
    void load() override;
    // Rebuilds the node list from the selected group, keeping the selected row.
    void fillNodes();
};
