#pragma once

#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanItem.h"
#include "core/util/Clock.h"

#include <cstdint>
#include <optional>

// The time rules of the timer: the earliest plan still due today, the
// 10-second distance between plans of one list, and the order of a list.
namespace omnar::plans {

// Plans of one list closer than this (absolute difference <= 10 s) cannot coexist.
inline constexpr int kMinPlanIntervalSeconds = 10;

// Finds the entry of todayPlans that falls due first (the smaller key on a
// tie), puts it in `plan` (its date, today for an entry without one, its
// time and source) and, with `remove`, erases it. Returns its seconds from
// `now`: 0 or less when it is due or past, and 0 when the list is empty
// (then `plan` is left alone).
std::int32_t TakeEarliestToday(CInfoPlan& store, std::int64_t now, PlanItem& plan, bool remove);
std::int32_t TakeEarliestToday(CInfoPlan& store, const util::Clock& clock, PlanItem& plan, bool remove);

// The 10-second rule. Compares `candidate` with the plans of its own list
// (for Week only those on its weekday, for Month only those on its day; the
// one with key `excluded`, the plan being modified, is left out) by time of
// day without wrapping at midnight, and for Once by date and time. Refused:
// returns false and changes nothing. Accepted: the candidate joins the list
// under one more than the largest key present, and the result is true.
bool CheckPlanInterval(CInfoPlan& store, PlanKind kind, const PlanItem& candidate,
                       std::optional<std::int32_t> excluded = std::nullopt);

// Reorders a list and renumbers its keys 0, 1, 2, ...: daily plans by time
// of day (ties keep their order), weekly plans by weekday, monthly plans by
// day of the month and one-time plans by date (ties in reverse order).
void PlanOrder(PlanMap& plans, PlanKind kind);

} // namespace omnar::plans
