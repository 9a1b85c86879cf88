// The output resolution window against omnar-sim over a pseudo-terminal; the
// ten seconds a change takes run on a virtual clock the test moves.

#include "core/setup/SetupIds.h"
#include "gui/link/CProgress.h"
#include "gui/setup/CCAdvanced.h"
#include "tests/support/SetupRig.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace omnar;
using namespace omnar::setup::advanced_ids;
using omnar::gui::setup::CCAdvanced;
using omnar::test::SetupRig;

namespace {

constexpr int kTimeoutMs = 15000;
constexpr std::uint8_t kSetResolution = 0x0D;
constexpr std::uint8_t kSetCustom = 0x0F;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

QComboBox* list(CCAdvanced& d)
{
    return qobject_cast<QComboBox*>(d.control(IDC_RESOLUTION_LIST));
}

void type(CCAdvanced& d, int id, const QString& text)
{
    auto* e = qobject_cast<QLineEdit*>(d.control(id));
    e->selectAll();
    QTest::keyClicks(e, text);
}

sim::SimOptions simOn(int resolution)
{
    auto o = test::quietSim();
    o.resolutionIndex = resolution;
    return o;
}

} // namespace

class ResolutionDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheDevicesModeAndAPickWaitsUnderTheProgressWindow();
    void theCustomFormChecksTheDotClockBeforeSending();
    void closingDuringTheChangeReturnsAtOnce();
};

void ResolutionDialogTest::opensOnTheDevicesModeAndAPickWaitsUnderTheProgressWindow()
{
    SetupRig rig(simOn(8));
    QVERIFY(rig.ok);
    CCAdvanced d(rig.context);
    d.show();
    QCOMPARE(d.windowTitle(), u("Resolution"));
    QVERIFY(!list(d)->isEnabled()); // a pick cannot race the read-back
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kTimeoutMs);
    QVERIFY(list(d)->isEnabled());
    QCOMPARE(list(d)->count(), 10);
    QCOMPARE(list(d)->currentText(), u("1440x900@60Hz"));
    QVERIFY(!d.control(IDC_CUSTOM_SAVE)->isVisibleTo(&d));
    for (const auto& c : kControls)
        QVERIFY2(d.findChild<QWidget*>(QString::fromLatin1(c.name.data(), c.name.size())), c.name.data());

    // The operator steps down to the last entry: its index goes out, and the
    // progress window stays for the device's ten seconds.
    list(d)->setFocus();
    QTest::keyClick(list(d), Qt::Key_Down);
    QCOMPARE(list(d)->currentText(), u("1536x1536@60Hz"));
    QVERIFY(d.progress()->isVisible());
    QCOMPARE(d.progress()->shownText(), u("Changing resolution"));
    QVERIFY(rig.clock.gate.waitForSleepers(1));
    QCOMPARE(rig.sim->state().resolutionIndex, 15);
    QCOMPARE(rig.framesWith(kSetResolution).size(), std::size_t(1));
    QCOMPARE(rig.framesWith(kSetResolution).front()[3], 15);
    QTest::qWait(50);
    QVERIFY(d.progress()->isVisible());
    QVERIFY(d.isBusy());

    rig.clock.gate.advance(std::chrono::seconds(10));
    QTRY_VERIFY_WITH_TIMEOUT(!d.progress()->isVisible(), kTimeoutMs);
    QTRY_VERIFY(!d.isBusy());
    QVERIFY(d.isVisible());
    // The entry already shown is not sent again.
    emit list(d)->activated(9);
    QVERIFY(!d.isBusy());
    QCOMPARE(rig.framesWith(kSetResolution).size(), std::size_t(1));
    QVERIFY(rig.boxes.isEmpty());
}

void ResolutionDialogTest::theCustomFormChecksTheDotClockBeforeSending()
{
    auto o = simOn(setup::kCustomResolutionIndex);
    o.custom = {1280, 720, 60};
    SetupRig rig(o);
    QVERIFY(rig.ok);
    rig.context.advanced = true;
    CCAdvanced d(rig.context);
    d.show();
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kTimeoutMs);
    QVERIFY(d.control(IDC_CUSTOM_SAVE)->isVisibleTo(&d));
    QVERIFY(d.control(IDC_CUSTOM_SAVE)->isEnabled());
    QCOMPARE(list(d)->currentIndex(), -1);
    QCOMPARE(d.controlText(IDC_CUSTOM_WIDTH), u("1280"));
    QCOMPARE(d.controlText(IDC_CUSTOM_HEIGHT), u("720"));
    QCOMPARE(d.controlText(IDC_CUSTOM_RATE), u("60"));

    // 1125 x 2104 x 70 Hz: above the dot clock's range.
    type(d, IDC_CUSTOM_WIDTH, u("1920"));
    type(d, IDC_CUSTOM_HEIGHT, u("1080"));
    type(d, IDC_CUSTOM_RATE, u("70"));
    qobject_cast<QPushButton*>(d.control(IDC_CUSTOM_SAVE))->click();
    QCOMPARE(rig.boxes, QStringList{u("System information|Dotlock out of range，range is 25999001~164998999")});
    QVERIFY(!d.progress()->isVisible());
    QVERIFY(rig.framesWith(kSetCustom).empty());

    type(d, IDC_CUSTOM_RATE, u("60"));
    qobject_cast<QPushButton*>(d.control(IDC_CUSTOM_SAVE))->click();
    QVERIFY(d.progress()->isVisible());
    QCOMPARE(d.progress()->shownText(), u("Changing dotlock"));
    QVERIFY(rig.clock.gate.waitForSleepers(1));
    const sim::CustomResolution sent{1920, 1080, 60};
    QCOMPARE(rig.sim->state().custom, sent);
    rig.clock.gate.advance(std::chrono::seconds(10));
    QTRY_VERIFY_WITH_TIMEOUT(!d.progress()->isVisible(), kTimeoutMs);
    QCOMPARE(rig.boxes.size(), 1);
}

void ResolutionDialogTest::closingDuringTheChangeReturnsAtOnce()
{
    SetupRig rig(simOn(6));
    QVERIFY(rig.ok);
    rig.context.device.chinese = true;
    CCAdvanced d(rig.context);
    d.show();
    QCOMPARE(d.windowTitle(), u("分辨率"));
    QCOMPARE(d.controlText(IDC_OK), u("确定"));
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kTimeoutMs);
    QCOMPARE(list(d)->currentIndex(), 6);

    list(d)->setCurrentIndex(0);
    emit list(d)->activated(0);
    QCOMPARE(d.progress()->shownText(), u("正在修改分辨率"));
    QVERIFY(rig.clock.gate.waitForSleepers(1));
    QElapsedTimer t;
    t.start();
    d.reject();
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!d.isVisible());
    QVERIFY(!d.progress()->isVisible());
    QCOMPARE(rig.clock.gate.sleepers(), std::size_t(0));
    const auto sent = rig.sim->framesReceived();
    QTest::qWait(300);
    QCOMPARE(rig.sim->framesReceived(), sent);
    QCOMPARE(rig.sim->state().resolutionIndex, 0);
}

QTEST_MAIN(ResolutionDialogTest)
#include "resolution_dialog_test.moc"
