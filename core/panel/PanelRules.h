#pragma once

#include "core/panel/DeviceMirror.h"
#include "core/panel/PanelTexts.h"
#include "core/panel/PanelView.h"
#include "core/panel/StatusDecoder.h"

#include <optional>

namespace omnar::panel {

// What the panel's enable rules depend on besides the device: whether a
// device is connected and whether the timer runs. Owned on the GUI thread
// by the panel's controllers; the functions below change it and return what
// the window must show.
struct PanelState {
    bool connected = false;
    // The plan runner owns the link: the device-control group stays disabled.
    bool timerRunning = false;
};

// The plan kinds checked in the timer bar (All does not count).
struct TimerSelection {
    bool day = false, week = false, month = false, once = false;
    bool any() const { return day || week || month || once; }
};

// The panel as it comes up: device-control group, Stop, Disconnect, M1..M3
// and AUTO/TAKE disabled; the five timer boxes checked; StartTimer disabled
// until AutoConnect is set.
PanelView startUpView();

// Connect/Disconnect, the device-control group and, without a device,
// M1..M3 and AUTO/TAKE (the status decoder enables those while connected).
PanelView connectionView(PanelState& state, bool connected);

// A command of the slot goes out (busy) or is done: the device-control group
// and M1..M3 wait for it. Nothing changes while no device is connected.
PanelView commandInFlight(const PanelState& state, bool busy);

// The device went away (Disconnect, a lost link, the end of the Fast Mosaic
// dialog): every lamp dark, nothing blinks, the panel shows itself
// disconnected.
DecodeResult disconnected(PanelState& state, const DeviceMirror& mirror);

struct TimerStart {
    std::optional<Refusal> refusal; // no plan kind checked: nothing starts
    PanelView view;
};
// Start: the timer panel emptied, Start, Disconnect, the device-control
// group and M1..M3 disabled, Stop enabled.
TimerStart startTimer(PanelState& state, const TimerSelection& selection, bool chinese);
// Stop: back to what the link allows; the timer panel emptied.
PanelView stopTimer(PanelState& state);

// A click on All, which has already toggled it: when all five boxes were
// checked before the click they are all cleared, otherwise all checked. The
// first press after start-up therefore clears them.
PanelView allBoxClicked(const TimerSelection& kinds, bool allCheckedNow);

// StartTimer is usable only while AutoConnect is set.
PanelView autoConnectView(bool on);

// Serial or Network: the COM box serves the one, the address and port the other.
PanelView transportView(bool serial);

// The buttons that open a dialog over the panel.
enum class PanelDialog { Setup, Resolution, Program, Mosaic };
// Setup, Resolution and Mosaic work on the connected device and refuse with
// the not-connected box without one; the plan editor needs no device.
std::optional<Refusal> dialogGuard(PanelDialog dialog, const PanelState& state, bool chinese);

} // namespace omnar::panel
