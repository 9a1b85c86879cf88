#include "core/ctl/PlanCommands.h"

#include "core/ctl/CtlOptions.h"
#include "core/ctl/StatusReport.h"
#include "core/link/Sources.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanFormat.h"
#include "core/plans/PlanPageModel.h"
#include "core/plans/PlanSchedule.h"
#include "core/plans/PlanTexts.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace omnar::ctl {

using plans::PlanKind;

namespace {

constexpr std::string_view kWeekdayNames[] = {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY",
                                              "THURSDAY", "FRIDAY", "SATURDAY"};

// The fields of times and dates: four digits at most.
std::optional<int> digits(std::string_view text, int lo, int hi)
{
    return decimal(text, lo, hi, 4);
}

std::vector<std::string_view> split(std::string_view text, char sep)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = text.find(sep);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        text.remove_prefix(at + 1);
    }
}

int fail(const CtlIo& io, int code, const std::string& message)
{
    io.err("omnar-ctl: " + message + "\n");
    return code;
}

std::string sourceWord(int code)
{
    if (const auto info = link::sourceInfo(code))
        return std::string(info->name);
    return "code " + std::to_string(code);
}

std::string hms(const plans::TimeOfDay& t)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

std::string isoDate(const plans::LocalDate& d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}

// The field that tells the day of a weekly, monthly or one-time plan.
std::string dayField(PlanKind kind, const plans::PlanItem& plan)
{
    switch (kind) {
    case PlanKind::Day: return {};
    case PlanKind::Week: {
        const std::string label = plans::WeekdayLabel(plan.weekday.empty() ? -1 : plan.weekday[0] - '0', false);
        return label.empty() ? plan.weekday : label.substr(1);
    }
    case PlanKind::Month: return plan.monthDay;
    case PlanKind::Once: return isoDate(plan.date);
    }
    return {};
}

std::string planJson(PlanKind kind, const plans::PlanItem& plan)
{
    std::string out = "{\"kind\":" + jsonString(planKindWord(kind)) + ",\"entry\":"
        + jsonString(plans::entryKey(plan.key)) + ",\"index\":" + std::to_string(plan.key);
    if (kind != PlanKind::Day) {
        const char* name = kind == PlanKind::Week ? "weekday" : kind == PlanKind::Month ? "day" : "date";
        out += ",\"" + std::string(name) + "\":" + jsonString(dayField(kind, plan));
    }
    return out + ",\"time\":" + jsonString(hms(plan.time)) + ",\"source\":" + jsonString(sourceWord(plan.source))
        + ",\"code\":" + std::to_string(plan.source) + "}";
}

// The list of a kind as the editor shows it: ordered, keys renumbered.
plans::PlanMap orderedList(const plans::CInfoPlan& store, PlanKind kind)
{
    plans::PlanMap list = store.plans(kind);
    plans::PlanOrder(list, kind);
    return list;
}

// Reads the store; false (the failure told) when the file cannot be read.
bool load(plans::CInfoPlan& store, const CtlIo& io, int& code)
{
    std::string why;
    if (!store.file().read([](const settings::ProfileFile::Editor&) {}, &why)) {
        code = fail(io, kExitFile, "cannot read " + store.file().path() + ": " + why);
        return false;
    }
    store.ReloadFromFile();
    return true;
}

bool anyAboutFile(const std::vector<plans::PlanMessage>& messages)
{
    return std::any_of(messages.begin(), messages.end(), [](const auto& m) { return m.aboutFile; });
}

int writeFailure(const CtlIo& io, const settings::ProfileFile& file)
{
    const std::string why = file.lastError();
    return fail(io, kExitFile, "cannot write " + file.path() + (why.empty() ? std::string() : ": " + why));
}

} // namespace

std::optional<PlanKind> parsePlanKind(std::string_view word)
{
    const std::string w = upper(word);
    if (w == "DAILY" || w == "DAY")
        return PlanKind::Day;
    if (w == "WEEKLY" || w == "WEEK")
        return PlanKind::Week;
    if (w == "MONTHLY" || w == "MONTH")
        return PlanKind::Month;
    if (w == "ONCE" || w == "ONE-TIME")
        return PlanKind::Once;
    return std::nullopt;
}

