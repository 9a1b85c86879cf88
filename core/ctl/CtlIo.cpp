#include "core/ctl/CtlIo.h"

#include "core/link/Trace.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace omnar::ctl {

std::string timestamp(util::Clock::WallTime when)
{
    using namespace std::chrono;
    const auto t = system_clock::to_time_t(time_point_cast<system_clock::duration>(when));
    std::tm local{};
    localtime_r(&t, &local);
    long long ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    if (ms < 0)
        ms += 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03lld", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
    return buf;
}

ConsoleScope::ConsoleScope(Mode mode, Writer target, const util::Clock& clock, bool trace)
    : m_previousTrace(link::traceEnabled())
{
    link::setTraceEnabled(trace);
    util::ConsoleSink sink;
    switch (mode) {
    case Mode::Collect:
        sink = [this](std::string_view text) {
            std::lock_guard lock(m_mutex);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.remove_suffix(1);
            if (!text.empty())
                m_collected.emplace_back(text);
        };
        break;
    case Mode::ToErr:
        sink = std::move(target);
        break;
    case Mode::Timestamped:
        sink = [target = std::move(target), &clock](std::string_view text) {
            // Every line of the log carries the moment, also in a text of several.
            const std::string stamp = timestamp(clock.wallNow()) + " ";
            std::string out;
            std::size_t start = 0;
            while (start < text.size()) {
                const auto end = text.find('\n', start);
                const auto stop = end == std::string_view::npos ? text.size() : end + 1;
                out += stamp;
                out += text.substr(start, stop - start);
                start = stop;
            }
            target(out);
        };
        break;
    }
    m_previous = util::setConsoleSink(std::move(sink));
}

ConsoleScope::~ConsoleScope()
{
    util::setConsoleSink(std::move(m_previous));
    link::setTraceEnabled(m_previousTrace);
}

std::string ConsoleScope::takeCollected()
{
    std::lock_guard lock(m_mutex);
    std::string joined;
    for (const auto& line : m_collected)
        joined += (joined.empty() ? "" : "; ") + line;
    m_collected.clear();
    return joined;
}

} // namespace omnar::ctl
