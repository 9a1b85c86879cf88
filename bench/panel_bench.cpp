// Control-panel timings against the virtual processor over a pseudo-terminal:
//  a. key press to the last byte of its frame on the wire, with no command in flight;
//  b. the longest stall of the GUI thread while connecting, polling and sending;
//  c. the CPU use of a connected, idle panel (and of omnar-sim beside it).
//
// Usage: panel_bench [--presses N] [--idle SECONDS] [--sim PATH]

#include "bench/BenchPanel.h"
#include "bench/BenchProcess.h"
#include "bench/BenchStats.h"
#include "bench/GuiStallMeters.h"
#include "core/link/LinkSession.h"
#include "core/panel/PanelIds.h"
#include "core/util/Console.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#ifndef OMNAR_SIM_PATH
#define OMNAR_SIM_PATH "omnar-sim"
#endif

using namespace omnar;
using namespace omnar::bench;
using namespace omnar::panel::ids;
using namespace std::chrono;

namespace {

constexpr std::uint8_t kFreezeCode = 0x29;

struct Args {
    int presses = 50;
    int idleSeconds = 30;
    std::string simPath = OMNAR_SIM_PATH;
};

// Sees a control go disabled and then enabled again: one command done.
class EnableWatch : public QObject {
public:
    explicit EnableWatch(QWidget* w)
        : m_widget(w)
    {
        w->installEventFilter(this);
    }
    void reset() { m_sawDisabled = m_reenabled = false; }
    bool reenabled() const { return m_reenabled; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::EnabledChange) {
            if (!m_widget->isEnabled())
                m_sawDisabled = true;
            else if (m_sawDisabled)
                m_reenabled = true;
        }
        return false;
    }

private:
    QWidget* m_widget;
    bool m_sawDisabled = false;
    bool m_reenabled = false;
};

// ---------------------------------------------------------------- a + b

bool keyToWireAndStalls(TimedApplication& app, const Args& args)
{
    sim::SimOptions so;
    so.trace = false;
    sim::SimServer sim(so);
    if (!sim.openPty()) {
        std::printf("cannot open a pseudo-terminal: %s\n", sim.lastError().c_str());
        return false;
    }
    sim.start();

    BenchPanel panel(sim.ptyPath());
    TickProbe probe;
    probe.start();
    app.startMeasuring();
    const auto runStart = steady_clock::now();

    if (!panel.connect()) {
        std::printf("connect failed: %s\n", panel.dlg->infoText().toStdString().c_str());
        return false;
    }
    const Ms connectTime = steady_clock::now() - runStart;
    runFor(seconds(5)); // idle polling

    QAbstractButton* freeze = panel.button(IDC_KEY_FREEZE);
    QWidget* groupMember = panel.dlg->control(IDC_PROGRAM); // in the group; the status decoder leaves it alone
    EnableWatch done(groupMember);
    std::mutex& linkLock = panel.controller->session().link().lock();
    std::mt19937 rng(1);
    // Presses land anywhere in the poller's 1300 ms cycle, as an operator's would.
    std::uniform_int_distribution<int> phase(0, 1300);

    std::vector<double> all, linkFree, busy;
    for (int i = 0; i < args.presses; ++i) {
        runFor(milliseconds(phase(rng)));
        if (!runUntil([&] { return freeze->isEnabled() && groupMember->isEnabled(); })) {
            std::printf("press %d: FREEZE never enabled\n", i);
            return false;
        }
        // Never waits: only tells whether the poller holds the link right now.
        const bool linkBusy = !linkLock.try_lock();
        if (!linkBusy)
            linkLock.unlock();
        const std::size_t before = sim.framesReceived();
        done.reset();

        const auto t0 = steady_clock::now();
        freeze->click();

        steady_clock::time_point onWire{};
        const bool seen = runUntil([&] {
            const auto frames = sim.received();
            for (std::size_t k = before; k < frames.size(); ++k)
                if (frames[k].frame[2] == kFreezeCode) {
                    onWire = frames[k].lastByteAt;
                    return true;
                }
            return false;
        });
        if (!seen) {
            std::printf("press %d: the FREEZE frame never reached the wire\n", i);
            return false;
        }
        const double ms = Ms(onWire - t0).count();
        all.push_back(ms);
        (linkBusy ? busy : linkFree).push_back(ms);
        if (!runUntil([&] { return done.reenabled(); })) {
            std::printf("press %d: the command never finished\n", i);
            return false;
        }
    }
    const Ms runTime = steady_clock::now() - runStart;
    app.stopMeasuring();
    probe.stop();

    const auto a = stats(all);
    std::printf("a. key-to-wire (FREEZE click -> last byte of its frame at the device), %zu presses, no command in flight:\n",
                all.size());
    std::printf("   all:            median %7.2f ms  p90 %7.2f ms  worst %7.2f ms   (target: median < 20 ms) %s\n",
                a.median, a.p90, a.worst, verdict(a.median < 20));
    if (!linkFree.empty()) {
        const auto f = stats(linkFree);
        std::printf("   link free (%2zu): median %7.2f ms  p90 %7.2f ms  worst %7.2f ms\n", linkFree.size(), f.median,
                    f.p90, f.worst);
    }
    if (!busy.empty()) {
        const auto b = stats(busy);
        std::printf("   poller held the link (%2zu): median %7.2f ms  worst %7.2f ms  (waits out its 100 ms poll + 200 ms pause)\n",
                    busy.size(), b.median, b.worst);
    }
    std::printf("b. GUI thread over %.1f s (connect %.0f ms, 5 s of polling, %d keys):\n", runTime.count() / 1000,
                connectTime.count(), args.presses);
    printStalls(app, probe);

    panel.button(IDC_DISCONNECT)->click();
    sim.stop();
    return panel.boxes == 0;
}

