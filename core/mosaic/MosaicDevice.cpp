#include "core/mosaic/MosaicDevice.h"

#include "core/link/Catalogue.h"
#include "core/link/DeviceJob.h"
#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicIds.h"

namespace omnar::mosaic {

namespace {

constexpr std::uint8_t kBypassBit = 0x02;
constexpr std::uint8_t kMosaicBit = 0x04;
constexpr std::uint8_t kSyncBit = 0x02;

// A query's result: a whole 13-byte reply.
bool answered(int received)
{
    return received == static_cast<int>(link::kFrameSize);
}

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

void ConnectCheck(link::JobLink& job, const ConnectCheckInput& input, const ReportSink& report)
{
    const std::uint8_t address = input.deviceAddress;

    if (!job.pause(kConnectFirstWaitMs))
        return;
    link::Frame reply{};
    const bool resolutionAnswered =
        answered(job.query(link::cmd::readBackQuery(address, kResolutionSubCode), reply, kConnectQueryTimeoutMs));
    if (job.stopped())
        return;
    if (!resolutionAnswered || reply[2] != link::cmd::kQuery) {
        tell(report, CheckEnded{true});
        return;
    }

    ResolutionRead read;
    read.index = reply[3];
    read.size = setup::sizeForIndex(read.index, input.resolution);
    if (read.index == setup::kCustomResolutionIndex) {
        if (!job.pause(kCustomResolutionWaitMs))
            return;
        link::Frame custom{};
        const bool customAnswered = answered(
            job.query(link::cmd::readBackQuery(address, kCustomResolutionSubCode), custom, kCustomResolutionTimeoutMs));
        if (job.stopped())
            return;
        const int width = link::getBigEndian16(custom, 4);
        const int height = link::getBigEndian16(custom, 6);
        // A size of 0 is no size: the previous resolution stays.
        if (customAnswered && width > 0 && height > 0) {
            read.size = setup::adoptCustomSize(width, height, read.size);
            read.custom = ResolutionRead::Custom{width, height, custom[8]};
        }
    }
    tell(report, read);

    if (!job.pause(kConnectStepWaitMs))
        return;
    reply = {};
    const bool modeAnswered =
        answered(job.query(link::cmd::readBackQuery(address, kMosaicModeSubCode), reply, kConnectQueryTimeoutMs));
    if (job.stopped())
        return;
    if (!modeAnswered) {
        tell(report, CheckEnded{true});
        return;
    }
    tell(report, SyncModeRead{(reply[3] & kSyncBit) != 0});

    if (!job.pause(kConnectStepWaitMs))
        return;
    reply = {};
    const bool statusAnswered = answered(job.query(link::cmd::statusQuery(address), reply, kConnectQueryTimeoutMs));
    if (job.stopped())
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
        const bool ready = PrepareDevice(job, address, condition);
        if (job.stopped())
            return;
        if (ready)
            tell(report, UploadControls{true});
        else
            tell(report, ShowMessage{MessageId::DviSignalConnect});
    }
    tell(report, CheckEnded{true});
}

bool PrepareDevice(link::JobLink& job, std::uint8_t address, const DeviceCondition& condition)
{
    // One buffer serves every step, so the mosaic-on frame and the final
    // query still carry the DVI selection's byte 4 when it was sent.
    link::Frame frame = link::makeFrame(address, kBypassOffCommand);

    if (!job.pause(kPrepareWaitMs))
        return false;
    if (condition.bypassOn) {
        job.send({frame, kBypassOffDelayMs});
        if (job.stopped())
            return false;
    }
    if (!job.pause(kPrepareWaitMs))
        return false;
    if (condition.source != kDviSource) {
        frame[2] = link::cmd::kSwitchMain;
        frame[3] = 0x00;
        frame[4] = static_cast<std::uint8_t>(kDviSource);
        job.send({frame, kSelectDviDelayMs});
        if (job.stopped())
            return false;
    }
    if (!job.pause(kPrepareWaitMs))
        return false;
    if (!condition.mosaicOn) {
        frame[2] = link::cmd::kMosaic;
        frame[3] = 0x01;
        job.send({frame, kMosaicOnDelayMs});
        if (job.stopped())
            return false;
    }
    if (!job.pause(kPrepareWaitMs))
        return false;
    frame[2] = link::cmd::kQuery;
    frame[3] = link::cmd::kStatusSubCode;
    link::Frame reply{};
    if (!answered(job.query(frame, reply, kConnectQueryTimeoutMs)))
        return false;
    const DeviceCondition now = conditionOf(reply);
    return !now.noValidState && isReady(now, kDviSource);
}

void Detect(link::JobLink& job, std::uint8_t address, const ReportSink& report)
{
    link::Frame reply{};
    const bool replied = answered(job.query(link::cmd::statusQuery(address), reply, kConnectQueryTimeoutMs));
    if (job.stopped() || !replied)
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

void SetMosaicMode(link::JobLink& job, std::uint8_t deviceId, bool sync, const ReportSink& report)
{
    if (!job.send({mosaicModeFrame(deviceId, sync), kModeFrameDelayMs}) || job.stopped())
        return;
    // Shown whether or not the device acted on the frame: nothing confirms it.
    tell(report, ShowMessage{MessageId::ModeSet});
}

void SendWindow(link::JobLink& job, const link::Frame& frame, Group group, const ReportSink& report)
{
    if (!job.send({frame, kWindowFrameDelayMs}) || job.stopped())
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
