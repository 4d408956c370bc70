#pragma once

#include "NumberText.h"
#include "TextParser.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Reading and writing helpers shared by the record containers.

// The comma-separated, trimmed columns of one line (as GetColumn gives them), split once.
// Strict reads that meet something other than a number mark the line as rejected.
class LineColumns {
public:
    explicit LineColumns(std::string_view line);

    int count() const { return m_count; }
    std::string_view text(int column) const;

    int lenientInt(int column, int fallback) const { return ::lenientInt(text(column), fallback); }
    float lenientFloat(int column, float fallback) const { return ::lenientFloat(text(column), fallback); }
    int strictInt(int column);
    float strictFloat(int column);

    bool rejected() const { return m_rejected; }

private:
    static constexpr int Kept = 24;
    std::string_view m_line;
    std::array<std::string_view, Kept> m_columns{};
    int m_count = 0;
    bool m_rejected = false;
};

// Appends columns joined by ", ".
class LineWriter {
public:
    explicit LineWriter(std::string& out) : m_out(out) {}

    LineWriter& integer(int64_t value);
    LineWriter& shortFloat(float value);
    LineWriter& longFloat(float value);
    LineWriter& text(std::string_view value);
    // Surplus columns kept from reading (see surplusColumns); nothing when there are none.
    LineWriter& surplus(std::string_view columns);

private:
    void separate();
    std::string& m_out;
    bool m_first = true;
};

// Columns `used` + 1 to the last of a line, joined by ", ": what a record does not read
// but keeps, so that a line with more columns than its form is written back whole.
std::string surplusColumns(const LineColumns& columns, int used);

// A float field that holds a whole number, as an integer column writes it.
int64_t wholeNumber(float value);
