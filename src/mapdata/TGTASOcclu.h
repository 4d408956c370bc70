#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <string>

// An occluder of an IPL file: numbers the program reads and writes without meaning.
// Real Vice City occluders carry 7 of them; a line is written back with as many as it had.
struct TGTASOccluObj {
    float U1 = 0, U2 = 0, U3 = 0, U4 = 0, U5 = 0, U6 = 0, U7 = 0, U8 = 0, U9 = 0, U10 = 0;
    int ColumnCount = 10;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASOccluObj&) const = default;
};

class TGTASOcclu : public TGTASRecords<TGTASOccluObj> {
public:
    static constexpr int MinColumns = 7;
    static constexpr int MaxColumns = 10;

    bool ReadLine(std::string_view line) override;

protected:
    void appendRecord(std::string& out, const TGTASOccluObj& record) const override;
};
