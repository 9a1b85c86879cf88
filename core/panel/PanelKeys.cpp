#include "core/panel/PanelKeys.h"

#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"

namespace omnar::panel {

namespace cmd = link::cmd;

namespace {

// Source key for code `c`: switch the main window, feed the open second
// window, or preselect, unless the guard refuses.
void sourceKey(KeyOutcome& out, int c, std::uint8_t id, bool chinese)
{
    const DeviceMirror& m = out.mirror;
    cmd::Command command;
    if (m.pipOpen())
        command = cmd::pipSource(id, c);
    else if (m.textOpen())
        command = cmd::textSource(id, c);
    else if (m.preselection())
        command = cmd::preselect(id, c, m.modeIs(StatusMode::PreselectHeld));
    else
        command = cmd::switchMainSource(id, m.fadeIndex, c);

    // A second window or a pre-selection may not take a source of the main
    // window's group; a second window may take the main source itself.
    std::optional<TextId> why;
    const bool sameGroup = link::inputGroup(c) == m.mainInputGroup;
    if (!m.secondWindow() && !m.preselection()) {
        if (m.mosaic)
            why = TextId::MosaicOffOnly;
    } else if (m.preselection()) {
        if (sameGroup)
            why = TextId::IncorrectSource;
    } else if (c != m.mainSource && sameGroup) {
        why = TextId::IncorrectSource;
    }

    if (why) {
        out.refusal = refusal(Refusal::Kind::InfoLine, *why, chinese);
        return;
    }
    // BYPASS stays untouchable while a switch is on its way; a refused key
    // sends nothing and so leaves the BYPASS key as it was.
    if (m.bypass)
        out.view.enabled[ids::IDC_KEY_BYPASS] = false;
    out.command = command;
}

// The V2 key while the device runs V2 as YPbPr: it only switches the main
// window.
void ypbprKey(KeyOutcome& out, std::uint8_t id, bool chinese)
{
    const DeviceMirror& m = out.mirror;
    if (m.mosaic)
        out.refusal = refusal(Refusal::Kind::InfoLine, TextId::MosaicOffOnly, chinese);
    else if (m.secondWindow() || m.preselection())
        out.refusal = refusal(Refusal::Kind::MessageBox, TextId::ClosePipTextOrTake, chinese);
    else
        out.command = cmd::switchMainSource(id, m.fadeIndex, link::kSourceYPbPr);
}

bool mainIsYPbPr(const DeviceMirror& m)
{
    return m.v2IsYPbPr && m.mainSource == link::kSourceYPbPr;
}

} // namespace

KeyOutcome pressKey(int controlId, const DeviceMirror& mirror, std::uint8_t deviceId, bool chinese)
{
    KeyOutcome out;
    out.mirror = mirror;
    out.handled = true;
    DeviceMirror& m = out.mirror;

    if (auto source = link::sourceForKey(controlId)) {
        if (*source == link::kSourceV2 && m.v2IsYPbPr)
            ypbprKey(out, deviceId, chinese);
        else if (*source == link::kSourceExt && m.extSubSource == 0)
            out.refusal = refusal(Refusal::Kind::MessageBox, TextId::ExtNull, chinese);
        else
            sourceKey(out, *source, deviceId, chinese);
        return out;
    }

    for (const auto& f : link::kFades) {
        if (f.radioId != controlId)
            continue;
        m.fadeIndex = f.index;
        for (const auto& other : link::kFades)
            out.view.checked[other.radioId] = other.index == f.index;
        return out;
    }

    switch (controlId) {
    case ids::IDC_KEY_PIP:
    case ids::IDC_KEY_TEXT: {
        const bool pip = controlId == ids::IDC_KEY_PIP;
        if (mainIsYPbPr(m))
            out.refusal = refusal(Refusal::Kind::MessageBox, TextId::MainIsYPbPr, chinese);
        else if (pip)
            out.command = cmd::pipOpenClose(deviceId, !m.pipOpen());
        else
            out.command = cmd::textOpenClose(deviceId, !m.textOpen());
        break;
    }
    case ids::IDC_M1:
    case ids::IDC_M2:
    case ids::IDC_M3:
        out.command = cmd::layout(deviceId, controlId - ids::IDC_M1);
        break;
    // The panel's copy flips at once so a second press toggles back; the next
    // status reply puts the device's own state in its place.
    case ids::IDC_KEY_BYPASS:
        m.bypass = !m.bypass;
        out.command = cmd::bypass(deviceId, m.bypass);
        break;
    case ids::IDC_KEY_MOSAIC:
        m.mosaic = !m.mosaic;
        out.command = cmd::mosaic(deviceId, m.mosaic);
        break;
    case ids::IDC_KEY_FREEZE:
        m.freeze = !m.freeze;
        out.command = cmd::freeze(deviceId, m.freeze);
        break;
    case ids::IDC_KEY_AUTO_TAKE:
        out.command = m.preTakeMode ? cmd::take(deviceId, m.fadeIndex) : cmd::autoAdjust(deviceId);
        break;
    case ids::IDC_ONE_KEY:
        out.command = cmd::switchMode(deviceId, false);
        break;
    case ids::IDC_PRE_TAKE:
        out.command = cmd::switchMode(deviceId, true);
        break;
    default:
        out.handled = false;
        break;
    }
    return out;
}

} // namespace omnar::panel
