#include "core/mosaic/MosaicIds.h"

#include <cstdio>

namespace omnar::mosaic::ids {

std::string controlName(int id)
{
    if (const std::string_view name = util::controlName(kControls, id); !name.empty())
        return std::string(name);

    static constexpr struct {
        int base;
        const char* prefix;
    } kCellKinds[] = {
        {IDC_WINDOW_BUTTON_BASE, "IDC_WINDOW_BUTTON_"}, {IDC_CELL_FRAME_BASE, "IDC_CELL_FRAME_"},
        {IDC_HEIGHT_EDIT_BASE, "IDC_HEIGHT_EDIT_"},     {IDC_WIDTH_EDIT_BASE, "IDC_WIDTH_EDIT_"},
        {IDC_HEIGHT_LABEL_BASE, "IDC_HEIGHT_LABEL_"},   {IDC_WIDTH_LABEL_BASE, "IDC_WIDTH_LABEL_"},
    };
    for (const auto& kind : kCellKinds)
        if (id >= kind.base && id < kind.base + kCellIdRange) {
            char number[16];
            std::snprintf(number, sizeof number, "%03d", id - kind.base);
            return std::string(kind.prefix) + number;
        }
    return {};
}

} // namespace omnar::mosaic::ids