std::string_view planKindWord(PlanKind kind)
{
    switch (kind) {
    case PlanKind::Day: return "daily";
    case PlanKind::Week: return "weekly";
    case PlanKind::Month: return "monthly";
    case PlanKind::Once: return "once";
    }
    return {};
}

std::optional<plans::PlanKindSelection> parsePlanKinds(std::string_view list)
{
    plans::PlanKindSelection s{false, false, false, false};
    for (const auto word : split(list, ',')) {
        const auto kind = parsePlanKind(word);
        if (!kind)
            return std::nullopt;
        switch (*kind) {
        case PlanKind::Day: s.day = true; break;
        case PlanKind::Week: s.week = true; break;
        case PlanKind::Month: s.month = true; break;
        case PlanKind::Once: s.once = true; break;
        }
    }
    return s;
}

std::optional<plans::TimeOfDay> parseTimeWord(std::string_view word)
{
    const auto parts = split(word, ':');
    if (parts.size() < 2 || parts.size() > 3 || parts[0].size() > 2)
        return std::nullopt;
    for (std::size_t i = 1; i < parts.size(); ++i)
        if (parts[i].size() != 2)
            return std::nullopt;
    const auto h = digits(parts[0], 0, 23);
    const auto m = digits(parts[1], 0, 59);
    const auto s = parts.size() == 3 ? digits(parts[2], 0, 59) : std::optional<int>(0);
    if (!h || !m || !s)
        return std::nullopt;
    return plans::TimeOfDay{h.value(), m.value(), s.value()};
}

std::optional<int> parseWeekdayWord(std::string_view word)
{
    if (const auto n = digits(word, 0, 6); n && word.size() == 1)
        return n;
    if (const int n = plans::WeekdayNumber(word); n <= 6)
        return n;
    const std::string w = upper(word);
    for (int i = 0; i < 7; ++i) {
        const auto full = kWeekdayNames[i];
        if (w == full || (w.size() == 3 && full.starts_with(w)))
            return i;
    }
    return std::nullopt;
}

std::optional<plans::LocalDate> parseDateWord(std::string_view word)
{
    const auto parts = split(word, '-');
    if (parts.size() != 3)
        return std::nullopt;
    const auto y = digits(parts[0], 1900, 9999);
    const auto m = parts[1].size() <= 2 ? digits(parts[1], 1, 12) : std::nullopt;
    const auto d = parts[2].size() <= 2 ? digits(parts[2], 1, 31) : std::nullopt;
    if (!y || !m || !d)
        return std::nullopt;
    const plans::LocalDate date{*y, *m, *d};
    if (!plans::isValidDate(date))
        return std::nullopt;
    return date;
}

std::optional<std::uint8_t> parsePlanSource(std::string_view word, std::string& why)
{
    std::string w = upper(word);
    if (w == "EXT")
        w = "EXT.";
    if (w == "YPBPR")
        return static_cast<std::uint8_t>(link::kSourceYPbPr);
    for (const auto& s : link::kSources) {
        if (upper(s.name) != w)
            continue;
        if (!plans::SourceName(s.code).empty())
            return static_cast<std::uint8_t>(s.code);
        why = std::string(s.name) + " is no plan source: the plan editor offers V1, V2, VGA, HDMI, DVI, EXT. and "
            + "YPbPr";
        return std::nullopt;
    }
    why = "unknown source \"" + std::string(word) + "\" (V1, V2, VGA, HDMI, DVI, EXT., YPbPr)";
    return std::nullopt;
}

