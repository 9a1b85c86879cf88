#pragma once

#include "core/mosaic/MosaicTexts.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace omnar::mosaic {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
// Window buttons: the selected screen green, the others grey.
inline constexpr Rgb kSelectedWindowColour{0, 255, 0};
inline constexpr Rgb kWindowColour{169, 169, 169};
// Value fields: background by changed mark.
inline constexpr Rgb kChangedFieldColour{0, 255, 255};
inline constexpr Rgb kUnchangedFieldColour{205, 205, 180};

struct ButtonColour {
    Rgb text;
    Rgb background;
    friend bool operator==(const ButtonColour&, const ButtonColour&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Pixels in the dialog's client area; right and bottom lie outside.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    Rect movedBy(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The dialog's size and the "Effects show" frame that holds the cells.
struct Geometry {
    Size dialog;
    Rect frame;
    friend bool operator==(const Geometry&, const Geometry&) = default;
};

enum class CellControlKind { WindowButton, CellFrame, HeightEdit, WidthEdit, HeightLabel, WidthLabel };

enum class TextAlign { Left, Centre, Right };

struct CellControl {
    CellControlKind kind;
    int id;
    Rect rect;            // in dialog client coordinates
    std::string text;     // caption, or the edit's initial text
    int fontPoints = 0;   // 0: the dialog's font; else kCellFontFamily at this size
    TextAlign align = TextAlign::Left;
};

// One screen cell: six controls, in creation order.
struct CellLayout {
    int window = 0;
    std::array<CellControl, 6> controls;
};

// A rebuilt grid: the old cells are destroyed, these created and shown.
struct GridLayout {
    Geometry geometry; // the fitted dialog and frame sizes (positions unchanged)
    std::vector<CellLayout> cells;
};

// A message box with the Yes/No buttons, in the language of the moment.
struct MessageBox {
    MessageId id;
    std::string text;
    std::string caption;
};

MessageBox messageBox(MessageId id, bool chinese);

// What the dialog's widgets must change after a decision; what a map does
// not name, or an empty optional, stays as it is. Applied on the GUI thread
// in this order: enabled-while-messages, the changes, the messages, then the
// final enabled state of the upload controls.
struct MosaicView {
    // Value fields written (control id → number); a written field is marked.
    std::map<int, int> values;
    // Changed marks after the decision, for every field whose mark it touched.
    std::map<int, bool> marks;
    // Edits written: cell widths and heights, the rows and columns edits.
    std::map<int, std::string> edits;
    std::map<int, std::string> captions;
    std::map<int, bool> checked;
    std::map<int, ButtonColour> buttonColours;
    std::optional<GridLayout> grid;
    // The resolution list: position to select (-1: none), and the text of
    // its custom entry.
    std::optional<int> resolutionSelection;
    std::optional<std::string> customResolutionEntry;
    // The address list's selected position (address − 1).
    std::optional<int> addressSelection;

    // The upload controls while the messages are shown, the messages in
    // order, then the upload controls' final state.
    std::optional<bool> uploadWhileMessages;
    std::vector<MessageBox> messages;
    std::optional<bool> upload;

    // The connect check has ended: the progress window closes.
    bool closeProgress = false;

    bool empty() const
    {
        return values.empty() && marks.empty() && edits.empty() && captions.empty() && checked.empty() &&
               buttonColours.empty() && !grid && !resolutionSelection && !customResolutionEntry &&
               !addressSelection && !uploadWhileMessages && messages.empty() && !upload && !closeProgress;
    }
};

} // namespace omnar::mosaic
