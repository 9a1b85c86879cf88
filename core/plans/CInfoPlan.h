#pragma once

#include "core/plans/PlanItem.h"
#include "core/settings/ProfileFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::plans {

// An entry of a plan section that could not be read as a plan. It is kept so
// that saving the list writes it back instead of losing what the operator
// typed into the file.
struct UnusableEntry {
    std::int32_t index = 0;
    std::string value;  // as read: trimmed, unquoted
    std::string problem;
    std::string stored; // exactly as the file holds it, which is what is written back
};

// The plan store: the four plan lists, their counts as stored under
// PLANCOUNT, and the list of plans still due today, over the profile file.
// Not thread-safe: one thread at a time (the window thread, or a runner that
// owns its store).
// The N of every "TimeN" key of `section` below `count`, ascending. Only the
// entries present are visited, so a count of a billion costs no more than the
// entries the file really has.
std::vector<std::int32_t> presentEntryIndexes(const settings::ProfileFile::Editor& e, std::string_view section,
                                              std::int32_t count);

class CInfoPlan {
public:
    explicit CInfoPlan(settings::ProfileFile& file);
    virtual ~CInfoPlan();
    CInfoPlan(const CInfoPlan&) = delete;
    CInfoPlan& operator=(const CInfoPlan&) = delete;

    settings::ProfileFile& file() const { return m_file; }

    // Reads the four counts (absent or negative: 0).
    void LoadPlanCounts();
    // Adds the usable entries "Time0" .. "Time<count-1>" of each section to
    // its list, keyed by their number; a key already present is kept as it
    // is. Unusable entries are reported on the console and remembered.
    void LoadPlans();
    // Empties the four lists, today's list and the remembered unusable entries.
    void ClearPlans();
    // LoadPlanCounts, ClearPlans, LoadPlans: the lists exactly as the file has them.
    void ReloadFromFile();

    // Appends the plans of `kind` still due today (strictly after `now`) to
    // todayPlans, each with today's date. Daily plans are filtered by the
    // V2 input's mode: V2 (1) plans are left out while it runs as YPbPr,
    // YPbPr (8) plans while it does not.
    void BuildTodayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr);
    // The same for the whole day of `now`, from 00:00:00 on, plans whose
    // moment has passed included: at the change of day the first seconds'
    // plans may be due before the timer gets to read the file.
    void BuildWholeDayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr);

    // Writes `value` under `key`; no value deletes the key, no key deletes
    // the whole section. Returns whether the file was written.
    bool WritePlanEntry(std::string_view section, std::optional<std::string_view> key,
                        std::optional<std::string_view> value);

    std::int32_t count(PlanKind kind) const;
    void setCount(PlanKind kind, std::int32_t count);
    std::int32_t dayCount() const { return count(PlanKind::Day); }
    std::int32_t weekCount() const { return count(PlanKind::Week); }
    std::int32_t monthCount() const { return count(PlanKind::Month); }
    std::int32_t onceCount() const { return count(PlanKind::Once); }

    PlanMap& plans(PlanKind kind);
    const PlanMap& plans(PlanKind kind) const;
    PlanMap& dayPlans() { return plans(PlanKind::Day); }
    PlanMap& weekPlans() { return plans(PlanKind::Week); }
    PlanMap& monthPlans() { return plans(PlanKind::Month); }
    PlanMap& oncePlans() { return plans(PlanKind::Once); }
    const PlanMap& dayPlans() const { return plans(PlanKind::Day); }
    const PlanMap& weekPlans() const { return plans(PlanKind::Week); }
    const PlanMap& monthPlans() const { return plans(PlanKind::Month); }
    const PlanMap& oncePlans() const { return plans(PlanKind::Once); }
    PlanMap& todayPlans() { return m_todayPlans; }
    const PlanMap& todayPlans() const { return m_todayPlans; }

    // Entries of the last LoadPlans that were present but unusable, ascending.
    const std::vector<UnusableEntry>& unusableEntries(PlanKind kind) const;

private:
    void appendDayPlans(PlanKind kind, std::int64_t now, bool v2IsYPbPr, bool wholeDay);
    static std::size_t slot(PlanKind kind) { return static_cast<std::size_t>(kind); }

    settings::ProfileFile& m_file;
    std::array<std::int32_t, 4> m_counts{};
    std::array<PlanMap, 4> m_plans;
    PlanMap m_todayPlans;
    std::array<std::vector<UnusableEntry>, 4> m_unusable;
};

} // namespace omnar::plans
