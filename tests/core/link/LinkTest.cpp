#include "core/link/Catalogue.h"
#include "core/link/Link.h"
#include "core/link/Sources.h"
#include "tests/support/FakeTransport.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace omnar;
using namespace std::chrono_literals;
using link::Frame;
using test::FakeTransport;

namespace {

std::vector<std::uint8_t> statusBytes(std::uint8_t lead = 0x05)
{
    return {lead, 0x01, 0xFE, 0x00, 0x00, 0x02, 0x12, 0x05, 0x01, 0x00, 0x00, 0x00, 0x3C};
}

struct LinkFixture : ::testing::Test {
    util::VirtualClock clock;
    link::Link link{clock};
    FakeTransport* fake = nullptr;
    const Frame query = link::cmd::statusQuery(1);
    Frame reply{};

    void SetUp() override
    {
        auto t = std::make_unique<FakeTransport>();
        fake = t.get();
        link.setTransport(std::move(t));
    }
    void script(std::initializer_list<std::vector<std::uint8_t>> chunks)
    {
        for (auto& c : chunks)
            fake->reads.push_back(c);
    }
    long long slept() const
    {
        auto s = clock.sleeps();
        return std::accumulate(s.begin(), s.end(), 0LL, [](long long a, auto d) { return a + d.count(); });
    }
};

} // namespace

TEST_F(LinkFixture, SendCommandWritesChecksummedCopyAndPausesEvenOnFailure)
{
    const Frame f = link::cmd::switchMainSource(1, 0, link::kSourceHdmi).frame;
    EXPECT_EQ(link.SendCommand(&f, 3000), 13);
    ASSERT_EQ(fake->written.size(), 1u);
    EXPECT_EQ(fake->written[0][12], link::frameChecksum(f));
    EXPECT_EQ(f[12], 0);
    EXPECT_EQ(slept(), 3000);

    fake->writeResult = 0;
    EXPECT_EQ(link.SendCommand(&f, 500), 0) << "a failed send reports 0";
    EXPECT_EQ(slept(), 3500) << "the device pause is kept whatever the write did";

    EXPECT_EQ(link.SendCommand(nullptr, 500), 0);
    EXPECT_EQ(slept(), 3500) << "no frame: return at once";
}

TEST_F(LinkFixture, PollCountIsTimeoutOverHundred)
{
    EXPECT_EQ(link.QueryCommand(&query, &reply, 1000), 0);
    EXPECT_EQ(fake->readCalls, 10);
    EXPECT_EQ(slept(), 1000) << "ten 100 ms polls, no extra sleep after the last";

    fake->readCalls = 0;
    clock.clearSleeps();
    EXPECT_EQ(link.QueryCommand(&query, &reply, 50), 0);
    EXPECT_EQ(fake->readCalls, 0) << "under 100 ms: no poll at all";
    EXPECT_EQ(fake->written.size(), 2u) << "the query is still sent";
    EXPECT_EQ(slept(), 0);
}

TEST_F(LinkFixture, SendFailureEndsQueryAtOnce)
{
    fake->writeResult = 5;
    script({statusBytes()});
    EXPECT_EQ(link.QueryCommand(&query, &reply, 1000), 0);
    EXPECT_EQ(fake->readCalls, 0);
    EXPECT_EQ(link.QueryCommand(nullptr, &reply, 1000), 0);
}

TEST_F(LinkFixture, WholeReplyInOneReadIsTakenWhateverItsLeadByte)
{
    script({{}, {}, statusBytes(0x06)});
    EXPECT_EQ(link.QueryCommand(&query, &reply, 1000), 13);
    EXPECT_EQ(reply[0], 0x06) << "the caller checks byte 0";
    EXPECT_EQ(reply[7], 0x05);
    EXPECT_EQ(slept(), 2 * 100 + 200) << "two empty polls, then the pause after a reply";
}

TEST_F(LinkFixture, FragmentsAreAssembledAndTheirLeadByteChecked)
{
    auto bytes = statusBytes();
    script({{bytes.begin(), bytes.begin() + 5}, {}, {bytes.begin() + 5, bytes.end()}});
    ASSERT_EQ(link.QueryCommand(&query, &reply, 1000), 13);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), reply.begin()));
    EXPECT_EQ(slept(), 100 + 100 + 200);

    clock.clearSleeps();
    bytes[0] = 0x06;
    reply = {};
    script({{bytes.begin(), bytes.begin() + 5}, {bytes.begin() + 5, bytes.end()}});
    EXPECT_EQ(link.QueryCommand(&query, &reply, 1000), 0);
    EXPECT_EQ(slept(), 100 + 200) << "refused after the 200 ms pause";
    EXPECT_EQ(reply[0], 0) << "a refused reply is not handed out";
}

