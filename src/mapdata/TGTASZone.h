#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>

// A named zone of an IPL file: a box between two corners.
struct TGTASZoneObj {
    std::string Name;
    int32_t ZoneType = 0;
    float Pos1X = 0, Pos1Y = 0, Pos1Z = 0;
    float Pos2X = 0, Pos2Y = 0, Pos2Z = 0;
    int32_t U9 = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASZoneObj&) const = default;
};

class TGTASZone : public TGTASRecords<TGTASZoneObj> {
public:
    bool ReadLine(std::string_view line) override;
    // Named after the last zone: "Zone07" is followed by "Zone08".
    int NewRecord();

protected:
    void appendRecord(std::string& out, const TGTASZoneObj& record) const override;
};
