#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>
#include <vector>

// One node line of an IDE path group: nine integer columns.
struct TGTASPathNode {
    uint16_t NodeType = 0;
    int16_t NextNode = -1;
    uint16_t U3 = 0;
    int32_t PosX = 0, PosY = 0, PosZ = 0;
    uint16_t U7 = 0;
    int16_t LeftLanes = 0;
    int16_t RightLanes = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASPathNode&) const = default;
};

// An IDE path group: a header line ("car, 105, road01") and its TAB-indented node lines.
struct TGTASPathObj {
    std::string GroupType; // "ped" or "car"
    uint16_t ID = 0;
    std::string ModelName;
    std::vector<TGTASPathNode> Nodes;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    int NodeCount() const { return static_cast<int>(Nodes.size()); }
    bool operator==(const TGTASPathObj&) const = default;
};

class TGTASPath : public TGTASGroupRecords<TGTASPathObj, TGTASPath> {
public:
    static constexpr int NewGroupNodes = 12;

    // The line is a group header.
    bool ReadLine(std::string_view line) override;
    int NewRecord();

    static TGTASPathNode ReadNode(std::string_view line);

protected:
    void appendRecord(std::string& out, const TGTASPathObj& record) const override;
};
