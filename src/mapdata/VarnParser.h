#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The token list: one process-wide list of tokens, filled from one line at a time.
// Used for IPL inst lines and the game list file; every other record line goes through
// GetColumn. A split and the TokenAt calls that read its tokens must not interleave
// with another split.

// Comma-text rule: commas and/or blanks (codes 1 to 32) separate; "..." quotes a token.
// The tokens may view `line` itself, which must outlive the reads of them.
void SplitLine(std::string_view line);

// One token as comma text, the reverse of SplitLine: enclosed in double quotes, inner
// quotes doubled, when it holds a blank, a comma, a double quote or a control character.
std::string commaTextField(std::string_view field);

// The non-empty words of the line: blanks become commas, then SplitLine, then empty tokens go.
void SplitWords(std::string_view line);

// The token at a 0-based index, valid until the next split; empty text (and a debug
// line) when out of range.
std::string_view TokenAt(int index);

int TokenCount();

// All tokens of the last split, valid as TokenAt's.
std::span<const std::string_view> Tokens();

// The tokens of the last split joined by commas, as the debug output shows them.
std::string TokenListText();
