#include "sim/SimServer.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"
#include "core/util/Console.h"
#include "tests/sim/SocketProbe.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace omnar::sim {
namespace {

namespace cmd = link::cmd;
using link::Frame;
using namespace std::chrono_literals;
using namespace simtest;

Frame signedQuery(std::uint8_t id = 1, std::uint8_t sub = 0)
{
    return link::withChecksum(cmd::readBackQuery(id, sub));
}

// True when the peer closed the connection within the deadline.
bool peerClosed(int fd)
{
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(kDeadline.count())) <= 0)
        return false;
    std::uint8_t b;
    return ::read(fd, &b, 1) == 0;
}

SimOptions quietOptions()
{
    SimOptions o;
    o.trace = false;
    return o;
}

// A TCP server on an ephemeral port, with replies and gaps on virtual time so
// nothing waits in real time.
class SimServerTcpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listenTcp("127.0.0.1", 0)) << server.lastError();
        ASSERT_NE(server.tcpPort(), 0);
        server.start();
        client = std::make_unique<Fd>(connectTo(server.tcpPort()));
        ASSERT_GE(client->get(), 0);
    }

    int fd() const { return client->get(); }

    util::VirtualClock clock;
    SimServer server{quietOptions(), clock};
    std::unique_ptr<Fd> client;
};

TEST_F(SimServerTcpTest, AnswersStatusAndIdentification)
{
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[0], 0x05);
    EXPECT_EQ((*r)[1], 1);
    EXPECT_EQ((*r)[2], 0xFE);
    EXPECT_EQ((*r)[12], link::frameChecksum(*r));

    ASSERT_TRUE(writeFrame(fd(), link::withChecksum(cmd::identQuery(1))));
    r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_TRUE(cmd::isIdentificationReply(*r));
}

TEST_F(SimServerTcpTest, CommandInPiecesIsAppliedAndRecorded)
{
    const Frame sw = link::withChecksum(cmd::switchMainSource(1, 1, link::kSourceDvi).frame);
    ASSERT_TRUE(writeBytes(fd(), sw.data(), 4));
    ASSERT_TRUE(writeBytes(fd(), sw.data() + 4, 9));
    ASSERT_TRUE(server.waitForFrames(1, kDeadline));
    EXPECT_EQ(server.state().mainSource, link::kSourceDvi);

    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[7] & 0x0F, link::kSourceDvi);
    EXPECT_EQ((*r)[5], 1);

    const auto rec = server.received();
    ASSERT_EQ(rec.size(), 2u);
    EXPECT_EQ(rec[0].frame, sw);
    EXPECT_EQ(rec[1].frame, signedQuery());
    EXPECT_EQ(server.framesReceived(), 2u);
}

TEST_F(SimServerTcpTest, AnswerIdAndCorruptionRewriteTheReply)
{
    server.setAnswerId(7);
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[1], 7);
    EXPECT_EQ((*r)[12], link::frameChecksum(*r));

    server.setAnswerId(std::nullopt);
    server.setCorrupt({{0, 0x06}, {4, std::nullopt}});
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[0], 0x06);
    EXPECT_EQ((*r)[1], 1);
    EXPECT_EQ((*r)[4], 0xFF); // mode 0 inverted

    server.setCorrupt({});
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[0], 0x05);
}

// A query that gets no answer is followed by one that does: the first reply
// to arrive must belong to the second, which proves the first was not answered.
void expectUnansweredThenAnswered(SimServer& server, int fd, const std::function<void()>& restore,
                                  const Frame& unanswered)
{
    const auto before = server.framesReceived();
    ASSERT_TRUE(writeFrame(fd, unanswered));
    ASSERT_TRUE(server.waitForFrames(before + 1, kDeadline));
    restore();
    ASSERT_TRUE(writeFrame(fd, link::withChecksum(cmd::identQuery(1))));
    auto r = readFrame(fd);
    ASSERT_TRUE(r);
    EXPECT_TRUE(cmd::isIdentificationReply(*r));
}

