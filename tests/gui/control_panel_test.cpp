#include "core/panel/PanelIds.h"
#include "core/panel/PanelRules.h"
#include "core/panel/PanelTexts.h"
#include "core/panel/PanelView.h"
#include "gui/app/CZelvicControlApp.h"
#include "gui/app/CZelvicControlDlg.h"
#include "gui/app/LaunchOptions.h"
#include "core/settings/ProfileLocation.h"
#include "gui/app/LedIndicator.h"
#include "gui/app/PanelController.h"
#include "tests/support/PanelRig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <memory>

using namespace omnar::gui::app;
using namespace omnar::panel::ids;

namespace {

struct Box {
    QString caption;
    QString text;
};

// A panel whose message boxes are answered by the test.
struct Panel {
    explicit Panel(CZelvicControlDlg::Options options = {})
        : dlg(std::make_unique<CZelvicControlDlg>(options))
    {
        dlg->setMessageHandler([this](const QString& caption, const QString& text) {
            boxes.push_back({caption, text});
            return answer;
        });
    }
    CZelvicControlDlg* operator->() { return dlg.get(); }
    template <typename W = QWidget>
    W* w(int id)
    {
        auto* widget = qobject_cast<W*>(dlg->control(id));
        if (!widget)
            qFatal("control %d is missing or of another type", id);
        return widget;
    }
    void click(int id) { w<QAbstractButton>(id)->click(); }
    // What the panel controller applies when a device connects or goes away.
    void showConnected(bool on) { dlg->applyView(omnar::panel::connectionView(state, on)); }

    std::unique_ptr<CZelvicControlDlg> dlg;
    omnar::panel::PanelState state;
    QList<Box> boxes;
    bool answer = false;
};

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

QString u(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Runs an accessibility action on a widget as a screen reader would, and
// waits for a press to finish (it is an animated click).
void accessibleAction(QWidget* w, const QString& action)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    // A disabled control offers no action (a press is always accepted).
    if (w->isEnabled() && action != QAccessibleActionInterface::pressAction())
        QVERIFY2(a->actionInterface()->actionNames().contains(action), qPrintable(w->objectName()));
    a->actionInterface()->doAction(action);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        QTRY_VERIFY(!b->isDown());
}

QString accessibleName(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

} // namespace

class ControlPanelTest : public QObject {
    Q_OBJECT

private slots:
    void startsEnglishDisconnectedAndCollapsed();
    void templateHiddenControlsStayHiddenButWork();
    void everyControlIsNamedForTestsAndAccessibility();

    void languageRoundTripRestoresEveryCaption();
    void languageLeavesTextsOfOtherCodeAlone();

    void exitAsksAndNoKeepsTheWindow();
    void exitYesClosesTheWindow();
    void exitWithTheRealMessageBox();

    void allToggleFlipsFromWhatTheBoxesShow();
    void startRefusesWithoutAPlanKind();
    void startAndStopSwitchTheTimerBar();

    void dialogButtonsAskForTheirDialogs();
    void connectedUiSwitchesTheDeviceControlGroup();
    void everyKeyReportsItsControlId();

    void timerPanelToggleResizesByPanelWidthPlusFive();
    void linkBoxRadiosListAndCheckboxes();
    void blinkSetFlashesInStepsAndStops();
    void panelViewChangesOnlyWhatItNames();

    void radiosAndCheckBoxesWorkThroughTheAccessibilityInterface_data();
    void radiosAndCheckBoxesWorkThroughTheAccessibilityInterface();
    void programMadeChecksReportNothing();
    void timerFieldsReadOutTheirValues();
    void lampsOfHiddenKeysShowAndNameThemselves();
    void titleIsExactlyThePanelsOwn();

