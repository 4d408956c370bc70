#include "NameIndex.h"

#include <algorithm>

namespace {

// Names are kept in lower case (ASCII letters only, as the games compare them), so that
// sorting and searching compare plain bytes.
void lowerInPlace(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

std::string lowered(std::string_view name)
{
    std::string text(name);
    lowerInPlace(text);
    return text;
}

} // namespace

void NameIndex::build(std::vector<std::string> names)
{
    for (std::string& name : names)
        lowerInPlace(name);
    // Sorting positions moves four bytes instead of a string; equal names keep their
    // order, so the first position is found.
    std::vector<int> order(names.size());
    for (std::size_t pos = 0; pos < order.size(); ++pos)
        order[pos] = static_cast<int>(pos);
    std::sort(order.begin(), order.end(), [&names](int a, int b) {
        const int compared = names[static_cast<std::size_t>(a)].compare(names[static_cast<std::size_t>(b)]);
        return compared < 0 || (compared == 0 && a < b);
    });
    m_items.clear();
    m_items.reserve(order.size());
    for (const int pos : order)
        m_items.emplace_back(std::move(names[static_cast<std::size_t>(pos)]), pos);
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
    const std::string key = lowered(name);
    const auto found = std::lower_bound(m_items.begin(), m_items.end(), key,
                                        [](const auto& item, const std::string& k) { return item.first < k; });
    if (found == m_items.end() || found->first != key)
        return -1;
    return found->second;
}
