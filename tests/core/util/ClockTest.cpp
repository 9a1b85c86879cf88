#include "core/util/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace omnar::util;
using namespace std::chrono_literals;

TEST(VirtualClock, AutoAdvanceMovesBothClocksAndRecordsSleeps)
{
    VirtualClock clock;
    const auto wall0 = clock.wallNow();
    const auto steady0 = clock.steadyNow();
    EXPECT_TRUE(clock.sleepFor(3000ms));
    EXPECT_TRUE(clock.sleepFor(100ms));
    EXPECT_EQ(clock.steadyNow() - steady0, 3100ms);
    EXPECT_EQ(clock.wallNow() - wall0, 3100ms);
    EXPECT_EQ(clock.sleeps(), (std::vector<Clock::Duration>{3000ms, 100ms}));

    EXPECT_TRUE(clock.sleepUntil(clock.wallNow() + 1500ms));
    EXPECT_EQ(clock.wallNow() - wall0, 4600ms);
    EXPECT_TRUE(clock.sleepUntil(wall0)) << "a time already past returns at once";
}

TEST(VirtualClock, ManualModeWakesSleepersOnlyWhenTimeReachesThem)
{
    VirtualClock clock(VirtualClock::Mode::Manual);
    std::atomic<int> woke{0};
    // The stop token only matters when an assertion fails: the jthread's
    // destructor then ends the sleep instead of hanging the suite.
    std::jthread sleeper([&](std::stop_token st) {
        clock.sleepFor(1000ms, st);
        woke = 1;
        clock.sleepFor(500ms, st);
        woke = 2;
    });
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(999ms);
    EXPECT_EQ(woke.load(), 0);
    clock.advance(1ms);
    // Wait (in real time, bounded) for the sleeper to wake and start its second sleep.
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (woke.load() != 1 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(woke.load(), 1);
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(500ms);
    sleeper.join();
    EXPECT_EQ(woke.load(), 2);
}

TEST(VirtualClock, StopRequestEndsAManualSleepAndSetWallWakesWallSleepers)
{
    VirtualClock clock(VirtualClock::Mode::Manual);
    std::atomic<bool> result{true};
    std::jthread sleeper([&](std::stop_token st) { result = clock.sleepFor(1h, st); });
    ASSERT_TRUE(clock.waitForSleepers(1));
    sleeper.request_stop();
    sleeper.join();
    EXPECT_FALSE(result.load());

    // The operator sets the clock forward past a wall-time deadline.
    const auto due = clock.wallNow() + 10min;
    std::atomic<bool> reached{false};
    std::jthread waiter([&] { reached = clock.sleepUntil(due); });
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.setWall(due + 1s);
    waiter.join();
    EXPECT_TRUE(reached.load());
}

TEST(RealClock, StopRequestCutsALongSleepShort)
{
    auto& clock = RealClock::instance();
    std::stop_source stop;
    const auto t0 = std::chrono::steady_clock::now();
    std::jthread stopper([&] {
        std::this_thread::sleep_for(20ms);
        stop.request_stop();
    });
    EXPECT_FALSE(clock.sleepFor(20000ms, stop.get_token()));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 10s);
    EXPECT_FALSE(clock.sleepFor(1ms, stop.get_token())) << "already stopped: no sleep at all";
    EXPECT_TRUE(clock.sleepFor(1ms));
}
