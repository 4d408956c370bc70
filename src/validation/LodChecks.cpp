// The checks of the "Map Consistency" section on level of detail: the games pair a LOD
// definition with its building by name and draw the LOD placement in the building's
// place from afar, so a LOD without a building, or a building whose LOD stands elsewhere
// or nowhere, shows the player a hole or a double.
#include "MapValidator.h"

#include "LodPartners.h"
#include "NumberText.h"
#include "ReportText.h"
#include "TGTAFileList.h"
#include "TIDEFile.h"
#include "TIPLFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

// How far a LOD placement may stand from its building's and still count as its own.
constexpr float LodPlacementReach = 5.0f;

struct Point {
    float x, y, z;
};

float distanceBetween(const Point& a, const Point& b)
{
    const double dx = double{a.x} - b.x, dy = double{a.y} - b.y, dz = double{a.z} - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

// The LOD placements of one pair key, sorted by x so that those near a point are found
// by a binary search.
class LodPlacements {
public:
    void add(const Point& p) { m_points.push_back(p); }
    void sort()
    {
        std::sort(m_points.begin(), m_points.end(), [](const Point& a, const Point& b) { return a.x < b.x; });
    }
    bool anyWithin(const Point& p, float reach) const
    {
        auto it = std::lower_bound(m_points.begin(), m_points.end(), p.x - reach,
                                   [](const Point& q, float x) { return q.x < x; });
        for (; it != m_points.end() && it->x <= p.x + reach; ++it)
            if (distanceBetween(*it, p) <= reach)
                return true;
        return false;
    }
    float nearest(const Point& p) const
    {
        float best = std::numeric_limits<float>::infinity();
        for (const Point& q : m_points)
            best = std::min(best, distanceBetween(q, p));
        return best;
    }

private:
    std::vector<Point> m_points;
};

} // namespace

const TGTASObjsObj* MapValidator::definitionOf(int id) const
{
    if (const Definition* objs = findObjs(id))
        return objs->record;
    if (const TimedDefinition* tobj = findTObj(id))
        return tobj->record;
    return nullptr;
}

void MapValidator::checkLodPartners()
{
    check("LOD Partners");
    const LodPartners partners(m_files);
    auto visit = [&](const std::string& file, const char* tag, const TGTASObjsObj& record, const RecordAt& at) {
        if (!isLodModelName(record.ModelName) || partners.partnerOf(record.ModelName))
            return;
        add(FindingSeverity::Warning, file, record.ID, record.ModelName,
            "Warning @ file " + file + " [" + tag + "] " + std::to_string(record.ID) + " = Model: " +
                inQuotes(record.ModelName) + " LOD Has No High-Detail Partner! ",
            at);
    };
    forEachDefinition(visit);
    finishCheck();
}

void MapValidator::checkLodPlacements()
{
    check("LOD Placements");
    const LodPartners partners(m_files);
    // Every LOD placement, by the pair key of its definition.
    // Every placement with its definition, IPL files in list order.
    auto forEachPlacement = [this](auto&& visit) {
        for (int file = 0; file < m_files.Count(); ++file)
            if (const TIPLFile* ipl = m_files.IPLFile(file))
                for (int pos = 0; pos < ipl->Inst.Count(); ++pos) {
                    const TGTASInstObj& inst = ipl->Inst.Items[static_cast<std::size_t>(pos)];
                    if (const TGTASObjsObj* definition = definitionOf(inst.ID))
                        visit(*ipl, inst, *definition, RecordAt{file, &ipl->Inst, pos});
                }
    };
    std::unordered_map<std::string, LodPlacements> lods;
    forEachPlacement([&](const TIPLFile&, const TGTASInstObj& inst, const TGTASObjsObj& definition, const RecordAt&) {
        if (isLodModelName(definition.ModelName))
            lods[lodPairKey(definition.ModelName)].add({inst.PosX, inst.PosY, inst.PosZ});
    });
    for (auto& [key, placements] : lods)
        placements.sort();

    forEachPlacement([&](const TIPLFile& ipl, const TGTASInstObj& inst, const TGTASObjsObj& definition,
                         const RecordAt& where) {
        if (!partners.hasLod(definition.ModelName))
            return;
        const Point at{inst.PosX, inst.PosY, inst.PosZ};
        const auto found = lods.find(lodPairKey(definition.ModelName));
        if (found != lods.end() && found->second.anyWithin(at, LodPlacementReach))
            return;
        const std::string problem = found == lods.end()
            ? "its LOD placement is missing"
            : "its nearest LOD placement is " + shortFloatText(found->second.nearest(at)) + " units away";
        add(FindingSeverity::Warning, ipl.FileName, inst.ID, inst.ModelName,
            "Warning @ File: " + ipl.FileName + " [INST] ID: " + std::to_string(inst.ID) + " (Model: " +
                inQuotes(inst.ModelName) + ") - " + problem,
            where);
    });
    finishCheck();
}
