#include "core/plans/PlanSchedule.h"

#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace omnar::plans {

namespace {

// Where a plan sorts in its list; only the kind's own field counts.
std::int64_t orderKey(PlanKind kind, const PlanItem& plan)
{
    switch (kind) {
    case PlanKind::Day: return plan.time.secondsOfDay();
    case PlanKind::Week: return plan.weekday.empty() ? 0 : plan.weekday[0] - '0';
    case PlanKind::Month: return monthDayNumber(plan.monthDay).value_or(0);
    case PlanKind::Once: return plan.date.year * 10000LL + plan.date.month * 100 + plan.date.day;
    }
    return 0;
}

// Which plans of a list can fire close to the candidate at all.
bool sameSlot(PlanKind kind, const PlanItem& a, const PlanItem& b)
{
    switch (kind) {
    case PlanKind::Day:
    case PlanKind::Once: return true;
    case PlanKind::Week: return a.weekday == b.weekday;
    // By value: "5" and "05" fire on the same day.
    case PlanKind::Month: return monthDayNumber(a.monthDay) == monthDayNumber(b.monthDay);
    }
    return false;
}

// An entry keeps the day it was taken for, so a plan of yesterday evening
// still waiting after midnight is not read as one of tonight; an entry
// without a date is one of today.
LocalDate entryDate(const PlanItem& entry, const LocalDate& today)
{
    return isValidDate(entry.date) ? entry.date : today;
}

std::int64_t firingPoint(PlanKind kind, const PlanItem& plan)
{
    if (kind == PlanKind::Once)
        return civilSeconds(plan.date, plan.time);
    return plan.time.secondsOfDay();
}

} // namespace

std::int32_t TakeEarliestToday(CInfoPlan& store, std::int64_t now, PlanItem& plan, bool remove)
{
    auto& today = store.todayPlans();
    const LocalDate date = localBreakdown(now).date;
    // A found flag rather than the 86400 sentinel: a day with a daylight-
    // saving fall-back lasts 25 hours, so a late plan can lie further away.
    bool found = false;
    std::int64_t best = 0;
    auto chosen = today.end();
    for (auto it = today.begin(); it != today.end(); ++it) {
        const auto when = MakeLocalTime(entryDate(it->second, date), it->second.time);
        if (!when)
            continue;
        const std::int64_t difference = *when - now;
        if (!found || difference < best) {
            found = true;
            best = difference;
            chosen = it;
        }
    }
    if (!found)
        return 0;
    plan = chosen->second;
    plan.date = entryDate(plan, date);
    if (remove)
        today.erase(chosen);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(best, INT_MIN, INT_MAX));
}

std::int32_t TakeEarliestToday(CInfoPlan& store, const util::Clock& clock, PlanItem& plan, bool remove)
{
    return TakeEarliestToday(store, wallSeconds(clock), plan, remove);
}

bool CheckPlanInterval(CInfoPlan& store, PlanKind kind, const PlanItem& candidate,
                       std::optional<std::int32_t> excluded)
{
    auto& plans = store.plans(kind);
    const std::int64_t point = firingPoint(kind, candidate);
    for (const auto& [key, plan] : plans) {
        if (excluded && key == *excluded)
            continue;
        if (!sameSlot(kind, plan, candidate))
            continue;
        if (std::llabs(firingPoint(kind, plan) - point) <= kMinPlanIntervalSeconds)
            return false;
    }
    const std::int32_t key = plans.empty() ? 0 : plans.rbegin()->first + 1;
    PlanItem added = candidate;
    added.key = key;
    plans.emplace(key, added);
    return true;
}

void PlanOrder(PlanMap& plans, PlanKind kind)
{
    std::vector<PlanItem> list;
    list.reserve(plans.size());
    for (const auto& entry : plans)
        list.push_back(entry.second);
    // Day keeps equal plans in their order; the other lists take the later
    // of two equal plans first.
    if (kind != PlanKind::Day)
        std::reverse(list.begin(), list.end());
    std::stable_sort(list.begin(), list.end(), [kind](const PlanItem& a, const PlanItem& b) {
        return orderKey(kind, a) < orderKey(kind, b);
    });
    plans.clear();
    std::int32_t key = 0;
    for (auto& plan : list) {
        plan.key = key;
        plans.emplace(key, std::move(plan));
        ++key;
    }
}

} // namespace omnar::plans
