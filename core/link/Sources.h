#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace omnar::link {

// Input source codes as the device numbers them (switch frames, status reply, stored plans).
enum SourceCode : int {
    kSourceV1 = 0,
    kSourceV2 = 1,
    kSourceVga = 2,
    kSourceVga2 = 3,
    kSourceHdmi = 4,
    kSourceDvi = 5,
    kSourceDp = 6,
    kSourceExt = 7,
    kSourceYPbPr = 8, // the V2 input while the device runs it in YPbPr mode
};
inline constexpr int kSourceCount = 9;

struct SourceInfo {
    int code;
    std::string_view name;
    int keyId;       // main-window key
    int indicatorId; // main-window indicator
    int inputGroup;  // sources of one group cannot share the main window and a second window
};

inline constexpr std::array<SourceInfo, kSourceCount> kSources{{
    {kSourceV1, "V1", 1114, 1073, 0},
    {kSourceV2, "V2", 1115, 1074, 0},
    {kSourceVga, "VGA", 1120, 1075, 1},
    {kSourceVga2, "VGA2", 1121, 1076, 1},
    {kSourceHdmi, "HDMI", 1119, 1077, 2},
    {kSourceDvi, "DVI", 1118, 1078, 2},
    {kSourceDp, "DP", 1311, 1079, 2},
    {kSourceExt, "EXT.", 1122, 1080, 3},
    {kSourceYPbPr, "YPbPr", 1115, 1074, 4},
}};

// The table row of a code, or nothing for a code outside 0..8.
constexpr std::optional<SourceInfo> sourceInfo(int code)
{
    if (code < 0 || code >= kSourceCount)
        return std::nullopt;
    return kSources[static_cast<std::size_t>(code)];
}

// Input group of a code; -1 for any code outside the table.
constexpr int inputGroup(int code)
{
    auto info = sourceInfo(code);
    return info ? info->inputGroup : -1;
}

// Indicator id of a code; 0 when it has none.
constexpr int indicatorId(int code)
{
    auto info = sourceInfo(code);
    return info ? info->indicatorId : 0;
}

// The source whose key has this control id (V2 for 1115), or nothing.
constexpr std::optional<int> sourceForKey(int keyId)
{
    for (const auto& s : kSources)
        if (s.keyId == keyId)
            return s.code;
    return std::nullopt;
}

// EXT. sub-source (byte 11 of the status reply) and its radio button.
struct ExtSubSourceInfo {
    int index;
    std::string_view name;
    int radioId;
};
inline constexpr std::array<ExtSubSourceInfo, 6> kExtSubSources{{
    {0, "NULL", 1036},
    {1, "SDI", 1029},
    {2, "VGA", 1040},
    {3, "DVI", 1030},
    {4, "VIDEO", 1041},
    {5, "USB", 1044},
}};

// Fade index (byte 3 of a main-window switch, byte 5 of the status reply) and its radio button.
struct FadeInfo {
    int index;
    std::string_view name;
    int radioId;
};
inline constexpr std::array<FadeInfo, 4> kFades{{
    {0, "Cut", 1020},
    {1, "0.5S", 1022},
    {2, "1.0S", 1038},
    {3, "1.5S", 1039},
}};

} // namespace omnar::link
