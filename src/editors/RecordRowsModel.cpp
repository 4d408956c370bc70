#include "RecordRowsModel.h"

#include "RecordSection.h"
#include "TGTAFileList.h"

#include <numeric>

RecordRowsModel::RecordRowsModel(FileKind kind, QObject* parent)
    : RowMapModel({QStringLiteral("Index"), QStringLiteral("Name")}, parent)
    , m_kind(kind)
{
}

TGTASFile* RecordRowsModel::file() const
{
    TGTASFile* found = m_files ? m_files->File(m_file) : nullptr;
    return found && found->Kind == m_kind ? found : nullptr;
}

int RecordRowsModel::recordCount() const
{
    const TGTASFile* shown = file();
    return shown && m_section ? m_section->count(*shown) : 0;
}

void RecordRowsModel::show(int file, const RecordSection* section)
{
    m_file = file;
    m_section = section;
    std::vector<int> rows(static_cast<size_t>(recordCount()));
    std::iota(rows.begin(), rows.end(), 0);
    setRows(std::move(rows));
}

void RecordRowsModel::sortBy(int column, Qt::SortOrder order)
{
    const TGTASFile* shown = file();
    if (!shown || !m_section || column < 0 || column > 1 || !m_section->compare[static_cast<size_t>(column)])
        return;
    const RecordSection::Compare compare = m_section->compare[static_cast<size_t>(column)];
    const int count = recordCount();
    // Rows of records deleted behind the list's back sort last, unread.
    sortRows(
        [&](int a, int b) {
            const bool validA = a < count;
            const bool validB = b < count;
            if (!validA || !validB)
                return compareValues(!validA, !validB);
            return compare(*shown, a, b);
        },
        order);
}

QString RecordRowsModel::text(int entry, int row, int column) const
{
    const TGTASFile* shown = file();
    if (!shown || !m_section || entry >= m_section->count(*shown))
        return {};
    return column == 0 ? m_section->indexText(*shown, entry, row) : m_section->nameText(*shown, entry);
}
