#pragma once

#include <cstdint>
#include <span>

// What each fuzz program does with one input. The regression test feeds the saved crash
// inputs through the same functions. A body returns normally for any input the program
// must cope with; when a property it checks does not hold it names it on standard error
// and aborts, which the fuzzer and the test both report.
namespace fuzzing {

// A texture dictionary: decoded, every level turned into RGBA, names looked up.
void textureDictionary(std::span<const std::uint8_t> input);

// A model: read and drawn into a target that reads what the OpenGL drawer reads.
void model(std::span<const std::uint8_t> input);

// An archive: a little-endian u16 length, that many bytes of directory, the rest the data
// file, both held in memory. Opened, every entry extracted (with all its sectors) and its
// name made safe for a file, then the entries whose name starts with an odd byte deleted.
void archive(std::span<const std::uint8_t> input);

// A map file: the first byte chooses IPL (bit 0 set) or IDE, GTA III (bit 1 set) or Vice
// City; the rest is the text. Read, written, read again: the same records, the same text.
void mapFile(std::span<const std::uint8_t> input);

// A DAT file (first byte as for mapFile, bit 1 only) read in both passes of the load,
// written and read again: the same lines.
void datFile(std::span<const std::uint8_t> input);

// A PNG file: read as RGBA; a small picture of power-of-two sides is then built into a
// dictionary (PAL8 and DXT1, with mip levels) and read back at the same size.
void pngPicture(std::span<const std::uint8_t> input);

} // namespace fuzzing
