#include "core/panel/StatusDecoder.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/panel/PanelTexts.h"

#include <algorithm>
#include <array>
#include <set>

namespace omnar::panel {

namespace {

bool isSource(int code)
{
    return code >= 0 && code < link::kSourceCount;
}

constexpr std::array<int, 3> kLayoutIndicators{ids::IDC_LED_M1, ids::IDC_LED_M2, ids::IDC_LED_M3};
constexpr std::array<int, 3> kLayoutKeys{ids::IDC_M1, ids::IDC_M2, ids::IDC_M3};

// Records the decoder's show/hide/blink steps in order. Several steps may
// touch one indicator (V2 and YPbPr share one, a hidden PIP indicator may be
// shown again), so the last show or hide wins.
class ViewBuilder {
public:
    explicit ViewBuilder(PanelView& view) : m_view(view) {}

    void show(int id) { set(id, IndicatorState::Shown); }
    void hide(int id) { set(id, IndicatorState::Hidden); }
    void blink(int id)
    {
        if (id != 0)
            m_blink.insert(id);
    }
    void showSource(int code) { show(link::indicatorId(code)); }
    void hideSource(int code) { hide(link::indicatorId(code)); }
    void blinkSource(int code) { blink(link::indicatorId(code)); }

    void enable(int id, bool on) { m_view.enabled[id] = on; }
    void check(int id, bool on) { m_view.checked[id] = on; }

    // Blinking wins over a show or hide of the same decode; an indicator that
    // stops blinking is left dark unless a step showed it.
    std::vector<int> finish(const std::vector<int>& previousBlinkSet)
    {
        for (int id : m_blink)
            m_view.indicators[id] = IndicatorState::Blinking;
        for (int id : previousBlinkSet)
            if (!m_blink.contains(id) && !m_view.indicators.contains(id))
                m_view.indicators[id] = IndicatorState::Hidden;
        std::vector<int> set(m_blink.begin(), m_blink.end());
        m_view.blinkSet = set;
        return set;
    }

private:
    void set(int id, IndicatorState s)
    {
        if (id != 0)
            m_view.indicators[id] = s;
    }

