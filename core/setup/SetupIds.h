#pragma once

#include "core/util/ControlName.h"

#include <array>
#include <string_view>

// Control ids of the screen setup window (CSetScreen) and of the output
// resolution window (CCAdvanced). The two number their controls
// independently. Every widget carries its constant's name as objectName.
namespace omnar::setup::screen_ids {

inline constexpr int IDC_EXIT = 2;

// ---- layouts
inline constexpr int IDC_LAYOUT_GROUP = 1232;
inline constexpr int IDC_M1 = 1020;
inline constexpr int IDC_M2 = 1021;
inline constexpr int IDC_M3 = 1022;

// ---- main and PIP windows
inline constexpr int IDC_WINDOWS_GROUP = 1233;
inline constexpr int IDC_MAIN_GROUP = 1242;
inline constexpr int IDC_PIP_GROUP = 1243;
inline constexpr int IDC_MAIN_WIDTH = 1024;
inline constexpr int IDC_MAIN_HSTART = 1025;
inline constexpr int IDC_MAIN_HEIGHT = 1026;
inline constexpr int IDC_MAIN_VSTART = 1027;
inline constexpr int IDC_MAIN_SAVE = 1000;
inline constexpr int IDC_MAIN_WIDTH_LABEL = 1188;
inline constexpr int IDC_MAIN_HSTART_LABEL = 1189;
inline constexpr int IDC_MAIN_HEIGHT_LABEL = 1190;
inline constexpr int IDC_MAIN_VSTART_LABEL = 1191;
inline constexpr int IDC_PIP_WIDTH = 1033;
inline constexpr int IDC_PIP_HSTART = 1034;
inline constexpr int IDC_PIP_HEIGHT = 1158;
inline constexpr int IDC_PIP_VSTART = 1159;
inline constexpr int IDC_PIP_SAVE = 1008;
inline constexpr int IDC_PIP_WIDTH_LABEL = 1192;
inline constexpr int IDC_PIP_HSTART_LABEL = 1193;
inline constexpr int IDC_PIP_HEIGHT_LABEL = 1194;
inline constexpr int IDC_PIP_VSTART_LABEL = 1195;
inline constexpr int IDC_MAIN_AREA = 1160;
inline constexpr int IDC_MAIN_ORIGIN = 1200;
inline constexpr int IDC_MAIN_CORNER = 1167;
inline constexpr int IDC_MAIN_RECT = 1164;
inline constexpr int IDC_PIP_RECT = 1163;
inline constexpr int IDC_PIP_NOTE = 1315;

// ---- output window
inline constexpr int IDC_OUTPUT_GROUP = 1238;
inline constexpr int IDC_OUTPUT_WIDTH = 1028;
inline constexpr int IDC_OUTPUT_HSTART = 1029;
inline constexpr int IDC_OUTPUT_HEIGHT = 1030;
inline constexpr int IDC_OUTPUT_VSTART = 1031;
inline constexpr int IDC_OUTPUT_SAVE = 1004;
inline constexpr int IDC_OUTPUT_WIDTH_LABEL = 1204;
inline constexpr int IDC_OUTPUT_HSTART_LABEL = 1205;
inline constexpr int IDC_OUTPUT_HEIGHT_LABEL = 1206;
inline constexpr int IDC_OUTPUT_VSTART_LABEL = 1207;
inline constexpr int IDC_OUTPUT_AREA = 1161;
inline constexpr int IDC_OUTPUT_ORIGIN = 1210;
inline constexpr int IDC_OUTPUT_CORNER = 1168;
inline constexpr int IDC_OUTPUT_RECT = 1165;

// ---- second output group (hidden)
inline constexpr int IDC_OUTPUT2_GROUP = 1240;
inline constexpr int IDC_OUTPUT2_WIDTH = 1037;
inline constexpr int IDC_OUTPUT2_HSTART = 1038;
inline constexpr int IDC_OUTPUT2_HEIGHT = 1039;
inline constexpr int IDC_OUTPUT2_VSTART = 1040;
inline constexpr int IDC_OUTPUT2_SAVE = 1012;
inline constexpr int IDC_OUTPUT2_WIDTH_LABEL = 1215;
inline constexpr int IDC_OUTPUT2_HSTART_LABEL = 1216;
inline constexpr int IDC_OUTPUT2_HEIGHT_LABEL = 1217;
inline constexpr int IDC_OUTPUT2_VSTART_LABEL = 1218;
inline constexpr int IDC_OUTPUT2_AREA = 1162;
inline constexpr int IDC_OUTPUT2_ORIGIN = 1221;
inline constexpr int IDC_OUTPUT2_CORNER = 1169;
inline constexpr int IDC_OUTPUT2_RECT = 1166;

// ---- bottom row
inline constexpr int IDC_INFO_LABEL = 1244;
inline constexpr int IDC_INFO = 1035;
inline constexpr int IDC_REFRESH = 1016;

// ---- text keying
inline constexpr int IDC_KEY_GROUP = 1235;
inline constexpr int IDC_KEY_BELOW = 1042; // "<Threshold"
inline constexpr int IDC_KEY_ABOVE = 1041; // ">Threshold"
inline constexpr int IDC_KEY_RED_LABEL = 1201;
inline constexpr int IDC_KEY_GREEN_LABEL = 1202;
inline constexpr int IDC_KEY_BLUE_LABEL = 1203;
inline constexpr int IDC_KEY_RED = 1048;
inline constexpr int IDC_KEY_GREEN = 1046;
inline constexpr int IDC_KEY_BLUE = 1056;
inline constexpr int IDC_KEY_RED_SPIN = 1283;
inline constexpr int IDC_KEY_GREEN_SPIN = 1284;
inline constexpr int IDC_KEY_BLUE_SPIN = 1285;
inline constexpr int IDC_KEY_SAVE = 1043;

// ---- brightness, bias, colour, sharpness
inline constexpr int IDC_BRIGHTNESS_TITLE = 1211;
inline constexpr int IDC_BRIGHTNESS = 1051;
inline constexpr int IDC_BRIGHTNESS_RANGE = 1307;
inline constexpr int IDC_BRIGHTNESS_SAVE = 1044;
inline constexpr int IDC_BRIGHTNESS_RESET = 1045;
inline constexpr int IDC_BIAS_TITLE = 1213;
inline constexpr int IDC_BIAS = 1063;
inline constexpr int IDC_BIAS_SAVE = 1058;
inline constexpr int IDC_BIAS_RESET = 1049;
inline constexpr int IDC_COLOUR_TITLE = 1212;
inline constexpr int IDC_COLOUR = 1068;
inline constexpr int IDC_COLOUR_SAVE = 1069;
inline constexpr int IDC_COLOUR_RESET = 1053;
inline constexpr int IDC_SHARPNESS_TITLE = 1214;
inline constexpr int IDC_SHARPNESS_NORMAL = 1064;
inline constexpr int IDC_SHARPNESS_SHARP = 1054;

// ---- audio (hidden)
inline constexpr int IDC_AUDIO_GROUP = 1231;
inline constexpr int IDC_AUDIO1_LABEL = 1186;
inline constexpr int IDC_AUDIO2_LABEL = 1187;
inline constexpr int IDC_AUDIO1 = 1072;
inline constexpr int IDC_AUDIO2 = 1073;
inline constexpr int IDC_AUDIO_SAVE = 1074;

// ---- hot spare (hidden)
inline constexpr int IDC_SPARE_GROUP = 1234;
inline constexpr int IDC_SPARE_V1_V2 = 1078;
inline constexpr int IDC_SPARE_HDMI_DVI = 1061;
inline constexpr int IDC_SPARE_VGA1_VGA2 = 1062;
inline constexpr int IDC_SPARE_SAVE = 1077;

// ---- mosaic mode (hidden)
inline constexpr int IDC_MOSAIC_MODE_GROUP = 1229;
inline constexpr int IDC_MOSAIC_NO_SYNC = 1291;
inline constexpr int IDC_MOSAIC_SYNC = 1059;

// ---- V2 input mode (hidden)
inline constexpr int IDC_V2_MODE_LABEL = 1219;
inline constexpr int IDC_V2_MODE_V2 = 1125;
inline constexpr int IDC_V2_MODE_YPBPR = 1314;

// ---- colour per source (hidden): edit, Save, Reset of each row
inline constexpr int IDC_COLOUR_V1 = 1055;
inline constexpr int IDC_COLOUR_V1_SAVE = 1057;
inline constexpr int IDC_COLOUR_V1_RESET = 1047;
inline constexpr int IDC_COLOUR_V2 = 1060;
inline constexpr int IDC_COLOUR_V2_SAVE = 1065;
inline constexpr int IDC_COLOUR_V2_RESET = 1050;
inline constexpr int IDC_COLOUR_HDMI = 1066;
inline constexpr int IDC_COLOUR_HDMI_SAVE = 1067;
inline constexpr int IDC_COLOUR_HDMI_RESET = 1052;
inline constexpr int IDC_COLOUR_DP = 1070;
inline constexpr int IDC_COLOUR_DP_SAVE = 1071;
inline constexpr int IDC_COLOUR_DP_RESET = 1075;
inline constexpr int IDC_COLOUR_EXT = 1076;
inline constexpr int IDC_COLOUR_EXT_SAVE = 1079;
inline constexpr int IDC_COLOUR_EXT_RESET = 1080;
inline constexpr int IDC_COLOUR_YPBPR = 1081;
inline constexpr int IDC_COLOUR_YPBPR_SAVE = 1082;
inline constexpr int IDC_COLOUR_YPBPR_RESET = 1083;

// Every control of the window, with the name its widget carries.
inline constexpr std::array kControls{
    OMNAR_CONTROL(IDC_EXIT),
    OMNAR_CONTROL(IDC_LAYOUT_GROUP),
    OMNAR_CONTROL(IDC_M1),
    OMNAR_CONTROL(IDC_M2),
    OMNAR_CONTROL(IDC_M3),
    OMNAR_CONTROL(IDC_WINDOWS_GROUP),
    OMNAR_CONTROL(IDC_MAIN_GROUP),
    OMNAR_CONTROL(IDC_PIP_GROUP),
    OMNAR_CONTROL(IDC_MAIN_WIDTH),
    OMNAR_CONTROL(IDC_MAIN_HSTART),
    OMNAR_CONTROL(IDC_MAIN_HEIGHT),
    OMNAR_CONTROL(IDC_MAIN_VSTART),
    OMNAR_CONTROL(IDC_MAIN_SAVE),
    OMNAR_CONTROL(IDC_MAIN_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_MAIN_HSTART_LABEL),
    OMNAR_CONTROL(IDC_MAIN_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_MAIN_VSTART_LABEL),
    OMNAR_CONTROL(IDC_PIP_WIDTH),
    OMNAR_CONTROL(IDC_PIP_HSTART),
    OMNAR_CONTROL(IDC_PIP_HEIGHT),
    OMNAR_CONTROL(IDC_PIP_VSTART),
    OMNAR_CONTROL(IDC_PIP_SAVE),
    OMNAR_CONTROL(IDC_PIP_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_PIP_HSTART_LABEL),
    OMNAR_CONTROL(IDC_PIP_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_PIP_VSTART_LABEL),
    OMNAR_CONTROL(IDC_MAIN_AREA),
    OMNAR_CONTROL(IDC_MAIN_ORIGIN),
    OMNAR_CONTROL(IDC_MAIN_CORNER),
    OMNAR_CONTROL(IDC_MAIN_RECT),
    OMNAR_CONTROL(IDC_PIP_RECT),
    OMNAR_CONTROL(IDC_PIP_NOTE),
    OMNAR_CONTROL(IDC_OUTPUT_GROUP),
    OMNAR_CONTROL(IDC_OUTPUT_WIDTH),
    OMNAR_CONTROL(IDC_OUTPUT_HSTART),
    OMNAR_CONTROL(IDC_OUTPUT_HEIGHT),
    OMNAR_CONTROL(IDC_OUTPUT_VSTART),
    OMNAR_CONTROL(IDC_OUTPUT_SAVE),
    OMNAR_CONTROL(IDC_OUTPUT_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_HSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_VSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_AREA),
    OMNAR_CONTROL(IDC_OUTPUT_ORIGIN),
    OMNAR_CONTROL(IDC_OUTPUT_CORNER),
    OMNAR_CONTROL(IDC_OUTPUT_RECT),
    OMNAR_CONTROL(IDC_OUTPUT2_GROUP),
    OMNAR_CONTROL(IDC_OUTPUT2_WIDTH),
    OMNAR_CONTROL(IDC_OUTPUT2_HSTART),
    OMNAR_CONTROL(IDC_OUTPUT2_HEIGHT),
    OMNAR_CONTROL(IDC_OUTPUT2_VSTART),
    OMNAR_CONTROL(IDC_OUTPUT2_SAVE),
    OMNAR_CONTROL(IDC_OUTPUT2_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT2_HSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT2_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT2_VSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT2_AREA),
    OMNAR_CONTROL(IDC_OUTPUT2_ORIGIN),
    OMNAR_CONTROL(IDC_OUTPUT2_CORNER),
    OMNAR_CONTROL(IDC_OUTPUT2_RECT),
    OMNAR_CONTROL(IDC_INFO_LABEL),
    OMNAR_CONTROL(IDC_INFO),
    OMNAR_CONTROL(IDC_REFRESH),
    OMNAR_CONTROL(IDC_KEY_GROUP),
    OMNAR_CONTROL(IDC_KEY_BELOW),
    OMNAR_CONTROL(IDC_KEY_ABOVE),
    OMNAR_CONTROL(IDC_KEY_RED_LABEL),
    OMNAR_CONTROL(IDC_KEY_GREEN_LABEL),
    OMNAR_CONTROL(IDC_KEY_BLUE_LABEL),
    OMNAR_CONTROL(IDC_KEY_RED),
    OMNAR_CONTROL(IDC_KEY_GREEN),
    OMNAR_CONTROL(IDC_KEY_BLUE),
    OMNAR_CONTROL(IDC_KEY_RED_SPIN),
    OMNAR_CONTROL(IDC_KEY_GREEN_SPIN),
    OMNAR_CONTROL(IDC_KEY_BLUE_SPIN),
    OMNAR_CONTROL(IDC_KEY_SAVE),
    OMNAR_CONTROL(IDC_BRIGHTNESS_TITLE),
    OMNAR_CONTROL(IDC_BRIGHTNESS),
    OMNAR_CONTROL(IDC_BRIGHTNESS_RANGE),
    OMNAR_CONTROL(IDC_BRIGHTNESS_SAVE),
    OMNAR_CONTROL(IDC_BRIGHTNESS_RESET),
    OMNAR_CONTROL(IDC_BIAS_TITLE),
    OMNAR_CONTROL(IDC_BIAS),
    OMNAR_CONTROL(IDC_BIAS_SAVE),
    OMNAR_CONTROL(IDC_BIAS_RESET),
    OMNAR_CONTROL(IDC_COLOUR_TITLE),
    OMNAR_CONTROL(IDC_COLOUR),
    OMNAR_CONTROL(IDC_COLOUR_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_RESET),
    OMNAR_CONTROL(IDC_SHARPNESS_TITLE),
    OMNAR_CONTROL(IDC_SHARPNESS_NORMAL),
    OMNAR_CONTROL(IDC_SHARPNESS_SHARP),
    OMNAR_CONTROL(IDC_AUDIO_GROUP),
    OMNAR_CONTROL(IDC_AUDIO1_LABEL),
    OMNAR_CONTROL(IDC_AUDIO2_LABEL),
    OMNAR_CONTROL(IDC_AUDIO1),
    OMNAR_CONTROL(IDC_AUDIO2),
    OMNAR_CONTROL(IDC_AUDIO_SAVE),
    OMNAR_CONTROL(IDC_SPARE_GROUP),
    OMNAR_CONTROL(IDC_SPARE_V1_V2),
    OMNAR_CONTROL(IDC_SPARE_HDMI_DVI),
    OMNAR_CONTROL(IDC_SPARE_VGA1_VGA2),
    OMNAR_CONTROL(IDC_SPARE_SAVE),
    OMNAR_CONTROL(IDC_MOSAIC_MODE_GROUP),
    OMNAR_CONTROL(IDC_MOSAIC_NO_SYNC),
    OMNAR_CONTROL(IDC_MOSAIC_SYNC),
    OMNAR_CONTROL(IDC_V2_MODE_LABEL),
    OMNAR_CONTROL(IDC_V2_MODE_V2),
    OMNAR_CONTROL(IDC_V2_MODE_YPBPR),
    OMNAR_CONTROL(IDC_COLOUR_V1),
    OMNAR_CONTROL(IDC_COLOUR_V1_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_V1_RESET),
    OMNAR_CONTROL(IDC_COLOUR_V2),
    OMNAR_CONTROL(IDC_COLOUR_V2_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_V2_RESET),
    OMNAR_CONTROL(IDC_COLOUR_HDMI),
    OMNAR_CONTROL(IDC_COLOUR_HDMI_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_HDMI_RESET),
    OMNAR_CONTROL(IDC_COLOUR_DP),
    OMNAR_CONTROL(IDC_COLOUR_DP_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_DP_RESET),
    OMNAR_CONTROL(IDC_COLOUR_EXT),
    OMNAR_CONTROL(IDC_COLOUR_EXT_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_EXT_RESET),
    OMNAR_CONTROL(IDC_COLOUR_YPBPR),
    OMNAR_CONTROL(IDC_COLOUR_YPBPR_SAVE),
    OMNAR_CONTROL(IDC_COLOUR_YPBPR_RESET),
};

// The objectName of a control; empty for an id the window does not have.
constexpr std::string_view controlName(int id)
{
    return util::controlName(kControls, id);
}

} // namespace omnar::setup::screen_ids

