#include "NameIndex.h"

#include "TextParser.h"

namespace {

// FNV-1a over the lower-case bytes.
std::uint64_t hashIgnoringCase(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(lowerAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool equalsLowered(std::string_view lowered, std::string_view name)
{
    if (lowered.size() != name.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lowered[i] != lowerAscii(name[i]))
            return false;
    return true;
}

} // namespace

void NameIndex::build(const std::vector<std::string_view>& names)
{
    m_text.clear();
    m_starts.clear();
    m_starts.reserve(names.size() + 1);
    std::size_t total = 0;
    for (const std::string_view name : names)
        total += name.size();
    m_text.resize(total);
    std::size_t at = 0;
    for (const std::string_view name : names) {
        m_starts.push_back(static_cast<std::uint32_t>(at));
        for (const char c : name)
            m_text[at++] = lowerAscii(c);
    }
    m_starts.push_back(static_cast<std::uint32_t>(at));

    std::size_t capacity = 16;
    while (capacity < names.size() * 2)
        capacity *= 2;
    m_slots.assign(capacity, -1);
    const std::size_t mask = capacity - 1;
    for (std::size_t pos = 0; pos < names.size(); ++pos) {
        const std::string_view name = nameAt(static_cast<std::int32_t>(pos));
        std::size_t slot = hashIgnoringCase(name) & mask;
        // A name already present keeps its first position.
        while (m_slots[slot] != -1 && nameAt(m_slots[slot]) != name)
            slot = (slot + 1) & mask;
        if (m_slots[slot] == -1)
            m_slots[slot] = static_cast<std::int32_t>(pos);
    }
    m_built = true;
}

void NameIndex::clear()
{
    m_text = {};
    m_starts = {};
    m_slots = {};
    m_built = false;
}

std::string_view NameIndex::nameAt(std::int32_t position) const
{
    const auto at = static_cast<std::size_t>(position);
    return std::string_view(m_text).substr(m_starts[at], m_starts[at + 1] - m_starts[at]);
}

int NameIndex::find(std::string_view name) const
{
    if (m_slots.empty())
        return -1;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hashIgnoringCase(name) & mask; m_slots[slot] != -1; slot = (slot + 1) & mask)
        if (equalsLowered(nameAt(m_slots[slot]), name))
            return m_slots[slot];
    return -1;
}
