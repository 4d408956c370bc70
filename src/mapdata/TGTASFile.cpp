#include "TGTASFile.h"

#include "FileIO.h"
#include "GamePaths.h"
#include "LargePages.h"
#include "Log.h"
#include "TextParser.h"

#include <cstring>

namespace {

// Calls visit(begin, length, endLength) for every line of text from `begin`, the line end
// (CR LF, LF or a lone CR) counted apart; the last line may have none.
template <typename Visit>
void forEachLineSpan(std::string_view text, std::size_t begin, Visit&& visit)
{
    const char* const base = text.data();
    const char* p = base + begin;
    const char* const end = base + text.size();
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* lineEnd = lf ? lf : end;
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(lineEnd - p)));
        std::size_t length = 0;
        std::size_t endLength = 0;
        if (cr) {
            length = static_cast<std::size_t>(cr - p);
            endLength = (lf && cr + 1 == lf) ? 2 : 1;
        } else {
            length = static_cast<std::size_t>(lineEnd - p);
            endLength = lf ? 1 : 0;
        }
        visit(static_cast<std::size_t>(p - base), length, endLength);
        p += length + endLength;
    }
}

} // namespace

std::string TGTASFile::DiskPath() const
{
    return RelativeToGame ? resolveGamePath(GameDir, FileName) : FileName;
}

int TGTASFile::Load(const std::string& fileName)
{
    FileName = fileName;
    const std::size_t begin = m_text.size();
    if (const int error = appendFileContents(DiskPath(), m_text))
        return error;
    readFrom(begin);
    return 0;
}

void TGTASFile::ReadText(std::string_view text)
{
    const std::size_t begin = m_text.size();
    m_text += text;
    readFrom(begin);
}

void TGTASFile::readFrom(std::size_t begin)
{
    if (m_recordsRead.size() < m_sections.size())
        m_recordsRead.resize(m_sections.size(), 0);
    reserveFor(begin);

    LineReader reader(*this);
    if (std::string_view(m_text).substr(begin, ByteOrderMark.size()) == ByteOrderMark) {
        m_pieces.push_back({begin, static_cast<std::uint32_t>(ByteOrderMark.size()), 0, Piece::Kind::Lines});
        begin += ByteOrderMark.size();
    }
    forEachLineSpan(m_text, begin, [&](std::size_t at, std::size_t length, std::size_t endLength) {
        reader.read(at, length, endLength);
    });
    reader.finish();
}

int TGTASFile::SectionIndexOf(const TGTASContainer* container) const
{
    for (std::size_t index = 0; index < m_sections.size(); ++index) {
        if (m_sections[index].container == container)
            return static_cast<int>(index);
    }
    return -1;
}

std::vector<std::vector<int>> TGTASFile::LinesOfRecordsRead() const
{
    std::vector<std::vector<int>> lines(m_sections.size());
    for (std::size_t s = 0; s < m_sections.size() && s < m_recordsRead.size(); ++s)
        lines[s].reserve(static_cast<std::size_t>(m_recordsRead[s]));
    // The pieces cover the text in order, each a run of whole lines.
    int line = 1;
    for (const Piece& piece : m_pieces) {
        if (piece.kind == Piece::Kind::Record)
            lines[piece.section].push_back(line);
        const std::string_view span = std::string_view(m_text).substr(piece.begin, piece.length);
        for (std::size_t i = 0; i < span.size(); ++i) {
            if (span[i] == '\n' || (span[i] == '\r' && (i + 1 == span.size() || span[i + 1] != '\n')))
                ++line;
        }
    }
    return lines;
}

