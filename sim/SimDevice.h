#pragma once

#include "core/link/Frame.h"
#include "core/setup/Resolution.h"
#include "sim/DeviceState.h"
#include "sim/SimOptions.h"

#include <optional>

namespace omnar::sim {

// The processor as a state machine: a frame in, perhaps a reply out. No I/O,
// no threads, no locking; SimServer serialises access.
//
// Split by concern: SimDevice.cpp the link side (addressing, status,
// switching and function keys), SimWindows.cpp the output raster and every
// window, SimPicture.cpp picture, keying, audio and backup, SimMosaic.cpp the
// video-wall state. A command changes the state at once; nothing is delayed.
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
    // A device still finding its feet reports no valid state: status byte 6 = 0xFF.
    void setStateValid(bool valid) { m_state.stateValid = valid; }

    // Status byte 4 as the device would report it now.
    int statusMode() const;
    // The output raster now: a fixed mode's size or the custom timing's.
    setup::OutputSize raster() const;

private:
    link::Frame reply(std::uint8_t subCode) const;
    link::Frame statusReply() const;
    link::Frame readBack(std::uint8_t subCode) const;

    // Each takes the commands of its concern and says whether it did; the
    // read-backs likewise fill the reply of their sub-codes.
    void apply(const link::Frame& f);
    bool applySwitching(const link::Frame& f);
    bool applyWindows(const link::Frame& f);
    bool applyPicture(const link::Frame& f);
    bool applyMosaic(const link::Frame& f);
    bool readWindows(std::uint8_t subCode, link::Frame& f) const;
    bool readPicture(std::uint8_t subCode, link::Frame& f) const;
    bool readMosaic(std::uint8_t subCode, link::Frame& f) const;

    // Windows.
    void resetWindows();
    void setResolution(int index, const CustomResolution& custom);
    bool fitsRaster(const WindowRect& r) const;

    // The code a source has on this device now: V2 and YPbPr are one input.
    int normalise(int code) const;
    bool hasSignal(int code) const;
    int secondSource() const;

    DeviceState m_state;
};

} // namespace omnar::sim
