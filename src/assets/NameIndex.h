#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A sorted list of names, each carrying a position, searched by binary search without
// regard to case. Among equal names the lowest position is found.
class NameIndex {
public:
    // Position i carries names[i].
    void build(std::vector<std::string> names);
    void clear();
    bool built() const { return m_built; }
    // The position carried by `name`, or -1.
    int find(std::string_view name) const;
    std::size_t size() const { return m_items.size(); }

private:
    std::vector<std::pair<std::string, int>> m_items; // (lower-case name, position), sorted
    bool m_built = false;
};