// Room for what the text will add, counted in a quick pass first: a piece per line at most,
// and per section at most a record per line between its keyword and its "end". Growing
// instead would copy the records read so far again and again and touch twice the memory.
void TGTASFile::reserveFor(std::size_t begin)
{
    std::size_t lines = 1;
    std::vector<std::size_t> recordLines(m_sections.size(), 0);
    const Section* current = nullptr;
    forEachLineSpan(m_text, begin, [&](std::size_t at, std::size_t length, std::size_t) {
        ++lines;
        const std::string_view raw = std::string_view(m_text).substr(at, length);
        const std::string_view line = TrimText(raw);
        if (line.empty() || line.front() == '#')
            return;
        // Keywords and "end" start with a letter; records mostly with a digit.
        const char first = lowerAscii(line.front());
        if (first >= 'a' && first <= 'z') {
            if (const Section* section = sectionFor(line)) {
                current = section;
                return;
            }
            if (equalsIgnoringCase(line, "end")) {
                current = nullptr;
                return;
            }
        }
        if (current && !(current->nodeLines && raw.front() == '\t'))
            ++recordLines[static_cast<std::size_t>(current - m_sections.data())];
    });
    m_pieces.reserve(m_pieces.size() + lines + 1);
    adviseLargePagesForSpare(m_pieces);
    for (std::size_t s = 0; s < m_sections.size(); ++s)
        m_sections[s].container->ReserveRecords(recordLines[s]);
}

const TGTASFile::Section* TGTASFile::sectionFor(std::string_view keyword) const
{
    for (const Section& section : m_sections) {
        if (section.keyword == keyword)
            return &section;
    }
    return nullptr;
}

// A line kept as it stands; joins the run of kept lines before it.
void TGTASFile::LineReader::keep(std::size_t begin, std::size_t length)
{
    std::vector<Piece>& pieces = m_file.m_pieces;
    if (!pieces.empty() && pieces.back().kind == Piece::Kind::Lines &&
        pieces.back().begin + pieces.back().length == begin) {
        pieces.back().length += static_cast<std::uint32_t>(length);
        return;
    }
    pieces.push_back({begin, static_cast<std::uint32_t>(length), 0, Piece::Kind::Lines});
}

void TGTASFile::LineReader::endBlock()
{
    if (m_current) {
        const auto section = static_cast<std::uint8_t>(m_current - m_file.m_sections.data());
        m_file.m_pieces.push_back({0, 0, section, Piece::Kind::BlockEnd});
    }
    m_current = nullptr;
    m_groupPiece = SIZE_MAX;
}

void TGTASFile::LineReader::finish()
{
    endBlock();
}

// Section keywords are compared exactly (lower case); "end" closes in any case. A line
// outside every section that is not a keyword opens an unknown section, kept verbatim up
// to its "end"; a known keyword still opens its section from inside an unknown one.
void TGTASFile::LineReader::read(std::size_t begin, std::size_t length, std::size_t endLength)
{
    ++m_lineNumber;
    const std::string_view raw(m_file.m_text.data() + begin, length);
    const std::size_t span = length + endLength;
    if (!m_file.m_lineEndKnown && endLength != 0) {
        m_file.m_lineEnd.assign(m_file.m_text, begin + length, endLength);
        m_file.m_lineEndKnown = true;
    }

    const bool nodeLine = !raw.empty() && raw.front() == '\t' && m_current && m_current->nodeLines;
    const std::string_view line = TrimText(raw);
    if (const Section* section = m_file.sectionFor(line)) {
        endBlock();
        m_unknown = nullptr; // an unknown section left without its "end"
        m_current = section;
        section->container->Present = true;
        keep(begin, span);
        return;
    }
    const bool isEnd = equalsIgnoringCase(line, "end");
    if (m_unknown) {
        m_unknown->Lines.emplace_back(raw);
        keep(begin, span);
        if (isEnd) {
            m_unknown->Closed = true;
            m_unknown = nullptr;
        }
        return;
    }
    if (isEnd) {
        endBlock();
        keep(begin, span);
        return;
    }
    if (line.empty() || line.front() == '#') {
        keep(begin, span);
        return;
    }
    if (!m_current) {
        m_file.UnknownSections.push_back({{std::string(raw)}, false, true});
        m_unknown = &m_file.UnknownSections.back();
        keep(begin, span);
        return;
    }

    TGTASContainer& container = *m_current->container;
    const auto section = static_cast<std::uint8_t>(m_current - m_file.m_sections.data());
    if (nodeLine) {
        // Only a group of this block takes node lines: one read before would change without
        // any of its own lines changing.
        if (m_groupPiece == SIZE_MAX) {
            logLine(m_file.FileName + " line " + std::to_string(m_lineNumber) +
                    ": a path node before any group of its section, kept as it is");
            keep(begin, span);
            return;
        }
        m_current->nodeLines->AddNodeLine(container.Count() - 1, line);
        // The group's text runs to its last node line, taking in the comments between.
        m_file.m_pieces.resize(m_groupPiece + 1);
        Piece& group = m_file.m_pieces.back();
        group.length = static_cast<std::uint32_t>(begin + span - group.begin);
        return;
    }
    if (!container.ReadLine(line)) {
        logLine(m_file.FileName + " line " + std::to_string(m_lineNumber) + ": not a valid " +
                std::string(m_current->keyword) + " line, kept as it is: " + std::string(line));
        keep(begin, span);
        m_groupPiece = SIZE_MAX;
        return;
    }
    container.SetReadIndex(container.Count() - 1, m_file.m_recordsRead[section]++);
    m_file.m_pieces.push_back({begin, static_cast<std::uint32_t>(span), section, Piece::Kind::Record});
    m_groupPiece = m_current->nodeLines ? m_file.m_pieces.size() - 1 : SIZE_MAX;
}

