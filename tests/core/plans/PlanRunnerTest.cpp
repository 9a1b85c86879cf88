#include "core/link/Link.h"
#include "core/plans/PlanRunner.h"
#include "core/util/Console.h"
#include "tests/core/plans/PlanTestSupport.h"
#include "tests/support/FakeTransport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <ostream>
#include <thread>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::plans::test;
using namespace std::chrono_literals;
using util::VirtualClock;

namespace omnar::plans {
// Readable failures: the texts rather than the bytes.
void PrintTo(const TimerEntry& e, std::ostream* os)
{
    *os << '"' << e.time << "\" \"" << e.signal << "\" \"" << e.status.en << "\" \"" << e.result.en << '"';
}
} // namespace omnar::plans

namespace {

struct RecordingEvents : PlanRunnerEvents {
    mutable std::mutex mutex;
    std::vector<std::pair<TimerHalf, TimerEntry>> entries;
    std::vector<PlanItem> switched;
    std::vector<PlanItem> missed;

    void timerEntry(TimerHalf half, const TimerEntry& entry) override
    {
        std::lock_guard lock(mutex);
        entries.emplace_back(half, entry);
    }
    void planSwitched(const PlanItem& plan) override
    {
        std::lock_guard lock(mutex);
        switched.push_back(plan);
    }
    void planMissed(const PlanItem& plan) override
    {
        std::lock_guard lock(mutex);
        missed.push_back(plan);
    }
    std::vector<std::pair<TimerHalf, TimerEntry>> takeEntries()
    {
        std::lock_guard lock(mutex);
        return std::exchange(entries, {});
    }
    std::size_t switchedCount() const
    {
        std::lock_guard lock(mutex);
        return switched.size();
    }
    std::size_t missedCount() const
    {
        std::lock_guard lock(mutex);
        return missed.size();
    }
};

// The runner's console lines ("Timer: ..."), the link's trace left out.
struct TimerLines {
    std::mutex mutex;
    std::vector<std::string> lines;
    TimerLines()
    {
        util::setConsoleSink([this](std::string_view text) {
            std::lock_guard lock(mutex);
            if (text.starts_with("Timer:"))
                lines.emplace_back(text);
        });
    }
    ~TimerLines() { util::setConsoleSink({}); }
    std::vector<std::string> take()
    {
        std::lock_guard lock(mutex);
        return std::exchange(lines, {});
    }
};

TimerEntry current(const char* time, const char* signal)
{
    return {time, signal, kImmediateExecution, kResultUnknown};
}

TimerEntry next(const char* time, const char* signal)
{
    return {time, signal, kNoExecution, kResultUnknown};
}

TimerEntry missed(const char* time, const char* signal)
{
    return {time, signal, kMissedExecution, kResultNotSent};
}

// The runner on a manual virtual clock: it runs until it sleeps, and the
// test moves time on. It is the clock's only sleeper, so "the n-th sleep has
// begun" tells exactly where it stands.
struct RunnerTest : PlanFileFixture {
    std::optional<VirtualClock> clock;
    std::optional<link::Link> link;
    omnar::test::FakeTransport* transport = nullptr;
    RecordingEvents events;
    std::optional<PlanRunner> runner;

    void startAt(std::int64_t instant, PlanKindSelection kinds = {})
    {
        clock.emplace(VirtualClock::Mode::Manual, wallTimeOf(instant));
        link.emplace(*clock);
        auto fake = std::make_unique<omnar::test::FakeTransport>();
        transport = fake.get();
        link->setTransport(std::move(fake));
        runner.emplace(file, *link, events);
        runner->setKinds(kinds);
        ASSERT_EQ(runner->start(), PlanRunner::StartResult::Started);
    }

    void TearDown() override
    {
        if (runner)
            runner->stop();
    }

    // Waits (bounded, in real time) until the runner is in its n-th sleep
    // and returns that sleep's length.
    util::Clock::Duration sleep(std::size_t n)
    {
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            const auto sleeps = clock->sleeps();
            if (sleeps.size() >= n && clock->sleepers() == 1)
                return sleeps[n - 1];
            std::this_thread::sleep_for(100us);
        }
        ADD_FAILURE() << "the runner did not reach sleep " << n;
        return {};
    }

