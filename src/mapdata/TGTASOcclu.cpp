#include "TGTASOcclu.h"

#include "RecordText.h"

#include <algorithm>

namespace {

constexpr float TGTASOccluObj::*Values[] = {
    &TGTASOccluObj::U1, &TGTASOccluObj::U2, &TGTASOccluObj::U3, &TGTASOccluObj::U4, &TGTASOccluObj::U5,
    &TGTASOccluObj::U6, &TGTASOccluObj::U7, &TGTASOccluObj::U8, &TGTASOccluObj::U9, &TGTASOccluObj::U10,
};

} // namespace

bool TGTASOcclu::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    if (columns.count() < MinColumns)
        return false;
    TGTASOccluObj record;
    record.ColumnCount = std::min(columns.count(), MaxColumns);
    for (int column = 1; column <= record.ColumnCount; ++column)
        record.*Values[column - 1] = columns.strictFloat(column);
    if (columns.rejected())
        return false;
    record.Surplus = surplusColumns(columns, record.ColumnCount);
    addRecord(std::move(record));
    return true;
}

void TGTASOcclu::appendRecord(std::string& out, const TGTASOccluObj& record) const
{
    LineWriter writer(out);
    const int count = std::clamp(record.ColumnCount, MinColumns, MaxColumns);
    for (int column = 1; column <= count; ++column)
        writer.shortFloat(record.*Values[column - 1]);
    writer.surplus(record.Surplus);
}
