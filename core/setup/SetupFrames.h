#pragma once

#include "core/link/Catalogue.h"
#include "core/setup/WindowGeometry.h"

#include <cstdint>

// The frames the setup and resolution windows send, each with the wait the
// device needs after it. Bytes not set are 0; byte 12 is the sender's.
namespace omnar::setup::frames {

using link::cmd::Command;

// Command codes (byte 2).
enum Code : std::uint8_t {
    kSetResolution = 0x0D,
    kOutputWindow = 0x0E,
    kCustomResolution = 0x0F,
    kHotSpare = 0x13,
    kTextKeying = 0x15,
    kBrightness = 0x16,
    kSharpness = 0x17,
    kColour = 0x18,
    kAudio = 0x19,
    kV2Mode = 0x1A,
    kMosaicMode = 0x22,
    kLayout = 0x24,
    kBias = 0x2D,
    // 0x2A, 0x2B, 0x2C: main and PIP windows of M1, M2, M3 (windowCodeForLayout)
};

inline constexpr int kSettingWaitMs = 1000; // after every setting and window frame
inline constexpr int kLayoutWaitMs = 500;
// How long the device takes to change its output resolution after the frame.
inline constexpr int kResolutionChangeMs = 10000;

// Main (byte 3 = 0) or PIP (byte 3 = 1) window of the current layout, its
// command code 0x2A..0x2C; the output window (both output groups) is 0x0E.
Command window(std::uint8_t id, WindowGroup group, std::uint8_t windowCode, const WindowRect& rect);
// Switch to layout 0, 1 or 2 (M1..M3).
Command layout(std::uint8_t id, int layoutIndex);

Command textKeying(std::uint8_t id, bool aboveThreshold, int red, int green, int blue);
Command brightness(std::uint8_t id, int value);
Command bias(std::uint8_t id, int value);
// Colour of a source: the visible colour is source 0 (V1).
Command colour(std::uint8_t id, int value, int sourceCode);
Command sharpness(std::uint8_t id, bool sharp);

// Audio channels by list position; while the device runs V2 as YPbPr the
// "V2/YPbPr" entry goes out as 8; a list without a selection (-1) as 0xFF.
Command audio(std::uint8_t id, int position1, int position2, bool v2IsYPbPr);
std::uint8_t audioChannelByte(int position, bool v2IsYPbPr);
Command hotSpare(std::uint8_t id, bool v1v2, bool hdmiDvi, bool vga1Vga2);
Command mosaicMode(std::uint8_t id, bool sync);
Command v2Mode(std::uint8_t id, bool ypbpr);

Command setResolution(std::uint8_t id, int resolutionIndex);
// Width and height 16 bits high byte first, the rate one byte; the dot-clock
// check keeps them within range.
Command customResolution(std::uint8_t id, int width, int height, int refreshRate);

} // namespace omnar::setup::frames
