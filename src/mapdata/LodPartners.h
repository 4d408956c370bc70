#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

class TGTAFileList;

// The games pair a low-detail (LOD) model with its high-detail building by name: a LOD
// name starts with "LOD" in any case, and the two names are equal from the fourth
// character on, without regard to case ("gtw_cs_gird" and "LOD_cs_gird").
bool isLodModelName(std::string_view name);

// What two partners share: the name from the fourth character on, in lower case; empty
// for a name of three characters or fewer, which pairs with nothing.
std::string lodPairKey(std::string_view name);

// The high-detail partner of every LOD definition of the loaded IDE files: for each pair
// key, the first high-detail objs or tobj definition that has it, in file-list order (objs
// before tobj within a file), and whether some LOD definition has that key.
class LodPartners {
public:
    struct Partner {
        std::string modelName;
        float drawDistance = 0; // the first of the definition's draw distances
    };

    explicit LodPartners(const TGTAFileList& files);

    // The high-detail partner of a LOD model name; null when it has none (or is no LOD).
    const Partner* partnerOf(std::string_view lodName) const;

    // Whether a high-detail model name has a LOD definition of its pair key.
    bool hasLod(std::string_view highDetailName) const;

private:
    std::unordered_map<std::string, Partner> m_partners; // by pair key
    std::unordered_set<std::string> m_lodKeys;        // pair keys of LOD definitions
};
