#pragma once

#include <cstdint>
#include <vector>

class TGTAFileList;

// What the "As In Game" choice needs of every object definition, worked out once per change
// of the definitions rather than every frame: the definition's draw distance and, for a
// LOD with a high-detail partner, the partner's draw distance, inside which the LOD gives
// way to the building.
class InGameDistances {
public:
    struct Reach {
        float draw = 0;  // the first draw distance
        float swap = -1; // the partner's draw distance; below 0 when there is no partner
    };

    // Builds the table again when the definitions (IDs, names, draw distances, files) differ
    // from those it was built from; true when it did.
    bool refresh(const TGTAFileList& files);

    // The reach of an objs (timed false) or tobj definition, by its IDE file's position in
    // the list and its own; null for one the table does not know.
    const Reach* reachOf(int ideFile, bool timed, int index) const;

    // The games' rule: drawn within its draw distance × scale, and a LOD only beyond its
    // partner's draw distance × scale.
    static bool drawn(const Reach& reach, float distanceSquared, float scale);

private:
    static std::uint64_t fingerprint(const TGTAFileList& files);

    bool m_built = false;
    std::uint64_t m_fingerprint = 0;
    std::vector<std::vector<Reach>> m_objs; // by file position, then record position
    std::vector<std::vector<Reach>> m_tobj;
};