    std::int64_t now() const { return wallSeconds(*clock); }

    // Frames written so far; only read while the runner sleeps.
    std::vector<link::Frame> frames() const { return transport->written; }

    static link::Frame switchFrame(std::uint8_t id, std::uint8_t source)
    {
        return link::withChecksum(link::makeFrame(id, 0x00, {0x00, source}));
    }
};

// 2024-06-12 is a Wednesday in Berlin's summer time.
constexpr int Y = 2024, M = 6, D = 12;

} // namespace

TEST_F(RunnerTest, StartAtTenRunsTheElevenOClockPlanOnItsSecond)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0= 9: 0: 0,4\nTime1=11: 0: 0,5\n");
    startAt(local(Y, M, D, 10, 0, 0));
    EXPECT_EQ(sleep(1), 3600s - 500ms) << "one sleep to just before the plan's second, in summer time";
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, current("11: 0: 0", "DVI")}}))
        << "09:00 has passed and there is no next plan";
    EXPECT_TRUE(frames().empty());

    clock->advance(3600s - 500ms);
    EXPECT_EQ(sleep(2), 500ms) << "the last half second, with the link already taken";
    EXPECT_FALSE(link->lock().try_lock()) << "no status poll can delay the switch now";
    EXPECT_TRUE(frames().empty());

    clock->advance(500ms);
    EXPECT_EQ(sleep(3), 5000ms) << "the pause after the switch";
    EXPECT_EQ(now(), local(Y, M, D, 11, 0, 0));
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 5)});
    EXPECT_FALSE(link->lock().try_lock()) << "the lock is held through the pause";

    clock->advance(5000ms);
    EXPECT_EQ(sleep(4), 1000ms);
    EXPECT_EQ(events.switchedCount(), 1u);
    ASSERT_TRUE(link->lock().try_lock());
    link->lock().unlock();
    clock->advance(1000ms);
    EXPECT_EQ(sleep(5), 1000ms) << "nothing left today: a second's sleep per cycle";
    EXPECT_TRUE(events.takeEntries().empty()) << "the panel keeps its last texts";
    EXPECT_EQ(frames().size(), 1u);
}

TEST_F(RunnerTest, TwoPlansElevenSecondsApartBothRun)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=11:00:11,2\nTime1=11:00:00,4\n");
    startAt(local(Y, M, D, 10, 59, 0));
    runner->setDeviceId(3);
    EXPECT_EQ(sleep(1), 60s - 500ms);
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, current("11: 0: 0", "HDMI")},
                                        {TimerHalf::Next, next("11: 0:11", "VGA")}}));
    clock->advance(60s - 500ms);
    EXPECT_EQ(sleep(2), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(3), 5000ms);
    clock->advance(5000ms);
    EXPECT_EQ(sleep(4), 1000ms);
    clock->advance(1000ms);
    EXPECT_EQ(sleep(5), 5000ms - 500ms) << "at 11:00:06 the second plan is 5 s away";
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, current("11: 0:11", "VGA")}}));
    clock->advance(5000ms - 500ms);
    EXPECT_EQ(sleep(6), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(7), 5000ms);
    EXPECT_EQ(frames(), (std::vector<link::Frame>{switchFrame(3, 4), switchFrame(3, 2)}))
        << "the device id is read at each switch";
}

TEST_F(RunnerTest, APlanReachedAfterItsWindowIsDroppedAndTheNextOneRuns)
{
    writeText("[PLANCOUNT]\ndaytimecount=3\n[DAYTIME]\nTime0=11:0:0,4\nTime1=11:0:30,5\nTime2=12:0:0,7\n");
    startAt(local(Y, M, D, 10, 0, 0));
    EXPECT_EQ(sleep(1), 3600s - 500ms);
    events.takeEntries();
    // The machine slept through the plan and wakes 6 s after it.
    TimerLines console;
    clock->setWall(wallTimeOf(local(Y, M, D, 11, 0, 6)));
    EXPECT_EQ(sleep(2), 1000ms);
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(events.missedCount(), 1u);
    EXPECT_EQ(console.take(),
              std::vector<std::string>{"Timer: plan 11:00:00 HDMI missed its moment (timer woke late), not sent\n"});
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, missed("11: 0: 0", "HDMI")}}))
        << "no longer shown as about to run";
    clock->advance(1000ms);
    EXPECT_EQ(sleep(3), 23s - 500ms) << "on to 11:00:30, not a day's wait";
    EXPECT_EQ(events.takeEntries().front().second, current("11: 0:30", "DVI"));

    // Five seconds late is still in time.
    clock->setWall(wallTimeOf(local(Y, M, D, 11, 0, 35)));
    EXPECT_EQ(sleep(4), 5000ms);
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 5)});
}

