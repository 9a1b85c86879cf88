#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::ctl {

// How omnar-ctl ends. Scripts tell the failures apart by these.
enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 2,   // the command line cannot be used (unknown command, source, kind, time ...)
    kExitLink = 3,    // the port did not open, the device did not identify or answer, the link went away
    kExitRefused = 4, // a guard or a rule refused: the panel's key guards, the 10-second rule, a limit
    kExitFile = 5,    // the profile file could not be read or written
};

// The command line: options may stand anywhere, the rest is the command and
// its arguments.
struct CtlOptions {
    std::optional<std::string> port;   // --port NAME: serial
    std::optional<std::string> tcp;    // --tcp HOST:PORT
    std::optional<std::string> id;     // --id N
    std::optional<std::string> config; // --config PATH
    std::optional<std::string> fade;   // --fade 0|0.5|1.0|1.5 (switch)
    std::optional<std::string> kinds;  // --kinds day,week,month,once (timer, plans today)
    bool trace = false;
    bool json = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> words;    // the command and its arguments
};

struct ParsedCommandLine {
    CtlOptions options;
    std::string error; // empty when usable
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

// The --help text.
std::string_view usageText();

// The command's words: names compare in upper case, numbers are plain
// decimal digits (no sign, no blanks), at most `maxDigits` of them, within
// lo..hi.
std::string upper(std::string_view word);
std::optional<int> decimal(std::string_view word, int lo, int hi, std::size_t maxDigits);

} // namespace omnar::ctl
