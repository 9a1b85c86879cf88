#pragma once

#include "core/link/Sources.h"
#include "core/util/ControlName.h"

#include <array>

// Control ids of the control panel window, each defined here once: the
// panel's decisions name controls by them and every widget carries its
// constant's name as objectName. The source keys and lamps, the Cut/Fade
// radios and the EXT. sub-source radios come from the source tables, where
// each id stands beside the code it belongs to.
namespace omnar::panel::ids {

inline constexpr int IDC_EXIT = 2;
inline constexpr int IDC_TIMER_TOGGLE = 1000;

// Timer bar
inline constexpr int IDC_TIMER_START = 1016;
inline constexpr int IDC_TIMER_STOP = 1017;
inline constexpr int IDC_PROGRAM = 1021;
inline constexpr int IDC_TIMER_DAY = 1067;
inline constexpr int IDC_TIMER_WEEK = 1068;
inline constexpr int IDC_TIMER_MONTH = 1069;
inline constexpr int IDC_TIMER_ONCE = 1070;
inline constexpr int IDC_TIMER_ALL = 1071;

// Dialog buttons
inline constexpr int IDC_SETUP = 1019;
inline constexpr int IDC_MOSAIC_DIALOG = 1023;
inline constexpr int IDC_RESOLUTION = 1034;

// Link box
inline constexpr int IDC_COM_PORT = 1018;
inline constexpr int IDC_DEVICE_ID_2 = 1024;
inline constexpr int IDC_DEVICE_ID_3 = 1025;
inline constexpr int IDC_DEVICE_ID_4 = 1026;
inline constexpr int IDC_DEVICE_ID_5 = 1027;
inline constexpr int IDC_DEVICE_ID_6 = 1028;
inline constexpr int IDC_DEVICE_ID_LIST = 1065;
inline constexpr int IDC_CONNECT = 1066;
inline constexpr int IDC_DISCONNECT = 1072;
inline constexpr int IDC_DEVICE_ID_1 = 1111;
inline constexpr int IDC_AUTO_CONNECT = 1290;
inline constexpr int IDC_START_TIMER = 1291;
inline constexpr int IDC_SERIAL = 1303;
inline constexpr int IDC_NETWORK = 1304;
inline constexpr int IDC_IP_ADDRESS = 1305;
inline constexpr int IDC_TCP_PORT = 1306;

// Cut/Fade radios
inline constexpr int IDC_FADE_CUT = link::kFades[0].radioId;
inline constexpr int IDC_FADE_05S = link::kFades[1].radioId;
inline constexpr int IDC_FADE_10S = link::kFades[2].radioId;
inline constexpr int IDC_FADE_15S = link::kFades[3].radioId;

// EXT. sub-source radios (display only)
inline constexpr int IDC_EXT_NULL = link::kExtSubSources[0].radioId;
inline constexpr int IDC_EXT_SDI = link::kExtSubSources[1].radioId;
inline constexpr int IDC_EXT_VGA = link::kExtSubSources[2].radioId;
inline constexpr int IDC_EXT_DVI = link::kExtSubSources[3].radioId;
inline constexpr int IDC_EXT_VIDEO = link::kExtSubSources[4].radioId;
inline constexpr int IDC_EXT_USB = link::kExtSubSources[5].radioId;

// PIP layouts
inline constexpr int IDC_M1 = 1031;
inline constexpr int IDC_M2 = 1032;
inline constexpr int IDC_M3 = 1033;

inline constexpr int IDC_INFO = 1035;

// Language radios
inline constexpr int IDC_LANG_EN = 1037;
inline constexpr int IDC_LANG_CH = 1124;

// Switch-mode radios
inline constexpr int IDC_ONE_KEY = 1042;
inline constexpr int IDC_PRE_TAKE = 1043;

// Indicators
inline constexpr int IDC_LED_V1 = link::kSources[link::kSourceV1].indicatorId;
inline constexpr int IDC_LED_V2 = link::kSources[link::kSourceV2].indicatorId;
inline constexpr int IDC_LED_VGA = link::kSources[link::kSourceVga].indicatorId;
inline constexpr int IDC_LED_VGA2 = link::kSources[link::kSourceVga2].indicatorId;
inline constexpr int IDC_LED_HDMI = link::kSources[link::kSourceHdmi].indicatorId;
inline constexpr int IDC_LED_DVI = link::kSources[link::kSourceDvi].indicatorId;
inline constexpr int IDC_LED_DP = link::kSources[link::kSourceDp].indicatorId;
inline constexpr int IDC_LED_EXT = link::kSources[link::kSourceExt].indicatorId;
inline constexpr int IDC_LED_PIP = 1083;
inline constexpr int IDC_LED_TEXT = 1084;
inline constexpr int IDC_LED_BYPASS = 1085;
inline constexpr int IDC_LED_FREEZE = 1086;
inline constexpr int IDC_LED_MOSAIC = 1087;
inline constexpr int IDC_LED_M1 = 1089;
inline constexpr int IDC_LED_M2 = 1090;
inline constexpr int IDC_LED_M3 = 1091;

// Source keys
inline constexpr int IDC_KEY_V1 = link::kSources[link::kSourceV1].keyId;
inline constexpr int IDC_KEY_V2 = link::kSources[link::kSourceV2].keyId;
inline constexpr int IDC_KEY_DVI = link::kSources[link::kSourceDvi].keyId;
inline constexpr int IDC_KEY_HDMI = link::kSources[link::kSourceHdmi].keyId;
inline constexpr int IDC_KEY_VGA = link::kSources[link::kSourceVga].keyId;
inline constexpr int IDC_KEY_VGA2 = link::kSources[link::kSourceVga2].keyId;
inline constexpr int IDC_KEY_EXT = link::kSources[link::kSourceExt].keyId;
inline constexpr int IDC_KEY_DP = link::kSources[link::kSourceDp].keyId;

// Function keys
inline constexpr int IDC_KEY_PIP = 1127;
inline constexpr int IDC_KEY_TEXT = 1128;
inline constexpr int IDC_KEY_BYPASS = 1129;
inline constexpr int IDC_KEY_MOSAIC = 1130;
inline constexpr int IDC_KEY_FREEZE = 1131;
inline constexpr int IDC_KEY_AUTO_TAKE = 1132;

// Captions and group boxes
inline constexpr int IDC_DEVICE_ID_LABEL = 1186;
inline constexpr int IDC_COM_PORT_LABEL = 1187;
inline constexpr int IDC_SOURCE_GROUP = 1188;
inline constexpr int IDC_INFO_GROUP = 1189;
inline constexpr int IDC_TIMER_GROUP = 1190;
inline constexpr int IDC_FUNCTION_GROUP = 1191;
inline constexpr int IDC_PIP_MODE_GROUP = 1192;
inline constexpr int IDC_LANGUAGE_GROUP = 1193;
inline constexpr int IDC_FADE_GROUP = 1194;
inline constexpr int IDC_EXT_GROUP = 1195;
inline constexpr int IDC_TIMER_PANEL = 1196;
inline constexpr int IDC_CURRENT_TIMER = 1197;
inline constexpr int IDC_NEXT_TIMER = 1198;
inline constexpr int IDC_CUR_TIME_LABEL = 1201;
inline constexpr int IDC_CUR_SIGNAL_LABEL = 1202;
inline constexpr int IDC_CUR_STATUS_LABEL = 1203;
inline constexpr int IDC_CUR_RESULT_LABEL = 1204;
inline constexpr int IDC_SWITCH_MODE_GROUP = 1205;
inline constexpr int IDC_NEXT_TIME_LABEL = 1206;
inline constexpr int IDC_NEXT_SIGNAL_LABEL = 1207;
inline constexpr int IDC_NEXT_STATUS_LABEL = 1208;
inline constexpr int IDC_NEXT_RESULT_LABEL = 1209;
inline constexpr int IDC_PRE_LABEL = 1210;
inline constexpr int IDC_LINK_GROUP = 1218;

// Current/Next Timer value fields
inline constexpr int IDC_CUR_TIME = 1299;
inline constexpr int IDC_CUR_SIGNAL = 1300;
inline constexpr int IDC_CUR_STATUS = 1301;
inline constexpr int IDC_CUR_RESULT = 1302;
inline constexpr int IDC_NEXT_TIME = 1307;
inline constexpr int IDC_NEXT_SIGNAL = 1308;
inline constexpr int IDC_NEXT_STATUS = 1309;
inline constexpr int IDC_NEXT_RESULT = 1310;

// Every control of the window, with the name its widget carries.
inline constexpr std::array kControls{
    OMNAR_CONTROL(IDC_EXIT),
    OMNAR_CONTROL(IDC_TIMER_TOGGLE),
    OMNAR_CONTROL(IDC_TIMER_START),
    OMNAR_CONTROL(IDC_TIMER_STOP),
    OMNAR_CONTROL(IDC_PROGRAM),
    OMNAR_CONTROL(IDC_TIMER_DAY),
    OMNAR_CONTROL(IDC_TIMER_WEEK),
    OMNAR_CONTROL(IDC_TIMER_MONTH),
    OMNAR_CONTROL(IDC_TIMER_ONCE),
    OMNAR_CONTROL(IDC_TIMER_ALL),
    OMNAR_CONTROL(IDC_SETUP),
    OMNAR_CONTROL(IDC_MOSAIC_DIALOG),
    OMNAR_CONTROL(IDC_RESOLUTION),
    OMNAR_CONTROL(IDC_COM_PORT),
    OMNAR_CONTROL(IDC_DEVICE_ID_2),
    OMNAR_CONTROL(IDC_DEVICE_ID_3),
    OMNAR_CONTROL(IDC_DEVICE_ID_4),
    OMNAR_CONTROL(IDC_DEVICE_ID_5),
    OMNAR_CONTROL(IDC_DEVICE_ID_6),
    OMNAR_CONTROL(IDC_DEVICE_ID_LIST),
    OMNAR_CONTROL(IDC_CONNECT),
    OMNAR_CONTROL(IDC_DISCONNECT),
    OMNAR_CONTROL(IDC_DEVICE_ID_1),
    OMNAR_CONTROL(IDC_AUTO_CONNECT),
    OMNAR_CONTROL(IDC_START_TIMER),
    OMNAR_CONTROL(IDC_SERIAL),
    OMNAR_CONTROL(IDC_NETWORK),
    OMNAR_CONTROL(IDC_IP_ADDRESS),
    OMNAR_CONTROL(IDC_TCP_PORT),
    OMNAR_CONTROL(IDC_FADE_CUT),
    OMNAR_CONTROL(IDC_FADE_05S),
    OMNAR_CONTROL(IDC_FADE_10S),
    OMNAR_CONTROL(IDC_FADE_15S),
    OMNAR_CONTROL(IDC_EXT_SDI),
    OMNAR_CONTROL(IDC_EXT_DVI),
    OMNAR_CONTROL(IDC_EXT_NULL),
    OMNAR_CONTROL(IDC_EXT_VGA),
    OMNAR_CONTROL(IDC_EXT_VIDEO),
    OMNAR_CONTROL(IDC_EXT_USB),
    OMNAR_CONTROL(IDC_M1),
    OMNAR_CONTROL(IDC_M2),
    OMNAR_CONTROL(IDC_M3),
    OMNAR_CONTROL(IDC_INFO),
    OMNAR_CONTROL(IDC_LANG_EN),
    OMNAR_CONTROL(IDC_LANG_CH),
    OMNAR_CONTROL(IDC_ONE_KEY),
    OMNAR_CONTROL(IDC_PRE_TAKE),
    OMNAR_CONTROL(IDC_LED_V1),
    OMNAR_CONTROL(IDC_LED_V2),
    OMNAR_CONTROL(IDC_LED_VGA),
    OMNAR_CONTROL(IDC_LED_VGA2),
    OMNAR_CONTROL(IDC_LED_HDMI),
    OMNAR_CONTROL(IDC_LED_DVI),
    OMNAR_CONTROL(IDC_LED_DP),
    OMNAR_CONTROL(IDC_LED_EXT),
    OMNAR_CONTROL(IDC_LED_PIP),
    OMNAR_CONTROL(IDC_LED_TEXT),
    OMNAR_CONTROL(IDC_LED_BYPASS),
    OMNAR_CONTROL(IDC_LED_FREEZE),
    OMNAR_CONTROL(IDC_LED_MOSAIC),
    OMNAR_CONTROL(IDC_LED_M1),
    OMNAR_CONTROL(IDC_LED_M2),
    OMNAR_CONTROL(IDC_LED_M3),
    OMNAR_CONTROL(IDC_KEY_V1),
    OMNAR_CONTROL(IDC_KEY_V2),
    OMNAR_CONTROL(IDC_KEY_DVI),
    OMNAR_CONTROL(IDC_KEY_HDMI),
    OMNAR_CONTROL(IDC_KEY_VGA),
    OMNAR_CONTROL(IDC_KEY_VGA2),
    OMNAR_CONTROL(IDC_KEY_EXT),
    OMNAR_CONTROL(IDC_KEY_DP),
    OMNAR_CONTROL(IDC_KEY_PIP),
    OMNAR_CONTROL(IDC_KEY_TEXT),
    OMNAR_CONTROL(IDC_KEY_BYPASS),
    OMNAR_CONTROL(IDC_KEY_MOSAIC),
    OMNAR_CONTROL(IDC_KEY_FREEZE),
    OMNAR_CONTROL(IDC_KEY_AUTO_TAKE),
    OMNAR_CONTROL(IDC_DEVICE_ID_LABEL),
    OMNAR_CONTROL(IDC_COM_PORT_LABEL),
    OMNAR_CONTROL(IDC_SOURCE_GROUP),
    OMNAR_CONTROL(IDC_INFO_GROUP),
    OMNAR_CONTROL(IDC_TIMER_GROUP),
    OMNAR_CONTROL(IDC_FUNCTION_GROUP),
    OMNAR_CONTROL(IDC_PIP_MODE_GROUP),
    OMNAR_CONTROL(IDC_LANGUAGE_GROUP),
    OMNAR_CONTROL(IDC_FADE_GROUP),
    OMNAR_CONTROL(IDC_EXT_GROUP),
    OMNAR_CONTROL(IDC_TIMER_PANEL),
    OMNAR_CONTROL(IDC_CURRENT_TIMER),
    OMNAR_CONTROL(IDC_NEXT_TIMER),
    OMNAR_CONTROL(IDC_CUR_TIME_LABEL),
    OMNAR_CONTROL(IDC_CUR_SIGNAL_LABEL),
    OMNAR_CONTROL(IDC_CUR_STATUS_LABEL),
    OMNAR_CONTROL(IDC_CUR_RESULT_LABEL),
    OMNAR_CONTROL(IDC_SWITCH_MODE_GROUP),
    OMNAR_CONTROL(IDC_NEXT_TIME_LABEL),
    OMNAR_CONTROL(IDC_NEXT_SIGNAL_LABEL),
    OMNAR_CONTROL(IDC_NEXT_STATUS_LABEL),
    OMNAR_CONTROL(IDC_NEXT_RESULT_LABEL),
    OMNAR_CONTROL(IDC_PRE_LABEL),
    OMNAR_CONTROL(IDC_LINK_GROUP),
    OMNAR_CONTROL(IDC_CUR_TIME),
    OMNAR_CONTROL(IDC_CUR_SIGNAL),
    OMNAR_CONTROL(IDC_CUR_STATUS),
    OMNAR_CONTROL(IDC_CUR_RESULT),
    OMNAR_CONTROL(IDC_NEXT_TIME),
    OMNAR_CONTROL(IDC_NEXT_SIGNAL),
    OMNAR_CONTROL(IDC_NEXT_STATUS),
    OMNAR_CONTROL(IDC_NEXT_RESULT),
};

// Enabled only while a device is connected and no command is in flight.
inline constexpr std::array<int, 24> kDeviceControlGroup{
    IDC_ONE_KEY, IDC_PRE_TAKE, IDC_PROGRAM, IDC_KEY_V1, IDC_KEY_V2, IDC_KEY_DVI,
    IDC_KEY_HDMI, IDC_KEY_DP, IDC_KEY_VGA, IDC_KEY_VGA2, IDC_KEY_EXT, IDC_FADE_CUT,
    IDC_FADE_05S, IDC_FADE_10S, IDC_FADE_15S, IDC_TIMER_START, IDC_KEY_PIP, IDC_KEY_TEXT,
    IDC_KEY_BYPASS, IDC_KEY_MOSAIC, IDC_KEY_FREEZE, IDC_SETUP, IDC_MOSAIC_DIALOG, IDC_RESOLUTION,
};

// Kept hidden on the panel; the --advanced start option shows them.
inline constexpr std::array kAdvancedControls{
    IDC_KEY_DP, IDC_KEY_VGA2, IDC_KEY_MOSAIC, IDC_MOSAIC_DIALOG, IDC_NETWORK, IDC_IP_ADDRESS,
    IDC_TCP_PORT, IDC_DEVICE_ID_LABEL, IDC_DEVICE_ID_1, IDC_DEVICE_ID_2, IDC_DEVICE_ID_3,
    IDC_DEVICE_ID_4, IDC_DEVICE_ID_5, IDC_DEVICE_ID_6, IDC_DEVICE_ID_LIST,
};

// Keys hidden on the panel whose indicators stay: a device on VGA2 or in
// mosaic mode must show it, and MOSAIC on explains a refused source key.
struct KeyLamp {
    int key;
    int lamp;
};
inline constexpr std::array kHiddenKeyLamps{
    KeyLamp{IDC_KEY_VGA2, IDC_LED_VGA2},
    KeyLamp{IDC_KEY_DP, IDC_LED_DP},
    KeyLamp{IDC_KEY_MOSAIC, IDC_LED_MOSAIC},
};

// The keys whose press goes to the key logic (keyPressed signal).
inline constexpr std::array kKeys{
    IDC_KEY_V1, IDC_KEY_V2, IDC_KEY_VGA, IDC_KEY_VGA2, IDC_KEY_HDMI, IDC_KEY_DVI, IDC_KEY_DP,
    IDC_KEY_EXT, IDC_KEY_PIP, IDC_KEY_TEXT, IDC_KEY_BYPASS, IDC_KEY_MOSAIC, IDC_KEY_FREEZE,
    IDC_KEY_AUTO_TAKE, IDC_M1, IDC_M2, IDC_M3, IDC_ONE_KEY, IDC_PRE_TAKE, IDC_FADE_CUT,
    IDC_FADE_05S, IDC_FADE_10S, IDC_FADE_15S,
};

// Every lamp of the panel: the sources (YPbPr shares V2's), PIP, TEXT,
// BYPASS, FREEZE, MOSAIC and the layouts M1..M3.
inline constexpr std::array kIndicators{
    IDC_LED_V1, IDC_LED_V2, IDC_LED_VGA, IDC_LED_VGA2, IDC_LED_HDMI, IDC_LED_DVI, IDC_LED_DP, IDC_LED_EXT,
    IDC_LED_PIP, IDC_LED_TEXT, IDC_LED_BYPASS, IDC_LED_FREEZE, IDC_LED_MOSAIC, IDC_LED_M1, IDC_LED_M2, IDC_LED_M3,
};

// The eight value fields of the Current/Next Timer panel.
inline constexpr std::array kTimerFields{
    IDC_CUR_TIME, IDC_CUR_SIGNAL, IDC_CUR_STATUS, IDC_CUR_RESULT,
    IDC_NEXT_TIME, IDC_NEXT_SIGNAL, IDC_NEXT_STATUS, IDC_NEXT_RESULT,
};

// Device-id radios for ids 1..6.
inline constexpr std::array kDeviceIdRadios{
    IDC_DEVICE_ID_1, IDC_DEVICE_ID_2, IDC_DEVICE_ID_3, IDC_DEVICE_ID_4, IDC_DEVICE_ID_5, IDC_DEVICE_ID_6,
};

} // namespace omnar::panel::ids
