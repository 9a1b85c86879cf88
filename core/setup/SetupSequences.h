#pragma once

#include "core/link/Catalogue.h"
#include "core/link/DeviceJob.h"
#include "core/setup/ReadBack.h"

#include <cstdint>
#include <functional>

// The device work of the setup and resolution windows, run on a DeviceJob.
// Each transaction holds the link lock, pauses between them do not, and a
// stop ends the sequence at the next boundary with nothing more sent. Every
// decoded result is reported as soon as it arrives, so the window fills its
// fields step by step; a missing reply reports nothing.
namespace omnar::setup {

// A sequence ready to run: the window hands it to its DeviceJob.
using Sequence = std::function<void(link::JobLink&, const ReportSink&)>;

struct RefreshOptions {
    std::uint8_t deviceId = 1;
    int layout = 0; // the current layout (0 M1, 1 M2, 2 M3)
    // At opening, what the transport already holds is dropped first.
    bool discardPendingInput = false;
};

// Sub-code 3 (5000 ms; only a reply with the device id and 0xFE counts);
// with it: for index 16, 200 ms then 15; then 200 ms before each of the
// layout's main and PIP windows, 4, 5 (15000 ms) and 6. Sub-code 16
// (15000 ms) comes last, also when sub-code 3 got no reply.
void runRefresh(link::JobLink& job, const ReportSink& sink, const RefreshOptions& options);

// A layout radio: the chosen layout's main window, 200 ms, its PIP window
// (1000 ms each), then while PIP/PBP is open the layout frame (0x24, 500 ms).
void runLayout(link::JobLink& job, const ReportSink& sink, std::uint8_t deviceId, int layout, bool pipOpen);

// One frame and its wait; FrameSent once it went out.
void runSend(link::JobLink& job, const ReportSink& sink, const link::cmd::Command& command);

// A resolution change: the frame and its wait, FrameSent, then the time the
// device takes to change (10 s, on the clock, ended by a stop).
void runChangeResolution(link::JobLink& job, const ReportSink& sink, const link::cmd::Command& command);

// Opening of the resolution window: sub-code 3 (5000 ms, checked as in
// Refresh); for index 16, 200 ms then sub-code 15 (5000 ms).
void runResolutionOpening(link::JobLink& job, const ReportSink& sink, std::uint8_t deviceId);

// The same, bound into Sequences.
Sequence refreshSequence(const RefreshOptions& options);
Sequence layoutSequence(std::uint8_t deviceId, int layout, bool pipOpen);
Sequence sendSequence(const link::cmd::Command& command);
Sequence changeResolutionSequence(const link::cmd::Command& command);
Sequence resolutionOpeningSequence(std::uint8_t deviceId);

} // namespace omnar::setup
