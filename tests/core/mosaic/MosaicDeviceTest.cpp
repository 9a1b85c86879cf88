#include "core/mosaic/MosaicDevice.h"
#include "core/mosaic/MosaicIds.h"

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <thread>

using namespace omnar;
using namespace omnar::mosaic;
using namespace std::chrono_literals;
using link::Frame;

namespace {

// True when another thread holds `m` right now.
bool heldElsewhere(std::mutex& m)
{
    return std::async(std::launch::async, [&m] {
               if (!m.try_lock())
                   return true;
               m.unlock();
               return false;
           }).get();
}

// A processor that answers at once from a little state of its own, and
// records when each frame arrived and whether the link lock was held.
class Processor final : public link::Transport {
public:
    struct Write {
        Frame frame;
        long long atMs;
        bool locked;
    };

    Processor(util::Clock& clock, std::mutex& linkLock)
        : m_clock(clock)
        , m_lock(linkLock)
        , m_start(clock.steadyNow())
    {
    }

    std::uint8_t id = 1;
    bool silent = false;
    bool answerStatus = true;
    int resolutionIndex = 6;
    int customWidth = 1280, customHeight = 720, customHz = 60;
    bool sync = false;
    bool bypass = false, mosaic = true, signal = true;
    int source = 7;
    int flagsOverride = -1; // byte 6 of the status reply as it stands, when set
    std::vector<Write> writes;
    std::atomic<int> writeCount{0};
    std::function<void(const Frame&)> onWrite;

    int writeFrame(const Frame& f) override
    {
        writes.push_back({f, now(), heldElsewhere(m_lock)});
        ++writeCount;
        if (onWrite)
            onWrite(f);
        if (silent || f[1] != id)
            return 13;
        switch (f[2]) {
        case 0x2A: bypass = false; break;
        case 0x00: source = f[4]; break;
        case 0x21: mosaic = f[3] != 0; break;
        case 0x22: sync = f[3] != 0; break;
        case 0xFE: m_reply = answer(f[3]); break;
        default: break;
        }
        return 13;
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        if (!m_reply || max < 13)
            return 0;
        std::copy(m_reply->begin(), m_reply->end(), buffer);
        m_reply.reset();
        return 13;
    }
    bool isOpen() const override { return true; }
    void close() override {}

    // Bytes 2..4 of every frame written, and when.
    std::vector<std::vector<int>> frames() const
    {
        std::vector<std::vector<int>> out;
        for (const auto& w : writes)
            out.push_back({w.frame[2], w.frame[3], w.frame[4], static_cast<int>(w.atMs)});
        return out;
    }

private:
    long long now() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_clock.steadyNow() - m_start).count();
    }
    std::optional<Frame> answer(int subCode)
    {
        Frame r{0x05, id, 0xFE, static_cast<std::uint8_t>(subCode)};
        switch (subCode) {
        case 0:
            if (!answerStatus)
                return std::nullopt;
            r[6] = static_cast<std::uint8_t>((bypass ? 0x02 : 0) | (mosaic ? 0x04 : 0));
            if (flagsOverride >= 0)
                r[6] = static_cast<std::uint8_t>(flagsOverride);
            r[7] = static_cast<std::uint8_t>(source);
            r[8] = signal ? 1 : 0;
            return r;
        case 3: r[3] = static_cast<std::uint8_t>(resolutionIndex); return r;
        case 4: r[3] = sync ? 0x02 : 0x00; return r;
        case 15:
            link::putBigEndian16(r, 4, static_cast<std::uint16_t>(customWidth));
            link::putBigEndian16(r, 6, static_cast<std::uint16_t>(customHeight));
            r[8] = static_cast<std::uint8_t>(customHz);
            return r;
        default: return std::nullopt;
        }
    }

    util::Clock& m_clock;
    std::mutex& m_lock;
    util::Clock::SteadyTime m_start;
    std::optional<Frame> m_reply;
};

// Forwards to a virtual clock and notes whether each sleep held the link lock.
class ProbingClock final : public util::Clock {
public:
    explicit ProbingClock(util::VirtualClock& inner)
        : m_inner(inner)
    {
    }
    std::mutex* lock = nullptr;
    SteadyTime steadyNow() const override { return m_inner.steadyNow(); }
    WallTime wallNow() const override { return m_inner.wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop) override
    {
        sleeps.push_back({d.count(), heldElsewhere(*lock)});
        return m_inner.sleepFor(d, stop);
    }
    std::vector<std::pair<long long, bool>> sleeps;

private:
    util::VirtualClock& m_inner;
};

