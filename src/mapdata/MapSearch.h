#pragma once

#include <string>
#include <string_view>
#include <vector>

class TGTAFileList;
class TGTASFile;

// Searching the loaded map: definitions and placements by ID, model, texture dictionary or
// file name, the placements of one definition, the definition IDs still free, and the line
// a record stands on in its file.

enum class SearchField { Any, ID, Model, Dictionary, File };

// The kinds of record a search finds: the definitions of IDE files (objs, tobj, path groups,
// 2D effects) and the placements of IPL files (inst).
enum class HitKind { Objs, TObj, Inst, Effect2D, Path };

// "objs", "tobj", "inst", "2dfx", "path": the section keyword of the kind.
const char* hitKindName(HitKind kind);

struct SearchHit {
    HitKind kind = HitKind::Objs;
    int file = -1;    // position in TGTAFileList::Files
    int section = -1; // index of the section in its file (TGTASFile::SectionAt)
    int record = -1;  // position in that section
    int id = -1;
    std::string model;      // empty where the record has none
    std::string dictionary; // empty where the record has none
    bool hasPosition = false; // a point in the world: placements only (a 2D effect's is relative to its object)
    float x = 0, y = 0, z = 0;
};

// What a query asks for, prepared once so that many records are matched quickly.
// An integer query matches IDs exactly; any query matches model, dictionary and file names
// as a substring without regard to letter case, or, when it holds * or ?, as a wildcard
// pattern over the whole name. File names are matched by their last part (the name after
// the last \ or /), since every map file of a game shares the same folders. Blanks at both
// ends of the query are ignored; an empty query matches nothing.
class SearchQuery {
public:
    SearchQuery(std::string_view query, SearchField field);

    bool matchesID(int id) const { return m_isInteger && id == m_id; }
    bool matchesName(std::string_view name) const;
    bool matchesFileName(std::string_view fileName) const;
    bool searches(SearchField field) const { return m_field == SearchField::Any || m_field == field; }
    bool empty() const { return m_pattern.empty(); }

private:
    SearchField m_field;
    std::string m_pattern; // lower case
    bool m_wildcards = false;
    bool m_isInteger = false;
    int m_id = 0;
};

// Every objs, tobj, IDE path, 2dfx and inst record that the query matches in the chosen
// field (Any: any of them), in file order, then section order, then record order. A file
// name match takes every such record of the file.
std::vector<SearchHit> searchMap(const TGTAFileList& files, std::string_view query, SearchField field = SearchField::Any);

// Every inst record of that ID, in file and record order.
std::vector<SearchHit> placementsOfDefinition(const TGTAFileList& files, int id);

struct IdRange {
    int first;
    int last; // inclusive
};

struct IdUsage {
    std::vector<IdRange> free;  // unused IDs of the game's model table, ascending
    std::vector<int> usedTwice; // IDs that more than one objs or tobj record defines, ascending
    std::vector<int> outside;   // IDs defined outside the game's model table, ascending, each once
};

// Which definition IDs (of objs and tobj records) are free and which are given twice.
// `tableSize` is the number of entries of the game's model table: IDs index it, so the
// free ranges lie within 0 .. tableSize - 1 and an ID of tableSize or more does not fit.
IdUsage idUsage(const TGTAFileList& files, int tableSize);

// The size of the game's model table as the modding community documents it: 6500 entries
// for Vice City, 5500 for GTA III. The highest usable ID is one less: IDs start at 0.
int defaultHighestGameID(bool viceCity);

// The 1-based line on which the record starts in its file as it was read from disk (a path
// group: its header line); 0 for a record created since, or an address out of range. Lines
// are those of the text read: records added or deleted before it, and saving, do not move it
// until the file is read again.
int recordLineNumber(const TGTASFile& file, int section, int record);

// The same for many records of one file: the file's text is walked once.
class RecordLines {
public:
    explicit RecordLines(const TGTASFile& file);
    int line(int section, int record) const;

private:
    const TGTASFile& m_file;
    std::vector<std::vector<int>> m_lines; // by section and read index
};
