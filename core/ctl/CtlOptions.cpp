#include "core/ctl/CtlOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace omnar::ctl {

namespace {

constexpr std::string_view kUsage =
    "usage: omnar-ctl [CONNECTION] [--config PATH] [--trace] [--json] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  status                          the device's state, one line per item (--json: one object)\n"
    "  switch SOURCE [--fade F]        press a source key: V1 V2 VGA VGA2 HDMI DVI DP EXT.\n"
    "                                  (F: 0 for a cut, 0.5, 1.0 or 1.5; default: the device's)\n"
    "  key NAME                        press a key: pip text bypass freeze mosaic auto m1 m2 m3\n"
    "  plans list [KIND]               the plans, as the plan editor lists them\n"
    "  plans add daily TIME SOURCE     add a plan (TIME as 08:30:00; SOURCE V1 V2 VGA HDMI DVI\n"
    "  plans add weekly WEEKDAY TIME SOURCE       EXT. or YPbPr); WEEKDAY 0..6 (0 Sunday) or\n"
    "  plans add monthly DAY TIME SOURCE          Sun..Sat; DAY 1..31; DATE as 2025-04-04\n"
    "  plans add once DATE TIME SOURCE\n"
    "  plans delete KIND N             delete plan TimeN of a list\n"
    "  plans today [--kinds K]         the plans of today in time order\n"
    "  timer [--kinds K]               run the plans of today (K: day,week,month,once; default\n"
    "                                  all) until SIGTERM or SIGINT\n"
    "\n"
    "Connection (default: the CONNECT section of the profile file, as the panel left it):\n"
    "  --port NAME                     serial port: COM1 (/dev/ttyS0), ttyUSB0, or a path\n"
    "  --tcp HOST:PORT                 network: an IPv4 address (or localhost) and a port\n"
    "  --id N                          device id 1..255\n"
    "\n"
    "Other options:\n"
    "  --config PATH                   profile file (default ./Planinfo.ini if it exists,\n"
    "                                  else ~/.config/omnar/Planinfo.ini)\n"
    "  --trace                         show the frame trace on standard error\n"
    "  --json                          status and plans as JSON\n"
    "  --help, --version\n"
    "\n"
    "Exit codes: 0 done, 2 unusable command line, 3 link failure, 4 refused, 5 profile file failure.\n";

// Options that take a value, and where it goes.
struct ValueOption {
    std::string_view name;
    std::optional<std::string> CtlOptions::*member;
};
constexpr std::array<ValueOption, 6> kValueOptions{{
    {"--port", &CtlOptions::port},
    {"--tcp", &CtlOptions::tcp},
    {"--id", &CtlOptions::id},
    {"--config", &CtlOptions::config},
    {"--fade", &CtlOptions::fade},
    {"--kinds", &CtlOptions::kinds},
}};

struct FlagOption {
    std::string_view name;
    bool CtlOptions::*member;
};
constexpr std::array<FlagOption, 5> kFlags{{
    {"--trace", &CtlOptions::trace},
    {"--json", &CtlOptions::json},
    {"--help", &CtlOptions::help},
    {"-h", &CtlOptions::help},
    {"--version", &CtlOptions::version},
}};

} // namespace

std::string_view usageText()
{
    return kUsage;
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args)
{
    ParsedCommandLine out;
    CtlOptions& o = out.options;
    bool onlyWords = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyWords || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            o.words.push_back(std::move(arg));
            continue;
        }
        if (arg == "--") {
            onlyWords = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); eq != std::string::npos && arg.starts_with("--")) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        bool known = false;
        for (const auto& v : kValueOptions) {
            if (arg != v.name)
                continue;
            known = true;
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    out.error = arg + " needs a value";
                    return out;
                }
                inlineValue = args[++i];
            }
            if (inlineValue->empty()) {
                out.error = arg + " needs a value";
                return out;
            }
            o.*(v.member) = *inlineValue;
        }
        for (const auto& f : kFlags) {
            if (arg != f.name)
                continue;
            known = true;
            if (inlineValue) {
                out.error = arg + " takes no value";
                return out;
            }
            o.*(f.member) = true;
        }
        if (!known) {
            out.error = "unknown option " + arg;
            return out;
        }
    }
    if (o.port && o.tcp)
        out.error = "--port and --tcp exclude each other";
    else if (!o.help && !o.version && o.words.empty())
        out.error = "no command given";
    return out;
}

std::string upper(std::string_view word)
{
    std::string out(word);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<int> decimal(std::string_view word, int lo, int hi, std::size_t maxDigits)
{
    if (word.empty() || word.size() > maxDigits
        || !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const long n = std::stol(std::string(word));
    if (n < lo || n > hi)
        return std::nullopt;
    return static_cast<int>(n);
}

} // namespace omnar::ctl
