#pragma once

// Control ids of the main window that the panel's decisions name. Source keys,
// source indicators, Cut/Fade radios and EXT. sub-source radios are in
// core/link/Sources.h with their codes.
namespace omnar::panel::ids {

// Function keys.
inline constexpr int kPipKey = 1127;
inline constexpr int kTextKey = 1128;
inline constexpr int kBypassKey = 1129;
inline constexpr int kMosaicKey = 1130;
inline constexpr int kFreezeKey = 1131;
inline constexpr int kAutoTakeKey = 1132;
inline constexpr int kM1Key = 1031;
inline constexpr int kM2Key = 1032;
inline constexpr int kM3Key = 1033;

// Switch-mode radios.
inline constexpr int kOneKeySwitch = 1042;
inline constexpr int kPreTakeSwitch = 1043;

// Function indicators.
inline constexpr int kPipIndicator = 1083;
inline constexpr int kTextIndicator = 1084;
inline constexpr int kBypassIndicator = 1085;
inline constexpr int kFreezeIndicator = 1086;
inline constexpr int kMosaicIndicator = 1087;
inline constexpr int kM1Indicator = 1089;
inline constexpr int kM2Indicator = 1090;
inline constexpr int kM3Indicator = 1091;

// The V2 key doubles as the YPbPr key; its caption follows the device.
inline constexpr int kV2Key = 1115;

// "Pre:" label and the Info line.
inline constexpr int kPreLabel = 1210;
inline constexpr int kInfoLine = 1035;

} // namespace omnar::panel::ids
