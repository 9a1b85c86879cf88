#pragma once

#include "core/link/Frame.h"
#include "sim/DeviceState.h"

#include <cstdint>

// The command codes and read-back sub-codes the processor knows beyond the
// panel keys' own (those are in core/link/Catalogue.h), and the window layout
// every window frame and read-back shares. Internal to the simulator.
namespace omnar::sim::code {

enum : std::uint8_t {
    kResolution = 0x0D,       // byte 3 resolution index
    kOutputWindow = 0x0E,     // byte 3 = 0, bytes 4..11 window
    kCustomResolution = 0x0F, // bytes 4..7 width, height; byte 8 refresh rate
    kHotSpare = 0x13,         // bytes 3..5 V1>>V2, HDMI>>DVI, VGA1>>VGA2
    kTextKeying = 0x15,       // byte 3 above threshold, bytes 4..6 key colour
    kBrightness = 0x16,
    kSharpness = 0x17,
    kColour = 0x18,           // byte 3 colour, byte 4 source code
    kAudio = 0x19,            // byte 3 AD1, byte 4 AD2
    kV2Mode = 0x1A,           // byte 3: 0 V2, 1 YPbPr
    kMosaicMode = 0x22,       // byte 3: 0 No Sync, 1 Sync
    kMosaicInput = 0x23,      // byte 3 = 0, bytes 4..11 the part of the source this screen shows
    kWindowM1 = 0x2A,         // byte 3: 0 main, 1 PIP; bytes 4..11 window
    kWindowM2 = 0x2B,
    kWindowM3 = 0x2C,
    kBias = 0x2D,
};

// Read-back sub-codes (byte 3 of a 0xFE query).
enum : std::uint8_t {
    kReadOutput = 3,
    kReadMosaicMode = 4,
    kReadPicture = 5,
    kReadKeying = 6,
    kReadFirstWindow = 7, // 7/8 M1 main/PIP, 9/10 M2, 11/12 M3
    kReadM3Main = 11,
    kReadLastWindow = 12,
    kReadCustom = 15,
    kReadColour = 16,
};

// Sub-code 4, byte 3: the sync bit.
inline constexpr std::uint8_t kSyncBit = 0x02;

inline WindowRect rectFrom(const link::Frame& f)
{
    return {link::getBigEndian16(f, 4), link::getBigEndian16(f, 6), link::getBigEndian16(f, 8),
            link::getBigEndian16(f, 10)};
}

inline void putRect(link::Frame& f, const WindowRect& r)
{
    link::putBigEndian16(f, 4, r.hStart);
    link::putBigEndian16(f, 6, r.width);
    link::putBigEndian16(f, 8, r.vStart);
    link::putBigEndian16(f, 10, r.height);
}

inline std::uint8_t u8(int v)
{
    return static_cast<std::uint8_t>(v);
}

inline std::uint16_t u16(int v)
{
    return static_cast<std::uint16_t>(v);
}

} // namespace omnar::sim::code
