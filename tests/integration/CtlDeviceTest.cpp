// omnar-ctl's device commands and the timer service against the virtual
// processor in-process.

#include "core/ctl/CtlRun.h"
#include "core/ctl/TimerService.h"
#include "core/link/Catalogue.h"
#include "core/plans/LocalTime.h"
#include "sim/SimServer.h"
#include "tests/core/plans/PlanTestSupport.h"
#include "tests/support/QuietSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

using namespace omnar;
using namespace std::chrono_literals;

namespace {

// Real time running ten times fast: the device's pauses keep their
// proportions without the test waiting them out, and every pause asked for
// is recorded.
class FastClock final : public util::Clock {
public:
    SteadyTime steadyNow() const override { return util::RealClock::instance().steadyNow(); }
    WallTime wallNow() const override { return util::RealClock::instance().wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop = {}) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_sleeps.push_back(d);
        }
        return util::RealClock::instance().sleepFor(d / 10, stop);
    }
    std::vector<Duration> sleeps() const
    {
        std::lock_guard lock(m_mutex);
        return m_sleeps;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Duration> m_sleeps;
};

struct CtlDevice : ::testing::Test {
    FastClock clock;
    std::string out, err;

    int run(std::vector<std::string> words)
    {
        out.clear();
        err.clear();
        const auto parsed = ctl::parseCommandLine(words);
        EXPECT_EQ(parsed.error, "");
        ctl::CtlIo io;
        io.out = [this](std::string_view t) { out += t; };
        io.err = [this](std::string_view t) { err += t; };
        io.clock = &clock;
        return ctl::runCtl(parsed.options, io);
    }

    static std::vector<std::uint8_t> commandCodes(const sim::SimServer& sim)
    {
        std::vector<std::uint8_t> codes;
        for (const auto& r : sim.received())
            codes.push_back(r.frame[2]);
        return codes;
    }
};

std::string tcp(const sim::SimServer& sim)
{
    return "127.0.0.1:" + std::to_string(sim.tcpPort());
}

} // namespace

TEST_F(CtlDevice, StatusAsTextAndJsonOverTcpAndSerial)
{
    auto opts = test::quietSim();
    opts.mainSource = 4;
    opts.pipOpen = true;
    opts.pipLayout = 2;
    sim::SimServer sim(opts);
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    ASSERT_TRUE(sim.openPty());
    sim.start();

    ASSERT_EQ(run({"--tcp", tcp(sim), "status"}), 0) << err;
    EXPECT_EQ(err, "") << "the trace stays off the console";
    EXPECT_NE(out.find("main source: HDMI\nmain signal: yes\n"), std::string::npos) << out;
    EXPECT_NE(out.find("PIP: on\nPIP layout: M3\n"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 16);

    ASSERT_EQ(run({"--port", sim.ptyPath(), "status", "--json"}), 0) << err;
    EXPECT_TRUE(out.starts_with("{\"main_source\":\"HDMI\",\"main_signal\":true,")) << out;
    EXPECT_NE(out.find("\"pip\":true,\"pip_layout\":\"M3\""), std::string::npos) << out;
    EXPECT_EQ(commandCodes(sim), (std::vector<std::uint8_t>{0xFE, 0xFE, 0xFE, 0xFE})) << "identify, then ask";
    EXPECT_EQ(sim.received()[0].frame[3], 0xFE);
    EXPECT_EQ(sim.received()[1].frame[3], 0x00);
}

TEST_F(CtlDevice, SwitchPutsTheKeysFrameOnTheWireWithItsPacing)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();

    ASSERT_EQ(run({"--tcp", tcp(sim), "switch", "hdmi", "--fade", "1.0", "--trace"}), 0) << err;
    const auto frames = sim.received();
    ASSERT_EQ(frames.size(), 4u) << "identify, status, switch, status";
    EXPECT_EQ(frames[2].frame, link::withChecksum(link::makeFrame(1, 0x00, {0x02, 0x04})));
    EXPECT_EQ(sim.state().mainSource, 4);
    const auto sleeps = clock.sleeps();
    EXPECT_NE(std::find(sleeps.begin(), sleeps.end(), 3000ms), sleeps.end()) << "the source key's pause";
    EXPECT_NE(err.find(" -> 05 01 00 02 04 00 00 00 00 00 00 00 02\n"), std::string::npos) << err;

    ASSERT_EQ(run({"--tcp", tcp(sim), "switch", "DVI"}), 0) << err;
    EXPECT_EQ(sim.received()[6].frame, link::withChecksum(link::makeFrame(1, 0x00, {0x02, 0x05})))
        << "the fade the device reported is the panel's choice";
    EXPECT_EQ(clock.sleeps().back(), 200ms);
    ASSERT_EQ(run({"--tcp", tcp(sim), "key", "freeze"}), 0) << err;
    EXPECT_TRUE(sim.state().freeze);
}

