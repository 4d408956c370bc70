#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QFormLayout;
class QGroupBox;
class QLineEdit;
class QToolButton;
class QTreeWidget;
class QWidget;

// The controls both path group pages share: the list of a group's nodes and the panel of the
// selected node, with its grouped type and lane buttons (exactly one of each group is down)
// and its boxes. Each page builds them under its own names and writes its own node kind.
struct PathNodeControls {
    QTreeWidget* list = nullptr;
    QGroupBox* panel = nullptr;
    QFormLayout* form = nullptr; // the node panel's rows, for a page's own extra boxes
    QButtonGroup* types = nullptr;
    QButtonGroup* leftLanes = nullptr;
    QButtonGroup* rightLanes = nullptr;
    QToolButton* typeNone = nullptr;
    QToolButton* typeMid = nullptr;
    QToolButton* typeEnd = nullptr;
    QLineEdit* connect = nullptr;
    QLineEdit* u3 = nullptr;
    QLineEdit* posX = nullptr;
    QLineEdit* posY = nullptr;
    QLineEdit* posZ = nullptr;
    QLineEdit* u7 = nullptr;
    QToolButton* leftLaneButtons[3] = {};
    QToolButton* rightLaneButtons[3] = {};
};

// `kind` is "IDE" or "IPL": the controls are named "Edit<kind>PathItems", "Panel<kind>PathItem",
// "Edit<kind>PathItemTypeNone" and so on. The panel starts hidden.
PathNodeControls buildPathNodeControls(QWidget* page, const QString& kind);

// A node's caption in the list: "-", "End" or "Mid"; none for other node types.
QString nodeCaption(int nodeType);

// The selected row of the node list, -1 when none.
int selectedNodeRow(const QTreeWidget* list);

// Replaces the list's rows (caption, next node, position), keeping the selected row and the
// scroll position, so several fields of one node can be edited in turn.
void refillNodeRows(QTreeWidget* list, const QList<QStringList>& rows);

// Puts down the type and lane buttons of a node; a value without a button leaves its group.
void showNodeButtons(const PathNodeControls& controls, int nodeType, int leftLanes, int rightLanes);
