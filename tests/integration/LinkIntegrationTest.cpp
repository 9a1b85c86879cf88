// The real transports and link transactions against the virtual processor,
// over a pseudo-terminal and over loopback TCP, on the real clock.

#include "core/link/CSerialPort.h"
#include "core/link/Catalogue.h"
#include "core/link/Link.h"
#include "core/link/Sources.h"
#include "core/link/TcpTransport.h"
#include "sim/SimServer.h"
#include "tests/support/QuietSim.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <unistd.h>

using namespace omnar;
using namespace std::chrono_literals;
using link::Frame;

namespace {

// Generous: a loaded machine may be slow to schedule the simulator.
constexpr int kTimeoutMs = 3000;
constexpr std::uint32_t kLoopback = 0x7F000001;

std::unique_ptr<link::CSerialPort> openSerial(const std::string& path)
{
    auto port = std::make_unique<link::CSerialPort>();
    if (!port->open(path) || !port->configure())
        return nullptr;
    return port;
}

// One status query; the main source code it reports, or -1 without a reply.
int mainSourceOf(link::Link& link, std::uint8_t id = 1)
{
    const Frame q = link::cmd::statusQuery(id);
    Frame reply{};
    if (link.QueryCommand(&q, &reply, kTimeoutMs) != 13 || reply[0] != 0x05 || reply[2] != 0xFE)
        return -1;
    return reply[7] & 0x0F;
}

} // namespace

TEST(SerialAgainstSim, IdentifiesSwitchesAndReadsStatusThroughTheSymlink)
{
    const auto linkPath = (std::filesystem::temp_directory_path()
                           / ("omnar-it-" + std::to_string(::getpid()))).string();
    auto simHolder = std::make_unique<sim::SimServer>(test::quietSim());
    auto& sim = *simHolder;
    ASSERT_TRUE(sim.openPty(linkPath)) << sim.lastError();
    sim.start();

    link::Link link;
    auto port = openSerial(linkPath);
    ASSERT_TRUE(port);
    link.setTransport(std::move(port));
    std::lock_guard lock(link.lock());

    const Frame ident = link::cmd::identQuery(1);
    Frame reply{};
    ASSERT_EQ(link.QueryCommand(&ident, &reply, kTimeoutMs), 13);
    EXPECT_TRUE(link::cmd::isIdentificationReply(reply));

    const auto hdmi = link::cmd::switchMainSource(1, 0, link::kSourceHdmi);
    EXPECT_EQ(link.SendCommand(&hdmi.frame, 0), 13);
    EXPECT_EQ(mainSourceOf(link), link::kSourceHdmi);
    ASSERT_TRUE(sim.waitForFrames(3, 5s));
    EXPECT_EQ(sim.received()[1].frame[12], link::frameChecksum(hdmi.frame)) << "checksum computed by the sender";

    // Close and reopen: the port is free again for the next connect.
    link.closeTransport();
    auto again = openSerial(linkPath);
    ASSERT_TRUE(again);
    link.setTransport(std::move(again));
    EXPECT_EQ(mainSourceOf(link), link::kSourceHdmi);
    simHolder.reset();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(linkPath)));
}

TEST(SerialAgainstSim, FragmentedRepliesAreAssembledAndForeignOnesRefused)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.openPty());
    sim.setSplit({5, 8}, 150ms); // the gap spans a poll, so two reads are needed
    sim.start();
    link::Link link;
    link.setTransport(openSerial(sim.ptyPath()));
    ASSERT_TRUE(link.transport());
    std::lock_guard lock(link.lock());

    EXPECT_EQ(mainSourceOf(link), link::kSourceV1);

    // A reply assembled from fragments must start with the lead byte.
    sim.setCorrupt({{0, std::uint8_t{0x06}}});
    const Frame q = link::cmd::statusQuery(1);
    Frame reply{};
    EXPECT_EQ(link.QueryCommand(&q, &reply, kTimeoutMs), 0);

    // Whole replies are taken as they come; the status decoder checks the id.
    sim.setCorrupt({});
    sim.setSplit({});
    sim.setAnswerId(std::uint8_t{9});
    ASSERT_EQ(link.QueryCommand(&q, &reply, kTimeoutMs), 13);
    EXPECT_EQ(reply[1], 9);

    // A device that says nothing: no reply after the timeout.
    sim.setAnswerId(std::nullopt);
    sim.setSilent(true);
    EXPECT_EQ(link.QueryCommand(&q, &reply, 300), 0);
}

