// The output raster and its windows: every window frame reads back in the
// bytes it was written with, and resolution changes keep the windows usable.

#include "tests/sim/DeviceProbe.h"

#include <algorithm>

namespace omnar::sim {
namespace {

using simtest::DeviceProbe;

bool sameWindowBytes(const link::Frame& sent, const link::Frame& reply)
{
    return std::equal(sent.begin() + 4, sent.begin() + 12, reply.begin() + 4);
}

TEST(SimWindowsTest, EveryWindowSlotReadsBackTheBytesItWasWrittenWith)
{
    DeviceProbe p;
    struct Slot {
        std::uint8_t code, which, subCode;
    };
    const Slot slots[] = {{0x2A, 0, 7}, {0x2A, 1, 8},  {0x2B, 0, 9}, {0x2B, 1, 10},
                          {0x2C, 0, 11}, {0x2C, 1, 12}, {0x0E, 0, 3}};
    // A distinct window per slot, all written first, so a write landing in
    // another slot shows.
    std::vector<link::Frame> sent;
    for (const auto& slot : slots) {
        const auto n = static_cast<std::uint8_t>(2 * (sent.size() + 1));
        sent.push_back(link::makeFrame(p.id, slot.code, {slot.which, 0, n, 0x02, n, 0, n, 0x01, n}));
        p.send(sent.back());
    }
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_TRUE(sameWindowBytes(sent[i], p.query(slots[i].subCode))) << "sub-code " << int(slots[i].subCode);
}

TEST(SimWindowsTest, DialogFramesAsSentReadBackUnchanged)
{
    DeviceProbe p;
    // M2 main 1024 x 768 at the origin; the output window of a 1920 x 1080 raster.
    const link::Frame m2 = link::makeFrame(1, 0x2B, {0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x03, 0x00});
    const link::Frame out = link::makeFrame(1, 0x0E, {0x00, 0x00, 0x00, 0x07, 0x80, 0x00, 0x08, 0x04, 0x30});
    p.send(m2);
    p.send(out);
    EXPECT_TRUE(sameWindowBytes(m2, p.query(9)));
    const link::Frame r3 = p.query(3);
    EXPECT_EQ(r3[3], 6);
    EXPECT_TRUE(sameWindowBytes(out, r3));
}

TEST(SimWindowsTest, WindowsThatDoNotFitTheRasterOrHaveNoSizeAreIgnored)
{
    DeviceProbe p; // 1920 x 1080
    const WindowRect before = DeviceProbe::rectOf(p.query(8));
    p.sendWindow(0x2A, 1, {2, 1920, 0, 1080});   // one pixel too far right
    p.sendWindow(0x2A, 1, {0, 1920, 8, 1080});   // too low
    p.sendWindow(0x2A, 1, {0, 0, 0, 100});       // no width
    p.sendWindow(0x2A, 2, {0, 640, 0, 480});     // neither main nor PIP
    EXPECT_EQ(DeviceProbe::rectOf(p.query(8)), before);
    p.sendWindow(0x2A, 1, {0, 1920, 0, 1080});   // exactly the raster
    EXPECT_EQ(DeviceProbe::rectOf(p.query(8)), (WindowRect{0, 1920, 0, 1080}));
}

TEST(SimWindowsTest, ResolutionChangeScalesEveryWindowWithTheRaster)
{
    DeviceProbe p; // 1920 x 1080
    p.sendWindow(0x2B, 0, {0, 960, 0, 1080});
    p.sendWindow(0x2C, 1, {960, 480, 540, 270});
    p.sendWindow(0x0E, 0, {0, 1920, 8, 1072});

    p.send(0x0D, {0}); // 1024 x 768
    EXPECT_EQ(p.query(3)[3], 0);
    EXPECT_EQ(DeviceProbe::rectOf(p.query(3)), (WindowRect{0, 1024, 4, 762}));
    EXPECT_EQ(DeviceProbe::rectOf(p.query(9)), (WindowRect{0, 512, 0, 768}));
    EXPECT_EQ(DeviceProbe::rectOf(p.query(12)), (WindowRect{512, 256, 384, 192}));
    // Every window still fits, so the panel's own checks accept it as it is.
    for (std::uint8_t sub = 7; sub <= 12; ++sub) {
        const WindowRect r = DeviceProbe::rectOf(p.query(sub));
        EXPECT_LE(r.hStart + r.width, 1024) << int(sub);
        EXPECT_LE(r.vStart + r.height, 768) << int(sub);
        EXPECT_EQ(r.width % 2, 0) << int(sub);
    }

    p.send(0x0D, {17}); // no such mode
    EXPECT_EQ(p.query(3)[3], 0);
    EXPECT_EQ(p.device.raster(), (setup::OutputSize{1024, 768}));
}

TEST(SimWindowsTest, CustomTimingIsCheckedSelectedAndReadBack)
{
    DeviceProbe p;
    const auto custom = [&](std::uint16_t w, std::uint16_t h, std::uint8_t hz) {
        link::Frame f = link::makeFrame(p.id, 0x0F, {0});
        link::putBigEndian16(f, 4, w);
        link::putBigEndian16(f, 6, h);
        f[8] = hz;
        p.send(f);
    };
    custom(1920, 1080, 70); // dot clock 165690000: above the range
    custom(640, 480, 60);   // 25956000: below it
    EXPECT_EQ(p.query(3)[3], 6);

    custom(1920, 1080, 60); // 142020000
    EXPECT_EQ(p.query(3)[3], 16);
    const link::Frame r = p.query(15);
    EXPECT_EQ(std::vector<int>(r.begin() + 4, r.begin() + 9), (std::vector<int>{0x07, 0x80, 0x04, 0x38, 0x3C}));

    // A fixed mode keeps the custom timing; 0x0D 16 returns to it.
    p.send(0x0D, {2});
    EXPECT_EQ(DeviceProbe::rectOf(p.query(3)), (WindowRect{0, 1280, 0, 1024}));
    EXPECT_EQ(link::getBigEndian16(p.query(15), 4), 1920);
    p.send(0x0D, {16});
    EXPECT_EQ(p.query(3)[3], 16);
    EXPECT_EQ(DeviceProbe::rectOf(p.query(3)), (WindowRect{0, 1920, 0, 1080}));
}

} // namespace
} // namespace omnar::sim