TEST_F(RunnerTest, APlanJustBeforeMidnightMayStillRunJustAfter)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=23:59:58,4\nTime1=0:0:30,2\n");
    startAt(local(Y, M, D, 23, 59, 50));
    EXPECT_EQ(sleep(1), 8s - 500ms);
    clock->setWall(wallTimeOf(local(Y, M, D + 1, 0, 0, 2)));
    EXPECT_EQ(sleep(2), 5000ms) << "4 s late across midnight is within the window";
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 4)});
    clock->advance(5000ms);
    EXPECT_EQ(sleep(3), 1000ms);
    events.takeEntries();
    clock->advance(1000ms);
    EXPECT_EQ(sleep(4), 22s - 500ms) << "the new day read at 00:00:08, straight on to 00:00:30";
    EXPECT_EQ(events.takeEntries().front().second, current(" 0: 0:30", "VGA"));
}

TEST_F(RunnerTest, TheNewDayRereadsTheFileAndTakesItsOwnPlans)
{
    // Wednesday the 12th ends; Thursday the 13th begins.
    writeText("[PLANCOUNT]\nweektimecount=2\nmonthtimecount=1\noncetimecount=2\n"
              "[WEEKTIME]\nTime0=4,0:0:30,4\nTime1=3,0:0:40,5\n"
              "[MONTHTIME]\nTime0=13,0:0:20,2\n"
              "[ONCETIME]\nTime0=2024-6-12,0:0:10,1\nTime1=2024-6-13,0:0:50,7\n");
    startAt(local(Y, M, D, 23, 59, 58));
    EXPECT_EQ(sleep(1), 1000ms);
    EXPECT_TRUE(events.takeEntries().empty());
    // A daily plan added to the file during the day comes in with the new day.
    file.writeString("PLANCOUNT", "daytimecount", "1");
    file.writeString("DAYTIME", "Time0", "0:1:0,0");
    clock->advance(1000ms);
    EXPECT_EQ(sleep(2), 1000ms);
    clock->advance(1000ms); // 00:00:00: rebuild
    EXPECT_EQ(sleep(3), 20s - 500ms);
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, current(" 0: 0:20", "VGA")},
                                        {TimerHalf::Next, next(" 0: 0:30", "HDMI")}}));
    std::vector<std::uint8_t> sources;
    for (std::size_t n = 3; sources.size() < 4; n += 4) {
        clock->advance(sleep(n)); // to just before the plan
        ASSERT_EQ(sleep(n + 1), 500ms);
        clock->advance(500ms);
        ASSERT_EQ(sleep(n + 2), 5000ms);
        sources.push_back(frames().back()[4]);
        clock->advance(5000ms);
        ASSERT_EQ(sleep(n + 3), 1000ms);
        clock->advance(1000ms);
    }
    EXPECT_EQ(sources, (std::vector<std::uint8_t>{2, 4, 7, 0}))
        << "Thursday's weekly plan, the 13th's monthly plan, today's one-time plan and the new daily plan";
}

TEST_F(RunnerTest, V2ModeDecidesWhichDailyV2PlanRuns)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=11:0:0,1\nTime1=11:0:20,8\n");
    clock.emplace(VirtualClock::Mode::Manual, wallTimeOf(local(Y, M, D, 10, 0, 0)));
    link.emplace(*clock);
    auto fake = std::make_unique<omnar::test::FakeTransport>();
    transport = fake.get();
    link->setTransport(std::move(fake));
    runner.emplace(file, *link, events);
    runner->setV2IsYPbPr(true);
    ASSERT_EQ(runner->start(), PlanRunner::StartResult::Started);
    EXPECT_EQ(sleep(1), 3620s - 500ms);
    EXPECT_EQ(events.takeEntries().front().second, current("11: 0:20", "")) << "YPbPr has no name";
    clock->advance(3620s);
    EXPECT_EQ(sleep(2), 5000ms);
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 8)}) << "code 8 goes out as stored";
}

