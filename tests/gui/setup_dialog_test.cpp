// The setup window ("Screen Program") against omnar-sim over a pseudo-terminal.

#include "core/setup/SetupIds.h"
#include "core/setup/SetupView.h"
#include "gui/setup/CSetScreen.h"
#include "gui/setup/PreviewArea.h"
#include "gui/setup/SpinArrows.h"
#include "tests/support/SetupRig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace omnar;
using namespace omnar::setup::screen_ids;
using omnar::gui::setup::CSetScreen;
using omnar::test::SetupRig;

namespace {

constexpr int kOpenTimeoutMs = 20000;

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

QLineEdit* edit(CSetScreen& d, int id)
{
    return qobject_cast<QLineEdit*>(d.control(id));
}

QAbstractButton* button(CSetScreen& d, int id)
{
    return qobject_cast<QAbstractButton*>(d.control(id));
}

// Types into an edit as the operator does, replacing what it held.
void type(CSetScreen& d, int id, const QString& text)
{
    QLineEdit* e = edit(d, id);
    e->selectAll();
    if (text.isEmpty())
        QTest::keyClick(e, Qt::Key_Backspace);
    else
        QTest::keyClicks(e, text);
}

QColor background(CSetScreen& d, int id)
{
    return d.control(id)->palette().color(QPalette::Base);
}

bool marked(CSetScreen& d, int id)
{
    const auto c = setup::kMarkSetColour;
    return background(d, id) == QColor(c.r, c.g, c.b);
}

QString accessibleName(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

void accessibleToggle(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    QVERIFY(a->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    a->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

sim::SimOptions simWith(int resolution, bool pip, int layout)
{
    auto o = test::quietSim();
    o.resolutionIndex = resolution;
    o.pipOpen = pip;
    o.pipLayout = layout;
    return o;
}

} // namespace

class SetupDialogTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithEveryFieldReadBackAndDrawnToScale();
    void chineseAndAdvancedShowTheHiddenGroupsFilled();
    void aSavedWindowReachesTheDeviceABadOneSendsNothing();
    void radiosSendOnTheOperatorsToggleOnlyAndSpinsStayInRange();
    void closingDuringASilentReadBackReturnsAtOnceAndSendsNoMore();
};

void SetupDialogTest::opensWithEveryFieldReadBackAndDrawnToScale()
{
    auto o = simWith(setup::kCustomResolutionIndex, true, 1);
    o.custom = {1280, 720, 60};
    o.brightnessRange = 100;
    SetupRig rig(o);
    QVERIFY(rig.ok);
    rig.context.device.pipOpen = true;
    rig.context.device.pipLayout = 1;
    CSetScreen d(rig.context);
    d.show();
    QCOMPARE(d.windowTitle(), u("Screen Program"));
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);

    // Output window, custom raster, M2's main and PIP windows.
    const std::pair<int, const char*> fields[] = {
        {IDC_OUTPUT_WIDTH, "1280"}, {IDC_OUTPUT_HSTART, "0"},  {IDC_OUTPUT_HEIGHT, "720"}, {IDC_OUTPUT_VSTART, "0"},
        {IDC_MAIN_WIDTH, "640"},    {IDC_MAIN_HSTART, "0"},    {IDC_MAIN_HEIGHT, "720"},   {IDC_MAIN_VSTART, "0"},
        {IDC_PIP_WIDTH, "640"},     {IDC_PIP_HSTART, "640"},   {IDC_PIP_HEIGHT, "720"},    {IDC_PIP_VSTART, "0"},
        {IDC_BRIGHTNESS, "50"},     {IDC_BIAS, "50"},          {IDC_COLOUR, "50"},         {IDC_KEY_RED, "0"},
        {IDC_MAIN_CORNER, "(1280,720)"}, {IDC_OUTPUT_CORNER, "(1280,720)"}, {IDC_BRIGHTNESS_RANGE, "(0~100)"},
    };
    for (const auto& [id, text] : fields)
        QVERIFY2(d.controlText(id) == QLatin1String(text), qPrintable(d.control(id)->objectName()));
    QVERIFY(button(d, IDC_M2)->isChecked());
    QVERIFY(button(d, IDC_SHARPNESS_NORMAL)->isChecked());
    QVERIFY(button(d, IDC_KEY_BELOW)->isChecked());
    QVERIFY(d.controlText(IDC_INFO).isEmpty());
    // After the read-back no edit is highlighted.
    const auto clear = setup::kMarkClearColour;
    for (int id : setup::kMarkedEdits)
        QVERIFY2(background(d, id) == QColor(clear.r, clear.g, clear.b), qPrintable(d.control(id)->objectName()));
    // Enabled by the rules: PIP/PBP open, MOSAIC off.
    for (int id : {IDC_MAIN_SAVE, IDC_PIP_SAVE, IDC_M1, IDC_M3, IDC_OUTPUT_SAVE, IDC_KEY_SAVE})
        QVERIFY(d.control(id)->isEnabled());

    // MAIN on the left half, PBP on the right, the output window fills its area.
    QWidget* mainArea = d.control(IDC_MAIN_AREA);
    QCOMPARE(d.control(IDC_MAIN_RECT)->geometry(), QRect(0, 0, mainArea->width() / 2, mainArea->height()));
    QCOMPARE(d.control(IDC_PIP_RECT)->geometry(),
             QRect(mainArea->width() / 2, 0, mainArea->width() / 2, mainArea->height()));
    QCOMPARE(d.control(IDC_OUTPUT_RECT)->geometry(), d.control(IDC_OUTPUT_AREA)->rect());
    QCOMPARE(d.controlText(IDC_MAIN_RECT), u("MAIN"));
    QCOMPARE(d.control(IDC_PIP_RECT)->palette().color(QPalette::Window), QColor(255, 0, 0));

    // Every control by its id's name; edits named by their labels, groups by their titles.
    for (const auto& c : kControls)
        QVERIFY2(d.findChild<QWidget*>(QString::fromLatin1(c.name.data(), c.name.size())),
                 c.name.data());
    QCOMPARE(accessibleName(d.control(IDC_MAIN_WIDTH)), u("Main_Hori_Width:"));
    QCOMPARE(accessibleName(d.control(IDC_BRIGHTNESS)), u("Brightness"));
    QCOMPARE(accessibleName(d.control(IDC_WINDOWS_GROUP)), u("PIP_Size_Position"));
    QCOMPARE(accessibleName(d.control(IDC_KEY_RED_SPIN)), u("Red"));
    QCOMPARE(QAccessible::queryAccessibleInterface(d.control(IDC_OUTPUT_WIDTH))->text(QAccessible::Value), u("1280"));
    QCOMPARE(d.control(IDC_OUTPUT_HEIGHT)->toolTip(), u(">=64"));
    // The groups kept hidden stay hidden.
    QVERIFY(!d.control(IDC_AUDIO_GROUP)->isVisibleTo(&d));
    QVERIFY(!d.control(IDC_OUTPUT2_GROUP)->isVisibleTo(&d));
    QVERIFY(rig.boxes.isEmpty());
}

void SetupDialogTest::chineseAndAdvancedShowTheHiddenGroupsFilled()
{
    auto o = simWith(6, false, 0);
    o.syncMosaic = true;
    SetupRig rig(o);
    QVERIFY(rig.ok);
    rig.context.device.chinese = true;
    rig.context.advanced = true;
    CSetScreen d(rig.context);
    d.show();
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);

