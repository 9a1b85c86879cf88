// The video-wall side: MOSAIC on/off, No Sync / Sync, and this screen's
// input and output windows.
//
// A wall screen shares command codes with the PIP layouts. How this device
// tells them apart:
// - 0x23 (byte 3 = 0) is the input window: the part of the source picture
//   this screen shows. It reads back in bytes 4..11 of sub-code 4, beside
//   the sync bit in byte 3.
// - While MOSAIC is on, the main-window frame of M3 (0x2C, byte 3 = 0) is
//   the output window: where on this screen that part is drawn; sub-code 11
//   reads it back in the same mode. The layout's own M3 main window is kept
//   for when MOSAIC goes off (a panel offers no main-window Save meanwhile).
//   The PIP frames of M3 and every frame of M1 and M2 stay layout windows.
// - A bare 0x2A (every argument 0, so no window at all) takes the device out
//   of BYPASS: a wall needs the scaler, and a panel preparing a wall sends
//   exactly that when it finds BYPASS on.
// - MOSAIC, BYPASS and the source are independent switches; a screen is
//   ready for a wall when BYPASS is off, MOSAIC on and its source has a
//   signal, which the status reply shows.

#include "sim/DeviceCodes.h"
#include "sim/SimDevice.h"

#include "core/link/Catalogue.h"

#include <algorithm>

namespace omnar::sim {

namespace {

bool noArguments(const link::Frame& f)
{
    return std::all_of(f.begin() + 3, f.begin() + link::kChecksumIndex, [](std::uint8_t b) { return b == 0; });
}

} // namespace

bool SimDevice::applyMosaic(const link::Frame& f)
{
    auto& s = m_state;
    const std::uint8_t a = f[3];
    switch (f[2]) {
    case link::cmd::kMosaic:
        s.mosaic = a != 0;
        return true;
    case code::kMosaicMode:
        if (a <= 1)
            s.syncMosaic = a == 1;
        return true;
    case code::kMosaicInput:
        if (a == 0 && fitsRaster(code::rectFrom(f)))
            s.mosaicInput = code::rectFrom(f);
        return true;
    case code::kWindowM1:
        if (!noArguments(f))
            return false;
        s.bypass = false;
        return true;
    case code::kWindowM3:
        if (!s.mosaic || a != 0)
            return false;
        if (fitsRaster(code::rectFrom(f)))
            s.mosaicOutput = code::rectFrom(f);
        return true;
    default:
        return false;
    }
}

bool SimDevice::readMosaic(std::uint8_t subCode, link::Frame& f) const
{
    const auto& s = m_state;
    if (subCode == code::kReadMosaicMode) {
        f[3] = s.syncMosaic ? code::kSyncBit : 0;
        code::putRect(f, s.mosaicInput);
        return true;
    }
    if (subCode == code::kReadM3Main && s.mosaic) {
        code::putRect(f, s.mosaicOutput);
        return true;
    }
    return false;
}

} // namespace omnar::sim