TEST_F(RunnerTest, OnlyTheCheckedListsRun)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\nweektimecount=1\n[DAYTIME]\nTime0=11:0:0,1\n[WEEKTIME]\nTime0=3,12:0:0,2\n");
    PlanKindSelection weekOnly{false, true, false, false};
    startAt(local(Y, M, D, 10, 0, 0), weekOnly);
    EXPECT_EQ(sleep(1), 7200s - 500ms);
    EXPECT_EQ(runner->start(), PlanRunner::StartResult::AlreadyRunning);
    runner->stop();
    EXPECT_FALSE(runner->running());
    runner->setKinds({false, false, false, false});
    EXPECT_EQ(runner->start(), PlanRunner::StartResult::NoKindChecked);
    EXPECT_FALSE(runner->running());
}

TEST_F(RunnerTest, StopEndsEveryWaitAtOnceAndNeverKeepsTheLock)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=11:0:0,4\nTime1=11:0:20,5\n");

    // The sleep until the plan.
    startAt(local(Y, M, D, 10, 0, 0));
    sleep(1);
    runner->stop();
    EXPECT_FALSE(runner->running());
    EXPECT_TRUE(frames().empty());

    // The pause after the switch, lock held.
    startAt(local(Y, M, D, 10, 59, 59));
    sleep(1);
    clock->advance(1s);
    EXPECT_EQ(sleep(2), 5000ms);
    runner->stop();
    EXPECT_EQ(frames().size(), 1u);
    EXPECT_TRUE(link->lock().try_lock()) << "stopping in the pause released the lock";
    link->lock().unlock();
    EXPECT_EQ(events.switchedCount(), 1u) << "the frame went out: a switch, to be logged as one";

    // The wait for a lock another sender holds.
    startAt(local(Y, M, D, 10, 59, 59));
    sleep(1);
    {
        std::lock_guard held(link->lock());
        clock->advance(1s);
        EXPECT_EQ(sleep(2), 10ms) << "tries the lock again";
        runner->stop();
    }
    EXPECT_TRUE(frames().empty());

    // The idle second once the day's plans are done.
    startAt(local(Y, M, D, 12, 0, 0));
    EXPECT_EQ(sleep(1), 1000ms);
    runner->stop();
    EXPECT_FALSE(runner->running());
}

TEST_F(RunnerTest, ASwitchWaitsForTheLinkLockThenGoesOut)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=11:0:0,4\n");
    startAt(local(Y, M, D, 10, 59, 59));
    sleep(1);
    link->lock().lock();
    clock->advance(1s);
    EXPECT_EQ(sleep(2), 10ms);
    clock->advance(10ms);
    EXPECT_EQ(sleep(3), 10ms);
    EXPECT_TRUE(frames().empty());
    link->lock().unlock();
    clock->advance(10ms);
    EXPECT_EQ(sleep(4), 5000ms);
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 4)});
}

TEST_F(RunnerTest, APlanAtMidnightRunsWhenTheNewDayIsReadUpToFiveSecondsLate)
{
    struct Case {
        int readAt; // when the runner first looks at the new day, seconds after midnight
        bool sent;
    };
    for (const Case c : {Case{0, true}, Case{5, true}, Case{6, false}}) {
        SCOPED_TRACE(c.readAt);
        writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=0:0:0,4\n");
        TimerLines console;
        startAt(local(Y, M, D, 23, 59, 58));
        EXPECT_EQ(sleep(1), 1000ms) << "midnight's plan is tomorrow's: nothing to do today";
        EXPECT_TRUE(events.takeEntries().empty());
        clock->setWall(wallTimeOf(local(Y, M, D + 1, 0, 0, c.readAt)) - 1000ms);
        clock->advance(1000ms);
        if (c.sent) {
            EXPECT_EQ(sleep(2), 5000ms) << "sent at once, then the pause";
            EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 4)});
            EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                                {TimerHalf::Current, current(" 0: 0: 0", "HDMI")}}));
            clock->advance(5000ms);
            EXPECT_EQ(sleep(3), 1000ms);
            clock->advance(1000ms);
            EXPECT_EQ(sleep(4), 1000ms) << "nothing left today";
            EXPECT_EQ(frames().size(), 1u) << "sent once";
            EXPECT_TRUE(console.take().empty());
        } else {
            EXPECT_EQ(sleep(2), 1000ms);
            EXPECT_TRUE(frames().empty());
            EXPECT_EQ(console.take(), std::vector<std::string>{
                                          "Timer: plan 00:00:00 HDMI missed its moment (runner busy), not sent\n"});
            EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                                {TimerHalf::Current, missed(" 0: 0: 0", "HDMI")}}));
            EXPECT_EQ(events.missedCount(), 1u);
        }
        runner->stop();
    }
}

