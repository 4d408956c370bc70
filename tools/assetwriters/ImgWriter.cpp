#include "ImgWriter.h"

#include "SystemFiles.h"

#include <cerrno>
#include <cstring>

// Archive layout written here:
//   .img  entry data, each entry from a sector boundary, zero-padded to whole 2048-byte sectors
//   .dir  32-byte records: u32 offset (sectors), u32 size (sectors), 24-byte name, no header

namespace {

constexpr std::size_t sectorSize = 2048;

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

int writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    namespace sys = systemfiles;
    const int fd = sys::openFile(path, sys::OpenMode::ReadWriteCreate);
    if (fd < 0)
        return errno;
    if (sys::truncateFile(fd, 0) != 0) {
        const int error = errno;
        sys::closeFile(fd);
        return error;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::int64_t n = sys::writeNext(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            sys::closeFile(fd);
            return error;
        }
        done += static_cast<std::size_t>(n);
    }
    if (sys::closeFile(fd) != 0)
        return errno;
    return 0;
}

std::string directoryPathFor(const std::string& imgPath)
{
    const auto slash = imgPath.find_last_of("/\\");
    const auto dot = imgPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return imgPath + ".dir";
    return imgPath.substr(0, dot) + ".dir";
}

} // namespace

int writeImgArchive(const std::string& imgPath, const std::vector<ImgWriterEntry>& entries,
                    std::uint32_t firstSector)
{
    std::vector<std::uint8_t> img(std::size_t{firstSector} * sectorSize, 0);
    std::vector<std::uint8_t> dir;
    dir.reserve(entries.size() * 32);

    for (const ImgWriterEntry& entry : entries) {
        const std::size_t sectors = (entry.data.size() + sectorSize - 1) / sectorSize;
        const std::size_t offset = img.size() / sectorSize;
        if (offset > UINT32_MAX || sectors > UINT32_MAX)
            return EFBIG;
        img.insert(img.end(), entry.data.begin(), entry.data.end());
        img.resize((offset + sectors) * sectorSize, 0);

        putU32(dir, static_cast<std::uint32_t>(offset));
        putU32(dir, static_cast<std::uint32_t>(sectors));
        for (std::size_t i = 0; i < 24; ++i)
            dir.push_back(i < entry.name.size() ? static_cast<std::uint8_t>(entry.name[i]) : 0);
    }

    if (const int error = writeWholeFile(imgPath, img))
        return error;
    return writeWholeFile(directoryPathFor(imgPath), dir);
}
