// The panel's Setup, Resolution and Mosaic buttons open their windows over
// the connected link, against the virtual processor, and the panel carries
// on (or, after Mosaic, shows itself disconnected) when they close.
#include "core/mosaic/MosaicIds.h"
#include "core/panel/PanelIds.h"
#include "core/setup/SetupIds.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "gui/setup/CCAdvanced.h"
#include "gui/setup/CSetScreen.h"
#include "sim/SimServer.h"
#include "tests/support/PanelRig.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>

using namespace omnar;
using namespace std::chrono_literals;

namespace {

bool waitFor(const std::function<bool()>& pred)
{
    return QTest::qWaitFor(pred, 15000);
}

// Runs `check` on the window the panel opens modally, then closes it.
template <typename Dialog>
void whileOpen(const std::function<void(Dialog&)>& check, bool& seen)
{
    QTimer::singleShot(0, [check, &seen] {
        Dialog* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())); },
                             15000))
            return;
        check(*dialog);
        seen = true;
        dialog->reject();
    });
}

template <typename W>
W* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<W*>(QString::fromUtf8(name));
}

} // namespace

class PanelDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void setupAndResolutionOpenOverTheLinkAndThePanelGoesOn();
    void mosaicTakesTheLinkAndLeavesThePanelDisconnected();
};

void PanelDialogsTest::setupAndResolutionOpenOverTheLinkAndThePanelGoesOn()
{
    auto opts = test::quietSim();
    opts.pipOpen = true;
    opts.pipLayout = 1;
    opts.resolutionIndex = 8; // 1440x900
    sim::SimServer sim(opts);
    QVERIFY(sim.openPty());
    sim.start();
    test::PanelRig rig(QString::fromStdString(sim.ptyPath()));
    QVERIFY(rig.connect());
    QVERIFY(waitFor([&] { return rig.controller->mirror().pipOpen() && rig.enabled(panel::ids::IDC_SETUP); }));

    bool seen = false;
    whileOpen<gui::setup::CSetScreen>(
        [&](gui::setup::CSetScreen& d) {
            // Refresh fills the main window of the device's layout (M2).
            auto* width = child<QLineEdit>(d, "IDC_MAIN_WIDTH");
            QVERIFY(width);
            QVERIFY(waitFor([&] { return !width->text().isEmpty(); }));
            QCOMPARE(width->text().toInt(), int(sim.state().layouts[1].main.width));
        },
        seen);
    rig.click(panel::ids::IDC_SETUP);
    QVERIFY(seen);

    seen = false;
    whileOpen<gui::setup::CCAdvanced>(
        [&](gui::setup::CCAdvanced& d) {
            auto* list = child<QComboBox>(d, "IDC_RESOLUTION_LIST");
            QVERIFY(list);
            QVERIFY(waitFor([&] { return list->currentIndex() == 8; }));
            QCOMPARE(list->currentText(), QStringLiteral("1440x900@60Hz"));
        },
        seen);
    rig.click(panel::ids::IDC_RESOLUTION);
    QVERIFY(seen);

    // The poller asks again once the windows are closed.
    const auto before = sim.framesReceived();
    QVERIFY(sim.waitForFrames(before + 2, 15s));
    QVERIFY(rig.controller->session().connected());
}

void PanelDialogsTest::mosaicTakesTheLinkAndLeavesThePanelDisconnected()
{
    auto opts = test::quietSim();
    opts.mainSource = 5;
    opts.mosaic = true;
    sim::SimServer sim(opts);
    QVERIFY(sim.openPty());
    sim.start();
    test::PanelRig rig(QString::fromStdString(sim.ptyPath()));
    QVERIFY(rig.connect());
    QVERIFY(waitFor([&] { return rig.panel->isIndicatorLit(panel::ids::IDC_LED_DVI); }));
    QVERIFY(waitFor([&] { return rig.enabled(panel::ids::IDC_MOSAIC_DIALOG); }));

    bool seen = false;
    whileOpen<gui::mosaic::CSimpleMosaic>(
        [&](gui::mosaic::CSimpleMosaic& d) {
            // The panel no longer watches the device while the wall is laid out.
            QVERIFY(rig.enabled(panel::ids::IDC_CONNECT));
            QVERIFY(!rig.panel->isIndicatorLit(panel::ids::IDC_LED_DVI));
            QVERIFY(child<QWidget>(d, "IDC_WINDOW_BUTTON_000"));
        },
        seen);
    rig.click(panel::ids::IDC_MOSAIC_DIALOG);
    QVERIFY(seen);

    QVERIFY(!rig.controller->session().connected());
    QVERIFY(rig.enabled(panel::ids::IDC_CONNECT));
    QVERIFY(!rig.enabled(panel::ids::IDC_DISCONNECT));
    QVERIFY(!rig.enabled(panel::ids::IDC_SETUP));
    QVERIFY(rig.panel->blinkSet().isEmpty());
    QCOMPARE(rig.panel->infoText(), QStringLiteral("Disconnected after Fast Mosaic: press Connect to go on"));
    const auto after = sim.framesReceived();
    QVERIFY(!sim.waitForFrames(after + 1, 1500ms));
    // The operator connects again; a Disconnect of his own is no Fast Mosaic.
    QVERIFY(rig.connect());
    QVERIFY(waitFor([&] { return rig.panel->infoText() != QStringLiteral("Disconnected after Fast Mosaic: press Connect to go on"); }));
    rig.click(panel::ids::IDC_DISCONNECT);
    QVERIFY(!rig.controller->session().connected());
    QVERIFY(!rig.panel->infoText().contains(QStringLiteral("Fast Mosaic")));
}

QTEST_MAIN(PanelDialogsTest)
#include "panel_dialogs_test.moc"
