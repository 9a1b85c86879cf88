// The panel as the operator meets it, wired to the link and the virtual
// processor: the language table word for word, Exit answered No and Yes
// while connected, Setup without a device, and a start without AutoConnect.

#include "core/panel/PanelIds.h"
#include "core/util/Console.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "sim/SimServer.h"
#include "tests/support/PanelRig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <functional>
#include <memory>

using namespace omnar;
using namespace omnar::gui::app;
using namespace omnar::panel::ids;
using namespace std::chrono_literals;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// Counts the frames the panel writes, from its serial trace ("->" lines).
class WriteCounter {
public:
    WriteCounter()
    {
        util::setConsoleSink([this](std::string_view line) {
            if (line.find(" -> ") != std::string_view::npos)
                ++m_writes;
        });
    }
    ~WriteCounter() { util::setConsoleSink({}); }
    std::size_t writes() const { return m_writes.load(); }

private:
    std::atomic<std::size_t> m_writes{0};
};

// Every panel here is started on the serial port it is given.
struct Rig : test::PanelRig {
    explicit Rig(const QString& port, const QString& ini = {})
        : PanelRig(port, true, ini)
    {
    }
};

bool waitFor(const std::function<bool()>& pred)
{
    return QTest::qWaitFor(pred, 15000);
}

struct Row {
    int id;
    const char* en;
    const char* zh;
};

// The captions CH/EN rewrites, written out independently of the panel's own table.
const Row kLanguageTable[] = {
    {IDC_DEVICE_ID_LABEL, "Device_ID", "设备ID"},
    {IDC_COM_PORT_LABEL, "Rs232_Com_Port:", "Rs232串口:"},
    {IDC_SOURCE_GROUP, "Source", "信号"},
    {IDC_INFO_GROUP, "Info", "信息"},
    {IDC_TIMER_GROUP, "Timer", "定时器"},
    {IDC_FUNCTION_GROUP, "Function", "功能"},
    {IDC_PIP_MODE_GROUP, "PIP_Mode", "PIP模式"},
    {IDC_LANGUAGE_GROUP, "CH/EN", "中文/英文"},
    {IDC_FADE_GROUP, "Cut/Fade", "切换效果"},
    {IDC_SWITCH_MODE_GROUP, "Switch Mode", "切换模式"},
    {IDC_CONNECT, "Connect", "连接"},
    {IDC_DISCONNECT, "Disconnect", "断开连接"},
    {IDC_TIMER_DAY, "Day", "日定时"},
    {IDC_TIMER_WEEK, "Week", "周定时"},
    {IDC_TIMER_MONTH, "Month", "月定时"},
    {IDC_TIMER_ONCE, "Once", "一次定时"},
    {IDC_TIMER_ALL, "All", "所有定时"},
    {IDC_TIMER_START, "Start", "启动定时"},
    {IDC_TIMER_STOP, "Stop", "停止定时"},
    {IDC_PROGRAM, "Program", "设置定时"},
    {IDC_SETUP, "Setup", "屏幕设置"},
    {IDC_MOSAIC_DIALOG, "Mosaic", "快速拼接"},
    {IDC_RESOLUTION, "Resolution", "分辨率"},
    {IDC_EXIT, "Exit", "退出"},
    {IDC_CURRENT_TIMER, "Current Timer", "当前定时"},
    {IDC_NEXT_TIMER, "Next Timer", "下一个定时"},
    {IDC_CUR_TIME_LABEL, "Time:", "时间:"},
    {IDC_NEXT_TIME_LABEL, "Time:", "时间:"},
    {IDC_CUR_SIGNAL_LABEL, "Signal:", "信号:"},
    {IDC_NEXT_SIGNAL_LABEL, "Signal:", "信号:"},
    {IDC_CUR_STATUS_LABEL, "Status:", "状态:"},
    {IDC_NEXT_STATUS_LABEL, "Status:", "状态:"},
    {IDC_CUR_RESULT_LABEL, "Result:", "结果:"},
    {IDC_NEXT_RESULT_LABEL, "Result:", "结果:"},
    {IDC_AUTO_CONNECT, "AutoConnect", "自动连接"},
    {IDC_START_TIMER, "StartTimer", "自动启动定时"},
    {IDC_LINK_GROUP, "Serial/Network", "串口/网络"},
    {IDC_SERIAL, "Serial", "串口"},
    {IDC_NETWORK, "Network", "网络"},
    {IDC_ONE_KEY, "One Key Switch", "一键直接切换"},
    {IDC_PRE_TAKE, "Pre + TAKE Switch", "预选+TAKE切换"},
};

} // namespace

class PanelBehaviourTest : public QObject {
    Q_OBJECT
private slots:
    void languageRoundTripInBothTimerPanelStates();
    void exitNoKeepsTheLinkRunningAndYesStopsIt();
    void setupAfterADisconnectOnlyShowsTheNotConnectedBox();
    void switchModeThroughTheAccessibilityInterfaceReachesTheDeviceOnce();
    void withoutAutoConnectNothingConnects_data();
    void withoutAutoConnectNothingConnects();
};