TEST_F(SimServerTcpTest, DroppedSilentAndForeignQueriesGetNoReply)
{
    server.setDropRate(1.0);
    expectUnansweredThenAnswered(server, fd(), [&] { server.setDropRate(0.0); }, signedQuery());
    server.setSilent(true);
    expectUnansweredThenAnswered(server, fd(), [&] { server.setSilent(false); }, signedQuery());
    expectUnansweredThenAnswered(server, fd(), [] {}, signedQuery(2));
    Frame badSum = signedQuery();
    badSum[12] ^= 1;
    const auto before = server.framesReceived();
    ASSERT_TRUE(writeFrame(fd(), badSum));
    ASSERT_TRUE(writeFrame(fd(), link::withChecksum(cmd::identQuery(1))));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_TRUE(cmd::isIdentificationReply(*r));
    EXPECT_EQ(server.framesReceived(), before + 1); // the spoiled frame is not a frame
}

TEST_F(SimServerTcpTest, CloseClientHangsUpAndTheNextClientIsServed)
{
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    ASSERT_TRUE(readFrame(fd()));
    server.closeClient();
    EXPECT_TRUE(peerClosed(fd()));

    Fd second(connectTo(server.tcpPort()));
    ASSERT_GE(second.get(), 0);
    ASSERT_TRUE(writeFrame(second.get(), signedQuery()));
    EXPECT_TRUE(readFrame(second.get()));
}

TEST_F(SimServerTcpTest, CloseAfterHangsUpOnTheCountedFrameOnce)
{
    server.setCloseAfter(2);
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    ASSERT_TRUE(readFrame(fd()));
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    EXPECT_TRUE(peerClosed(fd()));

    Fd second(connectTo(server.tcpPort()));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(writeFrame(second.get(), signedQuery()));
        EXPECT_TRUE(readFrame(second.get())) << i;
    }
}

TEST_F(SimServerTcpTest, DeviceWorldCanChangeAtRunTime)
{
    server.setSignal(link::kSourceV1, false);
    server.setExtSubSource(3);
    ASSERT_TRUE(writeFrame(fd(), signedQuery()));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[8], 0);
    EXPECT_EQ((*r)[11], 3);
}

TEST_F(SimServerTcpTest, DeafWhileRelockingAfterAResolutionChange)
{
    server.setRelock(10000ms);
    // Choosing the mode it already has changes nothing and costs nothing.
    ASSERT_TRUE(writeFrame(fd(), link::withChecksum(link::makeFrame(1, 0x0D, {6}))));
    ASSERT_TRUE(writeFrame(fd(), signedQuery(1, 3)));
    auto r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[3], 6);

    ASSERT_TRUE(writeFrame(fd(), link::withChecksum(link::makeFrame(1, 0x0D, {0}))));
    ASSERT_TRUE(writeFrame(fd(), link::withChecksum(link::makeFrame(1, 0x0D, {2})))); // not heard
    ASSERT_TRUE(writeFrame(fd(), signedQuery(1, 3)));                                   // not answered
    ASSERT_TRUE(server.waitForFrames(5, kDeadline));
    clock.advance(10000ms);
    ASSERT_TRUE(writeFrame(fd(), signedQuery(1, 15)));
    r = readFrame(fd());
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[3], 15) << "the query sent while re-locking was answered";
    EXPECT_EQ(server.state().resolutionIndex, 0);
}

TEST(SimServerSplitTest, SplitReplyArrivesAsSeparateFragments)
{
    // Manual virtual time: the server parks in the gap until the test moves time on.
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    SimOptions o = quietOptions();
    o.replyDelay = 0ms;
    SimServer server(o, clock);
    ASSERT_TRUE(server.listenTcp("127.0.0.1", 0));
    server.start();
    server.setSplit({5, 8}, 30ms);
    Fd c(connectTo(server.tcpPort()));
    ASSERT_TRUE(writeFrame(c.get(), signedQuery()));

    // The server sleeps in the gap, so the first piece is all there is.
    ASSERT_TRUE(clock.waitForSleepers(1, kDeadline));
    const auto first = readUpTo(c.get(), 5);
    ASSERT_EQ(first.size(), 5u);
    std::uint8_t more;
    EXPECT_EQ(::recv(c.get(), &more, 1, MSG_DONTWAIT), -1);
    EXPECT_EQ(clock.sleeps().back(), 30ms);
    clock.advance(30ms);
    const auto rest = readUpTo(c.get(), 8);
    ASSERT_EQ(rest.size(), 8u);

    Frame whole{};
    std::copy(first.begin(), first.end(), whole.begin());
    std::copy(rest.begin(), rest.end(), whole.begin() + 5);
    EXPECT_EQ(whole[0], 0x05);
    EXPECT_EQ(whole[12], link::frameChecksum(whole));
    server.stop();
}