// The record's normal form, ending with the file's line end (also between node lines).
void TGTASFile::appendNormalRecord(std::string& out, const Section& section, int pos) const
{
    const std::size_t start = out.size();
    section.container->appendLine(out, pos);
    if (section.nodeLines && m_lineEnd != "\r\n") {
        std::string converted = ReplaceText(out.substr(start), "\r\n", m_lineEnd);
        out.resize(start);
        out += converted;
    }
    out += m_lineEnd;
}

// Reads the record's original text into the same section of an empty file again and asks
// whether the record still writes what that text reads as.
bool TGTASFile::keepsOriginal(const Section& section, const Section& again, int pos, std::string_view original) const
{
    TGTASContainer& scratch = *again.container;
    scratch.ClearRecords();
    if (!again.nodeLines) {
        scratch.ReadLine(TrimText(original));
    } else {
        bool header = true;
        splitLines(original, true, [&](std::string_view raw) {
            const std::string_view line = TrimText(raw);
            if (header) {
                header = false;
                scratch.ReadLine(line);
            } else if (!line.empty() && line.front() != '#') {
                again.nodeLines->AddNodeLine(0, line);
            }
        });
    }
    return section.container->WritesSameAs(pos, scratch);
}

template <typename Flush>
void TGTASFile::writeText(std::string& text, Flush&& flush) const
{
    const std::unique_ptr<TGTASFile> scratch = makeEmpty();
    const std::size_t sectionCount = m_sections.size();

    // Per section: the position each record read from the text has now (-1: deleted),
    // the records created since, and the last place its records end in the text.
    std::vector<std::vector<int>> positions(sectionCount);
    std::vector<std::vector<int>> created(sectionCount);
    std::vector<std::size_t> lastBlockEnd(sectionCount, SIZE_MAX);
    for (std::size_t s = 0; s < sectionCount; ++s) {
        const TGTASContainer& container = *m_sections[s].container;
        positions[s].assign(s < m_recordsRead.size() ? static_cast<std::size_t>(m_recordsRead[s]) : 0, -1);
        for (int pos = 0; pos < container.Count(); ++pos) {
            const int read = container.ReadIndex(pos);
            if (read >= 0 && static_cast<std::size_t>(read) < positions[s].size() && positions[s][read] < 0)
                positions[s][read] = pos;
            else
                created[s].push_back(pos);
        }
    }
    for (std::size_t p = 0; p < m_pieces.size(); ++p) {
        if (m_pieces[p].kind == Piece::Kind::BlockEnd)
            lastBlockEnd[m_pieces[p].section] = p;
    }

    // Everything written after a last line that had no line end starts on a line of its own.
    bool lineOpen = false;
    const auto startLine = [&] {
        if (lineOpen)
            text += m_lineEnd;
        lineOpen = false;
    };
    const auto appendOriginal = [&](std::string_view original) {
        startLine();
        text += original;
        lineOpen = !original.empty() && original.back() != '\n' && original.back() != '\r';
    };

    std::vector<int> recordsSeen(sectionCount, 0);
    for (std::size_t p = 0; p < m_pieces.size(); ++p) {
        const Piece& piece = m_pieces[p];
        const std::string_view original = std::string_view(m_text).substr(piece.begin, piece.length);
        switch (piece.kind) {
        case Piece::Kind::Lines:
            appendOriginal(original);
            break;
        case Piece::Kind::Record: {
            const Section& section = m_sections[piece.section];
            const int pos = positions[piece.section][recordsSeen[piece.section]++];
            if (pos < 0)
                break; // deleted: the comments before it stay
            if (scratch && keepsOriginal(section, scratch->m_sections[piece.section], pos, original)) {
                appendOriginal(original);
            } else {
                startLine();
                appendNormalRecord(text, section, pos);
            }
            flush(text);
            break;
        }
        case Piece::Kind::BlockEnd:
            if (lastBlockEnd[piece.section] != p)
                break;
            for (const int pos : created[piece.section]) {
                startLine();
                appendNormalRecord(text, m_sections[piece.section], pos);
                flush(text);
            }
            break;
        }
    }

    // Sections that the text did not hold, then unknown sections added since reading.
    for (std::size_t s = 0; s < sectionCount; ++s) {
        const Section& section = m_sections[s];
        if (!section.container->Present || lastBlockEnd[s] != SIZE_MAX)
            continue;
        startLine();
        text += section.keyword;
        text += m_lineEnd;
        for (int pos = 0; pos < section.container->Count(); ++pos) {
            appendNormalRecord(text, section, pos);
            flush(text);
        }
        text += "end";
        text += m_lineEnd;
    }
    for (const TUnknownSection& section : UnknownSections) {
        if (section.Read)
            continue;
        startLine();
        for (const std::string& line : section.Lines) {
            text += line;
            text += m_lineEnd;
        }
        if (!section.Closed) {
            text += "end";
            text += m_lineEnd;
        }
    }
}

