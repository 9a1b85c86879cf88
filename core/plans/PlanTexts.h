#pragma once

#include "core/util/TextPair.h"

#include <string_view>

// Texts of the timer and the plan editor, worded exactly as the operators
// know them (typos, doubled blanks and trailing blanks included).
namespace omnar::plans {

using PlanText = util::TextPair;

// Timer panel values.
inline constexpr PlanText kImmediateExecution{"Immediate Execution", "即将执行"};
inline constexpr PlanText kNoExecution{"No Execution", "未执行"};
inline constexpr PlanText kResultUnknown{"Unknown", "未知"};
// A current plan whose moment passed before the timer could switch.
inline constexpr PlanText kMissedExecution{"Missed", "已错过"};
inline constexpr PlanText kResultNotSent{"Not sent", "未发送"};

// Start with no plan kind checked; caption kStartCaption, language id 1033 / 2052.
inline constexpr PlanText kSelectTimerToStart{"Please select a timer to start", "请选定要启动的定时器"};
inline constexpr PlanText kStartCaption{"System information", "系统信息"};

// The 10-second rule's refusal; language id 1033 in both languages.
inline constexpr PlanText kIntervalRefused{
    "Sorry, opertion is invalid due to that the minimal time interval between a new plan and a exsisted one is 10 seconds",
    "对不起，操作不成功，因新添加的定时器与已存定时器之间最小时间间隔为10秒"};
inline constexpr PlanText kIntervalCaption{"System Information", "系统信息"};

// Plan editor pages: English only.
inline constexpr std::string_view kRowLimitFormat = "The plan items of one day can not exceed %d.";
inline constexpr std::string_view kRowLimitCaption = "System Information";
inline constexpr std::string_view kSelectAnItem = "Please select an item.";

// The editor could not store or read the plans; %1 is the file, %2 the
// reason. In the language of the moment.
inline constexpr PlanText kPlansNotSavedFormat{
    "The plans could not be saved to %1 (%2). The list keeps your changes, but they are not in the file: "
    "the timer does not use them, and closing this window discards them unless a later change is saved.",
    "定时任务无法保存到 %1（%2）。列表保留了您的修改，但它们不在文件中：定时器不会使用它们；"
    "除非之后的修改保存成功，关闭此窗口将丢弃这些修改。"};
inline constexpr PlanText kPlansNotReadFormat{
    "The plans could not be read from %1 (%2). The lists show none of them, and no change can be saved "
    "until the file can be read.",
    "无法从 %1 读取定时任务（%2）。列表中不显示任何任务；在文件可以读取之前，任何修改都无法保存。"};
inline constexpr PlanText kPlanFileCaption{"System Information", "系统信息"};

// Captions of the editor (CProgram, its pages, CAddPlan).
inline constexpr PlanText kProgramCaption{"Program", "任务"};
inline constexpr PlanText kExitCaption{"Exit", "退出"};
inline constexpr PlanText kAddCaption{"Add", "添加"};
inline constexpr PlanText kModifyCaption{"Modify", "修改"};
inline constexpr PlanText kDeleteCaption{"Delete", "删除"};
inline constexpr PlanText kAddPlanDialogCaption{"Plan", "任务参数"};
inline constexpr PlanText kAddPlanQuestion{"Add a plan?", "添加一个新任务?"};
inline constexpr PlanText kDayOfWeekLabel{"Day of week", "周日期"};
inline constexpr PlanText kDayOfMonthLabel{"Day of month", "月日期"};
inline constexpr PlanText kSourceGroupLabel{"Source", "信号选择"};

} // namespace omnar::plans
