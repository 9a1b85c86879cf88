#pragma once

#include "core/mosaic/MosaicState.h"
#include "core/mosaic/MosaicView.h"

#include <array>
#include <string_view>
#include <vector>

namespace omnar::mosaic {

inline constexpr int kMaxRows = 6;
inline constexpr int kMaxColumns = 8;

struct Preset {
    int id;
    std::string_view caption;
    int rows;
    int columns;
};

inline constexpr std::array<Preset, 12> kPresets{{
    {1020, "1X1", 1, 1},
    {1029, "1X2", 1, 2},
    {1030, "1X3", 1, 3},
    {1031, "2X1", 2, 1},
    {1032, "2X2", 2, 2},
    {1033, "2X3", 2, 3},
    {1063, "3X1", 3, 1},
    {1064, "3X2", 3, 2},
    {1065, "3X3", 3, 3},
    {1066, "4X1", 4, 1},
    {1067, "4X2", 4, 2},
    {1068, "4X3", 4, 3},
}};

// Window sizing: a wall of up to two rows and four columns fits the base
// size; every further row adds 91 pixels, every further column 132.
inline constexpr Size kBaseDialogSize{660, 620};
inline constexpr Size kBaseFrameSize{640, 184};
inline constexpr int kRowPitch = 91;
inline constexpr int kColumnPitch = 132;
// The smallest size the operator can drag the window to.
inline constexpr Size kMinimumDialogSize{280, 250};

// Screen cells: 122 × 81, 10 pixels from the frame's corner and from each
// other across a row; rows follow each other every 81 pixels.
inline constexpr Size kCellSize{122, 81};
inline constexpr int kCellMargin = 10;
inline constexpr int kCellRowPitch = 81;
inline constexpr int kCellColumnPitch = 132;

// The dialog and frame sizes for the current wall size, from the sizes
// they have now (the operator may have resized the window). Raises
// layoutRows / layoutColumns to their minimums (2 and 4) and resets them
// when the wall fits the base size; the callers set them after a rebuild.
Geometry fitWindowToSpecification(MosaicState& state, const Geometry& current);

// The six controls of cell n of the state's wall, placed in `frame` (row
// major: n = row × columns + column). The edits start at the resolution,
// the labels speak the state's language.
CellLayout cellLayout(const MosaicState& state, int window, const Rect& frame);

// The colour of window button n when window `selected` is selected.
ButtonColour windowButtonColour(int window, int selected);

// Dialog start-up: address 1, preset 1X1, upload controls disabled, the
// captions, the 1 × 1 grid, all sixteen value fields 0 and unmarked. The
// window takes the size of a 1 × 1 wall.
MosaicView openDialog(MosaicState& state, const Geometry& current);

// A preset radio: its rows and columns into the edits, the window fitted
// and the grid rebuilt; window 000 is selected afterwards.
MosaicView applyPreset(MosaicState& state, int presetId, const Geometry& current);

// OK beside the typed rows and columns: too large (above 6 × 8, a negative
// or oversized number included) or too small (0 or empty) leaves everything
// as it is; otherwise as a preset.
MosaicView specificationOk(MosaicState& state, std::string_view rowsText, std::string_view columnsText,
                           const Geometry& current);

// A window button: the screen to work on. The upload controls are disabled
// until the next Auto Calculate or a ready connect check or Detect.
MosaicView selectWindow(MosaicState& state, int window);

// Address radios (labelled 1..9) and the address list (1..255). A radio asks
// the serial-port question first; only Yes takes the address. Either way
// the radios end showing the address in use.
int addressRadioId(int address); // 0 for addresses above 9
std::optional<int> addressOfRadio(int radioId);
MosaicView addressRadioAnswered(MosaicState& state, int radioId, bool yes);
MosaicView addressListChosen(MosaicState& state, int position);

// The lower controls keep their distance to the dialog's bottom edge when
// it is resized; nothing moves horizontally.
bool isAnchoredToBottom(int controlId);
struct BottomAnchor {
    int left = 0, width = 0, height = 0;
    int distanceToBottom = 0; // from the control's bottom edge to the client area's
};
BottomAnchor recordAnchor(const Rect& control, int clientHeight);
Rect placeAnchored(const BottomAnchor& anchor, int clientHeight);

} // namespace omnar::mosaic
