#pragma once

#include "core/plans/PlanItem.h"
#include "core/plans/PlanTexts.h"

#include <string>

namespace omnar::plans {

enum class TimerHalf { Current, Next };

// The texts of one half of the Current/Next Timer panel. Status and result
// come in both languages; the window shows the one of the moment.
struct TimerEntry {
    std::string time;   // "%2d:%2d:%2d"
    std::string signal; // source name; empty for VGA2, DP and YPbPr
    PlanText status;    // "Immediate Execution" (current), "No Execution" (next) or "Missed"
    PlanText result;    // "Unknown", or "Not sent" for a missed plan

    friend bool operator==(const TimerEntry& a, const TimerEntry& b)
    {
        return a.time == b.time && a.signal == b.signal && a.status.en == b.status.en
            && a.status.zh == b.status.zh && a.result.en == b.result.en && a.result.zh == b.result.zh;
    }
};

// What the plan runner reports. Called on the runner's thread: an
// implementation hands the call over to the window thread (queued, never
// blocking on it) and returns.
class PlanRunnerEvents {
public:
    virtual ~PlanRunnerEvents() = default;

    // New texts for one half of the timer panel.
    virtual void timerEntry(TimerHalf half, const TimerEntry& entry) = 0;
    // The switch frame of a plan goes out now (the link lock is held).
    virtual void planSending(const PlanItem& plan) { (void)plan; }
    // The switch frame of a plan went out (its pause is over).
    virtual void planSwitched(const PlanItem& plan) { (void)plan; }
    // A plan's moment had passed by more than the switch window when the
    // runner got to it (busy with another plan, the link held, the machine
    // suspended, the clock set forward), or its frame could not be written
    // (no link): not switched. The console has a line
    // on it and the current half of the panel already says so.
    virtual void planMissed(const PlanItem& plan) { (void)plan; }
};

} // namespace omnar::plans
