#include "IDEPathPanel.h"

#include "FieldText.h"
#include "PathNodeControls.h"
#include "TFormEditorItem.h"
#include "TGTASPath.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

IDEPathPanel::IDEPathPanel(TFormEditorItem& editor)
    : ItemPanel(editor, "panelidepath")
{
    auto* layout = new QVBoxLayout(this);
    auto* typeBox = new QGroupBox("Group Type");
    auto* typeLayout = new QHBoxLayout(typeBox);
    EditIDEPathRadioPed = new QRadioButton("Pedestrian (ped)");
    EditIDEPathRadioPed->setObjectName("EditIDEPathRadioPed");
    EditIDEPathRadioCar = new QRadioButton("Vehicle (car)");
    EditIDEPathRadioCar->setObjectName("EditIDEPathRadioCar");
    typeLayout->addWidget(EditIDEPathRadioPed);
    typeLayout->addWidget(EditIDEPathRadioCar);
    layout->addWidget(typeBox);

    auto box = [](QLineEdit*& edit, const char* name) {
        edit = new QLineEdit;
        edit->setObjectName(name);
        return edit;
    };
    auto* header = new QFormLayout;
    header->addRow("ID:", box(EditIDEPathID, "EditIDEPathID"));
    header->addRow("Model:", box(EditIDEPathModel, "EditIDEPathModel"));
    keepToOneColumn(EditIDEPathModel);
    layout->addLayout(header);

    const PathNodeControls controls = buildPathNodeControls(this, "IDE");
    EditIDEPathItems = controls.list;
    PanelIDEPathItem = controls.panel;
    EditIDEPathItemTypeNone = controls.typeNone;
    EditIDEPathItemTypeMid = controls.typeMid;
    EditIDEPathItemTypeEnd = controls.typeEnd;
    EditIDEPathItemConnect = controls.connect;
    EditIDEPathItemU3 = controls.u3;
    EditIDEPathItemPosX = controls.posX;
    EditIDEPathItemPosY = controls.posY;
    EditIDEPathItemPosZ = controls.posZ;
    EditIDEPathItemU7 = controls.u7;
    EditIDEPathItemLL0 = controls.leftLaneButtons[0];
    EditIDEPathItemLL1 = controls.leftLaneButtons[1];
    EditIDEPathItemLL2 = controls.leftLaneButtons[2];
    EditIDEPathItemLR0 = controls.rightLaneButtons[0];
    EditIDEPathItemLR1 = controls.rightLaneButtons[1];
    EditIDEPathItemLR2 = controls.rightLaneButtons[2];
    m_nodeControls = controls;
    layout->addWidget(EditIDEPathItems, 1);
    layout->addWidget(PanelIDEPathItem);

    connect(EditIDEPathRadioPed, &QRadioButton::clicked, this, &IDEPathPanel::EditIDEPathRadioPedClick);
    connect(EditIDEPathRadioCar, &QRadioButton::clicked, this, &IDEPathPanel::EditIDEPathRadioCarClick);
    connect(EditIDEPathID, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathIDChange);
    connect(EditIDEPathModel, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathModelChange);
    connect(EditIDEPathItems, &QTreeWidget::itemSelectionChanged, this, &IDEPathPanel::EditIDEPathItemsSelectItem);
    connect(m_nodeControls.types, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemTypeClick);
    connect(EditIDEPathItemConnect, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemConnectChange);
    connect(EditIDEPathItemU3, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemU3Change);
    connect(EditIDEPathItemU7, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemU7Change);
    connect(EditIDEPathItemPosX, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosXChange);
    connect(EditIDEPathItemPosY, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosYChange);
    connect(EditIDEPathItemPosZ, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosZChange);
    connect(m_nodeControls.leftLanes, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemLeftLanesClick);
    connect(m_nodeControls.rightLanes, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemRightLanesClick);
}

void IDEPathPanel::load()
{
    const TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!group)
        return;
    // Only the exact lower-case word is a pedestrian group, as the game reads it.
    if (group->GroupType == "ped")
        EditIDEPathRadioPed->setChecked(true);
    else
        EditIDEPathRadioCar->setChecked(true);
    EditIDEPathID->setText(intBox(group->ID));
    EditIDEPathModel->setText(QString::fromStdString(group->ModelName));
    fillNodes();
    EditIDEPathItems->clearSelection();
    EditIDEPathItems->setCurrentItem(nullptr);
    PanelIDEPathItem->hide();
}

