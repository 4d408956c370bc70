#include "TGTASPath.h"

#include "RecordText.h"

bool TGTASPath::ReadLine(std::string_view line)
{
    LineColumns columns(line);
    TGTASPathObj record;
    record.GroupType = columns.text(1);
    record.ID = static_cast<uint16_t>(columns.lenientInt(2, -1));
    record.ModelName = columns.text(3);
    record.Surplus = surplusColumns(columns, 3);
    addRecord(std::move(record));
    return true;
}

TGTASPathNode TGTASPath::ReadNode(std::string_view line)
{
    const LineColumns columns(line);
    TGTASPathNode node;
    node.NodeType = static_cast<uint16_t>(columns.lenientInt(1, 0));
    node.NextNode = static_cast<int16_t>(columns.lenientInt(2, -1));
    node.U3 = static_cast<uint16_t>(columns.lenientInt(3, 0));
    node.PosX = columns.lenientInt(4, 0);
    node.PosY = columns.lenientInt(5, 0);
    node.PosZ = columns.lenientInt(6, 0);
    node.U7 = static_cast<uint16_t>(columns.lenientInt(7, 0));
    node.LeftLanes = static_cast<int16_t>(columns.lenientInt(8, 0));
    node.RightLanes = static_cast<int16_t>(columns.lenientInt(9, 0));
    node.Surplus = surplusColumns(columns, 9);
    return node;
}

void TGTASPath::appendRecord(std::string& out, const TGTASPathObj& record) const
{
    LineWriter(out).text(record.GroupType).integer(record.ID).text(record.ModelName).surplus(record.Surplus);
    for (const TGTASPathNode& node : record.Nodes) {
        out += "\r\n\t";
        LineWriter(out)
            .integer(node.NodeType)
            .integer(node.NextNode)
            .integer(node.U3)
            .integer(node.PosX)
            .integer(node.PosY)
            .integer(node.PosZ)
            .integer(node.U7)
            .integer(node.LeftLanes)
            .integer(node.RightLanes)
            .surplus(node.Surplus);
    }
}

int TGTASPath::NewRecord()
{
    TGTASPathObj record;
    record.GroupType = "ped";
    record.Nodes.assign(NewGroupNodes, ReadNode("0, -1, 0, 0, 0, 0, 0, 0, 0"));
    return addNewRecord(std::move(record));
}
