#include "core/panel/DeviceMirror.h"

namespace omnar::panel {

StatusMode statusModeFromByte(std::uint8_t value)
{
    switch (value) {
    case 0: return StatusMode::MainOnly;
    case 1: return StatusMode::PipBlinking;
    case 2: return StatusMode::PipSteady;
    case 3: return StatusMode::TextBlinking;
    case 4: return StatusMode::TextSteady;
    case 7: return StatusMode::PreselectEmpty;
    case 8: return StatusMode::PreselectHeld;
    default: return StatusMode::None;
    }
}

bool DeviceMirror::inUse(int code) const
{
    return code >= 0 && code < static_cast<int>(sourceInUse.size()) && sourceInUse[static_cast<std::size_t>(code)];
}

} // namespace omnar::panel