    void launchOptionsParse_data();
    void launchOptionsParse();
    void advancedOptionShowsOnlyTheHiddenControls();
};

void ControlPanelTest::startsEnglishDisconnectedAndCollapsed()
{
    Panel p;
    QCOMPARE(p->windowTitle(), u("Omnar Processor Controller(V1.00)"));
    QVERIFY(!p->isChinese());
    QVERIFY(p->isControlChecked(IDC_LANG_EN));
    QVERIFY(!p->isControlChecked(IDC_LANG_CH));

    for (int id : kDeviceControlGroup)
        QVERIFY2(!p.w(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(!p.w(IDC_TIMER_STOP)->isEnabled());
    QVERIFY(!p.w(IDC_DISCONNECT)->isEnabled());
    QVERIFY(p.w(IDC_CONNECT)->isEnabled());

    for (int id : {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE, IDC_TIMER_ALL})
        QVERIFY(p->isControlChecked(id));

    // No device answered yet: no fade, no switch mode, no EXT. sub-source, every lamp dark.
    for (int id : {IDC_FADE_CUT, IDC_FADE_05S, IDC_FADE_10S, IDC_FADE_15S, IDC_ONE_KEY, IDC_PRE_TAKE,
                   IDC_EXT_NULL, IDC_EXT_SDI, IDC_EXT_VGA, IDC_EXT_DVI, IDC_EXT_VIDEO, IDC_EXT_USB})
        QVERIFY(!p->isControlChecked(id));
    for (const auto& c : kControls)
        QVERIFY(!p->isIndicatorLit(c.id));
    QCOMPARE(p->controlText(IDC_KEY_AUTO_TAKE), u("AUTO"));
    QCOMPARE(p->controlText(IDC_KEY_V2), u("V2"));

    QCOMPARE(p->comPortText(), u("COM1"));
    auto* com = p.w<QComboBox>(IDC_COM_PORT);
    QCOMPARE(com->count(), 20);
    QCOMPARE(com->itemText(19), u("COM20"));

    // A device id is one byte, so the list ends at 255.
    auto* ids = p.w<QComboBox>(IDC_DEVICE_ID_LIST);
    QCOMPARE(ids->count(), 255);
    QCOMPARE(ids->itemText(0), u("1"));
    QCOMPARE(ids->itemText(254), u("255"));
    QCOMPARE(p->deviceId(), 1);
    QVERIFY(p->isControlChecked(IDC_DEVICE_ID_1));

    QVERIFY(p->isTimerPanelCollapsed());
    QVERIFY(p.w(IDC_TIMER_PANEL)->isHidden());
    QCOMPARE(p->controlText(IDC_TIMER_TOGGLE), u("Timer>>"));

    Panel preset(CZelvicControlDlg::Options{false, u("ttyUSB1"), {}});
    QCOMPARE(preset->comPortText(), u("ttyUSB1"));
}

void ControlPanelTest::templateHiddenControlsStayHiddenButWork()
{
    Panel p;
    for (int id : kAdvancedControls)
        QVERIFY2(p.w(id)->isHidden(), qPrintable(QString::number(id)));

    // Hidden controls are still enabled, checked and filled like visible ones.
    p.showConnected(true);
    QVERIFY(p.w(IDC_KEY_DP)->isEnabled());
    QVERIFY(p.w(IDC_MOSAIC_DIALOG)->isEnabled());
    p->setDeviceId(4);
    QVERIFY(p->isControlChecked(IDC_DEVICE_ID_4));
    QCOMPARE(p.w<QComboBox>(IDC_DEVICE_ID_LIST)->currentText(), u("4"));
    p->setIndicatorLit(IDC_LED_VGA2, true);
    QVERIFY(p->isIndicatorLit(IDC_LED_VGA2));
}

void ControlPanelTest::everyControlIsNamedForTestsAndAccessibility()
{
    Panel p;
    QSet<QString> names;
    for (const auto& c : kControls) {
        QWidget* w = p->control(c.id);
        QVERIFY2(w, c.name.data());
        QCOMPARE(w->objectName(), QString::fromLatin1(c.name.data(), qsizetype(c.name.size())));
        QVERIFY2(!w->accessibleName().isEmpty(), c.name.data());
        QVERIFY2(!names.contains(w->objectName()), c.name.data());
        names.insert(w->objectName());
        QCOMPARE(p->findChild<QWidget*>(w->objectName()), w);
    }

    // Nothing a person can see or operate is left out of the table
    // (the combo boxes' own inner widgets aside).
    const auto all = p->findChildren<QWidget*>();
    for (QWidget* w : all) {
        bool inner = false;
        for (QWidget* a = w->parentWidget(); a && a != p.dlg.get(); a = a->parentWidget())
            inner = inner || qobject_cast<QComboBox*>(a) || qobject_cast<QLineEdit*>(a);
        if (inner)
            continue;
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w)
            || qobject_cast<QGroupBox*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<LedIndicator*>(w);
        if (control)
            QVERIFY2(names.contains(w->objectName()),
                     qPrintable(QStringLiteral("unnamed %1").arg(QString::fromLatin1(w->metaObject()->className()))));
    }

    // An indicator names what it shows, not a caption.
    QCOMPARE(p.w(IDC_LED_DVI)->accessibleName(), u("DVI source"));
    QCOMPARE(p.w(IDC_LED_BYPASS)->accessibleName(), u("BYPASS on"));
    QCOMPARE(p.w(IDC_LED_M2)->accessibleName(), u("M2 layout"));

    // Accessible names follow the captions into Chinese.
    p->setLanguage(true);
    QCOMPARE(p.w(IDC_CONNECT)->accessibleName(), u("连接"));
    QCOMPARE(p.w(IDC_SOURCE_GROUP)->accessibleName(), u("信号"));
}

void ControlPanelTest::languageRoundTripRestoresEveryCaption()
{
    Panel p;
    QSignalSpy languages(p.dlg.get(), &CZelvicControlDlg::languageChanged);
    QHash<int, QString> english;
    for (const auto& c : omnar::panel::kCaptions)
        english.insert(c.id, p->controlText(c.id));

    // The template's captions are the English column.
    for (const auto& c : omnar::panel::kCaptions)
        QCOMPARE(english.value(c.id), u(c.text.en));

    p.click(IDC_LANG_CH);
    QVERIFY(p->isChinese());
    QVERIFY(p->isControlChecked(IDC_LANG_CH));
    for (const auto& c : omnar::panel::kCaptions)
        QCOMPARE(p->controlText(c.id), u(c.text.zh));
    QCOMPARE(p->windowTitle(), u("Omnar控制软件(V1.00)"));
    QCOMPARE(p->controlText(IDC_TIMER_TOGGLE), u("定时器>>"));

    // The toggle's caption follows both the panel state and the language.
    p.click(IDC_TIMER_TOGGLE);
    QCOMPARE(p->controlText(IDC_TIMER_TOGGLE), u("定时器<<"));

    p.click(IDC_LANG_EN);
    QVERIFY(!p->isChinese());
    for (const auto& c : omnar::panel::kCaptions)
        QCOMPARE(p->controlText(c.id), english.value(c.id));
    QCOMPARE(p->windowTitle(), u("Omnar Processor Controller(V1.00)"));
    QCOMPARE(p->controlText(IDC_TIMER_TOGGLE), u("Timer<<"));
    p.click(IDC_TIMER_TOGGLE);
    QCOMPARE(p->controlText(IDC_TIMER_TOGGLE), u("Timer>>"));

    QCOMPARE(languages.count(), 2);
    QCOMPARE(languages.at(0).at(0).toBool(), true);
    QCOMPARE(languages.at(1).at(0).toBool(), false);
}

void ControlPanelTest::languageLeavesTextsOfOtherCodeAlone()
{
    Panel p;
    p->setControlText(IDC_KEY_AUTO_TAKE, u("TAKE"));
    p->setControlText(IDC_KEY_V2, u("YPbPr"));
    p->setControlText(IDC_PRE_LABEL, u("Pre: HDMI"));
    p->setInfoText(u("Open com port fail"));
    p->setTimerField(IDC_CUR_STATUS, u("No Execution"));

    p->setLanguage(true);
    p->setLanguage(false);
    p->setLanguage(true);
    QCOMPARE(p->controlText(IDC_KEY_AUTO_TAKE), u("TAKE"));
    QCOMPARE(p->controlText(IDC_KEY_V2), u("YPbPr"));
    QCOMPARE(p->controlText(IDC_PRE_LABEL), u("Pre: HDMI"));
    QCOMPARE(p->infoText(), u("Open com port fail"));
    QCOMPARE(p->timerField(IDC_CUR_STATUS), u("No Execution"));
}

void ControlPanelTest::exitAsksAndNoKeepsTheWindow()
{
    Panel p;
    QSignalSpy exits(p.dlg.get(), &CZelvicControlDlg::exitConfirmed);
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.dlg.get()));
    p.answer = false;

