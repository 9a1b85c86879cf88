#include "core/setup/SetupSequences.h"

#include "core/setup/SetupFrames.h"

namespace omnar::setup {

using link::Frame;
using link::JobLink;

namespace {

constexpr int kReplied = static_cast<int>(link::kFrameSize);

// One read-back query; the reply, or nothing.
std::optional<Frame> readBack(JobLink& job, std::uint8_t deviceId, std::uint8_t subCode, int timeoutMs,
                              JobLink::Discard discard = JobLink::Discard::No)
{
    Frame reply{};
    if (job.query(link::cmd::readBackQuery(deviceId, subCode), reply, timeoutMs, discard) != kReplied)
        return std::nullopt;
    return reply;
}

// Sub-code 3 and, for the custom index, sub-code 15. False when sub-code 3
// got no valid reply.
bool readOutput(JobLink& job, const ReportSink& sink, std::uint8_t deviceId, JobLink::Discard discard)
{
    const auto reply = readBack(job, deviceId, kSubOutput, kReadBackTimeoutMs, discard);
    const auto output = reply ? decodeOutput(*reply, deviceId) : std::nullopt;
    if (!output)
        return false;
    sink(*output);
    if (output->resolutionIndex == kCustomResolutionIndex && job.pause(kPauseBetweenQueriesMs)) {
        if (const auto custom = readBack(job, deviceId, kSubCustom, kReadBackTimeoutMs))
            sink(decodeCustom(*custom));
    }
    return true;
}

void readWindow(JobLink& job, const ReportSink& sink, std::uint8_t deviceId, WindowGroup group, int layout,
                int timeoutMs)
{
    const std::uint8_t subCode = group == WindowGroup::Main ? mainWindowSubCode(layout) : pipWindowSubCode(layout);
    if (const auto reply = readBack(job, deviceId, subCode, timeoutMs))
        sink(WindowReadBack{group, rectFromReply(*reply)});
}

// A pause, then one read-back decoded by `decode`. False when stopped.
template <typename Decode>
bool pauseThenRead(JobLink& job, const ReportSink& sink, std::uint8_t deviceId, std::uint8_t subCode,
                   int timeoutMs, Decode decode)
{
    if (!job.pause(kPauseBetweenQueriesMs))
        return false;
    if (const auto reply = readBack(job, deviceId, subCode, timeoutMs))
        sink(decode(*reply));
    return !job.stopped();
}

} // namespace

void runRefresh(JobLink& job, const ReportSink& sink, const RefreshOptions& options)
{
    const auto id = options.deviceId;
    const auto discard = options.discardPendingInput ? JobLink::Discard::PendingInput : JobLink::Discard::No;
    if (readOutput(job, sink, id, discard)) {
        const int layout = options.layout;
        const auto window = [](WindowGroup group) {
            return [group](const Frame& reply) { return WindowReadBack{group, rectFromReply(reply)}; };
        };
        const bool completed =
            pauseThenRead(job, sink, id, mainWindowSubCode(layout), kReadBackTimeoutMs, window(WindowGroup::Main))
            && pauseThenRead(job, sink, id, pipWindowSubCode(layout), kReadBackTimeoutMs, window(WindowGroup::Pip))
            && pauseThenRead(job, sink, id, kSubMosaicMode, kReadBackTimeoutMs, decodeMosaicMode)
            && pauseThenRead(job, sink, id, kSubPicture, kLongReadBackTimeoutMs, decodePicture)
            && pauseThenRead(job, sink, id, kSubTextKeying, kReadBackTimeoutMs, decodeTextKeying);
        if (!completed)
            return;
    }
    // The colours are asked for even when the output read-back failed.
    if (const auto reply = readBack(job, id, kSubColours, kLongReadBackTimeoutMs))
        sink(decodeSourceColours(*reply));
}

void runLayout(JobLink& job, const ReportSink& sink, std::uint8_t deviceId, int layout, bool pipOpen)
{
    // The device's stored windows of the chosen layout are read before it switches.
    readWindow(job, sink, deviceId, WindowGroup::Main, layout, kLayoutReadBackTimeoutMs);
    if (!job.pause(kPauseBetweenQueriesMs))
        return;
    readWindow(job, sink, deviceId, WindowGroup::Pip, layout, kLayoutReadBackTimeoutMs);
    if (pipOpen)
        runSend(job, sink, frames::layout(deviceId, layout));
}

void runSend(JobLink& job, const ReportSink& sink, const link::cmd::Command& command)
{
    if (job.send(command))
        sink(FrameSent{command.frame[2]});
}

void runChangeResolution(JobLink& job, const ReportSink& sink, const link::cmd::Command& command)
{
    if (!job.send(command))
        return;
    sink(FrameSent{command.frame[2]});
    job.pause(frames::kResolutionChangeMs);
}

void runResolutionOpening(JobLink& job, const ReportSink& sink, std::uint8_t deviceId)
{
    readOutput(job, sink, deviceId, JobLink::Discard::No);
}

Sequence refreshSequence(const RefreshOptions& options)
{
    return [options](JobLink& job, const ReportSink& sink) { runRefresh(job, sink, options); };
}

Sequence layoutSequence(std::uint8_t deviceId, int layout, bool pipOpen)
{
    return [=](JobLink& job, const ReportSink& sink) { runLayout(job, sink, deviceId, layout, pipOpen); };
}

Sequence sendSequence(const link::cmd::Command& command)
{
    return [command](JobLink& job, const ReportSink& sink) { runSend(job, sink, command); };
}

Sequence changeResolutionSequence(const link::cmd::Command& command)
{
    return [command](JobLink& job, const ReportSink& sink) { runChangeResolution(job, sink, command); };
}

Sequence resolutionOpeningSequence(std::uint8_t deviceId)
{
    return [deviceId](JobLink& job, const ReportSink& sink) { runResolutionOpening(job, sink, deviceId); };
}

} // namespace omnar::setup
