#include "gui/app/PanelController.h"

#include "core/panel/PanelKeys.h"
#include "core/panel/StatusDecoder.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "gui/setup/CCAdvanced.h"
#include "gui/setup/CSetScreen.h"
#include "gui/widgets/QtText.h"

#include <QMetaObject>
#include <QTimer>

#include <utility>

namespace omnar::gui::app {

namespace {

std::size_t slot(panel::PanelDialog dialog)
{
    return static_cast<std::size_t>(dialog);
}

void runFastMosaic(const PanelController::DialogContext& context)
{
    gui::mosaic::CSimpleMosaic dialog({context.link, context.deviceId, context.chinese, context.messageHandler},
                                      context.parent);
    dialog.exec();
}

gui::setup::DialogContext setupContext(const PanelController::DialogContext& context)
{
    gui::setup::DialogContext setup(context.link);
    setup.device = gui::setup::deviceContext(context.mirror, context.deviceId, context.chinese);
    setup.advanced = context.advanced;
    setup.messageHandler = context.messageHandler;
    return setup;
}

void runScreenSetup(const PanelController::DialogContext& context)
{
    gui::setup::CSetScreen dialog(setupContext(context), context.parent);
    dialog.exec();
}

void runResolution(const PanelController::DialogContext& context)
{
    gui::setup::CCAdvanced dialog(setupContext(context), context.parent);
    dialog.exec();
}

} // namespace

PanelController::PanelController(CZelvicControlDlg& panel, const Options& options, util::Clock& clock)
    : QObject(&panel)
    , m_panel(panel)
    , m_options(options)
    , m_profile(panel.options().configPath.toStdString())
    , m_progress(&panel)
    , m_progressRunner([](gui::link::CProgress& p) { p.exec(); })
    , m_session(*this, clock)
    , m_timer(panel, m_state, m_mirror, m_profile, m_session)
{
    m_dialogRunners[slot(panel::PanelDialog::Setup)] = runScreenSetup;
    m_dialogRunners[slot(panel::PanelDialog::Resolution)] = runResolution;
    m_dialogRunners[slot(panel::PanelDialog::Program)] = [this](const DialogContext&) { m_timer.openProgram(); };
    m_dialogRunners[slot(panel::PanelDialog::Mosaic)] = runFastMosaic;

    connect(&panel, &CZelvicControlDlg::keyPressed, this, &PanelController::onKey);
    connect(&panel, &CZelvicControlDlg::connectRequested, this, &PanelController::onConnect);
    connect(&panel, &CZelvicControlDlg::disconnectRequested, this, &PanelController::onDisconnect);
    connect(&panel, &CZelvicControlDlg::setupRequested, this,
            [this] { onDialogRequested(panel::PanelDialog::Setup); });
    connect(&panel, &CZelvicControlDlg::resolutionRequested, this,
            [this] { onDialogRequested(panel::PanelDialog::Resolution); });
    connect(&panel, &CZelvicControlDlg::programRequested, this,
            [this] { onDialogRequested(panel::PanelDialog::Program); });
    connect(&panel, &CZelvicControlDlg::mosaicRequested, this,
            [this] { onDialogRequested(panel::PanelDialog::Mosaic); });
    connect(&panel, &CZelvicControlDlg::transportChosen, this,
            [this](bool serial) { m_settings.chooseTransport(m_profile, serial); });
    connect(&panel, &CZelvicControlDlg::deviceIdChosen, this, [this](int id) {
        m_settings.chooseDeviceId(id);
        m_session.setDeviceId(deviceId());
        m_timer.setDeviceId(deviceId());
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
    // Exit stops every link thread before the window goes, the timer first.
    connect(&panel, &CZelvicControlDlg::exitConfirmed, this, [this] {
        m_timer.stop();
        m_session.disconnect();
    });
}

PanelController::~PanelController()
{
    // The link's threads and the runner report to these objects: they end
    // before them; the runner first, as it uses the session's link.
    m_timer.stop();
    m_session.disconnect();
}

void PanelController::setProgressRunner(std::function<void(gui::link::CProgress&)> runner)
{
    m_progressRunner = std::move(runner);
}

void PanelController::setDialogRunner(panel::PanelDialog dialog, DialogRunner runner)
{
    m_dialogRunners[slot(dialog)] = std::move(runner);
}

void PanelController::start()
{
    // The store holds its counts before anything may start the timer.
    m_timer.loadPlanCounts();
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
    // The start-up connect has not taken the link box yet.
    takeLinkBox();
    // Armed only once a reconnect try that was under way has ended: its end
    // must not close this connect's window.
    if (!m_session.connect(m_settings.connectTarget(), [this] { m_progressPending = true; })) {
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
    m_timer.stop();
    m_session.disconnect();
    m_reconnecting = false;
    showDisconnected();
}

void PanelController::onLinkLost()
{
    // The session has closed the link already; the timer has nothing to switch.
    m_timer.stop();
    m_reconnecting = m_settings.autoConnect;
    showDisconnected();
}

void PanelController::showDisconnected()
{
    const auto result = panel::disconnected(m_state, m_mirror);
    m_mirror = result.mirror;
    m_panel.applyView(result.view);
}

void PanelController::onDialogRequested(panel::PanelDialog dialog)
{
    if (const auto refusal = panel::dialogGuard(dialog, m_state, m_panel.isChinese())) {
        m_panel.showRefusal(*refusal);
        return;
    }
    if (dialog == panel::PanelDialog::Mosaic)
        onMosaic();
    else
        onPausedDialog(dialog);
}

PanelController::DialogContext PanelController::dialogContext()
{
    return {m_session.link(), deviceId(), m_panel.isChinese(), m_panel.options().advanced,
            m_mirror, m_panel.messageHandler(), &m_panel};
}

void PanelController::onPausedDialog(panel::PanelDialog dialog)
{
    // The dialog has the link to itself between the plan runner's switches,
    // which go on: each of its transactions takes the link lock.
    m_session.pause();
    if (const auto& run = m_dialogRunners[slot(dialog)])
        run(dialogContext());
    m_session.resume();
}

void PanelController::onMosaic()
{
    // The dialog takes the link over: the worker and the poller end, and the
    // panel stops showing a device it no longer watches. The plan runner
    // goes on while the dialog is open.
    m_session.stopWorkers();
    showDisconnected();
    if (const auto& run = m_dialogRunners[slot(panel::PanelDialog::Mosaic)])
        run(dialogContext());
    // The dialog leaves the device in its own state: the operator connects again.
    onDisconnect();
    // The operator did not press Disconnect: the Info line says why the panel is.
    const auto text = omnar::link::linkText(omnar::link::LinkTextId::HandedToMosaic);
    m_panel.setInfoText(qs(text.in(m_panel.isChinese())));
}

void PanelController::onKey(int controlId)
{
    const auto outcome = panel::pressKey(controlId, m_mirror, deviceId(), m_panel.isChinese());
    if (!outcome.handled)
        return;
    m_mirror = outcome.mirror;
    m_panel.applyView(outcome.view);
    if (outcome.refusal)
        m_panel.showRefusal(*outcome.refusal);
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
            m_panel.showMessageBox(qs(msg.caption), qs(msg.text));
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
    QMetaObject::invokeMethod(
        this, [this] { m_panel.applyView(panel::commandInFlight(m_state, true)); }, Qt::QueuedConnection);
}

void PanelController::commandFinished()
{
    QMetaObject::invokeMethod(
        this, [this] { m_panel.applyView(panel::commandInFlight(m_state, false)); }, Qt::QueuedConnection);
}

void PanelController::linkLost(const std::string&)
{
    // The session has printed the console line and sent the Info-line text.
    QMetaObject::invokeMethod(this, [this] { onLinkLost(); }, Qt::QueuedConnection);
}

void PanelController::onConnectEnded(bool connected)
{
    if (connected)
        m_panel.applyView(panel::connectionView(m_state, true));
    // The start-up connect, or the device back after a lost link.
    const bool autoConnect =
        std::exchange(m_autoConnecting, false) || (connected && std::exchange(m_reconnecting, false));
    if (autoConnect && omnar::plans::PlanRunner::autoStart(m_settings.autoConnect, m_settings.startTimer, connected))
        m_timer.start(); // as the Start button does
    emit connectFinished(connected);
}

void PanelController::onStatusReply(const omnar::link::Frame& reply)
{
    if (!m_state.connected)
        return; // a report that crossed a Disconnect, or the Fast Mosaic dialog has the link
    const auto result = panel::decodeStatus(reply, deviceId(), m_mirror, m_panel.isChinese(), m_state.timerRunning);
    if (result.ignored)
        return;
    m_mirror = result.mirror;
    m_panel.applyView(result.view);
    // Read by the runner when it next builds the day's list.
    m_timer.setV2IsYPbPr(m_mirror.v2IsYPbPr);
}

} // namespace omnar::gui::app
