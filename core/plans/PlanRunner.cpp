#include "core/plans/PlanRunner.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"
#include "core/plans/PlanSchedule.h"
#include "core/util/Console.h"

#include <chrono>
#include <cstdio>

namespace omnar::plans {

using std::chrono::milliseconds;

bool PlanKindSelection::has(PlanKind kind) const
{
    switch (kind) {
    case PlanKind::Day: return day;
    case PlanKind::Week: return week;
    case PlanKind::Month: return month;
    case PlanKind::Once: return once;
    }
    return false;
}

PlanRunner::PlanRunner(settings::ProfileFile& file, link::Link& link, PlanRunnerEvents& events)
    : m_link(link)
    , m_events(events)
    , m_store(file)
{
}

PlanRunner::~PlanRunner()
{
    stop();
}

void PlanRunner::setKinds(PlanKindSelection kinds)
{
    unsigned bits = 0;
    for (PlanKind kind : kPlanKinds)
        if (kinds.has(kind))
            bits |= 1u << static_cast<unsigned>(kind);
    m_kinds = bits;
}

PlanKindSelection PlanRunner::kinds() const
{
    const unsigned bits = m_kinds;
    return {(bits & 1u) != 0, (bits & 2u) != 0, (bits & 4u) != 0, (bits & 8u) != 0};
}

PlanRunner::StartResult PlanRunner::start()
{
    if (running())
        return StartResult::AlreadyRunning;
    if (!kinds().any())
        return StartResult::NoKindChecked;
    m_thread = std::jthread([this](std::stop_token stop) { run(stop); });
    return StartResult::Started;
}

void PlanRunner::stop()
{
    if (!m_thread.joinable())
        return;
    m_thread.request_stop();
    m_thread.join();
}

TimerEntry PlanRunner::entryFor(TimerHalf half, const PlanItem& plan)
{
    return {formatTime(plan.time), SourceName(plan.source),
            half == TimerHalf::Current ? kImmediateExecution : kNoExecution, kResultUnknown};
}

TimerEntry PlanRunner::missedEntryFor(const PlanItem& plan)
{
    return {formatTime(plan.time), SourceName(plan.source), kMissedExecution, kResultNotSent};
}

std::string PlanRunner::missedLine(const PlanItem& plan, MissReason reason)
{
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", plan.time.hour, plan.time.minute, plan.time.second);
    const auto source = link::sourceInfo(plan.source);
    const std::string name = source ? std::string(source->name) : "source " + std::to_string(plan.source);
    const char* why = reason == MissReason::RunnerBusy ? "runner busy"
        : reason == MissReason::LinkBusy               ? "link busy"
        : reason == MissReason::NoLink                 ? "no link"
                                                       : "timer woke late";
    return std::string("Timer: plan ") + time + " " + name + " missed its moment (" + why + "), not sent\n";
}

void PlanRunner::reportMissed(const PlanItem& plan, MissReason reason)
{
    util::consolePrint(missedLine(plan, reason));
    // The panel must not go on showing it as about to run.
    m_events.timerEntry(TimerHalf::Current, missedEntryFor(plan));
    m_events.planMissed(plan);
}

void PlanRunner::rebuild(std::int64_t now, DayStart from)
{
    // Yesterday's plans still waiting at the change of day stay due; their
    // date keeps them apart from tonight's. So do the plans that fell due
    // while the runner was busy when the file changes: the file only adds
    // what is still ahead.
    PlanMap waiting;
    if (from == DayStart::FromMidnight)
        waiting = std::move(m_store.todayPlans());
    else if (from == DayStart::Reload)
        waiting = takeDuePlans(now);
    m_store.ReloadFromFile();
    auto& today = m_store.todayPlans();
    std::int32_t key = 0;
    for (auto& [oldKey, plan] : waiting) {
        plan.key = key;
        today.emplace(key++, std::move(plan));
    }
    const auto kinds = this->kinds();
    const bool v2IsYPbPr = m_v2IsYPbPr;
    for (PlanKind kind : kPlanKinds) {
        if (!kinds.has(kind))
            continue;
        if (from == DayStart::FromMidnight)
            m_store.BuildWholeDayPlans(kind, now, v2IsYPbPr);
        else
            m_store.BuildTodayPlans(kind, now, v2IsYPbPr);
    }
}

PlanMap PlanRunner::takeDuePlans(std::int64_t now)
{
    PlanMap due;
    auto& today = m_store.todayPlans();
    for (std::int32_t key = 0; !today.empty(); ++key) {
        PlanItem plan;
        if (TakeEarliestToday(m_store, now, plan, false) > 0)
            break;
        const auto before = today.size();
        TakeEarliestToday(m_store, now, plan, true);
        if (today.size() == before) // only entries without a moment are left
            break;
        due.emplace(key, plan);
    }
    return due;
}

void PlanRunner::run(std::stop_token stop)
{
    util::Clock& clock = m_link.clock();
    std::int64_t now = wallSeconds(clock);
    rebuild(now, DayStart::AfterNow);
    // The whole date, not only the day of the month: a machine suspended
    // for exactly a month must still rebuild.
    LocalDate builtFor = localBreakdown(now).date;
    while (!stop.stop_requested()) {
        // A reload ends this cycle's waits early; published before the flag
        // is looked at, so a reload asked for meanwhile is never lost.
        std::stop_source wake;
        {
            std::lock_guard lock(m_wakeMutex);
            m_wake = wake;
        }
        std::stop_callback stopWakes(stop, [&wake] { wake.request_stop(); });
        now = wallSeconds(clock);
        const LocalDate today = localBreakdown(now).date;
        const bool reload = m_reloadWanted.exchange(false);
        if (today != builtFor) {
            // A clock set back to an earlier day has run that day's plans already.
            rebuild(now, today > builtFor ? DayStart::FromMidnight : DayStart::AfterNow);
            builtFor = today;
        } else if (reload) {
            rebuild(now, DayStart::Reload);
        }
        if (!cycle(now, stop, wake.get_token()))
            return;
        if (!clock.sleepFor(milliseconds(kCycleSleepMs), wake.get_token()) && stop.stop_requested())
            return;
    }
}

void PlanRunner::reload()
{
    m_reloadWanted = true;
    std::lock_guard lock(m_wakeMutex);
    m_wake.request_stop();
}

bool PlanRunner::cycle(std::int64_t now, std::stop_token stop, std::stop_token wake)
{
    auto& today = m_store.todayPlans();
    if (today.empty())
        return true;
    PlanItem current;
    std::int32_t untilCurrent = TakeEarliestToday(m_store, now, current, true);
    // Plans whose window passed while the runner was busy (another plan's
    // pause, a late change of day) are told, one after the other.
    while (untilCurrent < -kSwitchWindowSeconds) {
        reportMissed(current, MissReason::RunnerBusy);
        if (today.empty())
            return true;
        untilCurrent = TakeEarliestToday(m_store, now, current, true);
    }
    m_events.timerEntry(TimerHalf::Current, entryFor(TimerHalf::Current, current));
    if (!today.empty()) {
        PlanItem next;
        TakeEarliestToday(m_store, now, next, false);
        m_events.timerEntry(TimerHalf::Next, entryFor(TimerHalf::Next, next));
    }

    util::Clock& clock = m_link.clock();
    const std::int64_t due = now + untilCurrent;
    const auto dueTime = wallTimeOf(due);
    // Take the link a moment early: the status poller holds it for about
    // 300 ms of every poll, and the plan must not wait for one to finish.
    // A plan already due goes straight to the lock. A reload wakes it here,
    // at least half a second ahead of the plan, which goes back into the
    // list: the rebuild then takes the file as it is now (a reload asked
    // for while this cycle began has been taken already, and the plan must
    // not vanish with the wait).
    if (!clock.sleepUntil(dueTime - milliseconds(kLockLeadMs), wake)) {
        if (stop.stop_requested())
            return false;
        const std::int32_t key = today.empty() ? 0 : today.rbegin()->first + 1;
        current.key = key;
        today.emplace(key, current);
        return true;
    }
    const bool wokeLate = wallSeconds(clock) - due > kSwitchWindowSeconds;
    std::unique_lock lock(m_link.lock(), std::defer_lock);
    if (!acquire(lock, stop))
        return false;
    // Straight to the plan's second; a clock set back is simply waited out.
    while (wallSeconds(clock) < due) {
        if (!clock.sleepUntil(dueTime, stop))
            return false;
    }
    if (wallSeconds(clock) - due > kSwitchWindowSeconds) {
        lock.unlock();
        reportMissed(current, wokeLate ? MissReason::WokeLate : MissReason::LinkBusy);
        return true;
    }
    const auto command = link::cmd::planSwitch(m_deviceId, current.source);
    m_events.planSending(current);
    const int sent = m_link.SendCommand(&command.frame, command.delayMs, stop);
    lock.unlock();
    // A frame that went out is a switch, also when a stop cut its pause short.
    if (sent != 0)
        m_events.planSwitched(current);
    if (stop.stop_requested())
        return false;
    // A frame that never left must not pass for a switch.
    if (sent == 0)
        reportMissed(current, MissReason::NoLink);
    return true;
}

bool PlanRunner::acquire(std::unique_lock<std::mutex>& lock, std::stop_token stop)
{
    // A plain lock() could not be interrupted by stop(), which runs on the
    // window thread; the others hold the lock for one transaction at most.
    while (!lock.try_lock()) {
        if (!m_link.clock().sleepFor(milliseconds(kLockRetryMs), stop))
            return false;
    }
    return true;
}

} // namespace omnar::plans
