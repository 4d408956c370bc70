#pragma once

#include <functional>
#include <string_view>

// Diagnostics of the core. Debug lines go to standard error; notices meant for the user
// go to whatever the windows install (standard error until then). Tests capture both.
using TextSink = std::function<void(std::string_view)>;

void logLine(std::string_view text);
void notifyUser(std::string_view text);

// Both return the sink they replace; an empty sink restores the default.
TextSink setLogSink(TextSink sink);
TextSink setUserNoticeSink(TextSink sink);
