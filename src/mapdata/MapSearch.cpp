#include "MapSearch.h"

#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"
#include "TextParser.h"

#include <algorithm>
#include <charconv>

namespace {

// Whole-name match of a lower-case pattern with * (any run) and ? (any one character).
// Greedy with one backtrack point per star: linear in practice for short names.
bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool containsIgnoringCase(std::string_view name, std::string_view lowerPattern)
{
    if (lowerPattern.size() > name.size())
        return false;
    const std::size_t last = name.size() - lowerPattern.size();
    for (std::size_t start = 0; start <= last; ++start) {
        std::size_t i = 0;
        while (i < lowerPattern.size() && lowerAscii(name[start + i]) == lowerPattern[i])
            ++i;
        if (i == lowerPattern.size())
            return true;
    }
    return false;
}

std::string_view lastPart(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of("\\/");
    return slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
}

// What a hit shows of each kind of record.
void describe(SearchHit& hit, const TGTASObjsObj& item)
{
    hit.id = item.ID;
    hit.model = item.ModelName;
    hit.dictionary = item.TextureName;
}

void describe(SearchHit& hit, const TGTASPathObj& item)
{
    hit.id = item.ID;
    hit.model = item.ModelName;
}

void describe(SearchHit& hit, const TGTAS2dfxObj& item)
{
    hit.id = item.ID;
}

void describe(SearchHit& hit, const TGTASInstObj& item)
{
    hit.id = item.ID;
    hit.model = item.ModelName;
    hit.hasPosition = true;
    hit.x = item.PosX;
    hit.y = item.PosY;
    hit.z = item.PosZ;
}

// Searches the records of one section. `wholeFile`: the file name matched, so every record counts.
template <typename Record, typename Matches>
void searchSection(HitKind kind, const TGTASFile& file, int filePos, const TGTASRecords<Record>& container,
                   bool wholeFile, Matches&& matches, std::vector<SearchHit>& hits)
{
    const int section = file.SectionIndexOf(&container);
    for (int pos = 0; pos < container.Count(); ++pos) {
        const Record& item = container.Items[static_cast<std::size_t>(pos)];
        if (!wholeFile && !matches(item))
            continue;
        SearchHit& hit = hits.emplace_back();
        hit.kind = kind;
        hit.file = filePos;
        hit.section = section;
        hit.record = pos;
        describe(hit, item);
    }
}

} // namespace

const char* hitKindName(HitKind kind)
{
    switch (kind) {
    case HitKind::Objs:
        return "objs";
    case HitKind::TObj:
        return "tobj";
    case HitKind::Inst:
        return "inst";
    case HitKind::Effect2D:
        return "2dfx";
    case HitKind::Path:
        return "path";
    }
    return "";
}

SearchQuery::SearchQuery(std::string_view query, SearchField field) : m_field(field)
{
    const std::string_view trimmed = TrimText(query);
    m_pattern.reserve(trimmed.size());
    for (const char c : trimmed)
        m_pattern += lowerAscii(c);
    m_wildcards = m_pattern.find_first_of("*?") != std::string::npos;
    const char* end = m_pattern.data() + m_pattern.size();
    const auto [ptr, ec] = std::from_chars(m_pattern.data(), end, m_id);
    m_isInteger = !m_pattern.empty() && ec == std::errc() && ptr == end;
}

bool SearchQuery::matchesName(std::string_view name) const
{
    if (m_pattern.empty())
        return false;
    return m_wildcards ? wildcardMatch(m_pattern, name) : containsIgnoringCase(name, m_pattern);
}

bool SearchQuery::matchesFileName(std::string_view fileName) const
{
    return matchesName(lastPart(fileName));
}

