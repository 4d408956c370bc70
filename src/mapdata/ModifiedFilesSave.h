#pragma once

#include <string>
#include <vector>

class TGTAFileList;

// What saving every modified map file did: the files written and the files that could not
// be written (they keep their changes and stay modified), each with its position in the
// file list and, for a failure, the system's error code.
struct ModifiedFilesReport {
    struct Entry {
        int file = 0;
        std::string name;
        int error = 0;
    };
    std::vector<Entry> saved;
    std::vector<Entry> failed;

    bool allSaved() const { return failed.empty(); }
};

// Saves every map file of the list whose Modified mark is set, in list order.
ModifiedFilesReport SaveModifiedFiles(TGTAFileList& files);
