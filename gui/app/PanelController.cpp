#include "gui/app/PanelController.h"

#include "core/link/TcpTransport.h"
#include "core/panel/PanelKeys.h"
#include "core/panel/StatusDecoder.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/MainWindowIds.h"
#include "gui/widgets/QtText.h"
#include "gui/plans/CProgram.h"

#include <QMetaObject>
#include <QTimer>

#include <utility>

namespace omnar::gui::app {

PanelController::PanelController(CZelvicControlDlg& panel, const Options& options, util::Clock& clock)
    : QObject(&panel)
    , m_panel(panel)
    , m_options(options)
    , m_profile(panel.options().configPath.toStdString())
    , m_progress(&panel)
    , m_progressRunner([](gui::link::CProgress& p) { p.exec(); })
    , m_programRunner([](gui::plans::CProgram& p) { p.exec(); })
    , m_session(*this, clock)
    , m_plans(m_profile)
    , m_runner(m_profile, m_session.link(), *this)
{
    connect(&panel, &CZelvicControlDlg::keyPressed, this, &PanelController::onKey);
    connect(&panel, &CZelvicControlDlg::connectRequested, this, &PanelController::onConnect);
    connect(&panel, &CZelvicControlDlg::disconnectRequested, this, &PanelController::onDisconnect);
    connect(&panel, &CZelvicControlDlg::setupRequested, this, &PanelController::onPausedDialog);
    connect(&panel, &CZelvicControlDlg::resolutionRequested, this, &PanelController::onPausedDialog);
    connect(&panel, &CZelvicControlDlg::programRequested, this, &PanelController::onProgram);
    connect(&panel, &CZelvicControlDlg::mosaicRequested, this, &PanelController::onMosaic);
    connect(&panel, &CZelvicControlDlg::transportChosen, this,
            [this](bool serial) { m_settings.chooseTransport(m_profile, serial); });
    connect(&panel, &CZelvicControlDlg::deviceIdChosen, this, [this](int id) {
        m_settings.chooseDeviceId(id);
        m_session.setDeviceId(deviceId());
        m_runner.setDeviceId(deviceId());
    });
    connect(&panel, &CZelvicControlDlg::autoConnectToggled, this, [this](bool on) {
        m_settings.autoConnect = on;
        m_session.setAutoReconnect(on);
        if (!on)
            m_reconnecting = false;
        saveSettings();
    });
    connect(&panel, &CZelvicControlDlg::startTimerToggled, this, [this](bool on) {
        m_settings.startTimer = on;
        saveSettings();
    });
    connect(&panel, &CZelvicControlDlg::timerStarted, this, &PanelController::onTimerStarted);
    connect(&panel, &CZelvicControlDlg::timerStopped, this, &PanelController::onTimerStopped);
    // Exit stops every link thread before the window goes, the timer first.
    connect(&panel, &CZelvicControlDlg::exitConfirmed, this, [this] {
        m_runner.stop();
        m_session.disconnect();
    });
}

PanelController::~PanelController()
{
    // The link's threads and the runner report to this object: they end
    // before it does; the runner first, as it uses the session's link.
    m_runner.stop();
    m_session.disconnect();
}

void PanelController::setProgressRunner(std::function<void(gui::link::CProgress&)> runner)
{
    m_progressRunner = std::move(runner);
}

void PanelController::setProgramRunner(std::function<void(gui::plans::CProgram&)> runner)
{
    m_programRunner = std::move(runner);
}

void PanelController::start()
{
    // The store holds its counts before anything may start the timer.
    m_plans.LoadPlanCounts();
    m_settings = settings::ConnectionSettings::load(m_profile, m_panel.comPortText().toStdString());
    // A port named on the command line means the operator wants that serial
    // port now, whatever transport the profile file holds.
    if (m_options.portGiven && !m_settings.serial) {
        m_settings.serial = true;
        m_settings.comName = m_panel.comPortText().toStdString();
    }
    m_panel.setSerialChosen(m_settings.serial);
    if (!m_settings.serial) {
        m_panel.setIpAddressText(qs(m_settings.ip));
        m_panel.setTcpPortText(qs(m_settings.port));
    }
    m_panel.setAutoConnectChecked(m_settings.autoConnect);
    m_panel.setStartTimerChecked(m_settings.startTimer);
    m_session.setAutoReconnect(m_settings.autoConnect);
    if (m_settings.autoConnect) {
        m_panel.setDeviceId(m_settings.deviceId);
        m_autoConnecting = true;
        // Connect once the panel is up, so the please-wait window shows over it.
        QTimer::singleShot(0, this, &PanelController::connectNow);
    } else if (m_options.connectAtStart) {
        QTimer::singleShot(0, this, &PanelController::connectNow);
    }
}

std::uint8_t PanelController::deviceId() const
{
    const int id = m_panel.deviceId();
    return static_cast<std::uint8_t>(id >= 0 && id <= 255 ? id : 0);
}

void PanelController::takeLinkBox()
{
    m_settings.chooseDeviceId(m_panel.deviceId());
    // What the operator typed is what Connect uses, so it is what is kept.
    m_settings.ip = m_panel.ipAddressText().trimmed().toStdString();
    m_settings.port = m_panel.tcpPortText().trimmed().toStdString();
}

void PanelController::saveSettings()
{
    takeLinkBox();
    m_settings.save(m_profile);
}

void PanelController::onConnect()
{
    takeLinkBox();
    m_settings.prepareConnect(m_profile, m_panel.comPortText().toStdString());
    connectNow();
}

void PanelController::connectNow()
{
    omnar::link::ConnectTarget target;
    target.serial = m_panel.isSerialChosen();
    target.comPortName = m_panel.comPortText().toStdString();
    // A blank or unreadable address stays 0.0.0.0, which the transport refuses.
    std::uint32_t address = 0;
    omnar::link::parseIpv4(m_panel.ipAddressText().trimmed().toStdString(), address);
    target.address = address;
    target.portText = m_panel.tcpPortText().toStdString();
    target.deviceId = deviceId();
    m_progressPending = true;
    if (!m_session.connect(target)) {
        m_progressPending = false;
        m_autoConnecting = false;
        return;
    }
    // The operator's Connect ends the tries after a lost link.
    m_reconnecting = false;
    m_progress.setLanguage(m_panel.isChinese());
    m_progress.setKind(gui::link::CProgress::Connecting);
    m_progressRunner(m_progress);
}

void PanelController::onDisconnect()
{
    // The button is disabled while the timer runs; stop it all the same
    // rather than pull the link from under it.
    if (m_panel.isTimerRunning())
        m_panel.stopTimer();
    m_runner.stop();
    m_session.disconnect();
    m_reconnecting = false;
    showDisconnected();
}

void PanelController::onLinkLost()
{
    // The session has closed the link already; the timer has nothing to switch.
    if (m_panel.isTimerRunning())
        m_panel.stopTimer();
    m_runner.stop();
    m_reconnecting = m_settings.autoConnect;
    showDisconnected();
}

void PanelController::showDisconnected()
{
    const auto result = panel::disconnectMirror(m_mirror);
    m_mirror = result.mirror;
    m_panel.applyView(result.view);
    m_panel.setBlinkSet({});
    m_panel.setConnectedUi(false);
}

void PanelController::onPausedDialog()
{
    // The dialog owns the link while it is open; the worker and the poller
    // wait between transactions. Its window comes with the screen setup and
    // resolution dialogs.
    m_session.pause();
    m_session.resume();
}

void PanelController::onProgram()
{
    // The editor talks to no device; the worker and the poller wait between
    // transactions while it is open, the plan runner goes on.
    m_session.pause();
    gui::plans::CProgram::Options options;
    options.chinese = m_panel.isChinese();
    options.v2IsYPbPr = m_mirror.v2IsYPbPr;
    options.clock = &m_session.clock();
    gui::plans::CProgram editor(m_plans, options, &m_panel);
    m_programRunner(editor);
    m_session.resume();
}

void PanelController::onMosaic()
{
    if (m_panel.isTimerRunning())
        m_panel.stopTimer();
    m_runner.stop();
    m_session.stopWorkers();
    // The mosaic dialog leaves the device in its own state: reconnect afterwards.
    m_session.disconnect();
    m_reconnecting = false;
    m_panel.setConnectedUi(false);
}

void PanelController::onKey(int controlId)
{
    const auto outcome = panel::pressKey(controlId, m_mirror, deviceId(), m_panel.isChinese());
    if (!outcome.handled)
        return;
    m_mirror = outcome.mirror;
    m_panel.applyView(outcome.view);
    if (outcome.refusal) {
        if (outcome.refusal->kind == panel::Refusal::Kind::InfoLine)
            m_panel.setInfoText(qs(outcome.refusal->text));
        else
            m_panel.showMessageBox(qs(outcome.refusal->caption), qs(outcome.refusal->text));
    }
    if (outcome.command)
        m_session.submit(*outcome.command);
}

// ---- reports of the link, handed over to the GUI thread in their order

void PanelController::info(const std::string& en, const std::string& zh)
{
    QMetaObject::invokeMethod(this, [this, en, zh] { m_panel.setInfoText(qs(m_panel.isChinese() ? zh : en)); },
                              Qt::QueuedConnection);
}

void PanelController::portOutOfRange()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            const auto msg = settings::portOutOfRangeMessage(m_panel.isChinese());
            m_panel.showMessageBox(qs(msg.caption),
                                   qs(msg.text));
        },
        Qt::QueuedConnection);
}

