#pragma once

#include "ItemPanel.h"
#include "PathNodeControls.h"

class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QTreeWidget;
struct TGTASPathNode;

// The page of a path group of an IDE file: its header, its nodes, and the selected node's
// fields. Node coordinates and the other node columns are whole numbers here.
class IDEPathPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit IDEPathPanel(TFormEditorItem& editor);
    void load() override;
    // Rebuilds the node list from the selected group, keeping the selected row.
    void fillNodes();

    QRadioButton* EditIDEPathRadioPed = nullptr;
    QRadioButton* EditIDEPathRadioCar = nullptr;
    QLineEdit* EditIDEPathID = nullptr;
    QLineEdit* EditIDEPathModel = nullptr;
    // One row per node: caption by node type, next node, position.
    QTreeWidget* EditIDEPathItems = nullptr;
    // The selected node's controls; hidden while no row is selected.
    QWidget* PanelIDEPathItem = nullptr;
    QToolButton* EditIDEPathItemTypeNone = nullptr;
    QToolButton* EditIDEPathItemTypeMid = nullptr;
    QToolButton* EditIDEPathItemTypeEnd = nullptr;
    QLineEdit* EditIDEPathItemConnect = nullptr;
    QLineEdit* EditIDEPathItemU3 = nullptr;
    QLineEdit* EditIDEPathItemU7 = nullptr;
    QLineEdit* EditIDEPathItemPosX = nullptr;
    QLineEdit* EditIDEPathItemPosY = nullptr;
    QLineEdit* EditIDEPathItemPosZ = nullptr;
    QToolButton* EditIDEPathItemLL0 = nullptr;
    QToolButton* EditIDEPathItemLL1 = nullptr;
    QToolButton* EditIDEPathItemLL2 = nullptr;
    QToolButton* EditIDEPathItemLR0 = nullptr;
    QToolButton* EditIDEPathItemLR1 = nullptr;
    QToolButton* EditIDEPathItemLR2 = nullptr;

    void EditIDEPathRadioPedClick();
    void EditIDEPathRadioCarClick();
    void EditIDEPathIDChange();
    void EditIDEPathModelChange();
    void EditIDEPathItemsSelectItem();
    // The type buttons pass the node type they stand for (None 0, Mid 2, End 1).
    void EditIDEPathItemTypeClick(int nodeType);
    void EditIDEPathItemConnectChange();
    void EditIDEPathItemU3Change();
    void EditIDEPathItemU7Change();
    void EditIDEPathItemPosXChange();
    void EditIDEPathItemPosYChange();
    void EditIDEPathItemPosZChange();
    void EditIDEPathItemLeftLanesClick(int lanes);
    void EditIDEPathItemRightLanesClick(int lanes);

private:
    TGTASPathNode* selectedNode() const;
    void writeGroupType(const char* groupType);
    // Writes into the selected node, then shows the group's line and list again.
    template <typename Write>
    void writeNode(Write write);

    PathNodeControls m_nodeControls;
};
