// The Fast Mosaic window without a device: its controls, the wall
// wall size and grid, the window's size and anchoring, selection,
// Auto Calculate, the spin arrows and the device address.

#include "core/link/Link.h"
#include "core/mosaic/MosaicIds.h"
#include "core/mosaic/MosaicTexts.h"
#include "core/util/Clock.h"
#include "gui/mosaic/CSimpleMosaic.h"
#include "gui/widgets/CColorButton.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <memory>

using namespace omnar;
using namespace omnar::mosaic::ids;
using omnar::gui::mosaic::CSimpleMosaic;
using omnar::gui::widgets::CColorButton;

namespace {

QString u(const char* s)
{
    return QString::fromUtf8(s);
}

// A dialog without a transport; its message boxes answered by the test.
struct Dialog {
    util::VirtualClock clock;
    link::Link link{clock};
    QStringList boxes; // "caption|text"
    bool answer = false;
    std::unique_ptr<CSimpleMosaic> dlg;

    explicit Dialog(bool chinese = false)
    {
        dlg = std::make_unique<CSimpleMosaic>(CSimpleMosaic::Context{
            link, 1, chinese, [this](const QString& caption, const QString& text) {
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
    void type(int id, const QString& t) { w<QLineEdit>(id)->setText(t); }
    void typeWallSize(const char* rows, const char* columns)
    {
        type(IDC_ROWS, u(rows));
        type(IDC_COLUMNS, u(columns));
        click(IDC_SPEC_OK);
    }
    int cellWidgets() const
    {
        int n = 0;
        for (int base = IDC_WINDOW_BUTTON_BASE; base <= IDC_WIDTH_LABEL_BASE; base += kCellIdRange)
            for (int i = 0; i < kCellIdRange; ++i)
                n += dlg->control(base + i) ? 1 : 0;
        return n;
    }
    QColor buttonColour(int window) const { return w<CColorButton>(IDC_WINDOW_BUTTON_BASE + window)->backgroundColour(); }
    QColor fieldColour(int id) const { return w<QLineEdit>(id)->palette().color(QPalette::Base); }
};

QString accessibleName(QWidget* w)
{
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

void accessibleAction(QWidget* w, const QString& action)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    QVERIFY(a && a->actionInterface());
    QVERIFY2(a->actionInterface()->actionNames().contains(action), qPrintable(w->objectName()));
    a->actionInterface()->doAction(action);
}

const QColor kGreen(0, 255, 0), kGrey(169, 169, 169), kMarked(0, 255, 255), kUnmarked(205, 205, 180);

} // namespace

class MosaicDialogTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsNamedForTestsAndAccessibility();
    void opensAsOneScreenWithItsCaptionsInEitherLanguage();
    void presetsAndTypedSpecificationsSizeTheWindowAndGrid();
    void specificationsOutsideOneByOneToSixByEightAreRefused();
    void lowerPartKeepsToTheBottomEdge();
    void windowButtonsSelectTheScreenAndRebuildsSelectWindowZero();
    void autoCalculateReadsTheCellsAndNamesWhatIsMissing();
    void spinArrowsStepTheAdjustedFieldsAndMarkThem();
    void setWithoutAConnectCheckSendsNothing();
    void addressRadiosAskAndTheListDoesNot();
};

void MosaicDialogTest::everyControlIsNamedForTestsAndAccessibility()
{
    Dialog d;
    d.click(IDC_PRESET_2X3);
    QSet<QString> names;
    for (const auto& c : kControls) {
        QWidget* w = d->control(c.id);
        QVERIFY2(w, c.name.data());
        QCOMPARE(w->objectName(), QString::fromLatin1(c.name.data(), qsizetype(c.name.size())));
        QVERIFY2(!accessibleName(w).isEmpty(), c.name.data());
        QVERIFY2(!names.contains(w->objectName()), c.name.data());
        names.insert(w->objectName());
    }
    for (int n = 0; n < 6; ++n)
        for (int base = IDC_WINDOW_BUTTON_BASE; base <= IDC_WIDTH_LABEL_BASE; base += kCellIdRange) {
            QWidget* w = d->control(base + n);
            QVERIFY(w);
            QCOMPARE(w->objectName(), QString::fromStdString(controlName(base + n)));
            QVERIFY2(!accessibleName(w).isEmpty(), qPrintable(w->objectName()));
            names.insert(w->objectName());
        }
    QCOMPARE(d.w(2004)->objectName(), u("IDC_WINDOW_BUTTON_004"));

    // Nothing a person can see or operate is left unnamed (the combo boxes'
    // and edits' own inner widgets aside).
    for (QWidget* w : d->findChildren<QWidget*>()) {
        bool inner = false;
        for (QWidget* a = w->parentWidget(); a && a != d.dlg.get(); a = a->parentWidget())
            inner = inner || qobject_cast<QComboBox*>(a) || qobject_cast<QLineEdit*>(a);
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
                             qobject_cast<QGroupBox*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w);
        if (control && !inner && w->window() == d.dlg.get())
            QVERIFY2(names.contains(w->objectName()),
                     qPrintable(QString::fromLatin1(w->metaObject()->className()) + u(" ") + w->objectName()));
    }

    // Group boxes by their title, edits by the label beside them.
    QCOMPARE(accessibleName(d.w(IDC_SPEC_GROUP)), QString::fromStdString(std::string(mosaic::captionFor(IDC_SPEC_GROUP, false))));
    QCOMPARE(accessibleName(d.w(IDC_ROWS)), u("Row"));
    QCOMPARE(accessibleName(d.w(IDC_COLUMNS)), u("Column"));
    QCOMPARE(d.w<QLabel>(IDC_ROWS_LABEL)->buddy(), d.w(IDC_ROWS));
    QCOMPARE(accessibleName(d.w(IDC_IN_WIDTH_CALC)), u("InputWidth Calculated"));
    QCOMPARE(accessibleName(d.w(IDC_OUT_HSTART_ADJ)), u("HorizontalStart Adjusted"));
    QCOMPARE(accessibleName(d.w(IDC_WIDTH_EDIT_BASE + 4)), u("Width 004"));
    QCOMPARE(accessibleName(d.w(IDC_HEIGHT_EDIT_BASE + 4)), u("Height 004"));
    QCOMPARE(d.w<QLabel>(IDC_WIDTH_LABEL_BASE + 4)->buddy(), d.w(IDC_WIDTH_EDIT_BASE + 4));
    // A list reads out its current entry; its name is a property of its own.
    QCOMPARE(d.w(IDC_ADDRESS_LIST)->accessibleName(), u("Device address"));
    QCOMPARE(d.w(IDC_RESOLUTION_LIST)->accessibleName(), u("Resolution"));
    // The value fields read out their numbers.
    QCOMPARE(QAccessible::queryAccessibleInterface(d.w(IDC_IN_WIDTH_CALC))->text(QAccessible::Value), u("0"));

    Dialog zh(true);
    QCOMPARE(accessibleName(zh.w(IDC_IN_WIDTH_CALC)), u("输入宽度 计算值"));
    QCOMPARE(accessibleName(zh.w(IDC_WIDTH_EDIT_BASE)), u("宽 000"));
    QCOMPARE(accessibleName(zh.w(IDC_CONNECT)), u("连接"));
}

void MosaicDialogTest::opensAsOneScreenWithItsCaptionsInEitherLanguage()
{
    Dialog d;
    QCOMPARE(d->windowTitle(), u("Fast Mosaic"));
    QCOMPARE(d->size(), QSize(660, 620));
    QCOMPARE(d.w(IDC_EFFECTS_FRAME)->size(), QSize(640, 184));
    QCOMPARE(d->minimumSize(), QSize(280, 250));
    QCOMPARE(d.w<QGroupBox>(IDC_EFFECTS_FRAME)->title(),
             u("Effects show（Please enter each screen width and height values：Width<=1024，Height<=768）"));
    QCOMPARE(d.w<QGroupBox>(IDC_INPUT_GROUP)->title(), u("Input（WindowID：000）"));
    QCOMPARE(d.w<QAbstractButton>(IDC_PRESET_4X3)->text(), u("4X3"));
    QVERIFY(d.w<QAbstractButton>(IDC_PRESET_1X1)->isChecked());
    QVERIFY(d.w<QAbstractButton>(IDC_ADDRESS_1)->isChecked());
    QCOMPARE(d.w<QAbstractButton>(IDC_ADDRESS_9)->text(), u("9"));
    auto* list = d.w<QComboBox>(IDC_ADDRESS_LIST);
    QCOMPARE(list->count(), 255);
    QCOMPARE(list->currentText(), u("1"));
    QCOMPARE(list->itemText(254), u("255"));
    QVERIFY(!d.w(IDC_RESOLUTION_LIST)->isEnabled());
    QCOMPARE(d.w<QComboBox>(IDC_RESOLUTION_LIST)->count(), 17);
    QVERIFY(d.text(IDC_ROWS).isEmpty());
    QVERIFY(d.w<QPushButton>(IDC_EXIT)->isDefault());

    // One cell, window 000 selected, at its place in the frame.
    QCOMPARE(d.cellWidgets(), 6);
    QCOMPARE(d.w<QAbstractButton>(IDC_WINDOW_BUTTON_BASE)->text(), u("000"));
    QCOMPARE(d.buttonColour(0), kGreen);
    QCOMPARE(d.w(IDC_WINDOW_BUTTON_BASE)->geometry(), QRect(10 + 10 + 47, 90 + 10 + 31, 67, 45));
    QCOMPARE(d.text(IDC_WIDTH_EDIT_BASE), u("1024"));
    QCOMPARE(d.text(IDC_HEIGHT_EDIT_BASE), u("768"));
    QCOMPARE(d.w<QLabel>(IDC_HEIGHT_LABEL_BASE)->text(), u("Height"));

    // Nothing to upload yet; every value 0 and unmarked.
    QVERIFY(!d->isUploadEnabled());
    for (int id = IDC_IN_HEIGHT_CALC; id <= IDC_OUT_VSTART_ADJ; ++id) {
        QCOMPARE(d.text(id), u("0"));
        QCOMPARE(d.fieldColour(id), kUnmarked);
    }

    Dialog zh(true);
    QCOMPARE(zh->windowTitle(), u("快速拼接"));
    QCOMPARE(zh.w<QGroupBox>(IDC_EFFECTS_FRAME)->title(),
             u("效果展示（请输入每块显示屏的宽度和高度数值：宽度<=1024，高度<=768）"));
    QCOMPARE(zh.w<QLabel>(IDC_INPUT_CALCULATED_LABEL)->text(), u("   计算值"));
    QCOMPARE(zh.w<QLabel>(IDC_HEIGHT_LABEL_BASE)->text(), u("高"));
    QCOMPARE(zh.w<QLabel>(IDC_WIDTH_LABEL_BASE)->text(), u("宽"));
}

void MosaicDialogTest::presetsAndTypedSpecificationsSizeTheWindowAndGrid()
{
    Dialog d;
    d.click(IDC_PRESET_2X2);
    QCOMPARE(d.cellWidgets(), 4 * 6);
    QCOMPARE(d->size(), QSize(660, 620));
    QCOMPARE(d.text(IDC_ROWS), u("2"));
    QCOMPARE(d.text(IDC_COLUMNS), u("2"));

    d.typeWallSize("6", "8");
    QVERIFY(d.boxes.isEmpty());
    QCOMPARE(d.cellWidgets(), 48 * 6);
    QCOMPARE(d->size(), QSize(1188, 984));
    QCOMPARE(d.w(IDC_EFFECTS_FRAME)->geometry(), QRect(10, 90, 1168, 548));
    // Window 047: row 5, column 7, its button at its offset in the cell.
    QCOMPARE(d.w(IDC_WINDOW_BUTTON_BASE + 47)->geometry().topLeft(), QPoint(10 + 10 + 132 * 7 + 47, 90 + 10 + 81 * 5 + 31));
    QCOMPARE(d.w<QAbstractButton>(IDC_WINDOW_BUTTON_BASE + 47)->text(), u("047"));
    QVERIFY(d.w(IDC_WINDOW_BUTTON_BASE + 47)->isVisibleTo(d.dlg.get()));
    // The keyboard reaches the cells right after the wall size.
    QCOMPARE(d.w(IDC_SPEC_OK)->nextInFocusChain(), d.w(IDC_WIDTH_EDIT_BASE));

    // A preset of three rows or more takes over the size from there.
    d.click(IDC_PRESET_4X3);
    QCOMPARE(d->size(), QSize(660, 984 - 2 * 91));
    QCOMPARE(d.cellWidgets(), 12 * 6);

    d.click(IDC_PRESET_1X1);
    QCOMPARE(d->size(), QSize(660, 620));
    QCOMPARE(d.w(IDC_EFFECTS_FRAME)->geometry(), QRect(10, 90, 640, 184));
    QCOMPARE(d.cellWidgets(), 6);
    QVERIFY(!d->control(IDC_WINDOW_BUTTON_BASE + 1));

    // A rebuild starts the cells afresh at the resolution.
    d.type(IDC_WIDTH_EDIT_BASE, u("640"));
    d.click(IDC_PRESET_1X2);
    QCOMPARE(d.text(IDC_WIDTH_EDIT_BASE), u("1024"));

    // A screen reader's toggle of a preset acts as a click does.
    accessibleAction(d.w(IDC_PRESET_2X3), QAccessibleActionInterface::toggleAction());
    QCOMPARE(d.cellWidgets(), 6 * 6);
    QCOMPARE(d.text(IDC_COLUMNS), u("3"));
}

void MosaicDialogTest::specificationsOutsideOneByOneToSixByEightAreRefused()
{
    Dialog d;
    d.click(IDC_PRESET_2X2);
    d.typeWallSize("7", "8");
    QCOMPARE(d.boxes, QStringList{u("System information|Sorry, Does not support the splicing Specifications (6 X 8)")});
    d.boxes.clear();
    d.typeWallSize("", "3");
    QCOMPARE(d.boxes,
             QStringList{u("System information|Sorry, does not support the splice specifications of less than (1 X 1)")});
    QCOMPARE(d->state().rows, 2);
    QCOMPARE(d->state().columns, 2);
    QCOMPARE(d.cellWidgets(), 4 * 6);

    // The rows and columns fields take digits only.
    d.w<QLineEdit>(IDC_ROWS)->clear();
    QTest::keyClicks(d.w(IDC_ROWS), u("-3x4"));
    QCOMPARE(d.text(IDC_ROWS), u("34"));

    Dialog zh(true);
    zh.typeWallSize("0", "1");
    QCOMPARE(zh.boxes, QStringList{u("系统消磁|对不起，不支持小于(1 X 1)的拼接规格")});
}

void MosaicDialogTest::lowerPartKeepsToTheBottomEdge()
{
    Dialog d;
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.dlg.get()));
    const QRect exit = d.w(IDC_EXIT)->geometry();
    const QRect set = d.w(IDC_SET_INPUT)->geometry();
    const QRect frame = d.w(IDC_EFFECTS_FRAME)->geometry();
    const QRect spec = d.w(IDC_SPEC_GROUP)->geometry();
    const QRect cell = d.w(IDC_WINDOW_BUTTON_BASE)->geometry();

