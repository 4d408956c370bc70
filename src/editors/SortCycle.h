#pragma once

#include <Qt>

#include <algorithm>
#include <vector>

// The sort of a list by clicks on its column headers: a click sorts by that column
// ascending; a second click on the same column sorts descending and forgets the column,
// so that a third click sorts ascending again.
class SortCycle {
public:
    Qt::SortOrder click(int column)
    {
        if (column == m_column) {
            m_column = -1;
            return Qt::DescendingOrder;
        }
        m_column = column;
        return Qt::AscendingOrder;
    }
    void forget() { m_column = -1; }
    int column() const { return m_column; }

private:
    int m_column = -1;
};

// Reorders a row map by `compare` of the entries (negative, zero, positive); rows with
// equal keys keep their order.
template <typename Compare>
void sortRowMap(std::vector<int>& rows, Compare&& compare, Qt::SortOrder order)
{
    if (order == Qt::AscendingOrder)
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return compare(a, b) < 0; });
    else
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) { return compare(b, a) < 0; });
}