    p.click(IDC_EXIT);
    QVERIFY(p->isVisible());
    QCOMPARE(p.boxes.size(), 1);
    QCOMPARE(p.boxes[0].caption, u("System information"));
    QCOMPARE(p.boxes[0].text, u("Do you want to exit?"));

    // The close box and Esc take the same path.
    QVERIFY(!p->close());
    QVERIFY(p->isVisible());
    QTest::keyClick(p.dlg.get(), Qt::Key_Escape);
    QVERIFY(p->isVisible());
    // Enter does not end the panel either.
    QTest::keyClick(p.dlg.get(), Qt::Key_Return);
    QVERIFY(p->isVisible());
    QCOMPARE(p.boxes.size(), 3);

    p->setLanguage(true);
    p.click(IDC_EXIT);
    QCOMPARE(p.boxes.size(), 4);
    QCOMPARE(p.boxes[3].caption, u("系统信息"));
    QCOMPARE(p.boxes[3].text, u("确认退出?"));
    QVERIFY(p->isVisible());
    QCOMPARE(exits.count(), 0);
}

void ControlPanelTest::exitYesClosesTheWindow()
{
    for (int path = 0; path < 3; ++path) {
        Panel p;
        QSignalSpy exits(p.dlg.get(), &CZelvicControlDlg::exitConfirmed);
        QSignalSpy finished(p.dlg.get(), &QDialog::finished);
        p->show();
        QVERIFY(QTest::qWaitForWindowExposed(p.dlg.get()));
        p.answer = true;
        if (path == 0)
            p.click(IDC_EXIT);
        else if (path == 1)
            QVERIFY(p->close());
        else
            QTest::keyClick(p.dlg.get(), Qt::Key_Escape);
        QVERIFY2(!p->isVisible(), qPrintable(QString::number(path)));
        QCOMPARE(p.boxes.size(), 1);
        QCOMPARE(exits.count(), 1);
        QCOMPARE(finished.count(), 1);
    }
}

void ControlPanelTest::exitWithTheRealMessageBox()
{
    CZelvicControlDlg dlg(CZelvicControlDlg::Options{});
    dlg.setLanguage(true);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));

    QString caption, text, yes, no;
    int round = 0;
    // Answers each box as it appears: No the first time, Yes the second.
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(0, answer);
            return;
        }
        caption = box->windowTitle();
        text = box->text();
        yes = box->button(QMessageBox::Yes)->text();
        no = box->button(QMessageBox::No)->text();
        box->button(round++ == 0 ? QMessageBox::No : QMessageBox::Yes)->click();
    };

    QTimer::singleShot(0, answer);
    dlg.reject();
    QVERIFY(dlg.isVisible());
    QCOMPARE(caption, u("系统信息"));
    QCOMPARE(text, u("确认退出?"));
    QCOMPARE(yes, u("是(&Y)"));
    QCOMPARE(no, u("否(&N)"));

    QTimer::singleShot(0, answer);
    dlg.reject();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(round, 2);
}

void ControlPanelTest::allToggleFlipsFromWhatTheBoxesShow()
{
    Panel p;
    const int five[] = {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE, IDC_TIMER_ALL};
    auto checkedCount = [&] {
        return int(std::count_if(std::begin(five), std::end(five), [&](int id) { return p->isControlChecked(id); }));
    };

    // All five start checked, so the first press clears them.
    p.click(IDC_TIMER_ALL);
    QCOMPARE(checkedCount(), 0);
    p.click(IDC_TIMER_ALL);
    QCOMPARE(checkedCount(), 5);

    // Any mix checks all five.
    p.click(IDC_TIMER_WEEK);
    QCOMPARE(checkedCount(), 4);
    p.click(IDC_TIMER_ALL);
    QCOMPARE(checkedCount(), 5);

    p.click(IDC_TIMER_ALL);
    QCOMPARE(checkedCount(), 0);
    p.click(IDC_TIMER_ONCE);
    p.click(IDC_TIMER_ALL);
    QCOMPARE(checkedCount(), 5);
}

void ControlPanelTest::startRefusesWithoutAPlanKind()
{
    omnar::test::PanelRig rig(u("COM1"));
    QSignalSpy requested(rig.panel.get(), &CZelvicControlDlg::timerStartRequested);
    // Start is usable only on a connected panel; enabled by hand, the timer still refuses.
    rig.panel->setControlEnabled(IDC_TIMER_START, true);
    rig.click(IDC_TIMER_ALL); // clears all five

    // All alone does not count as a plan kind.
    rig.click(IDC_TIMER_ALL);
    for (int id : {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE})
        rig.panel->setControlChecked(id, false);
    QVERIFY(rig.panel->isControlChecked(IDC_TIMER_ALL));

    rig.click(IDC_TIMER_START);
    QCOMPARE(requested.count(), 1);
    QCOMPARE(rig.boxes, QStringList{u("System information|Please select a timer to start")});
    rig.panel->setLanguage(true);
    QVERIFY(!rig.controller->timer().start());
    QCOMPARE(rig.boxes.last(), u("系统信息|请选定要启动的定时器"));

    QVERIFY(!rig.controller->timer().running());
    QVERIFY(!rig.controller->timer().planRunner().running());
    QVERIFY(rig.w(IDC_TIMER_START)->isEnabled());
}

