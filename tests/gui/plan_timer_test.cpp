// The timer bar wired to the plan runner, against the virtual processor:
// Start switches the device at a plan's second and shows the plan in the
// timer panel, Stop ends the runner at once, StartTimer starts it after the
// automatic connect, Exit stops it, and Program opens the editor.

// Qt first: moc cannot read <compare> ahead of Qt's own headers.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/plans/PlanFormat.h"
#include "core/settings/ProfileFile.h"
#include "core/util/Console.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "gui/plans/CAddPlan.h"
#include "gui/plans/CProgram.h"
#include "gui/plans/PlanDialogIds.h"
#include "gui/plans/PlanPage.h"
#include "sim/SimServer.h"
#include "tests/support/PanelRig.h"

#include <memory>
#include <mutex>

using namespace omnar;
using namespace omnar::gui::app;
using namespace omnar::panel::ids;
using namespace std::chrono_literals;

namespace {

QString planTime(const QTime& t)
{
    return QString::fromStdString(omnar::plans::formatTime({t.hour(), t.minute(), t.second()}));
}

// A day plan's entry value at `t` switching to `source`.
std::string dayPlan(const QTime& t, int source)
{
    return omnar::plans::formatTime({t.hour(), t.minute(), t.second()}) + "," + std::to_string(source);
}

// The plans here fall due within a minute; one that would cross midnight
// belongs to tomorrow, so wait until the new day has begun.
bool stayClearOfMidnight()
{
    return QTest::qWaitFor([] { return QTime::currentTime() < QTime(23, 58, 50); }, 75000);
}

// The tests load the settings themselves, after preparing the plans.
struct Rig : test::PanelRig {
    explicit Rig(const QString& port, bool portGiven = true, const QString& ini = {})
        : PanelRig(port, portGiven, ini, false)
    {
    }
    QStringList half(bool current)
    {
        QStringList out;
        for (int id : current ? std::array{IDC_CUR_TIME, IDC_CUR_SIGNAL, IDC_CUR_STATUS, IDC_CUR_RESULT}
                              : std::array{IDC_NEXT_TIME, IDC_NEXT_SIGNAL, IDC_NEXT_STATUS, IDC_NEXT_RESULT})
            out << panel->timerField(id);
        return out;
    }
    bool fieldsEmpty()
    {
        for (int id : kTimerFields)
            if (!panel->timerField(id).isEmpty())
                return false;
        return true;
    }
    void writeDayPlans(const std::vector<std::string>& values)
    {
        settings::ProfileFile file(panel->options().configPath.toStdString());
        file.update([&](settings::ProfileFile::Editor& e) {
            e.deleteSection("DAYTIME");
            for (std::size_t i = 0; i < values.size(); ++i)
                e.writeString("DAYTIME", omnar::plans::entryKey(static_cast<int>(i)), values[i]);
            e.writeString("PLANCOUNT", "daytimecount", std::to_string(values.size()));
        });
    }
};

} // namespace

class PlanTimerTest : public QObject {
    Q_OBJECT
private slots:
    void startSwitchesTheDeviceWhenAPlanFallsDue()
    {
        QVERIFY(stayClearOfMidnight());
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.openPty());
        sim.start();
        Rig rig(QString::fromStdString(sim.ptyPath()));
        rig.controller->start();
        QVERIFY(rig.connect());
        QVERIFY(QTest::qWaitFor([&] { return rig.controller->mirror().mainSource == link::kSourceV1; }, 15000));

        const QTime due = QTime::currentTime().addSecs(3);
        const QTime later = due.addSecs(40);
        rig.writeDayPlans({dayPlan(later, link::kSourceDvi), dayPlan(due, link::kSourceHdmi)});
        rig.panel->setLanguage(true);
        rig.click(IDC_TIMER_START);
        QVERIFY(rig.controller->timer().running());
        QVERIFY(rig.controller->timer().planRunner().running());
        QVERIFY(!rig.enabled(IDC_TIMER_START));
        QVERIFY(!rig.enabled(IDC_DISCONNECT));
        QVERIFY(!rig.enabled(IDC_PROGRAM));
        QVERIFY(rig.enabled(IDC_TIMER_STOP));
        // The kind boxes stay usable; the runner takes them at its next rebuild (midnight).
        QVERIFY(rig.enabled(IDC_TIMER_WEEK));
        // A screen reader toggles the box rather than clicking it.
        const auto toggleWeek = [&] {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(rig.w(IDC_TIMER_WEEK));
            QVERIFY(a && a->actionInterface());
            a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        };
        toggleWeek();
        QCOMPARE(rig.controller->timer().planRunner().kinds(), (omnar::plans::PlanKindSelection{true, false, true, true}));
        toggleWeek();
        QVERIFY(rig.controller->timer().planRunner().kinds().week);

