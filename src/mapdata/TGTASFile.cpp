#include "TGTASFile.h"

#include "FileIO.h"
#include "GamePaths.h"
#include "TextParser.h"

std::string TGTASFile::DiskPath() const
{
    return RelativeToGame ? resolveGamePath(GameDir, FileName) : FileName;
}

int TGTASFile::Load(const std::string& fileName)
{
    FileName = fileName;
    LineReader reader(*this);
    return readLines(DiskPath(), [&](std::string_view line) { reader.read(line); });
}

const TGTASFile::Section* TGTASFile::sectionFor(std::string_view keyword) const
{
    for (const Section& section : m_sections) {
        if (section.keyword == keyword)
            return &section;
    }
    return nullptr;
}

// Section keywords are compared exactly (lower case); "end" closes in any case. A line
// outside every section that is not a keyword opens an unknown section, kept verbatim up
// to its "end"; a known keyword still opens its section from inside an unknown one.
void TGTASFile::LineReader::read(std::string_view raw)
{
    const bool nodeLine = !raw.empty() && raw.front() == '\t' && m_current && m_current->nodeLines;
    const std::string_view line = TrimText(raw);
    if (const Section* section = m_file.sectionFor(line)) {
        m_current = section;
        m_unknown = nullptr;
        section->container->Present = true;
        return;
    }
    const bool isEnd = equalsIgnoringCase(line, "end");
    if (m_unknown) {
        m_unknown->Lines.emplace_back(raw);
        if (isEnd) {
            m_unknown->Closed = true;
            m_unknown = nullptr;
        }
        return;
    }
    if (isEnd) {
        m_current = nullptr;
        return;
    }
    if (line.empty() || line.front() == '#')
        return;
    if (!m_current) {
        m_file.UnknownSections.push_back({{std::string(raw)}, false});
        m_unknown = &m_file.UnknownSections.back();
        return;
    }
    if (nodeLine) {
        // Node lines before the first group header have no group to join.
        const int groups = m_current->container->Count();
        if (groups > 0)
            m_current->nodeLines->AddNodeLine(groups - 1, line);
        return;
    }
    m_current->container->ReadLine(line);
}

void TGTASFile::ReadText(std::string_view text)
{
    LineReader reader(*this);
    forEachLine(text, [&](std::string_view line) { reader.read(line); });
}

template <typename Flush>
void TGTASFile::writeText(std::string& text, Flush&& flush) const
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
