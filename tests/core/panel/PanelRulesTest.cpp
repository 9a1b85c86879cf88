#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/panel/PanelRules.h"

#include <gtest/gtest.h>

using namespace omnar::panel;
using omnar::link::Frame;

namespace {

constexpr int kLayoutKeys[] = {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3};

// Every control of `ids` is named with `on`.
template <typename Ids>
void expectAll(const std::map<int, bool>& named, const Ids& controls, bool on)
{
    for (int id : controls) {
        const auto it = named.find(id);
        ASSERT_NE(it, named.end()) << id;
        EXPECT_EQ(it->second, on) << id;
    }
}

DeviceMirror decoded(std::uint8_t mode, std::uint8_t flags, std::uint8_t sources, std::uint8_t mainSignal)
{
    const Frame reply{0x05, 1, 0xFE, 0, mode, 0, flags, sources, mainSignal, 1, 1, 1, 0};
    return decodeStatus(reply, 1, {}, false, false).mirror;
}

} // namespace

TEST(PanelRules, ConnectionSwitchesTheGroupAndTheTimerHoldsItOff)
{
    PanelState state;
    auto on = connectionView(state, true);
    EXPECT_TRUE(state.connected);
    expectAll(on.enabled, ids::kDeviceControlGroup, true);
    EXPECT_EQ(on.isEnabled(ids::IDC_CONNECT), false);
    EXPECT_EQ(on.isEnabled(ids::IDC_DISCONNECT), true);
    // M1..M3 and AUTO/TAKE follow the status decoder while connected.
    EXPECT_FALSE(on.isEnabled(ids::IDC_M1));
    EXPECT_FALSE(on.isEnabled(ids::IDC_KEY_AUTO_TAKE));

    // The device back while the timer runs: the runner keeps the link.
    state.timerRunning = true;
    on = connectionView(state, true);
    expectAll(on.enabled, ids::kDeviceControlGroup, false);
    EXPECT_EQ(on.isEnabled(ids::IDC_DISCONNECT), false);

    const auto off = connectionView(state, false);
    EXPECT_FALSE(state.connected);
    expectAll(off.enabled, ids::kDeviceControlGroup, false);
    expectAll(off.enabled, kLayoutKeys, false);
    EXPECT_EQ(off.isEnabled(ids::IDC_KEY_AUTO_TAKE), false);
    EXPECT_EQ(off.isEnabled(ids::IDC_CONNECT), true);
    EXPECT_EQ(off.isEnabled(ids::IDC_DISCONNECT), false);
}

TEST(PanelRules, CommandInFlight)
{
    PanelState state;
    // A report that crosses a Disconnect changes nothing.
    EXPECT_TRUE(commandInFlight(state, false).empty());

    state.connected = true;
    const auto busy = commandInFlight(state, true);
    expectAll(busy.enabled, ids::kDeviceControlGroup, false);
    expectAll(busy.enabled, kLayoutKeys, false);
    EXPECT_FALSE(busy.isEnabled(ids::IDC_DISCONNECT));
    const auto done = commandInFlight(state, false);
    expectAll(done.enabled, ids::kDeviceControlGroup, true);
    expectAll(done.enabled, kLayoutKeys, true);

    state.timerRunning = true;
    expectAll(commandInFlight(state, false).enabled, ids::kDeviceControlGroup, false);
}

