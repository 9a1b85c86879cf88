#pragma once

#include "core/setup/Resolution.h"
#include "core/util/TextPair.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

// Every text of the setup and resolution windows, in English and Chinese,
// worded as the operators know them (double blanks and typos included).
namespace omnar::setup {

using util::TextPair;

struct Caption {
    int controlId;
    TextPair text;
};

// ---- the setup window (CSetScreen)
inline constexpr TextPair kSetScreenTitle{"Screen Program", "屏幕参数"};
// Captions set at opening, every Save and Reset included.
std::span<const Caption> setScreenCaptions();
// Texts the template gives and the language does not change.
std::span<const Caption> setScreenFixedTexts();

inline constexpr TextPair kSetSuccessfully{"Set successfully", "设置成功"};
inline constexpr std::string_view kRangeLabel64 = "(0~64)";
inline constexpr std::string_view kRangeLabel100 = "(0~100)";
// The brightness range label for a range flag.
constexpr std::string_view brightnessRangeLabel(int rangeFlag) { return rangeFlag == 0 ? kRangeLabel64 : kRangeLabel100; }
// The corner label of a preview area: "(%d,%d)".
std::string cornerLabel(OutputSize out);

// Tooltip of a geometry edit (the same in both languages); empty for any
// other control. Heights read ">=64", the least a Save accepts.
std::string_view geometryTooltip(int editId);

// The audio lists' entries, by list position.
inline constexpr std::array<std::string_view, 8> kAudioChannels{"V1", "V2/YPbPr", "VGA1", "VGA2",
                                                               "HDMI", "DVI", "DP", "EXT."};

// ---- the resolution window (CCAdvanced)
inline constexpr TextPair kResolutionTitle{"Resolution", "分辨率"};
std::span<const Caption> resolutionCaptions();

// ---- message boxes (Yes and No; the answer is not used)
enum class MessageId {
    ValueOutOfRange,
    OddValue,
    SpinUp,           // a key-colour step above the top
    SpinDown,         // a key-colour step below zero
    SameAudioChannel,
    DotClockOutOfRange,
};

struct MessageText {
    TextPair text;
    TextPair caption;
    int languageIdEn; // the language id the box is given, per language
    int languageIdZh;
};
const MessageText& messageText(MessageId id);

} // namespace omnar::setup
