#include "core/link/DeviceJob.h"
#include "core/link/Link.h"
#include "core/util/Clock.h"
#include "gui/link/DialogJob.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <vector>

using omnar::gui::link::DialogJob;

class DialogJobTest : public QObject {
    Q_OBJECT
private slots:
    void reportsArriveOnTheGuiThreadInOrderThenFinished();
    void stopDropsWhatTheRunHasNotDeliveredAndEndsItsWaits();
    void aSecondStartWaitsForTheFirstToFinish();
    void aReportShowingAMessageHoldsBackTheRest();
    void aJobStartedWhenTheLastOneFinishesKeepsTheWindowBusy();
};

void DialogJobTest::reportsArriveOnTheGuiThreadInOrderThenFinished()
{
    omnar::util::VirtualClock clock;
    omnar::link::Link link(clock);
    DialogJob job(link);
    QSignalSpy busy(&job, &DialogJob::busyChanged);
    std::vector<int> seen;
    bool onGuiThread = true;
    bool finishedLast = false;
    bool done = false;
    QVERIFY(job.startReporting<int>(
        [](omnar::link::JobLink& jl, const std::function<void(const int&)>& sink) {
            for (int i = 0; i < 5; ++i) {
                sink(i);
                jl.pause(200);
            }
        },
        [&](const int& r) {
            onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
            seen.push_back(r);
        },
        [&](bool stopped) {
            QVERIFY(!stopped);
            finishedLast = seen.size() == 5;
            done = true;
        }));
    QTRY_VERIFY(done);
    QCOMPARE(seen, (std::vector<int>{0, 1, 2, 3, 4}));
    QVERIFY(onGuiThread);
    QVERIFY(finishedLast);
    QCOMPARE(busy.count(), 2);
    QCOMPARE(busy.at(0).at(0).toBool(), true);
    QCOMPARE(busy.at(1).at(0).toBool(), false);
}

void DialogJobTest::stopDropsWhatTheRunHasNotDeliveredAndEndsItsWaits()
{
    // Manual mode: the job's pause blocks until stop() ends it.
    omnar::util::VirtualClock clock(omnar::util::VirtualClock::Mode::Manual);
    omnar::link::Link link(clock);
    DialogJob job(link);
    std::atomic<bool> reported{false};
    int delivered = 0;
    bool finished = false;
    job.startReporting<int>(
        [&](omnar::link::JobLink& jl, const std::function<void(const int&)>& sink) {
            sink(1);
            reported = true;
            jl.pause(60'000); // a long device pause
            sink(2);
        },
        [&](const int&) { ++delivered; }, [&](bool) { finished = true; });
    QVERIFY(clock.waitForSleepers(1));
    QVERIFY(reported);
    job.stop(); // returns although virtual time never moves
    QVERIFY(!job.running());
    QTest::qWait(20);
    QCOMPARE(delivered, 0);
    QVERIFY(!finished);
}

void DialogJobTest::aSecondStartWaitsForTheFirstToFinish()
{
    omnar::util::VirtualClock clock(omnar::util::VirtualClock::Mode::Manual);
    omnar::link::Link link(clock);
    DialogJob job(link);
    QVERIFY(job.start([](omnar::link::JobLink& jl, const DialogJob::Post&) { jl.pause(1000); }));
    QVERIFY(clock.waitForSleepers(1));
    QVERIFY(!job.start([](omnar::link::JobLink&, const DialogJob::Post&) {}));
    clock.advance(std::chrono::milliseconds(1000));
    QTRY_VERIFY(!job.running());
    QVERIFY(job.start([](omnar::link::JobLink&, const DialogJob::Post&) {}));
}

void DialogJobTest::aReportShowingAMessageHoldsBackTheRest()
{
    omnar::util::VirtualClock clock;
    omnar::link::Link link(clock);
    DialogJob job(link);
    std::vector<int> seen;
    std::vector<int> seenWhileBoxOpen;
    bool finishedWhileBoxOpen = false;
    bool boxOpen = false;
    bool done = false;
    QVERIFY(job.startReporting<int>(
        [](omnar::link::JobLink&, const std::function<void(const int&)>& sink) {
            for (int i = 0; i < 3; ++i)
                sink(i);
        },
        [&](const int& r) {
            seen.push_back(r);
            if (boxOpen)
                seenWhileBoxOpen.push_back(r);
            if (r == 0) {
                // A modal message box: its own event loop, until answered.
                boxOpen = true;
                QEventLoop loop;
                QTimer::singleShot(100, &loop, &QEventLoop::quit);
                loop.exec();
                boxOpen = false;
            }
        },
        [&](bool) {
            finishedWhileBoxOpen = boxOpen;
            done = true;
        }));
    QTRY_VERIFY(done);
    QCOMPARE(seen, (std::vector<int>{0, 1, 2}));
    QVERIFY(seenWhileBoxOpen.empty());
    QVERIFY(!finishedWhileBoxOpen);
}

void DialogJobTest::aJobStartedWhenTheLastOneFinishesKeepsTheWindowBusy()
{
    // A click that waited for the running job starts its own when that one ends.
    omnar::util::VirtualClock clock(omnar::util::VirtualClock::Mode::Manual);
    omnar::link::Link link(clock);
    DialogJob job(link);
    QSignalSpy busy(&job, &DialogJob::busyChanged);
    bool secondStarted = false;
    QVERIFY(job.start({}, [&](bool) {
        secondStarted = job.start([](omnar::link::JobLink& jl, const DialogJob::Post&) { jl.pause(1000); });
    }));
    QTRY_VERIFY(secondStarted);
    QVERIFY(clock.waitForSleepers(1));
    QTest::qWait(20);
    QVERIFY(job.running());
    QCOMPARE(busy.last().at(0).toBool(), true);
    clock.advance(std::chrono::milliseconds(1000));
    QTRY_COMPARE(busy.last().at(0).toBool(), false);
}

QTEST_MAIN(DialogJobTest)
#include "dialog_job_test.moc"
