#include "core/link/DeviceJob.h"
#include "core/setup/SetupFrames.h"
#include "core/setup/SetupSequences.h"
#include "tests/support/ScriptedDevice.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace omnar;
using namespace omnar::setup;
using namespace std::chrono_literals;
using link::JobLink;
using test::ScriptedDevice;

namespace {

using Commands = std::vector<std::pair<int, int>>;

Commands queries(std::initializer_list<int> subCodes)
{
    Commands out;
    for (int s : subCodes)
        out.emplace_back(0xFE, s);
    return out;
}

struct SequenceFixture : ::testing::Test {
    test::ProbingClock clock;
    link::Link link{clock};
    ScriptedDevice* device = nullptr;
    std::vector<Report> reports;
    ReportSink sink = [this](const Report& r) { reports.push_back(r); };
    std::stop_source stop;
    // Every sleep: its length and whether the link lock was free meanwhile.
    std::vector<std::pair<long long, bool>> sleeps;

    void SetUp() override
    {
        auto d = std::make_unique<ScriptedDevice>();
        device = d.get();
        link.setTransport(std::move(d));
        clock.onSleep = [this](util::Clock::Duration d) {
            sleeps.emplace_back(d.count(), test::freeForOthers(link.lock()));
        };
    }
    void answerEverything()
    {
        device->setAnswer(3, ScriptedDevice::answer(1, {6, 0, 0, 0x07, 0x80, 0, 0, 0x04, 0x38}));
        device->setAnswer(15, ScriptedDevice::answer(1, {15, 0x05, 0x00, 0x02, 0xD0, 60}));
        for (std::uint8_t sub = 7; sub <= 12; ++sub)
            device->setAnswer(sub, ScriptedDevice::answer(1, {sub, 0, 0, 0x02, 0x00, 0, 0, 0x01, 0x00}));
        device->setAnswer(4, ScriptedDevice::answer(1, {0x02}));
        device->setAnswer(5, ScriptedDevice::answer(1, {40, 50, 0, 1, 0x84, 0x01, 0}));
        device->setAnswer(6, ScriptedDevice::answer(1, {1, 10, 20, 30}));
        device->setAnswer(16, ScriptedDevice::answer(1, {16, 11, 12, 13, 0, 14, 15, 16}));
    }
    void run(const Sequence& sequence)
    {
        JobLink job(link, stop.get_token());
        sequence(job, sink);
    }
    long long total() const
    {
        return std::accumulate(sleeps.begin(), sleeps.end(), 0LL, [](long long a, auto s) { return a + s.first; });
    }
    std::vector<std::size_t> reportKinds() const
    {
        std::vector<std::size_t> out;
        for (const auto& r : reports)
            out.push_back(r.index());
        return out;
    }
};

template <typename T>
constexpr std::size_t kind()
{
    return Report(T{}).index();
}

} // namespace

TEST_F(SequenceFixture, RefreshAsksInOrderAndPausesWithoutTheLock)
{
    answerEverything();
    run(refreshSequence({1, 1, false}));
    EXPECT_EQ(device->commands(), queries({3, 9, 10, 4, 5, 6, 16}));
    EXPECT_EQ(reportKinds(), (std::vector<std::size_t>{kind<OutputReadBack>(), kind<WindowReadBack>(),
                                                       kind<WindowReadBack>(), kind<MosaicModeReadBack>(),
                                                       kind<PictureReadBack>(), kind<TextKeyingReadBack>(),
                                                       kind<SourceColoursReadBack>()}));
    EXPECT_EQ(std::get<OutputReadBack>(reports[0]), (OutputReadBack{6, {1920, 0, 1080, 0}}));
    EXPECT_EQ(std::get<WindowReadBack>(reports[2]), (WindowReadBack{WindowGroup::Pip, {512, 0, 256, 0}}));
    // Each reply's own 200 ms under the lock, then a free 200 ms before the next query;
    // none between sub-codes 6 and 16.
    std::vector<std::pair<long long, bool>> expected;
    for (int i = 0; i < 5; ++i) {
        expected.emplace_back(200, false);
        expected.emplace_back(200, true);
    }
    expected.emplace_back(200, false);
    expected.emplace_back(200, false);
    EXPECT_EQ(sleeps, expected);
}

TEST_F(SequenceFixture, RefreshOfACustomResolutionAndItsTimeouts)
{
    // Only sub-code 3 answers, with the custom index: every other query runs
    // out its timeout, and the whole Refresh takes their sum.
    device->setAnswer(3, ScriptedDevice::answer(1, {16, 0, 0, 0x05, 0x00, 0, 0, 0x02, 0xD0}));
    run(refreshSequence({1, 0, false}));
    EXPECT_EQ(device->commands(), queries({3, 15, 7, 8, 4, 5, 6, 16}));
    EXPECT_EQ(total(), 200 + 6 * 200 + 5000 * 5 + 15000 * 2);
    ASSERT_EQ(reports.size(), 1u);

    // A silent device: sub-code 3's 5 s, then sub-code 16's 15 s, nothing else.
    reports.clear();
    link.setTransport(std::make_unique<ScriptedDevice>());
    const auto before = clock.steadyNow();
    run(refreshSequence({1, 0, false}));
    EXPECT_EQ(clock.steadyNow() - before, 20000ms);
    EXPECT_TRUE(reports.empty());
}

