#include "core/setup/SetupFrames.h"

#include "core/link/Sources.h"

namespace omnar::setup::frames {

namespace {

std::uint8_t u8(int v)
{
    return static_cast<std::uint8_t>(v);
}

Command make(std::uint8_t id, std::uint8_t code, std::initializer_list<std::uint8_t> args,
             int waitMs = kSettingWaitMs)
{
    return {link::makeFrame(id, code, args), waitMs};
}

} // namespace

Command window(std::uint8_t id, WindowGroup group, std::uint8_t windowCode, const WindowRect& rect)
{
    Command c;
    switch (group) {
    case WindowGroup::Main: c = make(id, windowCode, {0}); break;
    case WindowGroup::Pip: c = make(id, windowCode, {1}); break;
    case WindowGroup::Output:
    case WindowGroup::HiddenOutput: c = make(id, kOutputWindow, {0}); break;
    }
    putRect(c.frame, rect);
    return c;
}

Command layout(std::uint8_t id, int layoutIndex)
{
    return make(id, kLayout, {u8(layoutIndex)}, kLayoutWaitMs);
}

Command textKeying(std::uint8_t id, bool aboveThreshold, int red, int green, int blue)
{
    return make(id, kTextKeying, {u8(aboveThreshold ? 1 : 0), u8(red), u8(green), u8(blue)});
}

Command brightness(std::uint8_t id, int value)
{
    return make(id, kBrightness, {u8(value)});
}

Command bias(std::uint8_t id, int value)
{
    return make(id, kBias, {u8(value)});
}

Command colour(std::uint8_t id, int value, int sourceCode)
{
    return make(id, kColour, {u8(value), u8(sourceCode)});
}

Command sharpness(std::uint8_t id, bool sharp)
{
    return make(id, kSharpness, {u8(sharp ? 1 : 0)});
}

std::uint8_t audioChannelByte(int position, bool v2IsYPbPr)
{
    if (position < 0)
        return 0xFF;
    if (position == 1 && v2IsYPbPr)
        return u8(link::kSourceYPbPr);
    return u8(position);
}

Command audio(std::uint8_t id, int position1, int position2, bool v2IsYPbPr)
{
    return make(id, kAudio, {audioChannelByte(position1, v2IsYPbPr), audioChannelByte(position2, v2IsYPbPr)});
}

Command hotSpare(std::uint8_t id, bool v1v2, bool hdmiDvi, bool vga1Vga2)
{
    return make(id, kHotSpare, {u8(v1v2), u8(hdmiDvi), u8(vga1Vga2)});
}

Command mosaicMode(std::uint8_t id, bool sync)
{
    return make(id, kMosaicMode, {u8(sync)});
}

Command v2Mode(std::uint8_t id, bool ypbpr)
{
    return make(id, kV2Mode, {u8(ypbpr)});
}

Command setResolution(std::uint8_t id, int resolutionIndex)
{
    return make(id, kSetResolution, {u8(resolutionIndex)});
}

Command customResolution(std::uint8_t id, int width, int height, int refreshRate)
{
    Command c = make(id, kCustomResolution, {0});
    link::putBigEndian16(c.frame, 4, static_cast<std::uint16_t>(width));
    link::putBigEndian16(c.frame, 6, static_cast<std::uint16_t>(height));
    c.frame[8] = u8(refreshRate);
    return c;
}

} // namespace omnar::setup::frames
