#pragma once

#include "sim/SimOptions.h"

#include <array>
#include <cstdint>
#include <optional>

namespace omnar::sim {

// A window in output pixels, as it travels: horizontal start, width, vertical start, height.
struct WindowRect {
    std::uint16_t hStart = 0;
    std::uint16_t width = 0;
    std::uint16_t vStart = 0;
    std::uint16_t height = 0;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The main and PIP windows the device keeps for one layout (M1, M2 or M3).
struct LayoutWindows {
    WindowRect main;
    WindowRect pip;
};

// Everything the processor remembers. Source codes follow the device's numbering;
// while `ypbpr` is set the V2 input is reported as code 8 wherever it appears.
struct DeviceState {
    std::uint8_t deviceId = 1;

    // Switching.
    int mainSource = 0;
    int fadeIndex = 0;
    bool preTake = false;              // switch mode Pre + TAKE (otherwise One Key)
    std::optional<int> preselected;    // Pre + TAKE: the source TAKE puts on air
    bool pipOpen = false;
    int pipSource = 4;
    int pipLayout = 0;                 // 0 M1, 1 M2, 2 M3
    bool textOpen = false;
    int textSource = 2;

    // Function keys.
    bool freeze = false;
    bool bypass = false;
    bool mosaic = false;
    bool ypbpr = false;
    int autoRuns = 0;                  // AUTO adjustments started
    bool stateValid = true;            // false while it has no state to report (status byte 6 = 0xFF)

    // Inputs.
    InputSignals signal{};
    int extSubSource = 1;

    // Output and windows, all in pixels of the output raster. A resolution
    // change scales every window with the raster (see SimWindows.cpp).
    int resolutionIndex = 6;           // 1920x1080@60Hz; 16 the custom timing
    CustomResolution custom;           // kept while a fixed mode runs
    WindowRect output;
    std::array<LayoutWindows, 3> layouts{};

    // Picture, keying, audio, backup.
    int brightness = 64;
    int brightnessRange = 0;           // 0: 0..64, otherwise 0..100
    int bias = 50;
    int sharpness = 0;                 // 0 Normal, 1 Sharp
    std::array<int, 9> colour{50, 50, 50, 50, 50, 50, 50, 50, 50}; // per source code
    bool keyAbove = false;             // text keying above the threshold
    std::array<std::uint8_t, 3> keyColour{0, 0, 0};
    std::uint8_t audio1 = 0;           // list position, 8 for YPbPr, 0xFF none
    std::uint8_t audio2 = 4;
    std::array<bool, 3> hotSpare{};    // V1>>V2, HDMI>>DVI, VGA1>>VGA2

    // Mosaic: this screen's share of the wall. The input window is the part
    // of the source picture it shows, the output window where on this
    // screen that part is drawn (see SimMosaic.cpp).
    bool syncMosaic = false;
    WindowRect mosaicInput;
    WindowRect mosaicOutput;
};

} // namespace omnar::sim
