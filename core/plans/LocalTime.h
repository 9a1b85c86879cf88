#pragma once

#include "core/plans/PlanItem.h"
#include "core/util/Clock.h"

#include <cstdint>
#include <optional>

// Local calendar arithmetic for the timer. Instants are seconds since
// 1970-01-01 UTC; calendar fields are those of the process's time zone (TZ).
namespace omnar::plans {

struct LocalDateTime {
    LocalDate date;
    TimeOfDay time;
    int weekday = 0; // 0 = Sunday
};

int daysInMonth(int year, int month);
// Year 1900..9999, month 1..12, a day the month has.
bool isValidDate(const LocalDate& date);
bool isValidTime(const TimeOfDay& time);

// Seconds of the proleptic Gregorian calendar with no zone applied: the
// distance between two wall-clock readings, as the operator reads them.
std::int64_t civilSeconds(const LocalDate& date, const TimeOfDay& time);

// The instant at which the local clock shows this date and time, or nothing
// for fields out of range (see isValidDate, isValidTime) or a zone the C
// library cannot resolve. The zone's own daylight-saving rule applies: a
// time the clock skips (spring forward) maps to the instant the same
// distance after the skip's start (02:30 becomes 03:30), a time it shows
// twice (fall back) to its first showing.
std::optional<std::int64_t> MakeLocalTime(int year, int month, int day, int hour, int minute, int second);
std::optional<std::int64_t> MakeLocalTime(const LocalDate& date, const TimeOfDay& time);

// The local calendar breakdown of an instant.
LocalDateTime localBreakdown(std::int64_t instant);

// Whole seconds of the clock's wall time (rounded down).
std::int64_t wallSeconds(const util::Clock& clock);
util::Clock::WallTime wallTimeOf(std::int64_t instant);

} // namespace omnar::plans