    d->resize(900, 700); // the operator drags the corner
    QCOMPARE(d.w(IDC_EXIT)->geometry(), exit.translated(0, 80));
    QCOMPARE(d.w(IDC_SET_INPUT)->geometry(), set.translated(0, 80));
    QCOMPARE(d.w(IDC_EFFECTS_FRAME)->geometry(), frame);
    QCOMPARE(d.w(IDC_SPEC_GROUP)->geometry(), spec);
    QCOMPARE(d.w(IDC_WINDOW_BUTTON_BASE)->geometry(), cell);

    // A typed wall grows the window from the size the operator gave it.
    d.typeWallSize("3", "5");
    QCOMPARE(d->size(), QSize(900 + 132, 700 + 91));
    QCOMPARE(d.w(IDC_EXIT)->geometry(), exit.translated(0, 80 + 91));

    d->resize(100, 100);
    QCOMPARE(d->size(), QSize(280, 250));
}

void MosaicDialogTest::windowButtonsSelectTheScreenAndRebuildsSelectWindowZero()
{
    Dialog d;
    d.click(IDC_PRESET_2X3);
    d.click(IDC_AUTO_CALCULATE);
    QVERIFY(d->isUploadEnabled());

    d.click(IDC_WINDOW_BUTTON_BASE + 4);
    QCOMPARE(d->state().selectedWindow, 4);
    for (int n = 0; n < 6; ++n)
        QCOMPARE(d.buttonColour(n), n == 4 ? kGreen : kGrey);
    QCOMPARE(d.w<QGroupBox>(IDC_INPUT_GROUP)->title(), u("Input（WindowID：004）"));
    QCOMPARE(d.w<QGroupBox>(IDC_OUTPUT_GROUP)->title(), u("Output（WindowID：004）"));
    QCOMPARE(d.w(IDC_WINDOW_BUTTON_BASE + 4)->accessibleDescription(), u("selected"));
    QVERIFY(d.w(IDC_WINDOW_BUTTON_BASE)->accessibleDescription().isEmpty());
    // Until the next calculation there is nothing to upload.
    for (int id : kUploadControls)
        QVERIFY(!d.w(id)->isEnabled());

    // Window 004 of a 2 × 3 wall is the second screen of the second row.
    d.click(IDC_AUTO_CALCULATE);
    QCOMPARE(d.text(IDC_IN_WIDTH_CALC), u("341"));  // 1024 of 3072 on 1024
    QCOMPARE(d.text(IDC_IN_HSTART_CALC), u("341"));
    QCOMPARE(d.text(IDC_IN_VSTART_CALC), u("384")); // 768 of 1536 on 768
    QCOMPARE(d.text(IDC_OUT_WIDTH_CALC), u("1024"));

    // A rebuild selects window 000 everywhere: button, captions, calculation.
    d.click(IDC_PRESET_1X2);
    QCOMPARE(d->state().selectedWindow, 0);
    QCOMPARE(d.buttonColour(0), kGreen);
    QCOMPARE(d.w<QGroupBox>(IDC_INPUT_GROUP)->title(), u("Input（WindowID：000）"));
    d.click(IDC_AUTO_CALCULATE);
    QCOMPARE(d.text(IDC_IN_HSTART_CALC), u("0"));
}

