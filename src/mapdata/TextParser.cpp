#include "TextParser.h"

#include <cmath>

namespace {

bool isTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimText(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string_view GetColumn(int column, std::string_view line)
{
    if (column < 1)
        return {};
    size_t start = 0;
    for (int comma = 1; comma < column; ++comma) {
        const size_t found = line.find(',', start);
        if (found == std::string_view::npos)
            return {};
        start = found + 1;
    }
    const size_t end = line.find(',', start);
    return TrimText(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

int ColumnCount(std::string_view line)
{
    int count = 1;
    for (char c : line)
        count += c == ',';
    return count;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string ReplaceText(std::string text, std::string_view pattern, std::string_view replacement)
{
    if (pattern.empty())
        return text;
    std::string result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        if (pos + pattern.size() <= text.size()
            && equalsIgnoringCase(std::string_view(text).substr(pos, pattern.size()), pattern)) {
            result += replacement;
            pos += pattern.size();
        } else {
            result += text[pos++];
        }
    }
    return result;
}

bool BitIsSet(uint32_t value, int bit)
{
    return (value >> (bit & 31)) & 1u;
}

uint32_t SetBit(uint32_t value, int bit)
{
    return value | (1u << (bit & 31));
}

uint32_t ClearBit(uint32_t value, int bit)
{
    return value & ~(1u << (bit & 31));
}

uint32_t PutBit(uint32_t value, int bit, bool on)
{
    return on ? SetBit(value, bit) : ClearBit(value, bit);
}

double ArcSin(double x)
{
    return std::atan2(x, std::sqrt(1.0 - x * x));
}

double ArcCos(double x)
{
    return std::atan2(std::sqrt(1.0 - x * x), x);
}