TEST_F(CtlDevice, RefusedKeysSendNothingAndSayWhy)
{
    auto opts = test::quietSim();
    opts.mosaic = true;
    opts.extSubSource = 0;
    sim::SimServer sim(opts);
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();

    EXPECT_EQ(run({"--tcp", tcp(sim), "switch", "HDMI"}), ctl::kExitRefused);
    EXPECT_EQ(err, "omnar-ctl: Invalid operate only valid in mosaic off\n");
    EXPECT_EQ(run({"--tcp", tcp(sim), "switch", "ext"}), ctl::kExitRefused);
    EXPECT_EQ(err, "omnar-ctl: Ext is null,can't switch\n");
    EXPECT_EQ(run({"--tcp", tcp(sim), "key", "m2"}), ctl::kExitRefused);
    EXPECT_EQ(err, "omnar-ctl: the M2 key is disabled now (only while PIP is open)\n");
    EXPECT_EQ(run({"--tcp", tcp(sim), "key", "bypass"}), ctl::kExitRefused) << "BYPASS waits for MOSAIC off";
    EXPECT_EQ(out, "");
    for (const auto code : commandCodes(sim))
        EXPECT_EQ(code, 0xFE) << "only identification and status queries went out";
}

TEST_F(CtlDevice, LinkFailuresAreOneLineAndTheirCode)
{
    sim::SimServer sim(test::quietSim());
    ASSERT_TRUE(sim.listenTcp("127.0.0.1", 0));
    sim.start();
    const std::uint16_t closed = sim.tcpPort() == 65535 ? 65534 : sim.tcpPort() + 1;

    EXPECT_EQ(run({"--tcp", "127.0.0.1:" + std::to_string(closed), "status"}), ctl::kExitLink);
    EXPECT_EQ(err, "omnar-ctl: cannot open 127.0.0.1:" + std::to_string(closed) + "\n");
    EXPECT_EQ(run({"--tcp", tcp(sim), "--id", "7", "key", "pip"}), ctl::kExitLink);
    EXPECT_EQ(err, "omnar-ctl: no device with id 7 identified itself on " + tcp(sim) + "\n");
    EXPECT_EQ(run({"--port", "/nonexistent/tty", "status"}), ctl::kExitLink);
    EXPECT_TRUE(err.starts_with("omnar-ctl: cannot open the serial port /nonexistent/tty (")) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(run({"--tcp", "127.0.0.1", "status"}), ctl::kExitUsage);
    EXPECT_EQ(run({"--tcp", tcp(sim), "switch", "SDI"}), ctl::kExitUsage);
    EXPECT_EQ(run({"--tcp", tcp(sim), "key", "exit"}), ctl::kExitUsage);
    EXPECT_EQ(run({"--tcp", tcp(sim), "dance"}), ctl::kExitUsage);
    EXPECT_EQ(err, "omnar-ctl: unknown command \"dance\"; see omnar-ctl --help\n");
    EXPECT_TRUE(sim.received().size() <= 2u) << "usage errors are found before connecting";
}
