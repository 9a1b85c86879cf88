#pragma once

#include "core/setup/Resolution.h"
#include "core/setup/SetupTexts.h"
#include "core/setup/WindowGeometry.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The checks a value passes before anything is sent, each naming the control
// it blames, the message it raises and what happens to that control.
namespace omnar::setup {

// A typed number as the edit holds it: leading blanks skipped, an optional
// sign, then digits up to the first other character; no digits reads as 0.
// Read in 64 bits and saturated at +-INT64_MAX, so a number too large for an
// int (digit-only edits accept 99999999999) stays too large and is refused
// by the range checks instead of wrapping into an accepted value.
std::int64_t parseTypedNumber(std::string_view text);

// What a failed check does to the control it names.
enum class EditEffect {
    None,  // the text stays
    Empty, // the text is emptied
    Zero,  // the text becomes "0"
    Mark,  // the text stays and its modified mark is set
};

struct CheckFailure {
    int controlId = 0; // 0 when the check names no control
    MessageId message = MessageId::ValueOutOfRange;
    EditEffect effect = EditEffect::None;
    friend bool operator==(const CheckFailure&, const CheckFailure&) = default;
};

// The four values of a window group, as typed.
struct WindowValues {
    std::int64_t width = 0;
    std::int64_t hstart = 0;
    std::int64_t height = 0;
    std::int64_t vstart = 0;
};

// A window Save: range checks in the order W, HS, VH, VS (the first failing
// value is named and emptied), then the even check (the first odd value in
// the same order is marked).
std::optional<CheckFailure> checkWindow(WindowGroup group, const WindowValues& v, OutputSize out);

// Brightness: 0..64 while the range flag is 0, 0..100 otherwise (out of
// range: the edit becomes 0); then it must be even (the text stays).
std::optional<CheckFailure> checkBrightness(std::int64_t value, int rangeFlag);
// Bias and colour: 0..100, no even rule.
std::optional<CheckFailure> checkPercent(int editId, std::int64_t value);
// Key colour: red, green and blue in this order, each 0..255.
std::optional<CheckFailure> checkKeyColours(std::int64_t red, std::int64_t green, std::int64_t blue);

// ---- key-colour spin arrows
enum class SpinDirection { Up, Down };
// The arrow a spin notification stands for: a delta of -1 is the up arrow,
// +1 the down arrow; larger (accelerated) deltas act on nothing.
std::optional<SpinDirection> spinDirectionForDelta(int delta);
// The edit a spin control steps (red 1283 → 1048, green 1284 → 1046,
// blue 1285 → 1056); 0 for any other id.
int editForSpin(int spinId);
// Red and blue step by 8, green by 4.
int spinStep(int spinId);

struct SpinOutcome {
    std::int64_t value = 0;           // what the edit shows afterwards
    std::optional<MessageId> message; // a step past 255 or below 0: the value stays
};
SpinOutcome stepKeyColour(int spinId, std::int64_t current, SpinDirection direction);

// ---- dot clock of a custom resolution
inline constexpr std::int64_t kDotClockMin = 25999001;
inline constexpr std::int64_t kDotClockMax = 164998999;
inline constexpr int kHorizontalBlanking = 184;
inline constexpr int kVerticalBlanking = 45;

struct DotClockCheck {
    bool accepted = false;
    std::int64_t dotClock = 0; // (H + 45) x (W + 184) x F, in 64 bits
};
// Width and height travel as 16-bit values and the rate as one byte, so a
// width or height outside 1..65535 or a rate outside 1..255 is refused as
// well, whatever its product.
DotClockCheck checkDotClock(std::int64_t width, std::int64_t height, std::int64_t refreshRate);

// ---- audio lists
// After list `changedId` (1072 or 1073) changed: when both lists now show the
// same entry (-1: none), the changed list moves to position 1 if it shows
// position 0 or none, otherwise to position 0, and the same-channel message
// is raised. Returns the changed list's new position, or nothing.
std::optional<int> audioConflictMove(int changedPosition, int otherPosition);

} // namespace omnar::setup
