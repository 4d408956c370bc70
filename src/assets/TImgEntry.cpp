#include "TImgEntry.h"

#include <cstring>
#include <string_view>

namespace {

bool isBlankOrControl(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code <= 0x20 || code == 0x7F;
}

} // namespace

std::string TImgEntry::TrimmedName() const
{
    return std::string(TrimmedView());
}

std::string_view TImgEntry::TrimmedView() const
{
    const void* zero = std::memchr(Name, 0, sizeof Name);
    std::string_view name(Name, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - Name) : sizeof Name);
    while (!name.empty() && isBlankOrControl(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && isBlankOrControl(name.back()))
        name.remove_suffix(1);
    return name;
}
