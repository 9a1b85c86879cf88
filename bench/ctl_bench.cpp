// omnar-ctl as scripts and systemd run it, against omnar-sim in a process of
// its own:
//   a. `omnar-ctl status` wall time, whole process, and what of it is ours
//      (the rest is the device's pacing: two replies, each awaited in 100 ms
//      polls and followed by a 200 ms pause);
//   b. the timer service's CPU while idle (connected, polling, no plan due);
//   c. the timer's plan lateness: the moment each switch frame went out
//      against its plan's second, as the timer logs it.
//   ctl_bench [--runs N] [--idle SECONDS] [--plans N] [--ctl PATH] [--sim PATH]

#include "bench/BenchProcess.h"
#include "bench/BenchStats.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace omnar::bench;
using namespace std::chrono;
namespace fs = std::filesystem;

struct Args {
    int runs = 10;
    int idleSeconds = 60;
    int plans = 3;
    std::string ctl = OMNAR_CTL_PATH;
    std::string sim = OMNAR_SIM_PATH;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool waitForText(const std::string& path, const std::string& text, seconds limit)
{
    const auto end = steady_clock::now() + limit;
    while (steady_clock::now() < end) {
        if (readFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

std::string hms(std::time_t t)
{
    std::tm local{};
    localtime_r(&t, &local);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return buf;
}

bool parseArgs(int argc, char** argv, Args& a)
{
    for (int i = 1; i < argc; ++i) {
        const std::string s = argv[i];
        const bool value = i + 1 < argc;
        if (s == "--runs" && value)
            a.runs = std::max(1, std::atoi(argv[++i]));
        else if (s == "--idle" && value)
            a.idleSeconds = std::max(1, std::atoi(argv[++i]));
        else if (s == "--plans" && value)
            a.plans = std::max(1, std::atoi(argv[++i]));
        else if (s == "--ctl" && value)
            a.ctl = argv[++i];
        else if (s == "--sim" && value)
            a.sim = argv[++i];
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Args args;
    if (!parseArgs(argc, argv, args)) {
        std::fprintf(stderr, "usage: ctl_bench [--runs N] [--idle SECONDS] [--plans N] [--ctl PATH] [--sim PATH]\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    char pattern[] = "/tmp/omnar-ctl-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string dir = pattern;
    const pid_t sim = spawnProcess({args.sim, "--tcp", "0", "--quiet"}, dir + "/sim.log");
    std::smatch m;
    std::string port;
    for (int i = 0; i < 100 && port.empty(); ++i) {
        const std::string log = readFile(dir + "/sim.log");
        if (std::regex_search(log, m, std::regex("tcp 127\\.0\\.0\\.1:([0-9]+)")))
            port = m[1];
        else
            std::this_thread::sleep_for(50ms);
    }
    if (port.empty()) {
        std::printf("omnar-sim gave no port\n");
        stopProcess(sim);
        return 1;
    }
    bool ok = true;

    // a. status, whole process.
    std::vector<double> walls, cpus;
    for (int i = 0; i < args.runs; ++i) {
        const auto t0 = steady_clock::now();
        const pid_t p = spawnProcess({args.ctl, "--tcp", "127.0.0.1:" + port, "status"}, dir + "/status.out");
        int status = 0;
        rusage r{};
        wait4(p, &status, 0, &r);
        walls.push_back(duration<double, std::milli>(steady_clock::now() - t0).count());
        cpus.push_back((r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1e3 + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e3);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    const double pacing = 2 * (100 + 200);
    const Stats wall = stats(walls);
    std::printf("a. omnar-ctl status, %d runs: wall median %.1f ms (min %.1f, max %.1f), CPU median %.1f ms\n",
                args.runs, wall.median, *std::min_element(walls.begin(), walls.end()), wall.worst,
                stats(cpus).median);
    std::printf("   device pacing %.0f ms (identification and status reply: a 100 ms poll and a 200 ms pause each);"
                " ours %.1f ms\n", pacing, wall.median - pacing);

    // b. idle timer: connected, polling, nothing due for an hour.
    const std::string profile = dir + "/Planinfo.ini";
    const auto now = system_clock::to_time_t(system_clock::now());
    {
        std::ofstream f(profile);
        f << "[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=" << port << "\n[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0="
          << hms(now + 3600) << ",4\n";
    }
    pid_t timer = spawnProcess({args.ctl, "--config", profile, "timer"}, dir + "/idle.log");
    if (!waitForText(dir + "/idle.log", "Communications equipment normal", 20s)) {
        std::printf("b. the timer did not connect:\n%s\n", readFile(dir + "/idle.log").c_str());
        ok = false;
    } else {
        std::this_thread::sleep_for(2s);
        const double c0 = procCpuSeconds(timer);
        const auto t0 = steady_clock::now();
        std::this_thread::sleep_for(seconds(args.idleSeconds));
        const double wall = duration<double>(steady_clock::now() - t0).count();
        const double cpu = procCpuSeconds(timer) - c0;
        std::printf("b. timer idle over %.1f s: %.3f s CPU = %.3f %% of one core (target < 0.5 %%) %s\n", wall, cpu,
                    100 * cpu / wall, verdict(100 * cpu / wall < 0.5));
    }
    stopProcess(timer);

    // c. lateness: plans 11 s apart from a few seconds on.
    const auto start = system_clock::to_time_t(system_clock::now()) + 4;
    {
        std::ofstream f(profile);
        f << "[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=" << port << "\n[PLANCOUNT]\ndaytimecount=" << args.plans
          << "\n[DAYTIME]\n";
        for (int i = 0; i < args.plans; ++i)
            f << "Time" << i << "=" << hms(start + 11 * i) << "," << (i % 2 ? 4 : 5) << "\n";
    }
    timer = spawnProcess({args.ctl, "--config", profile, "timer"}, dir + "/plans.log");
    const std::string last = "plan " + hms(start + 11 * (args.plans - 1));
    if (!waitForText(dir + "/plans.log", last + " " + (args.plans % 2 ? "DVI" : "HDMI") + " sent",
                     seconds(20 + 11 * args.plans))) {
        std::printf("c. not every plan was sent:\n%s\n", readFile(dir + "/plans.log").c_str());
        ok = false;
    } else {
        const std::string log = readFile(dir + "/plans.log");
        std::vector<double> late;
        const std::regex lateness("\\((-?[0-9]+) ms late\\)");
        for (std::sregex_iterator it(log.begin(), log.end(), lateness), end; it != end; ++it)
            late.push_back(std::stod((*it)[1]));
        const Stats l = stats(late);
        std::printf("c. plan lateness over %zu plans: median %.0f ms, max %.0f ms (target < 100 ms) %s\n", late.size(),
                    l.median, l.worst, verdict(!late.empty() && l.worst < 100));
    }
    stopProcess(timer);
    stopProcess(sim);
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