void ControlPanelTest::startAndStopSwitchTheTimerBar()
{
    Panel p;
    p.showConnected(true);
    QSignalSpy started(p.dlg.get(), &CZelvicControlDlg::timerStartRequested);
    QSignalSpy stopped(p.dlg.get(), &CZelvicControlDlg::timerStopRequested);
    for (int id : kTimerFields)
        p->setTimerField(id, u("old"));
    p.click(IDC_TIMER_ALL);
    p.click(IDC_TIMER_MONTH); // Month alone is enough

    // The window asks; the timer controller applies the core's decision.
    p.click(IDC_TIMER_START);
    QCOMPARE(started.count(), 1);
    QVERIFY(p->timerSelection().month && !p->timerSelection().day);
    const auto start = omnar::panel::startTimer(p.state, p->timerSelection(), false);
    QVERIFY(!start.refusal);
    p->applyView(start.view);
    for (int id : kTimerFields)
        QVERIFY(p->timerField(id).isEmpty());
    QCOMPARE(accessibleName(p.w(IDC_CUR_TIME)), u("Current Timer Time"));
    QVERIFY(!p.w(IDC_TIMER_START)->isEnabled());
    QVERIFY(!p.w(IDC_DISCONNECT)->isEnabled());
    QVERIFY(p.w(IDC_TIMER_STOP)->isEnabled());
    // The plan runner owns the link: a command that ends leaves the keys disabled.
    p->applyView(omnar::panel::commandInFlight(p.state, false));
    for (int id : kDeviceControlGroup)
        QVERIFY(!p.w(id)->isEnabled());
    // The kind boxes stay usable while the timer runs.
    QVERIFY(p.w(IDC_TIMER_DAY)->isEnabled());

    p->setTimerField(IDC_NEXT_TIME, u("11: 0: 0"));
    p.click(IDC_TIMER_STOP);
    QCOMPARE(stopped.count(), 1);
    p->applyView(omnar::panel::stopTimer(p.state));
    QVERIFY(p->timerField(IDC_NEXT_TIME).isEmpty());
    QVERIFY(!p.w(IDC_TIMER_STOP)->isEnabled());
    QVERIFY(p.w(IDC_DISCONNECT)->isEnabled());
    for (int id : kDeviceControlGroup)
        QVERIFY(p.w(id)->isEnabled());
    for (int id : {IDC_M1, IDC_M2, IDC_M3})
        QVERIFY(p.w(id)->isEnabled());

    // Stopped after the link went away: nothing is enabled that needs a device.
    p->applyView(omnar::panel::startTimer(p.state, p->timerSelection(), false).view);
    p.showConnected(false);
    p->applyView(omnar::panel::stopTimer(p.state));
    QVERIFY(!p.w(IDC_KEY_V1)->isEnabled());
    QVERIFY(!p.w(IDC_M1)->isEnabled());
    QVERIFY(!p.w(IDC_DISCONNECT)->isEnabled());
}

void ControlPanelTest::dialogButtonsAskForTheirDialogs()
{
    // Whether a dialog may open is the controller's call (the not-connected
    // box): the window only asks, whatever its state.
    Panel p(CZelvicControlDlg::Options{true, {}, {}});
    QSignalSpy setup(p.dlg.get(), &CZelvicControlDlg::setupRequested);
    QSignalSpy resolution(p.dlg.get(), &CZelvicControlDlg::resolutionRequested);
    QSignalSpy mosaic(p.dlg.get(), &CZelvicControlDlg::mosaicRequested);
    for (int id : {IDC_SETUP, IDC_RESOLUTION, IDC_MOSAIC_DIALOG}) {
        QVERIFY(!p.w(id)->isEnabled());
        p->setControlEnabled(id, true);
        p.click(id);
    }
    QCOMPARE(setup.count(), 1);
    QCOMPARE(resolution.count(), 1);
    QCOMPARE(mosaic.count(), 1);
    QVERIFY(p.boxes.isEmpty());
}

void ControlPanelTest::connectedUiSwitchesTheDeviceControlGroup()
{
    Panel p;
    p.showConnected(true);
    for (int id : kDeviceControlGroup)
        QVERIFY(p.w(id)->isEnabled());
    QVERIFY(!p.w(IDC_CONNECT)->isEnabled());
    QVERIFY(p.w(IDC_DISCONNECT)->isEnabled());
    // Outside the group: the status decoder decides.
    QVERIFY(!p.w(IDC_KEY_AUTO_TAKE)->isEnabled());

    // A command in flight.
    p->applyView(omnar::panel::commandInFlight(p.state, true));
    for (int id : kDeviceControlGroup)
        QVERIFY(!p.w(id)->isEnabled());
    QVERIFY(!p.w(IDC_M2)->isEnabled());
    QVERIFY(p.w(IDC_DISCONNECT)->isEnabled());
    p->applyView(omnar::panel::commandInFlight(p.state, false));
    QVERIFY(p.w(IDC_KEY_V1)->isEnabled());

    p->setControlEnabled(IDC_M2, true);
    p->setControlEnabled(IDC_KEY_AUTO_TAKE, true);
    p.showConnected(false);
    for (int id : kDeviceControlGroup)
        QVERIFY(!p.w(id)->isEnabled());
    QVERIFY(!p.w(IDC_M2)->isEnabled());
    QVERIFY(!p.w(IDC_KEY_AUTO_TAKE)->isEnabled());
    QVERIFY(p.w(IDC_CONNECT)->isEnabled());
    QVERIFY(!p.w(IDC_DISCONNECT)->isEnabled());
    // A report of the link that crossed the disconnect changes nothing.
    p->applyView(omnar::panel::commandInFlight(p.state, false));
    QVERIFY(!p.w(IDC_KEY_V1)->isEnabled());
}

