#pragma once

#include "SectionCode.h"
#include "TGTASFile.h"

#include <vector>

// What is selected, as a value: the file kind, the section as the windows name it, the file's
// position in the file list, and the selected record indexes (one record, or the several
// instances that move together, in the order they were chosen). Empty when nothing is; the
// several-instance selection keeps its file and section while the user toggles its last member out.
struct DocumentSelection {
    FileKind kind = FileKind::IPL;
    SectionCode section = SectionCode::Inst;
    int file = -1;
    std::vector<int> records;

    bool empty() const { return file < 0; }
    bool operator==(const DocumentSelection&) const = default;
};
