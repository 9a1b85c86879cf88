#include "core/link/ReconnectBackoff.h"

#include <algorithm>

namespace omnar::link {

util::Clock::Duration ReconnectBackoff::next()
{
    const auto pause = m_next;
    m_next = std::min(m_next * 2, kLongestPause);
    return pause;
}

bool retryWithBackoff(util::Clock& clock, ReconnectBackoff& backoff, const std::function<bool()>& attempt,
                      std::stop_token stop, const std::function<bool()>& keepTrying)
{
    const auto wanted = [&] { return !stop.stop_requested() && (!keepTrying || keepTrying()); };
    while (wanted()) {
        if (!clock.sleepFor(backoff.next(), stop) || !wanted())
            return false;
        if (attempt())
            return true;
    }
    return false;
}

} // namespace omnar::link
