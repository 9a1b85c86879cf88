// A window's controls by id: names, texts and the accessible names that go
// with them, and checks the program makes.
#include "gui/widgets/ControlSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <string_view>

using omnar::gui::widgets::ControlSet;

namespace {

enum : int { kButton = 1, kLabel, kGroup, kEdit, kList, kBox, kPlain };

std::string_view nameOf(int id)
{
    switch (id) {
    case kButton: return "IDC_BUTTON";
    case kLabel: return "IDC_LABEL";
    case kGroup: return "IDC_GROUP";
    case kEdit: return "IDC_EDIT";
    case kList: return "IDC_LIST";
    case kBox: return "IDC_BOX";
    default: return {};
    }
}

} // namespace

class ControlSetTest : public QObject {
    Q_OBJECT
private slots:
    void textsAndNamesByKindOfControl();
    void theProgramsChecksRunNoAction();
};

void ControlSetTest::textsAndNamesByKindOfControl()
{
    QWidget window;
    ControlSet controls(&nameOf, &window);
    controls.add(kButton, new QPushButton(&window));
    controls.add(kLabel, new QLabel(&window));
    controls.add(kGroup, new QGroupBox(&window));
    auto* edit = controls.add(kEdit, new QLineEdit(&window));
    edit->setAccessibleName(QStringLiteral("Width"));
    auto* list = controls.add(kList, new QComboBox(&window));
    list->setEditable(true);
    list->setAccessibleName(QStringLiteral("Port"));
    auto* plain = controls.add(kPlain, new QWidget(&window));
    QCOMPARE(controls.widget(kLabel)->objectName(), QStringLiteral("IDC_LABEL"));
    QVERIFY(!controls.widget(99));

    // A caption names its control; the blanks that place it are not read out.
    for (int id : {kButton, kLabel, kGroup}) {
        controls.setText(id, QStringLiteral("   Calculated"));
        QCOMPARE(controls.text(id), QStringLiteral("   Calculated"));
        QCOMPARE(controls.widget(id)->accessibleName(), QStringLiteral("Calculated"));
    }
    // An edit and a list keep the name of the label beside them.
    controls.setText(kEdit, QStringLiteral("1920"));
    controls.setText(kList, QStringLiteral("COM3"));
    QCOMPARE(controls.text(kEdit), QStringLiteral("1920"));
    QCOMPARE(controls.text(kList), QStringLiteral("COM3"));
    QCOMPARE(edit->accessibleName(), QStringLiteral("Width"));
    QCOMPARE(list->accessibleName(), QStringLiteral("Port"));
    // Nothing to write on a plain widget, and an id the window lacks is no fault.
    controls.setText(kPlain, QStringLiteral("x"));
    QVERIFY(plain->accessibleName().isEmpty());
    QCOMPARE(controls.text(kPlain), QString());
    controls.setText(99, QStringLiteral("x"));
    QCOMPARE(controls.text(99), QString());
    QCOMPARE(controls.selection(kButton), -1);
}

void ControlSetTest::theProgramsChecksRunNoAction()
{
    QWidget window;
    ControlSet controls(&nameOf, &window);
    auto* box = controls.add(kBox, new QCheckBox(QStringLiteral("Box"), &window));
    int runs = 0;
    controls.onActivated(box, [&] { ++runs; });
    controls.setChecked(kBox, true);
    QVERIFY(controls.isChecked(kBox));
    controls.setChecked(kBox, false);
    QCOMPARE(runs, 0);
    window.show();
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(controls.isChecked(kBox));
    QCOMPARE(runs, 1);
}

QTEST_MAIN(ControlSetTest)
#include "control_set_test.moc"
