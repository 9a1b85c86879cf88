#include "sim/SimDevice.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"

#include <gtest/gtest.h>

#include <cstring>

namespace omnar::sim {
namespace {

namespace cmd = link::cmd;
using link::Frame;

constexpr std::uint8_t kId = 1;

Frame signedFrame(const Frame& f)
{
    return link::withChecksum(f);
}

Frame windowFrame(std::uint8_t code, std::uint8_t which, WindowRect r, std::uint8_t id = kId)
{
    Frame f = link::makeFrame(id, code, {which});
    link::putBigEndian16(f, 4, r.hStart);
    link::putBigEndian16(f, 6, r.width);
    link::putBigEndian16(f, 8, r.vStart);
    link::putBigEndian16(f, 10, r.height);
    return f;
}

WindowRect rectOf(const Frame& reply)
{
    return {link::getBigEndian16(reply, 4), link::getBigEndian16(reply, 6), link::getBigEndian16(reply, 8),
            link::getBigEndian16(reply, 10)};
}

class SimDeviceTest : public ::testing::Test {
protected:
    explicit SimDeviceTest(SimOptions opts = {})
        : device(opts)
    {
    }

    // Sends a command as the link would (checksum filled in); commands get no answer.
    void send(const Frame& f)
    {
        EXPECT_FALSE(device.handle(signedFrame(f)).has_value()) << "a command was answered";
    }
    void send(const cmd::Command& c) { send(c.frame); }

    Frame query(std::uint8_t subCode)
    {
        auto reply = device.handle(signedFrame(cmd::readBackQuery(kId, subCode)));
        EXPECT_TRUE(reply.has_value()) << "no reply to sub-code " << int(subCode);
        if (!reply)
            return Frame{};
        EXPECT_EQ((*reply)[0], 0x05);
        EXPECT_EQ((*reply)[1], kId);
        EXPECT_EQ((*reply)[2], 0xFE);
        EXPECT_EQ((*reply)[12], link::frameChecksum(*reply)) << "reply checksum";
        return *reply;
    }
    Frame status() { return query(cmd::kStatusSubCode); }

    static int mainNibble(const Frame& s) { return s[7] & 0x0F; }
    static int secondNibble(const Frame& s) { return s[7] >> 4; }

