// The connect sequence, the pending-command slot, the command worker and the
// status poller against the virtual processor, on the real clock.

#include "core/link/LinkSession.h"
#include "core/link/Sources.h"
#include "core/util/Console.h"
#include "sim/SimServer.h"
#include "tests/support/QuietSim.h"
#include "tests/support/FakeTransport.h"
#include "tests/support/SessionRecorder.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace omnar;
using namespace std::chrono_literals;
using link::Frame;
using test::Recorder;

namespace {

link::ConnectTarget serialTarget(const std::string& path, std::uint8_t id = 1)
{
    link::ConnectTarget t;
    t.serial = true;
    t.comPortName = path;
    t.deviceId = id;
    return t;
}

link::ConnectTarget tcpTarget(std::uint16_t port, std::uint8_t id = 1)
{
    link::ConnectTarget t;
    t.serial = false;
    t.address = 0x7F000001;
    t.port = port;
    t.deviceId = id;
    return t;
}

// A command with no pause after it, so tests do not wait out device delays.
link::cmd::Command quick(link::cmd::Command c)
{
    c.delayMs = 0;
    return c;
}

} // namespace

TEST(LinkSession, ConnectsOverAPtyThenSendsKeysAndPolls)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.openPty());
    sim.start();
    Recorder events;
    link::LinkSession session(events);

    ASSERT_TRUE(session.connect(serialTarget(sim.ptyPath())));
    EXPECT_FALSE(session.connect(serialTarget(sim.ptyPath()))) << "one sequence at a time";
    ASSERT_TRUE(events.waitFor("connected"));
    EXPECT_EQ(events.infos(), (std::vector<std::string>{"Open com port successful", sim.ptyPath(),
                                                        "Communications equipment normal"}));
    EXPECT_TRUE(session.connected());

    // The poller mirrors the device on its own.
    ASSERT_TRUE(events.waitForStatus([](const Frame& r) { return (r[7] & 0x0F) == link::kSourceV1; }));

    session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceHdmi)));
    ASSERT_TRUE(events.waitForStatus([](const Frame& r) { return (r[7] & 0x0F) == link::kSourceHdmi; }));
    ASSERT_TRUE(events.waitFor("cmd-end"));
    const auto log = events.log();
    const auto start = std::find(log.begin(), log.end(), "cmd-start");
    ASSERT_NE(start, log.end());
    EXPECT_EQ(*(start + 1), "status") << "the command's own status query follows it";
    EXPECT_EQ(*(start + 2), "cmd-end");

    session.disconnect();
    EXPECT_FALSE(session.connected());
}

TEST(LinkSession, LastKeyWinsWhileTheSlotWaits)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));

    session.pause();
    session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceVga)));
    session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceDvi)));
    const auto before = sim.framesReceived();
    session.resume();
    ASSERT_TRUE(events.waitForStatus([](const Frame& r) { return (r[7] & 0x0F) == link::kSourceDvi; }));
    ASSERT_TRUE(events.waitFor("cmd-end"));
    int switches = 0;
    auto frames = sim.received();
    for (std::size_t i = before; i < frames.size(); ++i)
        if (frames[i].frame[2] == link::cmd::kSwitchMain) {
            ++switches;
            EXPECT_EQ(frames[i].frame[4], link::kSourceDvi);
        }
    EXPECT_EQ(switches, 1) << "the first key was replaced before the worker took it";
}

TEST(LinkSession, WrongIdentificationIsRefusedAndThePortClosed)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.openPty());
    sim.setCorrupt({{4, std::uint8_t{'Q'}}}); // "Quen dox"
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(serialTarget(sim.ptyPath())));
    ASSERT_TRUE(events.waitFor("info:Equipment connection failed"));
    EXPECT_EQ(events.log().back(), "info:Equipment connection failed");
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.link().transport(), nullptr) << "the port is closed again";

    // With a device that answers properly the next Connect works.
    sim.setCorrupt({});
    events.clear();
    ASSERT_TRUE(session.connect(serialTarget(sim.ptyPath())));
    EXPECT_TRUE(events.waitFor("connected"));
}

TEST(LinkSession, PortThatCannotBeOpenedEndsWithItsDevicePath)
{
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(serialTarget("ttyOMNAR7")));
    ASSERT_TRUE(events.waitFor("not-connected"));
    EXPECT_EQ(events.infos(), (std::vector<std::string>{"Open com port fail", "/dev/ttyOMNAR7"}));
    EXPECT_FALSE(session.connecting());
}

