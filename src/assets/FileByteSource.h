#pragma once

#include "ByteSource.h"

// Reads an open file by position, so several readers share one descriptor without
// moving its file position. It refers to its owner's descriptor, which stays the owner's.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(const int& fd) : m_fd(fd) {}

    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) const override;

private:
    const int& m_fd;
};
