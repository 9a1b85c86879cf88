#pragma once

#include "core/util/ControlName.h"

#include <array>

// Control ids of the plan editor (CProgram and its four list pages) and of
// the plan dialog (CAddPlan). Every widget carries its constant's name as
// objectName. The two windows number their controls independently.
namespace omnar::gui::plans::ids {

// ---- CProgram
inline constexpr int IDC_PROGRAM_EXIT = 2;
inline constexpr int IDC_PROGRAM_TAB = 1153;

// ---- list pages: list view, Add, Modify, Delete
inline constexpr int IDC_DAY_LIST = 1137;
inline constexpr int IDC_DAY_ADD = 1138;
inline constexpr int IDC_DAY_MODIFY = 1139;
inline constexpr int IDC_DAY_DELETE = 1140;
inline constexpr int IDC_WEEK_LIST = 1141;
inline constexpr int IDC_WEEK_ADD = 1142;
inline constexpr int IDC_WEEK_MODIFY = 1143;
inline constexpr int IDC_WEEK_DELETE = 1144;
inline constexpr int IDC_MONTH_ADD = 1145;
inline constexpr int IDC_MONTH_LIST = 1146;
inline constexpr int IDC_MONTH_MODIFY = 1147;
inline constexpr int IDC_MONTH_DELETE = 1148;
inline constexpr int IDC_ONCE_ADD = 1149;
inline constexpr int IDC_ONCE_MODIFY = 1150;
inline constexpr int IDC_ONCE_DELETE = 1151;
inline constexpr int IDC_ONCE_LIST = 1152;

// ---- CAddPlan
inline constexpr int IDC_PLAN_OK = 1;
inline constexpr int IDC_PLAN_WEEKDAY = 1018;
inline constexpr int IDC_PLAN_MONTHDAY = 1019;
inline constexpr int IDC_PLAN_DATE = 1155;
inline constexpr int IDC_PLAN_TIME = 1156;
// Source radios: the id is IDC_SOURCE_V1 + the source code.
inline constexpr int IDC_SOURCE_V1 = 1157;
inline constexpr int IDC_SOURCE_V2 = 1158;
inline constexpr int IDC_SOURCE_VGA = 1159;
inline constexpr int IDC_SOURCE_VGA2 = 1160;
inline constexpr int IDC_SOURCE_HDMI = 1161;
inline constexpr int IDC_SOURCE_DVI = 1162;
inline constexpr int IDC_SOURCE_DP = 1163;
inline constexpr int IDC_SOURCE_EXT = 1164;
inline constexpr int IDC_PLAN_QUESTION = 1185;
inline constexpr int IDC_PLAN_WEEKDAY_LABEL = 1186;
inline constexpr int IDC_PLAN_MONTHDAY_LABEL = 1187;
inline constexpr int IDC_PLAN_SOURCE_GROUP = 1188;

// The controls of one list page.
struct PageIds {
    int list;
    int add;
    int modify;
    int remove;
};
inline constexpr std::array<PageIds, 4> kPageIds{{
    {IDC_DAY_LIST, IDC_DAY_ADD, IDC_DAY_MODIFY, IDC_DAY_DELETE},
    {IDC_WEEK_LIST, IDC_WEEK_ADD, IDC_WEEK_MODIFY, IDC_WEEK_DELETE},
    {IDC_MONTH_LIST, IDC_MONTH_ADD, IDC_MONTH_MODIFY, IDC_MONTH_DELETE},
    {IDC_ONCE_LIST, IDC_ONCE_ADD, IDC_ONCE_MODIFY, IDC_ONCE_DELETE},
}};

inline constexpr std::array kProgramControls{
    OMNAR_CONTROL(IDC_PROGRAM_EXIT),
    OMNAR_CONTROL(IDC_PROGRAM_TAB),
    OMNAR_CONTROL(IDC_DAY_LIST),
    OMNAR_CONTROL(IDC_DAY_ADD),
    OMNAR_CONTROL(IDC_DAY_MODIFY),
    OMNAR_CONTROL(IDC_DAY_DELETE),
    OMNAR_CONTROL(IDC_WEEK_LIST),
    OMNAR_CONTROL(IDC_WEEK_ADD),
    OMNAR_CONTROL(IDC_WEEK_MODIFY),
    OMNAR_CONTROL(IDC_WEEK_DELETE),
    OMNAR_CONTROL(IDC_MONTH_ADD),
    OMNAR_CONTROL(IDC_MONTH_LIST),
    OMNAR_CONTROL(IDC_MONTH_MODIFY),
    OMNAR_CONTROL(IDC_MONTH_DELETE),
    OMNAR_CONTROL(IDC_ONCE_ADD),
    OMNAR_CONTROL(IDC_ONCE_MODIFY),
    OMNAR_CONTROL(IDC_ONCE_DELETE),
    OMNAR_CONTROL(IDC_ONCE_LIST),
};

inline constexpr std::array kAddPlanControls{
    OMNAR_CONTROL(IDC_PLAN_OK),
    OMNAR_CONTROL(IDC_PLAN_WEEKDAY),
    OMNAR_CONTROL(IDC_PLAN_MONTHDAY),
    OMNAR_CONTROL(IDC_PLAN_DATE),
    OMNAR_CONTROL(IDC_PLAN_TIME),
    OMNAR_CONTROL(IDC_SOURCE_V1),
    OMNAR_CONTROL(IDC_SOURCE_V2),
    OMNAR_CONTROL(IDC_SOURCE_VGA),
    OMNAR_CONTROL(IDC_SOURCE_VGA2),
    OMNAR_CONTROL(IDC_SOURCE_HDMI),
    OMNAR_CONTROL(IDC_SOURCE_DVI),
    OMNAR_CONTROL(IDC_SOURCE_DP),
    OMNAR_CONTROL(IDC_SOURCE_EXT),
    OMNAR_CONTROL(IDC_PLAN_QUESTION),
    OMNAR_CONTROL(IDC_PLAN_WEEKDAY_LABEL),
    OMNAR_CONTROL(IDC_PLAN_MONTHDAY_LABEL),
    OMNAR_CONTROL(IDC_PLAN_SOURCE_GROUP),
};
using util::controlName;

} // namespace omnar::gui::plans::ids
