// omnar-sim: a virtual video processor on a TCP port and/or a pseudo-terminal.

#include "core/link/Sources.h"
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
    "  --reply-delay MS       time the device takes to answer a query (default 20)\n"
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
    kReplyDelay,
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
        {"reply-delay", required_argument, nullptr, kReplyDelay},
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
    bool wantTcp = false, wantPty = false;
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
        case kReplyDelay:
        case kSplitGap: {
            auto n = omnar::sim::parseNumber(arg, 0, 600000);
            if (!n)
                return bad(c == kReplyDelay ? "--reply-delay" : "--split-gap");
            (c == kReplyDelay ? opts.replyDelay : opts.splitGap) = std::chrono::milliseconds{*n};
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

    std::string banner = "omnar-sim: device id " + std::to_string(opts.deviceId) + "\n";
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
