#pragma once

#include "core/plans/PlanItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The plan sections of the profile file and the texts that show plans.
namespace omnar::plans {

inline constexpr std::string_view kPlanCountSection = "PLANCOUNT";

std::string_view sectionName(PlanKind kind);  // "DAYTIME", "WEEKTIME", "MONTHTIME", "ONCETIME"
std::string_view countKey(PlanKind kind);     // "daytimecount", ...
// "Time%d".
std::string entryKey(std::int32_t index);
// The N of a "TimeN" key (any case, no leading zeros, as the file's readers
// match it), or nothing.
std::optional<std::int32_t> entryIndex(std::string_view key);

// Trims blanks at both ends and splits at every ','. The empty text gives no
// field; "a," gives "a" and "".
std::vector<std::string> SplitFields(std::string_view text);

// Read up to three numbers separated by ':' (time) or '-' (date), blanks
// before each skipped. Outputs of parts that are missing or not numbers stay
// as they were; the result is how many were read.
int ParseTime(std::string_view text, int& hour, int& minute, int& second);
int ParseDate(std::string_view text, int& year, int& month, int& day);

// "V1", "V2", "VGA", "HDMI", "DVI", "EXT."; the empty text for every other code.
std::string SourceName(int code);
// The code of one of those names (exact case), else 255.
std::uint8_t SourceCodeOf(std::string_view name);

// "0Sun" .. "6Sat" or "0星期日" .. "6星期六"; the empty text outside 0..6.
std::string WeekdayLabel(int number, bool chinese);
// The number of a label of either language, else 255.
std::uint8_t WeekdayNumber(std::string_view label);

// The day of a day-of-month text ("05" and "5" are 5), or nothing unless 1..31.
std::optional<int> monthDayNumber(std::string_view text);

// "%2d:%2d:%2d" and "%d-%d-%d".
std::string formatTime(const TimeOfDay& time);
std::string formatDate(const LocalDate& date);

// The entry value of a plan: "time,source", "weekday,time,source", ...
std::string planValue(PlanKind kind, const PlanItem& plan);

struct ParsedEntry {
    std::optional<PlanItem> plan; // a usable plan (key 0)
    std::string problem;          // why it is not usable; empty for an empty entry
};
// Reads one entry value. Every field is checked, so what cannot be a plan
// (missing fields, 25:00:00, 2018-2-30, weekday 9, source 12) is refused
// instead of turning into a plan nobody made.
ParsedEntry parsePlanValue(PlanKind kind, std::string_view value);

} // namespace omnar::plans