TEST(LinkSession, TcpPortOutOfRangeAndRefusedPeer)
{
    Recorder events;
    link::LinkSession session(events);
    auto target = tcpTarget(0);
    target.portInRange = false; // the link box held 65536
    ASSERT_TRUE(session.connect(target));
    ASSERT_TRUE(events.waitFor("not-connected"));
    EXPECT_EQ(events.log(), (std::vector<std::string>{"port-range", "info:Open network failed", "not-connected"}));

    events.clear();
    std::uint16_t closedPort;
    {
        sim::SimServer gone(test::quietSim());
        ASSERT_TRUE(gone.listenTcp("127.0.0.1", 0));
        closedPort = gone.tcpPort();
    }
    ASSERT_TRUE(session.connect(tcpTarget(closedPort)));
    ASSERT_TRUE(events.waitFor("not-connected"));
    EXPECT_EQ(events.infos(), (std::vector<std::string>{"Open network failed"}));
}

TEST(LinkSession, DisconnectWhileACommandIsInFlightThenConnectAgain)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));

    // AUTO keeps the link for 20 s after sending; Disconnect must not wait for that.
    session.submit(link::cmd::autoAdjust(1));
    ASSERT_TRUE(events.waitFor("cmd-start"));
    const auto t0 = std::chrono::steady_clock::now();
    session.disconnect();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 5s);
    EXPECT_FALSE(session.connected());

    sim.closeClient();
    events.clear();
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));
    session.submit(quick(link::cmd::freeze(1, true)));
    EXPECT_TRUE(events.waitForStatus([](const Frame& r) { return (r[6] & 0x01) != 0; }));
}

TEST(LinkSession, AStaleReplyBeforeTheIdentificationIsSkipped)
{
    Recorder events;
    link::LinkSession session(events);
    session.setTransportOpener([](const link::ConnectTarget&, std::stop_token) {
        auto fake = std::make_unique<test::FakeTransport>();
        // The answer to a status query cut short by a Disconnect, then the identification.
        fake->reads.push_back({0x05, 0x01, 0xFE, 0x00, 0x00, 0x00, 0x00, 0x04, 0x01, 0x00, 0x00, 0x01, 0xFE});
        fake->reads.push_back({0x05, 0x01, 0xFE, 0xFE, 'q', 'u', 'e', 'n', ' ', 'd', 'o', 'x', 0x00});
        return fake;
    });
    ASSERT_TRUE(session.connect(serialTarget("fake")));
    ASSERT_TRUE(events.waitFor("connected"));
    session.disconnect();

    // An identification reply with the wrong text is refused at once.
    session.setTransportOpener([](const link::ConnectTarget&, std::stop_token) {
        auto fake = std::make_unique<test::FakeTransport>();
        fake->reads.push_back({0x05, 0x01, 0xFE, 0xFE, 'q', 'u', 'e', 'n', ' ', 'd', 'o', 'X', 0x00});
        fake->reads.push_back({0x05, 0x01, 0xFE, 0xFE, 'q', 'u', 'e', 'n', ' ', 'd', 'o', 'x', 0x00});
        return fake;
    });
    events.clear();
    ASSERT_TRUE(session.connect(serialTarget("fake")));
    ASSERT_TRUE(events.waitFor("not-connected"));
}

TEST(LinkSession, LastKeyWinsWhileTheWorkerWaitsForTheLinkLock)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));
    const auto before = sim.framesReceived();
    {
        // Someone else's transaction (a status poll, the timer) holds the link.
        std::lock_guard busy(session.link().lock());
        session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceHdmi)));
        std::this_thread::sleep_for(100ms); // time for the worker to wake and queue for the lock
        session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceVga)));
    }
    ASSERT_TRUE(events.waitForStatus([](const Frame& r) { return (r[7] & 0x0F) == link::kSourceVga; }));
    ASSERT_TRUE(events.waitFor("cmd-end"));
    std::vector<int> switched;
    for (const auto& f : sim.received())
        if (f.frame[2] == link::cmd::kSwitchMain)
            switched.push_back(f.frame[4]);
    EXPECT_EQ(switched, std::vector<int>{link::kSourceVga}) << "HDMI was replaced before it went out";
    EXPECT_GT(sim.framesReceived(), before);
}

