#pragma once

#include "TGTA3Archive.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// Opening archives and reading files for the commands; each says on `err` what failed.

// The archive, or null after saying which file could not be opened and why (or that it
// could only be opened read-only, when `forWriting`).
std::unique_ptr<TGTA3Archive> openArchive(const std::string& path, bool forWriting, std::ostream& err);

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::ostream& err);

// The position of the dictionary entry `name` (".txd" added when it has no extension), or
// -1 after saying that the archive has none.
int findDictionaryEntry(const TGTA3Archive& archive, const std::string& archivePath, const std::string& name,
                        std::ostream& err);

bool readEntry(const TGTA3Archive& archive, int index, const std::string& archivePath, std::vector<std::uint8_t>& bytes,
               std::ostream& err);

// The bytes of the archive's dictionary entry `name`.
bool readArchiveEntry(const std::string& archivePath, const std::string& name, std::vector<std::uint8_t>& bytes,
                      std::ostream& err);
