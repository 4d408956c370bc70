#pragma once

#include <string>
#include <string_view>
#include <vector>

class TGTA3Archive;

// The names a definition may use: "generic.txd" (the loose dictionary every game has)
// plus the trimmed name of every entry of the main archive, sorted without regard to case
// so that lookups are binary searches and equal names are neighbours.
class ArchiveNames {
public:
    struct Name {
        std::string folded;   // lower case, the sort key
        std::string original; // as the archive spells it
    };

    explicit ArchiveNames(const TGTA3Archive* archive);

    const std::vector<Name>& sorted() const { return m_names; }
    bool contains(std::string_view name) const;

private:
    std::vector<Name> m_names;
};
