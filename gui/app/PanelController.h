#pragma once

#include "core/link/LinkSession.h"
#include "core/panel/DeviceMirror.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanRunner.h"
#include "core/plans/PlanRunnerEvents.h"
#include "core/settings/ConnectionSettings.h"
#include "core/settings/ProfileFile.h"
#include "gui/link/CProgress.h"

#include <QObject>

#include <atomic>
#include <functional>

namespace omnar::gui::plans {
class CProgram;
}

namespace omnar::gui::app {

class CZelvicControlDlg;

// Wires the control panel to the link: operator actions go to the key logic
// and the pending-command slot, the link's reports come back to the panel on
// the GUI thread, and the connection settings follow the link box. It also
// owns the plan editor's store and the plan runner behind the timer bar.
class PanelController : public QObject,
                        private omnar::link::LinkSession::Events,
                        private omnar::plans::PlanRunnerEvents {
    Q_OBJECT
public:
    struct Options {
        // The COM port was named on the command line: start on Serial.
        bool portGiven = false;
        // Connect at start-up whatever AutoConnect says (--connect).
        bool connectAtStart = false;
    };

    PanelController(CZelvicControlDlg& panel, const Options& options,
                    util::Clock& clock = util::RealClock::instance());
    ~PanelController() override;

    // Loads the connection settings into the link box and, with AutoConnect,
    // connects once the event loop runs.
    void start();

    omnar::link::LinkSession& session() { return m_session; }
    const panel::DeviceMirror& mirror() const { return m_mirror; }
    settings::ProfileFile& profile() { return m_profile; }
    const omnar::plans::PlanRunner& planRunner() const { return m_runner; }

    // Runs a modal please-wait window until `CProgress::requestClose`;
    // tests replace it (the default shows m_progress).
    void setProgressRunner(std::function<void(gui::link::CProgress&)> runner);
    // Runs the plan editor modally; tests replace it (the default calls exec()).
    void setProgramRunner(std::function<void(gui::plans::CProgram&)> runner);

signals:
    // The connect sequence ended; `connected` tells how.
    void connectFinished(bool connected);

private:
    // LinkSession::Events, called on the link's threads.
    void info(const std::string& en, const std::string& zh) override;
    void portOutOfRange() override;
    void connectEnded(bool connected) override;
    void statusReply(const omnar::link::Frame& reply) override;
    void commandStarted() override;
    void commandFinished() override;
    void linkLost(const std::string& reason) override;
    // PlanRunnerEvents, called on the runner's thread.
    void timerEntry(omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry) override;

    void onKey(int controlId);
    void onConnect();
    void connectNow();
    void onDisconnect();
    void onLinkLost();
    // The panel as Disconnect leaves it: indicators dark, blinking ended, Connect enabled.
    void showDisconnected();
    void onPausedDialog();
    void onProgram();
    void onTimerStarted();
    void onTimerStopped();
    void showTimerEntry(unsigned run, omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry);
    void onMosaic();
    void onConnectEnded(bool connected);
    void onStatusReply(const omnar::link::Frame& reply);
    void setCommandInFlight(bool busy);
    // The link box's device id, address and port into m_settings.
    void takeLinkBox();
    void saveSettings();
    std::uint8_t deviceId() const;

    CZelvicControlDlg& m_panel;
    Options m_options;
    settings::ProfileFile m_profile;
    settings::ConnectionSettings m_settings;
    panel::DeviceMirror m_mirror;
    gui::link::CProgress m_progress;
    std::function<void(gui::link::CProgress&)> m_progressRunner;
    std::function<void(gui::plans::CProgram&)> m_programRunner;
    omnar::link::LinkSession m_session;
    // The editor's store; the runner reads the file into a store of its own.
    omnar::plans::CInfoPlan m_plans;
    // Declared after the session: it runs on the session's link and ends first.
    omnar::plans::PlanRunner m_runner;
    // Counts the timer's runs, so a report of an earlier run is not shown.
    std::atomic<unsigned> m_timerRun{0};
    // The start-up connect, after which StartTimer may start the timer.
    bool m_autoConnecting = false;
    // A lost link that the session tries to get back; once back, StartTimer
    // applies as after the start-up connect.
    bool m_reconnecting = false;
    // The please-wait window waits for this connect sequence (tries after a
    // lost link show none, and must not close the next one early).
    std::atomic<bool> m_progressPending{false};
};

} // namespace omnar::gui::app
