// Fast Mosaic timings, on the offscreen platform unless a display is given:
//  a. rebuilding the grid: a typed 6 × 8 (48 cells, 288 controls) and back to
//     1 × 1, each until painted;
//  b. the longest stall of the GUI thread during a connect check against
//     omnar-sim over loopback TCP (a ready screen, and one that needs
//     preparing) and against a silent device, with the real device waits;
//  c. how long closing the dialog takes in the middle of such a check.
//
// Usage: mosaic_bench [--rebuilds N] [--quick]   (--quick skips the 12 s preparation run)

#include "bench/BenchStats.h"
#include "bench/GuiStallMeters.h"
#include "core/link/Link.h"
#include "core/link/TcpTransport.h"
#include "core/mosaic/MosaicIds.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "sim/SimServer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace omnar;
using namespace omnar::bench;
using namespace omnar::mosaic::ids;
using namespace std::chrono;
using omnar::gui::mosaic::CSimpleMosaic;

namespace {

// A dialog on the link, shown; message boxes printed and answered No.
struct Dialog {
    link::Link link;
    std::unique_ptr<CSimpleMosaic> dlg;
    int boxes = 0;

    Dialog()
    {
        dlg = std::make_unique<CSimpleMosaic>(
            CSimpleMosaic::Context{link, 1, false, [this](const QString& caption, const QString& text) {
                                       ++boxes;
                                       std::printf("   (message box: %s | %s)\n", qPrintable(caption), qPrintable(text));
                                       return false;
                                   }});
        dlg->show();
        QApplication::processEvents();
    }
    void click(int id) { qobject_cast<QAbstractButton*>(dlg->control(id))->click(); }
    bool attach(const sim::SimServer& sim)
    {
        auto t = std::make_unique<link::TcpTransport>();
        if (t->open(0x7F000001, sim.tcpPort()) != 1)
            return false;
        link.setTransport(std::move(t));
        return true;
    }
};

// ---------------------------------------------------------------- a

void rebuilds(int rounds)
{
    Dialog d;
    auto* rows = qobject_cast<QLineEdit*>(d.dlg->control(IDC_ROWS));
    auto* columns = qobject_cast<QLineEdit*>(d.dlg->control(IDC_COLUMNS));
    std::vector<double> grow, shrink;
    for (int i = 0; i < rounds; ++i) {
        rows->setText(QStringLiteral("6"));
        columns->setText(QStringLiteral("8"));
        QElapsedTimer t;
        t.start();
        d.click(IDC_SPEC_OK);
        QApplication::processEvents(); // deletions, layout, the paint
        grow.push_back(double(t.nsecsElapsed()) / 1e6);

        t.restart();
        d.click(IDC_PRESET_1X1);
        QApplication::processEvents();
        shrink.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const auto g = stats(grow), s = stats(shrink);
    std::printf("a. grid rebuild until painted, %d rounds (target: under 100 ms):\n", rounds);
    std::printf("   1 x 1 -> 6 x 8 (48 cells, 288 controls): median %6.2f ms  worst %6.2f ms  %s\n", g.median, g.worst,
                verdict(g.worst < 100));
    std::printf("   6 x 8 -> 1 x 1:                          median %6.2f ms  worst %6.2f ms  %s\n", s.median, s.worst,
                verdict(s.worst < 100));
}

// ---------------------------------------------------------------- b

bool connectCheck(TimedApplication& app, const char* what, sim::SimOptions options)
{
    options.trace = false;
    sim::SimServer sim(options);
    if (!sim.listenTcp("127.0.0.1", 0)) {
        std::printf("cannot listen: %s\n", sim.lastError().c_str());
        return false;
    }
    sim.start();
    Dialog d;
    if (!d.attach(sim)) {
        std::printf("cannot connect to omnar-sim\n");
        return false;
    }

    TickProbe probe;
    probe.start();
    app.startMeasuring();
    const auto t0 = steady_clock::now();
    d.click(IDC_CONNECT); // returns when the please-wait window has closed
    const Ms took = steady_clock::now() - t0;
    app.stopMeasuring();
    probe.stop();

    std::printf("   %-34s %6.0f ms; 5 ms timer worst late %6.2f ms; longest in a handler %6.2f ms (%s)  %s\n", what,
                took.count(), probe.worstLateness().count(), app.longest().count(), app.longestWhat().c_str(),
                verdict(app.longest().count() <= 50 && probe.worstLateness().count() <= 50));
    sim.stop();
    return true;
}

// ---------------------------------------------------------------- c

bool closeDuringCheck()
{
    sim::SimOptions o;
    o.trace = false;
    o.silent = true;
    sim::SimServer sim(o);
    if (!sim.listenTcp("127.0.0.1", 0))
        return false;
    sim.start();
    Dialog d;
    if (!d.attach(sim))
        return false;
    double closingMs = -1;
    // 1.5 s in: the first query is waiting out its 6000 ms.
    QTimer::singleShot(1500, [&] {
        QElapsedTimer t;
        t.start();
        d.dlg->reject();
        closingMs = double(t.nsecsElapsed()) / 1e6;
    });
    const auto t0 = steady_clock::now();
    d.click(IDC_CONNECT);
    const Ms took = steady_clock::now() - t0;
    std::printf("c. closing the dialog 1.5 s into a check against a silent device: reject() took %.2f ms, "
                "Connect returned after %.0f ms  %s\n",
                closingMs, took.count(), verdict(closingMs >= 0 && closingMs <= 50));
    sim.stop();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int rounds = 20;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rebuilds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--quick"))
            quick = true;
    }
    TimedApplication app(argc, argv);

    rebuilds(rounds);

    std::printf("b. connect check with the real device waits; GUI thread (target: never blocked > 50 ms):\n");
    sim::SimOptions ready;
    ready.mosaic = true;
    ready.mainSource = 7;
    bool ok = connectCheck(app, "omnar-sim, screen ready:", ready);
    if (!quick) {
        sim::SimOptions prepare;
        prepare.bypass = true;
        prepare.mainSource = 4;
        ok = connectCheck(app, "omnar-sim, screen to prepare:", prepare) && ok;
    }
    sim::SimOptions silent;
    silent.silent = true;
    ok = connectCheck(app, "silent device:", silent) && ok;

    ok = closeDuringCheck() && ok;
    return ok ? 0 : 1;
}