void PanelController::connectEnded(bool connected)
{
    // The please-wait window closes even when it has not appeared yet.
    if (m_progressPending.exchange(false))
        m_progress.requestClose();
    QMetaObject::invokeMethod(this, [this, connected] { onConnectEnded(connected); }, Qt::QueuedConnection);
}

void PanelController::statusReply(const omnar::link::Frame& reply)
{
    QMetaObject::invokeMethod(this, [this, reply] { onStatusReply(reply); }, Qt::QueuedConnection);
}

void PanelController::commandStarted()
{
    QMetaObject::invokeMethod(this, [this] { setCommandInFlight(true); }, Qt::QueuedConnection);
}

void PanelController::commandFinished()
{
    QMetaObject::invokeMethod(this, [this] { setCommandInFlight(false); }, Qt::QueuedConnection);
}

void PanelController::linkLost(const std::string&)
{
    // The session has printed the console line and sent the Info-line text.
    QMetaObject::invokeMethod(this, [this] { onLinkLost(); }, Qt::QueuedConnection);
}

void PanelController::onConnectEnded(bool connected)
{
    if (connected) {
        m_panel.setBlinkSet({});
        m_panel.setConnectedUi(true);
    }
    // The start-up connect, or the device back after a lost link.
    const bool autoConnect = std::exchange(m_autoConnecting, false) || (connected && std::exchange(m_reconnecting, false));
    if (autoConnect && omnar::plans::PlanRunner::autoStart(m_settings.autoConnect, m_settings.startTimer, connected))
        m_panel.startTimer(); // as the Start button does
    emit connectFinished(connected);
}

