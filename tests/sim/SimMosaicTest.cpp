// A screen of a video wall: the start state a test can choose, the fields a
// panel reads to decide readiness, and the frames that prepare and fill a wall.

#include "core/link/Sources.h"
#include "tests/sim/DeviceProbe.h"

namespace omnar::sim {
namespace {

namespace cmd = link::cmd;
using simtest::DeviceProbe;

constexpr std::uint8_t kBypassBit = 0x02;
constexpr std::uint8_t kMosaicBit = 0x04;

TEST(SimStartStateTest, OptionsChooseResolutionWindowsAndSwitches)
{
    SimOptions o;
    o.deviceId = 7;
    o.resolutionIndex = 16;
    o.custom = {1280, 720, 60};
    o.mainSource = link::kSourceDvi;
    o.pipOpen = true;
    o.pipLayout = 2;
    o.bypass = true;
    o.mosaic = true;
    o.syncMosaic = true;
    DeviceProbe p(o);

    const link::Frame r3 = p.query(3);
    EXPECT_EQ(r3[3], 16);
    EXPECT_EQ(DeviceProbe::rectOf(r3), (WindowRect{0, 1280, 0, 720}));
    const link::Frame r15 = p.query(15);
    EXPECT_EQ(std::vector<int>(r15.begin() + 4, r15.begin() + 9), (std::vector<int>{0x05, 0x00, 0x02, 0xD0, 60}));
    // The windows a device starts with belong to its own raster.
    for (std::uint8_t sub = 7; sub <= 12; ++sub) {
        const WindowRect r = DeviceProbe::rectOf(p.query(sub));
        EXPECT_GT(r.width, 0) << int(sub);
        EXPECT_LE(r.hStart + r.width, 1280) << int(sub);
        EXPECT_LE(r.vStart + r.height, 720) << int(sub);
    }

    const link::Frame s = p.status();
    EXPECT_EQ(s[4], 2);   // PIP steady
    EXPECT_EQ(s[10], 2);  // M3
    EXPECT_EQ(s[6], kBypassBit | kMosaicBit);
    EXPECT_EQ(s[7] & 0x0F, link::kSourceDvi);
    EXPECT_EQ(p.query(4)[3] & 0x02, 0x02);
}

TEST(SimStartStateTest, OutOfRangeStartValuesFallBackAndYPbPrFollowsTheInputMode)
{
    SimOptions o;
    o.resolutionIndex = 40;
    o.mainSource = link::kSourceYPbPr; // the V2 input, not in YPbPr mode
    o.pipLayout = 5;
    DeviceProbe p(o);
    EXPECT_EQ(p.query(3)[3], 6);
    const link::Frame s = p.status();
    EXPECT_EQ(s[7] & 0x0F, link::kSourceV2);
    EXPECT_EQ(s[10], 0);

    o.ypbpr = true;
    o.pipOpen = true; // no second window over YPbPr
    DeviceProbe q(o);
    EXPECT_EQ(q.status()[7] & 0x0F, link::kSourceYPbPr);
    EXPECT_EQ(q.status()[4], 0);
}

TEST(SimStartStateTest, ACustomTimingOfNoSizeIsReportedAsItIs)
{
    // Lets a panel's handling of a device that reports a 0-wide raster be tried.
    SimOptions o;
    o.resolutionIndex = 16;
    o.custom = {0, 720, 60};
    DeviceProbe p(o);
    EXPECT_EQ(link::getBigEndian16(p.query(15), 4), 0);
    EXPECT_EQ(DeviceProbe::rectOf(p.query(3)), (WindowRect{0, 0, 0, 720}));
    p.sendWindow(0x2A, 0, {0, 64, 0, 64}); // nothing fits a raster of no size
    EXPECT_EQ(DeviceProbe::rectOf(p.query(7)), (WindowRect{0, 0, 0, 720}));
    p.send(0x0D, {6}); // a real mode brings real windows
    EXPECT_EQ(DeviceProbe::rectOf(p.query(7)), (WindowRect{0, 1920, 0, 1080}));
}

TEST(SimMosaicTest, StatusCarriesTheReadinessFieldsAndNeverNoValidState)
{
    SimOptions o;
    o.signal = {true, true, true, true, true, false, true, true}; // DVI dark
    DeviceProbe p(o);
    p.send(cmd::switchMainSource(p.id, 0, link::kSourceDvi).frame);
    p.send(cmd::mosaic(p.id, true).frame);
    link::Frame s = p.status();
    EXPECT_EQ(s[6] & (kBypassBit | kMosaicBit), kMosaicBit);
    EXPECT_EQ(s[7] & 0x0F, link::kSourceDvi);
    EXPECT_EQ(s[8], 0);
    p.device.setSignal(link::kSourceDvi, true);
    EXPECT_NE(p.status()[8], 0);

    // Every flag on is still a valid state.
    p.send(cmd::freeze(p.id, true).frame);
    p.send(cmd::bypass(p.id, true).frame);
    p.send(0x1A, {1});
    p.send(cmd::switchMode(p.id, true).frame);
    s = p.status();
    EXPECT_EQ(s[6], 0x1F);

    // Only a device told to have no state says so; the rest of the reply stays.
    p.device.setStateValid(false);
    s = p.status();
    EXPECT_EQ(s[6], 0xFF);
    EXPECT_EQ(s[7] & 0x0F, link::kSourceDvi);
    p.device.setStateValid(true);
    EXPECT_EQ(p.status()[6], 0x1F);
}

TEST(SimMosaicTest, BareM1FrameLeavesBypassAWindowFrameDoesNot)
{
    DeviceProbe p;
    p.send(cmd::bypass(p.id, true).frame);
    p.sendWindow(0x2A, 0, {0, 1280, 0, 720});
    EXPECT_TRUE(p.status()[6] & kBypassBit);
    EXPECT_EQ(DeviceProbe::rectOf(p.query(7)), (WindowRect{0, 1280, 0, 720}));
    p.send(0x2A);
    EXPECT_FALSE(p.status()[6] & kBypassBit);
    EXPECT_EQ(DeviceProbe::rectOf(p.query(7)), (WindowRect{0, 1280, 0, 720}));
}

TEST(SimMosaicTest, WallWindowsReadBackAndFollowTheRaster)
{
    DeviceProbe p;
    p.send(cmd::mosaic(p.id, true).frame);
    p.sendWindow(0x23, 0, {720, 480, 0, 1080});
    p.sendWindow(0x2C, 0, {0, 1280, 0, 1080});
    p.sendWindow(0x23, 0, {1600, 480, 0, 1080}); // past the picture's edge: kept as it was
    const link::Frame r4 = p.query(4);
    EXPECT_EQ(r4[3] & 0x02, 0);
    EXPECT_EQ(DeviceProbe::rectOf(r4), (WindowRect{720, 480, 0, 1080}));
    EXPECT_EQ(DeviceProbe::rectOf(p.query(11)), (WindowRect{0, 1280, 0, 1080}));

    // The PIP frame of M3 is still the layout's, MOSAIC or not.
    p.sendWindow(0x2C, 1, {64, 320, 64, 240});
    EXPECT_EQ(DeviceProbe::rectOf(p.query(12)), (WindowRect{64, 320, 64, 240}));

    p.send(0x0D, {7}); // 1366 x 768
    EXPECT_EQ(DeviceProbe::rectOf(p.query(4)), (WindowRect{512, 340, 0, 768}));
    EXPECT_EQ(DeviceProbe::rectOf(p.query(11)), (WindowRect{0, 910, 0, 768}));
}

TEST(SimMosaicTest, OnlyFramesForItsOwnIdPrepareIt)
{
    SimOptions o;
    o.deviceId = 3;
    o.bypass = true;
    o.mainSource = link::kSourceHdmi;
    DeviceProbe p(o);
    // A panel's preparation, first at the wrong address, then at the right one.
    for (std::uint8_t address : {1, 3}) {
        for (const auto& f : {link::makeFrame(address, 0x2A), link::makeFrame(address, 0x00, {0, 5}),
                              link::makeFrame(address, 0x21, {1, 5}), link::makeFrame(address, 0x22, {1})}) {
            EXPECT_FALSE(p.device.handle(link::withChecksum(f)).has_value());
        }
        link::Frame q = cmd::statusQuery(address);
        q[4] = 5;
        const auto reply = p.device.handle(link::withChecksum(q));
        ASSERT_EQ(reply.has_value(), address == 3);
        if (address == 1) {
            EXPECT_TRUE(p.device.state().bypass);
            EXPECT_FALSE(p.device.state().mosaic);
            EXPECT_EQ(p.device.state().mainSource, link::kSourceHdmi);
            continue;
        }
        const link::Frame& s = *reply;
        EXPECT_EQ(s[1], 3);
        EXPECT_EQ(s[6] & (kBypassBit | kMosaicBit), kMosaicBit);
        EXPECT_NE(s[8], 0);
        EXPECT_EQ(s[7] & 0x0F, link::kSourceDvi);
        EXPECT_TRUE(p.device.state().syncMosaic);
    }
}

} // namespace
} // namespace omnar::sim
