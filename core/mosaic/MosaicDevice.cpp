#include "core/mosaic/MosaicDevice.h"

#include "core/link/Catalogue.h"
#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicIds.h"

#include <chrono>
#include <mutex>

namespace omnar::mosaic {

namespace {

constexpr std::uint8_t kBypassBit = 0x02;
constexpr std::uint8_t kMosaicBit = 0x04;
constexpr std::uint8_t kSyncBit = 0x02;

// The dialog's side of the link: one transaction at a time under the link
// lock, pauses between them without it, and nothing new once stopped.
class Transactions {
public:
    Transactions(link::Link& link, std::stop_token stop)
        : m_link(link)
        , m_stop(std::move(stop))
    {
    }

    bool stopped() const { return m_stop.stop_requested(); }

    // False when stopped during the pause (or before it).
    bool pause(int ms) { return !stopped() && m_link.clock().sleepFor(std::chrono::milliseconds(ms), m_stop); }

    // True for a 13-byte reply. Check stopped() before reading a false.
    bool query(const link::Frame& frame, link::Frame& reply, int timeoutMs)
    {
        if (stopped())
            return false;
        std::lock_guard guard(m_link.lock());
        return m_link.QueryCommand(&frame, &reply, timeoutMs, m_stop) == static_cast<int>(link::kFrameSize);
    }

