#include "TGTASPathIPL.h"

#include "RecordText.h"

#include <cmath>

namespace {

bool isFraction(float value)
{
    return std::isfinite(value) && value != std::trunc(value);
}

} // namespace

float TGTASPathIPL::NodeColumnValue(float value)
{
    if (isFraction(value))
        return value;
    return static_cast<float>(static_cast<uint16_t>(wholeNumber(value)));
}

bool TGTASPathIPL::ReadLine(std::string_view line)
{
    const LineColumns columns(line);
    TGTASPathIPLObj record;
    record.GroupType = static_cast<uint16_t>(columns.lenientInt(1, 0));
    record.Other = static_cast<int16_t>(columns.lenientInt(2, -1));
    record.Surplus = surplusColumns(columns, 2);
    addRecord(std::move(record));
    return true;
}

TGTASPathIPLNode TGTASPathIPL::ReadNode(std::string_view line)
{
    const LineColumns columns(line);
    TGTASPathIPLNode node;
    node.NodeType = static_cast<uint16_t>(columns.lenientInt(1, 0));
    node.NextNode = static_cast<int16_t>(columns.lenientInt(2, -1));
    node.U3 = static_cast<uint16_t>(columns.lenientInt(3, 0));
    node.PosX = columns.lenientFloat(4, 0.0f);
    node.PosY = columns.lenientFloat(5, 0.0f);
    node.PosZ = columns.lenientFloat(6, 0.0f);
    node.U7 = columns.lenientFloat(7, 0.0f);
    node.LeftLanes = static_cast<int16_t>(columns.lenientInt(8, 0));
    node.RightLanes = static_cast<int16_t>(columns.lenientInt(9, 0));
    node.U10 = NodeColumnValue(columns.lenientFloat(10, 0.0f));
    node.U11 = NodeColumnValue(columns.lenientFloat(11, 0.0f));
    node.U12 = NodeColumnValue(columns.lenientFloat(12, 0.0f));
    node.Surplus = surplusColumns(columns, 12);
    return node;
}

void TGTASPathIPL::appendRecord(std::string& out, const TGTASPathIPLObj& record) const
{
    LineWriter(out).integer(record.GroupType).integer(record.Other).surplus(record.Surplus);
    const auto column = [](LineWriter& writer, float value) {
        if (isFraction(value))
            writer.shortFloat(value);
        else
            writer.integer(static_cast<uint16_t>(wholeNumber(value)));
    };
    for (const TGTASPathIPLNode& node : record.Nodes) {
        out += "\r\n\t";
        LineWriter writer(out);
        writer.integer(node.NodeType)
            .integer(node.NextNode)
            .integer(node.U3)
            .shortFloat(node.PosX)
            .shortFloat(node.PosY)
            .shortFloat(node.PosZ)
            .shortFloat(node.U7)
            .integer(node.LeftLanes)
            .integer(node.RightLanes);
        column(writer, node.U10);
        column(writer, node.U11);
        column(writer, node.U12);
        writer.surplus(node.Surplus);
    }
}

int TGTASPathIPL::NewRecord()
{
    TGTASPathIPLObj record;
    record.Nodes.assign(NewGroupNodes, ReadNode("0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1"));
    return addNewRecord(std::move(record));
}
