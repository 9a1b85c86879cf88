#pragma once

#include "core/util/Clock.h"

#include <functional>
#include <stop_token>

namespace omnar::link {

// The pauses between the tries to get a lost link back: short at first, so
// a peer that merely restarted is back at once, then doubling up to a bound,
// so a device that stays away is not hammered (nor the console flooded).
class ReconnectBackoff {
public:
    static constexpr util::Clock::Duration kFirstPause{1000};
    static constexpr util::Clock::Duration kLongestPause{30000};

    // The pause before the next try: 1 s, 2 s, 4 s … 30 s, 30 s …
    util::Clock::Duration next();
    void reset() { m_next = kFirstPause; }

private:
    util::Clock::Duration m_next = kFirstPause;
};

// Tries `attempt` after each pause of `backoff` on `clock` until it succeeds
// (true) or `keepTrying` says no or a stop is requested (false). An empty
// `keepTrying` always says yes.
bool retryWithBackoff(util::Clock& clock, ReconnectBackoff& backoff, const std::function<bool()>& attempt,
                      std::stop_token stop, const std::function<bool()>& keepTrying = {});

} // namespace omnar::link