TEST_F(RunnerTest, ASwitchAtTwentyThreeFiftySevenDoesNotHideThePlanAtTwoPastMidnight)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=23:59:57,4\nTime1=0:0:2,5\n");
    TimerLines console;
    startAt(local(Y, M, D, 23, 59, 50));
    EXPECT_EQ(sleep(1), 7s - 500ms);
    clock->advance(7s - 500ms);
    EXPECT_EQ(sleep(2), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(3), 5000ms) << "the pause after 23:59:57 lasts until 00:00:02";
    clock->advance(5000ms);
    EXPECT_EQ(sleep(4), 1000ms);
    events.takeEntries();
    clock->advance(1000ms);
    EXPECT_EQ(sleep(5), 5000ms) << "the new day read at 00:00:03: its 00:00:02 plan goes out a second late";
    EXPECT_EQ(frames(), (std::vector<link::Frame>{switchFrame(1, 4), switchFrame(1, 5)}));
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, current(" 0: 0: 2", "DVI")},
                                        {TimerHalf::Next, next("23:59:57", "HDMI")}}));
    clock->advance(5000ms);
    EXPECT_EQ(sleep(6), 1000ms);
    clock->advance(1000ms);
    EXPECT_EQ(sleep(7), 86388s - 500ms) << "00:00:09, on to tonight's 23:59:57";
    EXPECT_EQ(frames().size(), 2u);
    EXPECT_TRUE(console.take().empty());
}

TEST_F(RunnerTest, YesterdaysPlansStillWaitingAtMidnightKeepTheirDay)
{
    // Wednesday the 12th ends with three plans of three lists in its last seconds.
    writeText("[PLANCOUNT]\ndaytimecount=1\nweektimecount=1\nmonthtimecount=1\n"
              "[DAYTIME]\nTime0=23:59:56,0\n[WEEKTIME]\nTime0=3,23:59:58,4\n[MONTHTIME]\nTime0=12,23:59:59,2\n");
    TimerLines console;
    startAt(local(Y, M, D, 23, 59, 54));
    EXPECT_EQ(sleep(1), 1500ms);
    clock->advance(1500ms);
    EXPECT_EQ(sleep(2), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(3), 5000ms) << "V1 at 23:59:56, paused until 00:00:01";
    clock->advance(5000ms);
    EXPECT_EQ(sleep(4), 1000ms);
    events.takeEntries();
    clock->advance(1000ms);
    EXPECT_EQ(sleep(5), 5000ms) << "00:00:02: Wednesday's 23:59:58 is 4 s late, still in time";
    EXPECT_EQ(frames(), (std::vector<link::Frame>{switchFrame(1, 0), switchFrame(1, 4)}));
    clock->advance(5000ms);
    EXPECT_EQ(sleep(6), 1000ms);
    events.takeEntries();
    clock->advance(1000ms);
    EXPECT_EQ(sleep(7), 86388s - 500ms) << "00:00:08: on to Thursday's 23:59:56";
    EXPECT_EQ(console.take(),
              std::vector<std::string>{"Timer: plan 23:59:59 VGA missed its moment (runner busy), not sent\n"})
        << "Wednesday's 23:59:59 is 9 s late, not Thursday night's";
    EXPECT_EQ(events.takeEntries(), (std::vector<std::pair<TimerHalf, TimerEntry>>{
                                        {TimerHalf::Current, missed("23:59:59", "VGA")},
                                        {TimerHalf::Current, current("23:59:56", "V1")}}));
    ASSERT_EQ(events.missedCount(), 1u);
    EXPECT_EQ(events.missed.front().date, (LocalDate{Y, M, D}));
    EXPECT_EQ(frames().size(), 2u);
}

