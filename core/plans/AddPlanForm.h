#pragma once

#include "core/plans/PlanItem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::plans {

// What the plan dialog hands back on OK: its pickers, lists and source.
struct AddPlanInput {
    LocalDate date;           // date picker
    TimeOfDay time;           // time picker
    std::string weekdayLabel; // weekday list, a label of either language
    std::string monthDay;     // day-of-month list, "01" .. "31"
    std::uint8_t source = 0;
};

// The plan that a dialog result makes for a list, or nothing when the
// result cannot be a plan of that list (no such weekday, day, date or time).
std::optional<PlanItem> PlanFromDialog(PlanKind kind, const AddPlanInput& input);

// The decisions of the plan dialog (CAddPlan) that do not draw: which
// fields are enabled, what the lists hold, what is preset, which source
// each radio button stands for.
class AddPlanForm {
public:
    // Source radio buttons: control id = kFirstSourceRadio + source code (V1 .. EXT.).
    static constexpr int kFirstSourceRadio = 1157;
    static constexpr int kLastSourceRadio = 1164;
    // VGA2 and DP have radios, but they are hidden.
    static constexpr int kHiddenRadios[] = {1160, 1163};

    // `now` presets the pickers and lists; `modify` is the plan being
    // changed, as its row shows it.
    AddPlanForm(PlanKind kind, std::int64_t now, bool chinese, bool v2IsYPbPr,
                const std::optional<AddPlanInput>& modify = std::nullopt);

    PlanKind kind() const { return m_kind; }
    bool modifying() const { return m_modifying; }
    // The time picker is always enabled.
    bool dateEnabled() const { return m_kind == PlanKind::Once; }
    bool weekdayEnabled() const { return m_kind == PlanKind::Week; }
    bool monthDayEnabled() const { return m_kind == PlanKind::Month; }

    const std::vector<std::string>& weekdayLabels() const { return m_weekdayLabels; }
    const std::vector<std::string>& monthDays() const { return m_monthDays; }
    // Caption of the V2 radio: "YPbPr" while the V2 input runs as YPbPr.
    std::string_view v2Caption() const { return m_v2IsYPbPr ? "YPbPr" : "V2"; }
    // The radio that starts checked; none for a source without a radio.
    std::optional<int> checkedRadio() const { return m_checkedRadio; }

    // A click on a source radio; V2 stands for YPbPr (8) while the input runs so.
    void clickSourceRadio(int radioId);

    // The values shown; the dialog writes its pickers and lists back here on OK.
    AddPlanInput& values() { return m_values; }
    const AddPlanInput& values() const { return m_values; }

private:
    PlanKind m_kind;
    bool m_modifying;
    bool m_v2IsYPbPr;
    std::vector<std::string> m_weekdayLabels;
    std::vector<std::string> m_monthDays;
    std::optional<int> m_checkedRadio;
    AddPlanInput m_values;
};

} // namespace omnar::plans
