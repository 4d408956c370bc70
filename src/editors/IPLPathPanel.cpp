#include "IPLPathPanel.h"

#include "FieldText.h"
#include "PathNodeControls.h"
#include "TFormEditorItem.h"
#include "TGTASPathIPL.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

IPLPathPanel::IPLPathPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "paneliplpath")
{
    auto* layout = new QVBoxLayout(this);
    boxpathtype = new QGroupBox("Group Type");
    boxpathtype->setObjectName("boxpathtype");
    auto* typeLayout = new QHBoxLayout(boxpathtype);
    m_pathTypes = new QButtonGroup(this);
    for (const char* caption : {"Ped", "Car", "Boat"}) {
        auto* radio = new QRadioButton(caption);
        m_pathTypes->addButton(radio, m_pathTypes->buttons().size());
        typeLayout->addWidget(radio);
    }
    layout->addWidget(boxpathtype);

    auto box = [](QLineEdit*& edit, const char* name) {
        edit = new QLineEdit;
        edit->setObjectName(name);
        return edit;
    };
    auto* header = new QFormLayout;
    header->addRow("Other:", box(EditIPLPathOther, "EditIPLPathOther"));
    layout->addLayout(header);

    const PathNodeControls controls = buildPathNodeControls(this, "IPL");
    EditIPLPathItems = controls.list;
    PanelIPLPathItem = controls.panel;
    EditIPLPathItemTypeNone = controls.typeNone;
    EditIPLPathItemTypeMid = controls.typeMid;
    EditIPLPathItemTypeEnd = controls.typeEnd;
    EditIPLPathItemConnect = controls.connect;
    EditIPLPathItemU3 = controls.u3;
    EditIPLPathItemPosX = controls.posX;
    EditIPLPathItemPosY = controls.posY;
    EditIPLPathItemPosZ = controls.posZ;
    EditIPLPathItemU7 = controls.u7;
    EditIPLPathItemLL0 = controls.leftLaneButtons[0];
    EditIPLPathItemLL1 = controls.leftLaneButtons[1];
    EditIPLPathItemLL2 = controls.leftLaneButtons[2];
    EditIPLPathItemLR0 = controls.rightLaneButtons[0];
    EditIPLPathItemLR1 = controls.rightLaneButtons[1];
    EditIPLPathItemLR2 = controls.rightLaneButtons[2];
    m_nodeControls = controls;
    auto extraBox = [&](QLineEdit*& edit, const char* name, const char* caption) {
        edit = new QLineEdit;
        edit->setObjectName(name);
        controls.form->addRow(caption, edit);
    };
    extraBox(EditIPLPathItemU10, "EditIPLPathItemU10", "Unknown 3:");
    extraBox(EditIPLPathItemU11, "EditIPLPathItemU11", "Unknown 4:");
    extraBox(EditIPLPathItemU12, "EditIPLPathItemU12", "Unknown 5:");
    layout->addWidget(EditIPLPathItems, 1);
    layout->addWidget(PanelIPLPathItem);

    connect(m_pathTypes, &QButtonGroup::idClicked, this, &IPLPathPanel::boxpathtypeClick);
    connect(EditIPLPathOther, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathOtherChange);
    connect(EditIPLPathItems, &QTreeWidget::itemSelectionChanged, this, &IPLPathPanel::EditIPLPathItemsSelectItem);
    connect(m_nodeControls.types, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemTypeClick);
    connect(EditIPLPathItemConnect, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemConnectChange);
    connect(EditIPLPathItemU3, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU3Change);
    connect(EditIPLPathItemU7, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU7Change);
    connect(EditIPLPathItemPosX, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosXChange);
    connect(EditIPLPathItemPosY, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosYChange);
    connect(EditIPLPathItemPosZ, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosZChange);
    connect(m_nodeControls.leftLanes, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemLeftLanesClick);
    connect(m_nodeControls.rightLanes, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemRightLanesClick);
    connect(EditIPLPathItemU10, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU10Change);
    connect(EditIPLPathItemU11, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU11Change);
    connect(EditIPLPathItemU12, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU12Change);
}

void IPLPathPanel::load()
{
    const TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    if (!group)
        return;
    if (QAbstractButton* type = m_pathTypes->button(group->GroupType))
        type->setChecked(true);
    EditIPLPathOther->setText(intBox(group->Other));
    fillNodes();
    EditIPLPathItems->clearSelection();
    EditIPLPathItems->setCurrentItem(nullptr);
    PanelIPLPathItem->hide();
}

void IPLPathPanel::fillNodes()
{
    const EditsSuppressed suppressed(m_editor);
    QList<QStringList> rows;
    if (const TGTASPathIPLObj* group = m_editor.SelectedIPLPath()) {
        for (const TGTASPathIPLNode& node : group->Nodes)
            rows << QStringList{nodeCaption(node.NodeType), intBox(node.NextNode),
                                "(" + shortFloatBox(node.PosX) + ", " + shortFloatBox(node.PosY) + ", "
                                    + shortFloatBox(node.PosZ) + ")"};
    }
    refillNodeRows(EditIPLPathItems, rows);
}

