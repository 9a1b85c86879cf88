#include "core/util/Clock.h"

#include <algorithm>
#include <thread>

namespace omnar::util {

using namespace std::chrono_literals;

bool Clock::sleepUntil(WallTime t, std::stop_token stop)
{
    // Bounded steps: a wall clock that jumps (NTP, the operator, a suspended
    // machine waking up) is noticed within a step instead of after the full wait.
    constexpr Duration kStep = 1000ms;
    for (;;) {
        const auto now = wallNow();
        if (now >= t)
            return true;
        auto left = std::chrono::ceil<Duration>(t - now);
        if (!sleepFor(std::min(left, kStep), stop))
            return false;
    }
}

Clock::SteadyTime RealClock::steadyNow() const
{
    return std::chrono::steady_clock::now();
}

Clock::WallTime RealClock::wallNow() const
{
    return std::chrono::system_clock::now();
}

bool RealClock::sleepFor(Duration d, std::stop_token stop)
{
    if (stop.stop_requested())
        return false;
    if (d <= Duration::zero())
        return true;
    if (!stop.stop_possible()) {
        std::this_thread::sleep_for(d);
        return true;
    }
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    // The predicate is false, so this returns on the deadline or on a stop request.
    cv.wait_for(lock, stop, d, [] { return false; });
    return !stop.stop_requested();
}

RealClock& RealClock::instance()
{
    static RealClock clock;
    return clock;
}

VirtualClock::VirtualClock(Mode mode, WallTime wallStart)
    : m_mode(mode)
    , m_wallStart(wallStart)
{
}

Clock::SteadyTime VirtualClock::steadyNow() const
{
    std::lock_guard lock(m_mutex);
    return m_steadyStart + m_elapsed;
}

Clock::WallTime VirtualClock::wallNow() const
{
    std::lock_guard lock(m_mutex);
    return m_wallStart + m_elapsed + m_wallOffset;
}

bool VirtualClock::sleepFor(Duration d, std::stop_token stop)
{
    Duration end;
    {
        std::lock_guard lock(m_mutex);
        end = m_elapsed + std::max(d, Duration::zero());
    }
    return sleepUntilOffset(end, d, false, stop);
}

bool VirtualClock::sleepUntil(WallTime t, std::stop_token stop)
{
    // Virtual wall time only moves with advance() and setWall(), so one wait
    // for the exact offset is enough; setWall() wakes sleepers to re-check.
    for (;;) {
        Duration end, requested;
        {
            std::lock_guard lock(m_mutex);
            const auto now = m_wallStart + m_elapsed + m_wallOffset;
            if (now >= t)
                return true;
            requested = std::chrono::ceil<Duration>(t - now);
            end = m_elapsed + requested;
        }
        if (!sleepUntilOffset(end, requested, true, stop))
            return false;
    }
}

bool VirtualClock::sleepUntilOffset(Duration end, Duration requested, bool wallSensitive,
                                     std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    m_sleeps.push_back(requested);
    if (stop.stop_requested())
        return false;
    if (m_mode == Mode::AutoAdvance) {
        m_elapsed = std::max(m_elapsed, end);
        m_changed.notify_all();
        return true;
    }
    ++m_sleepers;
    m_changed.notify_all();
    const auto wallBefore = m_wallOffset;
    const bool done = m_changed.wait(lock, stop, [&] { return m_elapsed >= end || (wallSensitive && m_wallOffset != wallBefore); });
    --m_sleepers;
    m_changed.notify_all();
    return done || !stop.stop_requested();
}

void VirtualClock::advance(Duration d)
{
    std::lock_guard lock(m_mutex);
    m_elapsed += d;
    m_changed.notify_all();
}

void VirtualClock::setWall(WallTime t)
{
    std::lock_guard lock(m_mutex);
    m_wallOffset = std::chrono::duration_cast<Duration>(t - (m_wallStart + m_elapsed));
    m_changed.notify_all();
}

std::vector<Clock::Duration> VirtualClock::sleeps() const
{
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

void VirtualClock::clearSleeps()
{
    std::lock_guard lock(m_mutex);
    m_sleeps.clear();
}

bool VirtualClock::waitForSleepers(std::size_t n, std::chrono::milliseconds realTimeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, realTimeout, [&] { return m_sleepers >= n; });
}

std::size_t VirtualClock::sleepers() const
{
    std::lock_guard lock(m_mutex);
    return m_sleepers;
}

} // namespace omnar::util
