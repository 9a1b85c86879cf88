#pragma once

#include "core/util/ControlName.h"

#include <array>
#include <string>
#include <string_view>

// Control ids of the Fast Mosaic dialog (CSimpleMosaic). The decisions in
// core/mosaic name controls by these numbers; every widget of the dialog
// carries its constant's name as objectName.
namespace omnar::mosaic::ids {

inline constexpr int IDC_EXIT = 2; // the default button

// Calculation and upload
inline constexpr int IDC_AUTO_CALCULATE = 1000;
inline constexpr int IDC_SET_INPUT = 1001;
inline constexpr int IDC_SET_OUTPUT = 1002;
inline constexpr int IDC_DETECT = 1003;

// The wall size group: presets, typed rows × columns
inline constexpr int IDC_SPEC_GROUP = 1279;
inline constexpr int IDC_PRESET_1X1 = 1020;
inline constexpr int IDC_PRESET_1X2 = 1029;
inline constexpr int IDC_PRESET_1X3 = 1030;
inline constexpr int IDC_PRESET_2X1 = 1031;
inline constexpr int IDC_PRESET_2X2 = 1032;
inline constexpr int IDC_PRESET_2X3 = 1033;
inline constexpr int IDC_PRESET_3X1 = 1063;
inline constexpr int IDC_PRESET_3X2 = 1064;
inline constexpr int IDC_PRESET_3X3 = 1065;
inline constexpr int IDC_PRESET_4X1 = 1066;
inline constexpr int IDC_PRESET_4X2 = 1067;
inline constexpr int IDC_PRESET_4X3 = 1068;
inline constexpr int IDC_ROWS = 1254;
inline constexpr int IDC_COLUMNS = 1255;
inline constexpr int IDC_ROWS_LABEL = 1280;
inline constexpr int IDC_COLUMNS_LABEL = 1281;
inline constexpr int IDC_SPEC_OK = 1008;

// "Effects show": the frame the screen cells are laid out in
inline constexpr int IDC_EFFECTS_FRAME = 1273;

// Device address
inline constexpr int IDC_ADDRESS_GROUP = 1274;
inline constexpr int IDC_ADDRESS_1 = 1021;
inline constexpr int IDC_ADDRESS_2 = 1022;
inline constexpr int IDC_ADDRESS_3 = 1023;
inline constexpr int IDC_ADDRESS_4 = 1024;
inline constexpr int IDC_ADDRESS_5 = 1025;
inline constexpr int IDC_ADDRESS_6 = 1026;
inline constexpr int IDC_ADDRESS_7 = 1027;
inline constexpr int IDC_ADDRESS_8 = 1028;
inline constexpr int IDC_ADDRESS_9 = 1036;
inline constexpr int IDC_ADDRESS_LIST = 1018;
inline constexpr int IDC_CONNECT = 1009;

// Mosaic area
inline constexpr int IDC_MOSAIC_GROUP = 1275;
inline constexpr int IDC_RESOLUTION_GROUP = 1278;
inline constexpr int IDC_RESOLUTION_LIST = 1272; // display only
inline constexpr int IDC_MODE_GROUP = 1209;
inline constexpr int IDC_NO_SYNC = 1297;
inline constexpr int IDC_SYNC = 1298;

// Input and output window groups and the labels of their value fields
inline constexpr int IDC_INPUT_GROUP = 1276;
inline constexpr int IDC_OUTPUT_GROUP = 1277;
inline constexpr int IDC_INPUT_WIDTH_LABEL = 1185;
inline constexpr int IDC_INPUT_HEIGHT_LABEL = 1186;
inline constexpr int IDC_INPUT_HSTART_LABEL = 1187;
inline constexpr int IDC_INPUT_VSTART_LABEL = 1188;
inline constexpr int IDC_INPUT_CALCULATED_LABEL = 1189;
inline constexpr int IDC_INPUT_ADJUSTED_LABEL = 1190;
inline constexpr int IDC_OUTPUT_WIDTH_LABEL = 1193;
inline constexpr int IDC_OUTPUT_HEIGHT_LABEL = 1194;
inline constexpr int IDC_OUTPUT_HSTART_LABEL = 1195;
inline constexpr int IDC_OUTPUT_VSTART_LABEL = 1196;
inline constexpr int IDC_OUTPUT_CALCULATED_LABEL = 1197;
inline constexpr int IDC_OUTPUT_ADJUSTED_LABEL = 1198;

// Value fields (never typed into) and the spin arrows of the Adjusted ones
inline constexpr int IDC_IN_HEIGHT_CALC = 1256;
inline constexpr int IDC_IN_WIDTH_CALC = 1257;
inline constexpr int IDC_IN_HSTART_CALC = 1258;
inline constexpr int IDC_IN_VSTART_CALC = 1259;
inline constexpr int IDC_IN_WIDTH_ADJ = 1260;
inline constexpr int IDC_IN_HEIGHT_ADJ = 1261;
inline constexpr int IDC_IN_HSTART_ADJ = 1262;
inline constexpr int IDC_IN_VSTART_ADJ = 1263;
inline constexpr int IDC_OUT_HEIGHT_CALC = 1264;
inline constexpr int IDC_OUT_WIDTH_CALC = 1265;
inline constexpr int IDC_OUT_HSTART_CALC = 1266;
inline constexpr int IDC_OUT_VSTART_CALC = 1267;
inline constexpr int IDC_OUT_WIDTH_ADJ = 1268;
inline constexpr int IDC_OUT_HEIGHT_ADJ = 1269;
inline constexpr int IDC_OUT_HSTART_ADJ = 1270;
inline constexpr int IDC_OUT_VSTART_ADJ = 1271;
inline constexpr int IDC_IN_WIDTH_SPIN = 1289;
inline constexpr int IDC_IN_HEIGHT_SPIN = 1290;
inline constexpr int IDC_IN_HSTART_SPIN = 1291;
inline constexpr int IDC_IN_VSTART_SPIN = 1292;
inline constexpr int IDC_OUT_WIDTH_SPIN = 1293;
inline constexpr int IDC_OUT_HEIGHT_SPIN = 1294;
inline constexpr int IDC_OUT_HSTART_SPIN = 1295;
inline constexpr int IDC_OUT_VSTART_SPIN = 1296;

// Screen cells built at run time: id = base + window number (0..47; the
// scheme leaves room for 100 per kind).
inline constexpr int IDC_WINDOW_BUTTON_BASE = 2000;
inline constexpr int IDC_CELL_FRAME_BASE = 2100;
inline constexpr int IDC_HEIGHT_EDIT_BASE = 2200;
inline constexpr int IDC_WIDTH_EDIT_BASE = 2300;
inline constexpr int IDC_HEIGHT_LABEL_BASE = 2400;
inline constexpr int IDC_WIDTH_LABEL_BASE = 2500;
inline constexpr int kCellIdRange = 100;

// Set input, Set output and the two mode radios: always enabled or
// disabled together.
inline constexpr std::array<int, 4> kUploadControls{IDC_SET_INPUT, IDC_SET_OUTPUT, IDC_NO_SYNC, IDC_SYNC};

// Every fixed control of the dialog, with the name its widget carries.
inline constexpr std::array kControls{
    OMNAR_CONTROL(IDC_EXIT),
    OMNAR_CONTROL(IDC_AUTO_CALCULATE),
    OMNAR_CONTROL(IDC_SET_INPUT),
    OMNAR_CONTROL(IDC_SET_OUTPUT),
    OMNAR_CONTROL(IDC_DETECT),
    OMNAR_CONTROL(IDC_SPEC_GROUP),
    OMNAR_CONTROL(IDC_PRESET_1X1),
    OMNAR_CONTROL(IDC_PRESET_1X2),
    OMNAR_CONTROL(IDC_PRESET_1X3),
    OMNAR_CONTROL(IDC_PRESET_2X1),
    OMNAR_CONTROL(IDC_PRESET_2X2),
    OMNAR_CONTROL(IDC_PRESET_2X3),
    OMNAR_CONTROL(IDC_PRESET_3X1),
    OMNAR_CONTROL(IDC_PRESET_3X2),
    OMNAR_CONTROL(IDC_PRESET_3X3),
    OMNAR_CONTROL(IDC_PRESET_4X1),
    OMNAR_CONTROL(IDC_PRESET_4X2),
    OMNAR_CONTROL(IDC_PRESET_4X3),
    OMNAR_CONTROL(IDC_ROWS),
    OMNAR_CONTROL(IDC_COLUMNS),
    OMNAR_CONTROL(IDC_ROWS_LABEL),
    OMNAR_CONTROL(IDC_COLUMNS_LABEL),
    OMNAR_CONTROL(IDC_SPEC_OK),
    OMNAR_CONTROL(IDC_EFFECTS_FRAME),
    OMNAR_CONTROL(IDC_ADDRESS_GROUP),
    OMNAR_CONTROL(IDC_ADDRESS_1),
    OMNAR_CONTROL(IDC_ADDRESS_2),
    OMNAR_CONTROL(IDC_ADDRESS_3),
    OMNAR_CONTROL(IDC_ADDRESS_4),
    OMNAR_CONTROL(IDC_ADDRESS_5),
    OMNAR_CONTROL(IDC_ADDRESS_6),
    OMNAR_CONTROL(IDC_ADDRESS_7),
    OMNAR_CONTROL(IDC_ADDRESS_8),
    OMNAR_CONTROL(IDC_ADDRESS_9),
    OMNAR_CONTROL(IDC_ADDRESS_LIST),
    OMNAR_CONTROL(IDC_CONNECT),
    OMNAR_CONTROL(IDC_MOSAIC_GROUP),
    OMNAR_CONTROL(IDC_RESOLUTION_GROUP),
    OMNAR_CONTROL(IDC_RESOLUTION_LIST),
    OMNAR_CONTROL(IDC_MODE_GROUP),
    OMNAR_CONTROL(IDC_NO_SYNC),
    OMNAR_CONTROL(IDC_SYNC),
    OMNAR_CONTROL(IDC_INPUT_GROUP),
    OMNAR_CONTROL(IDC_OUTPUT_GROUP),
    OMNAR_CONTROL(IDC_INPUT_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_INPUT_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_INPUT_HSTART_LABEL),
    OMNAR_CONTROL(IDC_INPUT_VSTART_LABEL),
    OMNAR_CONTROL(IDC_INPUT_CALCULATED_LABEL),
    OMNAR_CONTROL(IDC_INPUT_ADJUSTED_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_WIDTH_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_HEIGHT_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_HSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_VSTART_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_CALCULATED_LABEL),
    OMNAR_CONTROL(IDC_OUTPUT_ADJUSTED_LABEL),
    OMNAR_CONTROL(IDC_IN_HEIGHT_CALC),
    OMNAR_CONTROL(IDC_IN_WIDTH_CALC),
    OMNAR_CONTROL(IDC_IN_HSTART_CALC),
    OMNAR_CONTROL(IDC_IN_VSTART_CALC),
    OMNAR_CONTROL(IDC_IN_WIDTH_ADJ),
    OMNAR_CONTROL(IDC_IN_HEIGHT_ADJ),
    OMNAR_CONTROL(IDC_IN_HSTART_ADJ),
    OMNAR_CONTROL(IDC_IN_VSTART_ADJ),
    OMNAR_CONTROL(IDC_OUT_HEIGHT_CALC),
    OMNAR_CONTROL(IDC_OUT_WIDTH_CALC),
    OMNAR_CONTROL(IDC_OUT_HSTART_CALC),
    OMNAR_CONTROL(IDC_OUT_VSTART_CALC),
    OMNAR_CONTROL(IDC_OUT_WIDTH_ADJ),
    OMNAR_CONTROL(IDC_OUT_HEIGHT_ADJ),
    OMNAR_CONTROL(IDC_OUT_HSTART_ADJ),
    OMNAR_CONTROL(IDC_OUT_VSTART_ADJ),
    OMNAR_CONTROL(IDC_IN_WIDTH_SPIN),
    OMNAR_CONTROL(IDC_IN_HEIGHT_SPIN),
    OMNAR_CONTROL(IDC_IN_HSTART_SPIN),
    OMNAR_CONTROL(IDC_IN_VSTART_SPIN),
    OMNAR_CONTROL(IDC_OUT_WIDTH_SPIN),
    OMNAR_CONTROL(IDC_OUT_HEIGHT_SPIN),
    OMNAR_CONTROL(IDC_OUT_HSTART_SPIN),
    OMNAR_CONTROL(IDC_OUT_VSTART_SPIN),
};

// The name of a fixed control, or of a screen cell's control
// ("IDC_WINDOW_BUTTON_005" for id 2005); empty for an unknown id.
std::string controlName(int id);

} // namespace omnar::mosaic::ids
