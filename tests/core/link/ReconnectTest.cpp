// A lost link on the virtual clock: reported once, the session closed, and
// with auto-reconnect tried again after growing pauses.

#include "core/link/LinkSession.h"
#include "core/link/ReconnectBackoff.h"
#include "core/util/Console.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/SessionRecorder.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

using namespace omnar;
using namespace std::chrono_literals;

namespace {

const std::vector<std::uint8_t> kIdentReply{0x05, 0x01, 0xFE, 0xFE, 'q', 'u', 'e', 'n', ' ', 'd', 'o', 'x', 0x00};

// Opens fake transports: the first answers the identification and is lost
// at its next read; `failures` opens after it fail; the next one works.
struct FakeDevice {
    FakeDevice(util::VirtualClock& c, int f = 0)
        : clock(c)
        , failures(f)
    {
    }
    util::VirtualClock& clock;
    int failures;
    mutable std::mutex mutex;
    std::vector<util::Clock::SteadyTime> opens;

    link::LinkSession::TransportOpener opener()
    {
        return [this](const link::ConnectTarget&, std::stop_token) -> std::unique_ptr<link::Transport> {
            std::lock_guard lock(mutex);
            opens.push_back(clock.steadyNow());
            const auto n = opens.size();
            if (n > 1 && n <= static_cast<std::size_t>(failures) + 1)
                return nullptr;
            auto fake = std::make_unique<test::FakeTransport>();
            fake->reads.push_back(kIdentReply);
            if (n == 1)
                fake->loseAtRead = 2;
            return fake;
        };
    }
    std::vector<long long> opensMs() const
    {
        std::lock_guard lock(mutex);
        std::vector<long long> out;
        for (auto t : opens)
            out.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count());
        return out;
    }
};

struct ConsoleLines {
    std::mutex mutex;
    std::vector<std::string> lines;
    ConsoleLines()
    {
        util::setConsoleSink([this](std::string_view s) {
            std::lock_guard lock(mutex);
            lines.emplace_back(s);
        });
    }
    ~ConsoleLines() { util::setConsoleSink({}); }
    int count(const std::string& line)
    {
        std::lock_guard lock(mutex);
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
};

link::ConnectTarget fakeTarget()
{
    link::ConnectTarget t;
    t.serial = true;
    t.comPortName = "/dev/omnar-fake";
    return t;
}

bool eventually(const std::function<bool()>& pred)
{
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

} // namespace

TEST(ReconnectBackoff, DoublesUpToItsBoundAndStartsOverAfterReset)
{
    link::ReconnectBackoff b;
    std::vector<long long> pauses;
    for (int i = 0; i < 8; ++i)
        pauses.push_back(b.next().count());
    EXPECT_EQ(pauses, (std::vector<long long>{1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000}));
    b.reset();
    EXPECT_EQ(b.next().count(), 1000);

    // A stop request ends the retries in the middle of a pause.
    util::VirtualClock clock;
    std::stop_source stop;
    int tries = 0;
    link::ReconnectBackoff fresh;
    EXPECT_FALSE(link::retryWithBackoff(
        clock, fresh, [&] { return ++tries == 3 && (stop.request_stop(), false); }, stop.get_token()));
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(clock.sleeps().size(), 3u) << "the fourth pause ends at once";
}

TEST(LostLink, IsReportedOnceAndLeavesTheSessionDisconnected)
{
    ConsoleLines console;
    util::VirtualClock clock;
    test::Recorder events;
    FakeDevice device{clock};
    link::LinkSession session(events, clock);
    session.setTransportOpener(device.opener());

    ASSERT_TRUE(session.connect(fakeTarget()));
    ASSERT_TRUE(events.waitFor("lost:scripted loss"));
    EXPECT_FALSE(session.connected());
    ASSERT_TRUE(eventually([&] { return !session.reconnecting(); }));
    EXPECT_EQ(session.link().transport(), nullptr) << "the transport is closed";
    EXPECT_EQ(events.infos().back(), "Connection to the device lost");
    EXPECT_EQ(console.count("Link lost: scripted loss\n"), 1);
    EXPECT_EQ(device.opensMs().size(), 1u) << "no tries without AutoConnect";

    // The operator connects again by hand.
    events.clear();
    ASSERT_TRUE(session.connect(fakeTarget()));
    EXPECT_TRUE(events.waitFor("connected"));
    session.disconnect();
    const auto log = events.log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& e) { return e.rfind("lost:", 0) == 0; }), 0)
        << "a Disconnect is no lost link";
}

TEST(LostLink, AutoReconnectTriesAgainWithGrowingPauses)
{
    ConsoleLines console;
    util::VirtualClock clock;
    test::Recorder events;
    FakeDevice device{clock, 3};
    link::LinkSession session(events, clock);
    session.setTransportOpener(device.opener());
    session.setAutoReconnect(true);

    ASSERT_TRUE(session.connect(fakeTarget()));
    ASSERT_TRUE(events.waitFor("lost:scripted loss"));
    ASSERT_TRUE(eventually([&] { return device.opensMs().size() == 5 && session.connected(); }));
    const auto opens = device.opensMs();
    EXPECT_GE(opens[1] - opens[0], 1000);
    EXPECT_EQ(opens[2] - opens[1], 2000);
    EXPECT_EQ(opens[3] - opens[2], 4000);
    EXPECT_EQ(opens[4] - opens[3], 8000);
    const auto infos = events.infos();
    EXPECT_NE(std::find(infos.begin(), infos.end(), "Connection to the device lost, connecting again"), infos.end());
    EXPECT_EQ(infos.back(), "Communications equipment normal");
    EXPECT_EQ(console.count("Link lost: scripted loss\n"), 1);
    session.disconnect();
}

TEST(LostLink, TurningAutoConnectOffOrConnectingByHandEndsTheTries)
{
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    test::Recorder events;
    FakeDevice device{clock, 1000};
    link::LinkSession session(events, clock);
    session.setTransportOpener(device.opener());
    session.setAutoReconnect(true);

    ASSERT_TRUE(session.connect(fakeTarget()));
    // The identification's pause after its reply, then the loss and the first pause.
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(200ms);
    ASSERT_TRUE(events.waitFor("lost:scripted loss"));
    ASSERT_TRUE(clock.waitForSleepers(1));
    EXPECT_TRUE(session.reconnecting());
    session.setAutoReconnect(false);
    ASSERT_TRUE(eventually([&] { return !session.reconnecting(); }));
    EXPECT_EQ(device.opensMs().size(), 1u);

    // Again, and this time Connect takes over from the pause.
    FakeDevice again{clock, 1000};
    session.setTransportOpener(again.opener());
    session.setAutoReconnect(true);
    ASSERT_TRUE(session.connect(fakeTarget()));
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(200ms);
    ASSERT_TRUE(eventually([&] { return session.reconnecting(); }));
    ASSERT_TRUE(clock.waitForSleepers(1));
    events.clear();
    ASSERT_TRUE(session.connect(fakeTarget()));
    EXPECT_FALSE(session.reconnecting());
    ASSERT_TRUE(events.waitFor("not-connected"));
    EXPECT_EQ(again.opensMs().size(), 2u) << "the operator's try, no automatic one";
    session.disconnect();
}
