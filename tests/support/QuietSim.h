#pragma once

#include "sim/SimOptions.h"

#include <chrono>
#include <cstdint>

namespace omnar::test {

// The virtual processor without its trace, answering at once.
inline sim::SimOptions quietSim(bool ypbpr = false, std::uint8_t deviceId = 1)
{
    sim::SimOptions o;
    o.deviceId = deviceId;
    o.trace = false;
    o.replyDelay = std::chrono::milliseconds{5};
    o.ypbpr = ypbpr;
    return o;
}

} // namespace omnar::test
