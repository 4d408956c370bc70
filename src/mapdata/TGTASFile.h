#pragma once

#include "TGTASContainer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class FileKind { IPL = 0, IDE = 1 };

// A section this program does not understand (cars, peds, pick, ...), kept line for line
// as read so that saving does not lose it. Closed when its "end" line was read.
struct TUnknownSection {
    std::vector<std::string> Lines;
    bool Closed = false;
    // Read from the file's text: saving writes it in place from that text. Sections added
    // otherwise are written after everything read.
    bool Read = false;
};

// One map text file, read whole into record containers and written whole from them.
//
// Saving is lossless: the text read is kept, and a save writes it back as it was except
// for what changed. A record whose fields write what they wrote when read keeps its
// original text; comments, blank lines, lines the readers reject, unknown sections, the
// order of the sections and the line ends stay where they were; a changed record is
// written in the games' normal form in its place; created records follow the last record
// of their section, created sections follow everything read. So an unedited file is
// saved byte for byte as it was, and an edit changes only the lines of what was edited.
class TGTASFile {
public:
    std::string FileName;        // as in the DAT file or as chosen in an editor
    bool Modified = false;       // a record changed since the last successful save
    bool RelativeToGame = false; // the path on disk is the game directory + FileName
    std::string GameDir;         // that game directory; the file list sets it when the file joins
    const FileKind Kind;
    bool Visible = false;        // IPL files: drawn by the 3D view
    std::vector<TUnknownSection> UnknownSections;

    explicit TGTASFile(FileKind kind) : Kind(kind) {}
    virtual ~TGTASFile() = default;
    TGTASFile(const TGTASFile&) = delete;
    TGTASFile& operator=(const TGTASFile&) = delete;

    // Stores the name and appends the file's records; the system's error code when the
    // file cannot be read (the containers then stay as they were), else 0.
    virtual int Load(const std::string& fileName);

    // Writes the file whole; on failure returns the error code, keeps Modified and
    // leaves the file on disk as it was.
    virtual int Save();

    std::string DiskPath() const;

    // Exactly the bytes Save writes.
    std::string SaveText() const;

    // Every record rewritten in the games' normal form: the known sections in their fixed
    // order, then the unknown ones; comments, blank lines and rejected lines dropped;
    // every line ending in CR LF.
    std::string NormalFormText() const;

    // Reads map text as Load does, without touching the disk.
    void ReadText(std::string_view text);

    // The known sections by their place in the file kind's fixed order, so that an edit
    // can name the section of a record without knowing the file kind.
    int SectionCount() const { return static_cast<int>(m_sections.size()); }
    TGTASContainer* SectionAt(int index) const
    {
        return index >= 0 && index < SectionCount() ? m_sections[static_cast<std::size_t>(index)].container : nullptr;
    }
    int SectionIndexOf(const TGTASContainer* container) const;

    // The 1-based line of every record read from the text, by section and read index (a
    // path group: its header line). Lines end as when reading: CR LF, LF or a lone CR.
    std::vector<std::vector<int>> LinesOfRecordsRead() const;

protected:
    struct Section {
        std::string_view keyword;
        TGTASContainer* container;
        TGTASNodeLines* nodeLines; // path sections only
    };

    // The known sections in the order they are written. Set by the file kinds.
    std::vector<Section> m_sections;

    // An empty file of the same kind: saving reads original record text into it again to
    // see whether a record still writes what it wrote when read.
    virtual std::unique_ptr<TGTASFile> makeEmpty() const { return nullptr; }

private:
    // The file's text as read, in order: runs of lines kept as they stand (comments,
    // blank lines, keywords, "end", unknown sections, rejected lines), the text of each
    // record read (a path group's header with its node lines), and the place where the
    // records of a section's block end. Spans include their line ends.
    struct Piece {
        enum class Kind : std::uint8_t { Lines, Record, BlockEnd };
        std::uint64_t begin = 0;
        std::uint32_t length = 0;
        std::uint8_t section = 0;
        Kind kind = Kind::Lines;
    };

    std::string m_text;
    std::vector<Piece> m_pieces;
    std::string m_lineEnd = "\r\n"; // the first line end read; new files get CR LF
    bool m_lineEndKnown = false;
    std::vector<int> m_recordsRead; // per section, records read from the text so far

    // Reading state carried from one line to the next.
    class LineReader {
    public:
        explicit LineReader(TGTASFile& file) : m_file(file) {}
        void read(std::size_t begin, std::size_t length, std::size_t endLength);
        void finish();

    private:
        void keep(std::size_t begin, std::size_t length);
        void endBlock();

        TGTASFile& m_file;
        const Section* m_current = nullptr;
        TUnknownSection* m_unknown = nullptr;
        std::size_t m_groupPiece = SIZE_MAX; // the current path group's piece
        std::size_t m_lineNumber = 0;
    };

    const Section* sectionFor(std::string_view keyword) const;
    void readFrom(std::size_t begin);
    void reserveFor(std::size_t begin);

    template <typename Flush>
    void writeNormalForm(std::string& text, Flush&& flush) const;
    template <typename Flush>
    void writeText(std::string& text, Flush&& flush) const;
    void appendNormalRecord(std::string& out, const Section& section, int pos) const;
    bool keepsOriginal(const Section& section, const Section& again, int pos, std::string_view original) const;
};
