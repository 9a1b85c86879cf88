#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace omnar::util {

// The console: transport error lines and the hex trace go here. Writes are
// whole lines under one lock, so lines of different threads never interleave.
// Tests install a sink to read what was printed.
void consolePrint(std::string_view text);

using ConsoleSink = std::function<void(std::string_view)>;
// Replaces the sink (an empty one restores standard output); returns the previous one.
ConsoleSink setConsoleSink(ConsoleSink sink);

// "GetLastError: <system text>\n" for an errno value.
std::string errorLine(int errnoValue);

} // namespace omnar::util