    QCOMPARE(d.windowTitle(), u("屏幕参数"));
    QCOMPARE(d.controlText(IDC_WINDOWS_GROUP), u("PIP窗口位置大小"));
    QCOMPARE(d.controlText(IDC_EXIT), u("退出"));
    QCOMPARE(d.controlText(IDC_PIP_NOTE), u("PIP开启状态下可设置!!"));
    QCOMPARE(d.controlText(IDC_OUTPUT_CORNER), u("(1920,1080)"));
    for (int id : {IDC_AUDIO_GROUP, IDC_SPARE_GROUP, IDC_MOSAIC_MODE_GROUP, IDC_OUTPUT2_GROUP, IDC_COLOUR_YPBPR})
        QVERIFY2(d.control(id)->isVisibleTo(&d), qPrintable(d.control(id)->objectName()));
    // Filled by the opening read-back: AD1 on V1, AD2 on HDMI, Sync mosaic, every source's colour.
    QCOMPARE(d.controlText(IDC_AUDIO1), u("V1"));
    QCOMPARE(d.controlText(IDC_AUDIO2), u("HDMI"));
    QCOMPARE(qobject_cast<QComboBox*>(d.control(IDC_AUDIO1))->count(), 8);
    QVERIFY(button(d, IDC_MOSAIC_SYNC)->isChecked());
    QVERIFY(!button(d, IDC_MOSAIC_NO_SYNC)->isChecked());
    QVERIFY(button(d, IDC_V2_MODE_V2)->isChecked());
    for (int id : {IDC_COLOUR_V1, IDC_COLOUR_V2, IDC_COLOUR_HDMI, IDC_COLOUR_DP, IDC_COLOUR_EXT, IDC_COLOUR_YPBPR})
        QCOMPARE(d.controlText(id), u("50"));
    // PIP/PBP closed: the layouts and the main and PIP Saves stay off after the busy toggle.
    for (int id : {IDC_M1, IDC_M2, IDC_M3, IDC_MAIN_SAVE, IDC_PIP_SAVE})
        QVERIFY2(!d.control(id)->isEnabled(), qPrintable(d.control(id)->objectName()));