TEST(TcpAgainstSim, ConnectsIdentifiesAndAssemblesSplitReplies)
{
    sim::SimServer sim(test::quietSim(false, 12));
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0)) << sim.lastError();
    sim.start();

    auto tcp = std::make_unique<link::TcpTransport>();
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(tcp->open(kLoopback, sim.tcpPort()), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s) << "a listening peer is connected at once";
    link::Link link;
    link.setTransport(std::move(tcp));
    std::lock_guard lock(link.lock());

    const Frame ident = link::cmd::identQuery(12);
    Frame reply{};
    ASSERT_EQ(link.QueryCommand(&ident, &reply, kTimeoutMs), 13);
    EXPECT_TRUE(link::cmd::isIdentificationReply(reply));

    // A reply split across segments is still one whole reply, not a zero-filled one.
    sim.setSplit({4, 4, 5}, 150ms);
    const auto dvi = link::cmd::switchMainSource(12, 1, link::kSourceDvi);
    EXPECT_EQ(link.SendCommand(&dvi.frame, 0), 13);
    const Frame q = link::cmd::statusQuery(12);
    ASSERT_EQ(link.QueryCommand(&q, &reply, kTimeoutMs), 13);
    EXPECT_EQ(reply[0], 0x05);
    EXPECT_EQ(reply[1], 12);
    EXPECT_EQ(reply[7] & 0x0F, link::kSourceDvi);
    EXPECT_EQ(reply[12], link::frameChecksum(reply)) << "every byte arrived";

    // A reply that never completes counts as none.
    sim.setSplit({});
    sim.setCloseAfter(1);
    EXPECT_EQ(link.QueryCommand(&q, &reply, 500), 0);
}

TEST(TcpAgainstSim, ClosedPortIsRefused)
{
    std::uint16_t port;
    {
        sim::SimServer sim(test::quietSim());
        ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
        port = sim.tcpPort();
    }
    link::TcpTransport tcp;
    EXPECT_EQ(tcp.open(kLoopback, port), 0);
}

namespace {

// One reply misses its query's window: its last 8 bytes come 950 ms after
// the first 5 (the simulator's `--split 5,8 --split-gap 950`), long after the
// query gave up. The simulator runs on a clock the test steps, so the late
// end arrives exactly when the test lets it. That late reply costs its own
// query and nothing more: the next (split) reply is answered and decoded,
// not assembled from the late end and its own first piece.
void lateReplyCostsOnlyItsOwnQuery(sim::SimServer& sim, util::VirtualClock& simClock, link::Link& link)
{
    std::lock_guard lock(link.lock());
    sim.setSplit({5, 8}, 950ms);
    const Frame q = link::cmd::statusQuery(1);
    Frame reply{};
    EXPECT_EQ(link.QueryCommand(&q, &reply, 300), 0) << "the end of the reply is held back";

    // The device goes on splitting its replies, now in time: from here on
    // the simulator's clock runs at about real speed.
    sim.setSplit({5, 8}, 150ms);
    ASSERT_TRUE(simClock.waitForSleepers(1)) << "the simulator waits between the two pieces";
    simClock.advance(950ms); // the late 8 bytes go out now
    for (int i = 0; i < 5000 && sim.repliesSent() < 1; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(sim.repliesSent(), 1u);
    std::jthread ticker([&](std::stop_token st) {
        while (!st.stop_requested()) {
            std::this_thread::sleep_for(10ms);
            simClock.advance(10ms);
        }
    });

    const auto hdmi = link::cmd::switchMainSource(1, 0, link::kSourceHdmi);
    EXPECT_EQ(link.SendCommand(&hdmi.frame, 0), 13);
    ASSERT_EQ(link.QueryCommand(&q, &reply, kTimeoutMs), 13);
    EXPECT_EQ(reply[0], 0x05);
    EXPECT_EQ(reply[2], 0xFE);
    EXPECT_EQ(reply[7] & 0x0F, link::kSourceHdmi);
    EXPECT_EQ(reply[12], link::frameChecksum(reply)) << "one whole reply, no leftovers glued on";
    // And the one after it as well.
    ASSERT_EQ(link.QueryCommand(&q, &reply, kTimeoutMs), 13);
    EXPECT_EQ(reply[12], link::frameChecksum(reply));
}

sim::SimOptions steppedSim()
{
    auto o = test::quietSim();
    o.replyDelay = 0ms; // only the fragment gap waits on the stepped clock
    return o;
}

} // namespace

TEST(SerialAgainstSim, LateEndOfAReplyIsNotGluedToTheNextOne)
{
    util::VirtualClock simClock(util::VirtualClock::Mode::Manual);
    sim::SimServer sim(steppedSim(), simClock);
    ASSERT_TRUE(sim.openPty());
    sim.start();
    link::Link link;
    link.setTransport(openSerial(sim.ptyPath()));
    ASSERT_TRUE(link.transport());
    lateReplyCostsOnlyItsOwnQuery(sim, simClock, link);
}

TEST(TcpAgainstSim, LateEndOfAReplyIsNotGluedToTheNextOne)
{
    util::VirtualClock simClock(util::VirtualClock::Mode::Manual);
    sim::SimServer sim(steppedSim(), simClock);
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    auto tcp = std::make_unique<link::TcpTransport>();
    ASSERT_EQ(tcp->open(kLoopback, sim.tcpPort()), 1);
    link::Link link;
    link.setTransport(std::move(tcp));
    lateReplyCostsOnlyItsOwnQuery(sim, simClock, link);
}
