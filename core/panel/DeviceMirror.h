#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace omnar::panel {

// Status mode of the device (byte 4 of the status reply). The panel keeps one
// flag per mode and a reply sets at most one of them, so a single value holds
// them all; None stands for "no flag set" (before the first reply, or a mode
// value the panel does not know).
enum class StatusMode : int {
    None = -1,
    MainOnly = 0,
    PipBlinking = 1,
    PipSteady = 2,
    TextBlinking = 3,
    TextSteady = 4,
    PreselectEmpty = 7,
    PreselectHeld = 8,
};

// The mode for a status byte; None for a value outside the known modes.
StatusMode statusModeFromByte(std::uint8_t value);

// The panel's copy of the device state, as the last status reply (and the
// operator's immediate flips) left it. The key guards read it; only the
// status decoder and the key handlers write it.
struct DeviceMirror {
    StatusMode mode = StatusMode::None;

    // Cut/Fade: the device's value is adopted once per connection, then the
    // operator owns it.
    int fadeIndex = 0;
    bool fadeRadioInitialised = false;

    bool freeze = false;
    bool bypass = false;
    bool mosaic = false;
    bool v2IsYPbPr = false;
    bool preTakeMode = false;

    // -1 until the device reported one; may hold a code without a source
    // (9..15) when the device sends one.
    int mainSource = -1;
    int secondSource = -1;
    int mainInputGroup = 0;
    bool mainIsDvi = false;
    std::array<bool, 9> sourceInUse{};

    int pipLayoutIndex = 0;
    int extSubSource = 0;

    // Indicators the blink timer flashes, ascending control ids.
    std::vector<int> blinkSet;

    bool modeIs(StatusMode m) const { return mode == m; }
    bool pipOpen() const { return mode == StatusMode::PipBlinking || mode == StatusMode::PipSteady; }
    bool textOpen() const { return mode == StatusMode::TextBlinking || mode == StatusMode::TextSteady; }
    bool secondWindow() const { return pipOpen() || textOpen(); }
    bool preselection() const { return mode == StatusMode::PreselectEmpty || mode == StatusMode::PreselectHeld; }
    bool inUse(int code) const;
};

} // namespace omnar::panel
