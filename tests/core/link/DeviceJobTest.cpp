#include "core/link/Catalogue.h"
#include "core/link/DeviceJob.h"
#include "tests/support/ScriptedDevice.h"

#include <gtest/gtest.h>

#include <future>
#include <string>

using namespace omnar;
using namespace std::chrono_literals;
using link::Frame;
using link::JobLink;
using test::ScriptedDevice;

namespace {

struct JobFixture : ::testing::Test {
    test::ProbingClock clock;
    link::Link link{clock};
    ScriptedDevice* device = nullptr;

    void SetUp() override
    {
        auto d = std::make_unique<ScriptedDevice>();
        device = d.get();
        device->setAnswer(5, ScriptedDevice::answer(1, {5, 42}));
        link.setTransport(std::move(d));
    }
};

// A query, a pause, a frame with its delay, a pause, a query.
void sampleWork(JobLink& job, std::vector<std::string>& log)
{
    Frame reply{};
    log.push_back(job.query(link::cmd::readBackQuery(1, 5), reply, 1000) == 13 ? "reply" : "none");
    job.pause(300);
    job.send({link::makeFrame(1, 0x16, {40}), 1000});
    log.push_back("sent");
    job.pause(700);
    log.push_back(job.query(link::cmd::readBackQuery(1, 6), reply, 500) == 13 ? "reply" : "none");
}

} // namespace

TEST_F(JobFixture, ReportsInOrderAndFinishedLast)
{
    std::vector<std::string> log;
    std::promise<bool> done;
    link::DeviceJob job(link);
    ASSERT_TRUE(job.start([&](JobLink& j) { sampleWork(j, log); },
                          [&](bool stopped) {
                              log.push_back("finished");
                              done.set_value(stopped);
                          }));
    EXPECT_FALSE(done.get_future().get());
    job.stop();
    EXPECT_EQ(log, (std::vector<std::string>{"reply", "sent", "none", "finished"}));
    EXPECT_FALSE(job.running());
    EXPECT_EQ(device->commands(), (std::vector<std::pair<int, int>>{{0xFE, 5}, {0x16, 40}, {0xFE, 6}}));
}

TEST_F(JobFixture, EachTransactionHoldsTheLinkLockAndPausesLeaveItFree)
{
    std::vector<std::pair<long long, bool>> sleeps; // duration, lock free for others
    std::vector<bool> writesFree;
    clock.onSleep = [&](util::Clock::Duration d) { sleeps.emplace_back(d.count(), test::freeForOthers(link.lock())); };
    device->onWrite = [&](const Frame&) { writesFree.push_back(test::freeForOthers(link.lock())); };

    std::vector<std::string> log;
    std::stop_source never;
    JobLink job(link, never.get_token());
    sampleWork(job, log);

    EXPECT_EQ(writesFree, (std::vector<bool>{false, false, false}));
    // The 200 ms after the reply under the lock; the 300 ms pause free; the
    // frame's 1000 ms under the lock; the 700 ms pause free; then five
    // unanswered polls under the lock.
    const std::vector<std::pair<long long, bool>> expected{
        {200, false}, {300, true}, {1000, false}, {700, true},
        {100, false}, {100, false}, {100, false}, {100, false}, {100, false}};
    EXPECT_EQ(sleeps, expected);
}

TEST_F(JobFixture, AStopAtABoundarySendsNothingMore)
{
    std::stop_source stop;
    // The stop comes during the 300 ms pause after the first query.
    clock.onSleep = [&](util::Clock::Duration d) {
        if (d == 300ms)
            stop.request_stop();
    };
    const auto start = clock.steadyNow();
    std::vector<std::string> log;
    JobLink job(link, stop.get_token());
    sampleWork(job, log);
    EXPECT_EQ(device->commands(), (std::vector<std::pair<int, int>>{{0xFE, 5}}));
    EXPECT_EQ(log, (std::vector<std::string>{"reply", "sent", "none"})) << "the steps return at once";
    EXPECT_EQ(clock.steadyNow() - start, 200ms) << "no pause, frame delay or poll after the stop";
}

TEST(DeviceJob, StopEndsEveryWaitAtOnce)
{
    // Manual time: nothing moves unless the test advances it, so a job that
    // ends must have been woken by the stop.
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    link::Link link{clock};
    auto d = std::make_unique<ScriptedDevice>();
    ScriptedDevice* device = d.get();
    link.setTransport(std::move(d));

    link::DeviceJob job(link);
    std::atomic<int> finishedCalls = 0;
    std::atomic<bool> stoppedFlag = false;
    const auto finished = [&](bool stopped) {
        stoppedFlag = stopped;
        ++finishedCalls;
    };

    // A long pause between transactions.
    ASSERT_TRUE(job.start(
        [](JobLink& j) {
            j.send({link::makeFrame(1, 0x0D, {6}), 0});
            j.pause(10000);
            j.send({link::makeFrame(1, 0x0D, {7}), 0});
        },
        finished));
    ASSERT_TRUE(clock.waitForSleepers(1));
    EXPECT_TRUE(job.running());
    EXPECT_FALSE(job.start([](JobLink&) {})) << "one job at a time";
    job.stop();
    EXPECT_EQ(finishedCalls, 1);
    EXPECT_TRUE(stoppedFlag);
    EXPECT_EQ(device->commands(), (std::vector<std::pair<int, int>>{{0x0D, 6}}));

    // Waiting for a lock another sender holds (the plan runner in a delay).
    std::unique_lock held(link.lock());
    ASSERT_TRUE(job.start([](JobLink& j) { j.send({link::makeFrame(1, 0x0D, {8}), 0}); }, finished));
    ASSERT_TRUE(clock.waitForSleepers(1));
    job.stop();
    EXPECT_EQ(finishedCalls, 2);
    EXPECT_EQ(device->written().size(), 1u) << "the frame never went out";
    held.unlock();

    // A finished job makes room for the next.
    std::promise<void> done;
    ASSERT_TRUE(job.start([](JobLink&) {}, [&](bool) { done.set_value(); }));
    done.get_future().wait();
    EXPECT_TRUE(job.start([](JobLink&) {}));
}
