#pragma once

#include "core/link/Frame.h"
#include "sim/DeviceState.h"
#include "sim/SimOptions.h"

#include <optional>

namespace omnar::sim {

// The processor as a state machine: a frame in, perhaps a reply out. No I/O,
// no threads, no locking; SimServer serialises access.
class SimDevice {
public:
    explicit SimDevice(SimOptions opts = {});

    // Applies a command or answers a query. Frames with a wrong lead byte, a
    // bad checksum or another device id are dropped, as on a shared bus; only
    // queries (0xFE: status, identification, read-backs 3..16) are answered.
    std::optional<link::Frame> handle(const link::Frame& in);

    const DeviceState& state() const { return m_state; }

    // The outside world: which inputs carry a picture and what feeds EXT.
    // `code` is a source code 0..8 (8 is the V2 input).
    void setSignal(int code, bool present);
    void setExtSubSource(int index);

    // Status byte 4 as the device would report it now.
    int statusMode() const;

private:
    link::Frame reply(std::uint8_t subCode) const;
    link::Frame statusReply() const;
    link::Frame readBack(std::uint8_t subCode) const;

    void apply(const link::Frame& f);
    void applyWindow(const link::Frame& f, int layout);
    void setResolution(int index);
    // The code a source has on this device now: V2 and YPbPr are one input.
    int normalise(int code) const;
    bool hasSignal(int code) const;
    int secondSource() const;

    DeviceState m_state;
};

// Output size of a fixed resolution index 0..15.
struct OutputSize {
    std::uint16_t width;
    std::uint16_t height;
};
std::optional<OutputSize> fixedResolution(int index);

} // namespace omnar::sim
