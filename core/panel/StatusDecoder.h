#pragma once

#include "core/link/Frame.h"
#include "core/panel/DeviceMirror.h"
#include "core/panel/PanelView.h"

#include <cstdint>

namespace omnar::panel {

struct DecodeResult {
    bool ignored = false; // not a status reply of this device: mirror and view unchanged
    DeviceMirror mirror;
    PanelView view;
};

// Decodes one status reply into the new mirror and the panel changes it
// implies. `chinese` picks the "Pre:" label's language; while
// `timerRunning`, the function keys keep the enable state the link gives them.
// Pure: callers publish the result (the worker under the link lock).
DecodeResult decodeStatus(const link::Frame& reply, std::uint8_t deviceId, const DeviceMirror& mirror, bool chinese,
                          bool timerRunning);

// What losing the device does to the mirror (Disconnect, a lost link, the
// end of the Fast Mosaic dialog): every indicator goes dark, nothing blinks,
// and the next connection adopts the device's Cut/Fade choice again. The
// second source is forgotten with its lamp; the other mirrored values stay
// until the next status reply replaces them.
DecodeResult disconnectMirror(const DeviceMirror& mirror);

} // namespace omnar::panel
