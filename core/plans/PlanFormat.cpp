#include "core/plans/PlanFormat.h"

#include "core/link/Sources.h"
#include "core/plans/LocalTime.h"
#include "core/settings/ProfileFile.h"

#include <array>
#include <climits>
#include <cstdio>

namespace omnar::plans {

namespace {

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A part of a time or date: its leading number, saturated to int so a
// huge value stays out of range instead of wrapping into it.
std::optional<int> numberPart(std::string_view part)
{
    const auto n = settings::leadingInteger(part);
    if (!n)
        return std::nullopt;
    if (*n > INT_MAX)
        return INT_MAX;
    if (*n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(*n);
}

int parseThree(std::string_view text, char separator, int& a, int& b, int& c)
{
    int* outputs[] = {&a, &b, &c};
    int read = 0;
    for (int* out : outputs) {
        const auto end = text.find(separator);
        const auto n = numberPart(text.substr(0, end));
        if (!n)
            break;
        *out = *n;
        ++read;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return read;
}

struct Weekday {
    std::string_view en;
    std::string_view zh;
};
constexpr std::array<Weekday, 7> kWeekdays{{
    {"0Sun", "0星期日"},
    {"1Mon", "1星期一"},
    {"2Tue", "2星期二"},
    {"3Wed", "3星期三"},
    {"4Thu", "4星期四"},
    {"5Fri", "5星期五"},
    {"6Sat", "6星期六"},
}};

// Codes that have a name in plan lists and the timer panel; VGA2, DP and
// YPbPr are shown blank.
constexpr std::array<int, 6> kNamedSources{link::kSourceV1, link::kSourceV2, link::kSourceVga,
                                           link::kSourceHdmi, link::kSourceDvi, link::kSourceExt};

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::optional<TimeOfDay> parseTimeField(std::string_view text)
{
    TimeOfDay t;
    if (ParseTime(text, t.hour, t.minute, t.second) != 3 || !isValidTime(t))
        return std::nullopt;
    return t;
}

} // namespace

std::string_view sectionName(PlanKind kind)
{
    switch (kind) {
    case PlanKind::Day: return "DAYTIME";
    case PlanKind::Week: return "WEEKTIME";
    case PlanKind::Month: return "MONTHTIME";
    case PlanKind::Once: return "ONCETIME";
    }
    return {};
}

std::string_view countKey(PlanKind kind)
{
    switch (kind) {
    case PlanKind::Day: return "daytimecount";
    case PlanKind::Week: return "weektimecount";
    case PlanKind::Month: return "monthtimecount";
    case PlanKind::Once: return "oncetimecount";
    }
    return {};
}

std::string entryKey(std::int32_t index)
{
    return "Time" + std::to_string(index);
}

std::optional<std::int32_t> entryIndex(std::string_view key)
{
    key = trimBlanks(key);
    if (key.size() < 5)
        return std::nullopt;
    const auto prefix = key.substr(0, 4);
    static constexpr std::string_view kPrefix = "time";
    for (std::size_t i = 0; i < 4; ++i) {
        const char c = prefix[i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != kPrefix[i])
            return std::nullopt;
    }
    const auto digits = key.substr(4);
    if (!allDigits(digits) || (digits.size() > 1 && digits.front() == '0') || digits.size() > 9)
        return std::nullopt;
    return static_cast<std::int32_t>(std::stol(std::string(digits)));
}

std::vector<std::string> SplitFields(std::string_view text)
{
    text = trimBlanks(text);
    std::vector<std::string> fields;
    if (text.empty())
        return fields;
    for (;;) {
        const auto comma = text.find(',');
        fields.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return fields;
}

int ParseTime(std::string_view text, int& hour, int& minute, int& second)
{
    return parseThree(text, ':', hour, minute, second);
}

int ParseDate(std::string_view text, int& year, int& month, int& day)
{
    return parseThree(text, '-', year, month, day);
}

std::string SourceName(int code)
{
    for (int named : kNamedSources)
        if (named == code)
            return std::string(link::kSources[static_cast<std::size_t>(code)].name);
    return {};
}

std::uint8_t SourceCodeOf(std::string_view name)
{
    for (int named : kNamedSources)
        if (link::kSources[static_cast<std::size_t>(named)].name == name)
            return static_cast<std::uint8_t>(named);
    return 255;
}

std::string WeekdayLabel(int number, bool chinese)
{
    if (number < 0 || number > 6)
        return {};
    const auto& w = kWeekdays[static_cast<std::size_t>(number)];
    return std::string(chinese ? w.zh : w.en);
}

std::uint8_t WeekdayNumber(std::string_view label)
{
    for (std::size_t i = 0; i < kWeekdays.size(); ++i)
        if (kWeekdays[i].en == label || kWeekdays[i].zh == label)
            return static_cast<std::uint8_t>(i);
    return 255;
}

std::optional<int> monthDayNumber(std::string_view text)
{
    text = trimBlanks(text);
    if (!allDigits(text) || text.size() > 2)
        return std::nullopt;
    const auto day = numberPart(text);
    if (!day || *day < 1 || *day > 31)
        return std::nullopt;
    return day;
}

std::string formatTime(const TimeOfDay& time)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%2d:%2d:%2d", time.hour, time.minute, time.second);
    return buf;
}

std::string formatDate(const LocalDate& date)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d-%d-%d", date.year, date.month, date.day);
    return buf;
}

std::string planValue(PlanKind kind, const PlanItem& plan)
{
    const std::string tail = formatTime(plan.time) + "," + std::to_string(plan.source);
    switch (kind) {
    case PlanKind::Day: return tail;
    case PlanKind::Week: return plan.weekday + "," + tail;
    case PlanKind::Month: return plan.monthDay + "," + tail;
    case PlanKind::Once: return formatDate(plan.date) + "," + tail;
    }
    return tail;
}

ParsedEntry parsePlanValue(PlanKind kind, std::string_view value)
{
    ParsedEntry out;
    const auto fields = SplitFields(value);
    if (fields.empty())
        return out;
    const std::size_t needed = kind == PlanKind::Day ? 2 : 3;
    if (fields.size() < needed) {
        out.problem = "too few fields";
        return out;
    }
    const std::size_t timeField = needed - 2;
    PlanItem plan;

    const auto time = parseTimeField(fields[timeField]);
    if (!time) {
        out.problem = "not a time of day: \"" + fields[timeField] + "\"";
        return out;
    }
    plan.time = *time;

    const auto sourceText = trimBlanks(fields[timeField + 1]);
    const auto source = allDigits(sourceText) ? numberPart(sourceText) : std::nullopt;
    if (!source || *source < 0 || *source >= link::kSourceCount) {
        out.problem = "not a source code: \"" + fields[timeField + 1] + "\"";
        return out;
    }
    plan.source = static_cast<std::uint8_t>(*source);

    const auto first = std::string(trimBlanks(fields[0]));
    switch (kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week:
        if (first.size() != 1 || first[0] < '0' || first[0] > '6') {
            out.problem = "not a weekday: \"" + fields[0] + "\"";
            return out;
        }
        plan.weekday = first;
        break;
    case PlanKind::Month: {
        if (!monthDayNumber(first)) {
            out.problem = "not a day of the month: \"" + fields[0] + "\"";
            return out;
        }
        plan.monthDay = first;
        break;
    }
    case PlanKind::Once: {
        LocalDate date;
        if (ParseDate(fields[0], date.year, date.month, date.day) != 3 || !isValidDate(date)
            || !MakeLocalTime(date, TimeOfDay{})) {
            out.problem = "not a date: \"" + fields[0] + "\"";
            return out;
        }
        plan.date = date;
        break;
    }
    }
    out.plan = plan;
    return out;
}

} // namespace omnar::plans
