// Setup and Resolution timings against the virtual processor over a pseudo-terminal:
//  a. from pressing Setup on the connected panel until every field of the
//     window is filled: the whole time, the device protocol's own pauses in
//     it (the window's reply polls and pauses between read-backs, and waiting
//     out a status poll of the panel in flight), and the rest, which is ours;
//  b. the longest GUI-thread block while Setup opens and refreshes against a
//     silent device, and how long closing it then takes;
//  c. the longest GUI-thread block while a resolution change runs.
//
// Usage: setup_bench [--rounds N]

#include "bench/BenchPanel.h"
#include "bench/BenchStats.h"
#include "bench/GuiStallMeters.h"
#include "core/link/CSerialPort.h"
#include "core/link/DeviceJob.h"
#include "core/link/Link.h"
#include "core/panel/PanelIds.h"
#include "core/setup/SetupIds.h"
#include "core/util/Clock.h"
#include "core/util/Console.h"
#include "gui/link/CProgress.h"
#include "gui/setup/CCAdvanced.h"
#include "gui/setup/CSetScreen.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace omnar;
using namespace omnar::bench;
using namespace std::chrono;
namespace sids = omnar::setup::screen_ids;
namespace aids = omnar::setup::advanced_ids;

namespace {

// The real clock, adding up what the threads that are not the panel's own
// sleep (the Setup window's job): the protocol's pauses. A sleep of the
// job's lock-retry length is its wait for a transaction of the panel's
// status poller in flight; the rest are its own.
class CountingClock final : public util::Clock {
public:
    struct Slept {
        Ms own{0}, ownAsked{0}, lockWait{0};
    };

    SteadyTime steadyNow() const override { return util::RealClock::instance().steadyNow(); }
    WallTime wallNow() const override { return util::RealClock::instance().wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop = {}) override
    {
        const auto t0 = steady_clock::now();
        const bool whole = util::RealClock::instance().sleepFor(d, stop);
        const Ms slept = steady_clock::now() - t0;
        std::lock_guard lock(m_mutex);
        const auto self = std::this_thread::get_id();
        m_seen.insert(self);
        if (m_counting && !m_panelThreads.contains(self)) {
            if (d.count() == link::JobLink::kLockRetryMs) {
                m_slept.lockWait += slept;
            } else {
                m_slept.own += slept;
                m_slept.ownAsked += d;
            }
        }
        return whole;
    }
    // Forgets the threads seen so far (the connect thread, once it ended:
    // a later thread may get its id).
    void forgetThreads()
    {
        std::lock_guard lock(m_mutex);
        m_seen.clear();
    }
    // The threads seen since forgetThreads() are the panel's; their sleeps
    // never count.
    void markPanelThreads()
    {
        std::lock_guard lock(m_mutex);
        m_panelThreads = m_seen;
    }
    // Counts the other threads' sleeps from zero.
    void startCounting()
    {
        std::lock_guard lock(m_mutex);
        m_slept = {};
        m_counting = true;
    }
    Slept slept() const
    {
        std::lock_guard lock(m_mutex);
        return m_slept;
    }

private:
    mutable std::mutex m_mutex;
    std::set<std::thread::id> m_seen, m_panelThreads;
    bool m_counting = false;
    Slept m_slept;
};

// omnar-sim in-process on a pseudo-terminal and a link to it over the serial transport.
struct Rig {
    std::unique_ptr<sim::SimServer> sim;
    std::unique_ptr<link::Link> link;
    std::unique_ptr<gui::setup::DialogContext> context;
    int boxes = 0;

