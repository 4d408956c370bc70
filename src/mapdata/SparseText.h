#pragma once

#include <memory>
#include <string>
#include <string_view>

// A text that nearly every record leaves empty (the columns after a record's own): one
// pointer wide while empty, so that it costs the many records that have none next to
// nothing in memory and in copying.
class SparseText {
public:
    SparseText() = default;
    SparseText(std::string_view text) { assign(text); }
    SparseText(const SparseText& other) { assign(other.view()); }
    SparseText(SparseText&&) noexcept = default;
    SparseText& operator=(const SparseText& other)
    {
        if (this != &other)
            assign(other.view());
        return *this;
    }
    SparseText& operator=(SparseText&&) noexcept = default;
    SparseText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }

    bool empty() const { return !m_text; }
    std::string_view view() const { return m_text ? std::string_view(*m_text) : std::string_view(); }
    operator std::string_view() const { return view(); }

    friend bool operator==(const SparseText& a, const SparseText& b) { return a.view() == b.view(); }

private:
    void assign(std::string_view text)
    {
        if (text.empty())
            m_text.reset();
        else
            m_text = std::make_unique<std::string>(text);
    }

    std::unique_ptr<std::string> m_text;
};
