#pragma once

#include "MapFileEditor.h"
#include "MapListView.h"

#include <QHeaderView>
#include <QTest>

#include <gtest/gtest.h>

// Reading and driving the IPL and IDE editors' lists as a user does: texts of cells, clicks
// and double clicks on rows, clicks on column headers, the choice of a file's row.

inline QString cell(const MapListView* list, int row, int column)
{
    return list->model()->index(row, column).data().toString();
}

inline QStringList column(const MapListView* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts << cell(list, row, column);
    return texts;
}

inline QPoint rowPoint(const MapListView* list, int row)
{
    return list->visualRect(list->model()->index(row, 0)).center();
}

inline void clickRow(MapListView* list, int row)
{
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
}

inline void doubleClickRow(MapListView* list, int row, Qt::KeyboardModifiers modifiers = {})
{
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, modifiers, rowPoint(list, row));
}

inline void clickHeader(MapListView* list, int column)
{
    QHeaderView* header = list->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

// Chooses the file's row in the editor's file list by a click.
inline void chooseFile(MapFileEditor& editor, int file)
{
    for (int row = 0; row < editor.ListFiles->model()->rowCount(); ++row) {
        if (cell(editor.ListFiles, row, 0) == QString::number(file)) {
            clickRow(editor.ListFiles, row);
            return;
        }
    }
    ADD_FAILURE() << "file " << file << " is not listed";
}
