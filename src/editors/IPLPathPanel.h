#pragma once

#include "ItemPanel.h"
#include "PathNodeControls.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QToolButton;
class QTreeWidget;
struct TGTASPathIPLNode;

// The page of a path group of an IPL file: its header, its nodes, and the selected node's
// fields. Node coordinates and U7 are decimal numbers here.
class IPLPathPanel : public ItemPanel {
    Q_OBJECT
public:
    explicit IPLPathPanel(TFormEditorItem& editor);
    void load() override;
    // Rebuilds the node list from the selected group, keeping the selected row.
    void fillNodes();

    // Radio group "Ped", "Car", "Boat": the checked button's index is the group type.
    QGroupBox* boxpathtype = nullptr;
    QLineEdit* EditIPLPathOther = nullptr;
    // One row per node: caption by node type, next node, position.
    QTreeWidget* EditIPLPathItems = nullptr;
    // The selected node's controls; hidden while no row is selected.
    QWidget* PanelIPLPathItem = nullptr;
    QToolButton* EditIPLPathItemTypeNone = nullptr;
    QToolButton* EditIPLPathItemTypeMid = nullptr;
    QToolButton* EditIPLPathItemTypeEnd = nullptr;
    QLineEdit* EditIPLPathItemConnect = nullptr;
    QLineEdit* EditIPLPathItemU3 = nullptr;
    QLineEdit* EditIPLPathItemU7 = nullptr;
    QLineEdit* EditIPLPathItemPosX = nullptr;
    QLineEdit* EditIPLPathItemPosY = nullptr;
    QLineEdit* EditIPLPathItemPosZ = nullptr;
    QToolButton* EditIPLPathItemLL0 = nullptr;
    QToolButton* EditIPLPathItemLL1 = nullptr;
    QToolButton* EditIPLPathItemLL2 = nullptr;
    QToolButton* EditIPLPathItemLR0 = nullptr;
    QToolButton* EditIPLPathItemLR1 = nullptr;
    QToolButton* EditIPLPathItemLR2 = nullptr;
    QLineEdit* EditIPLPathItemU10 = nullptr;
    QLineEdit* EditIPLPathItemU11 = nullptr;
    QLineEdit* EditIPLPathItemU12 = nullptr;

    void boxpathtypeClick(int index);
    void EditIPLPathOtherChange();
    void EditIPLPathItemsSelectItem();
    // The type buttons pass the node type they stand for (None 0, Mid 2, End 1).
    void EditIPLPathItemTypeClick(int nodeType);
    void EditIPLPathItemConnectChange();
    void EditIPLPathItemU3Change();
    void EditIPLPathItemU7Change();
    void EditIPLPathItemPosXChange();
    void EditIPLPathItemPosYChange();
    void EditIPLPathItemPosZChange();
    void EditIPLPathItemLeftLanesClick(int lanes);
    void EditIPLPathItemRightLanesClick(int lanes);
    void EditIPLPathItemU10Change();
    void EditIPLPathItemU11Change();
    void EditIPLPathItemU12Change();

private:
    TGTASPathIPLNode* selectedNode() const;
    // Writes into the selected node, then shows the group's line and list again.
    template <typename Write>
    void writeNode(Write write);

    QButtonGroup* m_pathTypes = nullptr;
    PathNodeControls m_nodeControls;
};
