#include "RowMapModel.h"

#include <algorithm>

RowMapModel::RowMapModel(const QStringList& headers, QObject* parent) : QAbstractTableModel(parent), m_headers(headers)
{
}

int RowMapModel::entryAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)] : -1;
}

int RowMapModel::rowOf(int entry) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), entry);
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

void RowMapModel::setRows(std::vector<int> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int RowMapModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RowMapModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

QVariant RowMapModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const int entry = entryAt(index.row());
    if (entry < 0)
        return {};
    return text(entry, index.row(), index.column());
}

QVariant RowMapModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
        return {};
    return m_headers[section];
}
