#pragma once

#include "core/link/Link.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanRunnerEvents.h"
#include "core/settings/ProfileFile.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace omnar::plans {

// Which plan lists the timer runs (the Day, Week, Month, Once boxes).
struct PlanKindSelection {
    bool day = true;
    bool week = true;
    bool month = true;
    bool once = true;

    bool any() const { return day || week || month || once; }
    bool has(PlanKind kind) const;
    friend bool operator==(const PlanKindSelection&, const PlanKindSelection&) = default;
};

// The timer: a thread that keeps today's due plans, sleeps until the
// earliest, switches the device to its source through the link (under the
// link lock) and reports the current and next plan to the timer panel. At
// each change of day it reads the plan file again.
//
// It holds a plan store of its own, read from the file at each rebuild, so
// the window's store and the editor are never shared with its thread.
//
// Every wait ends on stop(): the sleep until a plan, the wait for the link
// lock, the pause after the switch, the idle second. A plan is sent up to
// kSwitchWindowSeconds after its moment (the runner may still be pausing
// after the plan before it); reached later it is dropped, never sent late,
// and a console line says so.
//
// At the change of day the new day's plans count from 00:00:00 on, so a plan
// in the first seconds runs although the runner reads the file after its
// moment; yesterday's plans still waiting keep their date.
class PlanRunner {
public:
    static constexpr int kSwitchWindowSeconds = 5;
    static constexpr int kCycleSleepMs = 1000;
    // How often a busy link lock is tried again.
    static constexpr int kLockRetryMs = 10;
    // How long before a plan's second the runner takes the link lock.
    static constexpr int kLockLeadMs = 500;

    enum class StartResult { Started, NoKindChecked, AlreadyRunning };

    // `link` supplies the clock and the lock; all three must outlive the runner.
    PlanRunner(settings::ProfileFile& file, link::Link& link, PlanRunnerEvents& events);
    ~PlanRunner();
    PlanRunner(const PlanRunner&) = delete;
    PlanRunner& operator=(const PlanRunner&) = delete;

    // Read at each rebuild (start and change of day), from any thread.
    void setKinds(PlanKindSelection kinds);
    PlanKindSelection kinds() const;
    // The device's V2-is-YPbPr setting, which filters daily plans; read at each rebuild.
    void setV2IsYPbPr(bool on) { m_v2IsYPbPr = on; }
    // Byte 1 of the switch frame; read at each switch.
    void setDeviceId(std::uint8_t id) { m_deviceId = id; }

    // StartTimer: refuses when no list is selected (the window then shows
    // kSelectTimerToStart) or when already running.
    StartResult start();
    // StopTimer: ends the thread and waits for it; it never leaves the link lock held.
    void stop();
    // Reads the plan file again and rebuilds today's list from it (plans
    // still ahead of now); plans already due and not yet sent stay, to go
    // out within their window or be reported missed. At once while the
    // runner sleeps toward a plan or idles; a runner that holds the link for
    // a switch finishes it first.
    void reload();
    bool running() const { return m_thread.joinable(); }

    // Whether the window starts the timer by itself after start-up.
    static bool autoStart(bool autoConnectFlag, bool startTimerFlag, bool connected)
    {
        return autoConnectFlag && startTimerFlag && connected;
    }

    static TimerEntry entryFor(TimerHalf half, const PlanItem& plan);
    // The current half for a plan that missed its moment.
    static TimerEntry missedEntryFor(const PlanItem& plan);

    // Why a plan was not sent.
    enum class MissReason {
        RunnerBusy, // already past its window when the runner came to it
        LinkBusy,   // another sender held the link until after its window
        WokeLate,   // the clock was set forward or the machine slept through it
        NoLink,     // its frame could not be written: the link is down
    };
    // "Timer: plan 08:30:00 HDMI missed its moment (runner busy), not sent\n"
    static std::string missedLine(const PlanItem& plan, MissReason reason);

private:
    // Which plans of the day a rebuild takes.
    enum class DayStart {
        AfterNow,       // Start, or a clock set back: only what is still ahead
        Reload,         // the file changed: what is ahead, the plans already due kept
        FromMidnight,   // the change of day: the whole day, yesterday's waiting plans kept
    };

    void run(std::stop_token stop);
    void rebuild(std::int64_t now, DayStart from);
    // Takes today's plans whose moment is `now` or earlier out of the list, earliest first.
    PlanMap takeDuePlans(std::int64_t now);
    void reportMissed(const PlanItem& plan, MissReason reason);
    // One pass: take the current and next plan, show them, wait for the
    // current one and switch. False when a stop ended it.
    // `wake` ends the waits that a reload may cut short, and the stop too.
    bool cycle(std::int64_t now, std::stop_token stop, std::stop_token wake);
    // Takes the link lock in stop-aware steps; false when stopped first.
    bool acquire(std::unique_lock<std::mutex>& lock, std::stop_token stop);

    link::Link& m_link;
    PlanRunnerEvents& m_events;
    CInfoPlan m_store; // used by the runner's thread only
    std::atomic<unsigned> m_kinds{0xF};
    std::atomic<bool> m_v2IsYPbPr{false};
    std::atomic<std::uint8_t> m_deviceId{1};
    std::atomic<bool> m_reloadWanted{false};
    std::mutex m_wakeMutex;
    std::stop_source m_wake; // of the cycle under way
    std::jthread m_thread;
};

} // namespace omnar::plans
