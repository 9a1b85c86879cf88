// The plan editor and the plan dialog, driven directly over a temporary
// profile file: what the lists show, what the file holds after Add, Modify,
// Delete and Cancel, and the dialog's pickers per plan kind.

// Qt first: moc cannot read <compare> ahead of Qt's own headers.
#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include "core/plans/CInfoPlan.h"
#include "core/settings/ProfileFile.h"
#include "core/util/Clock.h"
#include "gui/plans/CAddPlan.h"
#include "gui/plans/CProgram.h"
#include "gui/plans/PlanDialogIds.h"
#include "gui/plans/PlanPage.h"

#include <functional>
#include <memory>

using namespace omnar;
using namespace omnar::gui::plans;
using namespace omnar::gui::plans::ids;
using omnar::plans::PlanKind;

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A profile file, a store over it and the editor; message boxes and the plan
// dialog are answered by the test instead of running modally.
struct Rig {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<settings::ProfileFile> file;
    std::unique_ptr<omnar::plans::CInfoPlan> store;
    util::VirtualClock clock;
    std::unique_ptr<CProgram> editor;
    QStringList boxes;
    bool answer = false;
    // Looks at the editor while a box is up.
    std::function<void()> duringBox;
    // Fills in the plan dialog; returns its result code. Cancels when unset.
    std::function<int(CAddPlan&)> fill;
    int dialogs = 0;

    explicit Rig(const QString& ini, bool chinese = false, bool v2IsYPbPr = false)
    {
        path = dir.filePath(QStringLiteral("Planinfo.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(ini.toUtf8());
        f.close();
        file = std::make_unique<settings::ProfileFile>(path.toStdString());
        store = std::make_unique<omnar::plans::CInfoPlan>(*file);
        CProgram::Options o;
        o.chinese = chinese;
        o.v2IsYPbPr = v2IsYPbPr;
        o.clock = &clock;
        o.messageHandler = [this](const QString& caption, const QString& text) {
            boxes << caption + "|" + text;
            if (duringBox)
                duringBox();
            return answer;
        };
        o.planDialogRunner = [this](CAddPlan& dialog) {
            ++dialogs;
            return fill ? fill(dialog) : int(QDialog::Rejected);
        };
        editor = std::make_unique<CProgram>(*store, o);
    }

    PlanPage* page(PlanKind kind) { return editor->page(kind); }
    QTreeWidget* list(PlanKind kind) { return page(kind)->list(); }
    void click(int id) { qobject_cast<QAbstractButton*>(editor->control(id))->click(); }
    void select(PlanKind kind, std::initializer_list<int> rows)
    {
        list(kind)->clearSelection();
        for (int row : rows)
            list(kind)->topLevelItem(row)->setSelected(true);
    }
    QStringList row(PlanKind kind, int i)
    {
        QStringList cells;
        auto* item = list(kind)->topLevelItem(i);
        for (int c = 0; c < item->columnCount(); ++c)
            cells << item->text(c);
        return cells;
    }
    QStringList keys(const char* section)
    {
        QStringList out;
        for (const auto& k : file->sectionKeys(section))
            out << QString::fromStdString(k);
        return out;
    }
    QString value(const char* section, const char* key)
    {
        return QString::fromStdString(file->getString(section, key, "<none>"));
    }
    // Every section, key and value as the file's readers see them.
    QStringList contents()
    {
        QStringList out;
        for (const auto& section : file->sectionNames())
            for (const auto& key : file->sectionKeys(section))
                out << QString::fromStdString(section + "/" + key + "=" + file->getString(section, key));
        return out;
    }
};

// Helpers that fill the plan dialog the way an operator does.
void setTime(CAddPlan& d, int h, int m, int s)
{
    qobject_cast<QTimeEdit*>(d.control(IDC_PLAN_TIME))->setTime(QTime(h, m, s));
}

void pickSource(CAddPlan& d, int radioId)
{
    qobject_cast<QAbstractButton*>(d.control(radioId))->click();
}

int pressOk(CAddPlan& d)
{
    qobject_cast<QAbstractButton*>(d.control(IDC_PLAN_OK))->click();
    return d.result();
}

const QString kThreeDaily = QStringLiteral("[PLANCOUNT]\ndaytimecount=3\n[DAYTIME]\n"
                                           "Time0= 9: 0: 0,1\nTime1= 7: 0: 0,0\nTime2= 8: 0: 0,4\n");

} // namespace

class PlanEditorTest : public QObject {
    Q_OBJECT
private slots:
    void opensInListOrderAndRewritesTheSection()
    {
        Rig rig(kThreeDaily);
        QCOMPARE(rig.editor->windowTitle(), QStringLiteral("Program"));
        QCOMPARE(rig.editor->tabs()->count(), 4);
        QCOMPARE(rig.editor->tabs()->tabText(3), QStringLiteral("One_time Plan"));
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 3);
        QCOMPARE(rig.row(PlanKind::Day, 0), (QStringList{"Time0", " 7: 0: 0", "V1"}));
        QCOMPARE(rig.row(PlanKind::Day, 1), (QStringList{"Time1", " 8: 0: 0", "HDMI"}));
        QCOMPARE(rig.row(PlanKind::Day, 2), (QStringList{"Time2", " 9: 0: 0", "V2"}));
        // Opening wrote the section back in list order.
        QCOMPARE(rig.value("DAYTIME", "Time0"), QStringLiteral("7: 0: 0,0"));
        QCOMPARE(rig.value("DAYTIME", "Time2"), QStringLiteral("9: 0: 0,1"));
        QVERIFY(rig.boxes.isEmpty());

