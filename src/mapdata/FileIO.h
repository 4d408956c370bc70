#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <string_view>

// File access for the program's text files. Results are the system's error codes (0 = success).

// Calls back with every complete line of data, without its line end, and returns how many
// bytes that consumed. Lines end in CR LF, LF or a lone CR. Unless atEnd, a last line
// without its end (or ending in a CR that may be the first half of CR LF) is left for
// the caller to complete with the data that follows.
template <typename Visit>
size_t splitLines(std::string_view data, bool atEnd, Visit&& visit)
{
    const char* p = data.data();
    const char* const end = p + data.size();
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* lineEnd = lf ? lf : end;
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(lineEnd - p)));
        if (cr && cr + 1 != lineEnd) {
            visit(std::string_view(p, static_cast<size_t>(cr - p)));
            p = cr + 1;
            continue;
        }
        if (!lf && !atEnd)
            break;
        visit(std::string_view(p, static_cast<size_t>((cr ? cr : lineEnd) - p)));
        p = lf ? lf + 1 : end;
    }
    return static_cast<size_t>(p - data.data());
}

// The UTF-8 byte order mark some editors put at the start of a text file.
inline constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// Every line of a whole text; a UTF-8 byte order mark at the start is not part of the first line.
template <typename Visit>
void forEachLine(std::string_view text, Visit&& visit)
{
    if (text.starts_with(ByteOrderMark))
        text.remove_prefix(ByteOrderMark.size());
    splitLines(text, true, visit);
}

// Every line of a file, read in pieces so that a large file is never held whole.
int readLines(const std::string& path, const std::function<void(std::string_view)>& visit);

// Appends the whole contents of a file to `text`; on failure `text` is as it was.
int appendFileContents(const std::string& path, std::string& text);

// Writes a temporary file beside the target, flushes it to disk and renames it over the
// target on commit, so a failed save (full disk, missing folder, size limit) leaves the old
// file whole. The target keeps its permissions; a link is followed and its target replaced.
// A writer destroyed without a successful commit removes its temporary file.
class ReplacingFileWriter {
public:
    explicit ReplacingFileWriter(const std::string& path);
    ~ReplacingFileWriter();
    ReplacingFileWriter(const ReplacingFileWriter&) = delete;
    ReplacingFileWriter& operator=(const ReplacingFileWriter&) = delete;

    // The first error met so far, 0 while all went well.
    int error() const { return m_error; }

    void write(std::string_view data);
    // Replaces the target; on success also removes what earlier saves of it killed part way
    // left behind.
    int commit();

    // The temporary file is named after the target with this and six characters added.
    static constexpr std::string_view TemporarySuffix = ".quoxsave-";

private:
    void removeStaleTemporaries() const;

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
    int m_error = 0;
    bool m_created = false;
    bool m_committed = false;
};

// The whole contents in one go, through a ReplacingFileWriter.
int replaceFileContents(const std::string& path, std::string_view contents);
