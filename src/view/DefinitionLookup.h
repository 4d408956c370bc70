#pragma once

#include "DefinitionSearch.h"

class TGTAFileList;
struct TGTASInstObj;
struct TGTASObjsObj;

// The scene keeps one sorted ID index per frame: records change only between frames.
using FrameIDIndex = DefinitionIDIndex;

// Finds the definitions of one IPL file's placed items in models mode, through the cache
// each inst record keeps (DefFile, DefIndex, DefHour); a miss goes to the definition search.
class DefinitionLookup {
public:
    // `index`: sorted IDs of this frame; null searches the records in order.
    DefinitionLookup(const TGTAFileList& files, int iplFile, FrameIDIndex* index = nullptr);

    // A record resolved to a timed object at another hour must look again.
    static void forgetOtherHour(TGTASInstObj& record, int hour);

    // The record's definition (objs or tobj), from the cache while it holds, else looked up
    // and cached; null when no IDE file defines the ID at this hour.
    TGTASObjsObj* resolve(TGTASInstObj& record, int hour);

private:
    TGTASObjsObj* cached(const TGTASInstObj& record) const;
    TGTASObjsObj* lookUp(TGTASInstObj& record, int hour);

    const TGTAFileList& m_files;
    DefinitionSearch m_search;
};
