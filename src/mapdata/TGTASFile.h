#pragma once

#include "TGTASContainer.h"

#include <string>
#include <string_view>
#include <vector>

enum class FileKind { IPL = 0, IDE = 1 };

// A section this program does not understand (cars, peds, pick, ...), kept line for line
// as read so that saving does not lose it. Closed when its "end" line was read.
struct TUnknownSection {
    std::vector<std::string> Lines;
    bool Closed = false;
};

// One map text file, read whole into record containers and written whole from them.
// Comments, blank lines and rejected lines are not kept; unknown sections are, and are
// written after the known ones.
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

    // Reads map text as Load does, without touching the disk.
    void ReadText(std::string_view text);

protected:
    struct Section {
        std::string_view keyword;
        TGTASContainer* container;
        TGTASNodeLines* nodeLines; // path sections only
    };

    // The known sections in the order they are written. Set by the file kinds.
    std::vector<Section> m_sections;

private:
    // Reading state carried from one line to the next.
    class LineReader {
    public:
        explicit LineReader(TGTASFile& file) : m_file(file) {}
        void read(std::string_view rawLine);

    private:
        TGTASFile& m_file;
        const Section* m_current = nullptr;
        TUnknownSection* m_unknown = nullptr;
    };

    const Section* sectionFor(std::string_view keyword) const;

    // Appends the file's text to text, calling flush after each record so a caller can
    // pass on what has gathered.
    template <typename Flush>
    void writeText(std::string& text, Flush&& flush) const;
};
