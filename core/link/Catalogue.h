#pragma once

#include "core/link/Frame.h"

#include <cstdint>

// The frames the main window sends, one builder per trigger, each with the
// pause the device needs after it. Which key sends which variant is decided
// by the panel's key logic; these only lay out the bytes.
namespace omnar::link::cmd {

struct Command {
    Frame frame{};
    int delayMs = 0;
};

// Command codes (byte 2).
enum Code : std::uint8_t {
    kSwitchMain = 0x00,
    kPipOpenClose = 0x01,
    kPipSource = 0x02,
    kTextOpenClose = 0x03,
    kTextSource = 0x04,
    kSwitchMode = 0x09,
    kPreselectEmpty = 0x0A,
    kPreselectHeld = 0x0B,
    kTake = 0x0C,
    kMosaic = 0x21,
    kLayout = 0x24,
    kBypass = 0x26,
    kAuto = 0x27,
    kFreeze = 0x29,
    kQuery = 0xFE,
};

// Status and identification sub-codes of the query (byte 3).
inline constexpr std::uint8_t kStatusSubCode = 0x00;
inline constexpr std::uint8_t kIdentSubCode = 0xFE;

// Reply timeouts.
inline constexpr int kStatusPollTimeoutMs = 1000;     // the status poller
inline constexpr int kStatusAfterCommandTimeoutMs = 5000; // the command worker after a slot command
inline constexpr int kIdentTimeoutMs = 6000;          // identification at connect

// The pause after a source key: DVI needs longer to lock.
int sourceKeyDelayMs(int sourceCode);

// Source key with no second window: switch the main source with a fade.
// `source` 8 is the V2 key while the device runs V2 as YPbPr.
Command switchMainSource(std::uint8_t id, int fadeIndex, int source);
// Source key while PIP/PBP is open.
Command pipSource(std::uint8_t id, int source);
// Source key while TEXT is open.
Command textSource(std::uint8_t id, int source);
// Source key in Pre + TAKE mode, pre-selection empty (status mode 7) or held (mode 8).
Command preselect(std::uint8_t id, int source, bool held);
// PIP/PBP key: open when closed, close when open.
Command pipOpenClose(std::uint8_t id, bool open);
// TEXT key: open when closed, close when open.
Command textOpenClose(std::uint8_t id, bool open);
// "One Key Switch" (preTake false) or "Pre + TAKE Switch" (preTake true).
Command switchMode(std::uint8_t id, bool preTake);
Command take(std::uint8_t id, int fadeIndex);
Command mosaic(std::uint8_t id, bool on);
// M1 / M2 / M3: layout 0 / 1 / 2.
Command layout(std::uint8_t id, int layoutIndex);
Command bypass(std::uint8_t id, bool on);
Command autoAdjust(std::uint8_t id);
Command freeze(std::uint8_t id, bool on);
// A timer plan falling due: a cut to the plan's source, whatever the panel's
// Cut/Fade choice, then a longer pause than a key's.
Command planSwitch(std::uint8_t id, int source);

// Queries: status (sub-code 0), identification (0xFE), read-back (3..16).
Frame statusQuery(std::uint8_t id);
Frame identQuery(std::uint8_t id);
Frame readBackQuery(std::uint8_t id, std::uint8_t subCode);

// The identification reply: byte 2 and 3 = 0xFE, bytes 4..11 "quen dox".
// Bytes 0, 1 and 12 are not compared.
bool isIdentificationReply(const Frame& reply);
inline constexpr char kIdentText[] = "quen dox";

} // namespace omnar::link::cmd
