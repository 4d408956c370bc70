#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>

// A cull zone of an IPL file: three points and two numbers.
struct TGTASCullObj {
    float Pos1X = 0, Pos1Y = 0, Pos1Z = 0;
    float Pos2X = 0, Pos2Y = 0, Pos2Z = 0;
    float Pos3X = 0, Pos3Y = 0, Pos3Z = 0;
    uint16_t U10 = 0;
    uint16_t U11 = 0;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASCullObj&) const = default;
};

class TGTASCull : public TGTASRecords<TGTASCullObj> {
public:
    bool ReadLine(std::string_view line) override;
    int NewRecord();

protected:
    void appendRecord(std::string& out, const TGTASCullObj& record) const override;
};
