#include "sim/SimDevice.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"
#include "sim/DeviceCodes.h"

#include <cstring>

namespace omnar::sim {

namespace {

namespace cmd = link::cmd;
using code::u8;

bool isSource(int v)
{
    return v >= 0 && v < link::kSourceCount;
}

} // namespace

SimDevice::SimDevice(SimOptions opts)
{
    auto& s = m_state;
    s.deviceId = opts.deviceId;
    s.signal = opts.signal;
    s.extSubSource = (opts.extSubSource >= 0 && opts.extSubSource <= 5) ? opts.extSubSource : 0;
    s.ypbpr = opts.ypbpr;
    s.brightnessRange = opts.brightnessRange;
    s.brightness = opts.brightnessRange == 0 ? 64 : 50;

    const bool knownMode = opts.resolutionIndex >= 0 && opts.resolutionIndex <= setup::kCustomResolutionIndex;
    s.resolutionIndex = knownMode ? opts.resolutionIndex : 6;
    s.custom = opts.custom;
    resetWindows();

    s.mainSource = normalise(isSource(opts.mainSource) ? opts.mainSource : link::kSourceV1);
    s.pipLayout = (opts.pipLayout >= 0 && opts.pipLayout <= 2) ? opts.pipLayout : 0;
    // No second window over the YPbPr input, as when the PIP/PBP key is pressed.
    s.pipOpen = opts.pipOpen && s.mainSource != link::kSourceYPbPr;
    s.bypass = opts.bypass;
    s.mosaic = opts.mosaic;
    s.syncMosaic = opts.syncMosaic;
    s.stateValid = opts.stateValid;
}

void SimDevice::setSignal(int code, bool present)
{
    if (code == link::kSourceYPbPr)
        code = link::kSourceV2;
    if (code >= 0 && code < static_cast<int>(kInputCount))
        m_state.signal[static_cast<std::size_t>(code)] = present;
}

void SimDevice::setExtSubSource(int index)
{
    if (index >= 0 && index <= 5)
        m_state.extSubSource = index;
}

int SimDevice::normalise(int code) const
{
    if (code == link::kSourceV2 || code == link::kSourceYPbPr)
        return m_state.ypbpr ? link::kSourceYPbPr : link::kSourceV2;
    return code;
}

bool SimDevice::hasSignal(int code) const
{
    if (code == link::kSourceYPbPr)
        code = link::kSourceV2;
    if (code < 0 || code >= static_cast<int>(kInputCount))
        return false;
    // EXT. shows a picture only when something feeds it.
    if (code == link::kSourceExt && m_state.extSubSource == 0)
        return false;
    return m_state.signal[static_cast<std::size_t>(code)];
}

int SimDevice::statusMode() const
{
    if (m_state.pipOpen)
        return hasSignal(m_state.pipSource) ? 2 : 1;
    if (m_state.textOpen)
        return hasSignal(m_state.textSource) ? 4 : 3;
    if (m_state.preTake)
        return m_state.preselected ? 8 : 7;
    return 0;
}

// The source in the high nibble of status byte 7; -1 when no second window or pre-selection.
int SimDevice::secondSource() const
{
    if (m_state.pipOpen)
        return m_state.pipSource;
    if (m_state.textOpen)
        return m_state.textSource;
    if (m_state.preTake && m_state.preselected)
        return *m_state.preselected;
    return -1;
}

std::optional<link::Frame> SimDevice::handle(const link::Frame& in)
{
    if (in[0] != link::kLeadByte || link::frameChecksum(in) != in[link::kChecksumIndex])
        return std::nullopt;
    // Several processors may share one serial line: only frames for this id count.
    if (in[1] != m_state.deviceId)
        return std::nullopt;
    if (in[2] != cmd::kQuery) {
        apply(in);
        return std::nullopt;
    }
    const std::uint8_t sub = in[3];
    if (sub == cmd::kStatusSubCode || sub == cmd::kIdentSubCode ||
        (sub >= code::kReadOutput && sub <= code::kReadColour))
        return reply(sub);
    return std::nullopt;
}

link::Frame SimDevice::reply(std::uint8_t subCode) const
{
    if (subCode == cmd::kStatusSubCode)
        return link::withChecksum(statusReply());
    if (subCode == cmd::kIdentSubCode) {
        link::Frame f = link::makeFrame(m_state.deviceId, cmd::kQuery, {cmd::kIdentSubCode});
        std::memcpy(&f[4], cmd::kIdentText, 8);
        return link::withChecksum(f);
    }
    return link::withChecksum(readBack(subCode));
}

// Byte 6 carries flag bits 0..4 only, so it reads 0xFF ("no valid state")
// only when the device is told to have none.
link::Frame SimDevice::statusReply() const
{
    const auto& s = m_state;
    const int mode = statusMode();
    const int second = secondSource();
    std::uint8_t flags = 0;
    flags |= s.freeze ? 0x01 : 0;
    flags |= s.bypass ? 0x02 : 0;
    flags |= s.mosaic ? 0x04 : 0;
    flags |= s.ypbpr ? 0x08 : 0;
    flags |= s.preTake ? 0x10 : 0;
    if (!s.stateValid)
        flags = 0xFF;
    const std::uint8_t sources = u8(((second < 0 ? 0 : second) << 4) | (s.mainSource & 0x0F));
    return link::makeFrame(s.deviceId, cmd::kQuery,
                           {cmd::kStatusSubCode, u8(mode), u8(s.fadeIndex), flags, sources,
                            u8(hasSignal(s.mainSource) ? 1 : 0), u8(second >= 0 && hasSignal(second) ? 1 : 0),
                            u8(s.pipLayout), u8(s.extSubSource)});
}

// The mosaic side answers first: while MOSAIC is on it owns one window slot.
// 13 and 14 hold nothing known: their reply carries only the sub-code.
link::Frame SimDevice::readBack(std::uint8_t subCode) const
{
    link::Frame f = link::makeFrame(m_state.deviceId, cmd::kQuery, {subCode});
    if (!readMosaic(subCode, f) && !readWindows(subCode, f))
        readPicture(subCode, f);
    return f;
}

// Unknown commands and out-of-range arguments are ignored, as by the hardware.
// The mosaic side sees a frame before the window side: some window codes mean
// something else to a screen of a wall.
void SimDevice::apply(const link::Frame& f)
{
    if (!applySwitching(f) && !applyMosaic(f) && !applyWindows(f))
        applyPicture(f);
}

bool SimDevice::applySwitching(const link::Frame& f)
{
    auto& s = m_state;
    const std::uint8_t a = f[3];
    switch (f[2]) {
    case cmd::kSwitchMain:
        if (!isSource(f[4]))
            break;
        if (a <= 3)
            s.fadeIndex = a;
        s.mainSource = normalise(f[4]);
        break;
    case cmd::kPipOpenClose:
        if (a == 0) {
            s.pipOpen = false;
        } else if (a == 1 && s.mainSource != link::kSourceYPbPr) {
            // One second window at a time: the picture-in-picture replaces the text.
            s.pipOpen = true;
            s.textOpen = false;
            s.pipSource = normalise(s.pipSource);
        }
        break;
    case cmd::kPipSource:
        if (isSource(a))
            s.pipSource = normalise(a);
        break;
    case cmd::kTextOpenClose:
        if (a == 0) {
            s.textOpen = false;
        } else if (a == 1 && s.mainSource != link::kSourceYPbPr) {
            s.textOpen = true;
            s.pipOpen = false;
            s.textSource = normalise(s.textSource);
        }
        break;
    case cmd::kTextSource:
        if (isSource(a))
            s.textSource = normalise(a);
        break;
    case cmd::kSwitchMode:
        if (a <= 1) {
            s.preTake = a == 1;
            s.preselected.reset();
        }
        break;
    case cmd::kPreselectEmpty:
    case cmd::kPreselectHeld:
        if (isSource(a) && s.preTake)
            s.preselected = normalise(a);
        break;
    case cmd::kTake:
        if (s.preTake && s.preselected) {
            if (a <= 3)
                s.fadeIndex = a;
            s.mainSource = *s.preselected;
            s.preselected.reset();
        }
        break;
    case code::kV2Mode:
        // The V2 input changes its nature: every place it appears follows.
        if (a <= 1) {
            s.ypbpr = a == 1;
            s.mainSource = normalise(s.mainSource);
            s.pipSource = normalise(s.pipSource);
            s.textSource = normalise(s.textSource);
            if (s.preselected)
                s.preselected = normalise(*s.preselected);
        }
        break;
    case cmd::kLayout:
        if (a <= 2)
            s.pipLayout = a;
        break;
    case cmd::kBypass:
        s.bypass = a != 0;
        break;
    case cmd::kAuto:
        ++s.autoRuns;
        break;
    case cmd::kFreeze:
        s.freeze = a != 0;
        break;
    default:
        return false;
    }
    return true;
}

} // namespace omnar::sim