std::vector<SearchHit> searchMap(const TGTAFileList& files, std::string_view text, SearchField field)
{
    std::vector<SearchHit> hits;
    const SearchQuery query(text, field);
    if (query.empty())
        return hits;
    const bool byID = query.searches(SearchField::ID);
    const bool byModel = query.searches(SearchField::Model);
    const bool byDictionary = query.searches(SearchField::Dictionary);

    const auto definitionMatches = [&](const TGTASObjsObj& item) {
        return (byID && query.matchesID(item.ID)) || (byModel && query.matchesName(item.ModelName)) ||
               (byDictionary && query.matchesName(item.TextureName));
    };
    // Path groups and placements: ID and model.
    const auto idOrModelMatches = [&](const auto& item) {
        return (byID && query.matchesID(item.ID)) || (byModel && query.matchesName(item.ModelName));
    };
    const auto effectMatches = [&](const TGTAS2dfxObj& item) { return byID && query.matchesID(item.ID); };

    for (int pos = 0; pos < files.Count(); ++pos) {
        const bool wholeFile = query.searches(SearchField::File) && query.matchesFileName(files.File(pos)->FileName);
        if (!wholeFile && field == SearchField::File)
            continue;
        if (const TIDEFile* ide = files.IDEFile(pos)) {
            searchSection(HitKind::Objs, *ide, pos, ide->Objs, wholeFile, definitionMatches, hits);
            searchSection(HitKind::TObj, *ide, pos, ide->TObj, wholeFile, definitionMatches, hits);
            searchSection(HitKind::Path, *ide, pos, ide->Path, wholeFile, idOrModelMatches, hits);
            searchSection(HitKind::Effect2D, *ide, pos, ide->Fx2d, wholeFile, effectMatches, hits);
        } else if (const TIPLFile* ipl = files.IPLFile(pos)) {
            searchSection(HitKind::Inst, *ipl, pos, ipl->Inst, wholeFile, idOrModelMatches, hits);
        }
    }
    return hits;
}

std::vector<SearchHit> placementsOfDefinition(const TGTAFileList& files, int id)
{
    std::vector<SearchHit> hits;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIPLFile* ipl = files.IPLFile(pos))
            searchSection(HitKind::Inst, *ipl, pos, ipl->Inst, false,
                          [id](const TGTASInstObj& item) { return item.ID == id; }, hits);
    }
    return hits;
}

IdUsage idUsage(const TGTAFileList& files, int tableSize)
{
    std::vector<int> ids;
    for (int pos = 0; pos < files.Count(); ++pos) {
        if (const TIDEFile* ide = files.IDEFile(pos)) {
            for (const TGTASObjsObj& item : ide->Objs.Items)
                ids.push_back(item.ID);
            for (const TGTASTObjObj& item : ide->TObj.Items)
                ids.push_back(item.ID);
        }
    }
    std::sort(ids.begin(), ids.end());

    IdUsage usage;
    int nextFree = 0; // the lowest ID not yet known to be used
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const int id = ids[i];
        const bool repeated = i > 0 && ids[i - 1] == id;
        if (repeated) {
            if (usage.usedTwice.empty() || usage.usedTwice.back() != id)
                usage.usedTwice.push_back(id);
            continue;
        }
        if (id < 0 || id >= tableSize) {
            usage.outside.push_back(id);
            continue;
        }
        if (id > nextFree)
            usage.free.push_back({nextFree, id - 1});
        nextFree = id + 1;
    }
    if (nextFree < tableSize)
        usage.free.push_back({nextFree, tableSize - 1});
    return usage;
}

int defaultHighestGameID(bool viceCity)
{
    return viceCity ? 6500 : 5500;
}

RecordLines::RecordLines(const TGTASFile& file) : m_file(file), m_lines(file.LinesOfRecordsRead()) {}

int RecordLines::line(int section, int record) const
{
    const TGTASContainer* container = m_file.SectionAt(section);
    if (!container || record < 0 || record >= container->Count())
        return 0;
    const int read = container->ReadIndex(record);
    const auto& lines = m_lines[static_cast<std::size_t>(section)];
    return read >= 0 && static_cast<std::size_t>(read) < lines.size() ? lines[static_cast<std::size_t>(read)] : 0;
}

int recordLineNumber(const TGTASFile& file, int section, int record)
{
    return RecordLines(file).line(section, record);
}
