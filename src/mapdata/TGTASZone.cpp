#include "TGTASZone.h"

#include "RecordText.h"

#include <cstdio>

namespace {

constexpr float TGTASZoneObj::*Corners[] = {
    &TGTASZoneObj::Pos1X, &TGTASZoneObj::Pos1Y, &TGTASZoneObj::Pos1Z,
    &TGTASZoneObj::Pos2X, &TGTASZoneObj::Pos2Y, &TGTASZoneObj::Pos2Z,
};

// The number after "Zone": characters 5 and 6 of the name, -1 when they are no number.
int zoneNumber(const std::string& name)
{
    const std::string_view digits = name.size() > 4 ? std::string_view(name).substr(4, 2) : std::string_view();
    return lenientInt(digits, -1);
}

} // namespace

bool TGTASZone::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTASZoneObj record;
    record.Name = columns.text(1);
    record.ZoneType = columns.strictInt(2);
    int column = 3;
    for (auto field : Corners)
        record.*field = columns.strictFloat(column++);
    record.U9 = columns.strictInt(9);
    if (columns.rejected())
        return false;
    record.Surplus = surplusColumns(columns, 9);
    addRecord(std::move(record));
    return true;
}

void TGTASZone::appendRecord(std::string& out, const TGTASZoneObj& record) const
{
    LineWriter writer(out);
    writer.text(record.Name).integer(record.ZoneType);
    for (auto field : Corners)
        writer.shortFloat(record.*field);
    writer.integer(record.U9).surplus(record.Surplus);
}

int TGTASZone::NewRecord()
{
    TGTASZoneObj record;
    if (Items.empty()) {
        record.Name = "Zone01";
    } else {
        char name[32];
        std::snprintf(name, sizeof name, "Zone%.2d", zoneNumber(Items.back().Name) + 1);
        record.Name = name;
    }
    record.ZoneType = 3;
    record.U9 = 1;
    return addNewRecord(std::move(record));
}
