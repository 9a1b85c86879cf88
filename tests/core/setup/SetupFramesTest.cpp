#include "core/setup/ReadBack.h"
#include "core/setup/Resolution.h"
#include "core/setup/SetupFrames.h"
#include "core/setup/WindowGeometry.h"

#include <gtest/gtest.h>

#include <vector>

using namespace omnar::setup;
using omnar::link::Frame;
using omnar::link::cmd::Command;

namespace {

// Bytes 2..11 of a frame.
std::vector<int> body(const Command& c)
{
    return std::vector<int>(c.frame.begin() + 2, c.frame.begin() + 12);
}

Frame reply(std::vector<std::uint8_t> bytes)
{
    Frame f{};
    std::copy(bytes.begin(), bytes.end(), f.begin());
    return f;
}

} // namespace

TEST(SetupFrames, WindowFramesPackEachValueHighByteFirst)
{
    const auto main = frames::window(1, WindowGroup::Main, windowCodeForLayout(1), {1024, 0, 768, 0});
    EXPECT_EQ(body(main), (std::vector<int>{0x2B, 0, 0, 0, 0x04, 0x00, 0, 0, 0x03, 0x00}));
    EXPECT_EQ(main.delayMs, 1000);
    EXPECT_EQ(main.frame[12], 0) << "the sender computes the checksum";

    const auto output = frames::window(1, WindowGroup::Output, kWindowCodeM1, {1920, 0, 1072, 8});
    EXPECT_EQ(body(output), (std::vector<int>{0x0E, 0, 0, 0, 0x07, 0x80, 0, 0x08, 0x04, 0x30}));
    EXPECT_EQ(body(frames::window(1, WindowGroup::HiddenOutput, 0x2C, {1920, 0, 1072, 8})), body(output));
    EXPECT_EQ(body(frames::window(3, WindowGroup::Pip, 0x2C, {64, 300, 64, 2}))[1], 1) << "PIP: byte 3 = 1";
    EXPECT_EQ(frames::window(3, WindowGroup::Pip, 0x2C, {64, 300, 64, 2}).frame[1], 3);

    const auto layout = frames::layout(1, 2);
    EXPECT_EQ(body(layout), (std::vector<int>{0x24, 2, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(layout.delayMs, 500);
}

TEST(SetupFrames, PictureAudioAndModeFrames)
{
    EXPECT_EQ(body(frames::textKeying(1, true, 0, 128, 255)), (std::vector<int>{0x15, 1, 0, 0x80, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::colour(1, 100, 0)), (std::vector<int>{0x18, 0x64, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::colour(1, 50, 8))[2], 8);
    EXPECT_EQ(body(frames::brightness(1, 64))[0], 0x16);
    EXPECT_EQ(body(frames::bias(1, 50)), (std::vector<int>{0x2D, 50, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::sharpness(1, true))[1], 1);
    // The V2/YPbPr entry goes out as 8 while V2 runs as YPbPr; no selection as 0xFF.
    EXPECT_EQ(body(frames::audio(1, 1, 4, false)), (std::vector<int>{0x19, 1, 4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::audio(1, 1, -1, true)), (std::vector<int>{0x19, 8, 0xFF, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::hotSpare(1, true, false, true)), (std::vector<int>{0x13, 1, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::mosaicMode(1, true))[0], 0x22);
    EXPECT_EQ(body(frames::v2Mode(1, true)), (std::vector<int>{0x1A, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
    for (const auto& c : {frames::textKeying(1, false, 0, 0, 0), frames::hotSpare(1, 0, 0, 0), frames::v2Mode(1, 0)})
        EXPECT_EQ(c.delayMs, 1000);
}

TEST(SetupFrames, ResolutionFrames)
{
    EXPECT_EQ(body(frames::setResolution(1, *indexForListPosition(9))),
              (std::vector<int>{0x0D, 15, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(body(frames::setResolution(1, *indexForListPosition(8)))[1], 8);
    const auto custom = frames::customResolution(1, 1920, 1080, 60);
    EXPECT_EQ(body(custom), (std::vector<int>{0x0F, 0, 0x07, 0x80, 0x04, 0x38, 0x3C, 0, 0, 0}));
    EXPECT_EQ(custom.delayMs, 1000);

    EXPECT_EQ(listPositionForIndex(15), 9);
    EXPECT_EQ(listPositionForIndex(8), 8);
    EXPECT_EQ(listPositionForIndex(12), std::nullopt);
    EXPECT_EQ(listPositionForIndex(16), std::nullopt);
    EXPECT_EQ(indexForListPosition(10), std::nullopt);
    EXPECT_EQ(resolutionName(kResolutionListIndices[9]), "1536x1536@60Hz");
}

TEST(ReadBack, OutputReplyMustComeFromThisDevice)
{
    const Frame r = reply({0x05, 0x01, 0xFE, 16, 0x00, 0x10, 0x07, 0x80, 0x00, 0x08, 0x04, 0x30});
    const auto output = decodeOutput(r, 1);
    ASSERT_TRUE(output);
    EXPECT_EQ(output->resolutionIndex, 16);
    EXPECT_EQ(output->output, (WindowRect{1920, 16, 1072, 8}));
    EXPECT_FALSE(decodeOutput(r, 2));
    Frame wrongCode = r;
    wrongCode[2] = 0x0E;
    EXPECT_FALSE(decodeOutput(wrongCode, 1));

    EXPECT_EQ(decodeCustom(reply({0x05, 0x01, 0xFE, 15, 0x07, 0x80, 0x04, 0x38, 60})),
              (CustomResolution{1920, 1080, 60}));
}

TEST(ReadBack, PictureKeyingColoursAndMosaic)
{
    const auto p = decodePicture(reply({0x05, 0x01, 0xFE, 40, 55, 0xAA, 0, 0x84, 0x05, 1}));
    EXPECT_EQ(p.brightness, 40);
    EXPECT_EQ(p.bias, 55);
    EXPECT_FALSE(p.sharp);
    EXPECT_EQ(p.audio1, 1) << "nibble 8 (YPbPr) is the V2/YPbPr entry";
    EXPECT_EQ(p.audio2, 4) << "HDMI";
    EXPECT_EQ(p.hotSpare, (std::array<bool, 3>{true, false, true}));
    EXPECT_EQ(p.brightnessRange, 1);
    EXPECT_TRUE(decodePicture(reply({0, 0, 0, 0, 0, 0, 7})).sharp);
    EXPECT_EQ(decodePicture(reply({0, 0, 0, 0, 0, 0, 0, 0x9F})).audio1, -1) << "no entry for 9..15";

    EXPECT_EQ(decodeTextKeying(reply({0, 0, 0, 2, 10, 20, 30})), (TextKeyingReadBack{true, 10, 20, 30}));
    EXPECT_EQ(decodeSourceColours(reply({0, 0, 0, 16, 1, 2, 3, 99, 4, 5, 6})),
              (SourceColoursReadBack{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(decodeMosaicMode(reply({0, 0, 0, 0x02})).sync);
    EXPECT_FALSE(decodeMosaicMode(reply({0, 0, 0, 0xFD})).sync);
    EXPECT_EQ(mainWindowSubCode(2), 11);
    EXPECT_EQ(pipWindowSubCode(1), 10);
}

TEST(WindowGeometry, PreviewScalesAndTruncates)
{
    const PixelRect area{10, 20, 258, 148};
    EXPECT_EQ(previewRect(area, {1024, 768}, {1024, 0, 768, 0}), (PixelRect{10, 20, 258, 148}));
    // 258/1920 * 101 = 13.57..., 148/1080 * 333 = 45.63...
    EXPECT_EQ(previewRect(area, {1920, 1080}, {960, 101, 540, 333}), (PixelRect{23, 65, 129, 74}));
    EXPECT_EQ(previewRect(area, {0, 0}, {960, 101, 540, 333}), (PixelRect{10, 20, 0, 0}));
}
