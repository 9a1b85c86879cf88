// The Fast Mosaic window against the virtual processor in-process: the
// connect check behind the please-wait window, the preparation of a device,
// the upload of a screen's windows, Detect and the mode radios, and closing
// while the device work waits.

#include "core/link/Link.h"
#include "core/mosaic/MosaicIds.h"
#include "core/util/Clock.h"
#include "gui/link/CProgress.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "tests/support/SimTransport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>
#include <thread>

using namespace omnar;
using namespace omnar::mosaic::ids;
using namespace std::chrono_literals;
using omnar::gui::mosaic::CSimpleMosaic;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A clock the test can switch from running by itself to standing still, so
// a job can be caught in the middle of a wait.
class SwitchableClock final : public util::Clock {
public:
    util::VirtualClock running{util::VirtualClock::Mode::AutoAdvance};
    util::VirtualClock still{util::VirtualClock::Mode::Manual};
    std::atomic<util::Clock*> current{&running};

    SteadyTime steadyNow() const override { return current.load()->steadyNow(); }
    WallTime wallNow() const override { return current.load()->wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop) override { return current.load()->sleepFor(d, stop); }
};

sim::SimOptions wallScreen()
{
    sim::SimOptions o;
    o.trace = false;
    o.mosaic = true;
    o.mainSource = 7; // EXT.: what the connect check takes as ready
    return o;
}

// The dialog over the in-process processor; message boxes answered Yes/No
// by the test and recorded.
struct Rig {
    SwitchableClock clock;
    link::Link link{clock};
    test::SimTransport* sim = nullptr;
    QStringList boxes;
    bool answer = false;
    std::unique_ptr<CSimpleMosaic> dlg;

    explicit Rig(sim::SimOptions options = wallScreen(), std::uint8_t mainDeviceId = 1)
    {
        auto t = std::make_unique<test::SimTransport>(options);
        sim = t.get();
        link.setTransport(std::move(t));
        dlg = std::make_unique<CSimpleMosaic>(CSimpleMosaic::Context{
            link, mainDeviceId, false, [this](const QString& caption, const QString& text) {
                boxes << caption + u("|") + text;
                return answer;
            }});
    }
    CSimpleMosaic* operator->() { return dlg.get(); }
    template <typename W = QWidget>
    W* w(int id) const
    {
        auto* widget = qobject_cast<W*>(dlg->control(id));
        if (!widget)
            qFatal("control %d is missing or of another type", id);
        return widget;
    }
    void click(int id) { w<QAbstractButton>(id)->click(); }
    QString text(int id) const { return w<QLineEdit>(id)->text(); }
    // Connect runs the please-wait window until the check has ended.
    void connect()
    {
        click(IDC_CONNECT);
        QVERIFY(!dlg->findChild<gui::link::CProgress*>()->isVisible());
    }
    bool idle() { return QTest::qWaitFor([this] { return !dlg->isBusy(); }, 5000); }
    // Bytes 2..4 of every frame the processor heard, from the `from`-th on.
    std::vector<std::array<int, 3>> commands(std::size_t from = 0) const
    {
        std::vector<std::array<int, 3>> out;
        const auto all = sim->written();
        for (std::size_t i = from; i < all.size(); ++i)
            out.push_back({all[i][2], all[i][3], all[i][4]});
        return out;
    }
};

using Commands = std::vector<std::array<int, 3>>;

void accessibleAction(QWidget* w, const QString& action)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(action);
}

} // namespace

class MosaicDeviceDialogTest : public QObject {
    Q_OBJECT
private slots:
    void readyScreenOfATwoByThreeWallIsCalculatedAndUploaded();
    void deviceThatIsNotReadyIsPreparedAndDetectWatchesIt();
    void silentDeviceEndsTheCheckWithoutAWord();
    void modeRadiosSendTheMainWindowsIdAndTheCheckSendsNone();
    void closingWhileTheCheckWaitsOnASilentDeviceReturnsAtOnce();
    void closingWhileAnotherSenderHoldsTheLinkReturnsAtOnce();
    void closingWhileAWindowFrameIsOnItsWaySendsNothingMore();
};

