#include "core/plans/LocalTime.h"

#include <ctime>

namespace omnar::plans {

namespace {

constexpr std::int64_t kDay = 86400;

bool isLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t daysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const auto mp = static_cast<unsigned>(m > 2 ? m - 3 : m + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(d) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::optional<long> utcOffsetAt(std::int64_t instant)
{
    const auto t = static_cast<std::time_t>(instant);
    std::tm tm{};
    if (!::localtime_r(&t, &tm))
        return std::nullopt;
    return tm.tm_gmtoff;
}

} // namespace

int daysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

bool isValidDate(const LocalDate& date)
{
    return date.year >= 1900 && date.year <= 9999 && date.month >= 1 && date.month <= 12
        && date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

bool isValidTime(const TimeOfDay& time)
{
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59
        && time.second >= 0 && time.second <= 59;
}

std::int64_t civilSeconds(const LocalDate& date, const TimeOfDay& time)
{
    return daysFromCivil(date.year, date.month, date.day) * kDay + time.secondsOfDay();
}

std::optional<std::int64_t> MakeLocalTime(const LocalDate& date, const TimeOfDay& time)
{
    if (!isValidDate(date) || !isValidTime(time))
        return std::nullopt;
    // The wall reading taken as UTC, corrected by the offsets in force a day
    // before and a day after: one of them is right unless the reading falls
    // into a skipped hour.
    const std::int64_t wall = civilSeconds(date, time);
    const auto before = utcOffsetAt(wall - kDay);
    const auto after = utcOffsetAt(wall + kDay);
    if (!before || !after)
        return std::nullopt;
    const std::int64_t byBefore = wall - *before;
    const std::int64_t byAfter = wall - *after;
    const bool beforeFits = utcOffsetAt(byBefore) == before;
    const bool afterFits = utcOffsetAt(byAfter) == after;
    if (beforeFits && afterFits)
        return byBefore < byAfter ? byBefore : byAfter;
    if (afterFits)
        return byAfter;
    // Either the reading exists only under the earlier offset, or it was
    // skipped: read with the earlier offset it lands as far past the skip's
    // start as it was meant to be.
    return byBefore;
}

std::optional<std::int64_t> MakeLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    return MakeLocalTime(LocalDate{year, month, day}, TimeOfDay{hour, minute, second});
}

LocalDateTime localBreakdown(std::int64_t instant)
{
    const auto t = static_cast<std::time_t>(instant);
    std::tm tm{};
    LocalDateTime out;
    if (!::localtime_r(&t, &tm))
        return out;
    out.date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    out.time = {tm.tm_hour, tm.tm_min, tm.tm_sec};
    out.weekday = tm.tm_wday;
    return out;
}

std::int64_t wallSeconds(const util::Clock& clock)
{
    return std::chrono::floor<std::chrono::seconds>(clock.wallNow().time_since_epoch()).count();
}

util::Clock::WallTime wallTimeOf(std::int64_t instant)
{
    return util::Clock::WallTime{std::chrono::seconds{instant}};
}

} // namespace omnar::plans