void MosaicDialogTest::autoCalculateReadsTheCellsAndNamesWhatIsMissing()
{
    Dialog d;
    d.click(IDC_PRESET_2X2);
    d.click(IDC_WINDOW_BUTTON_BASE + 3);
    d.type(IDC_WIDTH_EDIT_BASE + 2, QString());  // the selected row's first screen
    d.type(IDC_HEIGHT_EDIT_BASE + 2, u("50"));   // the second row's height: too small
    d.type(IDC_HEIGHT_EDIT_BASE + 3, QString()); // not in the first column: ignored
    d.click(IDC_AUTO_CALCULATE);
    QCOMPARE(d.boxes, (QStringList{u("System Information|Sorry, please complete horizontal data, or can not be calculated"),
                                   u("System Information|Sorry, data out of range")}));
    // The first bad field of each pass gets the resolution; nothing is calculated.
    QCOMPARE(d.text(IDC_WIDTH_EDIT_BASE + 2), u("1024"));
    QCOMPARE(d.text(IDC_HEIGHT_EDIT_BASE + 2), u("768"));
    QVERIFY(d.text(IDC_HEIGHT_EDIT_BASE + 3).isEmpty());
    QCOMPARE(d.text(IDC_IN_WIDTH_CALC), u("0"));
    QVERIFY(d->isUploadEnabled());
    // The Adjusted fields were written, so they show as changed.
    QCOMPARE(d.fieldColour(IDC_IN_WIDTH_ADJ), kMarked);
    QCOMPARE(d.fieldColour(IDC_IN_WIDTH_CALC), kUnmarked);

    d.boxes.clear();
    d.type(IDC_WIDTH_EDIT_BASE + 2, u("512"));
    d.click(IDC_AUTO_CALCULATE);
    QVERIFY(d.boxes.isEmpty());
    QCOMPARE(d.text(IDC_IN_WIDTH_CALC), u("682")); // 1024 of 1536 on 1024
    QCOMPARE(d.text(IDC_IN_HSTART_CALC), u("341"));
    QCOMPARE(d.fieldColour(IDC_IN_WIDTH_CALC), kMarked);

    Dialog zh(true);
    zh.type(IDC_HEIGHT_EDIT_BASE, QString());
    zh.click(IDC_AUTO_CALCULATE);
    QCOMPARE(zh.boxes, QStringList{u("系统消息|对不起，请将纵向数据填写完整,否则无法进行拼接计算")});
}

