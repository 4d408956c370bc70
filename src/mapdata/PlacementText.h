#pragma once

#include "TGTASInst.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Placements as the text a user copies between files and programs: each record's line as
// the inst section of an IPL file would hold it, and such lines read back by the inst reader.

// One line each, ending in "\n", in the order given; positions out of range are left out.
std::string placementText(const TGTASInst& section, std::span<const int> records);

struct PlacementLines {
    struct Rejected {
        int line; // 1-based, counted in the whole text
        std::string text;
    };
    std::vector<TGTASInstObj> records;
    std::vector<Rejected> rejected;
};

// Reads every line of `text` as an inst line, each in the form it has (12 columns, or 13 with
// the interior). Blank lines, comments and the section's "inst" and "end" lines are passed
// over; any other line the reader rejects is listed.
PlacementLines readPlacementLines(std::string_view text);

// Gives the records the form of a Vice City file (with the interior column, added as 0) or of
// a GTA III file (without it). Returns how many non-zero interiors were dropped.
int fitInteriorColumn(std::span<TGTASInstObj> records, bool viceCity);

// The average position of the records; (0, 0, 0) for none.
std::array<float, 3> placementCentre(std::span<const TGTASInstObj> records);