    // The same channel twice: the box, in the language of the moment, and the list moves away.
    auto* ad2 = qobject_cast<QComboBox*>(d.control(IDC_AUDIO2));
    ad2->setCurrentIndex(0);
    emit ad2->activated(0);
    QCOMPARE(rig.boxes, QStringList{u("系统消息|对不起，音频1和音频2无法使用同一个通道")});
    QCOMPARE(ad2->currentIndex(), 1);
}

void SetupDialogTest::aSavedWindowReachesTheDeviceABadOneSendsNothing()
{
    SetupRig rig(simWith(6, false, 0));
    QVERIFY(rig.ok);
    CSetScreen d(rig.context);
    d.show();
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);

    type(d, IDC_OUTPUT_WIDTH, u("1280"));
    type(d, IDC_OUTPUT_VSTART, u("8"));
    type(d, IDC_OUTPUT_HEIGHT, u("720"));
    QVERIFY(marked(d, IDC_OUTPUT_WIDTH));
    QVERIFY(!marked(d, IDC_OUTPUT_HSTART));
    button(d, IDC_OUTPUT_SAVE)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);
    const sim::WindowRect sent{0, 1280, 8, 720};
    QCOMPARE(rig.sim->state().output, sent);
    QCOMPARE(d.controlText(IDC_INFO), u("Set successfully"));
    QVERIFY(!marked(d, IDC_OUTPUT_WIDTH));
    QCOMPARE(d.control(IDC_OUTPUT_RECT)->width(), d.control(IDC_OUTPUT_AREA)->width() * 1280 / 1920);
    QVERIFY(rig.boxes.isEmpty());

    // Odd: the box, the width highlighted and kept, nothing sent.
    const auto framesBefore = rig.sim->framesReceived();
    type(d, IDC_OUTPUT_WIDTH, u("1281"));
    button(d, IDC_OUTPUT_SAVE)->click();
    QCOMPARE(rig.boxes, QStringList{u("System information|he input value must be even, and can not be odd")});
    QCOMPARE(d.controlText(IDC_OUTPUT_WIDTH), u("1281"));
    QVERIFY(marked(d, IDC_OUTPUT_WIDTH));
    // Too large for any integer: out of range, never wrapped into an accepted value.
    type(d, IDC_OUTPUT_WIDTH, u("99999999999"));
    button(d, IDC_OUTPUT_SAVE)->click();
    QCOMPARE(rig.boxes.size(), 2);
    QCOMPARE(rig.boxes.last(), u("System Information|Value out  of range"));
    QCOMPARE(d.controlText(IDC_OUTPUT_WIDTH), QString());
    QVERIFY(!d.isBusy());
    QCOMPARE(rig.sim->framesReceived(), framesBefore);
    QCOMPARE(rig.sim->state().output, sent);
}

