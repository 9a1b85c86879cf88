#include "core/plans/AddPlanForm.h"

#include "core/link/Sources.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"

#include <cstdio>

namespace omnar::plans {

std::optional<PlanItem> PlanFromDialog(PlanKind kind, const AddPlanInput& input)
{
    if (!isValidTime(input.time) || input.source >= link::kSourceCount)
        return std::nullopt;
    PlanItem plan;
    plan.time = input.time;
    plan.source = input.source;
    switch (kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week: {
        const int number = WeekdayNumber(input.weekdayLabel);
        if (number > 6)
            return std::nullopt;
        plan.weekday = std::to_string(number);
        break;
    }
    case PlanKind::Month:
        if (!monthDayNumber(input.monthDay))
            return std::nullopt;
        plan.monthDay = input.monthDay;
        break;
    case PlanKind::Once:
        if (!isValidDate(input.date))
            return std::nullopt;
        plan.date = input.date;
        break;
    }
    return plan;
}

AddPlanForm::AddPlanForm(PlanKind kind, std::int64_t now, bool chinese, bool v2IsYPbPr,
                         const std::optional<AddPlanInput>& modify)
    : m_kind(kind)
    , m_modifying(modify.has_value())
    , m_v2IsYPbPr(v2IsYPbPr)
    , m_checkedRadio(kFirstSourceRadio)
{
    for (int i = 0; i < 7; ++i)
        m_weekdayLabels.push_back(WeekdayLabel(i, chinese));
    for (int day = 1; day <= 31; ++day) {
        char text[4];
        std::snprintf(text, sizeof text, "%02d", day);
        m_monthDays.emplace_back(text);
    }

    const auto today = localBreakdown(now);
    m_values.date = today.date;
    m_values.time = today.time;
    m_values.weekdayLabel = m_weekdayLabels[static_cast<std::size_t>(today.weekday)];
    m_values.monthDay = m_monthDays[static_cast<std::size_t>(today.date.day >= 1 ? today.date.day - 1 : 0)];

    if (!modify)
        return;
    switch (kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week:
        m_values.weekdayLabel = modify->weekdayLabel;
        break;
    case PlanKind::Month:
        m_values.monthDay = modify->monthDay;
        break;
    case PlanKind::Once:
        m_values.date = modify->date;
        break;
    }
    m_values.time = modify->time;
    m_values.source = modify->source;
    const int code = modify->source == link::kSourceYPbPr ? static_cast<int>(link::kSourceV2) : modify->source;
    if (code <= kLastSourceRadio - kFirstSourceRadio)
        m_checkedRadio = kFirstSourceRadio + code;
    else
        m_checkedRadio.reset();
}

void AddPlanForm::clickSourceRadio(int radioId)
{
    if (radioId < kFirstSourceRadio || radioId > kLastSourceRadio)
        return;
    int code = radioId - kFirstSourceRadio;
    if (code == link::kSourceV2 && m_v2IsYPbPr)
        code = link::kSourceYPbPr;
    m_values.source = static_cast<std::uint8_t>(code);
    m_checkedRadio = radioId;
}

} // namespace omnar::plans
