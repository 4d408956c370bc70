#include "NameIndex.h"

#include "TextParser.h"

#include <algorithm>

void NameIndex::build(std::vector<std::string> names)
{
    m_items.clear();
    m_items.reserve(names.size());
    for (std::size_t pos = 0; pos < names.size(); ++pos)
        m_items.emplace_back(std::move(names[pos]), static_cast<int>(pos));
    // Stable, so that among equal names the first position is found.
    std::stable_sort(m_items.begin(), m_items.end(),
                     [](const auto& a, const auto& b) { return lessIgnoringCase(a.first, b.first); });
    m_built = true;
}

void NameIndex::clear()
{
    m_items.clear();
    m_items.shrink_to_fit();
    m_built = false;
}

int NameIndex::find(std::string_view name) const
{
    const auto found = std::lower_bound(m_items.begin(), m_items.end(), name,
                                        [](const auto& item, std::string_view key) {
                                            return lessIgnoringCase(item.first, key);
                                        });
    if (found == m_items.end() || !equalsIgnoringCase(found->first, name))
        return -1;
    return found->second;
}