void MosaicDeviceDialogTest::readyScreenOfATwoByThreeWallIsCalculatedAndUploaded()
{
    Rig r;
    r.click(IDC_PRESET_2X3);
    r.click(IDC_WINDOW_BUTTON_BASE + 4);
    r.connect();
    QVERIFY(r.boxes.isEmpty());
    QVERIFY(r->state().connected);
    // The device's 1920 × 1080 is the bound and the picture to divide.
    QCOMPARE(r->state().resolutionWidth, 1920);
    QCOMPARE(r.w<QComboBox>(IDC_RESOLUTION_LIST)->currentText(), u("1920x1080@60Hz"));
    QCOMPARE(r.w<QGroupBox>(IDC_EFFECTS_FRAME)->title(),
             u("Effects show（Please enter each screen width and height values：Width<=1920，Height<=1080）"));
    QVERIFY(r.w<QAbstractButton>(IDC_NO_SYNC)->isChecked());
    QVERIFY(r->isUploadEnabled());
    // Ready as it stood: three queries, nothing sent.
    QCOMPARE(r.commands(), (Commands{{0xFE, 3, 0}, {0xFE, 4, 0}, {0xFE, 0, 0}}));
    // The check kept the selection.
    QCOMPARE(r->state().selectedWindow, 4);

    // Window 004 is the middle screen of the lower row: the middle third of
    // the lower half of the picture.
    r.click(IDC_AUTO_CALCULATE);
    QCOMPARE(r.text(IDC_IN_WIDTH_CALC), u("640"));
    QCOMPARE(r.text(IDC_IN_HSTART_CALC), u("640"));
    QCOMPARE(r.text(IDC_IN_VSTART_CALC), u("540"));
    const auto before = r.sim->written().size();
    r.click(IDC_SET_INPUT);
    QVERIFY(r.idle());
    QCOMPARE(r.sim->state().mosaicInput, (sim::WindowRect{640, 640, 540, 540}));
    QCOMPARE(r.sim->written().back()[1], 1); // the dialog's address
    // Sent: the input group's marks are cleared, the output group's stay.
    QCOMPARE(r.w<QLineEdit>(IDC_IN_WIDTH_CALC)->palette().color(QPalette::Base), QColor(205, 205, 180));
    QCOMPARE(r.w<QLineEdit>(IDC_OUT_WIDTH_CALC)->palette().color(QPalette::Base), QColor(0, 255, 255));

    r.click(IDC_SET_OUTPUT);
    QVERIFY(r.idle());
    QCOMPARE(r.sim->state().mosaicOutput, (sim::WindowRect{0, 1024, 0, 768}));
    QCOMPARE(r.commands(before), (Commands{{0x23, 0, 640 >> 8}, {0x2C, 0, 0}}));
    QVERIFY(r->isUploadEnabled());
    QVERIFY(r.boxes.isEmpty());
}

void MosaicDeviceDialogTest::deviceThatIsNotReadyIsPreparedAndDetectWatchesIt()
{
    sim::SimOptions o = wallScreen();
    o.bypass = true;
    o.mosaic = false;
    o.mainSource = 4; // HDMI
    Rig r(o);
    r.connect();
    QVERIFY(r.boxes.isEmpty());
    QCOMPARE(r.commands(), (Commands{{0xFE, 3, 0},
                                     {0xFE, 4, 0},
                                     {0xFE, 0, 0},
                                     {0x2A, 0, 0},    // bypass off
                                     {0x00, 0, 5},    // DVI
                                     {0x21, 1, 5},    // mosaic on
                                     {0xFE, 0, 5}})); // ready now?
    const auto s = r.sim->state();
    QVERIFY(!s.bypass);
    QVERIFY(s.mosaic);
    QCOMPARE(s.mainSource, 5);
    QVERIFY(r->isUploadEnabled());

    r.click(IDC_DETECT);
    QVERIFY(r.idle());
    QVERIFY(r.boxes.isEmpty());
    QVERIFY(r->isUploadEnabled());

    // The DVI input loses its picture: Detect says so and holds the upload.
    r.sim->setSignal(5, false);
    r.click(IDC_DETECT);
    QVERIFY(r.idle());
    QCOMPARE(r.boxes, QStringList{u("System information|Please detection DVI channel signal")});
    QVERIFY(!r->isUploadEnabled());
    QVERIFY(r->state().connected);

    // A connect check that cannot make it ready says so in its own words.
    r.boxes.clear();
    r.connect();
    QCOMPARE(r.boxes, QStringList{u("System infomation|Please detection DVI channel signal")});
    QVERIFY(!r->isUploadEnabled());
}

void MosaicDeviceDialogTest::silentDeviceEndsTheCheckWithoutAWord()
{
    Rig r;
    // Another address: the processor (id 1) stays silent.
    auto* list = r.w<QComboBox>(IDC_ADDRESS_LIST);
    list->setCurrentIndex(1);
    emit list->activated(1);
    r.connect();
    QVERIFY(r.boxes.isEmpty());
    QCOMPARE(r.commands(), (Commands{{0xFE, 3, 0}}));
    QCOMPARE(r.sim->written().front()[1], 2);
    // Unanswered sub-code 3 still counts as connected; nothing else changed.
    QVERIFY(r->state().connected);
    QVERIFY(!r->isUploadEnabled());
    QCOMPARE(r->state().resolutionWidth, 1024);
    QVERIFY(!r->isBusy());

    // The please-wait window shows again for the next check.
    r.sim->setSilent(true);
    r.connect();
    QCOMPARE(r.sim->written().size(), 2u);
}