TEST(PanelRules, StartRefusesWithoutAPlanKindAndStopGoesBackToWhatTheLinkAllows)
{
    PanelState state{true, false};
    for (bool chinese : {false, true}) {
        const auto refused = startTimer(state, {}, chinese);
        ASSERT_TRUE(refused.refusal);
        EXPECT_EQ(refused.refusal->kind, Refusal::Kind::MessageBox);
        EXPECT_EQ(refused.refusal->text, chinese ? "请选定要启动的定时器" : "Please select a timer to start");
        EXPECT_EQ(refused.refusal->caption, chinese ? "系统信息" : "System information");
        EXPECT_TRUE(refused.view.empty());
        EXPECT_FALSE(state.timerRunning);
    }

    const auto started = startTimer(state, {.month = true}, false);
    EXPECT_FALSE(started.refusal);
    EXPECT_TRUE(state.timerRunning);
    EXPECT_EQ(started.view.isEnabled(ids::IDC_TIMER_START), false);
    EXPECT_EQ(started.view.isEnabled(ids::IDC_DISCONNECT), false);
    EXPECT_EQ(started.view.isEnabled(ids::IDC_TIMER_STOP), true);
    expectAll(started.view.enabled, ids::kDeviceControlGroup, false);
    expectAll(started.view.enabled, kLayoutKeys, false);
    for (int id : ids::kTimerFields)
        EXPECT_EQ(started.view.caption(id), "");
    // The kind boxes stay usable: they take effect at the next rebuild.
    EXPECT_FALSE(started.view.isEnabled(ids::IDC_TIMER_DAY));

    const auto stopped = stopTimer(state);
    EXPECT_FALSE(state.timerRunning);
    expectAll(stopped.enabled, ids::kDeviceControlGroup, true);
    expectAll(stopped.enabled, kLayoutKeys, true);
    EXPECT_EQ(stopped.isEnabled(ids::IDC_TIMER_STOP), false);
    EXPECT_EQ(stopped.isEnabled(ids::IDC_DISCONNECT), true);
    EXPECT_EQ(stopped.caption(ids::IDC_NEXT_RESULT), "");

    // Stopped after the link went away: nothing that needs a device.
    state.connected = false;
    const auto orphaned = stopTimer(state);
    expectAll(orphaned.enabled, ids::kDeviceControlGroup, false);
    expectAll(orphaned.enabled, kLayoutKeys, false);
    EXPECT_EQ(orphaned.isEnabled(ids::IDC_DISCONNECT), false);
}

TEST(PanelRules, AllFlipsFromWhatTheBoxesShow)
{
    const int five[] = {ids::IDC_TIMER_DAY, ids::IDC_TIMER_WEEK, ids::IDC_TIMER_MONTH, ids::IDC_TIMER_ONCE,
                        ids::IDC_TIMER_ALL};
    const TimerSelection all{true, true, true, true};
    // Start-up checks all five while the click unchecks All: the first press clears them.
    expectAll(startUpView().checked, five, true);
    expectAll(allBoxClicked(all, false).checked, five, false);
    // All alone, or any mix, checks all five.
    expectAll(allBoxClicked({}, true).checked, five, true);
    expectAll(allBoxClicked({.week = true}, false).checked, five, true);
    // The four checked by hand while All was clear: the click checks All too.
    expectAll(allBoxClicked(all, true).checked, five, true);
}

TEST(PanelRules, StartUpAndTheLinkBoxes)
{
    const auto start = startUpView();
    expectAll(start.enabled, ids::kDeviceControlGroup, false);
    for (int id : {ids::IDC_TIMER_STOP, ids::IDC_DISCONNECT, ids::IDC_M1, ids::IDC_KEY_AUTO_TAKE,
                   ids::IDC_START_TIMER})
        EXPECT_EQ(start.isEnabled(id), false) << id;
    EXPECT_FALSE(start.preLabel->visible);

    EXPECT_EQ(autoConnectView(true).isEnabled(ids::IDC_START_TIMER), true);
    EXPECT_EQ(autoConnectView(false).isEnabled(ids::IDC_START_TIMER), false);
    EXPECT_EQ(autoConnectView(false).isChecked(ids::IDC_AUTO_CONNECT), false);

    const auto serial = transportView(true);
    EXPECT_EQ(serial.isChecked(ids::IDC_SERIAL), true);
    EXPECT_EQ(serial.isEnabled(ids::IDC_COM_PORT), true);
    EXPECT_EQ(serial.isEnabled(ids::IDC_IP_ADDRESS), false);
    const auto network = transportView(false);
    EXPECT_EQ(network.isChecked(ids::IDC_NETWORK), true);
    EXPECT_EQ(network.isEnabled(ids::IDC_COM_PORT), false);
    EXPECT_EQ(network.isEnabled(ids::IDC_TCP_PORT), true);
}

