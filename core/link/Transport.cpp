#include "core/link/Transport.h"

namespace omnar::link {

void Transport::discardInput()
{
    std::uint8_t scrap[kFrameSize];
    // Bounded: a line that never stops talking must not hold the query up for good.
    for (int i = 0; i < kDiscardReadsMax && !lost(); ++i) {
        if (read(scrap, sizeof scrap) <= 0)
            return;
    }
}

void Transport::markLost(std::string reason)
{
    if (m_lostReason.empty())
        m_lostReason = reason.empty() ? std::string("the connection went away") : std::move(reason);
}

} // namespace omnar::link
