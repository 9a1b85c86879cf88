// The control panel's widgets: building each group of controls and laying
// out the window. The behaviour of the window is in CZelvicControlDlg.cpp.

#include "gui/app/CZelvicControlDlg.h"

#include "core/panel/PanelIds.h"
#include "core/panel/PanelTexts.h"
#include "gui/app/LedIndicator.h"
#include "gui/widgets/BlueCaption.h"
#include "gui/widgets/ControlSet.h"
#include "gui/widgets/QtText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace omnar::gui::app {

using namespace panel::ids;

namespace {

const QColor kTimerFieldCyan(0, 255, 255);
const QColor kSourceLedColour(40, 220, 60);
const QColor kFunctionLedColour(255, 170, 0);
const QColor kLayoutLedColour(60, 170, 255);

} // namespace

// ---------------------------------------------------------------- building

QPushButton* CZelvicControlDlg::makeButton(int id, const QString& caption, int minWidth)
{
    auto* b = m_controls->add(id, new QPushButton(caption));
    b->setAutoDefault(false);
    b->setAccessibleName(caption);
    if (minWidth > 0)
        b->setMinimumWidth(minWidth);
    b->setMinimumHeight(28);
    return b;
}

QPushButton* CZelvicControlDlg::makeKey(int id, const QString& caption)
{
    auto* b = makeButton(id, caption, 62);
    b->setMinimumHeight(38);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    connect(b, &QPushButton::clicked, this, [this, id] { emit keyPressed(id); });
    return b;
}

QRadioButton* CZelvicControlDlg::makeRadio(int id, const QString& caption)
{
    auto* r = m_controls->add(id, new QRadioButton(caption));
    r->setAccessibleName(caption);
    return r;
}

QCheckBox* CZelvicControlDlg::makeCheck(int id, const QString& caption)
{
    auto* c = m_controls->add(id, new QCheckBox(caption));
    c->setAccessibleName(caption);
    return c;
}

QGroupBox* CZelvicControlDlg::makeGroup(int id, const QString& caption)
{
    auto* g = m_controls->add(id, new QGroupBox(caption));
    g->setAccessibleName(caption);
    return g;
}

QLabel* CZelvicControlDlg::makeLabel(int id, const QString& caption)
{
    auto* l = m_controls->add(id, new QLabel(caption));
    l->setAccessibleName(caption);
    return l;
}

LedIndicator* CZelvicControlDlg::makeLed(int id, const QString& shows, QColor colour)
{
    auto* led = m_controls->add(id, new LedIndicator(colour));
    led->setAccessibleName(shows);
    led->setToolTip(shows);
    m_leds.insert(id, led);
    return led;
}

QBoxLayout* CZelvicControlDlg::keyColumn(int keyId, const QString& caption, int ledId,
                                         const QString& shows, QColor colour)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    if (ledId)
        column->addWidget(makeLed(ledId, shows, colour), 0, Qt::AlignHCenter);
    else
        column->addSpacing(LedIndicator(colour).sizeHint().height()); // keeps the key row level
    column->addSpacing(3);
    column->addWidget(makeKey(keyId, caption));
    // A lamp whose key is hidden stays level with the others.
    column->addStretch(1);
    return column;
}

