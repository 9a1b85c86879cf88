#include "core/link/Trace.h"

#include "core/link/Frame.h"
#include "core/util/Console.h"

#include <atomic>
#include <cstdio>
#include <ctime>

namespace omnar::link {

std::string formatTraceLine(int hour, int minute, int second, int millisecond, Direction dir,
                            const std::uint8_t* data, std::size_t n)
{
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d-%03d %s ", hour, minute, second, millisecond,
                  dir == Direction::Out ? "->" : "<-");
    return stamp + hexBytes(data, n) + "\n";
}

std::string traceLine(util::Clock::WallTime when, Direction dir, const std::uint8_t* data, std::size_t n)
{
    using namespace std::chrono;
    const auto t = system_clock::to_time_t(time_point_cast<system_clock::duration>(when));
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count() % 1000;
    return formatTraceLine(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms < 0 ? ms + 1000 : ms),
                           dir, data, n);
}

namespace {
std::atomic<bool> g_traceEnabled{true};
} // namespace

void setTraceEnabled(bool on)
{
    g_traceEnabled = on;
}

bool traceEnabled()
{
    return g_traceEnabled;
}

void printTrace(const util::Clock& clock, Direction dir, const std::uint8_t* data, std::size_t n)
{
    if (!g_traceEnabled)
        return;
    util::consolePrint(traceLine(clock.wallNow(), dir, data, n));
}

} // namespace omnar::link