struct MosaicDeviceTest : ::testing::Test {
    util::VirtualClock clock;
    link::Link link{clock};
    Processor* device = nullptr;
    std::vector<DeviceReport> reports;
    ReportSink sink = [this](const DeviceReport& r) { reports.push_back(r); };
    const util::Clock::SteadyTime start = clock.steadyNow();

    std::chrono::milliseconds elapsed() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(clock.steadyNow() - start);
    }

    void SetUp() override
    {
        auto t = std::make_unique<Processor>(clock, link.lock());
        device = t.get();
        link.setTransport(std::move(t));
    }

    void connect(std::uint8_t address = 1, setup::OutputSize previous = {})
    {
        link::JobLink job(link, {});
        ConnectCheck(job, {address, previous}, sink);
    }
    void detect()
    {
        link::JobLink job(link, {});
        Detect(job, 1, sink);
    }

    // The window's state after applying every report, as the dialog would.
    MosaicState applied(MosaicState s = {})
    {
        for (const auto& r : reports)
            applyDeviceReport(s, r);
        return s;
    }

    template <typename T>
    std::vector<T> of() const
    {
        std::vector<T> out;
        for (const auto& r : reports)
            if (const T* p = std::get_if<T>(&r))
                out.push_back(*p);
        return out;
    }
};

} // namespace

TEST(Readiness, BypassOffMosaicOnSignalAndTheWantedSource)
{
    Frame status{0x05, 1, 0xFE, 0, 0, 0, 0x04, 0x35, 1};
    const DeviceCondition c = conditionOf(status);
    EXPECT_EQ(c.source, 5) << "the second source in the high nibble is ignored";
    EXPECT_TRUE(isReady(c, 5));
    EXPECT_FALSE(isReady(c, 7));
    status[6] = 0x06;
    EXPECT_FALSE(isReady(conditionOf(status), 5)) << "bypass on";
    status[6] = 0x00;
    EXPECT_FALSE(isReady(conditionOf(status), 5)) << "mosaic off";
    status[6] = 0x04;
    status[8] = 0;
    EXPECT_FALSE(isReady(conditionOf(status), 5)) << "no signal";
    status[6] = 0xFF;
    EXPECT_TRUE(conditionOf(status).noValidState);
}

TEST_F(MosaicDeviceTest, BypassedDeviceOnHdmiIsBroughtIntoMosaicOnDvi)
{
    device->bypass = true;
    device->mosaic = false;
    device->source = 4;
    connect();

    // Bytes 2..4 and the virtual time each frame went out.
    EXPECT_EQ(device->frames(), (std::vector<std::vector<int>>{
                                    {0xFE, 3, 0, 1000},           // after the first second
                                    {0xFE, 4, 0, 2200},           // reply pause 200 + 1000
                                    {0xFE, 0, 0, 3400},
                                    {0x2A, 0, 0, 4100},           // 500 ms later
                                    {0x00, 0, 5, 5100},           // 500 after the 500 ms bypass pause, then 5000
                                    {0x21, 1, 5, 10600},          // keeps the DVI selection's byte 4
                                    {0xFE, 0, 5, 11600},          // so does the final status query
                                }));
    for (const auto& w : device->writes)
        EXPECT_TRUE(w.locked) << "every transaction holds the link lock";

    const MosaicState s = applied();
    EXPECT_TRUE(s.connected);
    EXPECT_TRUE(s.uploadEnabled);
    EXPECT_EQ(s.resolutionWidth, 1920);
    EXPECT_EQ(of<UploadControls>().size(), 2u) << "disabled before the preparation, enabled after";
    EXPECT_TRUE(of<ShowMessage>().empty());
    EXPECT_FALSE(device->bypass);
    EXPECT_TRUE(device->mosaic);
}

TEST_F(MosaicDeviceTest, PausesRunWithoutTheLockAndTransactionsWithIt)
{
    ProbingClock probe(clock);
    link::Link probed(probe);
    probe.lock = &probed.lock();
    auto t = std::make_unique<Processor>(probe, probed.lock());
    t->bypass = true;
    t->mosaic = false;
    t->source = 4;
    probed.setTransport(std::move(t));
    link::JobLink job(probed, {});
    ConnectCheck(job, {1, {}}, sink);

    const bool free = false, held = true;
    EXPECT_EQ(probe.sleeps, (std::vector<std::pair<long long, bool>>{
                                {1000, free}, {200, held},  // resolution query and its reply pause
                                {1000, free}, {200, held},  // mosaic mode
                                {1000, free}, {200, held},  // status
                                {500, free},  {500, held},  // bypass off
                                {500, free},  {5000, held}, // DVI
                                {500, free},  {500, held},  // mosaic on
                                {500, free},  {200, held},  // final status
                            }));
}