void ControlPanelTest::everyKeyReportsItsControlId()
{
    Panel p(CZelvicControlDlg::Options{true, {}, {}});
    p.showConnected(true);
    for (int id : {IDC_M1, IDC_M2, IDC_M3, IDC_KEY_AUTO_TAKE})
        p->setControlEnabled(id, true);
    QSignalSpy keys(p.dlg.get(), &CZelvicControlDlg::keyPressed);
    for (int id : kKeys)
        p.click(id);
    QCOMPARE(keys.count(), int(kKeys.size()));
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        QCOMPARE(keys.at(int(i)).at(0).toInt(), kKeys[i]);

    // Buttons that are not keys say what they are instead.
    QSignalSpy connectSpy(p.dlg.get(), &CZelvicControlDlg::connectRequested);
    QSignalSpy program(p.dlg.get(), &CZelvicControlDlg::programRequested);
    QSignalSpy mosaic(p.dlg.get(), &CZelvicControlDlg::mosaicRequested);
    QSignalSpy disconnectSpy(p.dlg.get(), &CZelvicControlDlg::disconnectRequested);
    p.click(IDC_PROGRAM);
    p.click(IDC_MOSAIC_DIALOG);
    p.click(IDC_DISCONNECT);
    p.showConnected(false);
    p.click(IDC_CONNECT);
    QCOMPARE(program.count(), 1);
    QCOMPARE(mosaic.count(), 1);
    QCOMPARE(disconnectSpy.count(), 1);
    QCOMPARE(connectSpy.count(), 1);
    QCOMPARE(keys.count(), int(kKeys.size()));

    // A disabled key says nothing.
    p.click(IDC_KEY_V1);
    QCOMPARE(keys.count(), int(kKeys.size()));
}

void ControlPanelTest::timerPanelToggleResizesByPanelWidthPlusFive()
{
    Panel p;
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.dlg.get()));
    const QRect collapsed = p->geometry();

    p.click(IDC_TIMER_TOGGLE);
    QVERIFY(!p->isTimerPanelCollapsed());
    QVERIFY(p.w(IDC_TIMER_PANEL)->isVisible());
    const QRect shown = p->geometry();
    QCOMPARE(shown.width() - collapsed.width(), p.w(IDC_TIMER_PANEL)->width() + 5);
    QCOMPARE(shown.topLeft(), collapsed.topLeft());
    QCOMPARE(shown.height(), collapsed.height());

    p.click(IDC_TIMER_TOGGLE);
    QVERIFY(p->isTimerPanelCollapsed());
    QCOMPARE(p->geometry(), collapsed);
}

void ControlPanelTest::linkBoxRadiosListAndCheckboxes()
{
    Panel p(CZelvicControlDlg::Options{true, {}, {}});
    QSignalSpy transport(p.dlg.get(), &CZelvicControlDlg::transportChosen);
    QSignalSpy deviceIds(p.dlg.get(), &CZelvicControlDlg::deviceIdChosen);
    QSignalSpy autoConnect(p.dlg.get(), &CZelvicControlDlg::autoConnectToggled);
    QSignalSpy startTimer(p.dlg.get(), &CZelvicControlDlg::startTimerToggled);

    // Before the settings are loaded: the defaults of a missing profile file.
    QVERIFY(!p->isSerialChosen());
    QVERIFY(!p.w(IDC_COM_PORT)->isEnabled());
    QVERIFY(!p.w(IDC_START_TIMER)->isEnabled());

    p.click(IDC_SERIAL);
    QVERIFY(p->isSerialChosen());
    QVERIFY(p.w(IDC_COM_PORT)->isEnabled());
    QVERIFY(!p.w(IDC_IP_ADDRESS)->isEnabled());
    QVERIFY(!p.w(IDC_TCP_PORT)->isEnabled());
    p.click(IDC_NETWORK);
    QVERIFY(!p.w(IDC_COM_PORT)->isEnabled());
    QVERIFY(p.w(IDC_IP_ADDRESS)->isEnabled());
    QCOMPARE(transport.count(), 2);
    QCOMPARE(transport.at(0).at(0).toBool(), true);
    QCOMPARE(transport.at(1).at(0).toBool(), false);

    p.click(IDC_DEVICE_ID_3);
    QCOMPARE(p->deviceId(), 3);
    QCOMPARE(p.w<QComboBox>(IDC_DEVICE_ID_LIST)->currentText(), u("3"));

    auto* list = p.w<QComboBox>(IDC_DEVICE_ID_LIST);
    list->setCurrentIndex(11);
    emit list->activated(11);
    QCOMPARE(p->deviceId(), 12);
    for (int id : kDeviceIdRadios)
        QVERIFY(!p->isControlChecked(id));
    list->setCurrentIndex(5);
    emit list->activated(5);
    QVERIFY(p->isControlChecked(IDC_DEVICE_ID_6));
    QCOMPARE(deviceIds.count(), 3);
    QCOMPARE(deviceIds.at(1).at(0).toInt(), 12);

    // An id from a profile file that the list does not offer selects nothing.
    p->setDeviceId(0);
    QCOMPARE(p->deviceId(), 0);
    for (int id : kDeviceIdRadios)
        QVERIFY(!p->isControlChecked(id));
    p->setDeviceId(256);
    QCOMPARE(p->deviceId(), 0);

    p.click(IDC_AUTO_CONNECT);
    QVERIFY(p.w(IDC_START_TIMER)->isEnabled());
    p.click(IDC_START_TIMER);
    p.click(IDC_AUTO_CONNECT);
    QVERIFY(!p.w(IDC_START_TIMER)->isEnabled());
    QCOMPARE(autoConnect.count(), 2);
    QCOMPARE(autoConnect.at(0).at(0).toBool(), true);
    QCOMPARE(autoConnect.at(1).at(0).toBool(), false);
    QCOMPARE(startTimer.count(), 1);

    // Setters apply without reporting back as operator changes.
    p->setSerialChosen(true);
    p->setAutoConnectChecked(true);
    p->setIpAddressText(u("192.168.1.20"));
    p->setTcpPortText(u("5000"));
    QCOMPARE(transport.count(), 2);
    QCOMPARE(autoConnect.count(), 2);
    QCOMPARE(p->ipAddressText(), u("192.168.1.20"));
    QCOMPARE(p->tcpPortText(), u("5000"));
    QVERIFY(p.w(IDC_START_TIMER)->isEnabled());
}