TEST(LinkSession, AKeyPressedWhileACommandIsInFlightGoesOutNext)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));

    session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceHdmi)));
    ASSERT_TRUE(events.waitFor("cmd-start"));
    session.submit(quick(link::cmd::switchMainSource(1, 0, link::kSourceDvi)));
    ASSERT_TRUE(events.waitForStatus([](const Frame& r) { return (r[7] & 0x0F) == link::kSourceDvi; }));
    std::vector<int> switched;
    for (const auto& f : sim.received())
        if (f.frame[2] == link::cmd::kSwitchMain)
            switched.push_back(f.frame[4]);
    EXPECT_EQ(switched, (std::vector<int>{link::kSourceHdmi, link::kSourceDvi}));
}

namespace {

// Collects the console's "Link lost" lines.
struct LostLines {
    std::mutex mutex;
    std::vector<std::string> lines;
    LostLines()
    {
        util::setConsoleSink([this](std::string_view s) {
            std::lock_guard lock(mutex);
            if (s.rfind("Link lost", 0) == 0)
                lines.emplace_back(s);
        });
    }
    ~LostLines() { util::setConsoleSink({}); }
    std::vector<std::string> get()
    {
        std::lock_guard lock(mutex);
        return lines;
    }
};

} // namespace

TEST(LinkSession, PeerThatHangsUpIsALostLinkAndAutoReconnectBringsItBack)
{
    LostLines console;
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.setCloseAfter(4); // identification and a few polls
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("lost:the peer closed the connection"));
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(events.infos().back(), "Connection to the device lost");
    EXPECT_EQ(console.get(), std::vector<std::string>{"Link lost: the peer closed the connection\n"});

    // Nobody polls the dead connection, and nobody connects again unasked.
    EXPECT_EQ(session.link().transport(), nullptr);
    for (int i = 0; i < 5000 && session.reconnecting(); ++i)
        std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(session.reconnecting());

    // With AutoConnect the session gets the device back by itself.
    events.clear();
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));
    session.setAutoReconnect(true);
    events.clear();
    sim.closeClient();
    // The peer's end of the stream, or its reset when our query crossed the hang-up.
    ASSERT_NE(events.waitForPrefix("lost:"), "");
    ASSERT_TRUE(events.waitFor("connected"));
    EXPECT_TRUE(session.connected());
    const auto infos = events.infos();
    EXPECT_EQ(infos.front(), "Connection to the device lost, connecting again");
    EXPECT_EQ(infos.back(), "Communications equipment normal");
    events.clear();
    ASSERT_TRUE(events.waitFor("status")) << "polling again";
    session.disconnect();
}

TEST(LinkSession, SerialDeviceThatVanishesIsALostLink)
{
    auto sim = std::make_unique<sim::SimServer>(test::quietSim());
    ASSERT_TRUE(sim->openPty());
    sim->start();
    Recorder events;
    link::LinkSession session(events);
    ASSERT_TRUE(session.connect(serialTarget(sim->ptyPath())));
    ASSERT_TRUE(events.waitFor("connected"));
    sim.reset(); // the other end of the line is gone
    // Noticed by a poll (hang-up) or by a call that fails with EIO, as it comes.
    ASSERT_NE(events.waitForPrefix("lost:the serial device hung up"), "");
    EXPECT_FALSE(session.connected());
    EXPECT_EQ(session.link().transport(), nullptr);
}

TEST(LinkSession, TheOperatorsConnectCutsATryShortWithoutAFailure)
{
    LostLines console;
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    Recorder events;
    link::LinkSession session(events);
    session.setAutoReconnect(true);
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort())));
    ASSERT_TRUE(events.waitFor("connected"));
    // The device goes quiet and hangs up: the next try connects and then
    // waits up to 6 s for an identification that does not come.
    sim.setSilent(true);
    events.clear();
    sim.closeClient();
    ASSERT_NE(events.waitForPrefix("lost:"), "");
    for (int i = 0; i < 5000 && !session.connecting(); ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(session.connecting());
    std::this_thread::sleep_for(200ms); // into the identification
    sim.setSilent(false);

    // The operator presses Connect: the try ends without a word; what waits
    // for this connect is armed only after it.
    std::vector<std::string> beforeStart;
    ASSERT_TRUE(session.connect(tcpTarget(sim.tcpPort()), [&] { beforeStart = events.log(); }));
    ASSERT_TRUE(events.waitFor("connected"));
    EXPECT_EQ(std::count(beforeStart.begin(), beforeStart.end(), "not-connected"), 0);
    const auto log = events.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "not-connected"), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "info:Equipment connection failed"), 0);
    session.disconnect();
}
