#include "IPLPathPanel.h"

#include "FieldText.h"
#include "TFormEditorItem.h"
#include "TGTASPathIPL.h"

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

    EditIPLPathItems = new QTreeWidget;
    EditIPLPathItems->setObjectName("EditIPLPathItems");
    EditIPLPathItems->setHeaderLabels({"Type", "Next", "Position"});
    EditIPLPathItems->setRootIsDecorated(false);
    EditIPLPathItems->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(EditIPLPathItems, 1);

    auto* nodeBox = new QGroupBox("Node");
    PanelIPLPathItem = nodeBox;
    PanelIPLPathItem->setObjectName("PanelIPLPathItem");
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
            {{&EditIPLPathItemTypeNone, "EditIPLPathItemTypeNone", "None", 0},
                {&EditIPLPathItemTypeMid, "EditIPLPathItemTypeMid", "Mid", 2},
                {&EditIPLPathItemTypeEnd, "EditIPLPathItemTypeEnd", "End", 1}}));
    node->addRow("Next node:", box(EditIPLPathItemConnect, "EditIPLPathItemConnect"));
    node->addRow("Unknown 1:", box(EditIPLPathItemU3, "EditIPLPathItemU3"));
    node->addRow("X:", box(EditIPLPathItemPosX, "EditIPLPathItemPosX"));
    node->addRow("Y:", box(EditIPLPathItemPosY, "EditIPLPathItemPosY"));
    node->addRow("Z:", box(EditIPLPathItemPosZ, "EditIPLPathItemPosZ"));
    node->addRow("Unknown 2:", box(EditIPLPathItemU7, "EditIPLPathItemU7"));
    node->addRow("Left lanes:",
        buttons(m_leftLanes,
            {{&EditIPLPathItemLL0, "EditIPLPathItemLL0", "0", 0}, {&EditIPLPathItemLL1, "EditIPLPathItemLL1", "1", 1},
                {&EditIPLPathItemLL2, "EditIPLPathItemLL2", "2", 2}}));
    node->addRow("Right lanes:",
        buttons(m_rightLanes,
            {{&EditIPLPathItemLR0, "EditIPLPathItemLR0", "0", 0}, {&EditIPLPathItemLR1, "EditIPLPathItemLR1", "1", 1},
                {&EditIPLPathItemLR2, "EditIPLPathItemLR2", "2", 2}}));
    node->addRow("Unknown 3:", box(EditIPLPathItemU10, "EditIPLPathItemU10"));
    node->addRow("Unknown 4:", box(EditIPLPathItemU11, "EditIPLPathItemU11"));
    node->addRow("Unknown 5:", box(EditIPLPathItemU12, "EditIPLPathItemU12"));
    layout->addWidget(PanelIPLPathItem);
    PanelIPLPathItem->hide();

    connect(m_pathTypes, &QButtonGroup::idClicked, this, &IPLPathPanel::boxpathtypeClick);
    connect(EditIPLPathOther, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathOtherChange);
    connect(EditIPLPathItems, &QTreeWidget::itemSelectionChanged, this, &IPLPathPanel::EditIPLPathItemsSelectItem);
    connect(m_typeButtons, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemTypeClick);
    connect(EditIPLPathItemConnect, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemConnectChange);
    connect(EditIPLPathItemU3, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU3Change);
    connect(EditIPLPathItemU7, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemU7Change);
    connect(EditIPLPathItemPosX, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosXChange);
    connect(EditIPLPathItemPosY, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosYChange);
    connect(EditIPLPathItemPosZ, &QLineEdit::textChanged, this, &IPLPathPanel::EditIPLPathItemPosZChange);
    connect(m_leftLanes, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemLeftLanesClick);
    connect(m_rightLanes, &QButtonGroup::idClicked, this, &IPLPathPanel::EditIPLPathItemRightLanesClick);
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
    const bool edits = m_editor.EditsEnabled;
    m_editor.EditsEnabled = false;
    const int row = selectedRow();
    const int scrolled = EditIPLPathItems->verticalScrollBar()->value();
    EditIPLPathItems->clear();
    if (const TGTASPathIPLObj* group = m_editor.SelectedIPLPath()) {
        QList<QTreeWidgetItem*> rows;
        for (const TGTASPathIPLNode& node : group->Nodes) {
            rows << new QTreeWidgetItem(QStringList{nodeCaption(node.NodeType), intBox(node.NextNode),
                "(" + shortFloatBox(node.PosX) + ", " + shortFloatBox(node.PosY) + ", " + shortFloatBox(node.PosZ)
                    + ")"});
        }
        EditIPLPathItems->addTopLevelItems(rows);
    }
    if (QTreeWidgetItem* item = EditIPLPathItems->topLevelItem(row)) {
        EditIPLPathItems->setCurrentItem(item);
        EditIPLPathItems->verticalScrollBar()->setValue(scrolled);
    }
    m_editor.EditsEnabled = edits;
}

