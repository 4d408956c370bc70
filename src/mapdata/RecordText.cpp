#include "RecordText.h"

#include <cmath>
#include <limits>

LineColumns::LineColumns(std::string_view line) : m_line(line)
{
    size_t start = 0;
    while (true) {
        const size_t end = line.find(',', start);
        if (m_count < Kept)
            m_columns[m_count] = TrimText(line.substr(start, end == std::string_view::npos ? end : end - start));
        ++m_count;
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
}

std::string_view LineColumns::text(int column) const
{
    if (column < 1 || column > m_count)
        return {};
    if (column <= Kept)
        return m_columns[column - 1];
    return GetColumn(column, m_line);
}

int LineColumns::strictInt(int column)
{
    const auto value = ::strictInt(text(column));
    if (!value)
        m_rejected = true;
    return value.value_or(0);
}

float LineColumns::strictFloat(int column)
{
    const auto value = ::strictFloat(text(column));
    if (!value)
        m_rejected = true;
    return value.value_or(0.0f);
}

void LineWriter::separate()
{
    if (!m_first)
        m_out += ", ";
    m_first = false;
}

LineWriter& LineWriter::integer(int64_t value)
{
    separate();
    appendInt(m_out, value);
    return *this;
}

LineWriter& LineWriter::shortFloat(float value)
{
    separate();
    appendShortFloat(m_out, value);
    return *this;
}

LineWriter& LineWriter::longFloat(float value)
{
    separate();
    appendLongFloat(m_out, value);
    return *this;
}

LineWriter& LineWriter::text(std::string_view value)
{
    separate();
    m_out += value;
    return *this;
}

LineWriter& LineWriter::surplus(std::string_view columns)
{
    if (!columns.empty())
        text(columns);
    return *this;
}

std::string surplusColumns(const LineColumns& columns, int used)
{
    std::string joined;
    for (int column = used + 1; column <= columns.count(); ++column) {
        if (column > used + 1)
            joined += ", ";
        joined += columns.text(column);
    }
    return joined;
}

int64_t wholeNumber(float value)
{
    if (!std::isfinite(value))
        return 0;
    const double clamped = std::fmax(std::fmin(static_cast<double>(value), std::numeric_limits<int32_t>::max()),
                                     std::numeric_limits<int32_t>::min());
    return static_cast<int64_t>(clamped);
}