void MosaicDialogTest::spinArrowsStepTheAdjustedFieldsAndMarkThem()
{
    Dialog d;
    QWidget* spin = d.w(IDC_IN_WIDTH_SPIN);
    QCOMPARE(d.fieldColour(IDC_IN_WIDTH_ADJ), kUnmarked);

    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 3)); // the up arrow
    QCOMPARE(d.text(IDC_IN_WIDTH_ADJ), u("1"));
    QCOMPARE(d.fieldColour(IDC_IN_WIDTH_ADJ), kMarked);
    QCOMPARE(d.w(IDC_IN_WIDTH_ADJ)->accessibleDescription(), u("changed"));
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 3));
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, spin->height() - 3));
    QCOMPARE(d.text(IDC_IN_WIDTH_ADJ), u("-1"));

    // A screen reader increases (up) and decreases (down) the same way.
    accessibleAction(d.w(IDC_OUT_VSTART_SPIN), QAccessibleActionInterface::increaseAction());
    accessibleAction(d.w(IDC_OUT_VSTART_SPIN), QAccessibleActionInterface::increaseAction());
    QCOMPARE(d.text(IDC_OUT_VSTART_ADJ), u("2"));
    accessibleAction(d.w(IDC_OUT_VSTART_SPIN), QAccessibleActionInterface::decreaseAction());
    QCOMPARE(d.text(IDC_OUT_VSTART_ADJ), u("1"));
    QCOMPARE(d.text(IDC_OUT_HSTART_ADJ), u("0"));
    QCOMPARE(d.fieldColour(IDC_OUT_HSTART_ADJ), kUnmarked);

    // The fields themselves cannot be typed into.
    QTest::keyClicks(d.w(IDC_IN_HEIGHT_ADJ), u("5"));
    QCOMPARE(d.text(IDC_IN_HEIGHT_ADJ), u("0"));
}

