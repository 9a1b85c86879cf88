#include "core/panel/PanelKeys.h"

#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"

namespace omnar::panel {

namespace cmd = link::cmd;

namespace {

Refusal refuse(Refusal::Kind kind, TextId id, bool chinese)
{
    Refusal r;
    r.kind = kind;
    r.textId = id;
    r.text = std::string(panelText(id).in(chinese));
    if (kind == Refusal::Kind::MessageBox)
        r.caption = std::string(panelText(TextId::SystemInformation).in(chinese));
    return r;
}

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
    std::optional<TextId> refusal;
    const bool sameGroup = link::inputGroup(c) == m.mainInputGroup;
    if (!m.secondWindow() && !m.preselection()) {
        if (m.mosaic)
            refusal = TextId::MosaicOffOnly;
    } else if (m.preselection()) {
        if (sameGroup)
            refusal = TextId::IncorrectSource;
    } else if (c != m.mainSource && sameGroup) {
        refusal = TextId::IncorrectSource;
    }

    if (refusal) {
        out.refusal = refuse(Refusal::Kind::InfoLine, *refusal, chinese);
        return;
    }
    // BYPASS stays untouchable while a switch is on its way; a refused key
    // sends nothing and so leaves the BYPASS key as it was.
    if (m.bypass)
        out.view.enabled[ids::kBypassKey] = false;
    out.command = command;
}

// The V2 key while the device runs V2 as YPbPr: it only switches the main
// window.
void ypbprKey(KeyOutcome& out, std::uint8_t id, bool chinese)
{
    const DeviceMirror& m = out.mirror;
    if (m.mosaic)
        out.refusal = refuse(Refusal::Kind::InfoLine, TextId::MosaicOffOnly, chinese);
    else if (m.secondWindow() || m.preselection())
        out.refusal = refuse(Refusal::Kind::MessageBox, TextId::ClosePipTextOrTake, chinese);
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
            out.refusal = refuse(Refusal::Kind::MessageBox, TextId::ExtNull, chinese);
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
    case ids::kPipKey:
    case ids::kTextKey: {
        const bool pip = controlId == ids::kPipKey;
        if (mainIsYPbPr(m))
            out.refusal = refuse(Refusal::Kind::MessageBox, TextId::MainIsYPbPr, chinese);
        else if (pip)
            out.command = cmd::pipOpenClose(deviceId, !m.pipOpen());
        else
            out.command = cmd::textOpenClose(deviceId, !m.textOpen());
        break;
    }
    case ids::kM1Key:
    case ids::kM2Key:
    case ids::kM3Key:
        out.command = cmd::layout(deviceId, controlId - ids::kM1Key);
        break;
    // The panel's copy flips at once so a second press toggles back; the next
    // status reply puts the device's own state in its place.
    case ids::kBypassKey:
        m.bypass = !m.bypass;
        out.command = cmd::bypass(deviceId, m.bypass);
        break;
    case ids::kMosaicKey:
        m.mosaic = !m.mosaic;
        out.command = cmd::mosaic(deviceId, m.mosaic);
        break;
    case ids::kFreezeKey:
        m.freeze = !m.freeze;
        out.command = cmd::freeze(deviceId, m.freeze);
        break;
    case ids::kAutoTakeKey:
        out.command = m.preTakeMode ? cmd::take(deviceId, m.fadeIndex) : cmd::autoAdjust(deviceId);
        break;
    case ids::kOneKeySwitch:
        out.command = cmd::switchMode(deviceId, false);
        break;
    case ids::kPreTakeSwitch:
        out.command = cmd::switchMode(deviceId, true);
        break;
    default:
        out.handled = false;
        break;
    }
    return out;
}

} // namespace omnar::panel