std::optional<AddRequest> parseAddRequest(const std::vector<std::string>& words, std::string& why)
{
    if (words.empty()) {
        why = "plans add needs KIND [DAY] TIME SOURCE";
        return std::nullopt;
    }
    const auto kind = parsePlanKind(words[0]);
    if (!kind) {
        why = "unknown plan kind \"" + words[0] + "\" (daily, weekly, monthly, once)";
        return std::nullopt;
    }
    const std::size_t needed = *kind == PlanKind::Day ? 3 : 4;
    if (words.size() != needed) {
        why = *kind == PlanKind::Day ? "plans add daily needs TIME SOURCE"
                                     : "plans add " + std::string(planKindWord(*kind)) + " needs "
                + (*kind == PlanKind::Week ? "WEEKDAY" : *kind == PlanKind::Month ? "DAY" : "DATE") + " TIME SOURCE";
        return std::nullopt;
    }
    AddRequest r;
    r.kind = *kind;
    const std::string& timeWord = words[needed - 2];
    const auto time = parseTimeWord(timeWord);
    if (!time) {
        why = "not a time of day: \"" + timeWord + "\" (00:00:00 .. 23:59:59)";
        return std::nullopt;
    }
    r.input.time = *time;
    const auto source = parsePlanSource(words[needed - 1], why);
    if (!source)
        return std::nullopt;
    r.input.source = *source;
    switch (*kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week: {
        const auto wd = parseWeekdayWord(words[1]);
        if (!wd) {
            why = "not a weekday: \"" + words[1] + "\" (0..6 with 0 Sunday, or Sun..Sat)";
            return std::nullopt;
        }
        r.input.weekdayLabel = plans::WeekdayLabel(*wd, false);
        break;
    }
    case PlanKind::Month: {
        const auto day = words[1].size() <= 2 ? digits(words[1], 1, 31) : std::nullopt;
        if (!day) {
            why = "not a day of the month: \"" + words[1] + "\" (1..31)";
            return std::nullopt;
        }
        char text[4];
        std::snprintf(text, sizeof text, "%02d", *day);
        r.input.monthDay = text;
        break;
    }
    case PlanKind::Once: {
        const auto date = parseDateWord(words[1]);
        if (!date) {
            why = "not a date: \"" + words[1] + "\" (as 2025-04-04)";
            return std::nullopt;
        }
        r.input.date = *date;
        break;
    }
    }
    return r;
}

std::string planLine(PlanKind kind, const plans::PlanItem& plan)
{
    std::string line = std::string(planKindWord(kind)) + " " + plans::entryKey(plan.key) + " ";
    if (kind != PlanKind::Day)
        line += dayField(kind, plan) + " ";
    return line + hms(plan.time) + " " + sourceWord(plan.source);
}

int plansList(const std::string& path, std::optional<PlanKind> kind, bool json, const CtlIo& io)
{
    settings::ProfileFile file(path);
    plans::CInfoPlan store(file);
    int code = kExitDone;
    if (!load(store, io, code))
        return code;
    std::string out;
    for (const PlanKind k : plans::kPlanKinds) {
        if (kind && *kind != k)
            continue;
        for (const auto& [key, plan] : orderedList(store, k))
            out += json ? (out.empty() ? "" : ",") + planJson(k, plan) : planLine(k, plan) + "\n";
    }
    io.out(json ? "[" + out + "]\n" : out);
    return kExitDone;
}

int plansAdd(const std::string& path, const AddRequest& request, const CtlIo& io)
{
    settings::ProfileFile file(path);
    // The editor's checks first, on a copy of the lists, so a refused plan
    // writes nothing (the editor would still rewrite the section).
    {
        plans::CInfoPlan scratch(file);
        int code = kExitDone;
        if (!load(scratch, io, code))
            return code;
        const auto plan = plans::PlanFromDialog(request.kind, request.input);
        if (!plan)
            return fail(io, kExitUsage, "not a plan of the " + std::string(planKindWord(request.kind)) + " list");
        if (static_cast<int>(scratch.plans(request.kind).size()) >= plans::PlanPageModel::kRowLimit) {
            char text[96];
            std::snprintf(text, sizeof text, std::string(plans::kRowLimitFormat).c_str(),
                          plans::PlanPageModel::kRowLimit);
            return fail(io, kExitRefused, text);
        }
        if (!plans::CheckPlanInterval(scratch, request.kind, *plan))
            return fail(io, kExitRefused, std::string(plans::kIntervalRefused.en));
    }
    plans::CInfoPlan store(file);
    store.ReloadFromFile();
    plans::PlanPageModel page(request.kind, store, false);
    if (anyAboutFile(page.open()))
        return writeFailure(io, file);
    const auto before = page.rows().size();
    const auto messages = page.add(request.input);
    if (anyAboutFile(messages))
        return writeFailure(io, file);
    if (page.rows().size() != before + 1) // another program added a plan close to it meanwhile
        return fail(io, kExitRefused, std::string(plans::kIntervalRefused.en));
    // The new plan's row, for the line that names its entry.
    for (const auto& row : page.rows()) {
        const auto& p = row.plan;
        if (p.time == request.input.time && p.source == request.input.source
            && (request.kind != PlanKind::Week
                || (!p.weekday.empty() && plans::WeekdayLabel(p.weekday[0] - '0', false) == request.input.weekdayLabel))
            && (request.kind != PlanKind::Month || p.monthDay == request.input.monthDay)
            && (request.kind != PlanKind::Once || p.date == request.input.date)) {
            io.out("added " + planLine(request.kind, p) + "\n");
            break;
        }
    }
    return kExitDone;
}