TEST_F(RunnerTest, ALinkHeldPastThePlansWindowIsTold)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=11:0:0,7\n");
    TimerLines console;
    startAt(local(Y, M, D, 10, 59, 59));
    EXPECT_EQ(sleep(1), 500ms);
    link->lock().lock();
    clock->advance(500ms);
    EXPECT_EQ(sleep(2), 10ms);
    clock->setWall(wallTimeOf(local(Y, M, D, 11, 0, 6)));
    clock->advance(10ms);
    EXPECT_EQ(sleep(3), 10ms);
    link->lock().unlock();
    clock->advance(10ms);
    EXPECT_EQ(sleep(4), 1000ms);
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(console.take(),
              std::vector<std::string>{"Timer: plan 11:00:00 EXT. missed its moment (link busy), not sent\n"});
    EXPECT_TRUE(link->lock().try_lock()) << "the lock is given back";
    link->lock().unlock();
}

TEST_F(RunnerTest, ReloadTakesTheFileAsItIsNowWhileTheRunnerSleeps)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=11:0:0,4\n");
    startAt(local(Y, M, D, 10, 0, 0));
    EXPECT_EQ(sleep(1), 3600s - 500ms);
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=10:30:0,2\nTime1=11:0:0,4\n");
    runner->reload();
    // Woken without time passing: the plan at 10:30 comes first now.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (clock->sleeps().back() != 1800s - 500ms && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100us);
    ASSERT_EQ(clock->sleeps().back(), 1800s - 500ms);
    clock->waitForSleepers(1);
    // Counted before time moves: the runner may reach its next sleep at once.
    const auto n = clock->sleeps().size();
    clock->advance(1800s);
    EXPECT_EQ(sleep(n + 1), 5000ms);
    EXPECT_EQ(frames(), std::vector<link::Frame>{switchFrame(1, 2)});
    EXPECT_EQ(now(), local(Y, M, D, 10, 30, 0));
}

TEST_F(RunnerTest, AReloadKeepsThePlansThatFellDueWhileTheRunnerPaused)
{
    // Plans of two lists 3 s apart: the weekly one falls due during the daily one's pause.
    const std::string plans = "[PLANCOUNT]\ndaytimecount=1\nweektimecount=1\n"
                              "[DAYTIME]\nTime0=11:0:0,4\n[WEEKTIME]\nTime0=3,11:0:3,5\n";
    writeText(plans);
    TimerLines console;
    startAt(local(Y, M, D, 10, 59, 59));
    EXPECT_EQ(sleep(1), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(2), 500ms);
    clock->advance(500ms);
    EXPECT_EQ(sleep(3), 5000ms) << "HDMI at 11:00:00, paused until 11:00:05";
    // The panel saves its settings into the same file meanwhile.
    writeText(plans + "[CONNECT]\nDeviceID=1\n");
    runner->reload();
    clock->advance(5000ms);
    // The runner's next pause after a frame is the sign that the frame went out.
    const auto secondPause = [&] {
        const auto sleeps = clock->sleeps();
        return clock->sleepers() == 1 && sleeps.size() > 3 &&
               std::find(sleeps.begin() + 3, sleeps.end(), 5000ms) != sleeps.end();
    };
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!secondPause() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(100us);
    ASSERT_TRUE(secondPause());
    EXPECT_EQ(frames(), (std::vector<link::Frame>{switchFrame(1, 4), switchFrame(1, 5)}))
        << "the 11:00:03 plan is 2 s late, still in time";
    EXPECT_TRUE(console.take().empty());
}

TEST_F(RunnerTest, AFrameThatCannotBeWrittenIsMissedNotSwitched)
{
    TimerLines lines;
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=11:0:0,4\n");
    startAt(local(Y, M, D, 10, 59, 59));
    transport->writeResult = 0; // the link is down
    sleep(1);
    clock->advance(1s);
    clock->advance(sleep(2));
    sleep(3);
    EXPECT_EQ(events.switchedCount(), 0u);
    EXPECT_EQ(events.missedCount(), 1u);
    EXPECT_EQ(lines.take(), std::vector<std::string>{"Timer: plan 11:00:00 HDMI missed its moment (no link), not sent\n"});
}