TEST_F(LinkFixture, OvershootingFragmentsNeverWritePastTheBufferAndDropTheSurplus)
{
    auto bytes = statusBytes();
    std::vector<std::uint8_t> tail(bytes.begin() + 10, bytes.end());
    tail.insert(tail.end(), {0xEE, 0xEE}); // 3 reply bytes + 2 surplus
    script({{bytes.begin(), bytes.begin() + 10}, tail});
    ASSERT_EQ(link.QueryCommand(&query, &reply, 1000), 13);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), reply.begin()));

    // Twelve single bytes then a 12-byte burst: only one byte of the burst is used.
    for (int i = 0; i < 12; ++i)
        fake->reads.push_back({bytes[static_cast<std::size_t>(i)]});
    fake->reads.push_back(std::vector<std::uint8_t>(12, 0x99));
    ASSERT_EQ(link.QueryCommand(&query, &reply, 2000), 13);
    EXPECT_EQ(reply[11], bytes[11]);
    EXPECT_EQ(reply[12], 0x99);
}

TEST_F(LinkFixture, StopRequestEndsTheWaitAndTheDelay)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(link.QueryCommand(&query, &reply, 5000, stop.get_token()), 0);
    EXPECT_EQ(fake->readCalls, 1) << "the first poll runs, its sleep is cut short";
    const Frame f = link::cmd::autoAdjust(1).frame;
    EXPECT_EQ(link.SendCommand(&f, 20000, stop.get_token()), 13);
    EXPECT_EQ(clock.steadyNow().time_since_epoch(), std::chrono::steady_clock::duration::zero())
        << "no virtual time passes once a stop is requested";
}

TEST_F(LinkFixture, NoTransportIsNoReply)
{
    link.closeTransport();
    EXPECT_EQ(link.QueryCommand(&query, &reply, 1000), 0);
    const Frame f = link::cmd::take(1, 0).frame;
    EXPECT_EQ(link.SendCommand(&f, 0), 0);
}

TEST_F(LinkFixture, LateEndOfAnEarlierReplyIsDroppedBeforeTheQuery)
{
    // The last 8 bytes of a reply that missed its query's window are waiting;
    // taken as the start of this reply they would spoil it.
    const auto late = statusBytes(0x05);
    fake->stale.assign(late.begin() + 5, late.end());
    auto bytes = statusBytes();
    bytes[7] = 0x04; // HDMI now
    script({{bytes.begin(), bytes.begin() + 5}, {bytes.begin() + 5, bytes.end()}});
    ASSERT_EQ(link.QueryCommand(&query, &reply, 1000), 13);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), reply.begin()));
    EXPECT_EQ(fake->discardCalls, 1);

    // ReceiveReply goes on listening for a reply already asked for: nothing is dropped.
    fake->stale = {0x05, 0x01};
    EXPECT_EQ(link.ReceiveReply(&reply, 200), 0);
    EXPECT_EQ(fake->discardCalls, 1);
}

TEST_F(LinkFixture, LostTransportEndsEveryTransactionAtOnce)
{
    fake->loseAtRead = 3;
    EXPECT_EQ(link.QueryCommand(&query, &reply, 5000), 0);
    EXPECT_EQ(fake->readCalls, 3) << "no more polls once the connection is gone";
    EXPECT_EQ(slept(), 200);
    EXPECT_TRUE(link.lost());
    EXPECT_EQ(link.lostReason(), "scripted loss");

    const auto writes = fake->written.size();
    EXPECT_EQ(link.QueryCommand(&query, &reply, 5000), 0);
    EXPECT_EQ(fake->written.size(), writes) << "nothing is sent on a lost link";
    const Frame f = link::cmd::autoAdjust(1).frame;
    fake->writeResult = 0;
    EXPECT_EQ(link.SendCommand(&f, 20000), 0);
    EXPECT_EQ(slept(), 200) << "no device pause for a device that is gone";

    link.closeTransport();
    EXPECT_FALSE(link.lost()) << "the next transport starts afresh";
}