    void send(const link::Frame& frame, int delayMs)
    {
        if (stopped())
            return;
        std::lock_guard guard(m_link.lock());
        m_link.SendCommand(&frame, delayMs, m_stop);
    }

private:
    link::Link& m_link;
    std::stop_token m_stop;
};

void tell(const ReportSink& sink, const DeviceReport& report)
{
    if (sink)
        sink(report);
}

} // namespace

DeviceCondition conditionOf(const link::Frame& reply)
{
    DeviceCondition c;
    c.bypassOn = (reply[6] & kBypassBit) != 0;
    c.mosaicOn = (reply[6] & kMosaicBit) != 0;
    c.signal = reply[8] != 0;
    c.source = reply[7] & 0x0F;
    c.noValidState = reply[6] == 0xFF;
    return c;
}

bool isReady(const DeviceCondition& c, int source)
{
    return !c.bypassOn && c.mosaicOn && c.signal && c.source == source;
}

void ConnectCheck(link::Link& link, const ConnectCheckInput& input, std::stop_token stop, const ReportSink& report)
{
    Transactions t(link, stop);
    const std::uint8_t address = input.deviceAddress;

    if (!t.pause(kConnectFirstWaitMs))
        return;
    link::Frame reply{};
    const bool resolutionAnswered =
        t.query(link::cmd::readBackQuery(address, kResolutionSubCode), reply, kConnectQueryTimeoutMs);
    if (t.stopped())
        return;
    if (!resolutionAnswered || reply[2] != link::cmd::kQuery) {
        tell(report, CheckEnded{true});
        return;
    }

    ResolutionRead read;
    read.index = reply[3];
    read.size = setup::sizeForIndex(read.index, input.resolution);
    if (read.index == setup::kCustomResolutionIndex) {
        if (!t.pause(kCustomResolutionWaitMs))
            return;
        link::Frame custom{};
        const bool answered =
            t.query(link::cmd::readBackQuery(address, kCustomResolutionSubCode), custom, kCustomResolutionTimeoutMs);
        if (t.stopped())
            return;
        const int width = link::getBigEndian16(custom, 4);
        const int height = link::getBigEndian16(custom, 6);
        // A size of 0 is no size: the previous resolution stays.
        if (answered && width > 0 && height > 0) {
            read.size = setup::adoptCustomSize(width, height, read.size);
            read.custom = ResolutionRead::Custom{width, height, custom[8]};
        }
    }
    tell(report, read);

    if (!t.pause(kConnectStepWaitMs))
        return;
    reply = {};
    const bool modeAnswered =
        t.query(link::cmd::readBackQuery(address, kMosaicModeSubCode), reply, kConnectQueryTimeoutMs);
    if (t.stopped())
        return;
    if (!modeAnswered) {
        tell(report, CheckEnded{true});
        return;
    }
    tell(report, SyncModeRead{(reply[3] & kSyncBit) != 0});

    if (!t.pause(kConnectStepWaitMs))
        return;
    reply = {};
    const bool statusAnswered = t.query(link::cmd::statusQuery(address), reply, kConnectQueryTimeoutMs);
    if (t.stopped())
        return;
    if (!statusAnswered) {
        tell(report, CheckEnded{false});
        tell(report, ShowMessage{MessageId::CannotConnect});
        tell(report, UploadControls{false});
        return;
    }

    const DeviceCondition condition = conditionOf(reply);
    if (isReady(condition, kConnectReadySource)) {
        tell(report, UploadControls{true});
    } else {
        tell(report, UploadControls{false});
        const bool ready = PrepareDevice(link, address, condition, stop);
        if (t.stopped())
            return;
        if (ready)
            tell(report, UploadControls{true});
        else
            tell(report, ShowMessage{MessageId::DviSignalConnect});
    }
    tell(report, CheckEnded{true});
}

bool PrepareDevice(link::Link& link, std::uint8_t address, const DeviceCondition& condition, std::stop_token stop)
{
    Transactions t(link, stop);
    // One buffer serves every step, so the mosaic-on frame and the final
    // query still carry the DVI selection's byte 4 when it was sent.
    link::Frame frame = link::makeFrame(address, kBypassOffCommand);

    if (!t.pause(kPrepareWaitMs))
        return false;
    if (condition.bypassOn) {
        t.send(frame, kBypassOffDelayMs);
        if (t.stopped())
            return false;
    }
    if (!t.pause(kPrepareWaitMs))
        return false;
    if (condition.source != kDviSource) {
        frame[2] = link::cmd::kSwitchMain;
        frame[3] = 0x00;
        frame[4] = static_cast<std::uint8_t>(kDviSource);
        t.send(frame, kSelectDviDelayMs);
        if (t.stopped())
            return false;
    }
    if (!t.pause(kPrepareWaitMs))
        return false;
    if (!condition.mosaicOn) {
        frame[2] = link::cmd::kMosaic;
        frame[3] = 0x01;
        t.send(frame, kMosaicOnDelayMs);
        if (t.stopped())
            return false;
    }
    if (!t.pause(kPrepareWaitMs))
        return false;
    frame[2] = link::cmd::kQuery;
    frame[3] = link::cmd::kStatusSubCode;
    link::Frame reply{};
    if (!t.query(frame, reply, kConnectQueryTimeoutMs))
        return false;
    const DeviceCondition now = conditionOf(reply);
    return !now.noValidState && isReady(now, kDviSource);
}

void Detect(link::Link& link, std::uint8_t address, std::stop_token stop, const ReportSink& report)
{
    Transactions t(link, stop);
    link::Frame reply{};
    const bool answered = t.query(link::cmd::statusQuery(address), reply, kConnectQueryTimeoutMs);
    if (t.stopped() || !answered)
        return;
    const DeviceCondition condition = conditionOf(reply);
    if (condition.noValidState)
        return;
    if (isReady(condition, kDviSource)) {
        tell(report, UploadControls{true});
    } else {
        tell(report, UploadControls{false});
        tell(report, ShowMessage{MessageId::DviSignalDetect});
    }
}

link::Frame mosaicModeFrame(std::uint8_t deviceId, bool sync)
{
    return link::makeFrame(deviceId, kMosaicModeCommand, {static_cast<std::uint8_t>(sync ? 0x01 : 0x00)});
}

void SetMosaicMode(link::Link& link, std::uint8_t deviceId, bool sync, std::stop_token stop,
                   const ReportSink& report)
{
    Transactions t(link, stop);
    t.send(mosaicModeFrame(deviceId, sync), kModeFrameDelayMs);
    if (t.stopped())
        return;
    // Shown whether or not the device acted on the frame: nothing confirms it.
    tell(report, ShowMessage{MessageId::ModeSet});
}

void SendWindow(link::Link& link, const link::Frame& frame, Group group, std::stop_token stop,
                const ReportSink& report)
{
    Transactions t(link, stop);
    t.send(frame, kWindowFrameDelayMs);
    if (t.stopped())
        return;
    tell(report, WindowSent{group});
}

MosaicView applyDeviceReport(MosaicState& state, const DeviceReport& report)
{
    MosaicView view;
    if (const auto* r = std::get_if<ResolutionRead>(&report)) {
        state.resolutionWidth = static_cast<std::uint16_t>(r->size.width);
        state.resolutionHeight = static_cast<std::uint16_t>(r->size.height);
        view.resolutionSelection = r->index <= setup::kCustomResolutionIndex ? r->index : -1;
        if (r->custom)
            view.customResolutionEntry =
                customResolutionText(r->custom->width, r->custom->height, r->custom->refreshHz, state.chinese);
        else if (r->index == setup::kCustomResolutionIndex)
            view.customResolutionEntry = std::string(setup::kCustomResolutionName);
        view.captions[ids::IDC_EFFECTS_FRAME] =
            effectsShowCaption(state.resolutionWidth, state.resolutionHeight, state.chinese);
    } else if (const auto* m = std::get_if<SyncModeRead>(&report)) {
        view.checked[ids::IDC_NO_SYNC] = !m->sync;
        view.checked[ids::IDC_SYNC] = m->sync;
    } else if (const auto* u = std::get_if<UploadControls>(&report)) {
        state.uploadEnabled = u->enabled;
        view.upload = u->enabled;
    } else if (const auto* s = std::get_if<ShowMessage>(&report)) {
        view.messages.push_back(messageBox(s->id, state.chinese));
    } else if (const auto* e = std::get_if<CheckEnded>(&report)) {
        state.connected = e->connected;
        view.closeProgress = true;
    } else if (const auto* w = std::get_if<WindowSent>(&report)) {
        view = finishSet(state, w->group);
    }
    return view;
}

} // namespace omnar::mosaic
