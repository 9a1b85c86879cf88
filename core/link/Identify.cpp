#include "core/link/Identify.h"

#include "core/link/Catalogue.h"

#include <chrono>

namespace omnar::link {

using std::chrono::milliseconds;

bool identifyDevice(Link& link, std::uint8_t deviceId, std::stop_token stop)
{
    const Frame ident = cmd::identQuery(deviceId);
    Frame reply{};
    const auto deadline = link.clock().steadyNow() + milliseconds(cmd::kIdentTimeoutMs);
    int got = link.QueryCommand(&ident, &reply, cmd::kIdentTimeoutMs, stop);
    while (got == 13 && reply[3] != cmd::kIdentSubCode && !stop.stop_requested()) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - link.clock().steadyNow());
        if (left.count() < Link::kPollIntervalMs)
            return false;
        got = link.ReceiveReply(&reply, static_cast<int>(left.count()), stop);
    }
    return got == 13 && cmd::isIdentificationReply(reply);
}

} // namespace omnar::link