void MosaicDialogTest::setWithoutAConnectCheckSendsNothing()
{
    Dialog d;
    d.click(IDC_PRESET_2X2);
    d.click(IDC_AUTO_CALCULATE);
    // An odd width: the message, and the width's Adjusted field marked.
    accessibleAction(d.w(IDC_IN_WIDTH_SPIN), QAccessibleActionInterface::increaseAction());
    d.click(IDC_SET_INPUT);
    QCOMPARE(d.boxes, QStringList{u("System information|The input value must be even, and can not be odd")});
    QVERIFY(d->isUploadEnabled());

    // Too wide: the width's Adjusted field goes back to 0.
    d.boxes.clear();
    for (int i = 0; i < 3; ++i)
        accessibleAction(d.w(IDC_OUT_WIDTH_SPIN), QAccessibleActionInterface::increaseAction());
    d.click(IDC_SET_OUTPUT);
    QCOMPARE(d.boxes, QStringList{u("System information|Data out of range")});
    QCOMPARE(d.text(IDC_OUT_WIDTH_ADJ), u("0"));

    // Every check passes, but no connect check ran: nothing goes out, the
    // marks stay, and the dialog is not left busy.
    d.boxes.clear();
    d.click(IDC_SET_OUTPUT);
    QVERIFY(d.boxes.isEmpty());
    QVERIFY(!d->isBusy());
    QVERIFY(d->isUploadEnabled());
    QCOMPARE(d.fieldColour(IDC_OUT_WIDTH_CALC), kMarked);
}