TGTASPathIPLNode* IPLPathPanel::selectedNode() const
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    const int row = selectedNodeRow(EditIPLPathItems);
    if (!group || row < 0 || row >= group->NodeCount())
        return nullptr;
    return &group->Nodes[row];
}

void IPLPathPanel::EditIPLPathItemsSelectItem()
{
    if (!m_editor.EditsEnabled)
        return;
    const TGTASPathIPLNode* node = selectedNode();
    if (!node) {
        PanelIPLPathItem->hide();
        return;
    }
    PanelIPLPathItem->show();
    const EditsSuppressed suppressed(m_editor);
    showNodeButtons(m_nodeControls, node->NodeType, node->LeftLanes, node->RightLanes);
    EditIPLPathItemConnect->setText(intBox(node->NextNode));
    EditIPLPathItemU3->setText(intBox(node->U3));
    EditIPLPathItemU7->setText(shortFloatBox(node->U7));
    EditIPLPathItemPosX->setText(shortFloatBox(node->PosX));
    EditIPLPathItemPosY->setText(shortFloatBox(node->PosY));
    EditIPLPathItemPosZ->setText(shortFloatBox(node->PosZ));
    EditIPLPathItemU10->setText(shortFloatBox(node->U10));
    EditIPLPathItemU11->setText(shortFloatBox(node->U11));
    EditIPLPathItemU12->setText(shortFloatBox(node->U12));
}

template <typename Write>
void IPLPathPanel::writeNode(Write write)
{
    TGTASPathIPLNode* node = selectedNode();
    if (!m_editor.EditsEnabled || !node)
        return;
    write(*node);
    m_editor.RefreshRecord(RecordRefresh::Edit);
    fillNodes();
}

void IPLPathPanel::boxpathtypeClick(int index)
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->GroupType = static_cast<uint16_t>(index);
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void IPLPathPanel::EditIPLPathOtherChange()
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->Other = static_cast<int16_t>(intFromBox(EditIPLPathOther->text(), 0));
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void IPLPathPanel::EditIPLPathItemTypeClick(int nodeType)
{
    writeNode([&](TGTASPathIPLNode& node) { node.NodeType = static_cast<uint16_t>(nodeType); });
}

void IPLPathPanel::EditIPLPathItemConnectChange()
{
    writeNode([&](TGTASPathIPLNode& node) {
        node.NextNode = static_cast<int16_t>(intFromBox(EditIPLPathItemConnect->text(), 0));
    });
}

void IPLPathPanel::EditIPLPathItemU3Change()
{
    writeNode(
        [&](TGTASPathIPLNode& node) { node.U3 = static_cast<uint16_t>(intFromBox(EditIPLPathItemU3->text(), 0)); });
}

void IPLPathPanel::EditIPLPathItemU7Change()
{
    writeNode([&](TGTASPathIPLNode& node) { node.U7 = floatFromBox(EditIPLPathItemU7->text(), 0); });
}

void IPLPathPanel::EditIPLPathItemPosXChange()
{
    writeNode([&](TGTASPathIPLNode& node) { node.PosX = floatFromBox(EditIPLPathItemPosX->text(), 0); });
}

void IPLPathPanel::EditIPLPathItemPosYChange()
{
    writeNode([&](TGTASPathIPLNode& node) { node.PosY = floatFromBox(EditIPLPathItemPosY->text(), 0); });
}

void IPLPathPanel::EditIPLPathItemPosZChange()
{
    writeNode([&](TGTASPathIPLNode& node) { node.PosZ = floatFromBox(EditIPLPathItemPosZ->text(), 0); });
}

void IPLPathPanel::EditIPLPathItemLeftLanesClick(int lanes)
{
    writeNode([&](TGTASPathIPLNode& node) { node.LeftLanes = static_cast<int16_t>(lanes); });
}

void IPLPathPanel::EditIPLPathItemRightLanesClick(int lanes)
{
    writeNode([&](TGTASPathIPLNode& node) { node.RightLanes = static_cast<int16_t>(lanes); });
}

void IPLPathPanel::EditIPLPathItemU10Change()
{
    writeNode([&](TGTASPathIPLNode& node) {
        node.U10 = TGTASPathIPL::NodeColumnValue(floatFromBox(EditIPLPathItemU10->text(), 0));
    });
}

void IPLPathPanel::EditIPLPathItemU11Change()
{
    writeNode([&](TGTASPathIPLNode& node) {
        node.U11 = TGTASPathIPL::NodeColumnValue(floatFromBox(EditIPLPathItemU11->text(), 0));
    });
}

void IPLPathPanel::EditIPLPathItemU12Change()
{
    writeNode([&](TGTASPathIPLNode& node) {
        node.U12 = TGTASPathIPL::NodeColumnValue(floatFromBox(EditIPLPathItemU12->text(), 0));
    });
}
