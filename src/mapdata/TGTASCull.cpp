#include "TGTASCull.h"

#include "RecordText.h"

namespace {

constexpr float TGTASCullObj::*Positions[] = {
    &TGTASCullObj::Pos1X, &TGTASCullObj::Pos1Y, &TGTASCullObj::Pos1Z, &TGTASCullObj::Pos2X, &TGTASCullObj::Pos2Y,
    &TGTASCullObj::Pos2Z, &TGTASCullObj::Pos3X, &TGTASCullObj::Pos3Y, &TGTASCullObj::Pos3Z,
};

} // namespace

bool TGTASCull::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTASCullObj record;
    int column = 1;
    for (auto field : Positions)
        record.*field = columns.strictFloat(column++);
    record.U10 = static_cast<uint16_t>(columns.strictInt(10));
    record.U11 = static_cast<uint16_t>(columns.strictInt(11));
    if (columns.rejected())
        return false;
    record.Surplus = surplusColumns(columns, 11);
    addRecord(std::move(record));
    return true;
}

void TGTASCull::appendRecord(std::string& out, const TGTASCullObj& record) const
{
    LineWriter writer(out);
    for (auto field : Positions)
        writer.shortFloat(record.*field);
    writer.integer(record.U10).integer(record.U11).surplus(record.Surplus);
}

int TGTASCull::NewRecord()
{
    TGTASCullObj record;
    record.U10 = 40;
    return addNewRecord(record);
}
