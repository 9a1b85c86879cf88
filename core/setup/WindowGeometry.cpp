#include "core/setup/WindowGeometry.h"

#include "core/setup/SetupIds.h"

#include <array>

namespace omnar::setup {

namespace ids = screen_ids;

WindowRect rectFromReply(const link::Frame& reply)
{
    return {link::getBigEndian16(reply, 6), link::getBigEndian16(reply, 4), link::getBigEndian16(reply, 10),
            link::getBigEndian16(reply, 8)};
}

void putRect(link::Frame& frame, const WindowRect& rect)
{
    link::putBigEndian16(frame, 4, static_cast<std::uint16_t>(rect.hstart));
    link::putBigEndian16(frame, 6, static_cast<std::uint16_t>(rect.width));
    link::putBigEndian16(frame, 8, static_cast<std::uint16_t>(rect.vstart));
    link::putBigEndian16(frame, 10, static_cast<std::uint16_t>(rect.height));
}

namespace {

constexpr std::array<WindowControls, 4> kWindowControls{{
    {ids::IDC_MAIN_WIDTH, ids::IDC_MAIN_HSTART, ids::IDC_MAIN_HEIGHT, ids::IDC_MAIN_VSTART, ids::IDC_MAIN_SAVE,
     ids::IDC_MAIN_AREA, ids::IDC_MAIN_RECT},
    {ids::IDC_PIP_WIDTH, ids::IDC_PIP_HSTART, ids::IDC_PIP_HEIGHT, ids::IDC_PIP_VSTART, ids::IDC_PIP_SAVE,
     ids::IDC_MAIN_AREA, ids::IDC_PIP_RECT},
    {ids::IDC_OUTPUT_WIDTH, ids::IDC_OUTPUT_HSTART, ids::IDC_OUTPUT_HEIGHT, ids::IDC_OUTPUT_VSTART,
     ids::IDC_OUTPUT_SAVE, ids::IDC_OUTPUT_AREA, ids::IDC_OUTPUT_RECT},
    {ids::IDC_OUTPUT2_WIDTH, ids::IDC_OUTPUT2_HSTART, ids::IDC_OUTPUT2_HEIGHT, ids::IDC_OUTPUT2_VSTART,
     ids::IDC_OUTPUT2_SAVE, ids::IDC_OUTPUT2_AREA, ids::IDC_OUTPUT2_RECT},
}};

constexpr WindowGroup kGroups[] = {WindowGroup::Main, WindowGroup::Pip, WindowGroup::Output,
                                   WindowGroup::HiddenOutput};

} // namespace

const WindowControls& windowControls(WindowGroup group)
{
    return kWindowControls[static_cast<std::size_t>(group)];
}

std::optional<WindowGroup> groupForSave(int saveId)
{
    for (WindowGroup g : kGroups)
        if (windowControls(g).save == saveId)
            return g;
    return std::nullopt;
}

std::optional<WindowGroup> groupForRect(int rectId)
{
    for (WindowGroup g : kGroups)
        if (windowControls(g).rect == rectId)
            return g;
    return std::nullopt;
}

WindowRect& WindowCache::of(WindowGroup group)
{
    switch (group) {
    case WindowGroup::Main: return main;
    case WindowGroup::Pip: return pip;
    case WindowGroup::Output:
    case WindowGroup::HiddenOutput: return output;
    }
    return output;
}

const WindowRect& WindowCache::of(WindowGroup group) const
{
    return const_cast<WindowCache*>(this)->of(group);
}

WindowCache& sharedWindowCache()
{
    static WindowCache cache;
    return cache;
}

PixelRect previewRect(const PixelRect& area, OutputSize out, const WindowRect& window)
{
    if (out.width <= 0 || out.height <= 0)
        return {area.x, area.y, 0, 0};
    const double sx = static_cast<double>(area.width) / out.width;
    const double sy = static_cast<double>(area.height) / out.height;
    // Conversions truncate toward zero.
    return {area.x + static_cast<int>(sx * window.hstart), area.y + static_cast<int>(sy * window.vstart),
            static_cast<int>(sx * window.width), static_cast<int>(sy * window.height)};
}

} // namespace omnar::setup