void ControlPanelTest::blinkSetFlashesInStepsAndStops()
{
    Panel p;
    p->setBlinkSet({IDC_LED_DVI, IDC_LED_V1, IDC_LED_DVI});
    QCOMPARE(p->blinkSet(), (QList<int>{IDC_LED_V1, IDC_LED_DVI}));

    p->blinkStep();
    QVERIFY(p->isIndicatorLit(IDC_LED_V1));
    QVERIFY(p->isIndicatorLit(IDC_LED_DVI));
    QVERIFY(!p->isIndicatorLit(IDC_LED_HDMI));
    p->blinkStep();
    QVERIFY(!p->isIndicatorLit(IDC_LED_V1));
    QVERIFY(!p->isIndicatorLit(IDC_LED_DVI));

    // Leaving the set freezes a lamp where it is; the decoder sets it next.
    p->blinkStep();
    p->setBlinkSet({IDC_LED_PIP});
    p->blinkStep();
    QVERIFY(p->isIndicatorLit(IDC_LED_V1));
    QVERIFY(!p->isIndicatorLit(IDC_LED_PIP)); // the set's phase carries on: off half
    p->blinkStep();
    QVERIFY(p->isIndicatorLit(IDC_LED_PIP));

    p->setBlinkSet({});
    p->blinkStep();
    QVERIFY(p->isIndicatorLit(IDC_LED_PIP));
}

void ControlPanelTest::panelViewChangesOnlyWhatItNames()
{
    Panel p;
    p.showConnected(true);
    p->setIndicatorLit(IDC_LED_V1, true);
    p->setIndicatorLit(IDC_LED_M1, true);

    omnar::panel::PanelView view;
    view.indicators[IDC_LED_DVI] = omnar::panel::IndicatorState::Shown;
    view.indicators[IDC_LED_V1] = omnar::panel::IndicatorState::Hidden;
    view.indicators[IDC_LED_HDMI] = omnar::panel::IndicatorState::Blinking;
    view.blinkSet = std::vector<int>{IDC_LED_HDMI};
    view.checked[IDC_PRE_TAKE] = true;
    view.checked[IDC_ONE_KEY] = false;
    view.checked[IDC_FADE_10S] = true;
    view.enabled[IDC_KEY_MOSAIC] = false;
    view.enabled[IDC_M1] = true;
    view.captions[IDC_KEY_AUTO_TAKE] = "TAKE";
    view.preLabel = omnar::panel::PanelView::Label{true, "预选:\tVGA"};
    p->applyView(view);

    QVERIFY(p->isIndicatorLit(IDC_LED_DVI));
    QVERIFY(!p->isIndicatorLit(IDC_LED_V1));
    QVERIFY(p->isIndicatorLit(IDC_LED_M1)); // not named: untouched
    QCOMPARE(p->blinkSet(), (QList<int>{IDC_LED_HDMI}));
    QVERIFY(p->isControlChecked(IDC_PRE_TAKE));
    QVERIFY(!p->isControlChecked(IDC_ONE_KEY));
    QVERIFY(p->isControlChecked(IDC_FADE_10S));
    QVERIFY(!p.w(IDC_KEY_MOSAIC)->isEnabled());
    QVERIFY(p.w(IDC_KEY_BYPASS)->isEnabled());
    QVERIFY(p.w(IDC_M1)->isEnabled());
    QCOMPARE(p->controlText(IDC_KEY_AUTO_TAKE), u("TAKE"));
    QVERIFY(!p.w(IDC_PRE_LABEL)->isHidden());
    QCOMPARE(p->controlText(IDC_PRE_LABEL), u("预选:\tVGA"));

    // A later view that unchecks an exclusive radio set leaves none checked.
    omnar::panel::PanelView ext;
    ext.checked[IDC_EXT_SDI] = true;
    p->applyView(ext);
    omnar::panel::PanelView none;
    for (int id : {IDC_EXT_NULL, IDC_EXT_SDI, IDC_EXT_VGA, IDC_EXT_DVI, IDC_EXT_VIDEO, IDC_EXT_USB})
        none.checked[id] = false;
    none.preLabel = omnar::panel::PanelView::Label{false, {}};
    p->applyView(none);
    QVERIFY(!p->isControlChecked(IDC_EXT_SDI));
    QVERIFY(p.w(IDC_PRE_LABEL)->isHidden());
    QCOMPARE(p->controlText(IDC_PRE_LABEL), u("预选:\tVGA")); // hidden, text kept

    // An empty view changes nothing.
    p->applyView(omnar::panel::PanelView{});
    QCOMPARE(p->blinkSet(), (QList<int>{IDC_LED_HDMI}));
    QVERIFY(p->isIndicatorLit(IDC_LED_DVI));
}

void ControlPanelTest::radiosAndCheckBoxesWorkThroughTheAccessibilityInterface_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("toggle") << QAccessibleActionInterface::toggleAction();
    QTest::newRow("press") << QAccessibleActionInterface::pressAction();
}