    explicit Rig(bool silent)
    {
        sim::SimOptions o;
        o.trace = false;
        o.silent = silent;
        o.pipOpen = true;
        sim = std::make_unique<sim::SimServer>(o);
        if (!sim->openPty()) {
            std::printf("cannot open a pseudo-terminal: %s\n", sim->lastError().c_str());
            return;
        }
        sim->start();
        auto port = std::make_unique<link::CSerialPort>();
        if (!port->open(sim->ptyPath()) || !port->configure()) {
            std::printf("cannot open %s\n", sim->ptyPath().c_str());
            return;
        }
        link = std::make_unique<link::Link>();
        link->setTransport(std::move(port));
        context = std::make_unique<gui::setup::DialogContext>(*link);
        context->device.pipOpen = true;
        context->messageHandler = [this](const QString& caption, const QString& text) {
            ++boxes;
            std::printf("  (message box: %s | %s)\n", caption.toStdString().c_str(), text.toStdString().c_str());
            return false;
        };
    }
    ~Rig()
    {
        if (sim)
            sim->stop();
    }
    bool ok() const { return context != nullptr; }
};

// ---------------------------------------------------------------- a

bool setupFromPanel(TimedApplication& app, int rounds)
{
    sim::SimOptions o;
    o.trace = false;
    o.pipOpen = true;
    sim::SimServer sim(o);
    if (!sim.openPty()) {
        std::printf("a. cannot open a pseudo-terminal: %s\n", sim.lastError().c_str());
        return false;
    }
    sim.start();
    CountingClock clock;
    BenchPanel panel(sim.ptyPath(), clock);
    if (!panel.connect()) {
        std::printf("a. connect failed: %s\n", panel.dlg->infoText().toStdString().c_str());
        return false;
    }
    QAbstractButton* setup = panel.button(panel::ids::IDC_SETUP);
    // With PIP open the window reads the layout's windows back too.
    if (!runUntil([&] { return panel.controller->mirror().pipOpen() && setup->isEnabled(); })) {
        std::printf("a. Setup never enabled\n");
        return false;
    }
    // Two seconds of polling: the connect thread has ended, the poller slept.
    clock.forgetThreads();
    runFor(seconds(2));
    clock.markPanelThreads();

    std::vector<double> total, own, ownAsked, lockWait, ours;
    std::mt19937 rng(1);
    // Presses land anywhere in the poller's 1300 ms cycle, as an operator's would.
    std::uniform_int_distribution<int> phase(0, 1300);
    TickProbe probe;
    probe.start();
    app.startMeasuring();
    for (int i = 0; i < rounds; ++i) {
        runFor(milliseconds(phase(rng)));
        clock.startCounting();
        bool filled = false;
        Ms elapsed{0};
        CountingClock::Slept slept;
        const auto t0 = steady_clock::now();
        // Runs in the window's modal loop: waits until it is filled, then closes it.
        QTimer::singleShot(0, [&] {
            gui::setup::CSetScreen* dlg = nullptr;
            const bool done = runUntil(
                [&] {
                    dlg = qobject_cast<gui::setup::CSetScreen*>(QApplication::activeModalWidget());
                    return dlg && !dlg->isBusy();
                },
                seconds(60));
            elapsed = steady_clock::now() - t0;
            slept = clock.slept();
            filled = done && !dlg->controlText(sids::IDC_OUTPUT_WIDTH).isEmpty()
                     && !dlg->controlText(sids::IDC_MAIN_WIDTH).isEmpty()
                     && !dlg->controlText(sids::IDC_COLOUR).isEmpty();
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        setup->click(); // returns once the window has closed
        if (!filled) {
            std::printf("a. round %d: Setup never filled every field\n", i);
            return false;
        }
        total.push_back(elapsed.count());
        own.push_back(slept.own.count());
        lockWait.push_back(slept.lockWait.count());
        ownAsked.push_back(slept.ownAsked.count());
        ours.push_back((elapsed - slept.own - slept.lockWait).count());
    }
    app.stopMeasuring();
    probe.stop();

    const auto t = stats(total), p = stats(own), w = stats(lockWait), a = stats(ownAsked), r = stats(ours);
    std::printf("a. Setup pressed on the connected panel until every field is filled (7 read-backs), %d rounds:\n",
                rounds);
    const auto waited = std::count_if(lockWait.begin(), lockWait.end(), [](double ms) { return ms > 0; });
    std::printf("   whole:                          median %8.1f ms  worst %8.1f ms\n", t.median, t.worst);
    std::printf("   the window's protocol pauses:   median %8.1f ms  worst %8.1f ms  (asked for %.0f ms: reply polls\n"
                "                                   of 100 ms, 200 ms after each reply and between read-backs)\n",
                p.median, p.worst, a.median);
    std::printf("   waiting out a status poll:      median %8.1f ms  worst %8.1f ms  (%ld of %d presses came while\n"
                "                                   the panel's query was in flight: its reply poll and 200 ms pause)\n",
                w.median, w.worst, long(waited), rounds);
    std::printf("   ours (the rest):                median %8.1f ms  worst %8.1f ms  (pausing the panel, building\n"
                "                                   the window, writes, thread hand-offs, applying)\n",
                r.median, r.worst);
    printStalls(app, probe);
    panel.button(panel::ids::IDC_DISCONNECT)->click();
    sim.stop();
    return panel.boxes == 0;
}

// ---------------------------------------------------------------- b

bool silentDevice(TimedApplication& app)
{
    Rig rig(true);
    if (!rig.ok())
        return false;
    TickProbe probe;
    probe.start();
    app.startMeasuring();
    const auto t0 = steady_clock::now();
    gui::setup::CSetScreen dlg(*rig.context);
    dlg.show();
    if (!runUntil([&] { return !dlg.isBusy(); }, seconds(60))) {
        std::printf("b. Setup never gave up on the silent device\n");
        return false;
    }
    const Ms opening = steady_clock::now() - t0;
    qobject_cast<QAbstractButton*>(dlg.control(sids::IDC_REFRESH))->click();
    runFor(seconds(2));
    const auto c0 = steady_clock::now();
    qobject_cast<QAbstractButton*>(dlg.control(sids::IDC_EXIT))->click();
    const Ms closing = steady_clock::now() - c0;
    const auto framesAtClose = rig.sim->framesReceived();
    runFor(milliseconds(500));
    app.stopMeasuring();
    probe.stop();

    std::printf("b. Setup against a silent device: opening gave up after %.0f ms (5000 + 15000 ms timeouts),\n"
                "   then Refresh, and Exit 2 s into it:\n",
                opening.count());
    printStalls(app, probe);
    std::printf("   Exit during a read-back returned in %.2f ms; frames sent after it: %zu\n", closing.count(),
                rig.sim->framesReceived() - framesAtClose);
    return rig.sim->framesReceived() == framesAtClose;
}

// ---------------------------------------------------------------- c

bool resolutionChange(TimedApplication& app)
{
    Rig rig(false);
    if (!rig.ok())
        return false;
    gui::setup::CCAdvanced dlg(*rig.context);
    dlg.show();
    if (!runUntil([&] { return !dlg.isBusy(); }, seconds(30))) {
        std::printf("c. the Resolution window never read the mode\n");
        return false;
    }
    auto* list = qobject_cast<QComboBox*>(dlg.control(aids::IDC_RESOLUTION_LIST));
    const int pick = list->currentIndex() == 0 ? 1 : 0;
    TickProbe probe;
    probe.start();
    app.startMeasuring();
    const auto t0 = steady_clock::now();
    list->setCurrentIndex(pick);
    emit list->activated(pick);
    const bool shown = dlg.progress()->isVisible();
    if (!runUntil([&] { return !dlg.isBusy() && !dlg.progress()->isVisible(); }, seconds(30))) {
        std::printf("c. the change never ended\n");
        return false;
    }
    const Ms change = steady_clock::now() - t0;
    app.stopMeasuring();
    probe.stop();
    std::printf("c. resolution change (frame, 1000 ms, then the device's 10 s) under the progress window"
                " (shown: %s), %.0f ms:\n",
                shown ? "yes" : "no", change.count());
    printStalls(app, probe);
    dlg.accept();
    return shown && rig.boxes == 0;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 10;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: setup_bench [--rounds N]\n");
            return 2;
        }
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The serial trace is formatted as always but not printed, to keep the figures readable.
    util::setConsoleSink([](std::string_view) {});

    TimedApplication app(argc, argv);
    std::printf("setup_bench: Qt platform %s, %u hardware threads\n",
                QApplication::platformName().toStdString().c_str(), std::thread::hardware_concurrency());
    bool ok = setupFromPanel(app, rounds);
    ok = silentDevice(app) && ok;
    ok = resolutionChange(app) && ok;
    return ok ? 0 : 1;
}
