// The panel wired to the link, against the virtual processor over a
// pseudo-terminal and TCP: Connect, keys, the mirror, the settings file.

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/util/Console.h"
#include "core/settings/ProfileFile.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/PanelController.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "sim/SimServer.h"
#include "tests/support/PanelRig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>
#include <mutex>

using namespace omnar;
using namespace omnar::gui::app;
using namespace omnar::panel::ids;
using namespace std::chrono_literals;

namespace {

struct Rig : test::PanelRig {
    using PanelRig::PanelRig;
    bool waitFor(std::function<bool()> pred) { return QTest::qWaitFor(pred, 15000); }
};

} // namespace

class PanelControllerTest : public QObject {
    Q_OBJECT
private slots:
    void connectsOverAPtyAndMirrorsKeys()
    {
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.openPty());
        sim.start();
        Rig rig(QString::fromStdString(sim.ptyPath()));
        QVERIFY(rig.panel->isSerialChosen());
        QVERIFY(!rig.panel->control(IDC_KEY_HDMI)->isEnabled());

        QVERIFY(rig.connect());
        QCOMPARE(rig.panel->infoText(), QStringLiteral("Communications equipment normal"));
        QVERIFY(rig.panel->control(IDC_DISCONNECT)->isEnabled());
        QVERIFY(!rig.panel->control(IDC_CONNECT)->isEnabled());
        QVERIFY(rig.waitFor([&] { return rig.controller->mirror().mainSource == link::kSourceV1; }));

        rig.click(IDC_KEY_HDMI);
        QVERIFY(rig.waitFor([&] { return rig.controller->mirror().mainSource == link::kSourceHdmi; }));
        QVERIFY(rig.waitFor([&] { return rig.panel->isIndicatorLit(link::indicatorId(link::kSourceHdmi)); }));
        QVERIFY(!rig.panel->isIndicatorLit(link::indicatorId(link::kSourceV1)));
        QCOMPARE(sim.state().mainSource, link::kSourceHdmi);

        // Connect wrote the settings; nothing on the way out.
        settings::ProfileFile file(rig.panel->options().configPath.toStdString());
        QCOMPARE(QString::fromStdString(file.getString("CONNECT", "ComName", "")),
                 QString::fromStdString(sim.ptyPath()));

