#pragma once

#include "core/link/Frame.h"
#include "core/setup/WindowGeometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>

// The device's answers to the read-back queries of the setup and resolution
// windows, decoded into plain values. Only the sub-code 3 reply is checked
// (device id and command code); every other reply is taken as it comes.
namespace omnar::setup {

// Read-back sub-codes (byte 3 of a 0xFE query).
enum SubCode : std::uint8_t {
    kSubOutput = 3,      // resolution index and output window
    kSubMosaicMode = 4,
    kSubPicture = 5,     // brightness, bias, sharpness, audio, hot spare, brightness range
    kSubTextKeying = 6,
    kSubMainM1 = 7,      // main window of M1; 9 and 11 for M2 and M3
    kSubPipM1 = 8,       // PIP window of M1; 10 and 12 for M2 and M3
    kSubCustom = 15,     // custom output resolution
    kSubColours = 16,    // colour per source
};

inline constexpr int kReadBackTimeoutMs = 5000;
inline constexpr int kLongReadBackTimeoutMs = 15000; // sub-codes 5 and 16
inline constexpr int kLayoutReadBackTimeoutMs = 1000;
inline constexpr int kPauseBetweenQueriesMs = 200;

// Sub-codes of the main and PIP windows of a layout (0 M1, 1 M2, 2 M3).
constexpr std::uint8_t mainWindowSubCode(int layout) { return static_cast<std::uint8_t>(kSubMainM1 + 2 * layout); }
constexpr std::uint8_t pipWindowSubCode(int layout) { return static_cast<std::uint8_t>(kSubPipM1 + 2 * layout); }

// Sub-code 3: byte 3 the resolution index, bytes 4..11 the output window.
struct OutputReadBack {
    int resolutionIndex = 0;
    WindowRect output;
    friend bool operator==(const OutputReadBack&, const OutputReadBack&) = default;
};
// Empty unless byte 1 is `deviceId` and byte 2 is 0xFE.
std::optional<OutputReadBack> decodeOutput(const link::Frame& reply, std::uint8_t deviceId);

// Sub-code 15: width and height (16 bits, high byte first), refresh rate.
struct CustomResolution {
    int width = 0;
    int height = 0;
    int refreshRate = 0;
    friend bool operator==(const CustomResolution&, const CustomResolution&) = default;
};
CustomResolution decodeCustom(const link::Frame& reply);

// Sub-codes 7..12: the main or PIP window of a layout.
struct WindowReadBack {
    WindowGroup group = WindowGroup::Main; // Main or Pip
    WindowRect rect;
    friend bool operator==(const WindowReadBack&, const WindowReadBack&) = default;
};

// Sub-code 4: byte 3 bit 1 set means Sync mosaic.
struct MosaicModeReadBack {
    bool sync = false;
    friend bool operator==(const MosaicModeReadBack&, const MosaicModeReadBack&) = default;
};
MosaicModeReadBack decodeMosaicMode(const link::Frame& reply);

// Sub-code 5.
struct PictureReadBack {
    int brightness = 0;      // byte 3
    int bias = 0;            // byte 4
    bool sharp = false;      // byte 6: 0 Normal, anything else Sharp
    int audio1 = -1;         // byte 7 high nibble, as a list position (-1: none)
    int audio2 = -1;         // byte 7 low nibble
    std::array<bool, 3> hotSpare{}; // byte 8 bits 0..2: V1>>V2, HDMI>>DVI, VGA1>>VGA2
    int brightnessRange = 0; // byte 9: 0 means 0..64, anything else 0..100
    friend bool operator==(const PictureReadBack&, const PictureReadBack&) = default;
};
PictureReadBack decodePicture(const link::Frame& reply);
// The audio list position a nibble selects: 8 (YPbPr) is the "V2/YPbPr"
// entry, 0..7 the entry of that number, anything else no entry.
int audioPositionForNibble(int nibble);

// Sub-code 6.
struct TextKeyingReadBack {
    bool aboveThreshold = false; // byte 3: 0 "<Threshold", anything else ">Threshold"
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const TextKeyingReadBack&, const TextKeyingReadBack&) = default;
};
TextKeyingReadBack decodeTextKeying(const link::Frame& reply);

// Sub-code 16: colour of V1 (also the visible colour), V2, HDMI, DP, EXT.
// and YPbPr; byte 7 is not used.
struct SourceColoursReadBack {
    int colour = 0; // byte 4
    int v2 = 0;     // byte 5
    int hdmi = 0;   // byte 6
    int dp = 0;     // byte 8
    int ext = 0;    // byte 9
    int ypbpr = 0;  // byte 10
    friend bool operator==(const SourceColoursReadBack&, const SourceColoursReadBack&) = default;
};
SourceColoursReadBack decodeSourceColours(const link::Frame& reply);

// A job's frame went out (its delay included).
struct FrameSent {
    std::uint8_t command = 0;
    friend bool operator==(const FrameSent&, const FrameSent&) = default;
};

// What a setup or resolution job reports, in the order it happens.
using Report = std::variant<OutputReadBack, CustomResolution, WindowReadBack, MosaicModeReadBack, PictureReadBack,
                            TextKeyingReadBack, SourceColoursReadBack, FrameSent>;
// Called on the job's thread; the GUI hands each report over to its own thread.
using ReportSink = std::function<void(const Report&)>;

} // namespace omnar::setup
