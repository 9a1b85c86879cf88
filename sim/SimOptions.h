#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::sim {

// The eight physical inputs, indexed by their source code (V1 0 .. EXT. 7).
// YPbPr (code 8) is the V2 input in another mode and shares its signal.
inline constexpr std::size_t kInputCount = 8;
using InputSignals = std::array<bool, kInputCount>;

// One byte of a reply to spoil: set it to `value`, or invert it when no value is given.
struct Corruption {
    std::size_t index = 0;
    std::optional<std::uint8_t> value;
};

// A custom output timing: the raster's width and height and the refresh rate in Hz.
struct CustomResolution {
    std::uint16_t width = 1920;
    std::uint16_t height = 1080;
    std::uint8_t refresh = 60;

    friend bool operator==(const CustomResolution&, const CustomResolution&) = default;
};

struct SimOptions {
    // The device.
    std::uint8_t deviceId = 1;
    InputSignals signal{true, true, true, true, true, true, true, true};
    int extSubSource = 1; // SDI, so the EXT. key works out of the box
    bool ypbpr = false;
    int brightnessRange = 0; // 0: brightness 0..64, otherwise 0..100

    // The state it starts in (what the last operator left on it).
    int resolutionIndex = 6; // 0..15 fixed modes, 16 the custom timing
    CustomResolution custom;
    int mainSource = 0;
    bool pipOpen = false;
    int pipLayout = 0; // 0 M1, 1 M2, 2 M3
    bool bypass = false;
    bool mosaic = false;
    bool syncMosaic = false;
    bool stateValid = true; // false: the status reports no valid state (byte 6 = 0xFF)

    // The link and its faults.
    std::chrono::milliseconds replyDelay{20};
    // After a change of output resolution the device re-locks its output and
    // hears nothing for this long (0: it switches at once).
    std::chrono::milliseconds relock{0};
    std::vector<std::size_t> split;      // fragment sizes of a reply; empty = whole
    std::chrono::milliseconds splitGap{30};
    double dropRate = 0.0;
    unsigned seed = 1;
    std::vector<Corruption> corrupt;
    double corruptShare = 1.0;           // share of replies the corruption applies to
    std::optional<std::uint8_t> answerId;
    std::optional<std::size_t> closeAfter; // TCP: hang up on receiving this many frames
    bool silent = false;
    bool trace = true;
};

// Parsers for the command line; each returns nothing for text it cannot read.

// A source by name (V1, V2, VGA, VGA2, HDMI, DVI, DP, EXT, EXT., YPbPr; any case) or code 0..8.
std::optional<int> parseSource(std::string_view text);
// A comma-separated list of inputs, "all" or "none", as a signal mask.
// YPbPr stands for the V2 input.
std::optional<InputSignals> parseInputList(std::string_view text);
// An EXT. sub-source by index 0..5 or name (NULL, SDI, VGA, DVI, VIDEO, USB; any case).
std::optional<int> parseExtSubSource(std::string_view text);
// "5,8": fragment sizes, each at least 1.
std::optional<std::vector<std::size_t>> parseSizeList(std::string_view text);
// "0=0x06,4": byte 0 set to 6, byte 4 inverted. Indices 0..12, values 0..255 (decimal or 0x hex).
std::optional<std::vector<Corruption>> parseCorruption(std::string_view text);
// A whole unsigned number (decimal, or hex with 0x) within [lo, hi].
std::optional<long> parseNumber(std::string_view text, long lo, long hi);
// A share 0..1.
std::optional<double> parseShare(std::string_view text);
// "1280x720@60" (x or X; "@60Hz" and a missing "@HZ", meaning 60, are accepted too).
// Width and height 0..65535, the rate 0..255: a device may hold a timing of no
// size, which is how a panel's handling of one is tried.
std::optional<CustomResolution> parseCustomResolution(std::string_view text);
// A PIP layout: M1, M2, M3 (any case) or 1..3; returned as 0..2.
std::optional<int> parseLayout(std::string_view text);

} // namespace omnar::sim
