#include "gui/app/CZelvicControlDlg.h"

#include "core/panel/PanelIds.h"
#include "core/panel/PanelTexts.h"
#include "gui/app/AppIcon.h"
#include "gui/app/CAboutDlg.h"
#include "gui/app/LedIndicator.h"
#include "gui/widgets/ControlSet.h"
#include "gui/widgets/QtText.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <utility>

namespace omnar::gui::app {

using namespace panel::ids;

namespace {

const char* const kAboutMenuText = "关于OmnarControl(&A)...";

} // namespace

CZelvicControlDlg::CZelvicControlDlg(const Options& options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_options(options)
    , m_controls(new widgets::ControlSet([](int id) { return util::controlName(kControls, id); }, this))
{
    setObjectName(QStringLiteral("CZelvicControlDlg"));
    setWindowIcon(appIcon());
    buildUi();
    initialise();

    m_blinkTimer.setInterval(500);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CZelvicControlDlg::blinkStep);

    auto* about = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(about, &QShortcut::activated, this, &CZelvicControlDlg::showAbout);
}

CZelvicControlDlg::~CZelvicControlDlg() = default;

QWidget* CZelvicControlDlg::control(int id) const
{
    return m_controls->widget(id);
}

// ---------------------------------------------------------------- initial state

void CZelvicControlDlg::initialise()
{
    // The panel starts in English, its title too.
    setWindowTitle(qs(panel::kWindowTitle.en));

    if (!m_options.comPort.isEmpty())
        m_comPort->setEditText(m_options.comPort);
    else
        m_comPort->setCurrentIndex(0);

    setControlChecked(IDC_LANG_EN, true);
    setControlChecked(IDC_DEVICE_ID_1, true);
    m_deviceIdList->setCurrentIndex(0);
    // Until the connection settings are loaded: Network, as the template has it.
    setSerialChosen(false);
    applyView(panel::startUpView());
    applyAdvancedVisibility();

    m_timerPanel->setVisible(false);
    updateTimerToggleCaption();
}

void CZelvicControlDlg::applyAdvancedVisibility()
{
    for (int id : kAdvancedControls)
        setControlVisible(id, m_options.advanced);
    // A lamp whose key is hidden names itself.
    for (const auto& k : kHiddenKeyLamps)
        m_leds.value(k.lamp)->setCaption(m_options.advanced ? QString() : controlText(k.key));
}

// ---------------------------------------------------------------- language and window

void CZelvicControlDlg::setLanguage(bool chinese)
{
    m_chinese = chinese;
    setControlChecked(chinese ? IDC_LANG_CH : IDC_LANG_EN, true);
    applyLanguage();
    emit languageChanged(chinese);
}

void CZelvicControlDlg::applyLanguage()
{
    for (const auto& c : panel::kCaptions)
        m_controls->setText(c.id, qs(c.text.in(m_chinese)));
    setWindowTitle(qs(panel::kWindowTitle.in(m_chinese)));
    updateTimerToggleCaption();
    for (int id : kTimerFields)
        updateTimerFieldName(id);
}

void CZelvicControlDlg::updateTimerToggleCaption()
{
    const auto& text = m_timerPanelCollapsed ? panel::kTimerToggleCollapsed : panel::kTimerToggleShown;
    m_controls->setText(IDC_TIMER_TOGGLE, qs(text.in(m_chinese)));
}

void CZelvicControlDlg::toggleTimerPanel()
{
    m_timerPanelCollapsed = !m_timerPanelCollapsed;
    m_timerPanel->setVisible(!m_timerPanelCollapsed);
    updateTimerToggleCaption();
    // Resize now (left and top stay), not at the next layout pass.
    layout()->activate();
}

void CZelvicControlDlg::showAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CZelvicControlDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(kAboutMenuText), this, &CZelvicControlDlg::showAbout);
    menu.exec(event->globalPos());
}

void CZelvicControlDlg::reject()
{
    if (m_exiting) {
        QDialog::reject();
        return;
    }
    if (!showMessage(panel::panelText(panel::TextId::AskExit)))
        return;
    m_exiting = true;
    m_blinkTimer.stop();
    emit exitConfirmed();
    QDialog::reject();
}

// ---------------------------------------------------------------- message boxes

void CZelvicControlDlg::setMessageHandler(MessageHandler handler)
{
    m_messageHandler = std::move(handler);
}

bool CZelvicControlDlg::showMessage(const util::TextPair& text)
{
    const auto& caption = panel::panelText(panel::TextId::SystemInformation);
    return showMessageBox(qs(caption.in(m_chinese)), qs(text.in(m_chinese)));
}

