#pragma once

#include <string>
#include <string_view>

// A name between double quotes, as the report lines show names.
inline std::string inQuotes(std::string_view text)
{
    std::string result = "\"";
    result += text;
    result += '"';
    return result;
}
