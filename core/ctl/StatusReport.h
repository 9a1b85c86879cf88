#pragma once

#include "core/panel/DeviceMirror.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace omnar::ctl {

using JsonValue = std::variant<std::nullptr_t, bool, int, std::string>;

// One item of the device state as the panel shows it.
struct StatusItem {
    std::string key;   // JSON name
    std::string label; // text name
    JsonValue value;
};

// The decoded state, in the order the panel's operator reads it: sources
// and their signals, the Pre source, the window mode, PIP and its layout,
// TEXT, BYPASS, FREEZE, MOSAIC, switch mode, fade, the V2 input's mode and
// the EXT. sub-source.
std::vector<StatusItem> describeStatus(const panel::DeviceMirror& mirror);

// "label: value" lines; JSON null reads "none", booleans "on"/"off" (or
// "yes"/"no" for signals).
std::string statusText(const std::vector<StatusItem>& items);
// One JSON object, one line.
std::string statusJson(const std::vector<StatusItem>& items);

// A JSON string literal.
std::string jsonString(std::string_view text);
std::string jsonValue(const JsonValue& value);

} // namespace omnar::ctl
