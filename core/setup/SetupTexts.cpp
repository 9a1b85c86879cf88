#include "core/setup/SetupTexts.h"

#include "core/setup/SetupIds.h"

#include <cstdio>

namespace omnar::setup {

namespace {

namespace s = screen_ids;
namespace a = advanced_ids;

constexpr TextPair kSave{"Save", "保存"};
constexpr TextPair kReset{"Reset", "重置"};
constexpr TextPair kOutputGroup{"Output_Size_Position", "输出窗口位置大小"};
constexpr TextPair kOutWidth{"Out_Hori_Width:", "输出宽度:"};
constexpr TextPair kOutHStart{"Out_Hori_Start:", "输出水平起始:"};
constexpr TextPair kOutHeight{"Out_Vert_Height:", "输出高度:"};
constexpr TextPair kOutVStart{"Out_Vert_Start:", "输出垂直起始:"};
constexpr TextPair same(std::string_view text) { return {text, text}; }

constexpr Caption kSetScreenCaptions[] = {
    {s::IDC_LAYOUT_GROUP, {"PIP_Mode", "PIP模式"}},
    {s::IDC_WINDOWS_GROUP, {"PIP_Size_Position", "PIP窗口位置大小"}},
    {s::IDC_MAIN_GROUP, {"Main", "主窗口"}},
    {s::IDC_PIP_GROUP, {"PIP", "PIP窗口"}},
    {s::IDC_MAIN_WIDTH_LABEL, {"Main_Hori_Width:", "背景宽度:"}},
    {s::IDC_MAIN_HSTART_LABEL, {"Main_Hori_Start:", "背景水平起始:"}},
    {s::IDC_MAIN_HEIGHT_LABEL, {"Main_Vert_Height:", "背景高度:"}},
    {s::IDC_MAIN_VSTART_LABEL, {"Main_Vert_Start:", "背景垂直起始:"}},
    {s::IDC_PIP_WIDTH_LABEL, {"PIP_Hori_Width:", "PIP宽度:"}},
    {s::IDC_PIP_HSTART_LABEL, {"PIP_Hori_Start:", "PIP水平起始:"}},
    {s::IDC_PIP_HEIGHT_LABEL, {"PIP_Vert_Height:", "PIP高度:"}},
    {s::IDC_PIP_VSTART_LABEL, {"PIP_Vert_Start:", "PIP垂直起始:"}},
    {s::IDC_OUTPUT_GROUP, kOutputGroup},
    {s::IDC_OUTPUT2_GROUP, kOutputGroup},
    {s::IDC_OUTPUT_WIDTH_LABEL, kOutWidth},
    {s::IDC_OUTPUT_HSTART_LABEL, kOutHStart},
    {s::IDC_OUTPUT_HEIGHT_LABEL, kOutHeight},
    {s::IDC_OUTPUT_VSTART_LABEL, kOutVStart},
    {s::IDC_OUTPUT2_WIDTH_LABEL, kOutWidth},
    {s::IDC_OUTPUT2_HSTART_LABEL, kOutHStart},
    {s::IDC_OUTPUT2_HEIGHT_LABEL, kOutHeight},
    {s::IDC_OUTPUT2_VSTART_LABEL, kOutVStart},
    {s::IDC_MAIN_SAVE, kSave},
    {s::IDC_PIP_SAVE, kSave},
    {s::IDC_OUTPUT_SAVE, kSave},
    {s::IDC_OUTPUT2_SAVE, kSave},
    {s::IDC_REFRESH, {"Refresh", "刷新"}},
    {s::IDC_EXIT, {"Exit", "退出"}},
    {s::IDC_INFO_LABEL, {"Info", "信息"}},
    {s::IDC_PIP_NOTE, {"Only available for PIP/PBP open!!", "PIP开启状态下可设置!!"}},
    // Picture and keying.
    {s::IDC_KEY_GROUP, {"Text", "字幕"}},
    {s::IDC_KEY_BELOW, {"<Threshold", "<阈值"}},
    {s::IDC_KEY_ABOVE, {">Threshold", ">阈值"}},
    {s::IDC_KEY_RED_LABEL, {"Red", "红"}},
    {s::IDC_KEY_GREEN_LABEL, {"Green", "绿"}},
    {s::IDC_KEY_BLUE_LABEL, {"Blue", "蓝"}},
    {s::IDC_KEY_SAVE, kSave},
    {s::IDC_BRIGHTNESS_TITLE, {"Brightness", "亮度"}},
    {s::IDC_BRIGHTNESS_SAVE, kSave},
    {s::IDC_BRIGHTNESS_RESET, kReset},
    {s::IDC_BIAS_TITLE, {"Bias", "低灰偏置"}},
    {s::IDC_BIAS_SAVE, kSave},
    {s::IDC_BIAS_RESET, kReset},
    {s::IDC_COLOUR_TITLE, {"Color", "颜色"}},
    {s::IDC_COLOUR_SAVE, kSave},
    {s::IDC_COLOUR_RESET, kReset},
    {s::IDC_SHARPNESS_TITLE, {"Sharpness", "清晰度"}},
    {s::IDC_SHARPNESS_NORMAL, {"Normal", "平滑"}},
    {s::IDC_SHARPNESS_SHARP, {"Sharp", "清晰"}},
    // Hidden groups.
    {s::IDC_AUDIO_GROUP, {"Audio", "音频设置"}},
    {s::IDC_AUDIO1_LABEL, same("AD1")},
    {s::IDC_AUDIO2_LABEL, same("AD2")},
    {s::IDC_AUDIO_SAVE, kSave},
    {s::IDC_SPARE_GROUP, {"Hot_Spare", "热备份"}},
    {s::IDC_SPARE_SAVE, kSave},
    {s::IDC_MOSAIC_MODE_GROUP, {"MosaicMode", "拼接模式"}},
    {s::IDC_MOSAIC_NO_SYNC, {"No Sync Mosaic", "非同步拼接"}},
    {s::IDC_MOSAIC_SYNC, {"Sync Mosaic", "同步拼接"}},
    {s::IDC_V2_MODE_LABEL, same("V2/YPbPr")},
    {s::IDC_V2_MODE_V2, same("V2")},
    {s::IDC_V2_MODE_YPBPR, same("YPbPr")},
    {s::IDC_COLOUR_V1_SAVE, kSave},
    {s::IDC_COLOUR_V2_SAVE, kSave},
    {s::IDC_COLOUR_HDMI_SAVE, kSave},
    {s::IDC_COLOUR_DP_SAVE, kSave},
    {s::IDC_COLOUR_EXT_SAVE, kSave},
    {s::IDC_COLOUR_YPBPR_SAVE, kSave},
    {s::IDC_COLOUR_V1_RESET, kReset},
    {s::IDC_COLOUR_V2_RESET, kReset},
    {s::IDC_COLOUR_HDMI_RESET, kReset},
    {s::IDC_COLOUR_DP_RESET, kReset},
    {s::IDC_COLOUR_EXT_RESET, kReset},
    {s::IDC_COLOUR_YPBPR_RESET, kReset},
};

constexpr Caption kSetScreenFixedTexts[] = {
    {s::IDC_M1, same("M1")},
    {s::IDC_M2, same("M2")},
    {s::IDC_M3, same("M3")},
    {s::IDC_MAIN_ORIGIN, same("(0,0)")},
    {s::IDC_OUTPUT_ORIGIN, same("(0,0)")},
    {s::IDC_OUTPUT2_ORIGIN, same("(0,0)")},
    {s::IDC_MAIN_RECT, same("MAIN")},
    {s::IDC_PIP_RECT, same("PBP")},
    {s::IDC_BRIGHTNESS_RANGE, same(kRangeLabel64)},
    {s::IDC_SPARE_V1_V2, same("V1  >>  V2")},
    {s::IDC_SPARE_HDMI_DVI, same("HDMI  >>  DVI")},
    {s::IDC_SPARE_VGA1_VGA2, same("VGA1  >>  VGA2")},
};

constexpr Caption kResolutionCaptions[] = {
    {a::IDC_RESOLUTION_GROUP, {"Output_Resolution", "输出分辨率"}},
    {a::IDC_CUSTOM_WIDTH_LABEL, {"Width", "宽"}},
    {a::IDC_CUSTOM_HEIGHT_LABEL, {"Height", "高"}},
    {a::IDC_CUSTOM_RATE_LABEL, {"Hz", "场频"}},
    {a::IDC_CUSTOM_SAVE, kSave},
    {a::IDC_OK, {"OK", "确定"}},
};

} // namespace

std::span<const Caption> setScreenCaptions()
{
    return kSetScreenCaptions;
}

std::span<const Caption> setScreenFixedTexts()
{
    return kSetScreenFixedTexts;
}

std::span<const Caption> resolutionCaptions()
{
    return kResolutionCaptions;
}

std::string cornerLabel(OutputSize out)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "(%d,%d)", out.width, out.height);
    return buf;
}

