// Setup and Resolution timings against the virtual processor over a pseudo-terminal:
//  a. opening Setup until every field is filled: the whole time, the device
//     protocol's own pauses in it (reply polls, pauses between read-backs),
//     and the rest, which is ours;
//  b. the longest GUI-thread block while Setup opens and refreshes against a
//     silent device, and how long closing it then takes;
//  c. the longest GUI-thread block while a resolution change runs.
//
// Usage: setup_bench [--rounds N]

#include "bench/BenchStats.h"
#include "bench/GuiStallMeters.h"
#include "core/link/CSerialPort.h"
#include "core/link/Link.h"
#include "core/setup/SetupIds.h"
#include "core/util/Clock.h"
#include "core/util/Console.h"
#include "gui/link/CProgress.h"
#include "gui/setup/CCAdvanced.h"
#include "gui/setup/CSetScreen.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QComboBox>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace omnar;
using namespace omnar::bench;
using namespace std::chrono;
namespace sids = omnar::setup::screen_ids;
namespace aids = omnar::setup::advanced_ids;

namespace {

// The real clock, adding up what the link and the dialog jobs sleep: the
// protocol's own pauses.
class CountingClock final : public util::Clock {
public:
    SteadyTime steadyNow() const override { return util::RealClock::instance().steadyNow(); }
    WallTime wallNow() const override { return util::RealClock::instance().wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop = {}) override
    {
        const auto t0 = steady_clock::now();
        const bool whole = util::RealClock::instance().sleepFor(d, stop);
        m_sleptNs += duration_cast<nanoseconds>(steady_clock::now() - t0).count();
        m_askedMs += d.count();
        return whole;
    }
    void reset()
    {
        m_sleptNs = 0;
        m_askedMs = 0;
    }
    Ms slept() const { return Ms(double(m_sleptNs.load()) / 1e6); }
    Ms asked() const { return Ms(double(m_askedMs.load())); }

private:
    std::atomic<long long> m_sleptNs{0};
    std::atomic<long long> m_askedMs{0};
};

// omnar-sim in-process on a pseudo-terminal and a link to it over the serial transport.
struct Rig {
    CountingClock clock;
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
        link = std::make_unique<link::Link>(clock);
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

bool openUntilFilled(TimedApplication& app, int rounds)
{
    Rig rig(false);
    if (!rig.ok())
        return false;
    std::vector<double> total, protocol, asked, ours;
    TickProbe probe;
    probe.start();
    app.startMeasuring();
    for (int i = 0; i < rounds; ++i) {
        rig.clock.reset();
        const auto t0 = steady_clock::now();
        gui::setup::CSetScreen dlg(*rig.context);
        dlg.show();
        if (!runUntil([&] { return !dlg.isBusy(); }, seconds(60))) {
            std::printf("a. round %d: Setup never finished opening\n", i);
            return false;
        }
        const Ms elapsed = steady_clock::now() - t0;
        if (dlg.controlText(sids::IDC_OUTPUT_WIDTH).isEmpty() || dlg.controlText(sids::IDC_COLOUR).isEmpty()) {
            std::printf("a. round %d: fields left empty\n", i);
            return false;
        }
        total.push_back(elapsed.count());
        protocol.push_back(rig.clock.slept().count());
        asked.push_back(rig.clock.asked().count());
        ours.push_back((elapsed - rig.clock.slept()).count());
        dlg.reject();
        runFor(milliseconds(100));
    }
    app.stopMeasuring();
    probe.stop();

    const auto t = stats(total), p = stats(protocol), a = stats(asked), o = stats(ours);
    std::printf("a. Setup opened until every field is filled (7 read-backs), %d rounds:\n", rounds);
    std::printf("   whole:                 median %8.1f ms  worst %8.1f ms\n", t.median, t.worst);
    std::printf("   protocol pauses slept: median %8.1f ms  worst %8.1f ms  (asked for: %.0f ms: reply polls of\n"
                "                          100 ms, 200 ms after each reply and between read-backs)\n",
                p.median, p.worst, a.median);
    std::printf("   ours (the rest):       median %8.1f ms  worst %8.1f ms  (writes, thread hand-offs, applying)\n",
                o.median, o.worst);
    printStalls(app, probe);
    return rig.boxes == 0;
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
    int rounds = 5;
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
    bool ok = openUntilFilled(app, rounds);
    ok = silentDevice(app) && ok;
    ok = resolutionChange(app) && ok;
    return ok ? 0 : 1;
}
