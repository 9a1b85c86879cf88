#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <string>

namespace omnar::plans {

// The four plan lists. The numbers are the ones the add/modify dialog and
// the scheduler use to pick a list.
enum class PlanKind : std::uint8_t {
    Day = 0,
    Week = 1,
    Month = 2,
    Once = 3,
};

inline constexpr PlanKind kPlanKinds[] = {PlanKind::Day, PlanKind::Week, PlanKind::Month, PlanKind::Once};

// A calendar date of the local calendar; all zero when a plan has none.
struct LocalDate {
    int year = 0;
    int month = 0;
    int day = 0;

    friend auto operator<=>(const LocalDate&, const LocalDate&) = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;

    int secondsOfDay() const { return hour * 3600 + minute * 60 + second; }
    friend auto operator<=>(const TimeOfDay&, const TimeOfDay&) = default;
};

// One timer plan. Dates and times are kept as calendar fields rather than
// as instants: only their components are ever read, and fields cannot drift
// with a time zone's daylight-saving rule.
struct PlanItem {
    std::int32_t key = 0;   // position in its list; the N of its "TimeN" entry after every save
    LocalDate date;         // Once: the plan's date. In the list of today's plans: today
    TimeOfDay time;         // when it fires
    std::string weekday;    // Week: "0" (Sunday) .. "6"
    std::string monthDay;   // Month: the day of the month as chosen, "01" .. "31"
    std::uint8_t source = 0; // source code to switch to

    friend bool operator==(const PlanItem&, const PlanItem&) = default;
};

using PlanMap = std::map<std::int32_t, PlanItem>;

} // namespace omnar::plans
