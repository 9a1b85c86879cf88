// Read-back replies straight from the device: any 13 bytes as the answer to
// any sub-code, decoded and applied to the setup and resolution windows'
// state, one after another.
#include "core/link/Frame.h"
#include "core/setup/AdvancedModel.h"
#include "core/setup/ReadBack.h"
#include "core/setup/SetScreenModel.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace omnar::setup;

namespace {

// The report a reply to `subCode` makes, as the sequences decode it.
std::optional<Report> decode(std::uint8_t subCode, const omnar::link::Frame& reply, std::uint8_t deviceId)
{
    switch (subCode % 8) {
    case 0: {
        if (auto output = decodeOutput(reply, deviceId))
            return *output;
        return std::nullopt;
    }
    case 1: return decodeCustom(reply);
    case 2: return WindowReadBack{WindowGroup::Main, rectFromReply(reply)};
    case 3: return WindowReadBack{WindowGroup::Pip, rectFromReply(reply)};
    case 4: return decodeMosaicMode(reply);
    case 5: return decodePicture(reply);
    case 6: return decodeTextKeying(reply);
    default: return decodeSourceColours(reply);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t deviceId = size > 0 ? data[0] : 1;
    SetupContext context;
    context.deviceId = deviceId;
    context.pipOpen = size > 1 && (data[1] & 1);
    context.textOpen = size > 1 && (data[1] & 2);
    context.mosaicOn = size > 1 && (data[1] & 4);
    context.pipLayout = size > 1 ? data[1] >> 4 : 0;
    WindowCache cache;
    SetScreenModel setScreen(context, cache);
    AdvancedModel advanced(deviceId, context.pipOpen);
    std::size_t at = size > 2 ? 2 : size;
    // A sub-code byte, then a reply; the state each leaves meets the next.
    while (at + 1 + omnar::link::kFrameSize <= size) {
        const std::uint8_t subCode = data[at++];
        omnar::link::Frame reply{};
        std::memcpy(reply.data(), data + at, reply.size());
        at += reply.size();
        if (const auto report = decode(subCode, reply, deviceId)) {
            setScreen.apply(*report);
            advanced.apply(*report);
        }
        setScreen.previewRect(1164, {0, 0, 258, 148});
        setScreen.previewRect(1165, {0, 0, 258, 148});
        // The values the device left in the edits, saved again.
        const auto& out = cache.output;
        setScreen.saveWindow(WindowGroup::Output, {std::to_string(out.width), std::to_string(out.hstart),
                                                   std::to_string(out.height), std::to_string(out.vstart)});
        setScreen.jobFinished();
    }
    return 0;
}
