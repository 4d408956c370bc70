#include "VarnParser.h"

#include "Log.h"
#include "TextParser.h"

#include <array>
#include <string>

namespace {

// The tokens are views: into the split line itself when it has no quote (nothing to
// unescape), else into the list's copy of it, where quoted tokens are unescaped in place
// (they only get shorter). Reading a file of inst lines thus neither copies lines nor
// allocates tokens.
struct TokenList {
    std::string text;
    std::vector<std::string_view> tokens;
    int count = 0;
    bool created = false;

    void add(const char* begin, const char* end)
    {
        if (count == static_cast<int>(tokens.size()))
            tokens.resize(tokens.size() * 2 + 16);
        tokens[count++] = std::string_view(begin, static_cast<size_t>(end - begin));
    }
};

// Constant-initialised, so reading a token costs no guard of a function-local static.
// (clang 14 cannot evaluate libstdc++'s std::string constructor at compile time; there
// the list is a plain global, still without a guard.)
#if defined(__clang__) && __clang_major__ < 15
TokenList theTokenList;
#else
constinit TokenList theTokenList;
#endif

TokenList& tokenList()
{
    return theTokenList;
}

constexpr char Delimiter = ',';
constexpr char Quote = '"';

bool isBlank(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// What ends an unquoted token: a blank or the delimiter; one look-up per byte.
constexpr std::array<bool, 256> TokenEnds = [] {
    std::array<bool, 256> ends{};
    for (int code = 1; code <= 32; ++code)
        ends[static_cast<std::size_t>(code)] = true;
    ends[static_cast<unsigned char>(Delimiter)] = true;
    return ends;
}();

bool endsToken(char c)
{
    return TokenEnds[static_cast<unsigned char>(c)];
}

// Splits [p, end) into the list; quoted tokens are unescaped in place, so a text with
// quotes must be the list's own copy.
void splitInto(TokenList& list, char* p, char* const end)
{
    while (p < end && isBlank(*p))
        ++p;
    while (p < end) {
        if (*p == Quote) {
            // Up to the matching quote, a doubled quote standing for one; an unterminated
            // quote runs to the end of the text.
            char* out = p;
            const char* begin = out;
            ++p;
            while (p < end) {
                if (*p == Quote) {
                    if (p + 1 < end && p[1] == Quote) {
                        *out++ = Quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                *out++ = *p++;
            }
            list.add(begin, out);
        } else {
            const char* begin = p;
            while (p < end && !endsToken(*p))
                ++p;
            list.add(begin, p);
        }
        while (p < end && isBlank(*p))
            ++p;
        if (p < end && *p == Delimiter) {
            if (p + 1 == end)
                list.add(end, end);
            ++p;
            while (p < end && isBlank(*p))
                ++p;
        }
    }
}

} // namespace

void SplitLine(std::string_view line)
{
    TokenList& list = tokenList();
    list.created = true;
    list.count = 0;
    if (line.find(Quote) == std::string_view::npos) {
        // Nothing is written through the pointers of a text without quotes.
        char* begin = const_cast<char*>(line.data());
        splitInto(list, begin, begin + line.size());
        return;
    }
    list.text.assign(line);
    splitInto(list, list.text.data(), list.text.data() + list.text.size());
}

std::string commaTextField(std::string_view field)
{
    bool quote = false;
    for (char c : field) {
        if (static_cast<unsigned char>(c) <= ' ' || c == Delimiter || c == Quote) {
            quote = true;
            break;
        }
    }
    if (!quote)
        return std::string(field);
    std::string quoted(1, Quote);
    for (char c : field) {
        if (c == Quote)
            quoted += Quote;
        quoted += c;
    }
    quoted += Quote;
    return quoted;
}

void SplitWords(std::string_view line)
{
    // The tokens may view the text split, so it is kept in the list.
    TokenList& list = tokenList();
    std::string words = ReplaceText(std::string(line), " ", ",");
    list.text.swap(words);
    list.created = true;
    list.count = 0;
    splitInto(list, list.text.data(), list.text.data() + list.text.size());
    int kept = 0;
    for (int i = 0; i < list.count; ++i) {
        const std::string_view token = list.tokens[i];
        if (token.empty() || token == " " || token == "  ")
            continue;
        list.tokens[kept++] = token;
    }
    list.count = kept;
}

std::span<const std::string_view> Tokens()
{
    const TokenList& list = tokenList();
    return std::span(list.tokens.data(), static_cast<std::size_t>(list.count));
}

std::string_view TokenAt(int index)
{
    const TokenList& list = tokenList();
    if (!list.created) {
        notifyUser("text parser not initialized.");
        return {};
    }
    if (index < 0 || index >= list.count) {
        logLine("indexed failed at " + std::to_string(index) + ", text is: " + TokenListText());
        return {};
    }
    return list.tokens[index];
}

int TokenCount()
{
    return tokenList().count;
}

std::string TokenListText()
{
    const TokenList& list = tokenList();
    std::string text;
    for (int i = 0; i < list.count; ++i) {
        if (i > 0)
            text += ',';
        text += list.tokens[i];
    }
    return text;
}