void PanelController::onStatusReply(const omnar::link::Frame& reply)
{
    if (!m_session.connected())
        return; // a report that crossed a Disconnect
    const auto result =
        panel::decodeStatus(reply, deviceId(), m_mirror, m_panel.isChinese(), m_panel.isTimerRunning());
    if (result.ignored)
        return;
    m_mirror = result.mirror;
    m_panel.applyView(result.view);
    // Read by the runner when it next builds the day's list.
    m_runner.setV2IsYPbPr(m_mirror.v2IsYPbPr);
}

void PanelController::setCommandInFlight(bool busy)
{
    if (!m_session.connected())
        return;
    m_panel.setDeviceControlGroupEnabled(!busy);
    for (int id : {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3})
        m_panel.setControlEnabled(id, !busy);
}

// ---- the timer

void PanelController::onTimerStarted()
{
    // The window has refused an empty selection already and switched its bar
    // to running; the runner takes the selection as it stands now.
    if (m_runner.running())
        return; // a second Start changes nothing
    const auto selection = m_panel.timerSelection();
    m_runner.setKinds({selection.day, selection.week, selection.month, selection.once});
    m_runner.setV2IsYPbPr(m_mirror.v2IsYPbPr);
    m_runner.setDeviceId(deviceId());
    ++m_timerRun;
    if (m_runner.start() == omnar::plans::PlanRunner::StartResult::NoKindChecked)
        m_panel.stopTimer(); // not reached while the window checks first; keeps the bar truthful
}

void PanelController::onTimerStopped()
{
    // Every wait of the runner ends on the stop request, so this returns at once.
    m_runner.stop();
}

void PanelController::timerEntry(omnar::plans::TimerHalf half, const omnar::plans::TimerEntry& entry)
{
    const unsigned run = m_timerRun;
    QMetaObject::invokeMethod(this, [this, run, half, entry] { showTimerEntry(run, half, entry); },
                              Qt::QueuedConnection);
}

void PanelController::showTimerEntry(unsigned run, omnar::plans::TimerHalf half,
                                     const omnar::plans::TimerEntry& entry)
{
    // A report that crossed Stop (or Stop and a new Start) is stale.
    if (run != m_timerRun || !m_panel.isTimerRunning())
        return;
    const bool current = half == omnar::plans::TimerHalf::Current;
    const bool chinese = m_panel.isChinese();
    m_panel.setTimerField(current ? ids::IDC_CUR_TIME : ids::IDC_NEXT_TIME, qs(entry.time));
    m_panel.setTimerField(current ? ids::IDC_CUR_SIGNAL : ids::IDC_NEXT_SIGNAL, qs(entry.signal));
    m_panel.setTimerField(current ? ids::IDC_CUR_STATUS : ids::IDC_NEXT_STATUS, qs(entry.status.in(chinese)));
    m_panel.setTimerField(current ? ids::IDC_CUR_RESULT : ids::IDC_NEXT_RESULT, qs(entry.result.in(chinese)));
}

} // namespace omnar::gui::app