bool CZelvicControlDlg::showMessageBox(const QString& caption, const QString& text)
{
    if (m_messageHandler)
        return m_messageHandler(caption, text);
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, this);
    // The buttons speak the language of the text, as the message does.
    box.button(QMessageBox::Yes)->setText(qs(panel::kYesButton.in(m_chinese)));
    box.button(QMessageBox::No)->setText(qs(panel::kNoButton.in(m_chinese)));
    return box.exec() == QMessageBox::Yes;
}

void CZelvicControlDlg::showRefusal(const panel::Refusal& refusal)
{
    if (refusal.kind == panel::Refusal::Kind::InfoLine)
        setInfoText(qs(refusal.text));
    else
        showMessageBox(qs(refusal.caption), qs(refusal.text));
}

// ---------------------------------------------------------------- device view

void CZelvicControlDlg::applyView(const panel::PanelView& view)
{
    for (const auto& [id, state] : view.indicators) {
        if (state == panel::IndicatorState::Shown)
            setIndicatorLit(id, true);
        else if (state == panel::IndicatorState::Hidden)
            setIndicatorLit(id, false);
    }
    if (view.blinkSet)
        setBlinkSet(QList<int>(view.blinkSet->begin(), view.blinkSet->end()));
    for (const auto& [id, on] : view.checked)
        setControlChecked(id, on);
    for (const auto& [id, on] : view.enabled)
        setControlEnabled(id, on);
    for (const auto& [id, text] : view.captions)
        setControlText(id, QString::fromStdString(text));
    if (view.preLabel) {
        if (view.preLabel->visible)
            setControlText(IDC_PRE_LABEL, QString::fromStdString(view.preLabel->text));
        setControlVisible(IDC_PRE_LABEL, view.preLabel->visible);
    }
}

void CZelvicControlDlg::setIndicatorLit(int id, bool lit)
{
    if (auto* led = m_leds.value(id, nullptr))
        led->setLit(lit);
}

bool CZelvicControlDlg::isIndicatorLit(int id) const
{
    auto* led = m_leds.value(id, nullptr);
    return led && led->isLit();
}

void CZelvicControlDlg::setBlinkSet(const QList<int>& ids)
{
    QList<int> sorted = ids;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    m_blinkSet = sorted;
    if (m_blinkSet.isEmpty()) {
        m_blinkTimer.stop();
        m_blinkLit = false;
    } else if (!m_blinkTimer.isActive() && !m_exiting) {
        m_blinkTimer.start();
    }
}

void CZelvicControlDlg::blinkStep()
{
    if (m_blinkSet.isEmpty())
        return;
    m_blinkLit = !m_blinkLit;
    for (int id : m_blinkSet)
        setIndicatorLit(id, m_blinkLit);
}

void CZelvicControlDlg::setControlEnabled(int id, bool enabled)
{
    m_controls->setEnabled(id, enabled);
}

void CZelvicControlDlg::setControlChecked(int id, bool checked)
{
    // What the program shows (the decoder's switch mode, the language radio)
    // is no operator's choice and sends nothing.
    m_controls->setChecked(id, checked);
}

bool CZelvicControlDlg::isControlChecked(int id) const
{
    return m_controls->isChecked(id);
}

void CZelvicControlDlg::setControlText(int id, const QString& text)
{
    if (std::find(kTimerFields.begin(), kTimerFields.end(), id) != kTimerFields.end())
        setTimerField(id, text);
    else
        m_controls->setText(id, text);
}

QString CZelvicControlDlg::controlText(int id) const
{
    return m_controls->text(id);
}

void CZelvicControlDlg::setControlVisible(int id, bool visible)
{
    m_controls->setVisible(id, visible);
}

void CZelvicControlDlg::setInfoText(const QString& text)
{
    m_info->setText(text);
    m_info->setCursorPosition(0);
}

QString CZelvicControlDlg::infoText() const
{
    return m_info->text();
}

// ---------------------------------------------------------------- timer bar

panel::TimerSelection CZelvicControlDlg::timerSelection() const
{
    return {isControlChecked(IDC_TIMER_DAY), isControlChecked(IDC_TIMER_WEEK),
            isControlChecked(IDC_TIMER_MONTH), isControlChecked(IDC_TIMER_ONCE)};
}

void CZelvicControlDlg::onAllClicked()
{
    applyView(panel::allBoxClicked(timerSelection(), isControlChecked(IDC_TIMER_ALL)));
}

void CZelvicControlDlg::setTimerField(int id, const QString& text)
{
    if (std::find(kTimerFields.begin(), kTimerFields.end(), id) == kTimerFields.end())
        return;
    static_cast<QLabel*>(control(id))->setText(text);
    updateTimerFieldName(id);
}

