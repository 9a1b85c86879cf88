#include "core/plans/CInfoPlan.h"

#include "core/link/Sources.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"
#include "core/util/Console.h"

#include <algorithm>
#include <string>

namespace omnar::plans {

std::vector<std::int32_t> presentEntryIndexes(const settings::ProfileFile::Editor& e, std::string_view section,
                                              std::int32_t count)
{
    std::vector<std::int32_t> indexes;
    for (const auto& key : e.sectionKeys(section)) {
        const auto index = entryIndex(key);
        if (index && *index < count)
            indexes.push_back(*index);
    }
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    return indexes;
}

CInfoPlan::CInfoPlan(settings::ProfileFile& file)
    : m_file(file)
{
}

CInfoPlan::~CInfoPlan() = default;

void CInfoPlan::LoadPlanCounts()
{
    m_file.read([&](const settings::ProfileFile::Editor& e) {
        for (PlanKind kind : kPlanKinds)
            m_counts[slot(kind)] = std::max(0, e.getInt(kPlanCountSection, countKey(kind), 0));
    });
}

void CInfoPlan::LoadPlans()
{
    std::string report;
    m_file.read([&](const settings::ProfileFile::Editor& e) {
        for (PlanKind kind : kPlanKinds) {
            const auto section = sectionName(kind);
            const std::int32_t count = m_counts[slot(kind)];
            const auto indexes = presentEntryIndexes(e, section, count);

            auto& unusable = m_unusable[slot(kind)];
            unusable.clear();
            for (const std::int32_t index : indexes) {
                const std::string value = e.getString(section, entryKey(index), "00");
                auto parsed = parsePlanValue(kind, value);
                if (parsed.plan) {
                    parsed.plan->key = index;
                    m_plans[slot(kind)].emplace(index, *parsed.plan);
                } else if (!parsed.problem.empty()) {
                    unusable.push_back({index, value, parsed.problem,
                                        e.rawValue(section, entryKey(index)).value_or(value)});
                    report += m_file.path() + ": [" + std::string(section) + "] " + entryKey(index) + "="
                        + value + " is not a plan (" + parsed.problem + "); it is left as it is\n";
                }
            }
        }
    });
    if (!report.empty())
        util::consolePrint(report);
}

void CInfoPlan::ClearPlans()
{
    for (auto& map : m_plans)
        map.clear();
    m_todayPlans.clear();
    for (auto& list : m_unusable)
        list.clear();
}

void CInfoPlan::ReloadFromFile()
{
    LoadPlanCounts();
    ClearPlans();
    LoadPlans();
}

void CInfoPlan::BuildTodayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr)
{
    appendDayPlans(kind, now, v2IsYPbPr, false);
}

void CInfoPlan::BuildWholeDayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr)
{
    appendDayPlans(kind, now, v2IsYPbPr, true);
}

void CInfoPlan::appendDayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr, bool wholeDay)
{
    const auto today = localBreakdown(now);
    std::int32_t nextKey = m_todayPlans.empty() ? 0 : m_todayPlans.rbegin()->first + 1;
    const std::string weekdayText = std::to_string(today.weekday);

    for (const auto& [key, plan] : m_plans[slot(kind)]) {
        bool belongs = false;
        switch (kind) {
        case PlanKind::Day:
            belongs = plan.source != (v2IsYPbPr ? link::kSourceV2 : link::kSourceYPbPr);
            break;
        case PlanKind::Week:
            belongs = plan.weekday == weekdayText;
            break;
        case PlanKind::Month:
            belongs = monthDayNumber(plan.monthDay) == today.date.day;
            break;
        case PlanKind::Once:
            belongs = plan.date == today.date;
            break;
        }
        if (!belongs)
            continue;
        const auto when = MakeLocalTime(today.date, plan.time);
        if (!when || (!wholeDay && *when <= now))
            continue;
        PlanItem entry = plan;
        entry.key = nextKey;
        entry.date = today.date;
        m_todayPlans.emplace(nextKey, entry);
        ++nextKey;
    }
}

bool CInfoPlan::WritePlanEntry(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value)
{
    if (!key)
        return m_file.deleteSection(section);
    if (!value)
        return m_file.deleteKey(section, *key);
    return m_file.writeString(section, *key, *value);
}

std::int32_t CInfoPlan::count(PlanKind kind) const
{
    return m_counts[slot(kind)];
}

void CInfoPlan::setCount(PlanKind kind, std::int32_t count)
{
    m_counts[slot(kind)] = std::max<std::int32_t>(0, count);
}

PlanMap& CInfoPlan::plans(PlanKind kind)
{
    return m_plans[slot(kind)];
}

const PlanMap& CInfoPlan::plans(PlanKind kind) const
{
    return m_plans[slot(kind)];
}

const std::vector<UnusableEntry>& CInfoPlan::unusableEntries(PlanKind kind) const
{
    return m_unusable[slot(kind)];
}

} // namespace omnar::plans