    PanelView& m_view;
    std::set<int> m_blink;
};

} // namespace

DecodeResult decodeStatus(const link::Frame& reply, std::uint8_t deviceId, const DeviceMirror& mirror, bool chinese,
                          bool timerRunning)
{
    DecodeResult result;
    result.mirror = mirror;
    if (reply[0] != link::kLeadByte || reply[1] != deviceId || reply[2] != link::cmd::kQuery) {
        result.ignored = true;
        return result;
    }

    DeviceMirror& m = result.mirror;
    ViewBuilder v(result.view);

    // Mode.
    m.mode = statusModeFromByte(reply[4]);
    if (m.mode == StatusMode::None) {
        v.hide(ids::IDC_LED_TEXT);
        v.hide(ids::IDC_LED_PIP);
    }

    // Cut/Fade: adopted once per connection. A value without a radio would
    // travel in every later switch frame, so it is not adopted and the next
    // reply gets its chance.
    const int fade = reply[5];
    if (!m.fadeRadioInitialised && fade < static_cast<int>(link::kFades.size())) {
        m.fadeIndex = fade;
        for (const auto& f : link::kFades)
            v.check(f.radioId, f.index == fade);
        m.fadeRadioInitialised = true;
    }

    // Flag bits.
    const std::uint8_t flags = reply[6];
    m.freeze = flags & 0x01;
    m.bypass = flags & 0x02;
    m.mosaic = flags & 0x04;
    m.v2IsYPbPr = flags & 0x08;
    m.preTakeMode = flags & 0x10;
    m.freeze ? v.show(ids::IDC_LED_FREEZE) : v.hide(ids::IDC_LED_FREEZE);
    m.bypass ? v.show(ids::IDC_LED_BYPASS) : v.hide(ids::IDC_LED_BYPASS);
    m.mosaic ? v.show(ids::IDC_LED_MOSAIC) : v.hide(ids::IDC_LED_MOSAIC);
    result.view.captions[ids::IDC_KEY_V2] = std::string(m.v2IsYPbPr ? kYPbPrCaption : kV2Caption);
    v.check(ids::IDC_PRE_TAKE, m.preTakeMode);
    v.check(ids::IDC_ONE_KEY, !m.preTakeMode);
    result.view.captions[ids::IDC_KEY_AUTO_TAKE] = std::string(m.preTakeMode ? kTakeCaption : kAutoCaption);

    // Main source. Without signal its indicator blinks and main-is-DVI keeps
    // its last value.
    const int main = reply[7] & 0x0F;
    if (reply[8] != 0) {
        v.showSource(main);
        m.mainIsDvi = main == link::kSourceDvi;
    } else {
        v.blinkSource(main);
    }
    m.mainInputGroup = link::inputGroup(main);
    if (isSource(m.mainSource) && m.mainSource != main)
        v.hideSource(m.mainSource);
    m.mainSource = main;
    m.sourceInUse.fill(false);
    if (isSource(main))
        m.sourceInUse[static_cast<std::size_t>(main)] = true;

    // Second source.
    const int second = reply[7] >> 4;
    const bool secondShown = m.modeIs(StatusMode::PipSteady) || m.modeIs(StatusMode::TextSteady)
        || m.modeIs(StatusMode::PreselectHeld);
    if (isSource(m.secondSource))
        v.hideSource(m.secondSource);
    m.secondSource = -1;
    if (m.mode != StatusMode::None && m.mode != StatusMode::MainOnly) {
        v.hide(ids::IDC_LED_PIP);
        v.hide(ids::IDC_LED_TEXT);
        if (isSource(second))
            m.sourceInUse[static_cast<std::size_t>(second)] = true;
        if (secondShown)
            reply[9] != 0 ? v.showSource(second) : v.blinkSource(second);
        switch (m.mode) {
        case StatusMode::PipSteady: v.show(ids::IDC_LED_PIP); break;
        case StatusMode::PipBlinking: v.blink(ids::IDC_LED_PIP); break;
        case StatusMode::TextSteady: v.show(ids::IDC_LED_TEXT); break;
        case StatusMode::TextBlinking: v.blink(ids::IDC_LED_TEXT); break;
        default: break;
        }
    }

    for (int key : kLayoutKeys)
        v.enable(key, false);
    if (m.modeIs(StatusMode::MainOnly)) {
        v.hide(ids::IDC_LED_TEXT);
        v.hide(ids::IDC_LED_PIP);
    }
    if (secondShown)
        m.secondSource = second;

    // PIP layout.
    if (m.pipOpen()) {
        for (int key : kLayoutKeys)
            v.enable(key, true);
        m.pipLayoutIndex = reply[10];
        if (m.pipLayoutIndex < static_cast<int>(kLayoutIndicators.size()))
            for (std::size_t i = 0; i < kLayoutIndicators.size(); ++i)
                static_cast<int>(i) == m.pipLayoutIndex ? v.show(kLayoutIndicators[i]) : v.hide(kLayoutIndicators[i]);
    } else {
        m.pipLayoutIndex = 0;
        for (int id : kLayoutIndicators)
            v.hide(id);
    }

    // EXT. sub-source: an unknown index unchecks every radio and keeps the last known one.
    const int ext = reply[11];
    for (const auto& e : link::kExtSubSources)
        v.check(e.radioId, e.index == ext);
    if (ext < static_cast<int>(link::kExtSubSources.size()))
        m.extSubSource = ext;

    // "Pre:" label.
    PanelView::Label label;
    if (m.modeIs(StatusMode::PreselectHeld)) {
        label = {true, preLabelText(m.secondSource, chinese)};
    } else if (m.modeIs(StatusMode::PreselectEmpty)) {
        label = {true, std::string(panelText(TextId::PreNull).in(chinese))};
    }
    result.view.preLabel = label;

    // AUTO/TAKE: TAKE needs no second window; AUTO only adjusts VGA pictures.
    bool autoTake = !m.secondWindow();
    if (!m.preTakeMode) {
        const bool vgaMain = m.mainSource == link::kSourceVga || m.mainSource == link::kSourceVga2;
        const bool vgaExt = m.inUse(link::kSourceExt) && m.extSubSource == 2;
        autoTake = autoTake && (vgaMain || vgaExt) && !m.bypass;
    }
    v.enable(ids::IDC_KEY_AUTO_TAKE, autoTake);

    if (!timerRunning) {
        v.enable(ids::IDC_KEY_MOSAIC, m.modeIs(StatusMode::MainOnly) && m.mainSource == link::kSourceDvi);
        v.enable(ids::IDC_KEY_BYPASS, !m.secondWindow() && !m.mosaic);
        v.enable(ids::IDC_KEY_FREEZE, !m.secondWindow());
        v.enable(ids::IDC_KEY_PIP, !m.textOpen());
        v.enable(ids::IDC_KEY_TEXT, !m.pipOpen() && !m.preselection() && !m.mosaic);
        v.enable(ids::IDC_ONE_KEY, !m.secondWindow());
        v.enable(ids::IDC_PRE_TAKE, !m.secondWindow());
    }

    m.blinkSet = v.finish(mirror.blinkSet);
    return result;
}

DecodeResult disconnectMirror(const DeviceMirror& mirror)
{
    DecodeResult result;
    result.mirror = mirror;
    ViewBuilder v(result.view);
    // A lamp left lit would claim a device state nobody watches any more.
    for (int id : ids::kIndicators)
        v.hide(id);
    // Its lamp is dark already: the first reply of the next connection must
    // not darken the lamp of a source that is now the main one.
    result.mirror.secondSource = -1;
    result.mirror.fadeRadioInitialised = false;
    // Nothing flashes without a link.
    result.mirror.blinkSet = v.finish(mirror.blinkSet);
    return result;
}

} // namespace omnar::panel
