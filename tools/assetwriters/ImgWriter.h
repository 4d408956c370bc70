#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes an archive: the ".img" data file and the ".dir" directory beside it.
struct ImgWriterEntry {
    std::string name;               // up to 24 characters; a 24-character name has no zero byte
    std::vector<std::uint8_t> data; // padded with zeros to whole 2048-byte sectors
};

// `imgPath` ends in ".img"; the directory goes to the same path with ".dir". Entries are
// laid out in order from sector `firstSector`. Returns 0 or the system's error code.
int writeImgArchive(const std::string& imgPath, const std::vector<ImgWriterEntry>& entries,
                    std::uint32_t firstSector = 0);