    SimDevice device;
};

class SimDeviceNoSignalTest : public SimDeviceTest {
protected:
    static SimOptions opts()
    {
        SimOptions o;
        o.signal = {true, true, true, true, false, true, true, true}; // HDMI dark
        o.extSubSource = 0;
        return o;
    }
    SimDeviceNoSignalTest()
        : SimDeviceTest(opts())
    {
    }
};

class SimDeviceYPbPrTest : public SimDeviceTest {
protected:
    static SimOptions opts()
    {
        SimOptions o;
        o.ypbpr = true;
        return o;
    }
    SimDeviceYPbPrTest()
        : SimDeviceTest(opts())
    {
    }
};

// --- Queries and addressing ---

TEST_F(SimDeviceTest, IdentificationReplyCarriesTheDeviceName)
{
    const Frame r = query(cmd::kIdentSubCode);
    EXPECT_EQ(r[3], 0xFE);
    EXPECT_EQ(std::memcmp(&r[4], "quen dox", 8), 0);
    EXPECT_TRUE(cmd::isIdentificationReply(r));
}

TEST_F(SimDeviceTest, FreshDeviceReportsMainOnlyWithV1LitAndSdiOnExt)
{
    const Frame s = status();
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(s[4], 0); // mode: main only
    EXPECT_EQ(s[5], 0); // Cut
    EXPECT_EQ(s[6], 0); // no flags
    EXPECT_EQ(mainNibble(s), link::kSourceV1);
    EXPECT_NE(s[8], 0);
    EXPECT_EQ(s[10], 0);
    EXPECT_EQ(s[11], 1);
}

TEST_F(SimDeviceTest, AnotherDeviceIdGetsNoAnswerAndChangesNothing)
{
    EXPECT_FALSE(device.handle(signedFrame(cmd::statusQuery(2))).has_value());
    EXPECT_FALSE(device.handle(signedFrame(cmd::identQuery(2))).has_value());
    EXPECT_FALSE(device.handle(signedFrame(cmd::switchMainSource(2, 1, link::kSourceHdmi).frame)).has_value());
    EXPECT_EQ(mainNibble(status()), link::kSourceV1);
}

TEST_F(SimDeviceTest, BadChecksumOrLeadByteIsIgnored)
{
    Frame q = signedFrame(cmd::statusQuery(kId));
    q[12] ^= 0x01;
    EXPECT_FALSE(device.handle(q).has_value());

    Frame c = signedFrame(cmd::bypass(kId, true).frame);
    c[12] ^= 0x80;
    EXPECT_FALSE(device.handle(c).has_value());
    EXPECT_FALSE(device.state().bypass);

    Frame lead = cmd::statusQuery(kId);
    lead[0] = 0x06;
    EXPECT_FALSE(device.handle(signedFrame(lead)).has_value());
}

TEST_F(SimDeviceTest, OnlyKnownSubCodesAreAnswered)
{
    for (std::uint8_t sub : {1, 2, 17, 0x80, 0xFD})
        EXPECT_FALSE(device.handle(signedFrame(cmd::readBackQuery(kId, sub))).has_value()) << int(sub);
    for (std::uint8_t sub = 3; sub <= 16; ++sub)
        EXPECT_TRUE(device.handle(signedFrame(cmd::readBackQuery(kId, sub))).has_value()) << int(sub);
    // Sub-codes that hold nothing known still echo the sub-code.
    EXPECT_EQ(query(13)[3], 13);
    EXPECT_EQ(rectOf(query(14)), WindowRect{});
}

TEST(SimDeviceIdTest, AnswersUnderItsOwnId)
{
    SimOptions o;
    o.deviceId = 200;
    SimDevice d(o);
    EXPECT_FALSE(d.handle(signedFrame(cmd::statusQuery(1))).has_value());
    auto r = d.handle(signedFrame(cmd::statusQuery(200)));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ((*r)[1], 200);
}

// --- Switching ---

TEST_F(SimDeviceTest, MainSwitchTakesSourceAndFade)
{
    send(cmd::switchMainSource(kId, 2, link::kSourceHdmi));
    Frame s = status();
    EXPECT_EQ(mainNibble(s), link::kSourceHdmi);
    EXPECT_EQ(s[5], 2);
    EXPECT_EQ(s[4], 0);

    // The plan runner cuts (fade 0).
    send(cmd::switchMainSource(kId, 0, link::kSourceDvi));
    s = status();
    EXPECT_EQ(mainNibble(s), link::kSourceDvi);
    EXPECT_EQ(s[5], 0);
}

TEST_F(SimDeviceTest, MainSwitchToUnknownSourceIsIgnored)
{
    send(cmd::switchMainSource(kId, 1, 9));
    const Frame s = status();
    EXPECT_EQ(mainNibble(s), link::kSourceV1);
    EXPECT_EQ(s[5], 0);
}

TEST_F(SimDeviceTest, PipOpensSteadyTakesSourcesAndCloses)
{
    send(cmd::pipOpenClose(kId, true));
    Frame s = status();
    EXPECT_EQ(s[4], 2);
    EXPECT_NE(s[9], 0);

    send(cmd::pipSource(kId, link::kSourceDp));
    s = status();
    EXPECT_EQ(secondNibble(s), link::kSourceDp);
    EXPECT_EQ(mainNibble(s), link::kSourceV1);

    send(cmd::pipOpenClose(kId, false));
    s = status();
    EXPECT_EQ(s[4], 0);
    EXPECT_EQ(s[9], 0);
    EXPECT_FALSE(device.state().pipOpen);
}

TEST_F(SimDeviceNoSignalTest, PipOnDarkSourceBlinks)
{
    send(cmd::pipOpenClose(kId, true));
    send(cmd::pipSource(kId, link::kSourceHdmi));
    Frame s = status();
    EXPECT_EQ(s[4], 1);
    EXPECT_EQ(secondNibble(s), link::kSourceHdmi);
    EXPECT_EQ(s[9], 0);

    device.setSignal(link::kSourceHdmi, true);
    s = status();
    EXPECT_EQ(s[4], 2);
    EXPECT_NE(s[9], 0);
}

TEST_F(SimDeviceTest, TextOpensAndClosesAndExcludesPip)
{
    send(cmd::textOpenClose(kId, true));
    send(cmd::textSource(kId, link::kSourceVga2));
    Frame s = status();
    EXPECT_EQ(s[4], 4);
    EXPECT_EQ(secondNibble(s), link::kSourceVga2);

    device.setSignal(link::kSourceVga2, false);
    EXPECT_EQ(status()[4], 3);

    // Only one second window at a time.
    send(cmd::pipOpenClose(kId, true));
    EXPECT_FALSE(device.state().textOpen);
    EXPECT_EQ(status()[4], 2);

    send(cmd::textOpenClose(kId, true));
    EXPECT_FALSE(device.state().pipOpen);
    send(cmd::textOpenClose(kId, false));
    EXPECT_EQ(status()[4], 0);
}

TEST_F(SimDeviceTest, PreTakePreselectsAndTakes)
{
    send(cmd::switchMode(kId, true));
    Frame s = status();
    EXPECT_EQ(s[4], 7);
    EXPECT_TRUE(s[6] & 0x10);

    send(cmd::preselect(kId, link::kSourceVga, false));
    s = status();
    EXPECT_EQ(s[4], 8);
    EXPECT_EQ(secondNibble(s), link::kSourceVga);
    EXPECT_NE(s[9], 0);
    EXPECT_EQ(mainNibble(s), link::kSourceV1);

    // Held: a new pre-selection replaces the old one.
    send(cmd::preselect(kId, link::kSourceHdmi, true));
    EXPECT_EQ(secondNibble(status()), link::kSourceHdmi);

    send(cmd::take(kId, 3));
    s = status();
    EXPECT_EQ(mainNibble(s), link::kSourceHdmi);
    EXPECT_EQ(s[5], 3);
    EXPECT_EQ(s[4], 7);

    // TAKE with nothing preselected changes nothing.
    send(cmd::take(kId, 1));
    s = status();
    EXPECT_EQ(mainNibble(s), link::kSourceHdmi);
    EXPECT_EQ(s[5], 3);

    send(cmd::switchMode(kId, false));
    s = status();
    EXPECT_EQ(s[4], 0);
    EXPECT_FALSE(s[6] & 0x10);
}

TEST_F(SimDeviceTest, PreselectionOutsidePreTakeIsIgnored)
{
    send(cmd::preselect(kId, link::kSourceVga, false));
    EXPECT_EQ(status()[4], 0);
    send(cmd::take(kId, 2));
    EXPECT_EQ(mainNibble(status()), link::kSourceV1);
}

TEST_F(SimDeviceTest, PipOverPreTakeShowsPipThenReturnsToPreselection)
{
    send(cmd::switchMode(kId, true));
    send(cmd::preselect(kId, link::kSourceDvi, false));
    send(cmd::pipOpenClose(kId, true));
    EXPECT_EQ(status()[4], 2);
    send(cmd::pipOpenClose(kId, false));
    const Frame s = status();
    EXPECT_EQ(s[4], 8);
    EXPECT_EQ(secondNibble(s), link::kSourceDvi);
}

// --- Function keys ---

TEST_F(SimDeviceTest, FreezeBypassMosaicSetTheirBits)
{
    send(cmd::freeze(kId, true));
    EXPECT_EQ(status()[6], 0x01);
    send(cmd::bypass(kId, true));
    EXPECT_EQ(status()[6], 0x03);
    send(cmd::mosaic(kId, true));
    EXPECT_EQ(status()[6], 0x07);
    send(cmd::freeze(kId, false));
    send(cmd::bypass(kId, false));
    EXPECT_EQ(status()[6], 0x04);
    send(cmd::mosaic(kId, false));
    EXPECT_EQ(status()[6], 0x00);
}

TEST_F(SimDeviceTest, LayoutKeysSetByte10)
{
    send(cmd::pipOpenClose(kId, true));
    for (int layout : {1, 2, 0}) {
        send(cmd::layout(kId, layout));
        EXPECT_EQ(status()[10], layout);
    }
    send(cmd::layout(kId, 3));
    EXPECT_EQ(status()[10], 0);
}

// --- Signals and EXT. ---

TEST_F(SimDeviceNoSignalTest, SignalFlagsFollowTheInputs)
{
    send(cmd::switchMainSource(kId, 0, link::kSourceHdmi));
    EXPECT_EQ(status()[8], 0);
    device.setSignal(link::kSourceHdmi, true);
    EXPECT_NE(status()[8], 0);
    device.setSignal(link::kSourceHdmi, false);
    EXPECT_EQ(status()[8], 0);
}

TEST_F(SimDeviceNoSignalTest, ExtWithoutSubSourceHasNoSignal)
{
    EXPECT_EQ(status()[11], 0);
    send(cmd::switchMainSource(kId, 0, link::kSourceExt));
    EXPECT_EQ(status()[8], 0);
    device.setExtSubSource(4);
    Frame s = status();
    EXPECT_EQ(s[11], 4);
    EXPECT_NE(s[8], 0);
    device.setExtSubSource(6); // not a sub-source: kept
    EXPECT_EQ(status()[11], 4);
}

// --- V2 / YPbPr ---

TEST_F(SimDeviceYPbPrTest, V2InputIsReportedAsYPbPr)
{
    EXPECT_TRUE(status()[6] & 0x08);
    // The V2 key in YPbPr mode sends source 8.
    send(cmd::switchMainSource(kId, 0, link::kSourceYPbPr));
    EXPECT_EQ(mainNibble(status()), link::kSourceYPbPr);
    // A plan stored as V2 lands on the same input.
    send(cmd::switchMainSource(kId, 0, link::kSourceVga));
    send(cmd::switchMainSource(kId, 0, link::kSourceV2));
    EXPECT_EQ(mainNibble(status()), link::kSourceYPbPr);
    EXPECT_NE(status()[8], 0);
}

TEST_F(SimDeviceYPbPrTest, NoSecondWindowOverYPbPr)
{
    send(cmd::switchMainSource(kId, 0, link::kSourceYPbPr));
    send(cmd::pipOpenClose(kId, true));
    send(cmd::textOpenClose(kId, true));
    EXPECT_EQ(status()[4], 0);
}

TEST_F(SimDeviceTest, V2ModeCommandSwitchesTheInputMode)
{
    send(cmd::switchMainSource(kId, 0, link::kSourceV2));
    send(link::makeFrame(kId, 0x1A, {1}));
    Frame s = status();
    EXPECT_TRUE(s[6] & 0x08);
    EXPECT_EQ(mainNibble(s), link::kSourceYPbPr);
    send(link::makeFrame(kId, 0x1A, {0}));
    s = status();
    EXPECT_FALSE(s[6] & 0x08);
    EXPECT_EQ(mainNibble(s), link::kSourceV2);
}

// --- Read-backs reflect their write commands ---

TEST_F(SimDeviceTest, ResolutionAndOutputWindowReadBack)
{
    Frame r = query(3);
    EXPECT_EQ(r[3], 6);
    EXPECT_EQ(rectOf(r), (WindowRect{0, 1920, 0, 1080}));

    send(link::makeFrame(kId, 0x0D, {8}));
    r = query(3);
    EXPECT_EQ(r[3], 8);
    EXPECT_EQ(rectOf(r), (WindowRect{0, 1440, 0, 900})); // a new raster starts full

    send(windowFrame(0x0E, 0, {0, 1440, 8, 880}));
    EXPECT_EQ(rectOf(query(3)), (WindowRect{0, 1440, 8, 880}));

    send(link::makeFrame(kId, 0x0D, {17}));
    EXPECT_EQ(query(3)[3], 8);
}

TEST_F(SimDeviceTest, CustomResolutionReadBack)
{
    Frame f = link::makeFrame(kId, 0x0F, {0});
    link::putBigEndian16(f, 4, 1280);
    link::putBigEndian16(f, 6, 720);
    f[8] = 60;
    send(f);
    Frame r = query(3);
    EXPECT_EQ(r[3], 16);
    EXPECT_EQ(rectOf(r), (WindowRect{0, 1280, 0, 720}));
    r = query(15);
    EXPECT_EQ(link::getBigEndian16(r, 4), 1280);
    EXPECT_EQ(link::getBigEndian16(r, 6), 720);
    EXPECT_EQ(r[8], 60);

    // No size, no mode; nor a side of 0 whose blanking alone is in the clock range.
    send(link::makeFrame(kId, 0x0F, {0}));
    EXPECT_EQ(link::getBigEndian16(query(15), 4), 1280);
    Frame noWidth = link::makeFrame(kId, 0x0F, {0});
    link::putBigEndian16(noWidth, 6, 2400);
    noWidth[8] = 60;
    send(noWidth);
    EXPECT_EQ(link::getBigEndian16(query(15), 4), 1280);
    EXPECT_EQ(rectOf(query(3)), (WindowRect{0, 1280, 0, 720}));
}

TEST_F(SimDeviceTest, LayoutWindowsReadBackPerLayout)
{
    const WindowRect main{0, 1024, 0, 768};
    const WindowRect pip{512, 400, 300, 300};
    send(windowFrame(0x2B, 0, main)); // M2 main
    send(windowFrame(0x2B, 1, pip));  // M2 PIP
    EXPECT_EQ(rectOf(query(9)), main);
    EXPECT_EQ(rectOf(query(10)), pip);

    const WindowRect m1 = rectOf(query(7));
    send(windowFrame(0x2A, 1, {64, 640, 48, 480}));
    EXPECT_EQ(rectOf(query(8)), (WindowRect{64, 640, 48, 480}));
    EXPECT_EQ(rectOf(query(7)), m1);

    send(windowFrame(0x2C, 0, {2, 800, 4, 600}));
    EXPECT_EQ(rectOf(query(11)), (WindowRect{2, 800, 4, 600}));
    send(windowFrame(0x2C, 1, {6, 200, 8, 100}));
    EXPECT_EQ(rectOf(query(12)), (WindowRect{6, 200, 8, 100}));
}

TEST_F(SimDeviceTest, MosaicModeAndWindows)
{
    EXPECT_EQ(query(4)[3] & 0x02, 0);
    send(link::makeFrame(kId, 0x22, {1}));
    EXPECT_EQ(query(4)[3] & 0x02, 0x02);
    send(link::makeFrame(kId, 0x22, {0}));
    EXPECT_EQ(query(4)[3] & 0x02, 0);

    const WindowRect m3 = rectOf(query(11));
    send(cmd::mosaic(kId, true));
    send(windowFrame(0x23, 0, {720, 480, 0, 1080}));
    send(windowFrame(0x2C, 0, {0, 1280, 0, 1080}));
    EXPECT_EQ(device.state().mosaicInput, (WindowRect{720, 480, 0, 1080}));
    EXPECT_EQ(device.state().mosaicOutput, (WindowRect{0, 1280, 0, 1080}));
    EXPECT_EQ(rectOf(query(4)), (WindowRect{720, 480, 0, 1080}));
    // Under MOSAIC the M3 main code is the mosaic output window, not the layout's:
    // it reads back there, and the layout's own window returns when MOSAIC goes off.
    EXPECT_EQ(device.state().layouts[2].main, m3);
    EXPECT_EQ(rectOf(query(11)), (WindowRect{0, 1280, 0, 1080}));
    send(cmd::mosaic(kId, false));
    EXPECT_EQ(rectOf(query(11)), m3);
}

TEST_F(SimDeviceTest, MosaicPreparationBringsTheDeviceReady)
{
    send(cmd::bypass(kId, true));
    send(cmd::switchMainSource(kId, 0, link::kSourceHdmi));
    // The connect check's sequence: 0x2A bare, DVI, mosaic on with byte 4 left at 5.
    send(link::makeFrame(kId, 0x2A));
    send(link::makeFrame(kId, 0x00, {0, 5}));
    send(link::makeFrame(kId, 0x21, {1, 5}));
    Frame q = cmd::statusQuery(kId);
    q[4] = 5;
    auto r = device.handle(signedFrame(q));
    ASSERT_TRUE(r.has_value());
    const Frame s = *r;
    EXPECT_FALSE(s[6] & 0x02);
    EXPECT_TRUE(s[6] & 0x04);
    EXPECT_NE(s[8], 0);
    EXPECT_EQ(mainNibble(s), link::kSourceDvi);
}

TEST_F(SimDeviceTest, PictureAudioBackupReadBack)
{
    Frame r = query(5);
    EXPECT_EQ(r[3], 64);
    EXPECT_EQ(r[4], 50);
    EXPECT_EQ(r[9], 0);

    send(link::makeFrame(kId, 0x16, {40}));
    send(link::makeFrame(kId, 0x16, {66})); // above 0..64: refused
    send(link::makeFrame(kId, 0x2D, {73}));
    send(link::makeFrame(kId, 0x2D, {101}));
    send(link::makeFrame(kId, 0x17, {1}));
    send(link::makeFrame(kId, 0x19, {8, 4}));
    send(link::makeFrame(kId, 0x13, {1, 0, 1}));
    r = query(5);
    EXPECT_EQ(r[3], 40);
    EXPECT_EQ(r[4], 73);
    EXPECT_EQ(r[6], 1);
    EXPECT_EQ(r[7], 0x84);
    EXPECT_EQ(r[8], 0x05);

    send(link::makeFrame(kId, 0x17, {0}));
    send(link::makeFrame(kId, 0x13, {0, 1, 0}));
    send(link::makeFrame(kId, 0x19, {0xFF, 2}));
    r = query(5);
    EXPECT_EQ(r[6], 0);
    EXPECT_EQ(r[8], 0x02);
    EXPECT_EQ(r[7], 0xF2);
}

TEST(SimDeviceBrightnessTest, WideRangeAcceptsUpToHundred)
{
    SimOptions o;
    o.brightnessRange = 1;
    SimDevice d(o);
    d.handle(signedFrame(link::makeFrame(kId, 0x16, {100})));
    auto r = d.handle(signedFrame(cmd::readBackQuery(kId, 5)));
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[3], 100);
    EXPECT_EQ((*r)[9], 1);
}

TEST_F(SimDeviceTest, TextKeyingReadBack)
{
    send(link::makeFrame(kId, 0x15, {1, 0x00, 0x80, 0xFF}));
    Frame r = query(6);
    EXPECT_EQ(r[3], 1);
    EXPECT_EQ(r[4], 0x00);
    EXPECT_EQ(r[5], 0x80);
    EXPECT_EQ(r[6], 0xFF);
    send(link::makeFrame(kId, 0x15, {0, 8, 4, 8}));
    r = query(6);
    EXPECT_EQ(r[3], 0);
    EXPECT_EQ(r[5], 4);
}

TEST_F(SimDeviceTest, ColourPerSourceReadBack)
{
    const std::pair<int, std::size_t> rows[] = {{0, 4}, {1, 5}, {4, 6}, {6, 8}, {7, 9}, {8, 10}};
    int value = 10;
    for (auto [source, byte] : rows) {
        send(link::makeFrame(kId, 0x18, {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(source)}));
        EXPECT_EQ(query(16)[byte], value) << "source " << source;
        value += 10;
    }
    send(link::makeFrame(kId, 0x18, {101, 0})); // out of range
    EXPECT_EQ(query(16)[4], 10);
    EXPECT_EQ(query(16)[7], 0);
}

} // namespace
} // namespace omnar::sim
