#include "gui/app/PanelController.h"

#include "core/link/TcpTransport.h"
#include "core/panel/PanelKeys.h"
#include "core/panel/StatusDecoder.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/MainWindowIds.h"

#include <QMetaObject>
#include <QTimer>

namespace omnar::gui::app {

namespace {

QString qs(const std::string& s)
{
    return QString::fromStdString(s);
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
{
    connect(&panel, &CZelvicControlDlg::keyPressed, this, &PanelController::onKey);
    connect(&panel, &CZelvicControlDlg::connectRequested, this, &PanelController::onConnect);
    connect(&panel, &CZelvicControlDlg::disconnectRequested, this, &PanelController::onDisconnect);
    connect(&panel, &CZelvicControlDlg::setupRequested, this, &PanelController::onPausedDialog);
    connect(&panel, &CZelvicControlDlg::resolutionRequested, this, &PanelController::onPausedDialog);
    connect(&panel, &CZelvicControlDlg::programRequested, this, &PanelController::onPausedDialog);
    connect(&panel, &CZelvicControlDlg::mosaicRequested, this, &PanelController::onMosaic);
    connect(&panel, &CZelvicControlDlg::transportChosen, this,
            [this](bool serial) { m_settings.chooseTransport(m_profile, serial); });
    connect(&panel, &CZelvicControlDlg::deviceIdChosen, this, [this](int id) {
        m_settings.chooseDeviceId(id);
        m_session.setDeviceId(deviceId());
    });
    connect(&panel, &CZelvicControlDlg::autoConnectToggled, this, [this](bool on) {
        m_settings.autoConnect = on;
        saveSettings();
    });
    connect(&panel, &CZelvicControlDlg::startTimerToggled, this, [this](bool on) {
        m_settings.startTimer = on;
        saveSettings();
    });
    // Exit stops every link thread before the window goes.
    connect(&panel, &CZelvicControlDlg::exitConfirmed, this, [this] { m_session.disconnect(); });
}

PanelController::~PanelController()
{
    // The link's threads report to this object: they end before it does.
    m_session.disconnect();
}

void PanelController::setProgressRunner(std::function<void(gui::link::CProgress&)> runner)
{
    m_progressRunner = std::move(runner);
}

void PanelController::start()
{
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
    if (m_settings.autoConnect) {
        m_panel.setDeviceId(m_settings.deviceId);
        // Connect once the panel is up, so the please-wait window shows over it.
        QTimer::singleShot(0, this, &PanelController::connectNow);
    }
}

std::uint8_t PanelController::deviceId() const
{
    const int id = m_panel.deviceId();
    return static_cast<std::uint8_t>(id >= 0 && id <= 255 ? id : 0);
}

void PanelController::saveSettings()
{
    m_settings.chooseDeviceId(m_panel.deviceId());
    m_settings.save(m_profile);
}

void PanelController::onConnect()
{
    m_settings.chooseDeviceId(m_panel.deviceId());
    m_settings.prepareConnect(m_profile, m_panel.comPortText().toStdString());
    connectNow();
}

void PanelController::connectNow()
{
    omnar::link::ConnectTarget target;
    target.serial = m_panel.isSerialChosen();
    target.comPortName = m_panel.comPortText().toStdString();
    // A blank or unreadable address is 0.0.0.0, which simply fails to connect.
    std::uint32_t address = 0;
    omnar::link::parseIpv4(m_panel.ipAddressText().trimmed().toStdString(), address);
    target.address = address;
    target.portText = m_panel.tcpPortText().toStdString();
    target.deviceId = deviceId();
    if (!m_session.connect(target))
        return;
    m_progress.setLanguage(m_panel.isChinese());
    m_progress.setKind(gui::link::CProgress::Connecting);
    m_progressRunner(m_progress);
}

void PanelController::onDisconnect()
{
    m_session.disconnect();
    const auto result = panel::disconnectMirror(m_mirror);
    m_mirror = result.mirror;
    m_panel.applyView(result.view);
    m_panel.setBlinkSet({});
    m_panel.setConnectedUi(false);
}

void PanelController::onPausedDialog()
{
    // The dialog owns the link while it is open; the worker and the poller
    // wait between transactions. Its window comes with the screen setup,
    // resolution and plan editor.
    m_session.pause();
    m_session.resume();
}

void PanelController::onMosaic()
{
    m_session.stopWorkers();
    // The mosaic dialog leaves the device in its own state: reconnect afterwards.
    m_session.disconnect();
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
            m_panel.showMessageBox(QString::fromUtf8(msg.caption.data(), static_cast<int>(msg.caption.size())),
                                   QString::fromUtf8(msg.text.data(), static_cast<int>(msg.text.size())));
        },
        Qt::QueuedConnection);
}

void PanelController::connectEnded(bool connected)
{
    // The please-wait window closes even when it has not appeared yet.
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

void PanelController::onConnectEnded(bool connected)
{
    if (connected) {
        m_panel.setBlinkSet({});
        m_panel.setConnectedUi(true);
    }
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
}

void PanelController::setCommandInFlight(bool busy)
{
    if (!m_session.connected())
        return;
    m_panel.setDeviceControlGroupEnabled(!busy);
    for (int id : {ids::IDC_M1, ids::IDC_M2, ids::IDC_M3})
        m_panel.setControlEnabled(id, !busy);
}

} // namespace omnar::gui::app
