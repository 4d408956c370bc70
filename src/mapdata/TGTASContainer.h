#pragma once

#include "LargePages.h"

#include <any>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a map file needs of each of its sections: read a line, write a record, and know
// whether the section was met. Records are addressed by their 0-based position.
class TGTASContainer {
public:
    virtual ~TGTASContainer() = default;

    // The section keyword was met while reading, or a record was created in it.
    bool Present = false;

    virtual int Count() const = 0;

    // Parses a line into a new record at the end; false (and nothing added) when rejected.
    virtual bool ReadLine(std::string_view line) = 0;

    // The record's text, without a line end; empty for a position out of range.
    std::string WriteLine(int pos) const
    {
        std::string text;
        appendLine(text, pos);
        return text;
    }
    virtual void appendLine(std::string& out, int pos) const = 0;

    // Which record read from the file's text the record at pos is (0 for the first one
    // read into this container), or -1 for a record created since. Saving writes a record
    // read from the text back with its original text while its fields write what they
    // did when read; the file that read it sets this.
    int ReadIndex(int pos) const
    {
        return pos >= 0 && static_cast<std::size_t>(pos) < m_readIndex.size() ? m_readIndex[pos] : -1;
    }
    void SetReadIndex(int pos, int index)
    {
        if (pos < 0)
            return;
        if (m_readIndex.size() <= static_cast<std::size_t>(pos))
            m_readIndex.resize(static_cast<std::size_t>(pos) + 1, -1);
        m_readIndex[pos] = index;
    }

    // Whether the record at pos writes the same text as the one record `parsed` holds, a
    // container of the same kind into which its original text was read again.
    virtual bool WritesSameAs(int pos, TGTASContainer& parsed) const = 0;
    virtual void ClearRecords() = 0;
    // Room for `count` more records, so that reading a large section does not move the
    // records read so far again and again.
    virtual void ReserveRecords(std::size_t count) = 0;

    // Copies of records, whatever their kind, for taking an edit back. A copy holds the
    // record's fields; putting it back at a position restores them exactly. Inserting a
    // copy with the read index it had puts a deleted record back so that saving writes its
    // original text again. A copy of another kind, or a position out of range, changes
    // nothing and returns false.
    virtual std::any CopyRecord(int pos) const = 0;
    virtual bool PutRecord(int pos, const std::any& copy) = 0;
    virtual bool InsertRecordCopy(int pos, const std::any& copy, int readIndex) = 0;
    virtual void RemoveRecord(int pos) = 0;
    // Every record with its read index and Present: a whole section, taken and put back.
    virtual std::any CopySection() const = 0;
    virtual bool PutSection(const std::any& copy) = 0;

protected:
    // Parallel to the records; kept in step by adding and deleting. Records pushed into
    // Items directly lie beyond its end and count as created.
    std::vector<int32_t> m_readIndex;
};

// The sections whose records are groups of node lines (path sections).
class TGTASNodeLines {
public:
    virtual ~TGTASNodeLines() = default;
    virtual void AddNodeLine(int group, std::string_view line) = 0;
};

// A container of one record kind kept in file order.
template <typename Record>
class TGTASRecords : public TGTASContainer {
public:
    std::vector<Record> Items;

    int Count() const override { return static_cast<int>(Items.size()); }
    bool IsValidIndex(int pos) const { return pos >= 0 && pos < Count(); }

    // Later records move down by one; a position out of range changes nothing.
    void DeleteRecord(int pos)
    {
        if (!IsValidIndex(pos))
            return;
        Items.erase(Items.begin() + pos);
        if (static_cast<std::size_t>(pos) < m_readIndex.size())
            m_readIndex.erase(m_readIndex.begin() + pos);
    }

    void ClearRecords() override
    {
        Items.clear();
        m_readIndex.clear();
    }

    void ReserveRecords(std::size_t count) override
    {
        Items.reserve(Items.size() + count);
        m_readIndex.reserve(Items.size() + count);
        adviseLargePagesForSpare(Items);
        adviseLargePagesForSpare(m_readIndex);
    }

    bool WritesSameAs(int pos, TGTASContainer& parsed) const final
    {
        auto& other = static_cast<TGTASRecords&>(parsed);
        if (!IsValidIndex(pos) || other.Items.size() != 1)
            return false;
        Record& read = other.Items.front();
        copyCaches(read, Items[pos]);
        // Equal fields write equal text (but for the sign of a zero, which reads back equal);
        // only records that differ are written out to compare.
        if (read == Items[pos])
            return true;
        std::string now;
        std::string then;
        appendRecord(now, Items[pos]);
        appendRecord(then, read);
        return now == then;
    }

    void appendLine(std::string& out, int pos) const final
    {
        if (IsValidIndex(pos))
            appendRecord(out, Items[pos]);
    }

    std::any CopyRecord(int pos) const final { return IsValidIndex(pos) ? std::any(Items[pos]) : std::any(); }

    bool PutRecord(int pos, const std::any& copy) final
    {
        const Record* record = std::any_cast<Record>(&copy);
        if (!record || !IsValidIndex(pos))
            return false;
        Items[pos] = *record;
        return true;
    }

    bool InsertRecordCopy(int pos, const std::any& copy, int readIndex) final
    {
        const Record* record = std::any_cast<Record>(&copy);
        if (!record || pos < 0 || pos > Count())
            return false;
        if (m_readIndex.size() < Items.size())
            m_readIndex.resize(Items.size(), -1);
        Items.insert(Items.begin() + pos, *record);
        m_readIndex.insert(m_readIndex.begin() + pos, readIndex);
        Present = true;
        return true;
    }

    void RemoveRecord(int pos) final { DeleteRecord(pos); }

    std::any CopySection() const final { return SectionCopy{Items, m_readIndex, Present}; }

    bool PutSection(const std::any& copy) final
    {
        const auto* section = std::any_cast<SectionCopy>(&copy);
        if (!section)
            return false;
        Items = section->items;
        m_readIndex = section->readIndex;
        Present = section->present;
        return true;
    }

protected:
    struct SectionCopy {
        std::vector<Record> items;
        std::vector<int32_t> readIndex;
        bool present = false;
    };

    virtual void appendRecord(std::string& out, const Record& record) const = 0;
    // Lookups cached in a record, which are not part of its text.
    virtual void copyCaches(Record& /*to*/, const Record& /*from*/) const {}

    int addRecord(Record record)
    {
        Items.push_back(std::move(record));
        if (m_readIndex.size() + 1 != Items.size()) // records were pushed into Items directly
            m_readIndex.resize(Items.size() - 1, -1);
        m_readIndex.push_back(-1);
        return Count() - 1;
    }

    // A record created by the editors makes its section appear in the file.
    int addNewRecord(Record record)
    {
        Present = true;
        return addRecord(std::move(record));
    }
};

// A container of path groups: header lines, each followed by its TAB-indented node lines.
// Derived reads one node line with its static ReadNode.
template <typename Group, typename Derived>
class TGTASGroupRecords : public TGTASRecords<Group>, public TGTASNodeLines {
public:
    void AddNodeLine(int group, std::string_view line) override
    {
        if (this->IsValidIndex(group))
            this->Items[group].Nodes.push_back(Derived::ReadNode(line));
    }
};
