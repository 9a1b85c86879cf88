#pragma once

#include "core/ctl/CtlIo.h"
#include "core/plans/AddPlanForm.h"
#include "core/plans/PlanItem.h"
#include "core/plans/PlanRunner.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace omnar::ctl {

// Command-line words for the plan lists and their fields.
std::optional<plans::PlanKind> parsePlanKind(std::string_view word); // daily|day, weekly|week, monthly|month, once
std::string_view planKindWord(plans::PlanKind kind);                 // "daily", "weekly", "monthly", "once"
// "day,week" ...; nothing for an empty list or an unknown kind.
std::optional<plans::PlanKindSelection> parsePlanKinds(std::string_view list);
// 08:30:00 or 8:30 (seconds 0).
std::optional<plans::TimeOfDay> parseTimeWord(std::string_view word);
// 0..6 (0 Sunday), Sun..Sat, Sunday..Saturday, or a label of the editor (3Wed).
std::optional<int> parseWeekdayWord(std::string_view word);
// 2025-04-04 or 2025-4-4.
std::optional<plans::LocalDate> parseDateWord(std::string_view word);

// A plan's source as the plan editor offers it: V1 V2 VGA HDMI DVI EXT., and
// YPbPr for the V2 input in YPbPr mode (any case, EXT without its dot).
// VGA2 and DP have no radio in the editor; `why` says so.
std::optional<std::uint8_t> parsePlanSource(std::string_view word, std::string& why);

// What `plans add KIND [DAY] TIME SOURCE` asks for, as the plan dialog would hand it over.
struct AddRequest {
    plans::PlanKind kind = plans::PlanKind::Day;
    plans::AddPlanInput input;
};
std::optional<AddRequest> parseAddRequest(const std::vector<std::string>& words, std::string& why);

// The plan commands on the profile file at `path`. They read and write it
// as the plan editor does (its page model: the list ordered, TimeN entries
// renumbered, the count beside them), so the panel reads the result. A
// refused or failed command leaves the file as it was. Each returns the exit
// code; output goes to io.out, the one line of a failure to io.err.
int plansList(const std::string& path, std::optional<plans::PlanKind> kind, bool json, const CtlIo& io);
int plansAdd(const std::string& path, const AddRequest& request, const CtlIo& io);
int plansDelete(const std::string& path, plans::PlanKind kind, int entry, const CtlIo& io);
int plansToday(const std::string& path, const plans::PlanKindSelection& kinds, bool json, const CtlIo& io);

// One plan as `plans list` shows it: "weekly Time3 Wed 08:30:00 HDMI".
std::string planLine(plans::PlanKind kind, const plans::PlanItem& plan);

} // namespace omnar::ctl