        // Texts in the language of the moment.
        QVERIFY(QTest::qWaitFor([&] { return !rig.panel->timerField(IDC_NEXT_TIME).isEmpty(); }, 15000));
        QCOMPARE(rig.half(true), (QStringList{planTime(due), "HDMI", "即将执行", "未知"}));
        QCOMPARE(rig.half(false), (QStringList{planTime(later), "DVI", "未执行", "未知"}));

        QVERIFY(QTest::qWaitFor([&] { return sim.state().mainSource == link::kSourceHdmi; }, 15000));
        const auto frames = sim.received();
        const auto& last = frames.back().frame;
        QCOMPARE(int(last[2]), 0x00); // switch main source
        QCOMPARE(int(last[3]), 0x00); // cut
        QCOMPARE(int(last[4]), link::kSourceHdmi);

        // The runner is in the 5 s pause after its switch, holding the link
        // lock: Stop ends it all the same, at once.
        QElapsedTimer stopping;
        stopping.start();
        rig.click(IDC_TIMER_STOP);
        QVERIFY2(stopping.elapsed() < 2500, qPrintable(QString::number(stopping.elapsed())));
        QVERIFY(!rig.controller->timer().planRunner().running());
        QVERIFY(rig.fieldsEmpty());
        QVERIFY(rig.enabled(IDC_TIMER_START));
        QVERIFY(!rig.enabled(IDC_TIMER_STOP));
        QVERIFY(rig.enabled(IDC_DISCONNECT));
        // Reports that crossed Stop leave the panel empty.
        QTest::qWait(50);
        QVERIFY(rig.fieldsEmpty());
        // The link is free again: the keys still reach the device.
        QVERIFY(QTest::qWaitFor([&] { return rig.enabled(IDC_KEY_DVI); }, 15000));
        rig.click(IDC_KEY_DVI);
        QVERIFY(QTest::qWaitFor([&] { return sim.state().mainSource == link::kSourceDvi; }, 15000));
    }

    void aPlanTheRunnerCannotReachInTimeIsToldNotShownAsComing()
    {
        QVERIFY(stayClearOfMidnight());
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.openPty());
        sim.start();
        Rig rig(QString::fromStdString(sim.ptyPath()));
        rig.controller->start();
        QVERIFY(rig.connect());
        QVERIFY(QTest::qWaitFor([&] { return rig.controller->mirror().mainSource == link::kSourceV1; }, 15000));

        // A daily and a weekly plan on the same second: the second one waits
        // out the first one's 5 s pause and is too late by then.
        const QTime due = QTime::currentTime().addSecs(3);
        const QString weekday = QString::number(QDate::currentDate().dayOfWeek() % 7);
        rig.writeDayPlans({dayPlan(due, link::kSourceHdmi)});
        {
            settings::ProfileFile file(rig.panel->options().configPath.toStdString());
            file.writeString("WEEKTIME", "Time0", weekday.toStdString() + "," + dayPlan(due, link::kSourceDvi));
            file.writeString("PLANCOUNT", "weektimecount", "1");
        }
        std::mutex mutex;
        QStringList lines;
        util::setConsoleSink([&](std::string_view text) {
            std::lock_guard lock(mutex);
            if (text.starts_with("Timer:"))
                lines << QString::fromUtf8(text.data(), qsizetype(text.size()));
        });
        rig.click(IDC_TIMER_START);
        QVERIFY(QTest::qWaitFor([&] { return rig.panel->timerField(IDC_CUR_STATUS) == "Missed"; }, 20000));
        util::setConsoleSink({});
        QCOMPARE(rig.half(true), (QStringList{planTime(due), "DVI", "Missed", "Not sent"}));
        QCOMPARE(lines, QStringList{QStringLiteral("Timer: plan %1 DVI missed its moment (runner busy), not sent\n")
                                        .arg(due.toString(QStringLiteral("HH:mm:ss")))});
        QCOMPARE(sim.state().mainSource, int(link::kSourceHdmi));
        int switches = 0;
        for (const auto& r : sim.received())
            switches += r.frame[2] == 0x00;
        QCOMPARE(switches, 1);
        rig.click(IDC_TIMER_STOP);
    }

    void startTimerStartsAfterTheAutomaticConnectAndExitStopsIt()
    {
        QVERIFY(stayClearOfMidnight());
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        const QTime due = QTime::currentTime().addSecs(40);
        const auto ini =
            QStringLiteral("[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=%1\nConnectFlag=1\nStartTimerFlag=1\nDeviceID=1\n"
                           "[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=%2\n")
                .arg(sim.tcpPort())
                .arg(QString::fromStdString(dayPlan(due, link::kSourceV2)));
        Rig rig(QStringLiteral("COM1"), false, ini);
        QSignalSpy spy(rig.controller, &PanelController::connectFinished);
        rig.controller->start();
        QVERIFY(spy.wait(15000));
        QVERIFY(spy.first().first().toBool());
        QVERIFY(rig.controller->timer().running());
        QVERIFY(rig.controller->timer().planRunner().running());
        QVERIFY(!rig.enabled(IDC_DISCONNECT));
        QVERIFY(QTest::qWaitFor([&] { return !rig.panel->timerField(IDC_CUR_TIME).isEmpty(); }, 15000));
        QCOMPARE(rig.half(true), (QStringList{planTime(due), "V2", "Immediate Execution", "Unknown"}));
        // Only one plan today: the next half is not written.
        QCOMPARE(rig.half(false), (QStringList{"", "", "", ""}));

        // Only the start-up connect starts the timer by itself.
        rig.click(IDC_TIMER_STOP);
        rig.click(IDC_DISCONNECT);
        QVERIFY(rig.connect());
        QVERIFY(!rig.controller->timer().running());
        QVERIFY(!rig.controller->timer().planRunner().running());
        rig.click(IDC_TIMER_START);
        QVERIFY(rig.controller->timer().planRunner().running());

        // Exit: the runner, asleep until its plan, ends with the window.
        rig.answer = true;
        QElapsedTimer exiting;
        exiting.start();
        rig.panel->reject();
        QVERIFY(exiting.elapsed() < 2500);
        QVERIFY(!rig.controller->timer().planRunner().running());
        QVERIFY(!rig.controller->session().connected());
    }

    void noTimerAfterTheAutomaticConnectWithoutStartTimer()
    {
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        const auto ini = QStringLiteral("[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=%1\nConnectFlag=1\nDeviceID=1\n")
                             .arg(sim.tcpPort());
        Rig rig(QStringLiteral("COM1"), false, ini);
        QSignalSpy spy(rig.controller, &PanelController::connectFinished);
        rig.controller->start();
        QVERIFY(spy.wait(15000));
        QVERIFY(spy.first().first().toBool());
        QVERIFY(!rig.controller->timer().running());
        QVERIFY(!rig.controller->timer().planRunner().running());
    }

    void startWithNoPlanKindStartsNothing()
    {
        Rig rig(QStringLiteral("COM1"));
        rig.controller->start();
        rig.click(IDC_TIMER_ALL); // clears the four kind boxes
        QVERIFY(!rig.controller->timer().start());
        QCOMPARE(rig.boxes, QStringList{QStringLiteral("System information|Please select a timer to start")});
        QVERIFY(!rig.controller->timer().planRunner().running());
        QVERIFY(!rig.controller->timer().running());
    }

    void programOpensTheEditorOverThePanelsFile()
    {
        sim::SimServer sim(test::quietSim(true));
        QVERIFY(sim.openPty());
        sim.start();
        const auto ini = QStringLiteral("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=9: 0: 0,4\nTime1=8: 0: 0,5\n");
        Rig rig(QString::fromStdString(sim.ptyPath()), true, ini);
        rig.controller->start();
        QVERIFY(rig.connect());
        QVERIFY(QTest::qWaitFor([&] { return rig.controller->mirror().v2IsYPbPr; }, 15000));

        QString title;
        QStringList firstRow;
        QString v2Caption;
        int opened = 0;
        rig.controller->timer().setProgramRunner([&](gui::plans::CProgram& editor) {
            ++opened;
            title = editor.windowTitle();
            auto* item = editor.page(omnar::plans::PlanKind::Day)->list()->topLevelItem(0);
            firstRow = QStringList{item->text(0), item->text(1), item->text(2)};
            // The plan dialog runs modally for real here; look at it and close it.
            QTimer::singleShot(0, [&] {
                if (auto* d = qobject_cast<gui::plans::CAddPlan*>(QApplication::activeModalWidget())) {
                    v2Caption = qobject_cast<QAbstractButton*>(d->control(gui::plans::ids::IDC_SOURCE_V2))->text();
                    d->reject();
                }
            });
            editor.page(omnar::plans::PlanKind::Day)->onAdd();
        });
        QVERIFY(QTest::qWaitFor([&] { return rig.enabled(IDC_PROGRAM); }, 15000));
        rig.click(IDC_PROGRAM);
        QCOMPARE(opened, 1);
        QCOMPARE(title, QStringLiteral("Program"));
        QCOMPARE(firstRow, (QStringList{"Time0", " 8: 0: 0", "DVI"}));
        QCOMPARE(v2Caption, QStringLiteral("YPbPr"));

        // The link workers go on after the editor closed.
        const auto before = sim.framesReceived();
        QVERIFY(sim.waitForFrames(before + 1, 15s));
    }
};

QTEST_MAIN(PlanTimerTest)
#include "plan_timer_test.moc"
