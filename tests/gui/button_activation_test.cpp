// The operator's clicks and toggles run a button's action once each; what the
// program checks or unchecks runs nothing.
#include "gui/widgets/ButtonActivation.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QButtonGroup>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

using omnar::gui::widgets::ButtonActivation;

namespace {

void accessibleAction(QAbstractButton* b, const QString& action)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b);
    QVERIFY(a && a->actionInterface());
    a->actionInterface()->doAction(action);
    // A press is an animated click.
    QTRY_VERIFY(!b->isDown());
}

// Two radios in an exclusive group and a check box, each counting its actions.
struct Window {
    QWidget window;
    ButtonActivation activation{&window};
    QButtonGroup group{&window};
    QRadioButton* first = new QRadioButton(QStringLiteral("First"), &window);
    QRadioButton* second = new QRadioButton(QStringLiteral("Second"), &window);
    QCheckBox* box = new QCheckBox(QStringLiteral("Box"), &window);
    int firstRuns = 0, secondRuns = 0, boxRuns = 0;

    Window()
    {
        group.addButton(first);
        group.addButton(second);
        second->move(0, 30);
        box->move(0, 60);
        activation.onActivated(first, [this] { ++firstRuns; });
        activation.onActivated(second, [this] { ++secondRuns; });
        activation.onActivated(box, [this] { ++boxRuns; });
        window.show();
    }
};

} // namespace

class ButtonActivationTest : public QObject {
    Q_OBJECT
private slots:
    void everyOperatorActivationRunsTheActionOnce();
    void theProgramsChangesRunNothing();
};

void ButtonActivationTest::everyOperatorActivationRunsTheActionOnce()
{
    Window w;
    QTest::mouseClick(w.first, Qt::LeftButton);
    QVERIFY(w.first->isChecked());
    QCOMPARE(w.firstRuns, 1);
    // A click on the radio already checked is the operator's too.
    QTest::mouseClick(w.first, Qt::LeftButton);
    QCOMPARE(w.firstRuns, 2);
    // The toggle checks the partner; the radio it unchecks runs nothing.
    accessibleAction(w.second, QAccessibleActionInterface::toggleAction());
    QVERIFY(w.second->isChecked() && !w.first->isChecked());
    QCOMPARE(w.secondRuns, 1);
    QCOMPARE(w.firstRuns, 2);
    accessibleAction(w.first, QAccessibleActionInterface::pressAction());
    QCOMPARE(w.firstRuns, 3);
    QCOMPARE(w.secondRuns, 1);

    // A check box both ways, by keyboard and by the toggle action.
    w.box->setFocus();
    QTest::keyClick(w.box, Qt::Key_Space);
    QVERIFY(w.box->isChecked());
    accessibleAction(w.box, QAccessibleActionInterface::toggleAction());
    QVERIFY(!w.box->isChecked());
    QCOMPARE(w.boxRuns, 2);
}

void ButtonActivationTest::theProgramsChangesRunNothing()
{
    Window w;
    w.activation.setChecked(w.first, true);
    w.activation.setChecked(w.box, true);
    QVERIFY(w.first->isChecked() && w.box->isChecked());
    // The device may report a state that checks neither radio.
    w.activation.setChecked(w.first, false);
    QVERIFY(!w.first->isChecked() && !w.second->isChecked());
    QVERIFY(w.group.exclusive());
    {
        const ButtonActivation::ProgramChange outer(w.activation);
        {
            const ButtonActivation::ProgramChange inner(w.activation);
            w.second->setChecked(true);
        }
        // The inner change's end is not the outer one's.
        QVERIFY(w.activation.programChanging());
        w.box->setChecked(false);
        w.first->setChecked(true);
    }
    QVERIFY(!w.activation.programChanging());
    QVERIFY(w.first->isChecked() && !w.second->isChecked());
    QCOMPARE(w.firstRuns + w.secondRuns + w.boxRuns, 0);

    // The group is exclusive again for the operator.
    QTest::mouseClick(w.second, Qt::LeftButton);
    QVERIFY(!w.first->isChecked());
    QCOMPARE(w.secondRuns, 1);
    QCOMPARE(w.firstRuns, 0);
}

QTEST_MAIN(ButtonActivationTest)
#include "button_activation_test.moc"
