#pragma once

#include <QTreeView>

// A list view of files or records over a row map model: whole rows, one at a time, rows
// of one height so that a list of thousands of rows lays out at once. A double click on a
// row or Enter opens it; Shift held asks to add it to what is open.
class MapListView : public QTreeView {
    Q_OBJECT
public:
    explicit MapListView(QWidget* parent = nullptr);

    // The selected row, -1 for none.
    int selectedRow() const;
    // Selects the row, makes it current and scrolls to it; -1 clears the selection.
    void selectRow(int row);

signals:
    void rowOpened(int row, bool add);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