void CZelvicControlDlg::updateTimerFieldName(int id)
{
    struct Field {
        int field, half, label;
    };
    static constexpr Field kFields[] = {
        {IDC_CUR_TIME, IDC_CURRENT_TIMER, IDC_CUR_TIME_LABEL},
        {IDC_CUR_SIGNAL, IDC_CURRENT_TIMER, IDC_CUR_SIGNAL_LABEL},
        {IDC_CUR_STATUS, IDC_CURRENT_TIMER, IDC_CUR_STATUS_LABEL},
        {IDC_CUR_RESULT, IDC_CURRENT_TIMER, IDC_CUR_RESULT_LABEL},
        {IDC_NEXT_TIME, IDC_NEXT_TIMER, IDC_NEXT_TIME_LABEL},
        {IDC_NEXT_SIGNAL, IDC_NEXT_TIMER, IDC_NEXT_SIGNAL_LABEL},
        {IDC_NEXT_STATUS, IDC_NEXT_TIMER, IDC_NEXT_STATUS_LABEL},
        {IDC_NEXT_RESULT, IDC_NEXT_TIMER, IDC_NEXT_RESULT_LABEL},
    };
    const auto f = std::find_if(std::begin(kFields), std::end(kFields), [id](const Field& f) { return f.field == id; });
    if (f == std::end(kFields))
        return;
    // A label's accessible name is what a screen reader reads out: it must
    // carry the value, with the caption beside it to say what the value is.
    QString name = controlText(f->half) + QLatin1Char(' ') + controlText(f->label);
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    const QString value = timerField(id);
    if (!value.isEmpty())
        name += QStringLiteral(": ") + value;
    control(id)->setAccessibleName(name);
}

QString CZelvicControlDlg::timerField(int id) const
{
    auto* field = qobject_cast<QLabel*>(control(id));
    return field ? field->text() : QString();
}

void CZelvicControlDlg::clearTimerFields()
{
    for (int id : kTimerFields)
        setTimerField(id, {});
}

// ---------------------------------------------------------------- link box

QString CZelvicControlDlg::comPortText() const
{
    return m_comPort->currentText();
}

void CZelvicControlDlg::setComPortText(const QString& name)
{
    m_comPort->setEditText(name);
}

bool CZelvicControlDlg::isSerialChosen() const
{
    return isControlChecked(IDC_SERIAL);
}

void CZelvicControlDlg::setSerialChosen(bool serial)
{
    applyView(panel::transportView(serial));
}

void CZelvicControlDlg::onSerialClicked()
{
    setSerialChosen(true);
    emit transportChosen(true);
}

void CZelvicControlDlg::onNetworkClicked()
{
    setSerialChosen(false);
    emit transportChosen(false);
}

QString CZelvicControlDlg::ipAddressText() const
{
    return m_ipAddress->text();
}

void CZelvicControlDlg::setIpAddressText(const QString& text)
{
    m_ipAddress->setText(text);
}

QString CZelvicControlDlg::tcpPortText() const
{
    return m_tcpPort->text();
}

void CZelvicControlDlg::setTcpPortText(const QString& text)
{
    m_tcpPort->setText(text);
}

int CZelvicControlDlg::deviceId() const
{
    return m_deviceIdList->currentIndex() + 1;
}

void CZelvicControlDlg::setDeviceId(int id)
{
    m_deviceIdList->setCurrentIndex(id >= 1 && id <= m_deviceIdList->count() ? id - 1 : -1);
    for (int n = 1; n <= 6; ++n)
        setControlChecked(kDeviceIdRadios[std::size_t(n - 1)], n == id);
}

void CZelvicControlDlg::onDeviceIdRadio(int n)
{
    m_deviceIdList->setCurrentIndex(n - 1);
    emit deviceIdChosen(n);
}

void CZelvicControlDlg::onDeviceIdListActivated(int index)
{
    const int id = index + 1;
    for (int n = 1; n <= 6; ++n)
        setControlChecked(kDeviceIdRadios[std::size_t(n - 1)], n == id);
    emit deviceIdChosen(id);
}

bool CZelvicControlDlg::isAutoConnectChecked() const
{
    return isControlChecked(IDC_AUTO_CONNECT);
}

bool CZelvicControlDlg::isStartTimerChecked() const
{
    return isControlChecked(IDC_START_TIMER);
}

void CZelvicControlDlg::setAutoConnectChecked(bool on)
{
    applyView(panel::autoConnectView(on));
}

void CZelvicControlDlg::setStartTimerChecked(bool on)
{
    setControlChecked(IDC_START_TIMER, on);
}

void CZelvicControlDlg::onAutoConnectClicked()
{
    const bool on = isAutoConnectChecked();
    setAutoConnectChecked(on);
    emit autoConnectToggled(on);
}

void CZelvicControlDlg::onStartTimerClicked()
{
    emit startTimerToggled(isStartTimerChecked());
}

} // namespace omnar::gui::app
