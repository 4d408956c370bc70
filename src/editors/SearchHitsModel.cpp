#include "SearchHitsModel.h"

#include "FieldText.h"
#include "RecordSection.h"
#include "TGTAFileList.h"

#include <numeric>

SearchHitsModel::SearchHitsModel(QObject* parent)
    : RowMapModel({QStringLiteral("Kind"), QStringLiteral("File"), QStringLiteral("ID"), QStringLiteral("Model"),
                   QStringLiteral("Dictionary"), QStringLiteral("Position")},
                  parent)
{
}

void SearchHitsModel::show(std::vector<SearchHit> hits)
{
    m_hits = std::move(hits);
    std::vector<int> rows(m_hits.size());
    std::iota(rows.begin(), rows.end(), 0);
    setRows(std::move(rows));
}

const SearchHit* SearchHitsModel::hitAt(int row) const
{
    const int entry = entryAt(row);
    return entry >= 0 && entry < static_cast<int>(m_hits.size()) ? &m_hits[static_cast<size_t>(entry)] : nullptr;
}

QString SearchHitsModel::fileName(int file) const
{
    const std::string_view name = storedName(file);
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

std::string_view SearchHitsModel::storedName(int file) const
{
    const TGTASFile* found = m_files ? m_files->File(file) : nullptr;
    return found ? std::string_view(found->FileName) : std::string_view();
}

void SearchHitsModel::sortBy(int column, Qt::SortOrder order)
{
    const auto hit = [this](int entry) -> const SearchHit& { return m_hits[static_cast<size_t>(entry)]; };
    switch (column) {
    case KindColumn:
        sortRows([&](int a, int b) { return compareValues(static_cast<int>(hit(a).kind), static_cast<int>(hit(b).kind)); },
                 order);
        break;
    case FileColumn:
        // By name as shown, in any letter case; one file's hits stay in their order.
        sortRows(
            [&](int a, int b) {
                if (hit(a).file == hit(b).file)
                    return 0;
                const int byName = compareIgnoringCase(storedName(hit(a).file), storedName(hit(b).file));
                return byName ? byName : compareValues(hit(a).file, hit(b).file);
            },
            order);
        break;
    case IDColumn: sortRows([&](int a, int b) { return compareValues(hit(a).id, hit(b).id); }, order); break;
    case ModelColumn:
        sortRows([&](int a, int b) { return compareIgnoringCase(hit(a).model, hit(b).model); }, order);
        break;
    case DictionaryColumn:
        sortRows([&](int a, int b) { return compareIgnoringCase(hit(a).dictionary, hit(b).dictionary); }, order);
        break;
    case PositionColumn:
        // Hits without a position after those with one; then by x, y, z.
        sortRows(
            [&](int a, int b) {
                const SearchHit& p = hit(a);
                const SearchHit& q = hit(b);
                if (p.hasPosition != q.hasPosition)
                    return p.hasPosition ? -1 : 1;
                if (const int c = compareValues(p.x, q.x))
                    return c;
                if (const int c = compareValues(p.y, q.y))
                    return c;
                return compareValues(p.z, q.z);
            },
            order);
        break;
    default: break;
    }
}

QString SearchHitsModel::text(int entry, int, int column) const
{
    const SearchHit& hit = m_hits[static_cast<size_t>(entry)];
    switch (column) {
    case KindColumn: return QString::fromLatin1(hitKindName(hit.kind));
    case FileColumn: return fileName(hit.file);
    case IDColumn: return QString::number(hit.id);
    case ModelColumn: return QString::fromStdString(hit.model);
    case DictionaryColumn: return QString::fromStdString(hit.dictionary);
    case PositionColumn:
        if (!hit.hasPosition)
            return {};
        return shortFloatBox(hit.x) + QStringLiteral(", ") + shortFloatBox(hit.y) + QStringLiteral(", ") +
               shortFloatBox(hit.z);
    default: return {};
    }
}
