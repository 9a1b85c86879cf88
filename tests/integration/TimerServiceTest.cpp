// The timer service (omnar-ctl timer) against the virtual processor, both on
// one virtual clock that a driver thread moves on in 10 ms steps.

#include "core/ctl/CtlRun.h"
#include "core/ctl/TimerService.h"
#include "core/plans/LocalTime.h"
#include "sim/SimServer.h"
#include "tests/core/plans/PlanTestSupport.h"
#include "tests/support/QuietSim.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::plans::test;
using namespace std::chrono_literals;

namespace {

struct TimerService : PlanFileFixture {
    util::VirtualClock clock{util::VirtualClock::Mode::Manual, wallTimeOf(local(2024, 6, 12, 8, 29, 50))};
    sim::SimServer sim{omnar::test::quietSim(), clock};
    std::mutex mutex;
    std::vector<std::string> log;
    std::optional<ctl::ConsoleScope> console;
    std::optional<ctl::TimerService> service;
    std::jthread runner, driver;
    int code = -1;

    void SetUp() override
    {
        ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        console.emplace(ctl::ConsoleScope::Mode::Timestamped,
                        [this](std::string_view line) {
                            std::lock_guard lock(mutex);
                            log.emplace_back(line);
                        },
                        clock, false);
    }

    void start()
    {
        link::ConnectTarget target;
        target.serial = false;
        target.address = 0x7F000001;
        target.port = sim.tcpPort();
        service.emplace(path, target, PlanKindSelection{}, clock);
        runner = std::jthread([this](std::stop_token st) { code = service->run(st); });
        // Time moves on once the threads have settled into their sleeps: some
        // thread sleeps and nothing has changed for a moment. (A thread
        // blocked on the link lock behind a sleeping holder never sleeps
        // itself, so the driver cannot wait for every thread.)
        driver = std::jthread([this](std::stop_token st) {
            while (!st.stop_requested()) {
                const auto sleepers = clock.sleepers();
                const auto sleeps = clock.sleeps().size();
                std::this_thread::sleep_for(300us);
                if (sleepers == 0 || sleepers != clock.sleepers() || sleeps != clock.sleeps().size())
                    continue;
                clock.advance(10ms);
            }
        });
    }

    void TearDown() override
    {
        runner.request_stop();
        if (runner.joinable())
            runner.join();
        driver = {};
        service.reset();
        console.reset();
        sim.stop();
    }

    // Waits (bounded, in real time) for a log line holding `text`; returns it.
    std::string waitFor(const std::string& text, std::size_t nth = 1)
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (std::chrono::steady_clock::now() < deadline) {
            {
                std::lock_guard lock(mutex);
                std::size_t seen = 0;
                for (const auto& line : log)
                    if (line.find(text) != std::string::npos && ++seen == nth)
                        return line;
            }
            std::this_thread::sleep_for(1ms);
        }
        std::lock_guard lock(mutex);
        std::string all;
        for (const auto& line : log)
            all += line;
        ADD_FAILURE() << "no log line with \"" << text << "\" (#" << nth << ") in:\n" << all;
        return {};
    }

    // "… sent at 08:30:00.000 (0 ms late)": the moment and the lateness. On
    // a loaded machine a thread may wake a few of the driver's steps late, so
    // tests hold the lateness to the timer's own target instead of to 0.
    static bool sentInTime(const std::string& line, const std::string& at)
    {
        const auto pos = line.find(" sent at " + at);
        const auto open = line.rfind('(');
        if (pos == std::string::npos || open == std::string::npos)
            return false;
        return std::stoi(line.substr(open + 1)) < 100;
    }

    std::size_t switchesTo(std::uint8_t source) const
    {
        std::size_t n = 0;
        for (const auto& r : sim.received())
            n += r.frame[2] == 0x00 && r.frame[4] == source;
        return n;
    }
};

} // namespace

TEST_F(TimerService, RunsTodaysPlansOnTheirSecondAndReadsTheFileAgain)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0= 8:30: 0,4\n");
    start();
    EXPECT_TRUE(waitFor("Link: Communications equipment normal").starts_with("2024-06-12 08:29:50."));
    const auto sent = waitFor("Timer: plan 08:30:00 HDMI sent");
    EXPECT_TRUE(sentInTime(sent, "08:30:00.")) << sent;
    EXPECT_TRUE(sent.starts_with("2024-06-12 08:30:05.")) << "logged after the switch's pause: " << sent;
    EXPECT_EQ(switchesTo(4), 1u);
    EXPECT_EQ(sim.state().mainSource, 4);

    // The panel's editor (here: omnar-ctl) adds a plan while the timer runs.
    ctl::CtlOptions add;
    add.config = path;
    add.words = {"plans", "add", "daily", "08:31:00", "DVI"};
    ctl::CtlIo io;
    std::string err;
    io.out = [](std::string_view) {};
    io.err = [&](std::string_view t) { err += t; };
    io.clock = &clock;
    ASSERT_EQ(ctl::runCtl(add, io), 0) << err;
    waitFor("Timer: the plan file changed; reading it again");
    const auto second = waitFor("Timer: plan 08:31:00 DVI sent");
    EXPECT_TRUE(sentInTime(second, "08:31:00.")) << second;
    EXPECT_EQ(switchesTo(5), 1u);
    EXPECT_EQ(switchesTo(4), 1u) << "the plan already run is not run again";
}

TEST_F(TimerService, ConnectsAgainAfterTheDeviceHangsUpAndGoesOn)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0= 8:30: 0,4\nTime1= 8:30:30,2\n");
    start();
    waitFor("Link: Communications equipment normal");
    waitFor("Timer: plan 08:30:00 HDMI sent");
    sim.setCloseAfter(1); // hangs up on the next frame, a status poll
    const auto lost = waitFor("Link lost: ");
    EXPECT_NE(waitFor("Link: Connection to the device lost, connecting again"), "");
    const auto back = waitFor("Link: Communications equipment normal", 2);
    // One second's pause before the first try.
    EXPECT_GT(back.substr(11, 12), lost.substr(11, 12)) << lost << back;
    const auto sent = waitFor("Timer: plan 08:30:30 VGA sent");
    EXPECT_TRUE(sentInTime(sent, "08:30:30.")) << sent;
    EXPECT_EQ(switchesTo(2), 1u);
}

TEST_F(TimerService, EndsAtOnceWhenAskedWhateverItWaitsFor)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=23:00:00,4\n");
    start();
    waitFor("Link: Communications equipment normal");
    driver = {}; // time stands still: every thread sits in a wait
    clock.waitForSleepers(3);
    const auto asked = std::chrono::steady_clock::now();
    runner.request_stop();
    runner.join();
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 100ms);
    EXPECT_EQ(code, 0);
    EXPECT_NE(waitFor("Timer: stopped"), "");
}
