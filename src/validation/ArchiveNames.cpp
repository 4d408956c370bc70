#include "ArchiveNames.h"

#include "TGTA3Archive.h"
#include "TextParser.h"

#include <algorithm>

namespace {

std::string folded(std::string_view name)
{
    std::string result(name);
    for (char& c : result)
        c = lowerAscii(c);
    return result;
}

} // namespace

ArchiveNames::ArchiveNames(const TGTA3Archive* archive)
{
    const int count = archive ? archive->EntryCount() : 0;
    m_names.reserve(static_cast<std::size_t>(count) + 1);
    m_names.push_back({"generic.txd", "generic.txd"});
    for (int index = 0; index < count; ++index) {
        const std::string name = archive->GetEntry(index).TrimmedName();
        m_names.push_back({folded(name), name});
    }
    std::stable_sort(m_names.begin(), m_names.end(),
                     [](const Name& a, const Name& b) { return a.folded < b.folded; });
}

bool ArchiveNames::contains(std::string_view name) const
{
    const std::string key = folded(name);
    auto at = std::lower_bound(m_names.begin(), m_names.end(), key,
                               [](const Name& entry, const std::string& wanted) { return entry.folded < wanted; });
    return at != m_names.end() && at->folded == key;
}
