#include "PathNodeControls.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>

#include <tuple>

namespace {

// A row of grouped speed buttons, each standing for a value; the first starts down.
QHBoxLayout* buttonRow(QWidget* page, QButtonGroup*& group, const QString& kind,
                       std::initializer_list<std::tuple<QToolButton**, const char*, const char*, int>> buttons)
{
    group = new QButtonGroup(page);
    group->setExclusive(true);
    auto* row = new QHBoxLayout;
    for (auto [button, name, caption, value] : buttons) {
        *button = new QToolButton;
        (*button)->setObjectName("Edit" + kind + "PathItem" + name);
        (*button)->setText(caption);
        (*button)->setCheckable(true);
        group->addButton(*button, value);
        row->addWidget(*button);
    }
    group->buttons().first()->setChecked(true);
    row->addStretch(1);
    return row;
}

}

PathNodeControls buildPathNodeControls(QWidget* page, const QString& kind)
{
    PathNodeControls c;
    c.list = new QTreeWidget;
    c.list->setObjectName("Edit" + kind + "PathItems");
    c.list->setHeaderLabels({"Type", "Next", "Position"});
    c.list->setRootIsDecorated(false);
    c.list->setSelectionMode(QAbstractItemView::SingleSelection);

    c.panel = new QGroupBox("Node");
    c.panel->setObjectName("Panel" + kind + "PathItem");
    c.form = new QFormLayout(c.panel);
    auto box = [&](QLineEdit*& edit, const char* name) {
        edit = new QLineEdit;
        edit->setObjectName("Edit" + kind + "PathItem" + name);
        return edit;
    };
    c.form->addRow("Type:", buttonRow(page, c.types, kind,
                                      {{&c.typeNone, "TypeNone", "None", 0},
                                       {&c.typeMid, "TypeMid", "Mid", 2},
                                       {&c.typeEnd, "TypeEnd", "End", 1}}));
    c.form->addRow("Next node:", box(c.connect, "Connect"));
    c.form->addRow("Unknown 1:", box(c.u3, "U3"));
    c.form->addRow("X:", box(c.posX, "PosX"));
    c.form->addRow("Y:", box(c.posY, "PosY"));
    c.form->addRow("Z:", box(c.posZ, "PosZ"));
    c.form->addRow("Unknown 2:", box(c.u7, "U7"));
    c.form->addRow("Left lanes:", buttonRow(page, c.leftLanes, kind,
                                            {{&c.leftLaneButtons[0], "LL0", "0", 0},
                                             {&c.leftLaneButtons[1], "LL1", "1", 1},
                                             {&c.leftLaneButtons[2], "LL2", "2", 2}}));
    c.form->addRow("Right lanes:", buttonRow(page, c.rightLanes, kind,
                                             {{&c.rightLaneButtons[0], "LR0", "0", 0},
                                              {&c.rightLaneButtons[1], "LR1", "1", 1},
                                              {&c.rightLaneButtons[2], "LR2", "2", 2}}));
    c.panel->hide();
    return c;
}

QString nodeCaption(int nodeType)
{
    switch (nodeType) {
    case 0: return "-";
    case 1: return "End";
    case 2: return "Mid";
    default: return {};
    }
}

int selectedNodeRow(const QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->indexOfTopLevelItem(selected.first());
}

void refillNodeRows(QTreeWidget* list, const QList<QStringList>& rows)
{
    const int row = selectedNodeRow(list);
    const int scrolled = list->verticalScrollBar()->value();
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const QStringList& texts : rows)
        items << new QTreeWidgetItem(texts);
    list->addTopLevelItems(items);
    if (QTreeWidgetItem* item = list->topLevelItem(row)) {
        list->setCurrentItem(item);
        list->verticalScrollBar()->setValue(scrolled);
    }
}

void showNodeButtons(const PathNodeControls& controls, int nodeType, int leftLanes, int rightLanes)
{
    if (QAbstractButton* type = controls.types->button(nodeType))
        type->setChecked(true);
    if (QAbstractButton* lanes = controls.leftLanes->button(leftLanes))
        lanes->setChecked(true);
    if (QAbstractButton* lanes = controls.rightLanes->button(rightLanes))
        lanes->setChecked(true);
}
