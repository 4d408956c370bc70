#pragma once

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
        if (IsValidIndex(pos))
            Items.erase(Items.begin() + pos);
    }

    void appendLine(std::string& out, int pos) const final
    {
        if (IsValidIndex(pos))
            appendRecord(out, Items[pos]);
    }

protected:
    virtual void appendRecord(std::string& out, const Record& record) const = 0;

    int addRecord(Record record)
    {
        Items.push_back(std::move(record));
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
