#include "core/util/Console.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace omnar::util {

namespace {

std::mutex& consoleMutex()
{
    static std::mutex m;
    return m;
}

ConsoleSink& currentSink()
{
    static ConsoleSink sink;
    return sink;
}

} // namespace

void consolePrint(std::string_view text)
{
    std::lock_guard lock(consoleMutex());
    if (auto& sink = currentSink()) {
        sink(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

ConsoleSink setConsoleSink(ConsoleSink sink)
{
    std::lock_guard lock(consoleMutex());
    auto previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

std::string errorLine(int errnoValue)
{
    char buf[256];
    // GNU strerror_r returns the text (maybe not in buf).
    const char* text = strerror_r(errnoValue, buf, sizeof buf);
    return std::string("GetLastError: ") + text + "\n";
}

} // namespace omnar::util
