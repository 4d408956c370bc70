#pragma once

#include "SparseText.h"
#include "TGTASContainer.h"

#include <cstdint>
#include <string>

// One placed item. The line form (12 columns, or 13 with the interior of Vice City)
// is decided per line and kept, so the record is written back in the form it was read.
struct TGTASInstObj {
    bool HasInterior = false;
    int32_t ID = 0;
    std::string ModelName;
    int32_t Interior = 0;
    float PosX = 0, PosY = 0, PosZ = 0;
    float ScaleX = 0, ScaleY = 0, ScaleZ = 0;
    float RotX = 0, RotY = 0, RotZ = 0, RotW = 1;
    // Definition cache of the scene drawing; -1 = unresolved.
    int32_t DefFile = -1, DefIndex = -1, DefHour = -1;
    // Columns after the record's own, as read, joined by ", "; written back after them.
    SparseText Surplus;

    bool operator==(const TGTASInstObj&) const = default;
};

// The inst section of an IPL file.
class TGTASInst : public TGTASRecords<TGTASInstObj> {
public:
    // New records of Vice City have the interior column; the file list sets the game's mode.
    bool ViceCity = true;
    // Lines typed or pasted by the user, not read from a file: a line with fewer than 12
    // columns, or a number column that is not a number, is rejected instead of read with
    // defaults.
    bool Strict = false;

    bool ReadLine(std::string_view line) override;
    int NewRecord();
    int NewRecordAt(float x, float y, float z);

protected:
    void appendRecord(std::string& out, const TGTASInstObj& record) const override;
    void copyCaches(TGTASInstObj& to, const TGTASInstObj& from) const override
    {
        to.DefFile = from.DefFile;
        to.DefIndex = from.DefIndex;
        to.DefHour = from.DefHour;
    }
};
