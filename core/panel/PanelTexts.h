#pragma once

#include <string>
#include <string_view>

namespace omnar::panel {

// A text of the panel in both languages, worded as the device's operators
// know it (typos and full-width commas included).
struct TextPair {
    std::string_view en;
    std::string_view zh;

    std::string_view in(bool chinese) const { return chinese ? zh : en; }
};

enum class TextId {
    SystemInformation, // message box caption
    MosaicOffOnly,
    IncorrectSource,
    ExtNull,
    ClosePipTextOrTake,
    MainIsYPbPr,
    PreNull,           // "Pre:" label while nothing is preselected
};

const TextPair& panelText(TextId id);

// Text of the "Pre:" label for a preselected source code; "NULL" in both
// languages for a code without a source.
std::string preLabelText(int sourceCode, bool chinese);

// Captions the status decoder gives the V2 and AUTO/TAKE keys.
inline constexpr std::string_view kV2Caption = "V2";
inline constexpr std::string_view kYPbPrCaption = "YPbPr";
inline constexpr std::string_view kAutoCaption = "AUTO";
inline constexpr std::string_view kTakeCaption = "TAKE";

} // namespace omnar::panel
