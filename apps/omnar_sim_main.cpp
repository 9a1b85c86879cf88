// omnar-sim: a virtual video processor on a TCP port and/or a pseudo-terminal.

#include "core/link/Sources.h"
#include "core/setup/Resolution.h"
#include "core/util/Console.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <pthread.h>
#include <string>

namespace {

using omnar::sim::SimOptions;

constexpr const char* kUsage =
    "Usage: omnar-sim [--tcp [HOST:]PORT] [--pty LINK] [options]\n"
    "A virtual video processor that answers the control panel's frames and\n"
    "prints every frame it receives (<-) and sends (->).\n"
    "\n"
    "Where it listens (at least one):\n"
    "  --tcp [HOST:]PORT      one TCP client at a time; HOST defaults to 127.0.0.1,\n"
    "                         PORT 0 picks a free port\n"
    "  --pty LINK             a pseudo-terminal; LINK becomes a symlink to its device\n"
    "                         (a stale symlink is replaced, \"-\" makes none)\n"
    "\n"
    "The device:\n"
    "  --id N                 device id 1..255 (default 1)\n"
    "  --signal LIST          inputs with a signal, e.g. V1,VGA,HDMI,DVI (or all, none);\n"
    "                         every other input has none (default: all)\n"
    "  --no-signal LIST       inputs without a signal; every other input has one\n"
    "  --ext-sub N|NAME       EXT. sub-source 0..5 or NULL, SDI, VGA, DVI, VIDEO, USB\n"
    "                         (default SDI)\n"
    "  --ypbpr                run the V2 input as YPbPr\n"
    "  --brightness-range N   brightness range 64 (default) or 100\n"
    "  --reply-delay MS       time the device takes to answer a query (default 20)\n"
    "  --relock MS            after a change of output resolution, hear nothing for\n"
    "                         this long (default 0: the change is immediate)\n"
    "\n"
    "The state it starts in:\n"
    "  --resolution N         output resolution index 0..15, or 16 for the custom\n"
    "                         timing (default 6, 1920x1080@60Hz)\n"
    "  --custom WxH[@HZ]      the custom timing, e.g. 1280x720@60 (default\n"
    "                         1920x1080@60); selects it unless --resolution is given\n"
    "  --source N|NAME        main source (default V1)\n"
    "  --pip                  PIP/PBP window open\n"
    "  --layout M1|M2|M3      PIP layout (default M1)\n"
    "  --bypass               BYPASS on\n"
    "  --mosaic               MOSAIC on\n"
    "  --sync                 mosaic mode Sync (default No Sync)\n"
    "  --no-valid-state       the status reports no valid state (byte 6 = 0xFF)\n"
    "\n"
    "Faults:\n"
    "  --split LIST           send each reply in pieces of these sizes, e.g. 5,8\n"
    "  --split-gap MS         pause between the pieces (default 30)\n"
    "  --drop SHARE           leave this share (0..1) of the queries unanswered\n"
    "  --seed N               seed of --drop and --corrupt-share (default 1)\n"
    "  --corrupt BYTES        spoil reply bytes: INDEX[=VALUE],... (no value: invert);\n"
    "                         e.g. 0=0x06 or 2,7\n"
    "  --corrupt-share SHARE  share (0..1) of the replies to spoil (default 1)\n"
    "  --answer-id N          answer with device id N in byte 1\n"
    "  --close-after N        TCP: hang up once the client has sent N frames\n"
    "  --silent               never answer\n"
    "\n"
    "  --quiet                do not print the frame trace\n"
    "  --log FILE             write the frame trace to FILE (started afresh) instead\n"
    "                         of the console, so it does not mix with the panel's\n"
    "  -h, --help             this text\n";

enum Option {
    kTcp = 1000,
    kPty,
    kId,
    kSignal,
    kNoSignal,
    kExtSub,
    kYPbPr,
    kBrightnessRange,
    kResolution,
    kCustom,
    kSource,
    kPip,
    kLayout,
    kBypass,
    kMosaic,
    kSync,
    kNoValidState,
    kReplyDelay,
    kRelock,
    kSplit,
    kSplitGap,
    kDrop,
    kSeed,
    kCorrupt,
    kCorruptShare,
    kAnswerId,
    kCloseAfter,
    kSilent,
    kQuiet,
    kLog,
};

int usageError(const std::string& message)
{
    std::fprintf(stderr, "omnar-sim: %s\nTry 'omnar-sim --help'.\n", message.c_str());
    return 2;
}

bool parseTcp(const std::string& text, std::string& host, std::uint16_t& port)
{
    const auto colon = text.rfind(':');
    host = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    const auto number = omnar::sim::parseNumber(colon == std::string::npos ? text : text.substr(colon + 1), 0, 65535);
    if (host.empty() || !number)
        return false;
    port = static_cast<std::uint16_t>(*number);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Live trace through a pipe (script/run) as well as on a terminal.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    static const option longOptions[] = {
        {"tcp", required_argument, nullptr, kTcp},
        {"pty", required_argument, nullptr, kPty},
        {"id", required_argument, nullptr, kId},
        {"signal", required_argument, nullptr, kSignal},
        {"no-signal", required_argument, nullptr, kNoSignal},
        {"ext-sub", required_argument, nullptr, kExtSub},
        {"ypbpr", no_argument, nullptr, kYPbPr},
        {"brightness-range", required_argument, nullptr, kBrightnessRange},
        {"resolution", required_argument, nullptr, kResolution},
        {"custom", required_argument, nullptr, kCustom},
        {"source", required_argument, nullptr, kSource},
        {"pip", no_argument, nullptr, kPip},
        {"layout", required_argument, nullptr, kLayout},
        {"bypass", no_argument, nullptr, kBypass},
        {"mosaic", no_argument, nullptr, kMosaic},
        {"sync", no_argument, nullptr, kSync},
        {"no-valid-state", no_argument, nullptr, kNoValidState},
        {"reply-delay", required_argument, nullptr, kReplyDelay},
        {"relock", required_argument, nullptr, kRelock},
        {"split", required_argument, nullptr, kSplit},
        {"split-gap", required_argument, nullptr, kSplitGap},
        {"drop", required_argument, nullptr, kDrop},
        {"seed", required_argument, nullptr, kSeed},
        {"corrupt", required_argument, nullptr, kCorrupt},
        {"corrupt-share", required_argument, nullptr, kCorruptShare},
        {"answer-id", required_argument, nullptr, kAnswerId},
        {"close-after", required_argument, nullptr, kCloseAfter},
        {"silent", no_argument, nullptr, kSilent},
        {"quiet", no_argument, nullptr, kQuiet},
        {"log", required_argument, nullptr, kLog},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };

    SimOptions opts;
    bool wantTcp = false, wantPty = false, resolutionGiven = false, customGiven = false;
    std::string tcpHost, ptyLink, logPath;
    std::uint16_t tcpPort = 0;

    opterr = 0;
    for (;;) {
        const int c = getopt_long(argc, argv, "h", longOptions, nullptr);
        if (c == -1)
            break;
        const std::string arg = optarg ? optarg : "";
        const auto bad = [&](const char* what) { return usageError(std::string("bad ") + what + ": '" + arg + "'"); };
        switch (c) {
        case 'h':
            std::fputs(kUsage, stdout);
            return 0;
        case kTcp:
            if (!parseTcp(arg, tcpHost, tcpPort))
                return bad("--tcp, expected [HOST:]PORT");
            wantTcp = true;
            break;
        case kPty:
            if (arg.empty())
                return bad("--pty link path");
            wantPty = true;
            ptyLink = arg == "-" ? "" : arg;
            break;
        case kId:
        case kAnswerId: {
            auto n = omnar::sim::parseNumber(arg, 1, 255);
            if (!n)
                return bad(c == kId ? "--id, expected 1..255" : "--answer-id, expected 1..255");
            (c == kId ? opts.deviceId : opts.answerId.emplace()) = static_cast<std::uint8_t>(*n);
            break;
        }
        case kSignal:
        case kNoSignal: {
            auto mask = omnar::sim::parseInputList(arg);
            if (!mask)
                return bad(c == kSignal ? "--signal list" : "--no-signal list");
            for (std::size_t i = 0; i < mask->size(); ++i)
                opts.signal[i] = c == kSignal ? (*mask)[i] : !(*mask)[i];
            break;
        }
        case kExtSub: {
            auto n = omnar::sim::parseExtSubSource(arg);
            if (!n)
                return bad("--ext-sub");
            opts.extSubSource = *n;
            break;
        }
        case kYPbPr:
            opts.ypbpr = true;
            break;
        case kBrightnessRange:
            if (arg != "64" && arg != "100")
                return bad("--brightness-range, expected 64 or 100");
            opts.brightnessRange = arg == "100" ? 1 : 0;
            break;
        case kResolution: {
            auto n = omnar::sim::parseNumber(arg, 0, omnar::setup::kCustomResolutionIndex);
            if (!n)
                return bad("--resolution, expected 0..16");
            opts.resolutionIndex = static_cast<int>(*n);
            resolutionGiven = true;
            break;
        }
        case kCustom: {
            auto timing = omnar::sim::parseCustomResolution(arg);
            if (!timing)
                return bad("--custom, expected WxH[@HZ] like 1280x720@60");
            opts.custom = *timing;
            customGiven = true;
            break;
        }
        case kSource: {
            auto code = omnar::sim::parseSource(arg);
            if (!code)
                return bad("--source");
            opts.mainSource = *code;
            break;
        }
        case kPip:
            opts.pipOpen = true;
            break;
        case kLayout: {
            auto layout = omnar::sim::parseLayout(arg);
            if (!layout)
                return bad("--layout, expected M1, M2 or M3");
            opts.pipLayout = *layout;
            break;
        }
        case kBypass:
            opts.bypass = true;
            break;
        case kMosaic:
            opts.mosaic = true;
            break;
        case kSync:
            opts.syncMosaic = true;
            break;
        case kNoValidState:
            opts.stateValid = false;
            break;
        case kReplyDelay:
        case kRelock:
        case kSplitGap: {
            auto n = omnar::sim::parseNumber(arg, 0, 600000);
            if (!n)
                return bad(c == kReplyDelay ? "--reply-delay" : c == kRelock ? "--relock" : "--split-gap");
            (c == kReplyDelay ? opts.replyDelay : c == kRelock ? opts.relock : opts.splitGap) =
                std::chrono::milliseconds{*n};
            break;
        }
        case kSplit: {
            auto sizes = omnar::sim::parseSizeList(arg);
            if (!sizes)
                return bad("--split, expected sizes 1..13 like 5,8");
            opts.split = *sizes;
            break;
        }
        case kDrop:
        case kCorruptShare: {
            auto share = omnar::sim::parseShare(arg);
            if (!share)
                return bad(c == kDrop ? "--drop, expected 0..1" : "--corrupt-share, expected 0..1");
            (c == kDrop ? opts.dropRate : opts.corruptShare) = *share;
            break;
        }
        case kSeed: {
            auto n = omnar::sim::parseNumber(arg, 0, 4294967295L);
            if (!n)
                return bad("--seed");
            opts.seed = static_cast<unsigned>(*n);
            break;
        }
        case kCorrupt: {
            auto bytes = omnar::sim::parseCorruption(arg);
            if (!bytes)
                return bad("--corrupt, expected INDEX[=VALUE],... with INDEX 0..12");
            opts.corrupt = *bytes;
            break;
        }
        case kCloseAfter: {
            auto n = omnar::sim::parseNumber(arg, 1, 1000000000L);
            if (!n)
                return bad("--close-after");
            opts.closeAfter = static_cast<std::size_t>(*n);
            break;
        }
        case kSilent:
            opts.silent = true;
            break;
        case kQuiet:
            opts.trace = false;
            break;
        case kLog:
            if (arg.empty())
                return bad("--log file");
            logPath = arg;
            break;
        default:
            return usageError(std::string("unknown or incomplete option '") + argv[optind - 1] + "'");
        }
    }
    if (optind < argc)
        return usageError(std::string("unexpected argument '") + argv[optind] + "'");
    if (!wantTcp && !wantPty)
        return usageError("give --tcp and/or --pty");
    if (customGiven && !resolutionGiven)
        opts.resolutionIndex = omnar::setup::kCustomResolutionIndex;

    std::FILE* log = nullptr;
    if (!logPath.empty()) {
        log = std::fopen(logPath.c_str(), "w");
        if (!log) {
            std::fprintf(stderr, "omnar-sim: cannot write the log %s: %s\n", logPath.c_str(), std::strerror(errno));
            return 1;
        }
    }

    // Signals are taken by sigwait below; blocked before the server thread
    // exists, so it inherits the mask and never gets one delivered.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    omnar::sim::SimServer server(opts);
    if (wantTcp && !server.listenTcp(tcpHost, tcpPort)) {
        std::fprintf(stderr, "omnar-sim: cannot listen on %s:%u: %s\n", tcpHost.c_str(), unsigned{tcpPort},
                     server.lastError().c_str());
        return 1;
    }
    if (wantPty && !server.openPty(ptyLink)) {
        std::fprintf(stderr, "omnar-sim: cannot open a pseudo-terminal: %s\n", server.lastError().c_str());
        return 1;
    }

    std::string banner = "omnar-sim: device id " + std::to_string(opts.deviceId) + ", output ";
    if (opts.resolutionIndex == omnar::setup::kCustomResolutionIndex)
        banner += std::to_string(opts.custom.width) + "x" + std::to_string(opts.custom.height) + "@" +
                  std::to_string(opts.custom.refresh) + "Hz (custom)\n";
    else
        banner += std::string(omnar::setup::resolutionName(opts.resolutionIndex)) + "\n";
    if (wantPty)
        banner += "omnar-sim: pty " + server.ptyPath() + (ptyLink.empty() ? "" : " (link " + ptyLink + ")") + "\n";
    if (wantTcp)
        banner += "omnar-sim: tcp " + tcpHost + ":" + std::to_string(server.tcpPort()) + "\n";
    if (log)
        banner += "omnar-sim: frame trace in " + logPath + "\n";
    omnar::util::consolePrint(banner);
    if (log) {
        std::fputs(banner.c_str(), log);
        omnar::util::setConsoleSink([log](std::string_view text) {
            std::fwrite(text.data(), 1, text.size(), log);
            std::fflush(log);
        });
    }

    server.start();
    int sig = 0;
    sigwait(&stopSignals, &sig);
    server.stop();
    if (log) {
        omnar::util::setConsoleSink({});
        std::fclose(log);
    }
    omnar::util::consolePrint("omnar-sim: stopped\n");
    return 0;
}