TEST(SimServerSplitTest, StopEndsAReplyDelayAtOnce)
{
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    SimOptions o = quietOptions();
    o.replyDelay = 60000ms;
    SimServer server(o, clock);
    ASSERT_TRUE(server.listenTcp("127.0.0.1", 0));
    server.start();
    Fd c(connectTo(server.tcpPort()));
    ASSERT_TRUE(writeFrame(c.get(), signedQuery()));
    ASSERT_TRUE(clock.waitForSleepers(1, kDeadline));
    server.stop(); // would hang for the virtual minute if the sleep ignored the stop
    EXPECT_EQ(server.repliesSent(), 0u);
}

TEST(SimServerTraceTest, PrintsEveryFrameInAndOut)
{
    std::vector<std::string> lines;
    std::mutex m;
    auto previous = util::setConsoleSink([&](std::string_view t) {
        std::lock_guard lock(m);
        lines.emplace_back(t);
    });
    {
        util::VirtualClock clock;
        SimServer server(SimOptions{}, clock);
        ASSERT_TRUE(server.listenTcp("127.0.0.1", 0));
        server.start();
        Fd c(connectTo(server.tcpPort()));
        const std::uint8_t junk = 0x42;
        ASSERT_TRUE(writeBytes(c.get(), &junk, 1));
        ASSERT_TRUE(writeFrame(c.get(), signedQuery()));
        ASSERT_TRUE(readFrame(c.get()));
        server.stop();
    }
    util::setConsoleSink(std::move(previous));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("<- 42\n"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("<- 05 01 fe 00 00 00 00 00 00 00 00 00 fa\n"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("-> 05 01 fe 00 00"), std::string::npos) << lines[2];
}

// --- Pseudo-terminal ---

class SimServerPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/omnar-sim-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    static int openSlave(const std::string& path)
    {
        int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return -1;
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(fd, TCSANOW, &tio);
        return fd;
    }

    std::filesystem::path dir;
    util::VirtualClock clock;
};

TEST_F(SimServerPtyTest, AnswersThroughTheLinkAndRemovesItOnExit)
{
    const auto link = (dir / "omnar").string();
    {
        SimServer server(quietOptions(), clock);
        ASSERT_TRUE(server.openPty(link)) << server.lastError();
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), server.ptyPath());
        server.start();

        // Two clients one after the other: the second finds the port working
        // although the first closed it.
        for (int i = 0; i < 2; ++i) {
            Fd c(openSlave(link));
            ASSERT_GE(c.get(), 0);
            const Frame sw = link::withChecksum(cmd::switchMainSource(1, 0, link::kSourceVga + i).frame);
            ASSERT_TRUE(writeFrame(c.get(), sw));
            ASSERT_TRUE(writeFrame(c.get(), signedQuery()));
            auto r = readFrame(c.get());
            ASSERT_TRUE(r) << "client " << i;
            EXPECT_EQ((*r)[7] & 0x0F, link::kSourceVga + i);
        }
        EXPECT_EQ(server.framesReceived(), 4u);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(SimServerPtyTest, ReplacesAStaleLinkButNeverAFile)
{
    const auto stale = (dir / "stale").string();
    std::filesystem::create_symlink("/nonexistent/pts", stale);
    SimServer a(quietOptions(), clock);
    ASSERT_TRUE(a.openPty(stale)) << a.lastError();
    EXPECT_EQ(std::filesystem::read_symlink(stale).string(), a.ptyPath());

    const auto file = (dir / "file").string();
    std::ofstream(file) << "keep me";
    SimServer b(quietOptions(), clock);
    EXPECT_FALSE(b.openPty(file));
    EXPECT_NE(b.lastError().find("not a symbolic link"), std::string::npos);
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
}

TEST_F(SimServerPtyTest, WorksWithoutALink)
{
    SimServer server(quietOptions(), clock);
    ASSERT_TRUE(server.openPty());
    server.start();
    Fd c(openSlave(server.ptyPath()));
    ASSERT_GE(c.get(), 0);
    ASSERT_TRUE(writeFrame(c.get(), link::withChecksum(cmd::identQuery(1))));
    auto r = readFrame(c.get());
    ASSERT_TRUE(r);
    EXPECT_TRUE(cmd::isIdentificationReply(*r));
}

} // namespace
} // namespace omnar::sim