int plansDelete(const std::string& path, PlanKind kind, int entry, const CtlIo& io)
{
    settings::ProfileFile file(path);
    std::string line;
    {
        plans::CInfoPlan scratch(file);
        int code = kExitDone;
        if (!load(scratch, io, code))
            return code;
        const auto list = orderedList(scratch, kind);
        const auto it = list.find(entry);
        if (it == list.end())
            return fail(io, kExitRefused, "there is no " + std::string(planKindWord(kind)) + " plan "
                                              + plans::entryKey(entry) + " (the list has "
                                              + std::to_string(list.size()) + ")");
        line = planLine(kind, it->second);
    }
    plans::CInfoPlan store(file);
    store.ReloadFromFile();
    plans::PlanPageModel page(kind, store, false);
    if (anyAboutFile(page.open()))
        return writeFailure(io, file);
    if (entry >= static_cast<int>(page.rows().size()))
        return fail(io, kExitRefused, "the " + std::string(planKindWord(kind)) + " list changed meanwhile");
    if (!page.beginDelete({entry}).ask || anyAboutFile(page.finishDelete({entry}, true)))
        return writeFailure(io, file);
    io.out("deleted " + line + "\n");
    return kExitDone;
}

int plansToday(const std::string& path, const plans::PlanKindSelection& kinds, bool json, const CtlIo& io)
{
    settings::ProfileFile file(path);
    plans::CInfoPlan store(file);
    int code = kExitDone;
    if (!load(store, io, code))
        return code;
    const std::int64_t now = plans::wallSeconds(*io.clock);
    const auto today = plans::localBreakdown(now);
    struct Entry {
        plans::TimeOfDay time;
        PlanKind kind;
        plans::PlanItem plan;
    };
    std::vector<Entry> entries;
    for (const PlanKind kind : plans::kPlanKinds) {
        if (!kinds.has(kind))
            continue;
        for (const auto& [key, plan] : orderedList(store, kind)) {
            const bool due = kind == PlanKind::Day
                || (kind == PlanKind::Week && plan.weekday == std::to_string(today.weekday))
                || (kind == PlanKind::Month && plans::monthDayNumber(plan.monthDay) == today.date.day)
                || (kind == PlanKind::Once && plan.date == today.date);
            if (due)
                entries.push_back({plan.time, kind, plan});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.time < b.time; });
    std::string out;
    for (const auto& e : entries) {
        const bool past = e.time <= today.time;
        // Daily plans follow the V2 input's mode, which only the device knows.
        std::string note = e.kind == PlanKind::Day && e.plan.source == link::kSourceV2 ? "while V2 is not YPbPr"
            : e.kind == PlanKind::Day && e.plan.source == link::kSourceYPbPr         ? "while V2 is YPbPr"
                                                                                     : "";
        if (json) {
            std::string item = planJson(e.kind, e.plan);
            item.pop_back();
            item += std::string(",\"past\":") + (past ? "true" : "false");
            if (!note.empty())
                item += ",\"only\":" + jsonString(note);
            out += (out.empty() ? "" : ",") + item + "}";
        } else {
            out += hms(e.time) + " " + sourceWord(e.plan.source) + " " + std::string(planKindWord(e.kind)) + " "
                + plans::entryKey(e.plan.key) + (past ? " (past)" : "") + (note.empty() ? "" : " (" + note + ")")
                + "\n";
        }
    }
    io.out(json ? "[" + out + "]\n" : out);
    return kExitDone;
}

} // namespace omnar::ctl
