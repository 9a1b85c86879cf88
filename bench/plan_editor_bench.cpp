// Timer plans in the panel:
//  1. how long the plan editor takes to open with 240 plans of each kind
//     (construct, show, first paint of the list);
//  2. how late after its due second each plan's switch frame reaches the
//     wire of omnar-sim (in-process, over a pseudo-terminal, real clock):
//     with the runner alone on the link, and with the connected panel whose
//     status poller shares the link lock.

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include "bench/BenchStats.h"
#include "bench/GuiStallMeters.h"
#include "core/link/LinkSession.h"
#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanFormat.h"
#include "core/plans/PlanRunner.h"
#include "core/settings/ProfileFile.h"
#include "core/util/Console.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "gui/plans/CProgram.h"
#include "gui/plans/PlanPage.h"
#include "sim/SimServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace omnar;
using namespace omnar::bench;
using namespace std::chrono;

namespace {

constexpr int kPlansPerKind = 240;
constexpr int kOpenRounds = 7;
// Five plans. The runner spends 5 s in the pause after a switch and 1 s in
// its cycle sleep before it takes the next one, so 8 s apart is the closest.
// With the panel the gaps vary: the status poller restarts its 1.3 s cycle
// when the runner releases the link lock, so a fixed gap would always meet
// the poller at the same point of its cycle.
constexpr int kPlanCount = 5;
constexpr int kFirstPlanAheadS = 4;
const std::vector<int> kEvenGaps{8, 8, 8, 8};
const std::vector<int> kVariedGaps{9, 10, 11, 12};
constexpr int kSources[kPlanCount] = {link::kSourceHdmi, link::kSourceDvi, link::kSourceVga, link::kSourceExt,
                                      link::kSourceV1};

void writeFullPlanFile(const std::string& path)
{
    using plans::PlanKind;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "[PLANCOUNT]\n";
    for (PlanKind kind : plans::kPlanKinds)
        out << plans::countKey(kind) << "=" << kPlansPerKind << "\n";
    for (PlanKind kind : plans::kPlanKinds) {
        out << "[" << plans::sectionName(kind) << "]\n";
        for (int i = 0; i < kPlansPerKind; ++i) {
            const int s = i * 337 % 86400;
            out << "Time" << i << "=";
            switch (kind) {
            case PlanKind::Day: break;
            case PlanKind::Week: out << i % 7 << ","; break;
            case PlanKind::Month: out << (i % 31 < 9 ? "0" : "") << i % 31 + 1 << ","; break;
            case PlanKind::Once: out << 2030 + i % 3 << "-" << i % 12 + 1 << "-" << i % 28 + 1 << ","; break;
            }
            out << plans::formatTime({s / 3600, s / 60 % 60, s % 60}) << "," << i % 8 << "\n";
        }
    }
}

class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void benchOpen()
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("Planinfo.ini")).toStdString();
    writeFullPlanFile(path);
    settings::ProfileFile file(path);
    plans::CInfoPlan store(file);
    std::vector<double> ms;
    for (int round = 0; round < kOpenRounds; ++round) {
        QElapsedTimer t;
        t.start();
        gui::plans::CProgram::Options o;
        o.messageHandler = [](const QString&, const QString&) { return false; };
        gui::plans::CProgram editor(store, o);
        FirstPaint probe;
        editor.page(plans::PlanKind::Day)->list()->viewport()->installEventFilter(&probe);
        editor.show();
        if (!runUntil([&] { return probe.painted; }, seconds(10)))
            std::printf("  (no paint seen)\n");
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        editor.hide();
    }
    const auto s = stats(ms);
    std::printf("Program open, %d plans per kind: median %.1f ms, worst %.1f ms (target < 1000 ms)\n",
                kPlansPerKind, s.median, s.worst);
}

// The due second of each plan, as a steady time point (the sim stamps frames
// with the steady clock), from one pair of clock samples.
struct Schedule {
    std::vector<QTime> times;
    std::vector<steady_clock::time_point> dueSteady;
};

Schedule makeSchedule(const std::vector<int>& gaps)
{
    Schedule s;
    const QDateTime base = QDateTime::currentDateTime().addSecs(kFirstPlanAheadS);
    const auto wall0 = system_clock::now();
    const auto steady0 = steady_clock::now();
    int offset = 0;
    for (int i = 0; i < kPlanCount; ++i) {
        if (i > 0)
            offset += gaps[static_cast<std::size_t>(i - 1)];
        QDateTime due = base.addSecs(offset);
        due.setTime(QTime(due.time().hour(), due.time().minute(), due.time().second()));
        s.times.push_back(due.time());
        const auto dueWall = system_clock::time_point(milliseconds(due.toMSecsSinceEpoch()));
        s.dueSteady.push_back(steady0 + duration_cast<steady_clock::duration>(dueWall - wall0));
    }
    return s;
}

