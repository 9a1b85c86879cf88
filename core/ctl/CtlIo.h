#pragma once

#include "core/util/Clock.h"
#include "core/util/Console.h"

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::ctl {

using Writer = std::function<void(std::string_view)>;

// Where a command writes and what it runs on: standard output and error in
// the program, strings in tests; the real clock, or a virtual one.
struct CtlIo {
    Writer out;
    Writer err;
    util::Clock* clock = &util::RealClock::instance();
    std::string version;
};

// A failure: its one line for standard error and the exit code.
struct Failure {
    int code;
    std::string message;
};

// The console (transport error lines, the hex trace, the plan store's and
// the timer's lines) while a command runs; the previous sink and trace
// setting come back at the end.
class ConsoleScope {
public:
    enum class Mode {
        Collect,     // kept, for the line that tells a failure; no trace
        ToErr,       // to standard error as they come, the trace included
        Timestamped, // each line stamped with the clock's date and time
    };
    ConsoleScope(Mode mode, Writer target, const util::Clock& clock, bool trace);
    ~ConsoleScope();
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;

    // The collected lines joined with "; ", and forgotten.
    std::string takeCollected();

private:
    std::mutex m_mutex;
    std::vector<std::string> m_collected;
    util::ConsoleSink m_previous;
    bool m_previousTrace;
};

// "2024-06-12 08:30:00.012" in local time.
std::string timestamp(util::Clock::WallTime when);

} // namespace omnar::ctl