void IDEPathPanel::fillNodes()
{
    const EditsSuppressed suppressed(m_editor);
    QList<QStringList> rows;
    if (const TGTASPathObj* group = m_editor.SelectedIDEPath()) {
        for (const TGTASPathNode& node : group->Nodes)
            rows << QStringList{nodeCaption(node.NodeType), intBox(node.NextNode),
                                QString("(%1, %2, %3)").arg(node.PosX).arg(node.PosY).arg(node.PosZ)};
    }
    refillNodeRows(EditIDEPathItems, rows);
}

TGTASPathNode* IDEPathPanel::selectedNode() const
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    const int row = selectedNodeRow(EditIDEPathItems);
    if (!group || row < 0 || row >= group->NodeCount())
        return nullptr;
    return &group->Nodes[row];
}

void IDEPathPanel::EditIDEPathItemsSelectItem()
{
    if (!m_editor.EditsEnabled)
        return;
    const TGTASPathNode* node = selectedNode();
    if (!node) {
        PanelIDEPathItem->hide();
        return;
    }
    PanelIDEPathItem->show();
    const EditsSuppressed suppressed(m_editor);
    showNodeButtons(m_nodeControls, node->NodeType, node->LeftLanes, node->RightLanes);
    EditIDEPathItemConnect->setText(intBox(node->NextNode));
    EditIDEPathItemU3->setText(intBox(node->U3));
    EditIDEPathItemU7->setText(intBox(node->U7));
    EditIDEPathItemPosX->setText(intBox(node->PosX));
    EditIDEPathItemPosY->setText(intBox(node->PosY));
    EditIDEPathItemPosZ->setText(intBox(node->PosZ));
}

template <typename Write>
void IDEPathPanel::writeNode(Write write)
{
    TGTASPathNode* node = selectedNode();
    if (!m_editor.EditsEnabled || !node)
        return;
    write(*node);
    m_editor.RefreshRecord(RecordRefresh::Edit);
    fillNodes();
}

void IDEPathPanel::writeGroupType(const char* groupType)
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->GroupType = groupType;
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void IDEPathPanel::EditIDEPathRadioPedClick()
{
    writeGroupType("ped");
}

void IDEPathPanel::EditIDEPathRadioCarClick()
{
    writeGroupType("car");
}

void IDEPathPanel::EditIDEPathIDChange()
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->ID = static_cast<uint16_t>(intFromBox(EditIDEPathID->text(), 0));
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void IDEPathPanel::EditIDEPathModelChange()
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->ModelName = EditIDEPathModel->text().toStdString();
    m_editor.RefreshRecord(RecordRefresh::Edit);
}

void IDEPathPanel::EditIDEPathItemTypeClick(int nodeType)
{
    writeNode([&](TGTASPathNode& node) { node.NodeType = static_cast<uint16_t>(nodeType); });
}

void IDEPathPanel::EditIDEPathItemConnectChange()
{
    writeNode([&](TGTASPathNode& node) {
        node.NextNode = static_cast<int16_t>(intFromBox(EditIDEPathItemConnect->text(), -1));
    });
}

void IDEPathPanel::EditIDEPathItemU3Change()
{
    writeNode([&](TGTASPathNode& node) { node.U3 = static_cast<uint16_t>(intFromBox(EditIDEPathItemU3->text(), 0)); });
}

void IDEPathPanel::EditIDEPathItemU7Change()
{
    writeNode([&](TGTASPathNode& node) { node.U7 = static_cast<uint16_t>(intFromBox(EditIDEPathItemU7->text(), 0)); });
}

void IDEPathPanel::EditIDEPathItemPosXChange()
{
    writeNode([&](TGTASPathNode& node) { node.PosX = intFromBox(EditIDEPathItemPosX->text(), 0); });
}

void IDEPathPanel::EditIDEPathItemPosYChange()
{
    writeNode([&](TGTASPathNode& node) { node.PosY = intFromBox(EditIDEPathItemPosY->text(), 0); });
}

void IDEPathPanel::EditIDEPathItemPosZChange()
{
    writeNode([&](TGTASPathNode& node) { node.PosZ = intFromBox(EditIDEPathItemPosZ->text(), 0); });
}

void IDEPathPanel::EditIDEPathItemLeftLanesClick(int lanes)
{
    writeNode([&](TGTASPathNode& node) { node.LeftLanes = static_cast<int16_t>(lanes); });
}

void IDEPathPanel::EditIDEPathItemRightLanesClick(int lanes)
{
    writeNode([&](TGTASPathNode& node) { node.RightLanes = static_cast<int16_t>(lanes); });
}
