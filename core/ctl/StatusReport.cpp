#include "core/ctl/StatusReport.h"

#include "core/link/Sources.h"

#include <algorithm>
#include <cstdio>

namespace omnar::ctl {

namespace {

using panel::DeviceMirror;
using panel::StatusMode;

JsonValue sourceName(int code)
{
    if (code < 0)
        return nullptr;
    if (const auto info = link::sourceInfo(code))
        return std::string(info->name);
    return "code " + std::to_string(code);
}

// A source's indicator blinks while its input has no signal.
JsonValue signalOf(const DeviceMirror& m, int code)
{
    const int indicator = link::indicatorId(code);
    if (code < 0 || indicator == 0)
        return nullptr;
    return std::find(m.blinkSet.begin(), m.blinkSet.end(), indicator) == m.blinkSet.end();
}

std::string modeText(StatusMode mode)
{
    switch (mode) {
    case StatusMode::MainOnly: return "main only";
    case StatusMode::PipBlinking: return "PIP (blinking)";
    case StatusMode::PipSteady: return "PIP";
    case StatusMode::TextBlinking: return "TEXT (blinking)";
    case StatusMode::TextSteady: return "TEXT";
    case StatusMode::PreselectEmpty: return "pre-selection empty";
    case StatusMode::PreselectHeld: return "pre-selection held";
    case StatusMode::None: break;
    }
    return "unknown";
}

JsonValue preSource(const DeviceMirror& m)
{
    if (m.modeIs(StatusMode::PreselectEmpty))
        return std::string("NULL");
    if (m.modeIs(StatusMode::PreselectHeld))
        return m.secondSource < 0 ? JsonValue(std::string("NULL")) : sourceName(m.secondSource);
    return nullptr;
}

JsonValue named(int index, const auto& table)
{
    for (const auto& row : table)
        if (row.index == index)
            return std::string(row.name);
    return index;
}

bool isSignal(const std::string& key)
{
    return key.ends_with("_signal");
}

} // namespace

std::vector<StatusItem> describeStatus(const DeviceMirror& m)
{
    const JsonValue layout = m.pipOpen() ? JsonValue("M" + std::to_string(m.pipLayoutIndex + 1)) : nullptr;
    return {
        {"main_source", "main source", sourceName(m.mainSource)},
        {"main_signal", "main signal", signalOf(m, m.mainSource)},
        {"second_source", "second source", sourceName(m.secondSource)},
        {"second_signal", "second signal", signalOf(m, m.secondSource)},
        {"pre_source", "pre source", preSource(m)},
        {"mode", "mode", modeText(m.mode)},
        {"pip", "PIP", m.pipOpen()},
        {"pip_layout", "PIP layout", layout},
        {"text", "TEXT", m.textOpen()},
        {"bypass", "BYPASS", m.bypass},
        {"freeze", "FREEZE", m.freeze},
        {"mosaic", "MOSAIC", m.mosaic},
        {"switch_mode", "switch mode", std::string(m.preTakeMode ? "Pre + TAKE" : "One Key")},
        {"fade", "fade", named(m.fadeIndex, link::kFades)},
        {"v2_input", "V2 input", std::string(m.v2IsYPbPr ? "YPbPr" : "V2")},
        {"ext_sub_source", "EXT. sub-source", named(m.extSubSource, link::kExtSubSources)},
    };
}

std::string statusText(const std::vector<StatusItem>& items)
{
    std::string out;
    for (const auto& item : items) {
        std::string value;
        if (std::holds_alternative<std::nullptr_t>(item.value))
            value = "none";
        else if (const bool* b = std::get_if<bool>(&item.value))
            value = isSignal(item.key) ? (*b ? "yes" : "no") : (*b ? "on" : "off");
        else if (const int* n = std::get_if<int>(&item.value))
            value = std::to_string(*n);
        else
            value = std::get<std::string>(item.value);
        out += item.label + ": " + value + "\n";
    }
    return out;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
                out += esc;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string jsonValue(const JsonValue& value)
{
    if (std::holds_alternative<std::nullptr_t>(value))
        return "null";
    if (const bool* b = std::get_if<bool>(&value))
        return *b ? "true" : "false";
    if (const int* n = std::get_if<int>(&value))
        return std::to_string(*n);
    return jsonString(std::get<std::string>(value));
}

std::string statusJson(const std::vector<StatusItem>& items)
{
    std::string out = "{";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? "," : "") + jsonString(items[i].key) + ":" + jsonValue(items[i].value);
    return out + "}\n";
}

} // namespace omnar::ctl
