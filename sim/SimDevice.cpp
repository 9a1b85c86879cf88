#include "sim/SimDevice.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"

#include <cstring>

namespace omnar::sim {

namespace {

namespace cmd = link::cmd;

// Command codes the setup, resolution and mosaic dialogs send (the panel's own are in the catalogue).
enum : std::uint8_t {
    kResolution = 0x0D,
    kOutputWindow = 0x0E,
    kCustomResolution = 0x0F,
    kHotSpare = 0x13,
    kTextKeying = 0x15,
    kBrightness = 0x16,
    kSharpness = 0x17,
    kColour = 0x18,
    kAudio = 0x19,
    kV2Mode = 0x1A,
    kMosaicMode = 0x22,
    kMosaicInput = 0x23,
    kWindowM1 = 0x2A,
    kWindowM2 = 0x2B,
    kWindowM3 = 0x2C,
    kBias = 0x2D,
};

// Read-back sub-codes.
enum : std::uint8_t {
    kReadOutput = 3,
    kReadMosaicMode = 4,
    kReadPicture = 5,
    kReadKeying = 6,
    kReadFirstWindow = 7,
    kReadLastWindow = 12,
    kReadCustom = 15,
    kReadColour = 16,
};

constexpr int kCustomIndex = 16;

constexpr std::array<OutputSize, 16> kFixedResolutions{{
    {1024, 768}, {1024, 768}, {1280, 1024}, {1280, 1024}, {1600, 1200}, {1920, 1080},
    {1920, 1080}, {1366, 768}, {1440, 900}, {2048, 1152}, {2560, 816}, {2304, 1152},
    {1920, 1200}, {1200, 1600}, {1080, 1920}, {1536, 1536},
}};

WindowRect rectFrom(const link::Frame& f)
{
    return {link::getBigEndian16(f, 4), link::getBigEndian16(f, 6), link::getBigEndian16(f, 8),
            link::getBigEndian16(f, 10)};
}

void putRect(link::Frame& f, const WindowRect& r)
{
    link::putBigEndian16(f, 4, r.hStart);
    link::putBigEndian16(f, 6, r.width);
    link::putBigEndian16(f, 8, r.vStart);
    link::putBigEndian16(f, 10, r.height);
}

bool isEmpty(const WindowRect& r)
{
    return r.width == 0 || r.height == 0;
}

std::uint8_t u8(int v)
{
    return static_cast<std::uint8_t>(v);
}

std::uint16_t u16(int v)
{
    return static_cast<std::uint16_t>(v);
}

// Audio channel as a nibble of the read-back: positions 0..7 and 8 (YPbPr) as they are;
// "no selection" (0xFF) does not fit and reads back as 0xF.
std::uint8_t audioNibble(std::uint8_t v)
{
    return v <= 8 ? v : 0x0F;
}

} // namespace

std::optional<OutputSize> fixedResolution(int index)
{
    if (index < 0 || index >= static_cast<int>(kFixedResolutions.size()))
        return std::nullopt;
    return kFixedResolutions[static_cast<std::size_t>(index)];
}

SimDevice::SimDevice(SimOptions opts)
{
    m_state.deviceId = opts.deviceId;
    m_state.signal = opts.signal;
    m_state.extSubSource = (opts.extSubSource >= 0 && opts.extSubSource <= 5) ? opts.extSubSource : 0;
    m_state.ypbpr = opts.ypbpr;
    m_state.brightnessRange = opts.brightnessRange;
    m_state.brightness = opts.brightnessRange == 0 ? 64 : 50;

    const auto size = *fixedResolution(m_state.resolutionIndex);
    const std::uint16_t w = size.width, h = size.height;
    m_state.output = {0, w, 0, h};
    // M1 picture in picture, M2 side by side, M3 a small window top left.
    m_state.layouts[0] = {{0, w, 0, h}, {u16(w / 2), u16(w / 2 - w / 16), u16(h / 2), u16(h / 2 - h / 16)}};
    m_state.layouts[1] = {{0, u16(w / 2), 0, h}, {u16(w / 2), u16(w / 2), 0, h}};
    m_state.layouts[2] = {{0, w, 0, h}, {u16(w / 16), u16(w / 4), u16(h / 16), u16(h / 4)}};
    m_state.mosaicInput = {0, w, 0, h};
    m_state.mosaicOutput = {0, w, 0, h};
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
    if (in[1] != m_state.deviceId)
        return std::nullopt;
    if (in[2] != cmd::kQuery) {
        apply(in);
        return std::nullopt;
    }
    const std::uint8_t sub = in[3];
    if (sub == cmd::kStatusSubCode || sub == cmd::kIdentSubCode || (sub >= kReadOutput && sub <= kReadColour))
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
    const std::uint8_t sources = u8(((second < 0 ? 0 : second) << 4) | (s.mainSource & 0x0F));
    return link::makeFrame(s.deviceId, cmd::kQuery,
                           {cmd::kStatusSubCode, u8(mode), u8(s.fadeIndex), flags, sources,
                            u8(hasSignal(s.mainSource) ? 1 : 0), u8(second >= 0 && hasSignal(second) ? 1 : 0),
                            u8(s.pipLayout), u8(s.extSubSource)});
}

link::Frame SimDevice::readBack(std::uint8_t subCode) const
{
    const auto& s = m_state;
    link::Frame f = link::makeFrame(s.deviceId, cmd::kQuery, {subCode});
    switch (subCode) {
    case kReadOutput:
        f[3] = u8(s.resolutionIndex);
        putRect(f, s.output);
        break;
    case kReadMosaicMode:
        f[3] = s.syncMosaic ? 0x02 : 0x00;
        putRect(f, s.mosaicInput);
        break;
    case kReadPicture:
        f[3] = u8(s.brightness);
        f[4] = u8(s.bias);
        f[6] = u8(s.sharpness);
        f[7] = u8((audioNibble(s.audio1) << 4) | audioNibble(s.audio2));
        f[8] = u8((s.hotSpare[0] ? 1 : 0) | (s.hotSpare[1] ? 2 : 0) | (s.hotSpare[2] ? 4 : 0));
        f[9] = u8(s.brightnessRange);
        break;
    case kReadKeying:
        f[3] = s.keyAbove ? 1 : 0;
        f[4] = s.keyColour[0];
        f[5] = s.keyColour[1];
        f[6] = s.keyColour[2];
        break;
    case kReadCustom:
        link::putBigEndian16(f, 4, s.custom.width);
        link::putBigEndian16(f, 6, s.custom.height);
        f[8] = s.custom.refresh;
        break;
    case kReadColour:
        f[4] = u8(s.colour[link::kSourceV1]);
        f[5] = u8(s.colour[link::kSourceV2]);
        f[6] = u8(s.colour[link::kSourceHdmi]);
        f[8] = u8(s.colour[link::kSourceDp]);
        f[9] = u8(s.colour[link::kSourceExt]);
        f[10] = u8(s.colour[link::kSourceYPbPr]);
        break;
    default:
        if (subCode >= kReadFirstWindow && subCode <= kReadLastWindow) {
            const auto& lw = s.layouts[static_cast<std::size_t>((subCode - kReadFirstWindow) / 2)];
            putRect(f, (subCode - kReadFirstWindow) % 2 == 0 ? lw.main : lw.pip);
        }
        // 13 and 14 are not known to hold anything: the reply carries only the sub-code.
        break;
    }
    return f;
}

void SimDevice::apply(const link::Frame& f)
{
    auto& s = m_state;
    const std::uint8_t a = f[3];
    const bool validSource3 = a < link::kSourceCount;
    switch (f[2]) {
    case cmd::kSwitchMain:
        if (f[4] >= link::kSourceCount)
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
        if (validSource3)
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
        if (validSource3)
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
        if (validSource3 && s.preTake)
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
    case kResolution:
        if (a <= kCustomIndex)
            setResolution(a);
        break;
    case kOutputWindow:
        if (a == 0 && !isEmpty(rectFrom(f)))
            s.output = rectFrom(f);
        break;
    case kCustomResolution: {
        const CustomResolution c{link::getBigEndian16(f, 4), link::getBigEndian16(f, 6), f[8]};
        if (a == 0 && c.width != 0 && c.height != 0 && c.refresh != 0) {
            s.custom = c;
            setResolution(kCustomIndex);
        }
        break;
    }
    case kHotSpare:
        s.hotSpare = {a != 0, f[4] != 0, f[5] != 0};
        break;
    case kTextKeying:
        s.keyAbove = a != 0;
        s.keyColour = {f[4], f[5], f[6]};
        break;
    case kBrightness:
        if (a <= (s.brightnessRange == 0 ? 64 : 100))
            s.brightness = a;
        break;
    case kSharpness:
        s.sharpness = a != 0 ? 1 : 0;
        break;
    case kColour:
        if (a <= 100 && f[4] < link::kSourceCount)
            s.colour[f[4]] = a;
        break;
    case kAudio:
        s.audio1 = a;
        s.audio2 = f[4];
        break;
    case kV2Mode:
        if (a <= 1) {
            s.ypbpr = a == 1;
            s.mainSource = normalise(s.mainSource);
            s.pipSource = normalise(s.pipSource);
            s.textSource = normalise(s.textSource);
            if (s.preselected)
                s.preselected = normalise(*s.preselected);
        }
        break;
    case cmd::kMosaic:
        s.mosaic = a != 0;
        break;
    case kMosaicMode:
        if (a <= 1)
            s.syncMosaic = a == 1;
        break;
    case kMosaicInput:
        if (a == 0 && !isEmpty(rectFrom(f)))
            s.mosaicInput = rectFrom(f);
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
    case kWindowM1:
    case kWindowM2:
    case kWindowM3:
        applyWindow(f, f[2] - kWindowM1);
        break;
    case kBias:
        if (a <= 100)
            s.bias = a;
        break;
    default:
        break; // unknown commands are ignored, as by the hardware
    }
}

void SimDevice::applyWindow(const link::Frame& f, int layout)
{
    auto& s = m_state;
    const WindowRect r = rectFrom(f);
    if (f[3] == 0 && isEmpty(r)) {
        // The mosaic preparation sends this bare 0x2A when BYPASS is on and
        // expects BYPASS gone; a window of no size is no window, so take it so.
        if (layout == 0)
            s.bypass = false;
        return;
    }
    if (f[3] > 1 || isEmpty(r))
        return;
    // While MOSAIC is on the main-window code of M3 carries the mosaic output window.
    if (f[3] == 0 && layout == 2 && s.mosaic) {
        s.mosaicOutput = r;
        return;
    }
    auto& lw = s.layouts[static_cast<std::size_t>(layout)];
    (f[3] == 0 ? lw.main : lw.pip) = r;
}

void SimDevice::setResolution(int index)
{
    auto& s = m_state;
    s.resolutionIndex = index;
    const OutputSize size = index == kCustomIndex ? OutputSize{s.custom.width, s.custom.height}
                                                  : *fixedResolution(index);
    // A new raster starts with the output window filling it.
    s.output = {0, size.width, 0, size.height};
}

} // namespace omnar::sim
