#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TGTAFileList;
struct TGTASInstObj;
struct TGTASObjsObj;

// Whether a timed object is there at `hour`: between TimeOn and TimeOff, across midnight
// when TimeOff is the smaller; equal times are never on.
bool timedObjectOn(int timeOn, int timeOff, int hour);

// The IDE file an IPL file prefers for its definitions: the same name with the extension
// after its last dot replaced by "IDE" (".IDE" added when the name has none).
std::string preferredIDEName(std::string_view iplFileName);

// Every IDE file's IDs sorted (stable, so equal IDs keep file order), built when a lookup
// first needs a file and dropped by `reset` at the start of each frame: records change only
// between frames, and a frame's misses (timed objects off at this hour, undefined IDs) would
// otherwise scan every definition of every file for every item.
class FrameIDIndex {
public:
    using Entries = std::vector<std::pair<int, int>>; // (ID, position)

    void reset();
    const Entries& objs(const TGTAFileList& files, int file) { return entries(files, file).objs; }
    const Entries& timed(const TGTAFileList& files, int file) { return entries(files, file).timed; }

private:
    struct FileEntries {
        bool built = false;
        Entries objs;
        Entries timed;
    };
    FileEntries& entries(const TGTAFileList& files, int file);

    std::vector<FileEntries> m_files;
};

// Finds the definitions of one IPL file's placed items in models mode, through the cache
// each inst record keeps (DefFile, DefIndex, DefHour). Searches the preferred IDE file
// first, then every other IDE file in list order.
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
    const std::vector<int>& searchOrder();

    const TGTAFileList& m_files;
    int m_iplFile;
    FrameIDIndex* m_index;
    bool m_orderBuilt = false;
    std::vector<int> m_order; // IDE files: the preferred ones, then the rest, each in list order
};
