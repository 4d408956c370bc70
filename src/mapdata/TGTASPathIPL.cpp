#include "TGTASPathIPL.h"

#include "RecordText.h"

bool TGTASPathIPL::ReadLine(std::string_view line)
{
    const LineColumns columns(line);
    TGTASPathIPLObj record;
    record.GroupType = static_cast<uint16_t>(columns.lenientInt(1, 0));
    record.Other = static_cast<int16_t>(columns.lenientInt(2, -1));
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
    node.U10 = static_cast<uint16_t>(columns.lenientInt(10, 0));
    node.U11 = static_cast<uint16_t>(columns.lenientInt(11, 0));
    node.U12 = static_cast<uint16_t>(columns.lenientInt(12, 0));
    return node;
}

void TGTASPathIPL::appendRecord(std::string& out, const TGTASPathIPLObj& record) const
{
    LineWriter(out).integer(record.GroupType).integer(record.Other);
    for (const TGTASPathIPLNode& node : record.Nodes) {
        out += "\r\n\t";
        LineWriter(out)
            .integer(node.NodeType)
            .integer(node.NextNode)
            .integer(node.U3)
            .shortFloat(node.PosX)
            .shortFloat(node.PosY)
            .shortFloat(node.PosZ)
            .shortFloat(node.U7)
            .integer(node.LeftLanes)
            .integer(node.RightLanes)
            .integer(node.U10)
            .integer(node.U11)
            .integer(node.U12);
    }
}

int TGTASPathIPL::NewRecord()
{
    TGTASPathIPLObj record;
    record.Nodes.assign(NewGroupNodes, ReadNode("0, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1"));
    return addNewRecord(std::move(record));
}