void ControlPanelTest::radiosAndCheckBoxesWorkThroughTheAccessibilityInterface()
{
    QFETCH(QString, action);
    Panel p;
    p.showConnected(true);
    QSignalSpy languages(p.dlg.get(), &CZelvicControlDlg::languageChanged);
    QSignalSpy transport(p.dlg.get(), &CZelvicControlDlg::transportChosen);
    QSignalSpy autoConnect(p.dlg.get(), &CZelvicControlDlg::autoConnectToggled);
    QSignalSpy startTimer(p.dlg.get(), &CZelvicControlDlg::startTimerToggled);
    QSignalSpy keys(p.dlg.get(), &CZelvicControlDlg::keyPressed);

    accessibleAction(p.w(IDC_LANG_CH), action);
    QVERIFY(p->isChinese());
    QCOMPARE(p->controlText(IDC_CONNECT), u("连接"));
    QCOMPARE(p->windowTitle(), u("Omnar控制软件(V1.00)"));
    accessibleAction(p.w(IDC_LANG_EN), action);
    QVERIFY(!p->isChinese());
    QCOMPARE(p->controlText(IDC_CONNECT), u("Connect"));
    QCOMPARE(languages.count(), 2);

    accessibleAction(p.w(IDC_SERIAL), action);
    QVERIFY(p->isSerialChosen());
    QVERIFY(p.w(IDC_COM_PORT)->isEnabled());
    QCOMPARE(transport.count(), 1);

    accessibleAction(p.w(IDC_AUTO_CONNECT), action);
    QCOMPARE(autoConnect.count(), 1);
    QCOMPARE(autoConnect.at(0).at(0).toBool(), true);
    QVERIFY(p.w(IDC_START_TIMER)->isEnabled());
    accessibleAction(p.w(IDC_START_TIMER), action);
    QCOMPARE(startTimer.count(), 1);
    QCOMPARE(startTimer.at(0).at(0).toBool(), true);

    for (int id : {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE})
        accessibleAction(p.w(id), action);
    QVERIFY(!p->timerSelection().any());
    // All as its click does: a mix checks all five, the next one clears them.
    accessibleAction(p.w(IDC_TIMER_ALL), action);
    for (int id : {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE, IDC_TIMER_ALL})
        QVERIFY(p->isControlChecked(id));
    accessibleAction(p.w(IDC_TIMER_ALL), action);
    for (int id : {IDC_TIMER_DAY, IDC_TIMER_WEEK, IDC_TIMER_MONTH, IDC_TIMER_ONCE, IDC_TIMER_ALL})
        QVERIFY(!p->isControlChecked(id));

    for (int id : {IDC_FADE_05S, IDC_FADE_15S, IDC_PRE_TAKE, IDC_ONE_KEY})
        accessibleAction(p.w(id), action);
    QCOMPARE(keys.count(), 4);
    const int expected[] = {IDC_FADE_05S, IDC_FADE_15S, IDC_PRE_TAKE, IDC_ONE_KEY};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(keys.at(i).at(0).toInt(), expected[i]);
    QVERIFY(p->isControlChecked(IDC_FADE_15S));

    // A disabled control does nothing, whichever way it is reached.
    p.showConnected(false);
    accessibleAction(p.w(IDC_FADE_CUT), action);
    QCOMPARE(keys.count(), 4);
}

void ControlPanelTest::programMadeChecksReportNothing()
{
    Panel p(CZelvicControlDlg::Options{true, {}, {}});
    p.showConnected(true);
    QSignalSpy keys(p.dlg.get(), &CZelvicControlDlg::keyPressed);
    QSignalSpy transport(p.dlg.get(), &CZelvicControlDlg::transportChosen);
    QSignalSpy deviceIds(p.dlg.get(), &CZelvicControlDlg::deviceIdChosen);
    QSignalSpy autoConnect(p.dlg.get(), &CZelvicControlDlg::autoConnectToggled);
    QSignalSpy startTimer(p.dlg.get(), &CZelvicControlDlg::startTimerToggled);
    QSignalSpy languages(p.dlg.get(), &CZelvicControlDlg::languageChanged);

    // What the status decoder shows: the device's switch mode and fade.
    omnar::panel::PanelView view;
    view.checked[IDC_PRE_TAKE] = true;
    view.checked[IDC_ONE_KEY] = false;
    view.checked[IDC_FADE_10S] = true;
    p->applyView(view);
    view.checked[IDC_PRE_TAKE] = false;
    view.checked[IDC_ONE_KEY] = true;
    p->applyView(view);
    QVERIFY(p->isControlChecked(IDC_ONE_KEY));
    // What the profile file gives.
    p->setSerialChosen(true);
    p->setSerialChosen(false);
    p->setDeviceId(3);
    p->setAutoConnectChecked(true);
    p->setStartTimerChecked(true);
    p->setControlChecked(IDC_LANG_CH, true);

    QCOMPARE(keys.count(), 0);
    QCOMPARE(transport.count(), 0);
    QCOMPARE(deviceIds.count(), 0);
    QCOMPARE(autoConnect.count(), 0);
    QCOMPARE(startTimer.count(), 0);
    QCOMPARE(languages.count(), 0);
    QVERIFY(!p->isChinese());
}

void ControlPanelTest::timerFieldsReadOutTheirValues()
{
    Panel p;
    QCOMPARE(accessibleName(p.w(IDC_CUR_TIME)), u("Current Timer Time"));
    p->setTimerField(IDC_CUR_TIME, u("11: 0: 0"));
    p->setTimerField(IDC_NEXT_SIGNAL, u("HDMI"));
    QCOMPARE(accessibleName(p.w(IDC_CUR_TIME)), u("Current Timer Time: 11: 0: 0"));
    QCOMPARE(accessibleName(p.w(IDC_NEXT_SIGNAL)), u("Next Timer Signal: HDMI"));
    p->setLanguage(true);
    p->setTimerField(IDC_CUR_STATUS, u("即将执行"));
    QCOMPARE(accessibleName(p.w(IDC_CUR_STATUS)), u("当前定时 状态: 即将执行"));
    QCOMPARE(accessibleName(p.w(IDC_CUR_TIME)), u("当前定时 时间: 11: 0: 0"));
    p->clearTimerFields();
    QCOMPARE(accessibleName(p.w(IDC_NEXT_SIGNAL)), u("下一个定时 信号"));

    // Other labels that show values read them out as well.
    p->setControlText(IDC_PRE_LABEL, u("Pre: VGA"));
    QCOMPARE(accessibleName(p.w(IDC_PRE_LABEL)), u("Pre: VGA"));
    p->setInfoText(u("Open com port fail"));
    QCOMPARE(QAccessible::queryAccessibleInterface(p.w(IDC_INFO))->text(QAccessible::Value), u("Open com port fail"));
}