void MosaicDialogTest::addressRadiosAskAndTheListDoesNot()
{
    Dialog d;
    auto* five = d.w<QAbstractButton>(IDC_ADDRESS_5);
    d.answer = false;
    five->click();
    QCOMPARE(d.boxes, QStringList{u("System infomation|Please connect the serial port")});
    // No: frames still go to address 1, and the radios say so.
    QCOMPARE(d->state().deviceAddress, 1);
    QVERIFY(!five->isChecked());
    QVERIFY(d.w<QAbstractButton>(IDC_ADDRESS_1)->isChecked());

    d.answer = true;
    accessibleAction(five, QAccessibleActionInterface::toggleAction());
    QCOMPARE(d.boxes.size(), 2);
    QCOMPARE(d->state().deviceAddress, 5);
    QVERIFY(five->isChecked());
    QCOMPARE(d.w<QComboBox>(IDC_ADDRESS_LIST)->currentText(), u("5"));

    // The list asks nothing; an address above 9 leaves every radio off.
    auto* list = d.w<QComboBox>(IDC_ADDRESS_LIST);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(d->state().deviceAddress, 255);
    for (int id : {IDC_ADDRESS_1, IDC_ADDRESS_5, IDC_ADDRESS_9})
        QVERIFY(!d.w<QAbstractButton>(id)->isChecked());
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(d->state().deviceAddress, 2);
    QVERIFY(d.w<QAbstractButton>(IDC_ADDRESS_2)->isChecked());
    QCOMPARE(d.boxes.size(), 2);

    // A No after the list chose 12: no radio is left looking chosen.
    list->setCurrentIndex(11);
    emit list->activated(11);
    d.answer = false;
    d.click(IDC_ADDRESS_3);
    QCOMPARE(d->state().deviceAddress, 12);
    QVERIFY(!d.w<QAbstractButton>(IDC_ADDRESS_3)->isChecked());

    Dialog zh(true);
    zh.click(IDC_ADDRESS_2);
    QCOMPARE(zh.boxes, QStringList{u("系统提示 |请连接好串口")});
}

QTEST_MAIN(MosaicDialogTest)
#include "mosaic_dialog_test.moc"