        // Column widths are the list's shares: 1/4, 1/2, 1/4 on the day page.
        rig.editor->resize(800, 500);
        rig.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.editor.get()));
        auto* list = rig.list(PlanKind::Day);
        const int w = list->viewport()->width();
        QCOMPARE(list->header()->sectionSize(0), w / 4);
        QCOMPARE(list->header()->sectionSize(1), w / 2);
    }

    void addPutsTheNewPlanInOrderAndCountsIt()
    {
        Rig rig(kThreeDaily);
        rig.fill = [](CAddPlan& d) {
            // The dialog of a daily plan: time and source only, V1 preset.
            if (!d.control(IDC_PLAN_TIME)->isEnabled() || d.control(IDC_PLAN_DATE)->isEnabled()
                || d.control(IDC_PLAN_WEEKDAY)->isEnabled() || d.control(IDC_PLAN_MONTHDAY)->isEnabled()
                || !qobject_cast<QAbstractButton*>(d.control(IDC_SOURCE_V1))->isChecked())
                return int(QDialog::Rejected);
            setTime(d, 6, 30, 0);
            pickSource(d, IDC_SOURCE_DVI);
            return pressOk(d);
        };
        rig.click(IDC_DAY_ADD);
        QCOMPARE(rig.dialogs, 1);
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 4);
        QCOMPARE(rig.row(PlanKind::Day, 0), (QStringList{"Time0", " 6:30: 0", "DVI"}));
        QCOMPARE(rig.row(PlanKind::Day, 3), (QStringList{"Time3", " 9: 0: 0", "V2"}));
        QCOMPARE(rig.keys("DAYTIME"), (QStringList{"Time0", "Time1", "Time2", "Time3"}));
        QCOMPARE(rig.value("DAYTIME", "Time0"), QStringLiteral("6:30: 0,5"));
        QCOMPARE(rig.value("DAYTIME", "Time1"), QStringLiteral("7: 0: 0,0"));
        QCOMPARE(rig.value("PLANCOUNT", "daytimecount"), QStringLiteral("4"));
        QCOMPARE(rig.store->dayCount(), 4);
    }

    void cancelWritesNothing()
    {
        Rig rig(kThreeDaily);
        const QStringList before = rig.contents();
        rig.click(IDC_DAY_ADD); // the dialog is closed without OK
        rig.select(PlanKind::Day, {1});
        rig.click(IDC_DAY_MODIFY);
        QCOMPARE(rig.dialogs, 2);
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 3);
        QCOMPARE(rig.contents(), before);
        QVERIFY(rig.boxes.isEmpty());
    }

    void modifyEditsTheFirstSelectedRowOnly()
    {
        Rig rig(kThreeDaily);
        QTime preset;
        QString checked;
        rig.fill = [&](CAddPlan& d) {
            preset = qobject_cast<QTimeEdit*>(d.control(IDC_PLAN_TIME))->time();
            for (int id = IDC_SOURCE_V1; id <= IDC_SOURCE_EXT; ++id)
                if (qobject_cast<QAbstractButton*>(d.control(id))->isChecked())
                    checked = d.control(id)->objectName();
            setTime(d, 10, 15, 0);
            pickSource(d, IDC_SOURCE_EXT);
            return pressOk(d);
        };
        rig.select(PlanKind::Day, {2, 1});
        rig.click(IDC_DAY_MODIFY);
        QCOMPARE(preset, QTime(8, 0, 0));
        QCOMPARE(checked, QStringLiteral("IDC_SOURCE_HDMI"));
        QCOMPARE(rig.row(PlanKind::Day, 1), (QStringList{"Time1", " 9: 0: 0", "V2"}));
        QCOMPARE(rig.row(PlanKind::Day, 2), (QStringList{"Time2", "10:15: 0", "EXT."}));
        QCOMPARE(rig.value("DAYTIME", "Time2"), QStringLiteral("10:15: 0,7"));
        QCOMPARE(rig.keys("DAYTIME").size(), 3);
        QCOMPARE(rig.value("PLANCOUNT", "daytimecount"), QStringLiteral("3"));
    }

    void deleteAsksFirstAndRemovesTheSelectedRows()
    {
        Rig rig(kThreeDaily);
        rig.click(IDC_DAY_DELETE);
        rig.click(IDC_DAY_MODIFY);
        // Nothing selected: the day page's two captions differ.
        QCOMPARE(rig.boxes, (QStringList{"System Information|Please select an item.",
                                         "System information|Please select an item."}));
        rig.boxes.clear();

        rig.select(PlanKind::Day, {0, 2});
        rig.answer = false;
        rig.click(IDC_DAY_DELETE);
        QCOMPARE(rig.boxes, QStringList{QStringLiteral(
                                "System Information |Are you Sure  want to delete the current timing settings? ")});
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 3);
        QCOMPARE(rig.keys("DAYTIME").size(), 3);

        rig.select(PlanKind::Day, {0, 2});
        rig.answer = true;
        rig.click(IDC_DAY_DELETE);
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 1);
        QCOMPARE(rig.row(PlanKind::Day, 0), (QStringList{"Time0", " 8: 0: 0", "HDMI"}));
        QCOMPARE(rig.keys("DAYTIME"), QStringList{"Time0"});
        QCOMPARE(rig.value("DAYTIME", "Time0"), QStringLiteral("8: 0: 0,4"));
        QCOMPARE(rig.value("PLANCOUNT", "daytimecount"), QStringLiteral("1"));
    }

    void aPlanThatCannotBeSavedIsToldInTheLanguageOfTheMoment()
    {
        for (const bool chinese : {false, true}) {
            Rig rig(QStringLiteral("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0= 8: 0: 0,4\n"), chinese);
            QVERIFY(rig.boxes.isEmpty());
            QFile f(rig.path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray before = f.readAll();
            f.close();
            // The rewrite cannot be staged: a folder sits where its temp file goes.
            QVERIFY(QDir().mkdir(rig.path + ".tmp"));

            rig.fill = [](CAddPlan& d) {
                setTime(d, 7, 0, 0);
                return pressOk(d);
            };
            int rowsDuringBox = 0;
            rig.duringBox = [&] { rowsDuringBox = rig.list(PlanKind::Day)->topLevelItemCount(); };
            rig.click(IDC_DAY_ADD);
            QCOMPARE(rig.boxes.size(), 1);
            const QString expected = chinese ? QStringLiteral("系统信息|定时任务无法保存到 ") + rig.path + "（"
                                             : "System Information|The plans could not be saved to " + rig.path + " (";
            QVERIFY2(rig.boxes[0].startsWith(expected), qPrintable(rig.boxes[0]));
            // The operator's list stays, and is already shown behind the box.
            QCOMPARE(rowsDuringBox, 2);
            QCOMPARE(rig.row(PlanKind::Day, 0), (QStringList{"Time0", " 7: 0: 0", "V1"}));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
            f.close();

            rig.boxes.clear();
            rig.answer = true;
            rig.select(PlanKind::Day, {1});
            rig.click(IDC_DAY_DELETE);
            QCOMPARE(rig.boxes.size(), 2); // the question, then the failure
            QVERIFY2(rig.boxes[1].startsWith(expected), qPrintable(rig.boxes[1]));
            QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 1);
        }
    }

    void weeklyPlanShowsItsLabelAndKeepsTheDigit()
    {
        const QString ini = QStringLiteral("[PLANCOUNT]\nweektimecount=1\n[WEEKTIME]\nTime0=3,10: 0: 0,4\n");
        {
            Rig rig(ini);
            QCOMPARE(rig.row(PlanKind::Week, 0), (QStringList{"Time0", "3Wed", "10: 0: 0", "HDMI"}));
            QString shown;
            bool onlyWeekday = false;
            rig.fill = [&](CAddPlan& d) {
                shown = qobject_cast<QComboBox*>(d.control(IDC_PLAN_WEEKDAY))->currentText();
                onlyWeekday = d.control(IDC_PLAN_WEEKDAY)->isEnabled() && !d.control(IDC_PLAN_DATE)->isEnabled()
                    && !d.control(IDC_PLAN_MONTHDAY)->isEnabled();
                setTime(d, 10, 5, 0);
                return pressOk(d);
            };
            rig.select(PlanKind::Week, {0});
            rig.click(IDC_WEEK_MODIFY);
            QCOMPARE(shown, QStringLiteral("3Wed"));
            QVERIFY(onlyWeekday);
            QCOMPARE(rig.value("WEEKTIME", "Time0"), QStringLiteral("3,10: 5: 0,4"));
        }
        Rig zh(ini, true);
        QCOMPARE(zh.row(PlanKind::Week, 0), (QStringList{"Time0", "3星期三", "10: 0: 0", "HDMI"}));
        QCOMPARE(zh.value("WEEKTIME", "Time0"), QStringLiteral("3,10: 0: 0,4"));
        // Captions follow the language; the messages stay English.
        QCOMPARE(zh.editor->windowTitle(), QStringLiteral("任务"));
        QCOMPARE(zh.editor->tabs()->tabText(1), QStringLiteral("周定时"));
        QCOMPARE(zh.list(PlanKind::Week)->headerItem()->text(1), QStringLiteral("周日期"));
        QCOMPARE(qobject_cast<QAbstractButton*>(zh.editor->control(IDC_WEEK_ADD))->text(), QStringLiteral("添加"));
        QCOMPARE(qobject_cast<QAbstractButton*>(zh.editor->control(IDC_PROGRAM_EXIT))->text(),
                 QStringLiteral("退出"));
        zh.click(IDC_WEEK_DELETE);
        QCOMPARE(zh.boxes, QStringList{QStringLiteral("System information|Please select an item.")});
    }

    void monthlyAndOneTimePlansTakeTheirOwnPicker()
    {
        Rig rig(QString{});
        rig.fill = [](CAddPlan& d) {
            if (!d.control(IDC_PLAN_MONTHDAY)->isEnabled() || d.control(IDC_PLAN_WEEKDAY)->isEnabled())
                return int(QDialog::Rejected);
            qobject_cast<QComboBox*>(d.control(IDC_PLAN_MONTHDAY))->setCurrentText(QStringLiteral("05"));
            setTime(d, 18, 0, 15);
            return pressOk(d);
        };
        rig.click(IDC_MONTH_ADD);
        QCOMPARE(rig.value("MONTHTIME", "Time0"), QStringLiteral("05,18: 0:15,0"));
        QCOMPARE(rig.row(PlanKind::Month, 0), (QStringList{"Time0", "05", "18: 0:15", "V1"}));

        rig.fill = [](CAddPlan& d) {
            if (!d.control(IDC_PLAN_DATE)->isEnabled() || d.control(IDC_PLAN_MONTHDAY)->isEnabled())
                return int(QDialog::Rejected);
            qobject_cast<QDateEdit*>(d.control(IDC_PLAN_DATE))->setDate(QDate(2030, 4, 4));
            setTime(d, 9, 5, 0);
            pickSource(d, IDC_SOURCE_EXT);
            return pressOk(d);
        };
        rig.click(IDC_ONCE_ADD);
        QCOMPARE(rig.value("ONCETIME", "Time0"), QStringLiteral("2030-4-4, 9: 5: 0,7"));
        QCOMPARE(rig.value("PLANCOUNT", "oncetimecount"), QStringLiteral("1"));

        // Modify presets the date from the row.
        QDate preset;
        rig.fill = [&](CAddPlan& d) {
            preset = qobject_cast<QDateEdit*>(d.control(IDC_PLAN_DATE))->date();
            return int(QDialog::Rejected);
        };
        rig.select(PlanKind::Once, {0});
        rig.click(IDC_ONCE_MODIFY);
        QCOMPARE(preset, QDate(2030, 4, 4));
    }

    void v2RadioStandsForYPbPrWhileTheInputRunsSo()
    {
        Rig rig(QString{}, false, true);
        QString caption;
        rig.fill = [&](CAddPlan& d) {
            caption = qobject_cast<QAbstractButton*>(d.control(IDC_SOURCE_V2))->text();
            setTime(d, 12, 0, 0);
            pickSource(d, IDC_SOURCE_V2);
            return pressOk(d);
        };
        rig.click(IDC_DAY_ADD);
        QCOMPARE(caption, QStringLiteral("YPbPr"));
        QCOMPARE(rig.value("DAYTIME", "Time0"), QStringLiteral("12: 0: 0,8"));
        // Code 8 has no name in the list and keeps its code through a save.
        QCOMPARE(rig.row(PlanKind::Day, 0), (QStringList{"Time0", "12: 0: 0", ""}));
        bool v2Checked = false;
        rig.fill = [&](CAddPlan& d) {
            v2Checked = qobject_cast<QAbstractButton*>(d.control(IDC_SOURCE_V2))->isChecked();
            setTime(d, 12, 30, 0);
            return pressOk(d);
        };
        rig.select(PlanKind::Day, {0});
        rig.click(IDC_DAY_MODIFY);
        QVERIFY(v2Checked);
        QCOMPARE(rig.value("DAYTIME", "Time0"), QStringLiteral("12:30: 0,8"));
    }

    void moreThanTheRowLimitWarnsOnceAndListsAll()
    {
        QString ini = QStringLiteral("[PLANCOUNT]\ndaytimecount=241\n[DAYTIME]\n");
        for (int i = 0; i < 241; ++i)
            ini += QStringLiteral("Time%1=%2:%3:00,0\n").arg(i).arg(i / 60).arg(i % 60);
        Rig rig(ini);
        QCOMPARE(rig.boxes,
                 QStringList{QStringLiteral("System Information|The plan items of one day can not exceed 240.")});
        QCOMPARE(rig.list(PlanKind::Day)->topLevelItemCount(), 241);
        QCOMPARE(rig.value("PLANCOUNT", "daytimecount"), QStringLiteral("241"));
    }

    void everyControlIsNamedAndLabelled()
    {
        Rig rig(kThreeDaily);
        for (const auto& c : kProgramControls) {
            QWidget* w = rig.editor->control(c.id);
            QVERIFY2(w, c.name.data());
            QCOMPARE(w->objectName(), qs(c.name));
            QVERIFY2(!w->accessibleName().isEmpty(), c.name.data());
        }
        QCOMPARE(rig.page(PlanKind::Once)->objectName(), QStringLiteral("COncePlan"));
        QStringList problems;
        rig.fill = [&](CAddPlan& d) {
            for (const auto& c : kAddPlanControls) {
                QWidget* w = d.control(c.id);
                if (!w || w->objectName() != qs(c.name) || w->accessibleName().isEmpty())
                    problems << qs(c.name);
            }
            if (!d.control(IDC_SOURCE_VGA2)->isHidden() || !d.control(IDC_SOURCE_DP)->isHidden())
                problems << QStringLiteral("VGA2 and DP radios shown");
            if (d.windowTitle() != QStringLiteral("Plan")
                || qobject_cast<QLabel*>(d.control(IDC_PLAN_QUESTION))->text() != QStringLiteral("Add a plan?"))
                problems << QStringLiteral("captions");
            return int(QDialog::Rejected);
        };
        rig.click(IDC_DAY_ADD);
        QCOMPARE(problems, QStringList{});
    }
};

QTEST_MAIN(PlanEditorTest)
#include "plan_editor_test.moc"