void PanelBehaviourTest::languageRoundTripInBothTimerPanelStates()
{
    Rig rig(QStringLiteral("COM1"));
    auto& p = *rig.panel;
    // The ids of the table are all there, and start in English.
    for (const Row& r : kLanguageTable) {
        QVERIFY2(p.control(r.id), qPrintable(QString::number(r.id)));
        QCOMPARE(p.controlText(r.id), u(r.en));
    }

    for (const bool collapsed : {true, false}) {
        if (p.isTimerPanelCollapsed() != collapsed)
            rig.click(IDC_TIMER_TOGGLE);
        const char* toggleEn = collapsed ? "Timer>>" : "Timer<<";
        const char* toggleZh = collapsed ? "定时器>>" : "定时器<<";
        QCOMPARE(p.controlText(IDC_TIMER_TOGGLE), u(toggleEn));

        rig.click(IDC_LANG_CH);
        for (const Row& r : kLanguageTable)
            QCOMPARE(p.controlText(r.id), u(r.zh));
        QCOMPARE(p.windowTitle(), u("Omnar控制软件(V1.00)"));
        QCOMPARE(p.controlText(IDC_TIMER_TOGGLE), u(toggleZh));

        rig.click(IDC_LANG_EN);
        for (const Row& r : kLanguageTable)
            QCOMPARE(p.controlText(r.id), u(r.en));
        QCOMPARE(p.windowTitle(), u("Omnar Processor Controller(V1.00)"));
        QCOMPARE(p.controlText(IDC_TIMER_TOGGLE), u(toggleEn));
    }
    // Nothing of this reached the profile file or a message box.
    QVERIFY(rig.boxes.isEmpty());
}

void PanelBehaviourTest::exitNoKeepsTheLinkRunningAndYesStopsIt()
{
    WriteCounter written;
    sim::SimServer sim(test::quietSim());
    QVERIFY(sim.openPty());
    sim.start();
    Rig rig(QString::fromStdString(sim.ptyPath()));
    QSignalSpy exits(rig.panel.get(), &CZelvicControlDlg::exitConfirmed);
    rig.panel->show();
    QVERIFY(rig.connect());

    rig.answer = false;
    rig.click(IDC_EXIT);
    QCOMPARE(rig.boxes, QStringList{u("System information|Do you want to exit?")});
    QVERIFY(rig.panel->isVisible());
    QCOMPARE(exits.count(), 0);
    QVERIFY(rig.controller->session().connected());
    // The poller still asks...
    const auto before = sim.framesReceived();
    QVERIFY(waitFor([&] { return sim.framesReceived() >= before + 2; }));
    // ...and a key still goes out through the command worker.
    QVERIFY(waitFor([&] { return rig.w(IDC_KEY_FREEZE)->isEnabled(); }));
    rig.click(IDC_KEY_FREEZE);
    QVERIFY(waitFor([&] { return sim.state().freeze; }));
    QVERIFY(waitFor([&] { return rig.controller->mirror().freeze && rig.w(IDC_KEY_FREEZE)->isEnabled(); }));

    rig.answer = true;
    rig.panel->setLanguage(true);
    rig.click(IDC_EXIT);
    QCOMPARE(rig.boxes.last(), u("系统信息|确认退出?"));
    QCOMPARE(exits.count(), 1);
    QVERIFY(!rig.panel->isVisible());
    QVERIFY(!rig.controller->session().connected());

    // Every frame the link wrote reaches the device, and then the link stays quiet.
    const auto total = written.writes();
    QVERIFY(waitFor([&] { return sim.framesReceived() == total; }));
    QVERIFY(!sim.waitForFrames(total + 1, 2500ms));
    QCOMPARE(written.writes(), total);
}

void PanelBehaviourTest::setupAfterADisconnectOnlyShowsTheNotConnectedBox()
{
    WriteCounter written;
    sim::SimServer sim(test::quietSim());
    QVERIFY(sim.openPty());
    sim.start();
    Rig rig(QString::fromStdString(sim.ptyPath()));
    QVERIFY(rig.connect());
    rig.click(IDC_DISCONNECT);
    QVERIFY(!rig.w(IDC_SETUP)->isEnabled());

    int opened = 0;
    for (auto dialog : {panel::PanelDialog::Setup, panel::PanelDialog::Resolution, panel::PanelDialog::Mosaic})
        rig.controller->setDialogRunner(dialog, [&](const PanelController::DialogContext&) { ++opened; });
    rig.panel->setLanguage(true);
    rig.panel->setInfoText(u("marker"));
    const auto writes = written.writes();
    // Only a button enabled by hand can be pressed now; the panel still knows better.
    rig.panel->setControlEnabled(IDC_SETUP, true);
    rig.click(IDC_SETUP);
    QCOMPARE(rig.boxes, QStringList{u("系统信息|设备未连接，无法进行设置")});

    rig.panel->setLanguage(false);
    rig.panel->setControlEnabled(IDC_RESOLUTION, true);
    rig.click(IDC_RESOLUTION);
    QCOMPARE(rig.boxes.last(), u("System information|Device is not connected"));
    // The Fast Mosaic dialog works on the connected device as well.
    rig.panel->setControlEnabled(IDC_MOSAIC_DIALOG, true);
    rig.click(IDC_MOSAIC_DIALOG);
    QCOMPARE(rig.boxes.size(), 3);
    QCOMPARE(rig.boxes.last(), u("System information|Device is not connected"));

    QCOMPARE(opened, 0);
    QCOMPARE(rig.panel->infoText(), u("marker"));
    QVERIFY(!rig.controller->session().connected());
    QVERIFY(!rig.controller->session().connecting());
    QCOMPARE(written.writes(), writes);
    for (QWidget* top : QApplication::topLevelWidgets())
        QVERIFY2(top == rig.panel.get() || !top->isVisible(), top->metaObject()->className());
}