TEST(PanelRules, DialogsThatNeedTheDeviceRefuseWithoutOne)
{
    PanelState state;
    for (auto dialog : {PanelDialog::Setup, PanelDialog::Resolution, PanelDialog::Mosaic}) {
        const auto refusal = dialogGuard(dialog, state, true);
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->kind, Refusal::Kind::MessageBox);
        EXPECT_EQ(refusal->text, "设备未连接，无法进行设置");
        EXPECT_EQ(refusal->caption, "系统信息");
    }
    EXPECT_EQ(dialogGuard(PanelDialog::Setup, state, false)->text, "Device is not connected");
    // The plan editor talks to no device.
    EXPECT_FALSE(dialogGuard(PanelDialog::Program, state, false));
    state.connected = true;
    for (auto dialog : {PanelDialog::Setup, PanelDialog::Resolution, PanelDialog::Program, PanelDialog::Mosaic})
        EXPECT_FALSE(dialogGuard(dialog, state, false));
}

TEST(PanelRules, NoLampStaysLitOnceTheDeviceIsGone)
{
    // PIP open on HDMI over V1 without signal (blinking), BYPASS, FREEZE, MOSAIC on, layout M2.
    const DeviceMirror live = decoded(2, 0x07, 0x40, 0);
    ASSERT_FALSE(live.blinkSet.empty());

    PanelState state{true, false};
    const auto gone = disconnected(state, live);
    EXPECT_FALSE(state.connected);
    for (int id : ids::kIndicators)
        EXPECT_EQ(gone.view.indicator(id), IndicatorState::Hidden) << id;
    EXPECT_EQ(gone.view.blinkSet, std::vector<int>{});
    EXPECT_TRUE(gone.mirror.blinkSet.empty());
    EXPECT_EQ(gone.view.isEnabled(ids::IDC_CONNECT), true);
    EXPECT_EQ(gone.view.isEnabled(ids::IDC_DISCONNECT), false);
    expectAll(gone.view.enabled, ids::kDeviceControlGroup, false);

    // The next connection adopts the device's Cut/Fade again, and its first
    // reply lights what it reports, the former second source now the main one too.
    EXPECT_FALSE(gone.mirror.fadeRadioInitialised);
    const Frame reply{0x05, 1, 0xFE, 0, 0, 3, 0x02, 0x04, 1, 1, 0, 1, 0};
    const auto back = decodeStatus(reply, 1, gone.mirror, false, false);
    EXPECT_EQ(back.mirror.fadeIndex, 3);
    EXPECT_EQ(back.view.indicator(ids::IDC_LED_HDMI), IndicatorState::Shown);
    EXPECT_EQ(back.view.indicator(ids::IDC_LED_BYPASS), IndicatorState::Shown);
}

TEST(PanelRules, ALaterViewWinsWhereBothNameAControl)
{
    PanelView first;
    first.enabled[ids::IDC_CONNECT] = false;
    first.enabled[ids::IDC_SETUP] = true;
    first.indicators[ids::IDC_LED_V1] = IndicatorState::Blinking;
    first.blinkSet = std::vector<int>{ids::IDC_LED_V1};
    PanelView later;
    later.enabled[ids::IDC_CONNECT] = true;
    later.indicators[ids::IDC_LED_V1] = IndicatorState::Hidden;
    later.indicators[ids::IDC_LED_V2] = IndicatorState::Unchanged;
    first.then(later);
    EXPECT_EQ(first.isEnabled(ids::IDC_CONNECT), true);
    EXPECT_EQ(first.isEnabled(ids::IDC_SETUP), true);
    EXPECT_EQ(first.indicator(ids::IDC_LED_V1), IndicatorState::Hidden);
    EXPECT_FALSE(first.indicators.contains(ids::IDC_LED_V2));
    EXPECT_EQ(first.blinkSet, std::vector<int>{ids::IDC_LED_V1});
}
