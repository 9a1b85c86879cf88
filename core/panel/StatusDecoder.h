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

// What Disconnect does to the mirror: the second source's indicator goes dark
// and the next connection adopts the device's Cut/Fade choice again.
DecodeResult disconnectMirror(const DeviceMirror& mirror);

} // namespace omnar::panel