std::string_view geometryTooltip(int editId)
{
    switch (editId) {
    case s::IDC_MAIN_WIDTH:
    case s::IDC_PIP_WIDTH:
    case s::IDC_OUTPUT_WIDTH:
    case s::IDC_OUTPUT2_WIDTH:
    // A Save refuses heights under 64, so the hint says so.
    case s::IDC_MAIN_HEIGHT:
    case s::IDC_PIP_HEIGHT:
    case s::IDC_OUTPUT_HEIGHT:
    case s::IDC_OUTPUT2_HEIGHT: return ">=64";
    case s::IDC_MAIN_HSTART:
    case s::IDC_PIP_HSTART:
    case s::IDC_OUTPUT_HSTART:
    case s::IDC_OUTPUT2_HSTART:
    case s::IDC_MAIN_VSTART:
    case s::IDC_PIP_VSTART:
    case s::IDC_OUTPUT_VSTART:
    case s::IDC_OUTPUT2_VSTART: return ">=0";
    default: return {};
    }
}

const MessageText& messageText(MessageId id)
{
    static const MessageText outOfRange{{"Value out  of range", "值越界"}, {"System Information", "系统信息"}, 1033, 1033};
    static const MessageText odd{{"he input value must be even, and can not be odd", "输入值必须是偶数，不能是奇数"},
                                 {"System information", "系统信息"}, 1033, 1033};
    static const MessageText spinUp{{"Value cannot be upward adjustment", "数值无法再向上调节"},
                                    {"System information", "系统消息"}, 1033, 1033};
    static const MessageText spinDown{{"Value cannot be downward adjustment", "数值无法再向下调节"},
                                      {"System information", "系统消息"}, 1033, 1033};
    static const MessageText sameAudio{{"Sorry, audio1 and audio2 can't use the same channel",
                                        "对不起，音频1和音频2无法使用同一个通道"},
                                       {"System information", "系统消息"}, 1033, 1033};
    static const MessageText dotClock{{"Dotlock out of range，range is 25999001~164998999",
                                       "超出点频范围，点频范围是25999001~164998999"},
                                      {"System information", "系统消息"}, 1033, 2052};
    switch (id) {
    case MessageId::ValueOutOfRange: return outOfRange;
    case MessageId::OddValue: return odd;
    case MessageId::SpinUp: return spinUp;
    case MessageId::SpinDown: return spinDown;
    case MessageId::SameAudioChannel: return sameAudio;
    case MessageId::DotClockOutOfRange: return dotClock;
    }
    return outOfRange;
}

} // namespace omnar::setup
