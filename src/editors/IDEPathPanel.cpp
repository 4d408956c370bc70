#include "IDEPathPanel.h"

#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTASPath.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <tuple>

namespace {

QString nodeCaption(int nodeType)
{
    switch (nodeType) {
    case 0: return "-";
    case 1: return "End";
    case 2: return "Mid";
    default: return {};
    }
}

}

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

    EditIDEPathItems = new QTreeWidget;
    EditIDEPathItems->setObjectName("EditIDEPathItems");
    EditIDEPathItems->setHeaderLabels({"Type", "Next", "Position"});
    EditIDEPathItems->setRootIsDecorated(false);
    EditIDEPathItems->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(EditIDEPathItems, 1);

    auto* nodeBox = new QGroupBox("Node");
    PanelIDEPathItem = nodeBox;
    PanelIDEPathItem->setObjectName("PanelIDEPathItem");
    auto* node = new QFormLayout(nodeBox);
    // A row of grouped speed buttons, each standing for a value: exactly one is down.
    auto buttons = [this](QButtonGroup*& group,
                       std::initializer_list<std::tuple<QToolButton**, const char*, QString, int>> rows) {
        group = new QButtonGroup(this);
        group->setExclusive(true);
        auto* row = new QHBoxLayout;
        for (auto [button, name, caption, value] : rows) {
            *button = new QToolButton;
            (*button)->setObjectName(name);
            (*button)->setText(caption);
            (*button)->setCheckable(true);
            group->addButton(*button, value);
            row->addWidget(*button);
        }
        group->buttons().first()->setChecked(true);
        row->addStretch(1);
        return row;
    };
    node->addRow("Type:",
        buttons(m_typeButtons,
            {{&EditIDEPathItemTypeNone, "EditIDEPathItemTypeNone", "None", 0},
                {&EditIDEPathItemTypeMid, "EditIDEPathItemTypeMid", "Mid", 2},
                {&EditIDEPathItemTypeEnd, "EditIDEPathItemTypeEnd", "End", 1}}));
    node->addRow("Next node:", box(EditIDEPathItemConnect, "EditIDEPathItemConnect"));
    node->addRow("Unknown 1:", box(EditIDEPathItemU3, "EditIDEPathItemU3"));
    node->addRow("X:", box(EditIDEPathItemPosX, "EditIDEPathItemPosX"));
    node->addRow("Y:", box(EditIDEPathItemPosY, "EditIDEPathItemPosY"));
    node->addRow("Z:", box(EditIDEPathItemPosZ, "EditIDEPathItemPosZ"));
    node->addRow("Unknown 2:", box(EditIDEPathItemU7, "EditIDEPathItemU7"));
    node->addRow("Left lanes:",
        buttons(m_leftLanes,
            {{&EditIDEPathItemLL0, "EditIDEPathItemLL0", "0", 0}, {&EditIDEPathItemLL1, "EditIDEPathItemLL1", "1", 1},
                {&EditIDEPathItemLL2, "EditIDEPathItemLL2", "2", 2}}));
    node->addRow("Right lanes:",
        buttons(m_rightLanes,
            {{&EditIDEPathItemLR0, "EditIDEPathItemLR0", "0", 0}, {&EditIDEPathItemLR1, "EditIDEPathItemLR1", "1", 1},
                {&EditIDEPathItemLR2, "EditIDEPathItemLR2", "2", 2}}));
    layout->addWidget(PanelIDEPathItem);
    PanelIDEPathItem->hide();

    connect(EditIDEPathRadioPed, &QRadioButton::clicked, this, &IDEPathPanel::EditIDEPathRadioPedClick);
    connect(EditIDEPathRadioCar, &QRadioButton::clicked, this, &IDEPathPanel::EditIDEPathRadioCarClick);
    connect(EditIDEPathID, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathIDChange);
    connect(EditIDEPathModel, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathModelChange);
    connect(EditIDEPathItems, &QTreeWidget::itemSelectionChanged, this, &IDEPathPanel::EditIDEPathItemsSelectItem);
    connect(m_typeButtons, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemTypeClick);
    connect(EditIDEPathItemConnect, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemConnectChange);
    connect(EditIDEPathItemU3, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemU3Change);
    connect(EditIDEPathItemU7, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemU7Change);
    connect(EditIDEPathItemPosX, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosXChange);
    connect(EditIDEPathItemPosY, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosYChange);
    connect(EditIDEPathItemPosZ, &QLineEdit::textChanged, this, &IDEPathPanel::EditIDEPathItemPosZChange);
    connect(m_leftLanes, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemLeftLanesClick);
    connect(m_rightLanes, &QButtonGroup::idClicked, this, &IDEPathPanel::EditIDEPathItemRightLanesClick);
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
    const bool edits = m_editor.EditsEnabled;
    m_editor.EditsEnabled = false;
    const int row = selectedRow();
    const int scrolled = EditIDEPathItems->verticalScrollBar()->value();
    EditIDEPathItems->clear();
    if (const TGTASPathObj* group = m_editor.SelectedIDEPath()) {
        QList<QTreeWidgetItem*> rows;
        for (const TGTASPathNode& node : group->Nodes) {
            rows << new QTreeWidgetItem(QStringList{nodeCaption(node.NodeType), intBox(node.NextNode),
                QString("(%1, %2, %3)").arg(node.PosX).arg(node.PosY).arg(node.PosZ)});
        }
        EditIDEPathItems->addTopLevelItems(rows);
    }
    if (QTreeWidgetItem* item = EditIDEPathItems->topLevelItem(row)) {
        EditIDEPathItems->setCurrentItem(item);
        EditIDEPathItems->verticalScrollBar()->setValue(scrolled);
    }
    m_editor.EditsEnabled = edits;
}

int IDEPathPanel::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = EditIDEPathItems->selectedItems();
    return selected.isEmpty() ? -1 : EditIDEPathItems->indexOfTopLevelItem(selected.first());
}

TGTASPathNode* IDEPathPanel::selectedNode() const
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    const int row = selectedRow();
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
    m_editor.EditsEnabled = false;
    if (QAbstractButton* type = m_typeButtons->button(node->NodeType))
        type->setChecked(true);
    EditIDEPathItemConnect->setText(intBox(node->NextNode));
    EditIDEPathItemU3->setText(intBox(node->U3));
    EditIDEPathItemU7->setText(intBox(node->U7));
    EditIDEPathItemPosX->setText(intBox(node->PosX));
    EditIDEPathItemPosY->setText(intBox(node->PosY));
    EditIDEPathItemPosZ->setText(intBox(node->PosZ));
    if (QAbstractButton* lanes = m_leftLanes->button(node->LeftLanes))
        lanes->setChecked(true);
    if (QAbstractButton* lanes = m_rightLanes->button(node->RightLanes))
        lanes->setChecked(true);
    m_editor.EditsEnabled = true;
}

template <typename Write>
void IDEPathPanel::writeNode(Write write)
{
    TGTASPathNode* node = selectedNode();
    if (!m_editor.EditsEnabled || !node)
        return;
    write(*node);
    m_editor.RefreshRecord(false, false);
    fillNodes();
}

void IDEPathPanel::writeGroupType(const char* groupType)
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->GroupType = groupType;
    m_editor.RefreshRecord(false, false);
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
    m_editor.RefreshRecord(false, false);
}

void IDEPathPanel::EditIDEPathModelChange()
{
    TGTASPathObj* group = m_editor.SelectedIDEPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->ModelName = EditIDEPathModel->text().toStdString();
    m_editor.RefreshRecord(false, false);
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