TEST_F(MosaicDeviceTest, DeviceAlreadyReadyOnExtOrDvi)
{
    connect();
    EXPECT_EQ(device->writes.size(), 3u) << "EXT. with mosaic on is accepted as it is";
    EXPECT_TRUE(applied().uploadEnabled);

    reports.clear();
    device->writes.clear();
    device->source = 5;
    clock.clearSleeps();
    connect();
    // DVI is not the connect check's source: the preparation runs its four
    // pauses and asks once more, sending no command.
    ASSERT_EQ(device->writes.size(), 4u);
    EXPECT_EQ(device->writes[3].frame[2], 0xFE);
    EXPECT_EQ(device->writes[3].atMs - device->writes[2].atMs, 200 + 4 * 500);
    EXPECT_TRUE(applied().uploadEnabled);
}

TEST_F(MosaicDeviceTest, DeviceThatStaysUnreadyGetsTheDviMessage)
{
    device->signal = false;
    connect();
    const auto messages = of<ShowMessage>();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, MessageId::DviSignalConnect);
    MosaicState s;
    s.chinese = true;
    s = applied(s);
    EXPECT_FALSE(s.uploadEnabled);
    EXPECT_TRUE(s.connected) << "the check ran to its end";
    EXPECT_TRUE(std::holds_alternative<CheckEnded>(reports.back()));
}

TEST_F(MosaicDeviceTest, CustomResolutionIsReadBackAndAZeroSizeIgnored)
{
    device->resolutionIndex = 16;
    connect();
    EXPECT_EQ(device->writes[1].frame[3], 15);
    EXPECT_EQ(device->writes[1].atMs - device->writes[0].atMs, 200 + 200);
    MosaicState s;
    MosaicView v;
    for (const auto& r : reports)
        if (std::holds_alternative<ResolutionRead>(r))
            v = applyDeviceReport(s, r);
    EXPECT_EQ(s.resolutionWidth, 1280);
    EXPECT_EQ(s.resolutionHeight, 720);
    EXPECT_EQ(v.resolutionSelection, 16);
    EXPECT_EQ(v.customResolutionEntry, "1280x720@60Hz(Custom)");
    EXPECT_EQ(v.captions.at(ids::IDC_EFFECTS_FRAME),
              "Effects show（Please enter each screen width and height values：Width<=1280，Height<=720）");

    reports.clear();
    device->customWidth = 0;
    connect(1, {1280, 720});
    s = applied(s);
    EXPECT_EQ(s.resolutionWidth, 1280) << "a custom size of 0 keeps the previous resolution";

    reports.clear();
    device->resolutionIndex = 20;
    connect(1, {1366, 768});
    MosaicState fresh;
    EXPECT_EQ(of<ResolutionRead>().at(0).size, (setup::OutputSize{1366, 768}));
    EXPECT_EQ(applyDeviceReport(fresh, of<ResolutionRead>().at(0)).resolutionSelection, -1);
}

TEST_F(MosaicDeviceTest, SilentDeviceEndsTheCheckWithoutAMessage)
{
    device->silent = true;
    connect();
    EXPECT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(elapsed(), 7000ms) << "1000 ms, then a 6000 ms timeout";
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(applied().connected) << "an unanswered resolution query still counts as connected";

    // Another address gets no answer either.
    reports.clear();
    device->silent = false;
    connect(2);
    EXPECT_TRUE(of<ResolutionRead>().empty());
}

TEST_F(MosaicDeviceTest, UnansweredStatusClearsConnectedAndSaysSo)
{
    device->answerStatus = false;
    MosaicState s;
    s.connected = true;
    s.uploadEnabled = true;
    connect();
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_TRUE(std::holds_alternative<CheckEnded>(reports[2]));
    EXPECT_EQ(std::get<ShowMessage>(reports[3]).id, MessageId::CannotConnect);
    s = applied(s);
    EXPECT_FALSE(s.connected);
    EXPECT_FALSE(s.uploadEnabled);
}