void writeDayPlans(const std::string& path, const Schedule& s)
{
    settings::ProfileFile file(path);
    file.update([&](settings::ProfileFile::Editor& e) {
        e.deleteSection("DAYTIME");
        for (int i = 0; i < kPlanCount; ++i) {
            const QTime& t = s.times[static_cast<std::size_t>(i)];
            e.writeString("DAYTIME", plans::entryKey(i),
                          plans::formatTime({t.hour(), t.minute(), t.second()}) + "," + std::to_string(kSources[i]));
        }
        e.writeString("PLANCOUNT", "daytimecount", std::to_string(kPlanCount));
    });
}

// Lateness of each switch frame behind its plan's second, in ms.
std::vector<double> lateness(const sim::SimServer& sim, const Schedule& s)
{
    std::vector<double> late;
    std::size_t next = 0;
    for (const auto& r : sim.received()) {
        if (next == s.dueSteady.size())
            break;
        if (r.frame[2] != 0x00 || r.frame[4] != kSources[next])
            continue;
        late.push_back(double(duration_cast<microseconds>(r.lastByteAt - s.dueSteady[next]).count()) / 1000.0);
        ++next;
    }
    return late;
}

void report(const char* what, const std::vector<double>& late)
{
    std::printf("%s:", what);
    for (double ms : late)
        std::printf(" %.1f", ms);
    if (late.size() < kPlanCount) {
        std::printf("  (only %zu of %d frames seen)\n", late.size(), kPlanCount);
        return;
    }
    const auto s = stats(late);
    std::printf(" ms; median %.1f, worst %.1f (target < 100 ms)\n", s.median, s.worst);
}

struct NoEvents : plans::PlanRunnerEvents {
    void timerEntry(plans::TimerHalf, const plans::TimerEntry&) override {}
};

void benchRunnerAlone()
{
    sim::SimOptions so;
    so.trace = false;
    sim::SimServer sim(so);
    if (!sim.openPty()) {
        std::printf("runner alone: no pseudo-terminal: %s\n", sim.lastError().c_str());
        return;
    }
    sim.start();
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("Planinfo.ini")).toStdString();
    link::Link lnk;
    link::ConnectTarget target;
    target.comPortName = sim.ptyPath();
    lnk.setTransport(link::openTransport(target, {}));
    const Schedule schedule = makeSchedule(kEvenGaps);
    writeDayPlans(path, schedule);
    settings::ProfileFile file(path);
    NoEvents events;
    plans::PlanRunner runner(file, lnk, events);
    runner.start();
    sim.waitForFrames(kPlanCount, seconds(kFirstPlanAheadS + 4 * 8 + 15));
    runner.stop();
    report("switch frame lateness, runner alone on the link (gaps 8 s)", lateness(sim, schedule));
}

void benchWithPanel()
{
    sim::SimOptions so;
    so.trace = false;
    sim::SimServer sim(so);
    if (!sim.openPty()) {
        std::printf("with the panel: no pseudo-terminal: %s\n", sim.lastError().c_str());
        return;
    }
    sim.start();
    QTemporaryDir dir;
    gui::app::CZelvicControlDlg::Options o;
    o.comPort = QString::fromStdString(sim.ptyPath());
    o.configPath = dir.filePath(QStringLiteral("Planinfo.ini"));
    gui::app::CZelvicControlDlg panel(o);
    panel.setMessageHandler([](const QString&, const QString&) { return false; });
    gui::app::PanelController::Options co;
    co.portGiven = true;
    auto* controller = new gui::app::PanelController(panel, co);
    controller->setProgressRunner([](gui::link::CProgress&) {});
    controller->start();
    bool connected = false;
    QObject::connect(controller, &gui::app::PanelController::connectFinished, [&](bool ok) { connected = ok; });
    qobject_cast<QAbstractButton*>(panel.control(panel::ids::IDC_CONNECT))->click();
    if (!runUntil([&] { return connected; }, seconds(15))) {
        std::printf("with the panel: no connection\n");
        return;
    }
    const Schedule schedule = makeSchedule(kVariedGaps);
    writeDayPlans(o.configPath.toStdString(), schedule);
    controller->timer().start();
    runUntil([&] { return lateness(sim, schedule).size() == kPlanCount; },
             seconds(kFirstPlanAheadS + 9 + 10 + 11 + 12 + 15));
    controller->timer().stop();
    report("switch frame lateness, connected panel, status poller running (gaps 9..12 s)", lateness(sim, schedule));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The frames' hex trace would drown the figures.
    util::setConsoleSink([](std::string_view) {});
    benchOpen();
    benchRunnerAlone();
    benchWithPanel();
    return 0;
}
