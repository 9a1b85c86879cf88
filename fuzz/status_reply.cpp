// Status replies straight from the device: any 13 bytes, decoded against
// any mirror state the previous replies left.
#include "core/link/Frame.h"
#include "core/panel/StatusDecoder.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    omnar::panel::DeviceMirror mirror;
    const std::uint8_t deviceId = size > 0 ? data[0] : 1;
    const bool chinese = size > 1 && (data[1] & 1);
    const bool timerRunning = size > 1 && (data[1] & 2);
    std::size_t at = size > 2 ? 2 : size;
    // Several replies in a row, so a reply meets the state of those before it.
    while (at + omnar::link::kFrameSize <= size) {
        omnar::link::Frame reply{};
        std::memcpy(reply.data(), data + at, reply.size());
        at += reply.size();
        const auto result = omnar::panel::decodeStatus(reply, deviceId, mirror, chinese, timerRunning);
        if (!result.ignored)
            mirror = result.mirror;
    }
    return 0;
}
