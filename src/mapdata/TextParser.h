#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Small routines with which every record reader takes a line apart, the bit routines
// behind the flag check boxes, and two angle routines.

// The N-th (1-based) comma-separated column of a line, trimmed of codes 0 to 32.
// Only commas separate: blanks inside a column are kept and quotes mean nothing.
std::string_view GetColumn(int column, std::string_view line);

// Number of comma-separated columns of a line (commas + 1).
int ColumnCount(std::string_view line);

// Every occurrence of pattern, matched without regard to letter case, replaced.
std::string ReplaceText(std::string text, std::string_view pattern, std::string_view replacement);

// Bit numbers are taken modulo 32.
bool BitIsSet(uint32_t value, int bit);
uint32_t SetBit(uint32_t value, int bit);
uint32_t ClearBit(uint32_t value, int bit);
uint32_t PutBit(uint32_t value, int bit, bool on);

double ArcSin(double x);
double ArcCos(double x);

// Both ends trimmed of blanks and control characters (codes 0 to 32).
std::string_view TrimText(std::string_view text);

// ASCII letters to lower case, as the games compare names; other bytes unchanged.
char lowerAscii(char c);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
