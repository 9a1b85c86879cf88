#include "core/plans/PlanPageModel.h"

#include "core/plans/PlanFormat.h"
#include "core/plans/PlanSchedule.h"
#include "core/settings/ProfileFile.h"

#include <algorithm>
#include <cstdio>

namespace omnar::plans {

namespace {

constexpr PlanText kName{"Name", "名称"};
constexpr PlanText kTime{"Time", "时间"};
constexpr PlanText kSignal{"Signal", "信号"};
constexpr PlanText kWDay{"WDay", "周日期"};
constexpr PlanText kDay{"Day", "月日期"};
constexpr PlanText kDate{"Date", "日期"};

// A message text with %1 and %2 filled in.
std::string fillIn(std::string_view format, std::string_view one, std::string_view two)
{
    std::string out(format);
    for (const auto& [mark, text] : {std::pair{std::string_view("%1"), one}, std::pair{std::string_view("%2"), two}})
        if (const auto at = out.find(mark); at != std::string::npos)
            out.replace(at, mark.size(), text);
    return out;
}

std::string sourceNameOf(std::string_view field)
{
    const auto code = settings::leadingInteger(field);
    return code ? SourceName(static_cast<int>(std::clamp<long long>(*code, -1, 256))) : std::string();
}

} // namespace

PlanPageModel::PlanPageModel(PlanKind kind, CInfoPlan& store, bool chinese)
    : m_kind(kind)
    , m_store(store)
    , m_chinese(chinese)
{
}

PlanText PlanPageModel::tabCaption(PlanKind kind)
{
    switch (kind) {
    case PlanKind::Day: return {"DayPlan", "日定时"};
    case PlanKind::Week: return {"WeekPlan", "周定时"};
    case PlanKind::Month: return {"MonthPlan", "月定时"};
    case PlanKind::Once: return {"One_time Plan", "一次定时"};
    }
    return {};
}

std::vector<PlanColumn> PlanPageModel::columns(PlanKind kind)
{
    switch (kind) {
    case PlanKind::Day: return {{kName, 1, 4}, {kTime, 1, 2}, {kSignal, 1, 4}};
    case PlanKind::Week: return {{kName, 1, 5}, {kWDay, 1, 5}, {kTime, 2, 5}, {kSignal, 1, 5}};
    case PlanKind::Month: return {{kName, 1, 5}, {kDay, 1, 5}, {kTime, 2, 5}, {kSignal, 1, 5}};
    case PlanKind::Once: return {{kName, 1, 6}, {kDate, 2, 6}, {kTime, 2, 6}, {kSignal, 1, 6}};
    }
    return {};
}

std::vector<std::string> PlanPageModel::cellsFor(const PlanItem& plan) const
{
    std::vector<std::string> cells;
    switch (m_kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week:
        cells.push_back(WeekdayLabel(plan.weekday.empty() ? -1 : plan.weekday[0] - '0', m_chinese));
        break;
    case PlanKind::Month:
        cells.push_back(plan.monthDay);
        break;
    case PlanKind::Once:
        cells.push_back(formatDate(plan.date));
        break;
    }
    cells.push_back(formatTime(plan.time));
    cells.push_back(SourceName(plan.source));
    return cells;
}

PlanMessage PlanPageModel::selectMessage(bool forModify) const
{
    switch (m_kind) {
    case PlanKind::Day:
        return {std::string(kSelectAnItem), forModify ? "System information" : "System Information"};
    case PlanKind::Week:
        return {std::string(kSelectAnItem), "System information"};
    case PlanKind::Month:
    case PlanKind::Once:
        break;
    }
    return {std::string(kSelectAnItem), "System Information"};
}

PlanMessage PlanPageModel::intervalMessage() const
{
    return {std::string(kIntervalRefused.in(m_chinese)), std::string(kIntervalCaption.in(m_chinese))};
}

std::vector<int> PlanPageModel::validSelection(const std::vector<int>& selectedRows) const
{
    std::vector<int> rows;
    for (int row : selectedRows)
        if (row >= 0 && row < static_cast<int>(m_rows.size()))
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<PlanMessage> PlanPageModel::withFileMessage(std::vector<PlanMessage> messages)
{
    const std::string& path = m_store.file().path();
    if (m_readProblem)
        messages.push_back({fillIn(kPlansNotReadFormat.in(m_chinese), path, *m_readProblem),
                            std::string(kPlanFileCaption.in(m_chinese)), true});
    else if (m_saveProblem)
        messages.push_back({fillIn(kPlansNotSavedFormat.in(m_chinese), path, *m_saveProblem),
                            std::string(kPlanFileCaption.in(m_chinese)), true});
    return messages;
}

std::vector<PlanMessage> PlanPageModel::open()
{
    auto messages = FillListFromFile();
    ApplyPlanOrder();
    messages = withFileMessage(std::move(messages));
    m_readProblem.reset(); // told once; later actions tell whether they could save
    return messages;
}

std::vector<PlanMessage> PlanPageModel::FillListFromFile()
{
    m_rows.clear();
    bool overLimit = false;
    const auto section = sectionName(m_kind);
    const std::int32_t count = m_store.count(m_kind);
    std::string why;
    m_readProblem.reset();
    const bool read = m_store.file().read([&](const settings::ProfileFile::Editor& e) {
        const auto indexes = presentEntryIndexes(e, section, count);
        for (const std::int32_t index : indexes) {
            const auto fields = SplitFields(e.getString(section, entryKey(index), "00"));
            if (fields.empty())
                continue;
            if (static_cast<int>(m_rows.size()) >= kRowLimit) {
                overLimit = true;
                continue;
            }
            // Shown as stored; a short entry leaves its missing cells empty.
            auto field = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
            PlanRow row;
            row.name = entryKey(index);
            switch (m_kind) {
            case PlanKind::Day:
                row.cells = {field(0), sourceNameOf(field(1))};
                break;
            case PlanKind::Week: {
                const auto number = settings::leadingInteger(field(0));
                row.cells = {WeekdayLabel(number ? static_cast<int>(std::clamp<long long>(*number, -1, 7)) : -1,
                                          m_chinese),
                             field(1), sourceNameOf(field(2))};
                break;
            }
            case PlanKind::Month:
            case PlanKind::Once:
                row.cells = {field(0), field(1), sourceNameOf(field(2))};
                break;
            }
            m_rows.push_back(std::move(row));
        }
    }, &why);
    if (!read)
        m_readProblem = why;
    std::vector<PlanMessage> messages;
    if (overLimit) {
        // Once per page, however many entries are over.
        char text[96];
        std::snprintf(text, sizeof text, std::string(kRowLimitFormat).c_str(), kRowLimit);
        messages.push_back({text, std::string(kRowLimitCaption)});
    }
    return messages;
}

void PlanPageModel::ApplyPlanOrder()
{
    auto& plans = m_store.plans(m_kind);
    PlanOrder(plans, m_kind);
    m_rows.clear();
    for (const auto& [key, plan] : plans)
        m_rows.push_back({entryKey(key), cellsFor(plan), plan});
    RewriteSection();
}

bool PlanPageModel::RewriteSection()
{
    const auto section = sectionName(m_kind);
    const auto& unusable = m_store.unusableEntries(m_kind);
    std::int32_t written = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].name = entryKey(static_cast<std::int32_t>(i));
    std::string why;
    const bool ok = m_store.file().update([&](settings::ProfileFile::Editor& e) {
        e.deleteSection(section);
        for (const auto& row : m_rows)
            e.writeString(section, entryKey(written++), planValue(m_kind, row.plan));
        for (const auto& entry : unusable)
            e.writeString(section, entryKey(written++), entry.stored);
        e.writeString(kPlanCountSection, countKey(m_kind), std::to_string(written));
    }, &why);
    // The count follows the entries even when the disk refused them: the
    // next save writes them all again.
    m_store.setCount(m_kind, written);
    m_saveProblem = ok ? std::nullopt : std::optional<std::string>(why);
    return ok;
}

std::vector<PlanMessage> PlanPageModel::add(const std::optional<AddPlanInput>& dialog)
{
    std::vector<PlanMessage> messages;
    const auto plan = dialog ? PlanFromDialog(m_kind, *dialog) : std::nullopt;
    if (plan) {
        if (CheckPlanInterval(m_store, m_kind, *plan)) {
            const std::int32_t count = m_store.count(m_kind);
            m_store.file().update([&](settings::ProfileFile::Editor& e) {
                e.writeString(sectionName(m_kind), entryKey(count), planValue(m_kind, *plan));
                e.writeString(kPlanCountSection, countKey(m_kind), std::to_string(count + 1));
            });
            m_store.setCount(m_kind, count + 1);
        } else {
            messages.push_back(intervalMessage());
        }
    }
    ApplyPlanOrder();
    return withFileMessage(std::move(messages));
}

PlanPageModel::ModifyStart PlanPageModel::beginModify(const std::vector<int>& selectedRows) const
{
    ModifyStart start;
    const auto rows = validSelection(selectedRows);
    if (rows.empty()) {
        start.message = selectMessage(true);
        return start;
    }
    const int row = rows.front();
    const PlanItem& plan = m_rows[static_cast<std::size_t>(row)].plan;
    start.row = row;
    start.preset.time = plan.time;
    start.preset.source = plan.source;
    switch (m_kind) {
    case PlanKind::Day:
        break;
    case PlanKind::Week:
        start.preset.weekdayLabel = m_rows[static_cast<std::size_t>(row)].cells.front();
        break;
    case PlanKind::Month:
        start.preset.monthDay = plan.monthDay;
        break;
    case PlanKind::Once:
        start.preset.date = plan.date;
        break;
    }
    return start;
}

std::vector<PlanMessage> PlanPageModel::finishModify(int row, const std::optional<AddPlanInput>& dialog)
{
    std::vector<PlanMessage> messages;
    const bool rowValid = row >= 0 && row < static_cast<int>(m_rows.size());
    const auto plan = dialog && rowValid ? PlanFromDialog(m_kind, *dialog) : std::nullopt;
    if (plan) {
        const std::int32_t key = m_rows[static_cast<std::size_t>(row)].plan.key;
        if (CheckPlanInterval(m_store, m_kind, *plan, key)) {
            m_store.plans(m_kind).erase(key);
            m_store.WritePlanEntry(sectionName(m_kind), m_rows[static_cast<std::size_t>(row)].name,
                                   planValue(m_kind, *plan));
        } else {
            messages.push_back(intervalMessage());
        }
    }
    ApplyPlanOrder();
    return withFileMessage(std::move(messages));
}

PlanPageModel::DeleteStart PlanPageModel::beginDelete(const std::vector<int>& selectedRows) const
{
    if (validSelection(selectedRows).empty())
        return {false, selectMessage(false)};
    switch (m_kind) {
    case PlanKind::Day:
    case PlanKind::Month:
        return {true, {"Are you Sure  want to delete the current timing settings? ", "System Information "}};
    case PlanKind::Week:
        return {true, {"Are you Sure  want to delete the current timing settings?", "System information"}};
    case PlanKind::Once:
        break;
    }
    return {true, {"Are you sure  want to delete the current timing settings?", "System Information "}};
}

std::vector<PlanMessage> PlanPageModel::finishDelete(const std::vector<int>& selectedRows, bool answeredYes)
{
    const auto rows = validSelection(selectedRows);
    if (!answeredYes || rows.empty())
        return {};
    const auto section = sectionName(m_kind);
    const std::int32_t count = std::max<std::int32_t>(0, m_store.count(m_kind) - static_cast<std::int32_t>(rows.size()));
    std::vector<std::string> names;
    // From the last row back, so the rows still to visit keep their index.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        const auto index = static_cast<std::size_t>(*it);
        names.push_back(m_rows[index].name);
        m_store.plans(m_kind).erase(m_rows[index].plan.key);
        m_rows.erase(m_rows.begin() + *it);
    }
    m_store.file().update([&](settings::ProfileFile::Editor& e) {
        e.writeString(kPlanCountSection, countKey(m_kind), std::to_string(count));
        for (const auto& name : names)
            e.deleteKey(section, name);
    });
    m_store.setCount(m_kind, count);
    RewriteSection();
    ApplyPlanOrder();
    return withFileMessage({});
}

} // namespace omnar::plans
