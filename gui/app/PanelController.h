#pragma once

#include "core/link/LinkSession.h"
#include "core/panel/DeviceMirror.h"
#include "core/settings/ConnectionSettings.h"
#include "core/settings/ProfileFile.h"
#include "gui/link/CProgress.h"

#include <QObject>

#include <functional>

namespace omnar::gui::app {

class CZelvicControlDlg;

// Wires the control panel to the link: operator actions go to the key logic
// and the pending-command slot, the link's reports come back to the panel on
// the GUI thread, and the connection settings follow the link box.
class PanelController : public QObject, private omnar::link::LinkSession::Events {
    Q_OBJECT
public:
    struct Options {
        // The COM port was named on the command line: start on Serial.
        bool portGiven = false;
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

    // Runs a modal please-wait window until `CProgress::requestClose`;
    // tests replace it (the default shows m_progress).
    void setProgressRunner(std::function<void(gui::link::CProgress&)> runner);

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

    void onKey(int controlId);
    void onConnect();
    void connectNow();
    void onDisconnect();
    void onPausedDialog();
    void onMosaic();
    void onConnectEnded(bool connected);
    void onStatusReply(const omnar::link::Frame& reply);
    void setCommandInFlight(bool busy);
    void saveSettings();
    std::uint8_t deviceId() const;

    CZelvicControlDlg& m_panel;
    Options m_options;
    settings::ProfileFile m_profile;
    settings::ConnectionSettings m_settings;
    panel::DeviceMirror m_mirror;
    gui::link::CProgress m_progress;
    std::function<void(gui::link::CProgress&)> m_progressRunner;
    omnar::link::LinkSession m_session;
};

} // namespace omnar::gui::app
