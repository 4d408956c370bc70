#pragma once

#include "TGTASDefinitions.h"

// The objs section of an IDE file: object definitions.
class TGTASObjs : public TGTASDefinitions<TGTASObjsObj> {
public:
    bool ReadLine(std::string_view line) override;
    int NewRecord();

protected:
    void appendRecord(std::string& out, const TGTASObjsObj& record) const override;
};