        rig.click(IDC_DISCONNECT);
        QVERIFY(!rig.controller->session().connected());
        QVERIFY(rig.panel->control(IDC_CONNECT)->isEnabled());
        QVERIFY(!rig.panel->control(IDC_KEY_HDMI)->isEnabled());
        // A panel without a device shows no source as if it knew one.
        QVERIFY(!rig.panel->isIndicatorLit(link::indicatorId(link::kSourceHdmi)));
        // And again, on a fresh link.
        QVERIFY(rig.connect());
    }

    void autoConnectOverTcpFromTheProfileFile()
    {
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        const auto ini = QStringLiteral("[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=%1\nConnectFlag=1\nDeviceID=1\n")
                             .arg(sim.tcpPort());
        // No port on the command line: the profile file's network link is used,
        // and AutoConnect connects as soon as the event loop runs.
        Rig rig(QStringLiteral("COM1"), false, ini);
        QSignalSpy spy(rig.controller, &PanelController::connectFinished);
        QVERIFY(!rig.panel->isSerialChosen());
        QVERIFY(rig.panel->isAutoConnectChecked());
        QVERIFY(spy.wait(15000));
        QVERIFY(spy.first().first().toBool());
        QCOMPARE(rig.panel->ipAddressText(), QStringLiteral("127.0.0.1"));
    }

    void refusedConnectShowsWhyInTheInfoLine()
    {
        Rig rig(QStringLiteral("/dev/omnar-missing-port"));
        QVERIFY(!rig.connect());
        QCOMPARE(rig.panel->infoText(), QStringLiteral("/dev/omnar-missing-port"));

        // A port outside 0..65535 is refused with its own box before anything opens.
        rig.click(IDC_NETWORK); // the radio the operator uses (hidden in the standard layout)
        rig.panel->setIpAddressText(QStringLiteral("127.0.0.1"));
        rig.panel->setTcpPortText(QStringLiteral("65536"));
        QVERIFY(!rig.connect());
        QVERIFY(rig.waitFor([&] { return !rig.boxes.isEmpty(); }));
        QCOMPARE(rig.boxes.last(), QStringLiteral("System information|Port out of range，range is 0~65535"));
        QCOMPARE(rig.panel->infoText(), QStringLiteral("Open network failed"));
    }

    void typedAddressAndPortAreUsedAndSavedAndABlankAddressFails()
    {
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        // The profile file names another device; the operator types this one.
        Rig rig(QStringLiteral("COM1"), false, QStringLiteral("[CONNECT]\nSerialTcp=0\nIP=10.255.255.1\nPort=1\n"));
        QCOMPARE(rig.panel->ipAddressText(), QStringLiteral("10.255.255.1"));
        rig.panel->setIpAddressText(QStringLiteral("127.0.0.1"));
        rig.panel->setTcpPortText(QString::number(sim.tcpPort()));
        QVERIFY(rig.connect());
        QVERIFY(sim.hasClient());
        settings::ProfileFile file(rig.panel->options().configPath.toStdString());
        QCOMPARE(QString::fromStdString(file.getString("CONNECT", "IP", "")), QStringLiteral("127.0.0.1"));
        QCOMPARE(QString::fromStdString(file.getString("CONNECT", "Port", "")), QString::number(sim.tcpPort()));

        // No address at all is no device, not this machine (where the simulator listens).
        rig.click(IDC_DISCONNECT);
        rig.panel->setIpAddressText(QString());
        QVERIFY(!rig.connect());
        QCOMPARE(rig.panel->infoText(), QStringLiteral("Open network failed"));
        QVERIFY(rig.panel->control(IDC_CONNECT)->isEnabled());
        // A blank field is not written.
        QCOMPARE(QString::fromStdString(file.getString("CONNECT", "IP", "")), QStringLiteral("127.0.0.1"));
    }

    void lostLinkShowsTheDisconnectedStateAndAutoConnectGetsItBack()
    {
        std::atomic<int> lostLines{0};
        util::setConsoleSink([&](std::string_view line) {
            if (line.rfind("Link lost", 0) == 0)
                ++lostLines;
        });
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.listenTcp("127.0.0.1", 0));
        sim.start();
        Rig rig(QStringLiteral("COM1"), false,
                QStringLiteral("[CONNECT]\nSerialTcp=0\nIP=127.0.0.1\nPort=%1\n").arg(sim.tcpPort()));
        QVERIFY(rig.connect());
        QVERIFY(rig.waitFor([&] { return rig.panel->isIndicatorLit(link::indicatorId(link::kSourceV1)); }));
        QVERIFY(rig.controller->timer().start());
        QVERIFY(rig.controller->timer().planRunner().running());

        sim.closeClient(); // the device hangs up
        QVERIFY(rig.waitFor([&] { return rig.panel->control(IDC_CONNECT)->isEnabled(); }));
        QCOMPARE(rig.panel->infoText(), QStringLiteral("Connection to the device lost"));
        QVERIFY(!rig.panel->control(IDC_DISCONNECT)->isEnabled());
        QVERIFY(!rig.panel->control(IDC_KEY_HDMI)->isEnabled());
        QVERIFY(!rig.controller->timer().running());
        QVERIFY(!rig.controller->timer().planRunner().running());
        QVERIFY(!rig.controller->session().connected());
        QVERIFY(!rig.panel->isIndicatorLit(link::indicatorId(link::kSourceV1)));
        QCOMPARE(lostLines.load(), 1);

        // In Chinese, with AutoConnect: the panel connects again by itself.
        rig.click(IDC_LANG_CH);
        rig.click(IDC_AUTO_CONNECT);
        QVERIFY(rig.connect());
        sim.closeClient();
        QVERIFY(rig.waitFor([&] { return rig.panel->control(IDC_CONNECT)->isEnabled(); }));
        QCOMPARE(rig.panel->infoText(), QString::fromUtf8("与设备的连接已断开，正在重新连接"));
        QVERIFY(rig.waitFor([&] { return rig.panel->control(IDC_DISCONNECT)->isEnabled(); }));
        QCOMPARE(rig.panel->infoText(), QString::fromUtf8("设备连接成功"));
        QVERIFY(rig.panel->control(IDC_KEY_HDMI)->isEnabled());
        QCOMPARE(lostLines.load(), 2);
        util::setConsoleSink({});
    }

    void mosaicTakesTheLinkOverAndLeavesThePanelDisconnected()
    {
        auto options = test::quietSim();
        options.signal[link::kSourceV1] = false; // the main source's lamp blinks
        options.bypass = true;
        sim::SimServer sim(options);
        QVERIFY(sim.openPty());
        sim.start();
        Rig rig(QString::fromStdString(sim.ptyPath()));
        QVERIFY(rig.connect());
        QVERIFY(rig.waitFor([&] { return rig.panel->isIndicatorLit(IDC_LED_BYPASS); }));
        QVERIFY(rig.waitFor([&] { return !rig.panel->blinkSet().isEmpty(); }));
        // The timer runs; the button (disabled meanwhile) is pressed all the same.
        QVERIFY(rig.controller->timer().start());
        rig.panel->setControlEnabled(IDC_MOSAIC_DIALOG, true);

        int opened = 0;
        rig.controller->setDialogRunner(panel::PanelDialog::Mosaic, [&](const PanelController::DialogContext& c) {
            ++opened;
            QCOMPARE(&c.link, &rig.controller->session().link());
            QCOMPARE(int(c.deviceId), 1);
            QVERIFY(c.link.transport());
            // The panel no longer watches the device: nothing lit, nothing blinking.
            QVERIFY(rig.panel->blinkSet().isEmpty());
            for (int id : kIndicators)
                QVERIFY2(!rig.panel->isIndicatorLit(id), qPrintable(QString::number(id)));
            // The plan runner goes on while the dialog is open.
            QVERIFY(rig.controller->timer().planRunner().running());
            // The dialog has the link: its query is the only frame the device gets.
            const auto before = sim.framesReceived();
            const link::Frame query = link::cmd::statusQuery(c.deviceId);
            link::Frame reply{};
            {
                std::lock_guard lock(c.link.lock());
                QCOMPARE(c.link.QueryCommand(&query, &reply, 2000), 13);
            }
            QCOMPARE(sim.framesReceived(), before + 1);
        });
        rig.click(IDC_MOSAIC_DIALOG);
        QCOMPARE(opened, 1);

        // Closed: exactly as Disconnect leaves the panel, the timer stopped.
        QVERIFY(!rig.controller->session().connected());
        QVERIFY(!rig.controller->session().link().transport());
        QVERIFY(!rig.controller->timer().running());
        QVERIFY(!rig.controller->timer().planRunner().running());
        QVERIFY(rig.enabled(IDC_CONNECT));
        QVERIFY(!rig.enabled(IDC_DISCONNECT));
        QVERIFY(!rig.enabled(IDC_TIMER_STOP));
        for (int id : kDeviceControlGroup)
            QVERIFY2(!rig.enabled(id), qPrintable(QString::number(id)));
        // Reports that crossed the hand-over light nothing again.
        QCoreApplication::processEvents();
        for (int id : kIndicators)
            QVERIFY2(!rig.panel->isIndicatorLit(id), qPrintable(QString::number(id)));
        QVERIFY(rig.panel->blinkSet().isEmpty());

        // The operator connects again.
        QVERIFY(rig.connect());
        QVERIFY(rig.waitFor([&] { return rig.panel->isIndicatorLit(IDC_LED_BYPASS); }));
    }

    void mosaicButtonOpensTheFastMosaicDialogInThePanelsLanguage()
    {
        sim::SimServer sim(test::quietSim());
        QVERIFY(sim.openPty());
        sim.start();
        Rig rig(QString::fromStdString(sim.ptyPath()));
        QVERIFY(rig.connect());
        rig.click(IDC_LANG_CH);
        QVERIFY(rig.waitFor([&] { return rig.enabled(IDC_MOSAIC_DIALOG); }));

        QString title;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<gui::mosaic::CSimpleMosaic*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            title = dialog->windowTitle();
            dialog->reject();
        });
        rig.click(IDC_MOSAIC_DIALOG);
        QCOMPARE(title, QString::fromUtf8("快速拼接"));
        QVERIFY(!rig.controller->session().connected());
        QVERIFY(rig.enabled(IDC_CONNECT));
    }
};

QTEST_MAIN(PanelControllerTest)
#include "panel_controller_test.moc"
