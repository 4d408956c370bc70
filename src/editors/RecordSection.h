#pragma once

#include "SectionCode.h"

#include <QString>

#include <array>
#include <string_view>

class TGTASFile;

// One section a map file editor lists: its item on the section choice, the texts of its
// rows, its sort keys and what adding, duplicating and deleting do in it. Every record
// index handed to these functions has been checked against the section's count.
struct RecordSection {
    using Compare = int (*)(const TGTASFile& file, int a, int b);

    SectionCode code;
    const char* caption;
    int (*count)(const TGTASFile& file);
    // "Index" column; `row` is the record's row in the list.
    QString (*indexText)(const TGTASFile& file, int record, int row);
    // "Name" column.
    QString (*nameText)(const TGTASFile& file, int record);
    // Sort key of each column, as negative, zero or positive; nullptr keeps the rows' order.
    std::array<Compare, 2> compare;
    // Appends a record (an instance at `target`) and returns its index; nullptr when the
    // section takes no new records here.
    int (*add)(TGTASFile& file, const std::array<float, 3>& target);
    // Appends a copy of the record; nullptr when the section has no duplicates.
    int (*duplicate)(TGTASFile& file, int record);
    // nullptr when the section's records are not deleted here.
    void (*remove)(TGTASFile& file, int record);
};

// Sort key helpers of the section tables.
template <typename T>
int compareValues(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Names sort without regard to (ASCII) case, as the games read them.
int compareIgnoringCase(std::string_view a, std::string_view b);