void SetupDialogTest::radiosSendOnTheOperatorsToggleOnlyAndSpinsStayInRange()
{
    SetupRig rig(simWith(6, false, 0));
    QVERIFY(rig.ok);
    CSetScreen d(rig.context);
    d.show();
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);
    QVERIFY(button(d, IDC_SHARPNESS_NORMAL)->isChecked());
    QVERIFY(rig.framesWith(0x17).empty());

    accessibleToggle(d.control(IDC_SHARPNESS_SHARP));
    QTRY_VERIFY_WITH_TIMEOUT(rig.sim->state().sharpness == 1, kOpenTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);
    QCOMPARE(d.controlText(IDC_INFO), u("Set successfully"));
    QCOMPARE(rig.framesWith(0x17).size(), std::size_t(1));

    // A Refresh checks the radios the device reports and sends nothing for it.
    type(d, IDC_BIAS, u("7"));
    button(d, IDC_REFRESH)->click();
    QVERIFY(d.isBusy());
    QVERIFY(!d.control(IDC_SHARPNESS_NORMAL)->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!d.isBusy(), kOpenTimeoutMs);
    QVERIFY(button(d, IDC_SHARPNESS_SHARP)->isChecked());
    QCOMPARE(d.controlText(IDC_BIAS), u("50"));
    QVERIFY(!marked(d, IDC_BIAS));
    QCOMPARE(rig.framesWith(0x17).size(), std::size_t(1));

    // The key colour moves by the arrows only and never past its bounds.
    auto* red = d.findChild<gui::setup::SpinArrows*>(QStringLiteral("IDC_KEY_RED_SPIN"));
    QVERIFY(red);
    QVERIFY(!d.control(IDC_KEY_RED)->isEnabled());
    red->downArrow()->click();
    QCOMPARE(rig.boxes, QStringList{u("System information|Value cannot be downward adjustment")});
    QCOMPARE(d.controlText(IDC_KEY_RED), u("0"));
    red->upArrow()->click();
    QCOMPARE(d.controlText(IDC_KEY_RED), u("8"));
    QVERIFY(marked(d, IDC_KEY_RED));
    QCOMPARE(rig.boxes.size(), 1);
    QVERIFY(rig.framesWith(0x15).empty());
}

void SetupDialogTest::closingDuringASilentReadBackReturnsAtOnceAndSendsNoMore()
{
    auto o = test::quietSim();
    o.silent = true;
    SetupRig rig(o);
    QVERIFY(rig.ok);
    CSetScreen d(rig.context);
    d.show();
    QVERIFY(rig.sim->waitForFrames(1, std::chrono::seconds(10)));
    QVERIFY(d.isBusy());
    // Busy, not frozen: it repaints, Exit works, the device controls wait.
    QCoreApplication::processEvents();
    QVERIFY(!d.grab().isNull());
    QVERIFY(!d.control(IDC_KEY_SAVE)->isEnabled());
    QVERIFY(d.control(IDC_EXIT)->isEnabled());

    QElapsedTimer t;
    t.start();
    button(d, IDC_EXIT)->click();
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!d.isVisible());
    const auto sent = rig.sim->framesReceived();
    QTest::qWait(300);
    QCOMPARE(rig.sim->framesReceived(), sent);
    QVERIFY(rig.boxes.isEmpty());
}

QTEST_MAIN(SetupDialogTest)
#include "setup_dialog_test.moc"
