#include "NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// A finite non-negative value as significant digits (no trailing zeros) and the
// exponent of its first digit: value = d.ddd x 10^exponent.
struct DecimalDigits {
    std::array<char, 24> digits{};
    int count = 0;
    int exponent = 0;
};

// Reads the output of to_chars in scientific form ("d.ddde+XX").
DecimalDigits fromScientific(const char* begin, const char* end)
{
    DecimalDigits d;
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits[d.count++] = *p;
    }
    int exponent = 0;
    if (p != end) {
        ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        std::from_chars(p, end, exponent);
        if (negative)
            exponent = -exponent;
    }
    d.exponent = exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

DecimalDigits roundedDigits(double magnitude, int significant)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, significant - 1);
    return fromScientific(buffer, result.ptr);
}

// The digits of a whole number; its exponent is its number of digits less one.
DecimalDigits fromInteger(uint64_t value)
{
    DecimalDigits d;
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    d.count = static_cast<int>(result.ptr - buffer);
    std::copy(buffer, result.ptr, d.digits.begin());
    d.exponent = d.count - 1;
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// Six significant digits of a float between 1e-4 and 1e6 (the fixed-notation range, where
// nearly every map number lies), computed exactly in integers: value x 10^(5 - exponent)
// rounded half to even, as the C library rounds the exact value. Nothing when out of range.
std::optional<DecimalDigits> fixedRangeDigits(float magnitude)
{
    static constexpr double Powers[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
    // 10^(5 - exponent) for exponents -5..5; -5 only for 1e-4f itself, just below 10^-4.
    static constexpr uint64_t Scale[] = {10000000000, 1000000000, 100000000, 10000000, 1000000, 100000,
                                         10000,       1000,       100,       10,       1};
    if (!(magnitude >= 1e-4f && magnitude < 1e6f))
        return std::nullopt;
    const uint32_t bits = std::bit_cast<uint32_t>(magnitude);
    const int powerOfTwo = static_cast<int>((bits >> 23) & 0xFFu) - 127;
    // floor(powerOfTwo x log10 2) is the decimal exponent or one less.
    int exponent = (powerOfTwo * 1233) >> 12;
    if (static_cast<double>(magnitude) >= Powers[exponent + 6])
        ++exponent;

    // value = mantissa x 2^(powerOfTwo - 23), and powerOfTwo < 20 here, so the scaled value
    // is the integer scaled >> shift with an exact remainder.
    const uint64_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
    const uint64_t scaled = mantissa * Scale[exponent + 5]; // below 2^58
    const int shift = 23 - powerOfTwo;                      // 4 to 38
    uint64_t number = scaled >> shift;
    const uint64_t remainder = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (remainder > half || (remainder == half && (number & 1u)))
        ++number;
    if (number >= 1000000) { // rounded up to the next power of ten
        number /= 10;
        ++exponent;
    }

    DecimalDigits d;
    d.exponent = exponent;
    d.count = 6;
    for (int i = 5; i >= 0; --i) {
        d.digits[i] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// Longest text: sign, "0.000" and 15 digits, or sign, 15 digits, "E-" and the exponent.
constexpr int MaxNumberText = 32;

char* writeExponent(char* p, int exponent, int minDigits)
{
    *p++ = 'E';
    if (exponent < 0) {
        *p++ = '-';
        exponent = -exponent;
    }
    char buffer[8];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, exponent);
    for (int width = static_cast<int>(result.ptr - buffer); width < minDigits; ++width)
        *p++ = '0';
    return std::copy(buffer, result.ptr, p);
}

// Fixed notation for exponents -4..maxFixedExponent of the first digit, else d.dddE-005.
char* writeLayout(char* p, const DecimalDigits& d, int maxFixedExponent, int minExponentDigits)
{
    const int x = d.exponent;
    const char* digits = d.digits.data();
    if (x >= -4 && x <= maxFixedExponent) {
        if (x >= 0) {
            const int integerDigits = x + 1;
            for (int i = 0; i < integerDigits; ++i)
                *p++ = i < d.count ? digits[i] : '0';
            if (d.count > integerDigits) {
                *p++ = '.';
                p = std::copy(digits + integerDigits, digits + d.count, p);
            }
        } else {
            *p++ = '0';
            *p++ = '.';
            p = std::fill_n(p, -x - 1, '0');
            p = std::copy(digits, digits + d.count, p);
        }
        return p;
    }
    *p++ = digits[0];
    if (d.count > 1) {
        *p++ = '.';
        p = std::copy(digits + 1, digits + d.count, p);
    }
    return writeExponent(p, x, minExponentDigits);
}

// Values that no map line can hold are written as 0 rather than as "nan"/"inf",
// which the games cannot read.
bool appendSpecial(std::string& out, float value)
{
    if (std::isfinite(value))
        return false;
    out += '0';
    return true;
}

bool startsLikeNumber(const char* p, const char* end, bool allowPoint)
{
    return p != end && ((*p >= '0' && *p <= '9') || (allowPoint && *p == '.'));
}

// from_chars takes no "+"; the readers accept one. Returns where from_chars should start
// and, through digits, where the first digit must stand.
const char* skipPlus(const char* p, const char* end, const char*& digits)
{
    if (p != end && *p == '+') {
        digits = p + 1;
        return p + 1;
    }
    digits = (p != end && *p == '-') ? p + 1 : p;
    return p;
}

} // namespace

void appendShortFloat(std::string& out, float value)
{
    if (appendSpecial(out, value))
        return;
    char buffer[MaxNumberText];
    char* p = buffer;
    if (std::signbit(value))
        *p++ = '-';
    const float magnitude = std::fabs(value);
    const auto fixed = fixedRangeDigits(magnitude);
    p = writeLayout(p, fixed ? *fixed : roundedDigits(magnitude, 6), 5, 3);
    out.append(buffer, p);
}

std::string shortFloatText(float value)
{
    std::string text;
    appendShortFloat(text, value);
    return text;
}

void appendLongFloat(std::string& out, float value)
{
    if (appendSpecial(out, value))
        return;
    char buffer[MaxNumberText];
    char* p = buffer;
    if (std::signbit(value))
        *p++ = '-';
    const double magnitude = std::fabs(static_cast<double>(value));
    // Whole numbers below 2^24 (most draw distances) are exact with 15 digits.
    const bool whole = magnitude < 16777216.0 && magnitude == std::floor(magnitude);
    p = writeLayout(p, whole ? fromInteger(static_cast<uint64_t>(magnitude)) : roundedDigits(magnitude, 15), 14, 1);
    out.append(buffer, p);
}

std::string longFloatText(float value)
{
    std::string text;
    appendLongFloat(text, value);
    return text;
}

void appendInt(std::string& out, int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

std::string fixedFloatText(float value, int decimals)
{
    std::string text;
    if (appendSpecial(text, value))
        return text;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::fixed, std::clamp(decimals, 0, 9));
    // Values too large for the buffer are far outside any map.
    if (result.ec != std::errc())
        return shortFloatText(value);
    text.assign(buffer, result.ptr);
    return text;
}

std::optional<int> strictInt(std::string_view text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    const char* digits = nullptr;
    p = skipPlus(p, end, digits);
    if (!startsLikeNumber(digits, end, false))
        return std::nullopt;
    int value = 0;
    const auto result = std::from_chars(p, end, value);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

namespace {

// Plain decimals of up to seven digits without exponent, the form map files hold: the
// digits as an integer below 2^24 and a power of ten up to 10^10 are both exact floats,
// so one division rounds correctly. Null for anything else.
std::optional<float> plainDecimal(std::string_view text)
{
    static constexpr float Powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+'))
        ++p;
    uint64_t digits = 0;
    int digitCount = 0;
    int fractionDigits = 0;
    bool point = false;
    for (; p != end; ++p) {
        if (*p >= '0' && *p <= '9') {
            digits = digits * 10 + static_cast<uint64_t>(*p - '0');
            if (digits > (uint64_t{1} << 24))
                return std::nullopt;
            ++digitCount;
            fractionDigits += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digitCount == 0 || fractionDigits > 10)
        return std::nullopt;
    const float value = static_cast<float>(digits) / Powers[fractionDigits];
    return negative ? -value : value;
}

} // namespace

std::optional<float> strictFloat(std::string_view text)
{
    if (const auto plain = plainDecimal(text))
        return plain;
    const char* p = text.data();
    const char* end = p + text.size();
    const char* digits = nullptr;
    p = skipPlus(p, end, digits);
    // from_chars also takes "inf", "nan" and hexadecimal forms; map numbers are decimal only.
    if (!startsLikeNumber(digits, end, true))
        return std::nullopt;
    float value = 0;
    auto result = std::from_chars(p, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow gives the nearest float (a subnormal or zero); overflow is no number.
        double wide = 0;
        result = std::from_chars(p, end, wide, std::chars_format::general);
        if (result.ec != std::errc() || std::fabs(wide) > std::numeric_limits<float>::max())
            return std::nullopt;
        value = static_cast<float>(wide);
    }
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

int lenientInt(std::string_view text, int fallback)
{
    return strictInt(text).value_or(fallback);
}

float lenientFloat(std::string_view text, float fallback)
{
    return strictFloat(text).value_or(fallback);
}
