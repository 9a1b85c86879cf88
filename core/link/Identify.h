#pragma once

#include "core/link/Link.h"

#include <cstdint>
#include <stop_token>

namespace omnar::link {

// Asks the device on the open link who it is (the identification query,
// 6000 ms) and tells whether it answered "quen dox". The caller holds the
// link lock. A reply to some other query that is still on its way (a status
// query cut short a moment ago) is no answer: listening goes on for the rest
// of the time instead of refusing the device.
bool identifyDevice(Link& link, std::uint8_t deviceId, std::stop_token stop = {});

} // namespace omnar::link
