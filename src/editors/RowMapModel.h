#pragma once

#include "SortCycle.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// A list of two columns whose rows map to entries of the data (file or record indexes).
// It holds only the map: each text is produced when the view asks for it, so a section
// of 30,000 records costs one vector of 30,000 numbers.
class RowMapModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RowMapModel(const QStringList& headers, QObject* parent);

    const std::vector<int>& rows() const { return m_rows; }
    // The entry shown at `row`, -1 outside the list.
    int entryAt(int row) const;
    // The row that shows `entry`, -1 when none does.
    int rowOf(int entry) const;
    void setRows(std::vector<int> rows);
    // Reorders the rows by `compare` of their entries, keeping equal keys in their order.
    template <typename Compare>
    void sortRows(Compare&& compare, Qt::SortOrder order)
    {
        beginResetModel();
        sortRowMap(m_rows, compare, order);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // The text of a column for the entry at `row`.
    virtual QString text(int entry, int row, int column) const = 0;

private:
    QStringList m_headers;
    std::vector<int> m_rows;
};
