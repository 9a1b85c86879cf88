#pragma once

#include "core/panel/PanelIds.h"
#include "core/util/TextPair.h"

#include <string>
#include <string_view>

namespace omnar::panel {

using util::TextPair;

enum class TextId {
    SystemInformation, // message box caption
    MosaicOffOnly,
    IncorrectSource,
    ExtNull,
    ClosePipTextOrTake,
    MainIsYPbPr,
    PreNull,           // "Pre:" label while nothing is preselected
    AskExit,
    NotConnected,      // Setup, Resolution and Mosaic without a device
    SelectTimer,       // Start with no plan kind checked
};

const TextPair& panelText(TextId id);

// Why the panel did not do what was asked, in the words the operator sees.
struct Refusal {
    enum class Kind {
        InfoLine,   // written into the Info line
        MessageBox, // Yes/No box with the "System information" caption
    };
    Kind kind = Kind::InfoLine;
    TextId textId = TextId::MosaicOffOnly;
    std::string text;    // in the language of the moment
    std::string caption; // message boxes only
};

Refusal refusal(Refusal::Kind kind, TextId id, bool chinese);

// Text of the "Pre:" label for a preselected source code; "NULL" in both
// languages for a code without a source.
std::string preLabelText(int sourceCode, bool chinese);

// Captions the status decoder gives the V2 and AUTO/TAKE keys.
inline constexpr std::string_view kV2Caption = "V2";
inline constexpr std::string_view kYPbPrCaption = "YPbPr";
inline constexpr std::string_view kAutoCaption = "AUTO";
inline constexpr std::string_view kTakeCaption = "TAKE";

inline constexpr TextPair kWindowTitle{"Omnar Processor Controller(V1.00)", "Omnar控制软件(V1.00)"};
inline constexpr TextPair kTimerToggleCollapsed{"Timer>>", "定时器>>"};
inline constexpr TextPair kTimerToggleShown{"Timer<<", "定时器<<"};
// The message boxes' buttons speak the language of their text.
inline constexpr TextPair kYesButton{"&Yes", "是(&Y)"};
inline constexpr TextPair kNoButton{"&No", "否(&N)"};

struct Caption {
    int id;
    TextPair text;
};

// The captions CH/EN rewrites; nothing else changes with the language.
inline constexpr Caption kCaptions[]{
    {ids::IDC_DEVICE_ID_LABEL, {"Device_ID", "设备ID"}},
    {ids::IDC_COM_PORT_LABEL, {"Rs232_Com_Port:", "Rs232串口:"}},
    {ids::IDC_SOURCE_GROUP, {"Source", "信号"}},
    {ids::IDC_INFO_GROUP, {"Info", "信息"}},
    {ids::IDC_TIMER_GROUP, {"Timer", "定时器"}},
    {ids::IDC_FUNCTION_GROUP, {"Function", "功能"}},
    {ids::IDC_PIP_MODE_GROUP, {"PIP_Mode", "PIP模式"}},
    {ids::IDC_LANGUAGE_GROUP, {"CH/EN", "中文/英文"}},
    {ids::IDC_FADE_GROUP, {"Cut/Fade", "切换效果"}},
    {ids::IDC_SWITCH_MODE_GROUP, {"Switch Mode", "切换模式"}},
    {ids::IDC_CONNECT, {"Connect", "连接"}},
    {ids::IDC_DISCONNECT, {"Disconnect", "断开连接"}},
    {ids::IDC_TIMER_DAY, {"Day", "日定时"}},
    {ids::IDC_TIMER_WEEK, {"Week", "周定时"}},
    {ids::IDC_TIMER_MONTH, {"Month", "月定时"}},
    {ids::IDC_TIMER_ONCE, {"Once", "一次定时"}},
    {ids::IDC_TIMER_ALL, {"All", "所有定时"}},
    {ids::IDC_TIMER_START, {"Start", "启动定时"}},
    {ids::IDC_TIMER_STOP, {"Stop", "停止定时"}},
    {ids::IDC_PROGRAM, {"Program", "设置定时"}},
    {ids::IDC_SETUP, {"Setup", "屏幕设置"}},
    {ids::IDC_MOSAIC_DIALOG, {"Mosaic", "快速拼接"}},
    {ids::IDC_RESOLUTION, {"Resolution", "分辨率"}},
    {ids::IDC_EXIT, {"Exit", "退出"}},
    {ids::IDC_CURRENT_TIMER, {"Current Timer", "当前定时"}},
    {ids::IDC_NEXT_TIMER, {"Next Timer", "下一个定时"}},
    {ids::IDC_CUR_TIME_LABEL, {"Time:", "时间:"}},
    {ids::IDC_NEXT_TIME_LABEL, {"Time:", "时间:"}},
    {ids::IDC_CUR_SIGNAL_LABEL, {"Signal:", "信号:"}},
    {ids::IDC_NEXT_SIGNAL_LABEL, {"Signal:", "信号:"}},
    {ids::IDC_CUR_STATUS_LABEL, {"Status:", "状态:"}},
    {ids::IDC_NEXT_STATUS_LABEL, {"Status:", "状态:"}},
    {ids::IDC_CUR_RESULT_LABEL, {"Result:", "结果:"}},
    {ids::IDC_NEXT_RESULT_LABEL, {"Result:", "结果:"}},
    {ids::IDC_AUTO_CONNECT, {"AutoConnect", "自动连接"}},
    {ids::IDC_START_TIMER, {"StartTimer", "自动启动定时"}},
    {ids::IDC_LINK_GROUP, {"Serial/Network", "串口/网络"}},
    {ids::IDC_SERIAL, {"Serial", "串口"}},
    {ids::IDC_NETWORK, {"Network", "网络"}},
    {ids::IDC_ONE_KEY, {"One Key Switch", "一键直接切换"}},
    {ids::IDC_PRE_TAKE, {"Pre + TAKE Switch", "预选+TAKE切换"}},
};

} // namespace omnar::panel
