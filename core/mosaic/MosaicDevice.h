#pragma once

#include "core/link/Frame.h"
#include "core/link/DeviceJob.h"
#include "core/mosaic/MosaicState.h"
#include "core/mosaic/MosaicView.h"
#include "core/setup/Resolution.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>

// The Fast Mosaic dialog's device work: the connect check, the preparation
// of the device for mosaic work, Detect, the mode frame and the window
// upload. Each runs as a dialog job: every transaction holds the link lock
// (taken in stop-aware steps, so a plan switch holding it cannot keep a
// closing dialog waiting) and every pause is a clock sleep without it. A
// stop request ends the current wait; nothing more is sent or reported.
namespace omnar::mosaic {

// Timeouts and pauses of the dialog's traffic.
inline constexpr int kConnectFirstWaitMs = 1000;
inline constexpr int kConnectQueryTimeoutMs = 6000; // sub-codes 3 and 4, status
inline constexpr int kCustomResolutionWaitMs = 200;
inline constexpr int kCustomResolutionTimeoutMs = 5000;
inline constexpr int kConnectStepWaitMs = 1000;     // before sub-code 4 and the status query
inline constexpr int kPrepareWaitMs = 500;          // before each preparation step
inline constexpr int kBypassOffDelayMs = 500;
inline constexpr int kSelectDviDelayMs = 5000;
inline constexpr int kMosaicOnDelayMs = 500;
inline constexpr int kModeFrameDelayMs = 3000;

inline constexpr std::uint8_t kResolutionSubCode = 3;
inline constexpr std::uint8_t kMosaicModeSubCode = 4;
inline constexpr std::uint8_t kCustomResolutionSubCode = 15;
inline constexpr std::uint8_t kBypassOffCommand = 0x2A;
inline constexpr std::uint8_t kMosaicModeCommand = 0x22;

// The connect check accepts a device on EXT. (7); preparing it and Detect
// want DVI (5).
inline constexpr int kConnectReadySource = 7;
inline constexpr int kDviSource = 5;

// What a status reply says about mosaic work.
struct DeviceCondition {
    bool bypassOn = false;  // byte 6 bit 1
    bool mosaicOn = false;  // byte 6 bit 2
    bool signal = false;    // byte 8 non-zero
    int source = 0;         // low four bits of byte 7
    bool noValidState = false; // byte 6 = 0xFF
};
DeviceCondition conditionOf(const link::Frame& statusReply);

// Ready for mosaic work: bypass off, mosaic on, a signal, on `source`.
bool isReady(const DeviceCondition& condition, int source);

// Results of the device work, reported in order as they happen.
struct ResolutionRead {
    int index = 0;                // the device's resolution index
    setup::OutputSize size;       // the resolution in force from now on
    struct Custom {
        int width, height, refreshHz;
    };
    std::optional<Custom> custom; // index 16 with a usable custom read-back
};
struct SyncModeRead {
    bool sync = false;
};
struct UploadControls {
    bool enabled = false;
};
struct ShowMessage {
    MessageId id;
};
// The connect check sets or clears `connected` and the progress window
// closes. On the path where the status query went unanswered, the
// cannot-connect message and the disabled upload controls follow.
struct CheckEnded {
    bool connected = false;
};
// A Set's window frame went out.
struct WindowSent {
    Group group = Group::Input;
};
using DeviceReport = std::variant<ResolutionRead, SyncModeRead, UploadControls, ShowMessage, CheckEnded, WindowSent>;
// Called on the worker; the dialog hands each report to its own thread.
using ReportSink = std::function<void(const DeviceReport&)>;

// What the window shows for a report, on the GUI thread.
MosaicView applyDeviceReport(MosaicState& state, const DeviceReport& report);

struct ConnectCheckInput {
    std::uint8_t deviceAddress = 1;
    setup::OutputSize resolution; // in force when the check starts
};

// Connect: reads the output resolution (custom ones too) and the mosaic
// mode, then the status; a device that is not ready is prepared.
void ConnectCheck(link::JobLink& job, const ConnectCheckInput& input, const ReportSink& report);

// Brings the device into mosaic state: bypass off, DVI selected, mosaic on
// (only the steps the condition needs, with their pauses), then asks the
// status. True when the device now reports ready on DVI; false when not or
// when stopped.
bool PrepareDevice(link::JobLink& job, std::uint8_t deviceAddress, const DeviceCondition& condition);

// Detect: one status query. Silent when unanswered or without a valid
// state; otherwise the upload controls follow readiness on DVI.
void Detect(link::JobLink& job, std::uint8_t deviceAddress, const ReportSink& report);

// The mosaic-mode frame (0x22) for No Sync or Sync, with the main window's
// device id, then the mode-set message whatever the device did.
link::Frame mosaicModeFrame(std::uint8_t deviceId, bool sync);
void SetMosaicMode(link::JobLink& job, std::uint8_t deviceId, bool sync, const ReportSink& report);

// A Set's window frame (beginSet), then WindowSent.
void SendWindow(link::JobLink& job, const link::Frame& frame, Group group, const ReportSink& report);

} // namespace omnar::mosaic
