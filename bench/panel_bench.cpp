// Control-panel timings against the virtual processor over a pseudo-terminal:
//  a. key press to the last byte of its frame on the wire, with no command in flight;
//  b. the longest stall of the GUI thread while connecting, polling and sending;
//  c. the CPU use of a connected, idle panel (and of omnar-sim beside it).
//
// Usage: panel_bench [--presses N] [--idle SECONDS] [--sim PATH]

#include "core/link/LinkSession.h"
#include "core/panel/PanelIds.h"
#include "core/util/Console.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef OMNAR_SIM_PATH
#define OMNAR_SIM_PATH "omnar-sim"
#endif

extern char** environ;

using namespace omnar;
using namespace omnar::gui::app;
using namespace omnar::panel::ids;
using namespace std::chrono;

namespace {

using Ms = duration<double, std::milli>;

constexpr std::uint8_t kFreezeCode = 0x29;

struct Args {
    int presses = 50;
    int idleSeconds = 30;
    std::string simPath = OMNAR_SIM_PATH;
};

// ---------------------------------------------------------------- GUI-thread stall meters

// Times event delivery. A stall is the longest stretch spent inside event
// handlers without the loop delivering anything else: a nested loop that keeps
// dispatching (the modal please-wait window) is not a stall, a handler that
// waits is.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    void startMeasuring()
    {
        m_measuring = true;
        m_longest = Ms{0};
        m_longestWhat.clear();
    }
    void stopMeasuring() { m_measuring = false; }
    Ms longest() const { return m_longest; }
    const std::string& longestWhat() const { return m_longestWhat; }

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (!m_measuring)
            return QApplication::notify(receiver, event);
        boundary(receiver, event);
        ++m_depth;
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        boundary(receiver, event);
        return handled;
    }

private:
    void boundary(QObject* receiver, QEvent* event)
    {
        const auto now = steady_clock::now();
        if (m_depth > 0) {
            const Ms gap = now - m_last;
            if (gap > m_longest) {
                m_longest = gap;
                std::ostringstream what;
                what << "event type " << int(event->type()) << " to " << receiver->metaObject()->className();
                if (!receiver->objectName().isEmpty())
                    what << " '" << receiver->objectName().toStdString() << "'";
                m_longestWhat = what.str();
            }
        }
        m_last = now;
    }

    bool m_measuring = false;
    int m_depth = 0;
    steady_clock::time_point m_last;
    Ms m_longest{0};
    std::string m_longestWhat;
};

// A 5 ms timer: how late each tick comes beyond its interval.
class TickProbe {
public:
    static constexpr int kIntervalMs = 5;

    TickProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const Ms since{double(m_clock.nsecsElapsed()) / 1e6};
            m_clock.restart();
            m_worst = std::max(m_worst, since - Ms{kIntervalMs});
            ++m_ticks;
        });
    }
    void start()
    {
        m_worst = Ms{0};
        m_ticks = 0;
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    Ms worstLateness() const { return m_worst; }
    long ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    Ms m_worst{0};
    long m_ticks = 0;
};

// ---------------------------------------------------------------- helpers

// Runs the event loop until `done` holds; false on timeout.
bool runUntil(const std::function<bool()>& done, milliseconds timeout = seconds(15))
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    bool ok = false;
    const auto deadline = steady_clock::now() + timeout;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            ok = true;
            loop.quit();
        } else if (steady_clock::now() >= deadline) {
            loop.quit();
        }
    });
    check.start(1);
    loop.exec();
    return ok;
}

void runFor(milliseconds d)
{
    QEventLoop loop;
    QTimer::singleShot(d, &loop, &QEventLoop::quit);
    loop.exec();
}

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

struct Stats {
    double median = 0, p90 = 0, worst = 0;
};

Stats stats(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    s.median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    s.p90 = v[std::min(n - 1, n * 9 / 10)];
    s.worst = v.back();
    return s;
}

// A panel with its controller, its profile file in a folder of its own and
// message boxes answered No (none are expected).
struct Panel {
    QTemporaryDir dir;
    std::unique_ptr<CZelvicControlDlg> dlg;
    PanelController* controller = nullptr;
    int boxes = 0;

