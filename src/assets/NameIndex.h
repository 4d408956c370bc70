#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Names, each carrying a position, looked up without regard to case (ASCII letters, as
// the games compare names). Among equal names the lowest position is found. An open
// addressing hash table: building it is one pass, with no sorting, which matters for
// archives of thousands of entries built again after every change.
class NameIndex {
public:
    // Position i carries names[i]. The names are copied.
    void build(const std::vector<std::string_view>& names);
    void clear();
    bool built() const { return m_built; }
    // The position carried by `name`, or -1.
    int find(std::string_view name) const;
    std::size_t size() const { return m_starts.empty() ? 0 : m_starts.size() - 1; }

private:
    std::string_view nameAt(std::int32_t position) const;

    std::string m_text;                  // every lower-case name, one after the other
    std::vector<std::uint32_t> m_starts; // where name i starts in m_text; one more at the end
    std::vector<std::int32_t> m_slots;   // positions by hash; -1 empty; size a power of two
    bool m_built = false;
};