template <typename Flush>
void TGTASFile::writeNormalForm(std::string& text, Flush&& flush) const
{
    for (const Section& section : m_sections) {
        if (!section.container->Present)
            continue;
        text += section.keyword;
        text += "\r\n";
        for (int pos = 0; pos < section.container->Count(); ++pos) {
            section.container->appendLine(text, pos);
            text += "\r\n";
            flush(text);
        }
        text += "end\r\n";
    }
    for (const TUnknownSection& section : UnknownSections) {
        for (const std::string& line : section.Lines) {
            text += line;
            text += "\r\n";
        }
        if (!section.Closed)
            text += "end\r\n";
    }
}

std::string TGTASFile::SaveText() const
{
    std::string text;
    writeText(text, [](std::string&) {});
    return text;
}

std::string TGTASFile::NormalFormText() const
{
    std::string text;
    writeNormalForm(text, [](std::string&) {});
    return text;
}

int TGTASFile::Save()
{
    constexpr size_t Piece = 256 * 1024;
    ReplacingFileWriter writer(DiskPath());
    std::string piece;
    piece.reserve(Piece + 4096);
    writeText(piece, [&](std::string& text) {
        if (text.size() >= Piece) {
            writer.write(text);
            text.clear();
        }
    });
    writer.write(piece);
    if (const int error = writer.commit())
        return error;
    Modified = false;
    return 0;
}