QGroupBox* CZelvicControlDlg::buildSourceGroup()
{
    auto* group = makeGroup(IDC_SOURCE_GROUP, QStringLiteral("Source"));
    auto* keys = new QHBoxLayout;
    keys->setSpacing(6);
    struct Key {
        int key;
        const char* caption;
        int led;
    };
    // Keys in the order an operator reads the inputs: video, PC, digital, external.
    const Key sourceKeys[] = {
        {IDC_KEY_V1, "V1", IDC_LED_V1},       {IDC_KEY_V2, "V2", IDC_LED_V2},
        {IDC_KEY_VGA, "VGA", IDC_LED_VGA},    {IDC_KEY_VGA2, "VGA2", IDC_LED_VGA2},
        {IDC_KEY_HDMI, "HDMI", IDC_LED_HDMI}, {IDC_KEY_DVI, "DVI", IDC_LED_DVI},
        {IDC_KEY_DP, "DP", IDC_LED_DP},       {IDC_KEY_EXT, "EXT.", IDC_LED_EXT},
    };
    for (const auto& k : sourceKeys) {
        const QString caption = QString::fromLatin1(k.caption);
        keys->addLayout(keyColumn(k.key, caption, k.led, caption + QStringLiteral(" source"),
                                  kSourceLedColour));
    }

    auto* pre = makeLabel(IDC_PRE_LABEL, QStringLiteral("Pre:"));
    widgets::markBlueCaption(pre);
    pre->setMinimumWidth(110);
    // Appears and disappears with the pre-selection; the row must not jump.
    QSizePolicy keep = pre->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    pre->setSizePolicy(keep);

    auto* ext = makeGroup(IDC_EXT_GROUP, QStringLiteral("EXT."));
    widgets::markBlueCaption(ext);
    auto* extGrid = new QGridLayout(ext);
    extGrid->setHorizontalSpacing(14);
    extGrid->setVerticalSpacing(2);
    auto* extButtons = new QButtonGroup(this);
    struct Sub {
        int id;
        const char* caption;
    };
    const Sub subs[] = {
        {IDC_EXT_NULL, "NULL"}, {IDC_EXT_SDI, "SDI"},     {IDC_EXT_VGA, "VGA"},
        {IDC_EXT_DVI, "DVI"},   {IDC_EXT_VIDEO, "VIDEO"}, {IDC_EXT_USB, "USB"},
    };
    for (int i = 0; i < 6; ++i) {
        auto* r = makeRadio(subs[i].id, QString::fromLatin1(subs[i].caption));
        r->setEnabled(false); // shows what the device reports; not a choice
        extButtons->addButton(r);
        extGrid->addWidget(r, 0, i);
    }

    auto* below = new QHBoxLayout;
    below->addWidget(pre, 0, Qt::AlignVCenter);
    below->addStretch(1);
    below->addWidget(ext);

    auto* v = new QVBoxLayout(group);
    v->addLayout(keys);
    v->addLayout(below);
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildFunctionGroup()
{
    auto* group = makeGroup(IDC_FUNCTION_GROUP, QStringLiteral("Function"));
    auto* keys = new QHBoxLayout(group);
    keys->setSpacing(6);
    keys->addLayout(keyColumn(IDC_KEY_PIP, QStringLiteral("PIP/PBP"), IDC_LED_PIP,
                              QStringLiteral("PIP/PBP open"), kFunctionLedColour));
    keys->addLayout(keyColumn(IDC_KEY_TEXT, QStringLiteral("TEXT"), IDC_LED_TEXT,
                              QStringLiteral("TEXT open"), kFunctionLedColour));
    keys->addLayout(keyColumn(IDC_KEY_BYPASS, QStringLiteral("BYPASS"), IDC_LED_BYPASS,
                              QStringLiteral("BYPASS on"), kFunctionLedColour));
    keys->addLayout(keyColumn(IDC_KEY_MOSAIC, QStringLiteral("MOSAIC"), IDC_LED_MOSAIC,
                              QStringLiteral("MOSAIC on"), kFunctionLedColour));
    keys->addLayout(keyColumn(IDC_KEY_FREEZE, QStringLiteral("FREEZE"), IDC_LED_FREEZE,
                              QStringLiteral("FREEZE on"), kFunctionLedColour));
    keys->addLayout(keyColumn(IDC_KEY_AUTO_TAKE, QStringLiteral("AUTO"), 0, {}, kFunctionLedColour));
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildPipModeGroup()
{
    auto* group = makeGroup(IDC_PIP_MODE_GROUP, QStringLiteral("PIP_Mode"));
    auto* keys = new QHBoxLayout(group);
    keys->setSpacing(6);
    const int layouts[][2] = {{IDC_M1, IDC_LED_M1}, {IDC_M2, IDC_LED_M2}, {IDC_M3, IDC_LED_M3}};
    for (int i = 0; i < 3; ++i) {
        const QString caption = QStringLiteral("M%1").arg(i + 1);
        auto* column = keyColumn(layouts[i][0], caption, layouts[i][1], caption + QStringLiteral(" layout"),
                                 kLayoutLedColour);
        keys->addLayout(column);
        static_cast<QPushButton*>(control(layouts[i][0]))->setMinimumWidth(44);
    }
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildFadeGroup()
{
    auto* group = makeGroup(IDC_FADE_GROUP, QStringLiteral("Cut/Fade"));
    auto* row = new QHBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    const std::pair<int, const char*> fades[] = {
        {IDC_FADE_CUT, "Cut"}, {IDC_FADE_05S, "0.5S"}, {IDC_FADE_10S, "1.0S"}, {IDC_FADE_15S, "1.5S"}};
    for (const auto& [id, caption] : fades) {
        auto* r = makeRadio(id, QString::fromLatin1(caption));
        buttons->addButton(r);
        row->addWidget(r);
        m_controls->onActivated(r, [this, id = id] { emit keyPressed(id); });
    }
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildSwitchModeGroup()
{
    auto* group = makeGroup(IDC_SWITCH_MODE_GROUP, QStringLiteral("Switch Mode"));
    auto* col = new QHBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    for (int id : {IDC_ONE_KEY, IDC_PRE_TAKE}) {
        auto* r = makeRadio(id, id == IDC_ONE_KEY ? QStringLiteral("One Key Switch")
                                                  : QStringLiteral("Pre + TAKE Switch"));
        buttons->addButton(r);
        col->addWidget(r);
        m_controls->onActivated(r, [this, id] { emit keyPressed(id); });
    }
    col->addStretch(1);
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildLinkGroup()
{
    auto* group = makeGroup(IDC_LINK_GROUP, QStringLiteral("Serial/Network"));
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(6);

    auto* transport = new QButtonGroup(this);
    auto* serial = makeRadio(IDC_SERIAL, QStringLiteral("Serial"));
    auto* network = makeRadio(IDC_NETWORK, QStringLiteral("Network"));
    transport->addButton(serial);
    transport->addButton(network);
    m_controls->onActivated(serial, [this] { onSerialClicked(); });
    m_controls->onActivated(network, [this] { onNetworkClicked(); });
    auto* transportRow = new QHBoxLayout;
    transportRow->addWidget(serial);
    transportRow->addWidget(network);
    transportRow->addStretch(1);
    grid->addLayout(transportRow, 0, 0, 1, 2);

    grid->addWidget(makeLabel(IDC_COM_PORT_LABEL, QStringLiteral("Rs232_Com_Port:")), 1, 0);
    m_comPort = m_controls->add(IDC_COM_PORT, new QComboBox);
    m_comPort->setEditable(true);
    m_comPort->setAccessibleName(QStringLiteral("COM port"));
    for (int i = 1; i <= 20; ++i)
        m_comPort->addItem(QStringLiteral("COM%1").arg(i));
    m_comPort->setMinimumWidth(110);
    grid->addWidget(m_comPort, 1, 1);

    m_ipAddress = m_controls->add(IDC_IP_ADDRESS, new QLineEdit);
    m_ipAddress->setAccessibleName(QStringLiteral("IP address"));
    m_ipAddress->setPlaceholderText(QStringLiteral("0.0.0.0"));
    const QString octet = QStringLiteral("(25[0-5]|2[0-4]\\d|1\\d\\d|[1-9]?\\d)");
    m_ipAddress->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^%1(\\.%1){3}$").arg(octet)), m_ipAddress));
    m_tcpPort = m_controls->add(IDC_TCP_PORT, new QLineEdit);
    m_tcpPort->setAccessibleName(QStringLiteral("TCP port"));
    m_tcpPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("^\\d{0,5}$")),
                                                            m_tcpPort));
    m_tcpPort->setPlaceholderText(QStringLiteral("Port"));
    m_tcpPort->setMaximumWidth(70);
    auto* netRow = new QHBoxLayout;
    netRow->addWidget(m_ipAddress, 1);
    netRow->addWidget(m_tcpPort);
    grid->addLayout(netRow, 2, 0, 1, 2);

    grid->addWidget(makeLabel(IDC_DEVICE_ID_LABEL, QStringLiteral("Device_ID")), 3, 0);
    widgets::markBlueCaption(control(IDC_DEVICE_ID_LABEL));
    m_deviceIdList = m_controls->add(IDC_DEVICE_ID_LIST, new QComboBox);
    m_deviceIdList->setAccessibleName(QStringLiteral("Device ID"));
    // A device id is one byte: 256 would silently become 0 on the wire.
    for (int i = 1; i <= 255; ++i)
        m_deviceIdList->addItem(QString::number(i));
    m_deviceIdList->setMaxVisibleItems(12);
    connect(m_deviceIdList, &QComboBox::activated, this, &CZelvicControlDlg::onDeviceIdListActivated);
    grid->addWidget(m_deviceIdList, 3, 1);
    auto* idRadios = new QButtonGroup(this);
    auto* idRow = new QHBoxLayout;
    for (int n = 1; n <= 6; ++n) {
        const int id = kDeviceIdRadios[std::size_t(n - 1)];
        auto* r = makeRadio(id, QString::number(n));
        idRadios->addButton(r);
        idRow->addWidget(r);
        m_controls->onActivated(r, [this, n] { onDeviceIdRadio(n); });
    }
    idRow->addStretch(1);
    grid->addLayout(idRow, 4, 0, 1, 2);

    auto* autoConnect = makeCheck(IDC_AUTO_CONNECT, QStringLiteral("AutoConnect"));
    auto* startTimer = makeCheck(IDC_START_TIMER, QStringLiteral("StartTimer"));
    m_controls->onActivated(autoConnect, [this] { onAutoConnectClicked(); });
    m_controls->onActivated(startTimer, [this] { onStartTimerClicked(); });
    grid->addWidget(autoConnect, 5, 0);
    grid->addWidget(startTimer, 5, 1);

    auto* connectButton = makeButton(IDC_CONNECT, QStringLiteral("Connect"), 96);
    auto* disconnectButton = makeButton(IDC_DISCONNECT, QStringLiteral("Disconnect"), 96);
    connect(connectButton, &QPushButton::clicked, this, &CZelvicControlDlg::connectRequested);
    connect(disconnectButton, &QPushButton::clicked, this, &CZelvicControlDlg::disconnectRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(connectButton);
    buttons->addWidget(disconnectButton);
    grid->addLayout(buttons, 6, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildLanguageGroup()
{
    auto* group = makeGroup(IDC_LANGUAGE_GROUP, QStringLiteral("CH/EN"));
    auto* row = new QHBoxLayout(group);
    auto* buttons = new QButtonGroup(this);
    auto* ch = makeRadio(IDC_LANG_CH, QStringLiteral("CH"));
    auto* en = makeRadio(IDC_LANG_EN, QStringLiteral("EN"));
    buttons->addButton(ch);
    buttons->addButton(en);
    row->addWidget(ch);
    row->addWidget(en);
    m_controls->onActivated(ch, [this] { setLanguage(true); });
    m_controls->onActivated(en, [this] { setLanguage(false); });
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildTimerGroup()
{
    auto* group = makeGroup(IDC_TIMER_GROUP, QStringLiteral("Timer"));
    auto* v = new QVBoxLayout(group);
    auto* kinds = new QHBoxLayout;
    const std::pair<int, const char*> boxes[] = {{IDC_TIMER_DAY, "Day"},
                                                 {IDC_TIMER_WEEK, "Week"},
                                                 {IDC_TIMER_MONTH, "Month"},
                                                 {IDC_TIMER_ONCE, "Once"},
                                                 {IDC_TIMER_ALL, "All"}};
    for (const auto& [id, caption] : boxes) {
        auto* box = makeCheck(id, QString::fromLatin1(caption));
        kinds->addWidget(box);
        if (id != IDC_TIMER_ALL)
            connect(box, &QCheckBox::toggled, this, &CZelvicControlDlg::timerKindsChanged);
    }
    kinds->addStretch(1);
    m_controls->onActivated(static_cast<QCheckBox*>(control(IDC_TIMER_ALL)), [this] { onAllClicked(); });

    auto* buttons = new QHBoxLayout;
    auto* start = makeButton(IDC_TIMER_START, QStringLiteral("Start"), 72);
    auto* stop = makeButton(IDC_TIMER_STOP, QStringLiteral("Stop"), 72);
    auto* program = makeButton(IDC_PROGRAM, QStringLiteral("Program"), 72);
    auto* toggle = makeButton(IDC_TIMER_TOGGLE, qs(panel::kTimerToggleCollapsed.en), 72);
    connect(start, &QPushButton::clicked, this, &CZelvicControlDlg::timerStartRequested);
    connect(stop, &QPushButton::clicked, this, &CZelvicControlDlg::timerStopRequested);
    connect(program, &QPushButton::clicked, this, &CZelvicControlDlg::programRequested);
    connect(toggle, &QPushButton::clicked, this, &CZelvicControlDlg::toggleTimerPanel);
    for (auto* b : {start, stop, program, toggle})
        buttons->addWidget(b);

    v->addLayout(kinds);
    v->addLayout(buttons);
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildInfoGroup()
{
    auto* group = makeGroup(IDC_INFO_GROUP, QStringLiteral("Info"));
    auto* row = new QHBoxLayout(group);
    m_info = m_controls->add(IDC_INFO, new QLineEdit);
    m_info->setReadOnly(true);
    m_info->setAccessibleName(QStringLiteral("Info line"));
    m_info->setFocusPolicy(Qt::ClickFocus);
    row->addWidget(m_info);
    widgets::markBlueCaption(group);
    return group;
}

QGroupBox* CZelvicControlDlg::buildTimerHalf(int groupId, const int (&labelIds)[4], const int (&fieldIds)[4])
{
    auto* half = makeGroup(groupId, groupId == IDC_CURRENT_TIMER ? QStringLiteral("Current Timer")
                                                                 : QStringLiteral("Next Timer"));
    auto* form = new QGridLayout(half);
    form->setVerticalSpacing(6);
    const char* const labels[] = {"Time:", "Signal:", "Status:", "Result:"};
    for (int i = 0; i < 4; ++i) {
        form->addWidget(makeLabel(labelIds[i], QString::fromLatin1(labels[i])), i, 0);
        auto* field = makeLabel(fieldIds[i], {});
        field->setAutoFillBackground(true);
        QPalette p = field->palette();
        p.setColor(QPalette::Window, kTimerFieldCyan);
        p.setColor(QPalette::WindowText, Qt::black);
        field->setPalette(p);
        field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        field->setMinimumSize(150, 24);
        form->addWidget(field, i, 1);
    }
    form->setColumnStretch(1, 1);
    return half;
}

QGroupBox* CZelvicControlDlg::buildTimerPanel()
{
    m_timerPanel = makeGroup(IDC_TIMER_PANEL, {});
    m_timerPanel->setAccessibleName(QStringLiteral("Timer panel"));
    auto* v = new QVBoxLayout(m_timerPanel);
    v->addWidget(buildTimerHalf(IDC_CURRENT_TIMER,
                                {IDC_CUR_TIME_LABEL, IDC_CUR_SIGNAL_LABEL, IDC_CUR_STATUS_LABEL,
                                 IDC_CUR_RESULT_LABEL},
                                {IDC_CUR_TIME, IDC_CUR_SIGNAL, IDC_CUR_STATUS, IDC_CUR_RESULT}));
    v->addWidget(buildTimerHalf(IDC_NEXT_TIMER,
                                {IDC_NEXT_TIME_LABEL, IDC_NEXT_SIGNAL_LABEL, IDC_NEXT_STATUS_LABEL,
                                 IDC_NEXT_RESULT_LABEL},
                                {IDC_NEXT_TIME, IDC_NEXT_SIGNAL, IDC_NEXT_STATUS, IDC_NEXT_RESULT}));
    v->addStretch(1);
    return m_timerPanel;
}

void CZelvicControlDlg::buildUi()
{
    auto* lowerLeft = new QHBoxLayout;
    lowerLeft->addWidget(buildFunctionGroup());
    lowerLeft->addWidget(buildPipModeGroup());
    lowerLeft->addStretch(1);
    auto* modes = new QHBoxLayout;
    modes->addWidget(buildFadeGroup());
    modes->addWidget(buildSwitchModeGroup(), 1);
    modes->addWidget(buildLanguageGroup());

    auto* left = new QVBoxLayout;
    left->addWidget(buildSourceGroup());
    left->addLayout(lowerLeft);
    left->addLayout(modes);
    left->addStretch(1);

    auto* dialogButtons = new QHBoxLayout;
    auto* setup = makeButton(IDC_SETUP, QStringLiteral("Setup"), 80);
    auto* mosaic = makeButton(IDC_MOSAIC_DIALOG, QStringLiteral("Mosaic"), 80);
    auto* resolution = makeButton(IDC_RESOLUTION, QStringLiteral("Resolution"), 80);
    auto* exitButton = makeButton(IDC_EXIT, QStringLiteral("Exit"), 80);
    connect(setup, &QPushButton::clicked, this, &CZelvicControlDlg::setupRequested);
    connect(resolution, &QPushButton::clicked, this, &CZelvicControlDlg::resolutionRequested);
    connect(mosaic, &QPushButton::clicked, this, &CZelvicControlDlg::mosaicRequested);
    connect(exitButton, &QPushButton::clicked, this, &CZelvicControlDlg::reject);
    dialogButtons->addWidget(setup);
    dialogButtons->addWidget(mosaic);
    dialogButtons->addWidget(resolution);
    dialogButtons->addStretch(1);
    dialogButtons->addWidget(exitButton);

    auto* right = new QVBoxLayout;
    right->addWidget(buildLinkGroup());
    right->addWidget(buildTimerGroup());
    right->addStretch(1);
    right->addLayout(dialogButtons);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right);

    auto* main = new QVBoxLayout;
    main->addLayout(top);
    main->addWidget(buildInfoGroup());

    auto* outer = new QHBoxLayout(this);
    // The timer panel widens the window by its own width plus these 5 pixels.
    outer->setSpacing(5);
    outer->setContentsMargins(10, 10, 10, 10);
    outer->addLayout(main);
    outer->addWidget(buildTimerPanel());
    outer->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace omnar::gui::app