void PanelBehaviourTest::switchModeThroughTheAccessibilityInterfaceReachesTheDeviceOnce()
{
    sim::SimServer sim(test::quietSim());
    QVERIFY(sim.openPty());
    sim.start();
    Rig rig(QString::fromStdString(sim.ptyPath()));
    QVERIFY(rig.connect());
    auto modeFrames = [&] {
        int n = 0;
        for (const auto& r : sim.received())
            n += r.frame[2] == 0x09;
        return n;
    };
    auto act = [&](int id, const QString& action) {
        QVERIFY(waitFor([&] { return rig.enabled(id); }));
        QAccessible::queryAccessibleInterface(rig.w(id))->actionInterface()->doAction(action);
    };

    // A screen reader toggles the radio: the device changes mode, and the
    // decoder checking the radio it reports sends nothing back.
    act(IDC_PRE_TAKE, QAccessibleActionInterface::toggleAction());
    QVERIFY(waitFor([&] { return sim.state().preTake; }));
    QVERIFY(waitFor([&] { return rig.controller->mirror().preTakeMode; }));
    auto polled = sim.framesReceived();
    QVERIFY(sim.waitForFrames(polled + 2, 15s));
    QCOMPARE(modeFrames(), 1);
    QVERIFY(rig.panel->isControlChecked(IDC_PRE_TAKE));

    act(IDC_ONE_KEY, QAccessibleActionInterface::pressAction());
    QVERIFY(waitFor([&] { return !sim.state().preTake; }));
    QVERIFY(waitFor([&] { return !rig.controller->mirror().preTakeMode; }));
    polled = sim.framesReceived();
    QVERIFY(sim.waitForFrames(polled + 2, 15s));
    QCOMPARE(modeFrames(), 2);
    QVERIFY(rig.panel->isControlChecked(IDC_ONE_KEY));
}

void PanelBehaviourTest::withoutAutoConnectNothingConnects_data()
{
    QTest::addColumn<QString>("ini");
    QTest::newRow("no profile file") << QString();
    QTest::newRow("AutoConnect off, StartTimer on")
        << u("[CONNECT]\nSerialTcp=1\nComName=%PORT%\nConnectFlag=0\nStartTimerFlag=1\nDeviceID=3\n");
    QTest::newRow("AutoConnect unreadable") << u("[CONNECT]\nSerialTcp=1\nConnectFlag=yes\nDeviceID=3\n");
}

void PanelBehaviourTest::withoutAutoConnectNothingConnects()
{
    QFETCH(QString, ini);
    sim::SimServer sim(test::quietSim());
    QVERIFY(sim.openPty());
    sim.start();
    const QString port = QString::fromStdString(sim.ptyPath());
    Rig rig(port, QString(ini).replace(u("%PORT%"), port));
    QSignalSpy finished(rig.controller, &PanelController::connectFinished);
    // An automatic connect would be queued for the event loop's first turn.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    QVERIFY(!rig.controller->session().connecting());
    QVERIFY(!rig.controller->session().connected());
    QCOMPARE(finished.count(), 0);
    QVERIFY(!rig.panel->isAutoConnectChecked());
    QVERIFY(!rig.w(IDC_START_TIMER)->isEnabled());
    for (int id : kDeviceControlGroup)
        QVERIFY2(!rig.w(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(!rig.w(IDC_TIMER_STOP)->isEnabled());
    QVERIFY(!rig.w(IDC_DISCONNECT)->isEnabled());
    QVERIFY(rig.w(IDC_CONNECT)->isEnabled());
    QVERIFY(!rig.controller->timer().running());
    // The device id is read only for an automatic connect.
    QCOMPARE(rig.panel->deviceId(), 1);
    QVERIFY(rig.boxes.isEmpty());
    QCOMPARE(sim.framesReceived(), std::size_t{0});
}

QTEST_MAIN(PanelBehaviourTest)
#include "panel_behaviour_test.moc"
