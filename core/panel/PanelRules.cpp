#include "core/panel/PanelRules.h"

#include "core/panel/PanelIds.h"

namespace omnar::panel {

namespace {

constexpr int kLayoutKeys[] = {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3};

void enableGroup(PanelView& view, bool on)
{
    for (int id : ids::kDeviceControlGroup)
        view.enabled[id] = on;
}

void enableLayoutKeys(PanelView& view, bool on)
{
    for (int id : kLayoutKeys)
        view.enabled[id] = on;
}

void clearTimerPanel(PanelView& view)
{
    for (int id : ids::kTimerFields)
        view.captions[id] = {};
}

void checkTimerBoxes(PanelView& view, bool on)
{
    for (int id : {ids::IDC_TIMER_DAY, ids::IDC_TIMER_WEEK, ids::IDC_TIMER_MONTH, ids::IDC_TIMER_ONCE,
                   ids::IDC_TIMER_ALL})
        view.checked[id] = on;
}

} // namespace

PanelView startUpView()
{
    PanelView view = autoConnectView(false);
    view.checked[ids::IDC_START_TIMER] = false;
    checkTimerBoxes(view, true);
    enableGroup(view, false);
    view.enabled[ids::IDC_TIMER_STOP] = false;
    view.enabled[ids::IDC_DISCONNECT] = false;
    // Keys outside the group act only on a connected device; the status decoder enables them.
    enableLayoutKeys(view, false);
    view.enabled[ids::IDC_KEY_AUTO_TAKE] = false;
    view.preLabel = PanelView::Label{};
    clearTimerPanel(view);
    return view;
}

PanelView connectionView(PanelState& state, bool connected)
{
    state.connected = connected;
    PanelView view;
    view.enabled[ids::IDC_CONNECT] = !connected;
    // The timer switches the device through this link: it cannot be pulled from under it.
    view.enabled[ids::IDC_DISCONNECT] = connected && !state.timerRunning;
    enableGroup(view, connected && !state.timerRunning);
    if (!connected) {
        enableLayoutKeys(view, false);
        view.enabled[ids::IDC_KEY_AUTO_TAKE] = false;
    }
    return view;
}

PanelView commandInFlight(const PanelState& state, bool busy)
{
    PanelView view;
    if (!state.connected)
        return view; // a report that crossed a Disconnect
    enableGroup(view, !busy && !state.timerRunning);
    // The next status reply applies the finer rules again.
    enableLayoutKeys(view, !busy);
    return view;
}

DecodeResult disconnected(PanelState& state, const DeviceMirror& mirror)
{
    DecodeResult result = disconnectMirror(mirror);
    result.view.then(connectionView(state, false));
    return result;
}

TimerStart startTimer(PanelState& state, const TimerSelection& selection, bool chinese)
{
    TimerStart start;
    if (!selection.any()) {
        start.refusal = refusal(Refusal::Kind::MessageBox, TextId::SelectTimer, chinese);
        return start;
    }
    state.timerRunning = true;
    PanelView& view = start.view;
    clearTimerPanel(view);
    enableGroup(view, false);
    enableLayoutKeys(view, false);
    view.enabled[ids::IDC_TIMER_START] = false;
    view.enabled[ids::IDC_DISCONNECT] = false;
    view.enabled[ids::IDC_TIMER_STOP] = true;
    return start;
}

PanelView stopTimer(PanelState& state)
{
    state.timerRunning = false;
    PanelView view;
    // Back to what the link allows: nothing while no device is connected.
    enableLayoutKeys(view, state.connected);
    enableGroup(view, state.connected);
    view.enabled[ids::IDC_TIMER_STOP] = false;
    view.enabled[ids::IDC_DISCONNECT] = state.connected;
    clearTimerPanel(view);
    return view;
}

PanelView allBoxClicked(const TimerSelection& kinds, bool allCheckedNow)
{
    const bool allWereChecked = kinds.day && kinds.week && kinds.month && kinds.once && !allCheckedNow;
    PanelView view;
    checkTimerBoxes(view, !allWereChecked);
    return view;
}

PanelView autoConnectView(bool on)
{
    PanelView view;
    view.checked[ids::IDC_AUTO_CONNECT] = on;
    view.enabled[ids::IDC_START_TIMER] = on;
    return view;
}

PanelView transportView(bool serial)
{
    PanelView view;
    view.checked[serial ? ids::IDC_SERIAL : ids::IDC_NETWORK] = true;
    view.enabled[ids::IDC_COM_PORT] = serial;
    view.enabled[ids::IDC_IP_ADDRESS] = !serial;
    view.enabled[ids::IDC_TCP_PORT] = !serial;
    return view;
}

std::optional<Refusal> dialogGuard(PanelDialog dialog, const PanelState& state, bool chinese)
{
    if (dialog == PanelDialog::Program || state.connected)
        return std::nullopt;
    return refusal(Refusal::Kind::MessageBox, TextId::NotConnected, chinese);
}

} // namespace omnar::panel
