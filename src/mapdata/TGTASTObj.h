#pragma once

#include "TGTASDefinitions.h"

// A timed object: exists only between the game hours TimeOn and TimeOff.
struct TGTASTObjObj : TGTASObjsObj {
    int32_t TimeOn = 0;
    int32_t TimeOff = 0;

    bool operator==(const TGTASTObjObj&) const = default;
};

// The tobj section of an IDE file: timed object definitions.
class TGTASTObj : public TGTASDefinitions<TGTASTObjObj> {
public:
    bool ReadLine(std::string_view line) override;
    int NewRecord();

protected:
    void appendRecord(std::string& out, const TGTASTObjObj& record) const override;
};
