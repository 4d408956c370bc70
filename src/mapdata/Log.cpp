#include "Log.h"

#include <cstdio>
#include <utility>

namespace {

TextSink& logSink()
{
    static TextSink sink;
    return sink;
}

TextSink& noticeSink()
{
    static TextSink sink;
    return sink;
}

void writeToStderr(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

} // namespace

void logLine(std::string_view text)
{
    if (logSink())
        logSink()(text);
    else
        writeToStderr(text);
}

void notifyUser(std::string_view text)
{
    if (noticeSink())
        noticeSink()(text);
    else
        writeToStderr(text);
}

TextSink setLogSink(TextSink sink)
{
    return std::exchange(logSink(), std::move(sink));
}

TextSink setUserNoticeSink(TextSink sink)
{
    return std::exchange(noticeSink(), std::move(sink));
}