int IPLPathPanel::selectedRow() const
{
    const QList<QTreeWidgetItem*> selected = EditIPLPathItems->selectedItems();
    return selected.isEmpty() ? -1 : EditIPLPathItems->indexOfTopLevelItem(selected.first());
}

TGTASPathIPLNode* IPLPathPanel::selectedNode() const
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    const int row = selectedRow();
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
    m_editor.EditsEnabled = false;
    if (QAbstractButton* type = m_typeButtons->button(node->NodeType))
        type->setChecked(true);
    EditIPLPathItemConnect->setText(intBox(node->NextNode));
    EditIPLPathItemU3->setText(intBox(node->U3));
    EditIPLPathItemU7->setText(shortFloatBox(node->U7));
    EditIPLPathItemPosX->setText(shortFloatBox(node->PosX));
    EditIPLPathItemPosY->setText(shortFloatBox(node->PosY));
    EditIPLPathItemPosZ->setText(shortFloatBox(node->PosZ));
    if (QAbstractButton* lanes = m_leftLanes->button(node->LeftLanes))
        lanes->setChecked(true);
    if (QAbstractButton* lanes = m_rightLanes->button(node->RightLanes))
        lanes->setChecked(true);
    EditIPLPathItemU10->setText(intBox(node->U10));
    EditIPLPathItemU11->setText(intBox(node->U11));
    EditIPLPathItemU12->setText(intBox(node->U12));
    m_editor.EditsEnabled = true;
}

template <typename Write>
void IPLPathPanel::writeNode(Write write)
{
    TGTASPathIPLNode* node = selectedNode();
    if (!m_editor.EditsEnabled || !node)
        return;
    write(*node);
    m_editor.RefreshRecord(false, false);
    fillNodes();
}

void IPLPathPanel::boxpathtypeClick(int index)
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->GroupType = static_cast<uint16_t>(index);
    m_editor.RefreshRecord(false, false);
}

void IPLPathPanel::EditIPLPathOtherChange()
{
    TGTASPathIPLObj* group = m_editor.SelectedIPLPath();
    if (!m_editor.EditsEnabled || !group)
        return;
    group->Other = static_cast<int16_t>(intFromBox(EditIPLPathOther->text(), 0));
    m_editor.RefreshRecord(false, false);
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
    writeNode(
        [&](TGTASPathIPLNode& node) { node.U10 = static_cast<uint16_t>(intFromBox(EditIPLPathItemU10->text(), 0)); });
}

void IPLPathPanel::EditIPLPathItemU11Change()
{
    writeNode(
        [&](TGTASPathIPLNode& node) { node.U11 = static_cast<uint16_t>(intFromBox(EditIPLPathItemU11->text(), 0)); });
}

void IPLPathPanel::EditIPLPathItemU12Change()
{
    writeNode(
        [&](TGTASPathIPLNode& node) { node.U12 = static_cast<uint16_t>(intFromBox(EditIPLPathItemU12->text(), 0)); });
}
