#pragma once

#include <string>
#include <string_view>

// Archive entry names ("hotel.txd"): the extension is everything from the last dot.

// The extension with its dot, or empty.
inline std::string_view extensionOf(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

inline std::string_view withoutExtension(std::string_view name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

// The name with its extension replaced by `extension` (added when it has none).
inline std::string withExtension(std::string_view name, std::string_view extension)
{
    std::string result(withoutExtension(name));
    result += extension;
    return result;
}