TEST_F(MosaicDeviceTest, StopBetweenTransactionsSendsNothingMore)
{
    device->bypass = true;
    device->source = 4;
    std::stop_source stop;
    device->onWrite = [&](const Frame& f) {
        if (f[2] == 0x00)
            stop.request_stop(); // the dialog closes during the 5000 ms DVI pause
    };
    link::JobLink job(link, stop.get_token());
    ConnectCheck(job, {1, {}}, sink);
    EXPECT_EQ(device->writes.back().frame[2], 0x00);
    EXPECT_EQ(of<CheckEnded>().size(), 0u) << "a stopped check reports nothing more";
}

TEST(MosaicDeviceThreads, StopEndsAWaitOnASilentDeviceAtOnce)
{
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    link::Link link(clock);
    auto t = std::make_unique<Processor>(clock, link.lock());
    t->silent = true;
    auto* device = t.get();
    link.setTransport(std::move(t));
    std::atomic<int> reports{0};
    {
        std::jthread worker([&](std::stop_token stop) {
            link::JobLink job(link, stop);
            ConnectCheck(job, {1, {}}, [&](const DeviceReport&) { ++reports; });
        });
        ASSERT_TRUE(clock.waitForSleepers(1));
        clock.advance(1000ms);
        // The query went out; its reply wait (up to 6000 ms) is cut short.
        for (int i = 0; i < 10000 && device->writeCount.load() == 0; ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(device->writeCount.load(), 1);
    } // the jthread asks to stop and joins
    EXPECT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(reports.load(), 0);
    EXPECT_TRUE(link.lock().try_lock()) << "the lock is free after a stop";
    link.lock().unlock();
}

TEST(MosaicDeviceThreads, StopEndsTheWaitForALinkLockAnotherSenderHolds)
{
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    link::Link link(clock);
    auto t = std::make_unique<Processor>(clock, link.lock());
    auto* device = t.get();
    link.setTransport(std::move(t));
    std::atomic<int> reports{0};
    // The plan runner holds the lock through a device delay of its own.
    std::unique_lock planRunner(link.lock());
    {
        std::jthread worker([&](std::stop_token stop) {
            link::JobLink job(link, stop);
            ConnectCheck(job, {1, {}}, [&](const DeviceReport&) { ++reports; });
        });
        ASSERT_TRUE(clock.waitForSleepers(1));
        clock.advance(1000ms);
        // The first query now waits for the lock, in steps a stop ends.
        for (int i = 0; i < 10000 && clock.sleeps().size() < 2; ++i)
            std::this_thread::sleep_for(1ms);
        ASSERT_EQ(clock.sleeps().size(), 2u);
        EXPECT_EQ(clock.sleeps()[1], std::chrono::milliseconds(link::JobLink::kLockRetryMs));
    } // the jthread asks to stop and joins although the lock never came free
    EXPECT_EQ(device->writeCount.load(), 0);
    EXPECT_EQ(reports.load(), 0);
}

TEST_F(MosaicDeviceTest, DetectWantsDviAndIsSilentWithoutAValidState)
{
    detect();
    ASSERT_EQ(reports.size(), 2u) << "EXT. passed the connect check but Detect wants DVI";
    EXPECT_EQ(std::get<ShowMessage>(reports[1]).id, MessageId::DviSignalDetect);
    EXPECT_EQ(device->writes[0].atMs, 0) << "no pause before Detect's query";

    reports.clear();
    device->source = 5;
    detect();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(std::get<UploadControls>(reports[0]).enabled);

    reports.clear();
    device->flagsOverride = 0xFF;
    detect();
    EXPECT_TRUE(reports.empty()) << "byte 6 = 0xFF is no valid state";
    device->silent = true;
    detect();
    EXPECT_TRUE(reports.empty());
}

TEST_F(MosaicDeviceTest, ModeFrameUsesTheMainDeviceIdAndAlwaysConfirms)
{
    link::JobLink job(link, {});
    SetMosaicMode(job, 3, true, sink);
    ASSERT_EQ(device->writes.size(), 1u);
    EXPECT_EQ(device->writes[0].frame, (Frame{0x05, 3, 0x22, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x05 ^ 3 ^ 0x22 ^ 0x01}));
    EXPECT_TRUE(device->writes[0].locked);
    EXPECT_EQ(elapsed(), 3000ms);
    ASSERT_EQ(reports.size(), 1u);
    MosaicState s;
    const auto v = applyDeviceReport(s, reports[0]);
    EXPECT_EQ(v.messages.at(0).text, "Set up successfully");
}
