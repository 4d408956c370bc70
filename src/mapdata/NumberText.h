#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Number text of the map files. Independent of the C locale: the GUI toolkit sets the
// user's locale at start-up, and map files always use "." as the decimal separator.

// "%1.6g": 6 significant digits, fixed notation for exponents -3..6 (value = 0.d x 10^e),
// else "d.dddE-005" (no "+", at least three exponent digits).
void appendShortFloat(std::string& out, float value);
std::string shortFloatText(float value);

// The value widened exactly and written with 15 significant digits, fixed for exponents
// -3..15, else with an exponent of at least one digit. Used for draw distances.
void appendLongFloat(std::string& out, float value);
std::string longFloatText(float value);

void appendInt(std::string& out, int64_t value);

// "%1.3f" and the like: a fixed number of decimals, as list texts show coordinates.
std::string fixedFloatText(float value, int decimals);

// Readers. A number is the whole text: optional sign, decimal digits, for floats an
// optional fraction and exponent. Lenient readers give the default for anything else;
// strict readers give nothing, which rejects the line.
int lenientInt(std::string_view text, int fallback);
float lenientFloat(std::string_view text, float fallback);
std::optional<int> strictInt(std::string_view text);
std::optional<float> strictFloat(std::string_view text);
