#pragma once

#include "core/link/LinkSession.h"
#include "core/panel/DeviceMirror.h"
#include "core/panel/PanelRules.h"
#include "core/settings/ConnectionSettings.h"
#include "core/settings/ProfileFile.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/TimerController.h"
#include "gui/link/CProgress.h"

#include <QObject>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>

namespace omnar::gui::app {

// Wires the control panel to the link: operator actions go to the key logic
// and the pending-command slot, the link's reports come back to the panel on
// the GUI thread, the connection settings follow the link box, and the
// dialog buttons open their dialogs over the link. What the panel shows is
// decided in core/panel; the timer side is the TimerController's.
class PanelController : public QObject, private omnar::link::LinkSession::Events {
    Q_OBJECT
public:
    struct Options {
        // The COM port was named on the command line: start on Serial.
        bool portGiven = false;
        // Connect at start-up whatever AutoConnect says (--connect).
        bool connectAtStart = false;
    };

    // What a dialog opened over the panel gets: the link, the panel's device
    // id and language, the decoded device state, and the panel's message
    // handler (empty: the dialog's own boxes).
    struct DialogContext {
        omnar::link::Link& link;
        std::uint8_t deviceId;
        bool chinese;
        bool advanced;
        const panel::DeviceMirror& mirror;
        CZelvicControlDlg::MessageHandler messageHandler;
        QWidget* parent;
    };
    // Runs one dialog modally and returns once it has closed and its device
    // work has stopped.
    using DialogRunner = std::function<void(const DialogContext&)>;

    PanelController(CZelvicControlDlg& panel, const Options& options,
                    util::Clock& clock = util::RealClock::instance());
    ~PanelController() override;

    // Loads the connection settings into the link box and, with AutoConnect,
    // connects once the event loop runs.
    void start();

    omnar::link::LinkSession& session() { return m_session; }
    const panel::DeviceMirror& mirror() const { return m_mirror; }
    const panel::PanelState& state() const { return m_state; }
    settings::ProfileFile& profile() { return m_profile; }
    TimerController& timer() { return m_timer; }

    // Runs a modal please-wait window until `CProgress::requestClose`;
    // tests replace it (the default shows m_progress).
    void setProgressRunner(std::function<void(gui::link::CProgress&)> runner);
    // The dialog behind a button: Mosaic opens the Fast Mosaic dialog and
    // Program the plan editor; tests replace them.
    void setDialogRunner(panel::PanelDialog dialog, DialogRunner runner);

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

    void onKey(int controlId);
    void onConnect();
    void connectNow();
    void onDisconnect();
    void onLinkLost();
    // The panel as Disconnect leaves it: indicators dark, blinking ended, Connect enabled.
    void showDisconnected();
    void onDialogRequested(panel::PanelDialog dialog);
    // A dialog that talks to the device while the command worker and the
    // status poller wait between transactions; they go on when it closes.
    void onPausedDialog(panel::PanelDialog dialog);
    // The Fast Mosaic dialog takes the link over and leaves it closed.
    void onMosaic();
    DialogContext dialogContext();
    void onConnectEnded(bool connected);
    void onStatusReply(const omnar::link::Frame& reply);
    // The link box's device id, address and port into m_settings.
    void takeLinkBox();
    void saveSettings();
    std::uint8_t deviceId() const;

    CZelvicControlDlg& m_panel;
    Options m_options;
    settings::ProfileFile m_profile;
    settings::ConnectionSettings m_settings;
    panel::DeviceMirror m_mirror;
    panel::PanelState m_state;
    gui::link::CProgress m_progress;
    std::function<void(gui::link::CProgress&)> m_progressRunner;
    std::array<DialogRunner, 4> m_dialogRunners;
    omnar::link::LinkSession m_session;
    // After the session: the plan runner uses its link and ends first.
    TimerController m_timer;
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
