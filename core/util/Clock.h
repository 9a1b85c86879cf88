#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <stop_token>
#include <vector>

namespace omnar::util {

// Every sleep, pause, timeout and "now" of the program goes through a Clock, so
// tests can run the device pacing (3000 ms after a switch, 20000 ms after AUTO)
// on virtual time, and every wait ends as soon as its thread is asked to stop.
class Clock {
public:
    using Duration = std::chrono::milliseconds;
    using SteadyTime = std::chrono::steady_clock::time_point;
    using WallTime = std::chrono::system_clock::time_point;

    virtual ~Clock() = default;

    virtual SteadyTime steadyNow() const = 0;
    virtual WallTime wallNow() const = 0;

    // Sleeps for `d`. Returns true when the whole time passed, false when a
    // stop was requested on `stop` first (then it returns at once).
    virtual bool sleepFor(Duration d, std::stop_token stop = {}) = 0;

    // Sleeps until the wall clock reaches `t`; same result as sleepFor.
    // Re-reads the wall clock in steps so a clock set forward or back is noticed.
    virtual bool sleepUntil(WallTime t, std::stop_token stop = {});
};

// The production clock: the system's clocks and real sleeping.
class RealClock final : public Clock {
public:
    SteadyTime steadyNow() const override;
    WallTime wallNow() const override;
    bool sleepFor(Duration d, std::stop_token stop = {}) override;

    // The process-wide instance used where nothing else is injected.
    static RealClock& instance();
};

// A clock for tests. In auto-advance mode (the default) a sleep moves virtual
// time forward at once and returns, so single-threaded code runs its whole
// pacing in no real time. In manual mode a sleep blocks until advance() has
// moved time past its end (or a stop is requested), which lets a test step
// worker threads deterministically.
class VirtualClock final : public Clock {
public:
    enum class Mode { AutoAdvance, Manual };

    explicit VirtualClock(Mode mode = Mode::AutoAdvance,
                          WallTime wallStart = WallTime{std::chrono::seconds{1'700'000'000}});

    SteadyTime steadyNow() const override;
    WallTime wallNow() const override;
    bool sleepFor(Duration d, std::stop_token stop = {}) override;
    bool sleepUntil(WallTime t, std::stop_token stop = {}) override;

    // Moves virtual time forward and wakes the sleepers whose end has come.
    void advance(Duration d);
    // Sets the wall clock (steady time is unaffected), as when the operator sets the clock.
    void setWall(WallTime t);

    // The durations of every sleep so far, in call order.
    std::vector<Duration> sleeps() const;
    void clearSleeps();
    // Manual mode: blocks (in real time, up to `realTimeout`) until at least `n`
    // threads are sleeping. Returns whether they are.
    bool waitForSleepers(std::size_t n, std::chrono::milliseconds realTimeout = std::chrono::seconds{10}) const;
    std::size_t sleepers() const;

private:
    bool sleepUntilOffset(Duration endOffset, Duration requested, bool wallSensitive, std::stop_token stop);

    const Mode m_mode;
    mutable std::mutex m_mutex;
    mutable std::condition_variable_any m_changed;
    const SteadyTime m_steadyStart{};
    Duration m_elapsed{0};
    Duration m_wallOffset{0};
    WallTime m_wallStart;
    std::vector<Duration> m_sleeps;
    std::size_t m_sleepers = 0;
};

} // namespace omnar::util
