#pragma once

#include "core/link/Frame.h"
#include "core/setup/Resolution.h"

#include <cstdint>
#include <optional>

namespace omnar::setup {

// A window in output pixels, origin at the top-left corner of the output
// raster. On the wire (bytes 4..11) the order is HS, W, VS, VH, each 16 bits
// high byte first.
struct WindowRect {
    int width = 0;
    int hstart = 0;
    int height = 0;
    int vstart = 0;
    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// Bytes 4..11 of a reply.
WindowRect rectFromReply(const link::Frame& reply);
// Puts a window at bytes 4..11; each value goes out as v / 256, v mod 256
// (the checks keep them within 0..65535).
void putRect(link::Frame& frame, const WindowRect& rect);

// The window groups of the setup window, each with its four edits, its Save,
// its preview area and the rectangle drawn in it. The hidden second output
// group is the output window again, drawn in an area of its own.
enum class WindowGroup { Main, Pip, Output, HiddenOutput };

struct WindowControls {
    int width;
    int hstart;
    int height;
    int vstart;
    int save;
    int area;
    int rect;
};
const WindowControls& windowControls(WindowGroup group);
// The group whose Save has this id, or whose rectangle this is.
std::optional<WindowGroup> groupForSave(int saveId);
std::optional<WindowGroup> groupForRect(int rectId);

// The last known main, PIP and output windows. Kept for the whole run, so a
// later opening of the setup window starts its previews from them until
// Refresh reads the device again. GUI thread only.
struct WindowCache {
    WindowRect main;
    WindowRect pip;
    WindowRect output;

    WindowRect& of(WindowGroup group);
    const WindowRect& of(WindowGroup group) const;
};
WindowCache& sharedWindowCache();

// Where a window's rectangle goes inside its preview area, scaled by the
// output size, each value truncated toward zero. An output size of 0 (never
// adopted) gives an empty rectangle at the area's corner.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
PixelRect previewRect(const PixelRect& area, OutputSize out, const WindowRect& window);

// The PIP layout (0 M1, 1 M2, 2 M3) and the command code of its window
// frames (0x2A, 0x2B, 0x2C).
inline constexpr std::uint8_t kWindowCodeM1 = 0x2A;
inline constexpr std::uint8_t windowCodeForLayout(int layout)
{
    return static_cast<std::uint8_t>(kWindowCodeM1 + ((layout >= 0 && layout <= 2) ? layout : 0));
}
inline constexpr int layoutForWindowCode(std::uint8_t code)
{
    return (code >= kWindowCodeM1 && code <= kWindowCodeM1 + 2) ? code - kWindowCodeM1 : 0;
}

} // namespace omnar::setup
