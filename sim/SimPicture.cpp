// Picture settings (brightness, low-grey bias, colour per source,
// sharpness), text keying, audio channels and hot spare.
//
// Out-of-range values are ignored: brightness above the range the device
// reports (64 or 100), bias or colour above 100, a colour for a source code
// outside 0..8. The plain "colour" of a panel is the V1 entry (source code 0).
// Audio channels are kept as sent; one that does not fit the read-back's
// nibble (no selection, 0xFF) reads back as 0xF.

#include "core/link/Sources.h"
#include "sim/DeviceCodes.h"
#include "sim/SimDevice.h"

namespace omnar::sim {

namespace {

using code::u8;

std::uint8_t audioNibble(std::uint8_t v)
{
    return v <= 8 ? v : 0x0F;
}

} // namespace

bool SimDevice::applyPicture(const link::Frame& f)
{
    auto& s = m_state;
    const std::uint8_t a = f[3];
    switch (f[2]) {
    case code::kBrightness:
        if (a <= (s.brightnessRange == 0 ? 64 : 100))
            s.brightness = a;
        break;
    case code::kBias:
        if (a <= 100)
            s.bias = a;
        break;
    case code::kColour:
        if (a <= 100 && f[4] < link::kSourceCount)
            s.colour[f[4]] = a;
        break;
    case code::kSharpness:
        s.sharpness = a != 0 ? 1 : 0;
        break;
    case code::kTextKeying:
        s.keyAbove = a != 0;
        s.keyColour = {f[4], f[5], f[6]};
        break;
    case code::kAudio:
        s.audio1 = a;
        s.audio2 = f[4];
        break;
    case code::kHotSpare:
        s.hotSpare = {a != 0, f[4] != 0, f[5] != 0};
        break;
    default:
        return false;
    }
    return true;
}

bool SimDevice::readPicture(std::uint8_t subCode, link::Frame& f) const
{
    const auto& s = m_state;
    switch (subCode) {
    case code::kReadPicture:
        f[3] = u8(s.brightness);
        f[4] = u8(s.bias);
        f[6] = u8(s.sharpness);
        f[7] = u8((audioNibble(s.audio1) << 4) | audioNibble(s.audio2));
        f[8] = u8((s.hotSpare[0] ? 1 : 0) | (s.hotSpare[1] ? 2 : 0) | (s.hotSpare[2] ? 4 : 0));
        f[9] = u8(s.brightnessRange);
        break;
    case code::kReadKeying:
        f[3] = s.keyAbove ? 1 : 0;
        f[4] = s.keyColour[0];
        f[5] = s.keyColour[1];
        f[6] = s.keyColour[2];
        break;
    case code::kReadColour:
        // VGA, VGA2 and DVI keep a colour too, but this reply has no place for it.
        f[4] = u8(s.colour[link::kSourceV1]);
        f[5] = u8(s.colour[link::kSourceV2]);
        f[6] = u8(s.colour[link::kSourceHdmi]);
        f[8] = u8(s.colour[link::kSourceDp]);
        f[9] = u8(s.colour[link::kSourceExt]);
        f[10] = u8(s.colour[link::kSourceYPbPr]);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace omnar::sim