    explicit Panel(const std::string& port)
    {
        CZelvicControlDlg::Options o;
        o.comPort = QString::fromStdString(port);
        o.configPath = dir.filePath(QStringLiteral("Planinfo.ini"));
        dlg = std::make_unique<CZelvicControlDlg>(o);
        dlg->setMessageHandler([this](const QString& caption, const QString& text) {
            ++boxes;
            std::printf("  (message box: %s | %s)\n", caption.toStdString().c_str(), text.toStdString().c_str());
            return false;
        });
        PanelController::Options co;
        co.portGiven = true;
        controller = new PanelController(*dlg, co); // owned by the panel
        controller->start();
        dlg->show();
    }
    QAbstractButton* button(int id) const { return qobject_cast<QAbstractButton*>(dlg->control(id)); }
    // Clicks Connect; the please-wait window runs modally until the sequence ends.
    bool connect()
    {
        bool finished = false, connected = false;
        QObject scope;
        QObject::connect(controller, &PanelController::connectFinished, &scope, [&](bool ok) {
            finished = true;
            connected = ok;
        });
        button(IDC_CONNECT)->click();
        runUntil([&] { return finished; });
        return connected && controller->state().connected;
    }
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

    Panel panel(sim.ptyPath());
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
                a.median, a.p90, a.worst, a.median < 20 ? "MET" : "MISSED");
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
    std::printf("   5 ms timer: %ld ticks, worst lateness %.2f ms   (target: never > 50 ms) %s\n", probe.ticks(),
                probe.worstLateness().count(), probe.worstLateness().count() <= 50 ? "MET" : "MISSED");
    std::printf("   longest time inside event handlers without dispatching: %.2f ms (%s)\n", app.longest().count(),
                app.longestWhat().c_str());

    panel.button(IDC_DISCONNECT)->click();
    sim.stop();
    return panel.boxes == 0;
}

// ---------------------------------------------------------------- c

// CPU time of a process: the run time of all its threads in nanoseconds from
// /proc/<pid>/task/*/schedstat, finer than the clock ticks of /proc/<pid>/stat.
double procCpuSeconds(pid_t pid)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    double total = 0;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream in(task.path() / "schedstat");
        unsigned long long ns = 0;
        if (in >> ns)
            total += double(ns) / 1e9;
    }
    return ec ? -1 : total;
}

double selfCpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return sec(r.ru_utime) + sec(r.ru_stime);
}

bool idleCpu(const Args& args)
{
    QTemporaryDir dir;
    const std::string link = dir.filePath(QStringLiteral("link")).toStdString();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argStrings{args.simPath, "--pty", link, "--quiet"};
    std::vector<char*> argv;
    for (auto& s : argStrings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t simPid = 0;
    const int rc = posix_spawn(&simPid, args.simPath.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        std::printf("c. cannot start %s: %s (use --sim PATH)\n", args.simPath.c_str(), std::strerror(rc));
        return false;
    }
    bool exited = false;
    auto stopSim = [&] {
        if (exited)
            return;
        kill(simPid, SIGTERM);
        waitpid(simPid, nullptr, 0);
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
        Panel panel(link);
        if (panel.connect()) {
            runFor(seconds(2)); // first polls and their allocations out of the way
            const double self0 = selfCpuSeconds(), sim0 = procCpuSeconds(simPid);
            const auto t0 = steady_clock::now();
            runFor(seconds(args.idleSeconds));
            const double wall = duration<double>(steady_clock::now() - t0).count();
            const double self = selfCpuSeconds() - self0, simCpu = procCpuSeconds(simPid) - sim0;
            std::printf("c. connected, idle, over %.1f s (omnar-sim in its own process):\n", wall);
            std::printf("   panel:     %.3f s CPU = %.3f %% of one core   (target: < 1 %%) %s\n", self,
                        100 * self / wall, 100 * self / wall < 1 ? "MET" : "MISSED");
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
