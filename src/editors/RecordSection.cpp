#include "RecordSection.h"

#include "TextParser.h"

#include <algorithm>

int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const auto ca = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(lowerAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return compareValues(a.size(), b.size());
}
