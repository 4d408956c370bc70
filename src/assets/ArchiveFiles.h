#pragma once

#include "SystemFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>

// File steps the archive and its rebuild share.

// Opens an archive file for reading and writing and takes the lock every editor takes on it:
// the games hold the archive open exclusively, and the lock stands in for that, so that a
// second editor (or a second archive object) gets the files read-only. The descriptor, or
// minus the errno value.
int openArchiveFileLocked(const std::string& path, systemfiles::OpenMode mode);

// Writes all of `data` at `offset`; 0 or the errno value.
int writeAllAt(int fd, const char* data, std::size_t size, std::uint64_t offset);
