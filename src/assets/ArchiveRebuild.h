#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Rebuilding an archive: both files are written again without the sectors that deleted and
// replaced entries left behind, the entries packed in directory order.
//
// The two files cannot be replaced together in one step, so the rebuild is made safe
// across both by a journal. The new files are written beside the old ones under
// PendingName(...), flushed to disk, and then the journal is created (written whole under
// another name and renamed into place, so it either exists complete or not at all). From
// that moment the rebuild counts as done: both new files are renamed over the old ones and
// the journal is removed. Opening an archive settles what an interrupted rebuild left:
// with a journal, the pending files that remain are renamed into place (finished); without
// one, they are removed (undone). So every open sees the old pair or the new pair.

// What a rebuild reports as it goes: each entry copied, then the steps of the swap.
enum class RebuildStage : int {
    EntryCopied,       // entry `entry` (position in the directory) is in the new data file
    FilesWritten,      // both new files are complete and on disk
    JournalWritten,    // the rebuild is committed
    DataReplaced,      // the new data file has the archive's name
    DirectoryReplaced, // the new directory file has the archive's name
    Finished,          // the journal is gone
};
using RebuildObserver = std::function<void(RebuildStage stage, int entry)>;

struct ArchiveRebuildReport {
    int entries = 0;
    std::uint64_t oldBytes = 0; // length of the data file before
    std::uint64_t newBytes = 0; // and after
    // The start sector of every entry before the rebuild, in directory order, so that
    // readers holding offsets into the old data file can follow their entries.
    std::vector<std::uint32_t> oldOffsets;
    // The archive goes on with the new files (also when the last steps failed and the
    // next open finishes them).
    bool replaced = false;
    // The entry whose data could not be read, when the rebuild failed on one.
    std::string failedEntry;
};

// The file a rebuild writes beside `path` before it replaces it.
std::string PendingName(const std::string& path);
// The journal of the archive whose data file is `imgPath`.
std::string JournalName(const std::string& imgPath);
