#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>
#include <vector>

// One node line of an IPL path group: twelve columns, positions as floats.
struct TGTASPathIPLNode {
    uint16_t NodeType = 0;
    int16_t NextNode = -1;
    uint16_t U3 = 0;
    float PosX = 0, PosY = 0, PosZ = 0;
    float U7 = 0;
    int16_t LeftLanes = 0;
    int16_t RightLanes = 0;
    // Whole numbers in the range of a u16, or a fraction as some files have (Vice City's
    // paths.ipl holds "0.5" in column 12): see NodeColumnValue.
    float U10 = 0, U11 = 0, U12 = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASPathIPLNode&) const = default;
};

// An IPL path group: a header line ("0, -1") and its TAB-indented node lines.
struct TGTASPathIPLObj {
    uint16_t GroupType = 0;
    int16_t Other = -1;
    std::vector<TGTASPathIPLNode> Nodes;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    int NodeCount() const { return static_cast<int>(Nodes.size()); }
    bool operator==(const TGTASPathIPLObj&) const = default;
};

class TGTASPathIPL : public TGTASGroupRecords<TGTASPathIPLObj, TGTASPathIPL> {
public:
    static constexpr int NewGroupNodes = 12;

    // The line is a group header.
    bool ReadLine(std::string_view line) override;
    int NewRecord();

    static TGTASPathIPLNode ReadNode(std::string_view line);

    // What columns 10 to 12 hold for a number read or typed: a whole number keeps only its
    // low 16 bits (-1 becomes 65535), a fraction is kept as it is.
    static float NodeColumnValue(float value);

protected:
    void appendRecord(std::string& out, const TGTASPathIPLObj& record) const override;
};
