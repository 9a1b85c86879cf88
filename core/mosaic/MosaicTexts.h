#pragma once

#include "core/util/TextPair.h"

#include <array>
#include <string>
#include <string_view>

// Texts of the Fast Mosaic dialog, worded exactly as the operators know them
// (typos, full-width punctuation and trailing blanks included).
namespace omnar::mosaic {

using util::TextPair;

inline constexpr TextPair kDialogTitle{"Fast Mosaic", "快速拼接"};

struct CaptionText {
    int id;
    TextPair text;
};

// Captions set when the dialog opens. The "Effects show" frame and the two
// window groups are formatted (effectsShowCaption, windowGroupCaption).
inline constexpr std::array<CaptionText, 30> kCaptions{{
    {1279, {"Specification", "规格"}},
    {1280, {"Row", "行"}},
    {1281, {"Column", "列"}},
    {1274, {"Connect", "连接"}},
    {1275, {"Mosaic", "拼接"}},
    {1278, {"Resolution", "分辨率"}},
    {1276, {"Input（WindowID：000）", "输入（窗口号：000）"}},
    {1277, {"Output（WindowID：000）", "输出（窗口号：000）"}},
    {1185, {"InputWidth", "输入宽度"}},
    {1186, {"InputHeight", "输入高度"}},
    {1187, {"HorizontalStart", "水平起始"}},
    {1195, {"HorizontalStart", "水平起始"}},
    {1188, {"VerticalStart", "垂直起始"}},
    {1196, {"VerticalStart", "垂直起始"}},
    {1189, {"Calculated", "   计算值"}},
    {1197, {"Calculated", "   计算值"}},
    {1190, {"Adjusted", "微调值"}},
    {1198, {"Adjusted", "微调值"}},
    {1193, {"OutputWidth", "输出宽度"}},
    {1194, {"OutputHeight", "输出高度"}},
    {1008, {"OK", "确定"}},
    {1009, {"Connect", "连接"}},
    {1000, {"Auto Calculate", "自动计算"}},
    {1001, {"Set", "设置"}},
    {1002, {"Set", "设置"}},
    {1003, {"Detect", "检测"}},
    {2, {"Exit", "退出"}},
    {1209, {"MosaicMode", "拼接模式"}},
    {1297, {"No Sync Mosaic", "非同步拼接"}},
    {1298, {"Sync Mosaic", "同步拼接"}},
}};

// The caption of a control in kCaptions; empty for any other id.
std::string_view captionFor(int id, bool chinese);

// Labels of a screen cell, in the language of the moment it is built.
inline constexpr TextPair kCellHeightLabel{"Height", "高"};
inline constexpr TextPair kCellWidthLabel{"Width", "宽"};
// Font of the cell's window button and of its labels.
inline constexpr std::string_view kCellFontFamily = "宋体";
inline constexpr int kWindowButtonFontPoints = 20;
inline constexpr int kCellLabelFontPoints = 10;

// "Effects show（…Width<=1024，Height<=768）" for the resolution in force.
std::string effectsShowCaption(int width, int height, bool chinese);
// Caption of the input (1276) or output (1277) group naming window n.
std::string inputGroupCaption(int window, bool chinese);
std::string outputGroupCaption(int window, bool chinese);
// A window button's caption: the window number in three digits ("005").
std::string windowButtonCaption(int window);
// The resolution list's custom entry after the device reported its size.
std::string customResolutionText(int width, int height, int refreshHz, bool chinese);

enum class MessageId {
    IncompleteWidth,    // Auto Calculate: an empty width in the selected row
    IncompleteHeight,   // Auto Calculate: an empty height in the first column
    CalcOutOfRange,     // Auto Calculate: a width or height outside 64..resolution
    SetOutOfRange,      // Set: the window does not fit the resolution
    OddValue,           // Set: a value is odd
    SpecTooLarge,       // typed rows × columns above 6 × 8
    SpecTooSmall,       // typed rows or columns 0 or empty
    SerialPortQuestion, // address radio: the only question whose answer counts
    CannotConnect,      // connect check: the status query went unanswered
    DviSignalConnect,   // connect check: the device could not be made ready
    DviSignalDetect,    // Detect: the device is not ready
    ModeSet,            // after a mosaic-mode frame
};

// A message box: Yes/No buttons, language id 1033 in both languages.
struct MessageText {
    TextPair text;
    TextPair caption;
};

const MessageText& messageText(MessageId id);

} // namespace omnar::mosaic