void MosaicDeviceDialogTest::modeRadiosSendTheMainWindowsIdAndTheCheckSendsNone()
{
    sim::SimOptions o = wallScreen();
    o.syncMosaic = true;
    Rig r(o);
    r.connect();
    QVERIFY(r.w<QAbstractButton>(IDC_SYNC)->isChecked());
    QVERIFY(!r.w<QAbstractButton>(IDC_NO_SYNC)->isChecked());
    for (const auto& c : r.commands())
        QVERIFY(c[0] != 0x22); // what the device reported is shown, not sent

    // A screen reader's toggle acts as a click does.
    const auto before = r.sim->written().size();
    accessibleAction(r.w(IDC_NO_SYNC), QAccessibleActionInterface::toggleAction());
    QVERIFY(r.idle());
    QCOMPARE(r.commands(before), (Commands{{0x22, 0, 0}}));
    QVERIFY(!r.sim->state().syncMosaic);
    QCOMPARE(r.boxes, QStringList{u("System information|Set up successfully")});

    // The mode frames carry the main window's id, not the dialog's address.
    Rig other(wallScreen(), 7);
    other.connect();
    other.click(IDC_SYNC);
    QVERIFY(other.idle());
    QCOMPARE(other.sim->written().back()[1], 7);
    QCOMPARE(other.sim->written().back()[2], 0x22);
    QCOMPARE(other.boxes, QStringList{u("System information|Set up successfully")});
}

void MosaicDeviceDialogTest::closingWhileTheCheckWaitsOnASilentDeviceReturnsAtOnce()
{
    Rig r;
    r.sim->setSilent(true);
    r.clock.current = &r.clock.still;
    r->show();
    qint64 closingMs = -1;
    QTimer::singleShot(0, [&] {
        // The check is in its first second; let it send its first query.
        QVERIFY(r.clock.still.waitForSleepers(1));
        r.clock.still.advance(1000ms);
        QVERIFY(QTest::qWaitFor([&] { return r.sim->written().size() == 1; }, 5000));
        QVERIFY(r->isBusy());
        QElapsedTimer t;
        t.start();
        r->reject(); // up to 6000 ms of reply wait remain, on a clock that stands still
        closingMs = t.elapsed();
    });
    r.click(IDC_CONNECT); // returns when the please-wait window has closed
    QVERIFY(closingMs >= 0);
    QVERIFY2(closingMs < 1000, qPrintable(QString::number(closingMs)));
    QVERIFY(!r->isVisible());
    QVERIFY(!r->findChild<gui::link::CProgress*>()->isVisible());
    QCOMPARE(r.sim->written().size(), 1u);
    QVERIFY(r.boxes.isEmpty());
    QVERIFY(!r->state().connected);
}

void MosaicDeviceDialogTest::closingWhileAnotherSenderHoldsTheLinkReturnsAtOnce()
{
    Rig r;
    r.clock.current = &r.clock.still;
    // The plan runner holds the link through a device delay of its own.
    std::unique_lock planRunner(r.link.lock());
    qint64 closingMs = -1;
    QTimer::singleShot(0, [&] {
        QVERIFY(r.clock.still.waitForSleepers(1));
        r.clock.still.advance(1000ms);
        // The check now waits for the lock in short steps.
        QVERIFY(QTest::qWaitFor([&] { return r.clock.still.sleeps().size() >= 2; }, 5000));
        QElapsedTimer t;
        t.start();
        r->reject();
        closingMs = t.elapsed();
    });
    r.click(IDC_CONNECT);
    QVERIFY(closingMs >= 0);
    QVERIFY2(closingMs < 1000, qPrintable(QString::number(closingMs)));
    QVERIFY(r.sim->written().empty());
}

void MosaicDeviceDialogTest::closingWhileAWindowFrameIsOnItsWaySendsNothingMore()
{
    Rig r;
    r.connect();
    r.click(IDC_AUTO_CALCULATE);
    r.clock.current = &r.clock.still;
    const auto before = r.sim->written().size();
    r.click(IDC_SET_OUTPUT);
    // The frame went out; its 1000 ms delay has not passed.
    QVERIFY(QTest::qWaitFor([&] { return r.sim->written().size() == before + 1; }, 5000));
    QVERIFY(r.clock.still.waitForSleepers(1));
    QVERIFY(r->isBusy());
    // The controls wait for the device; Exit does not.
    QVERIFY(!r.w(IDC_AUTO_CALCULATE)->isEnabled());
    QVERIFY(!r.w(IDC_WINDOW_BUTTON_BASE)->isEnabled());
    QVERIFY(r.w(IDC_EXIT)->isEnabled());

    QElapsedTimer t;
    t.start();
    r.click(IDC_EXIT);
    QVERIFY(t.elapsed() < 1000);
    QVERIFY(!r->isBusy());
    QTest::qWait(20);
    QCOMPARE(r.sim->written().size(), before + 1);
    // The frame's end was never reported: its marks stay as they were.
    QCOMPARE(r.w<QLineEdit>(IDC_OUT_WIDTH_CALC)->palette().color(QPalette::Base), QColor(0, 255, 255));
}

QTEST_MAIN(MosaicDeviceDialogTest)
#include "mosaic_device_dialog_test.moc"
