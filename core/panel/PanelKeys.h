#pragma once

#include "core/link/Catalogue.h"
#include "core/panel/DeviceMirror.h"
#include "core/panel/PanelTexts.h"
#include "core/panel/PanelView.h"

#include <cstdint>
#include <optional>
#include <string>

namespace omnar::panel {

struct KeyOutcome {
    bool handled = false;                      // false: not a key of the panel's device keys
    DeviceMirror mirror;                       // with the key's immediate flips
    std::optional<link::cmd::Command> command; // for the pending-command slot
    std::optional<Refusal> refusal;
    PanelView view;                            // immediate widget changes
};

// The decision behind a key, radio or function button of the main window,
// by control id: source keys, EXT., PIP/PBP, TEXT, M1..M3, BYPASS, MOSAIC,
// FREEZE, AUTO/TAKE, the switch-mode radios and the Cut/Fade radios. Reads
// the mirror only; what it sends goes through the slot, never straight to
// the device.
KeyOutcome pressKey(int controlId, const DeviceMirror& mirror, std::uint8_t deviceId, bool chinese);

} // namespace omnar::panel
