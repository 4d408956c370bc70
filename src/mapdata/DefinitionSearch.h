#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TGTAFileList;
struct TGTASObjsObj;

// Whether a timed object is there at `hour`: between TimeOn and TimeOff, across midnight
// when TimeOff is the smaller; equal times are never on.
bool timedObjectOn(int timeOn, int timeOff, int hour);

// The IDE file an IPL file prefers for its definitions: the same name with the extension
// after its last dot replaced by "IDE" (".IDE" added when the name has none). Only a dot
// after the last folder separator ('\', '/' or a drive's ':') starts an extension.
std::string preferredIDEName(std::string_view iplFileName);

// Every IDE file's IDs sorted (stable, so equal IDs keep file order), built when a search
// first needs a file and dropped by `reset`: callers that search many times between edits
// (a frame of the scene) keep one, so that misses do not scan every record every time.
class DefinitionIDIndex {
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

// Where a definition was found: IDE file position, section and record position.
struct DefinitionFound {
    int file = -1;
    int index = -1;
    bool timed = false;
    TGTASObjsObj* record = nullptr;

    explicit operator bool() const { return record != nullptr; }
};

// The one search for a placed item's definition: the IDE files named like the item's IPL
// file first, then every other IDE file in list order; within a file, objs before tobj.
class DefinitionSearch {
public:
    static constexpr int AnyHour = -1;

    // `index`: sorted IDs kept by the caller; null searches through each file's own ID
    // index when it has one, else its records in order.
    DefinitionSearch(const TGTAFileList& files, std::string_view iplFileName, DefinitionIDIndex* index = nullptr);

    // The definition of `id`; a timed object counts only when it is there at `hour`.
    DefinitionFound find(int id, int hour = AnyHour);
    // The same, searching only the IDE files named like the IPL file.
    DefinitionFound findPreferred(int id, int hour = AnyHour);

private:
    void buildOrder();
    DefinitionFound findInFile(int file, int id, int hour);

    const TGTAFileList& m_files;
    std::string m_iplFileName;
    DefinitionIDIndex* m_index;
    bool m_orderBuilt = false;
    std::vector<int> m_order; // IDE files: the preferred ones, then the rest, each in list order
    std::size_t m_preferredCount = 0;
};