// ---------------------------------------------------------------- c

bool idleCpu(const Args& args)
{
    QTemporaryDir dir;
    const std::string link = dir.filePath(QStringLiteral("link")).toStdString();

    const pid_t simPid = spawnProcess({args.simPath, "--pty", link, "--quiet"}, "/dev/null", false);
    if (simPid < 0) {
        std::printf("c. cannot start %s: %s (use --sim PATH)\n", args.simPath.c_str(), std::strerror(errno));
        return false;
    }
    bool exited = false;
    auto stopSim = [&] {
        if (!exited)
            stopProcess(simPid);
        exited = true;
    };
    runUntil(
        [&] {
            exited = exited || waitpid(simPid, nullptr, WNOHANG) == simPid;
            return exited || std::filesystem::exists(link);
        },
        seconds(10));
    if (exited || !std::filesystem::exists(link)) {
        std::printf("c. omnar-sim made no pseudo-terminal\n");
        stopSim();
        return false;
    }

    bool ok = false;
    {
        BenchPanel panel(link);
        if (panel.connect()) {
            runFor(seconds(2)); // first polls and their allocations out of the way
            const double self0 = selfCpuSeconds(), sim0 = procCpuSeconds(simPid);
            const auto t0 = steady_clock::now();
            runFor(seconds(args.idleSeconds));
            const double wall = duration<double>(steady_clock::now() - t0).count();
            const double self = selfCpuSeconds() - self0, simCpu = procCpuSeconds(simPid) - sim0;
            std::printf("c. connected, idle, over %.1f s (omnar-sim in its own process):\n", wall);
            std::printf("   panel:     %.3f s CPU = %.3f %% of one core   (target: < 1 %%) %s\n", self,
                        100 * self / wall, verdict(100 * self / wall < 1));
            std::printf("   omnar-sim: %.3f s CPU = %.3f %% of one core\n", simCpu, 100 * simCpu / wall);
            ok = panel.boxes == 0;
            panel.button(IDC_DISCONNECT)->click();
        } else {
            std::printf("c. connect failed: %s\n", panel.dlg->infoText().toStdString().c_str());
        }
    }
    stopSim();
    return ok;
}

bool parseArgs(int argc, char** argv, Args& args)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--presses" && hasValue)
            args.presses = std::max(1, std::atoi(argv[++i]));
        else if (a == "--idle" && hasValue)
            args.idleSeconds = std::max(1, std::atoi(argv[++i]));
        else if (a == "--sim" && hasValue)
            args.simPath = argv[++i];
        else {
            std::fprintf(stderr, "usage: panel_bench [--presses N] [--idle SECONDS] [--sim PATH]\n");
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Args args;
    if (!parseArgs(argc, argv, args))
        return 2;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The serial trace is formatted as always but not printed, to keep the figures readable.
    util::setConsoleSink([](std::string_view) {});

    TimedApplication app(argc, argv);
    std::printf("panel_bench: Qt platform %s, %u hardware threads\n",
                QApplication::platformName().toStdString().c_str(), std::thread::hardware_concurrency());

    bool ok = keyToWireAndStalls(app, args);
    ok = idleCpu(args) && ok;
    return ok ? 0 : 1;
}