void ControlPanelTest::lampsOfHiddenKeysShowAndNameThemselves()
{
    Panel normal;
    Panel advanced(CZelvicControlDlg::Options{true, {}, {}});
    normal->show();
    advanced->show();
    QVERIFY(QTest::qWaitForWindowExposed(normal.dlg.get()));
    QVERIFY(QTest::qWaitForWindowExposed(advanced.dlg.get()));
    for (const auto& k : kHiddenKeyLamps) {
        auto* lamp = normal.w<LedIndicator>(k.lamp);
        QVERIFY(!normal.w(k.key)->isVisible());
        QVERIFY(lamp->isVisible());
        QCOMPARE(lamp->caption(), normal->controlText(k.key));
        QVERIFY(lamp->height() > lamp->width() / 4 && lamp->height() >= 14);
        // With its key shown the key names it.
        QVERIFY(advanced.w(k.key)->isVisible());
        QVERIFY(advanced.w(k.lamp)->isVisible());
        QVERIFY(advanced.w<LedIndicator>(k.lamp)->caption().isEmpty());
    }
    QCOMPARE(normal.w<LedIndicator>(IDC_LED_MOSAIC)->caption(), u("MOSAIC"));

    // A device on VGA2 in mosaic mode lights what the operator can see.
    omnar::panel::PanelView view;
    view.indicators[IDC_LED_VGA2] = omnar::panel::IndicatorState::Shown;
    view.indicators[IDC_LED_MOSAIC] = omnar::panel::IndicatorState::Shown;
    normal->applyView(view);
    QVERIFY(normal.w(IDC_LED_VGA2)->isVisible() && normal->isIndicatorLit(IDC_LED_VGA2));
    QVERIFY(normal.w(IDC_LED_MOSAIC)->isVisible() && normal->isIndicatorLit(IDC_LED_MOSAIC));
}

void ControlPanelTest::titleIsExactlyThePanelsOwn()
{
    // A window system appends the application's display name to every
    // window title when one is set: none may be.
    const QString name = QCoreApplication::applicationName();
    CZelvicControlApp::describeApplication();
    QCoreApplication::setApplicationName(u("probe"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), u("probe"));
    QCoreApplication::setApplicationName(name);

    Panel p;
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.dlg.get()));
    QWindow* window = p->windowHandle();
    QVERIFY(window);
    QCOMPARE(window->title(), u("Omnar Processor Controller(V1.00)"));
    p.click(IDC_LANG_CH);
    QCOMPARE(window->title(), u("Omnar控制软件(V1.00)"));
    p.click(IDC_LANG_EN);
    QCOMPARE(window->title(), u("Omnar Processor Controller(V1.00)"));
}

void ControlPanelTest::launchOptionsParse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<bool>("error");

    // Without --config: ./Planinfo.ini when it exists, else the configuration folder's.
    const QString def = QString::fromStdString(omnar::settings::chooseProfilePath(
        std::nullopt, omnar::settings::currentProfileEnvironment()));
    QTest::newRow("none") << QStringList{} << def << QString() << false << false << false << false;
    QTest::newRow("config") << QStringList{u("--config"), u("/tmp/x/plans.ini")} << u("/tmp/x/plans.ini")
                            << QString() << false << false << false << false;
    QTest::newRow("config=") << QStringList{u("--config=site.ini")} << u("site.ini") << QString() << false
                             << false << false << false;
    QTest::newRow("port") << QStringList{u("--port"), u("/dev/pts/3")} << def << u("/dev/pts/3") << false
                          << false << false << false;
    QTest::newRow("advanced") << QStringList{u("--advanced"), u("--port=COM4")} << def << u("COM4") << true
                              << false << false << false;
    QTest::newRow("help") << QStringList{u("--help")} << def << QString() << false << true << false << false;
    QTest::newRow("-h") << QStringList{u("-h")} << def << QString() << false << true << false << false;
    QTest::newRow("version") << QStringList{u("--version")} << def << QString() << false << false << true
                             << false;
    QTest::newRow("qt platform option") << QStringList{u("-platform"), u("offscreen"), u("--advanced")} << def
                                        << QString() << true << false << false << false;
    QTest::newRow("unknown") << QStringList{u("--bogus")} << def << QString() << false << false << false
                             << true;
    QTest::newRow("positional") << QStringList{u("extra")} << def << QString() << false << false << false
                                << true;
    QTest::newRow("missing value") << QStringList{u("--config")} << def << QString() << false << false
                                   << false << true;
    QTest::newRow("empty port") << QStringList{u("--port=")} << def << QString() << false << false << false
                                << true;
}

void ControlPanelTest::launchOptionsParse()
{
    QFETCH(QStringList, args);
    QFETCH(QString, config);
    QFETCH(QString, port);
    QFETCH(bool, advanced);
    QFETCH(bool, help);
    QFETCH(bool, version);
    QFETCH(bool, error);

    const LaunchOptions o = parseLaunchOptions(QStringList{u("omnar-control")} + args);
    QCOMPARE(!o.error.isEmpty(), error);
    if (error) {
        QVERIFY(o.helpText.contains(u("--advanced")));
        return;
    }
    QCOMPARE(o.configPath, config);
    QCOMPARE(o.port, port);
    QCOMPARE(o.advanced, advanced);
    QCOMPARE(o.helpRequested, help);
    QCOMPARE(o.versionRequested, version);
}

void ControlPanelTest::advancedOptionShowsOnlyTheHiddenControls()
{
    const LaunchOptions o = parseLaunchOptions({u("omnar-control"), u("--advanced")});
    Panel normal;
    Panel advanced(CZelvicControlDlg::Options{o.advanced, o.port, o.configPath});
    normal->show();
    advanced->show();
    QVERIFY(QTest::qWaitForWindowExposed(advanced.dlg.get()));

    for (const auto& c : kControls) {
        const bool extra = std::find(kAdvancedControls.begin(), kAdvancedControls.end(), c.id)
            != kAdvancedControls.end();
        QWidget* n = normal->control(c.id);
        QWidget* a = advanced->control(c.id);
        if (extra) {
            QVERIFY2(!n->isVisible() && a->isVisible(), c.name.data());
        } else {
            QVERIFY2(n->isVisible() == a->isVisible(), c.name.data());
            QVERIFY2(n->isEnabled() == a->isEnabled(), c.name.data());
            QVERIFY2(normal->controlText(c.id) == advanced->controlText(c.id), c.name.data());
        }
    }
    QVERIFY(advanced->width() >= normal->width());
}

QTEST_MAIN(ControlPanelTest)
#include "control_panel_test.moc"