namespace omnar::setup::advanced_ids {

inline constexpr int IDC_OK = 1;
inline constexpr int IDC_RESOLUTION_GROUP = 1230;
inline constexpr int IDC_RESOLUTION_LIST = 1075;
// The custom form, created hidden.
inline constexpr int IDC_CUSTOM_WIDTH = 1032;
inline constexpr int IDC_CUSTOM_HEIGHT = 1036;
inline constexpr int IDC_CUSTOM_RATE = 1045;
inline constexpr int IDC_CUSTOM_SAVE = 1001;
inline constexpr int IDC_CUSTOM_WIDTH_LABEL = 1308;
inline constexpr int IDC_CUSTOM_HEIGHT_LABEL = 1309;
inline constexpr int IDC_CUSTOM_RATE_LABEL = 1310;

inline constexpr std::array kControls{
    OMNAR_CONTROL(IDC_OK),
    OMNAR_CONTROL(IDC_RESOLUTION_GROUP),
    OMNAR_CONTROL(IDC_RESOLUTION_LIST),
    OMNAR_CONTROL(IDC_CUSTOM_WIDTH),
    OMNAR_CONTROL(IDC_CUSTOM_HEIGHT),
    OMNAR_CONTROL(IDC_CUSTOM_RATE),
    OMNAR_CONTROL(IDC_CUSTOM_SAVE),
    OMNAR_CONTROL(IDC_CUSTOM_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_CUSTOM_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_CUSTOM_RATE_LABEL),
};

constexpr std::string_view controlName(int id)
{
    return util::controlName(kControls, id);
}

} // namespace omnar::setup::advanced_ids
