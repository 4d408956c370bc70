#pragma once

#include "TGTASCull.h"
#include "TGTASFile.h"
#include "TGTASInst.h"
#include "TGTASOcclu.h"
#include "TGTASPathIPL.h"
#include "TGTASZone.h"

// An IPL file: placed items, cull zones, zones, occluders and path groups.
class TIPLFile : public TGTASFile {
public:
    TGTASInst Inst;
    TGTASCull Cull;
    TGTASZone Zone;
    TGTASOcclu Occl;
    TGTASPathIPL Path;

    TIPLFile();

protected:
    std::unique_ptr<TGTASFile> makeEmpty() const override { return std::make_unique<TIPLFile>(); }
};
