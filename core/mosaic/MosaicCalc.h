#pragma once

#include "core/link/Frame.h"
#include "core/mosaic/MosaicState.h"
#include "core/mosaic/MosaicView.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::mosaic {

// A field's text read as a signed decimal number: leading blanks and a sign,
// then the digits up to the first other character; text without digits reads
// as 0. A number too large for any field saturates, so it stays too large.
long long readSigned(std::string_view text);
// The same as an unsigned number: a negative reading is too large.
unsigned long long readUnsigned(std::string_view text);

// The smallest screen dimension the device takes.
inline constexpr int kMinimumScreenSize = 64;

// The texts of one screen cell's width and height edits.
struct CellText {
    std::string width;
    std::string height;
};

// Auto Calculate for the selected window. `cells` holds the cells' texts in
// window-number order (a missing cell reads as empty). Resets the Adjusted
// fields, checks the selected row's widths and the first column's heights
// (writing the resolution into the first bad one and naming it in a
// message), and when both passes hold writes the Calculated fields. The
// upload controls end enabled on every path.
MosaicView autoCalculate(MosaicState& state, const std::vector<CellText>& cells);

// What a Set press decides before anything is sent.
struct SetOutcome {
    MosaicView view;
    // The window frame to send (then finishSet) when every check passed and
    // the dialog is connected. The upload controls stay disabled meanwhile.
    std::optional<link::Frame> frame;
};

// Set input / Set output: the checks in their order; the first that fails
// resets the Adjusted field of the quantity it names (range) or marks it
// (odd value).
SetOutcome beginSet(MosaicState& state, Group group);
// After the window frame went out: the group's marks cleared, the upload
// controls enabled again.
MosaicView finishSet(MosaicState& state, Group group);

// The window frame of a group: 0x23 input, 0x2C output; bytes 4..11 the
// horizontal start, width, vertical start and height, high byte first.
link::Frame windowFrame(std::uint8_t deviceAddress, Group group, std::uint16_t horizontalStart, std::uint16_t width,
                        std::uint16_t verticalStart, std::uint16_t height);
inline constexpr std::uint8_t kInputWindowCommand = 0x23;
inline constexpr std::uint8_t kOutputWindowCommand = 0x2C;
inline constexpr int kWindowFrameDelayMs = 1000;

// Writes a value field and marks it (any write marks, the program's own too).
void writeValue(MosaicState& state, MosaicView& view, Group group, Quantity quantity, Column column, int value);
// Sets or clears a value field's changed mark without writing it.
void setMark(MosaicState& state, MosaicView& view, Group group, Quantity quantity, Column column, bool changed);

// A spin control's step: −1 (its up arrow) adds one to its Adjusted field,
// +1 subtracts one, the result wraps as a signed 16-bit number; any other
// step changes nothing. An unknown spin id changes nothing.
MosaicView spinStep(MosaicState& state, int spinControlId, int step);

} // namespace omnar::mosaic
