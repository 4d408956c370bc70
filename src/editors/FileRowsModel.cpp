#include "FileRowsModel.h"

#include "RecordSection.h"
#include "TGTAFileList.h"

#include <string_view>
#include <unordered_map>

namespace {

std::string_view withoutFolder(std::string_view name)
{
    const size_t separator = name.find_last_of("\\/");
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

}

FileRowsModel::FileRowsModel(FileKind kind, QObject* parent)
    : RowMapModel({QStringLiteral("Index"), QStringLiteral("Filename")}, parent)
    , m_kind(kind)
{
}

const TGTASFile* FileRowsModel::file(int entry) const
{
    const TGTASFile* found = m_files ? m_files->File(entry) : nullptr;
    return found && found->Kind == m_kind ? found : nullptr;
}

void FileRowsModel::rebuild()
{
    std::vector<int> rows;
    for (int pos = 0; m_files && pos < m_files->Count(); ++pos) {
        if (file(pos))
            rows.push_back(pos);
    }
    setRows(std::move(rows));
    rememberFiles();
}

void FileRowsModel::rememberFiles()
{
    m_shown.clear();
    for (int entry : rows())
        m_shown.push_back(file(entry));
}

void FileRowsModel::dropFile(int dropped)
{
    std::vector<int> rows;
    for (int entry : this->rows()) {
        if (entry != dropped)
            rows.push_back(entry);
    }
    setRows(std::move(rows));
    rememberFiles();
}

void FileRowsModel::followFiles()
{
    std::unordered_map<const TGTASFile*, int> positions;
    for (int pos = 0; m_files && pos < m_files->Count(); ++pos)
        positions.emplace(m_files->File(pos), pos);
    std::vector<int> rows;
    for (const TGTASFile* shown : m_shown) {
        const auto found = positions.find(shown);
        if (found != positions.end())
            rows.push_back(found->second);
    }
    setRows(std::move(rows));
    rememberFiles();
}

void FileRowsModel::sortBy(int column, Qt::SortOrder order)
{
    if (column == 0) {
        sortRows([](int a, int b) { return compareValues(a, b); }, order);
        rememberFiles();
        return;
    }
    sortRows(
        [this](int a, int b) {
            const TGTASFile* first = file(a);
            const TGTASFile* second = file(b);
            return compareIgnoringCase(first ? withoutFolder(first->FileName) : std::string_view(),
                                       second ? withoutFolder(second->FileName) : std::string_view());
        },
        order);
    rememberFiles();
}

QString FileRowsModel::text(int entry, int, int column) const
{
    const TGTASFile* shown = file(entry);
    if (!shown)
        return {};
    if (column == 0)
        return QString::number(entry);
    QString name = QString::fromStdString(shown->FileName);
    if (shown->Modified)
        name += QStringLiteral(" *");
    return name;
}