TEST_F(SequenceFixture, OnlyTheOutputReplyIsCheckedAndColoursAreAskedAnyway)
{
    answerEverything();
    // Sub-code 3 answered by device 2: as if no reply.
    device->setAnswer(3, ScriptedDevice::answer(2, {6}));
    run(refreshSequence({1, 0, false}));
    EXPECT_EQ(device->commands(), queries({3, 16}));
    EXPECT_EQ(reportKinds(), (std::vector<std::size_t>{kind<SourceColoursReadBack>()}));

    // Any other reply is taken as it comes, whatever its id.
    reports.clear();
    device->setAnswer(3, ScriptedDevice::answer(1, {6}));
    device->setAnswer(4, ScriptedDevice::answer(9, {0}));
    run(refreshSequence({1, 0, false}));
    EXPECT_EQ(std::get<MosaicModeReadBack>(reports[3]), MosaicModeReadBack{false});
}

TEST_F(SequenceFixture, OpeningDropsALateReplyBeforeItsFirstQuery)
{
    answerEverything();
    // A status reply left over from before the window opened: taken for the
    // answer to sub-code 3 it would read as resolution index 0.
    device->addPending(ScriptedDevice::answer(1, {0, 0, 2, 0x12}));
    run(refreshSequence({1, 0, true}));
    EXPECT_EQ(std::get<OutputReadBack>(reports.at(0)).resolutionIndex, 6);
}

TEST_F(SequenceFixture, AStopSendsNothingMore)
{
    answerEverything();
    device->onWrite = [this](const link::Frame& f) {
        if (f[3] == 8)
            stop.request_stop();
    };
    run(refreshSequence({1, 0, false}));
    EXPECT_EQ(device->commands(), queries({3, 7, 8})) << "not even sub-code 16";
    EXPECT_EQ(reports.size(), 3u) << "the reply already there is still reported";
}

TEST(SetupJob, ClosingDuringARefreshOfASilentDeviceEndsAtOnce)
{
    util::VirtualClock clock(util::VirtualClock::Mode::Manual);
    link::Link link{clock};
    auto d = std::make_unique<ScriptedDevice>();
    ScriptedDevice* device = d.get();
    link.setTransport(std::move(d));
    std::atomic<int> reports = 0;
    std::atomic<bool> finishedStopped = false;

    link::DeviceJob job(link);
    const Sequence refresh = refreshSequence({1, 0, true});
    job.start([&](JobLink& j) { refresh(j, [&](const Report&) { ++reports; }); },
              [&](bool stopped) { finishedStopped = stopped; });
    ASSERT_TRUE(clock.waitForSleepers(1));
    clock.advance(1000ms);
    job.stop();
    EXPECT_TRUE(finishedStopped);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(device->commands(), queries({3}));
}

TEST_F(SequenceFixture, LayoutReadsTheChosenWindowsThenSwitches)
{
    run(layoutSequence(1, 2, true));
    EXPECT_EQ(device->commands(), (Commands{{0xFE, 11}, {0xFE, 12}, {0x24, 2}}));
    EXPECT_EQ(total(), 1000 + 200 + 1000 + 500);
    EXPECT_EQ(reportKinds(), (std::vector<std::size_t>{kind<FrameSent>()}));

    answerEverything();
    reports.clear();
    run(layoutSequence(1, 0, false));
    EXPECT_EQ(device->commands().size(), 5u) << "no layout frame while PIP/PBP is closed";
    EXPECT_EQ(std::get<WindowReadBack>(reports.at(0)).group, WindowGroup::Main);
    EXPECT_EQ(std::get<WindowReadBack>(reports.at(1)).group, WindowGroup::Pip);
}

TEST_F(SequenceFixture, ResolutionChangeWaitsForTheDeviceOnTheClock)
{
    run(changeResolutionSequence(frames::setResolution(1, 15)));
    EXPECT_EQ(device->commands(), (Commands{{0x0D, 15}}));
    EXPECT_EQ(sleeps, (std::vector<std::pair<long long, bool>>{{1000, false}, {10000, true}}));
    EXPECT_EQ(reports, (std::vector<Report>{FrameSent{0x0D}}));

    // Stopped while the device changes: the wait ends there.
    sleeps.clear();
    clock.onSleep = [this](util::Clock::Duration d) {
        if (d == 10000ms)
            stop.request_stop();
    };
    const auto before = clock.steadyNow();
    run(changeResolutionSequence(frames::customResolution(1, 1920, 1080, 60)));
    EXPECT_EQ(clock.steadyNow() - before, 1000ms);
}

TEST_F(SequenceFixture, ResolutionOpeningAsksTheCustomSizeForIndexSixteen)
{
    device->setAnswer(3, ScriptedDevice::answer(1, {16}));
    device->setAnswer(15, ScriptedDevice::answer(1, {15, 0x07, 0x80, 0x04, 0x38, 60}));
    run(resolutionOpeningSequence(1));
    EXPECT_EQ(device->commands(), queries({3, 15}));
    EXPECT_EQ(sleeps, (std::vector<std::pair<long long, bool>>{{200, false}, {200, true}, {200, false}}));
    EXPECT_EQ(reports.at(1), Report(CustomResolution{1920, 1080, 60}));

    device->setAnswer(3, ScriptedDevice::answer(1, {6}));
    reports.clear();
    run(resolutionOpeningSequence(1));
    EXPECT_EQ(device->commands().size(), 3u);
    EXPECT_EQ(reports.size(), 1u);
}
