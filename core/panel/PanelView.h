#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace omnar::panel {

enum class IndicatorState {
    Unchanged, // left as it is
    Shown,
    Hidden,
    Blinking, // flashed by the blink timer (member of the blink set)
};

// What the panel's widgets must change after a decision. Every map holds only
// the controls the decision touches; a control absent from a map, or an empty
// optional, is left as it is. The GUI applies it on its own thread.
struct PanelView {
    // Final state of each touched indicator, the decoder's steps already
    // applied in order. An indicator that leaves the blink set and is not
    // shown again is Hidden: a flash always ends dark.
    std::map<int, IndicatorState> indicators;
    // The new blink set (ascending control ids); empty optional = unchanged.
    std::optional<std::vector<int>> blinkSet;
    std::map<int, bool> checked;
    std::map<int, bool> enabled;
    std::map<int, std::string> captions;

    // The "Pre:" label; the text is only written when the label is shown.
    struct Label {
        bool visible = false;
        std::string text;
    };
    std::optional<Label> preLabel;

    IndicatorState indicator(int id) const
    {
        auto it = indicators.find(id);
        return it == indicators.end() ? IndicatorState::Unchanged : it->second;
    }
    std::optional<bool> isChecked(int id) const { return find(checked, id); }
    std::optional<bool> isEnabled(int id) const { return find(enabled, id); }
    std::optional<std::string> caption(int id) const { return find(captions, id); }

    // Adds a later decision: whatever it names replaces what this one said.
    PanelView& then(const PanelView& later)
    {
        for (const auto& [id, state] : later.indicators)
            if (state != IndicatorState::Unchanged)
                indicators[id] = state;
        if (later.blinkSet)
            blinkSet = later.blinkSet;
        for (const auto& [id, on] : later.checked)
            checked[id] = on;
        for (const auto& [id, on] : later.enabled)
            enabled[id] = on;
        for (const auto& [id, text] : later.captions)
            captions[id] = text;
        if (later.preLabel)
            preLabel = later.preLabel;
        return *this;
    }

    bool empty() const
    {
        return indicators.empty() && !blinkSet && checked.empty() && enabled.empty() && captions.empty() && !preLabel;
    }

private:
    template <typename T>
    static std::optional<T> find(const std::map<int, T>& m, int id)
    {
        auto it = m.find(id);
        if (it == m.end())
            return std::nullopt;
        return it->second;
    }
};

} // namespace omnar::panel
