#pragma once

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
