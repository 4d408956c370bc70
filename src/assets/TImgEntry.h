#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One directory record of an archive. Offset, Size and Name are the record's 32 bytes as in
// the ".dir" file and are written back verbatim; Index and Deleted live only in memory.
struct TImgEntry {
    std::uint32_t Offset = 0; // start of the data in the ".img", in 2048-byte sectors
    std::uint32_t Size = 0;   // length of the data, in whole sectors
    char Name[24] = {};       // zero-padded; a 24-character name has no terminating zero
    std::int32_t Index = 0;   // position of the record in the directory
    bool Deleted = false;     // marked for deletion, not yet committed

    // The name up to the first zero byte within the 24, without leading and trailing
    // blanks and control characters.
    std::string TrimmedName() const;
    // The same, viewing this entry's own bytes.
    std::string_view TrimmedView() const;
};
