// The output raster and the windows on it: the output window, and the main
// and PIP windows each layout M1..M3 keeps.
//
// How this device behaves where a panel cannot see:
// - A resolution change takes effect at once (SimServer can make the device
//   deaf for a while afterwards, as one re-locking its output). Every window
//   is kept in proportion to the raster (scaled, rounded down to even), so a
//   window that fitted the old raster fits the new one; a full-screen output
//   window stays full-screen.
// - A window frame whose window is empty or does not lie inside the raster
//   is ignored: the device keeps the window it had.
// - A custom timing outside the pixel clock the output can make
//   (25999001..164998999 Hz, counting 184 pixels and 45 lines of blanking) is
//   refused, as is one of no size or no refresh rate.

#include "sim/DeviceCodes.h"
#include "sim/SimDevice.h"

#include <cstdint>

namespace omnar::sim {

namespace {

using code::u16;
using code::u8;

constexpr std::uint64_t kMinDotClock = 25999001;
constexpr std::uint64_t kMaxDotClock = 164998999;

std::uint16_t even(long v)
{
    return u16(static_cast<int>(v & ~1L));
}

std::uint16_t scaled(std::uint16_t v, int from, int to)
{
    return even(static_cast<long>(v) * to / from);
}

WindowRect scaled(const WindowRect& r, setup::OutputSize from, setup::OutputSize to)
{
    return {scaled(r.hStart, from.width, to.width), scaled(r.width, from.width, to.width),
            scaled(r.vStart, from.height, to.height), scaled(r.height, from.height, to.height)};
}

bool hasArea(setup::OutputSize s)
{
    return s.width > 0 && s.height > 0;
}

bool dotClockInRange(const CustomResolution& c)
{
    // The blanking alone can reach the range: a timing without a picture is no timing.
    if (c.width == 0 || c.height == 0)
        return false;
    const std::uint64_t p = (std::uint64_t{c.height} + 45) * (std::uint64_t{c.width} + 184) * c.refresh;
    return p >= kMinDotClock && p <= kMaxDotClock;
}

} // namespace

setup::OutputSize SimDevice::raster() const
{
    if (m_state.resolutionIndex == setup::kCustomResolutionIndex)
        return {m_state.custom.width, m_state.custom.height};
    return setup::sizeForIndex(m_state.resolutionIndex, {});
}

// What the device holds before anyone set a window: the output window fills
// the raster; M1 a picture in the lower right quarter, M2 side by side, M3 a
// small window top left; the mosaic shows the whole picture on the whole screen.
void SimDevice::resetWindows()
{
    auto& s = m_state;
    const auto size = raster();
    const long w = size.width, h = size.height;
    const WindowRect full{0, even(w), 0, even(h)};
    s.output = full;
    s.layouts[0] = {full, {even(w / 2), even(w / 2 - w / 16), even(h / 2), even(h / 2 - h / 16)}};
    s.layouts[1] = {{0, even(w / 2), 0, even(h)}, {even(w / 2), even(w / 2), 0, even(h)}};
    s.layouts[2] = {full, {even(w / 16), even(w / 4), even(h / 16), even(h / 4)}};
    s.mosaicInput = full;
    s.mosaicOutput = full;
}

void SimDevice::setResolution(int index, const CustomResolution& custom)
{
    auto& s = m_state;
    const auto before = raster();
    s.resolutionIndex = index;
    s.custom = custom;
    const auto after = raster();
    if (!hasArea(before) || !hasArea(after)) {
        resetWindows();
        return;
    }
    s.output = scaled(s.output, before, after);
    for (auto& lw : s.layouts) {
        lw.main = scaled(lw.main, before, after);
        lw.pip = scaled(lw.pip, before, after);
    }
    s.mosaicInput = scaled(s.mosaicInput, before, after);
    s.mosaicOutput = scaled(s.mosaicOutput, before, after);
}

bool SimDevice::fitsRaster(const WindowRect& r) const
{
    const auto size = raster();
    return r.width > 0 && r.height > 0 && r.hStart + r.width <= size.width && r.vStart + r.height <= size.height;
}

bool SimDevice::applyWindows(const link::Frame& f)
{
    auto& s = m_state;
    const std::uint8_t a = f[3];
    const WindowRect r = code::rectFrom(f);
    switch (f[2]) {
    case code::kResolution:
        if (a <= setup::kCustomResolutionIndex)
            setResolution(a, s.custom);
        break;
    case code::kCustomResolution: {
        const CustomResolution c{link::getBigEndian16(f, 4), link::getBigEndian16(f, 6), f[8]};
        if (a == 0 && dotClockInRange(c))
            setResolution(setup::kCustomResolutionIndex, c);
        break;
    }
    case code::kOutputWindow:
        if (a == 0 && fitsRaster(r))
            s.output = r;
        break;
    case code::kWindowM1:
    case code::kWindowM2:
    case code::kWindowM3:
        if (a <= 1 && fitsRaster(r)) {
            auto& lw = s.layouts[static_cast<std::size_t>(f[2] - code::kWindowM1)];
            (a == 0 ? lw.main : lw.pip) = r;
        }
        break;
    default:
        return false;
    }
    return true;
}

bool SimDevice::readWindows(std::uint8_t subCode, link::Frame& f) const
{
    const auto& s = m_state;
    if (subCode == code::kReadOutput) {
        f[3] = u8(s.resolutionIndex);
        code::putRect(f, s.output);
    } else if (subCode == code::kReadCustom) {
        link::putBigEndian16(f, 4, s.custom.width);
        link::putBigEndian16(f, 6, s.custom.height);
        f[8] = s.custom.refresh;
    } else if (subCode >= code::kReadFirstWindow && subCode <= code::kReadLastWindow) {
        const int slot = subCode - code::kReadFirstWindow;
        const auto& lw = s.layouts[static_cast<std::size_t>(slot / 2)];
        code::putRect(f, slot % 2 == 0 ? lw.main : lw.pip);
    } else {
        return false;
    }
    return true;
}

} // namespace omnar::sim
