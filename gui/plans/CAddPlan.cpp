#include "gui/plans/CAddPlan.h"

#include "core/plans/PlanFormat.h"
#include "core/plans/PlanTexts.h"
#include "gui/plans/PlanDialogIds.h"
#include "gui/widgets/QtText.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace omnar::gui::plans {

using namespace omnar::gui::plans::ids;
using omnar::plans::AddPlanForm;
using omnar::plans::PlanText;

namespace {


QString pick(const PlanText& text, bool chinese)
{
    return qs(text.in(chinese));
}

// The source radios in code order; VGA2 and DP exist but stay hidden.
constexpr std::string_view kRadioCaptions[] = {"V1", "V2", "VGA", "VGA2", "HDMI", "DVI", "DP", "EXT."};

} // namespace

CAddPlan::CAddPlan(const AddPlanForm& form, bool chinese, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_form(form)
{
    setObjectName(QStringLiteral("CAddPlan"));
    setModal(true);
    buildUi(chinese);
    showValues();
}

QWidget* CAddPlan::control(int id) const
{
    return m_controls.value(id, nullptr);
}

template <typename W>
W* CAddPlan::add(int id, W* widget)
{
    widget->setObjectName(qs(controlName(kAddPlanControls, id)));
    m_controls.insert(id, widget);
    return widget;
}

void CAddPlan::buildUi(bool chinese)
{
    setWindowTitle(pick(omnar::plans::kAddPlanDialogCaption, chinese));
    setAccessibleName(windowTitle());

    auto* question = add(IDC_PLAN_QUESTION, new QLabel(pick(omnar::plans::kAddPlanQuestion, chinese)));
    question->setAccessibleName(question->text());

    m_date = add(IDC_PLAN_DATE, new QDateEdit);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    // The years a plan's date may carry.
    m_date->setDateRange(QDate(1900, 1, 1), QDate(9999, 12, 31));
    m_date->setAccessibleName(chinese ? QStringLiteral("日期") : QStringLiteral("Date"));
    m_date->setEnabled(m_form.dateEnabled());

    m_time = add(IDC_PLAN_TIME, new QTimeEdit);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_time->setAccessibleName(chinese ? QStringLiteral("时间") : QStringLiteral("Time"));

    auto* weekdayLabel = add(IDC_PLAN_WEEKDAY_LABEL, new QLabel(pick(omnar::plans::kDayOfWeekLabel, chinese)));
    weekdayLabel->setAccessibleName(weekdayLabel->text());
    m_weekday = add(IDC_PLAN_WEEKDAY, new QComboBox);
    for (const auto& label : m_form.weekdayLabels())
        m_weekday->addItem(QString::fromStdString(label));
    m_weekday->setAccessibleName(weekdayLabel->text());
    m_weekday->setEnabled(m_form.weekdayEnabled());
    weekdayLabel->setBuddy(m_weekday);

    auto* monthDayLabel = add(IDC_PLAN_MONTHDAY_LABEL, new QLabel(pick(omnar::plans::kDayOfMonthLabel, chinese)));
    monthDayLabel->setAccessibleName(monthDayLabel->text());
    m_monthDay = add(IDC_PLAN_MONTHDAY, new QComboBox);
    for (const auto& day : m_form.monthDays())
        m_monthDay->addItem(QString::fromStdString(day));
    m_monthDay->setMaxVisibleItems(12);
    m_monthDay->setAccessibleName(monthDayLabel->text());
    m_monthDay->setEnabled(m_form.monthDayEnabled());
    monthDayLabel->setBuddy(m_monthDay);

    auto* sourceGroup = add(IDC_PLAN_SOURCE_GROUP, new QGroupBox(pick(omnar::plans::kSourceGroupLabel, chinese)));
    sourceGroup->setAccessibleName(sourceGroup->title());
    auto* sourceGrid = new QGridLayout(sourceGroup);
    m_sources = new QButtonGroup(this);
    int shown = 0;
    for (int id = AddPlanForm::kFirstSourceRadio; id <= AddPlanForm::kLastSourceRadio; ++id) {
        const int code = id - AddPlanForm::kFirstSourceRadio;
        const QString caption = id == IDC_SOURCE_V2 ? qs(m_form.v2Caption()) : qs(kRadioCaptions[code]);
        auto* radio = add(id, new QRadioButton(caption));
        radio->setAccessibleName(caption);
        m_sources->addButton(radio, id);
        const bool hidden = std::find(std::begin(AddPlanForm::kHiddenRadios), std::end(AddPlanForm::kHiddenRadios), id)
            != std::end(AddPlanForm::kHiddenRadios);
        if (hidden) {
            radio->setVisible(false);
            continue;
        }
        sourceGrid->addWidget(radio, shown / 3, shown % 3);
        ++shown;
    }
    connect(m_sources, &QButtonGroup::idClicked, this, [this](int id) { m_form.clickSourceRadio(id); });

    auto* ok = add(IDC_PLAN_OK, new QPushButton(QStringLiteral("OK")));
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CAddPlan::accept);

    auto* fields = new QGridLayout;
    fields->addWidget(m_date, 0, 0);
    fields->addWidget(m_time, 0, 1);
    fields->addWidget(weekdayLabel, 1, 0);
    fields->addWidget(m_weekday, 2, 0);
    fields->addWidget(monthDayLabel, 1, 1);
    fields->addWidget(m_monthDay, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* v = new QVBoxLayout(this);
    v->addWidget(question);
    v->addLayout(fields);
    v->addWidget(sourceGroup);
    v->addLayout(buttons);
    setMinimumWidth(300);
}

void CAddPlan::showValues()
{
    const auto& values = m_form.values();
    const QDate date(values.date.year, values.date.month, values.date.day);
    if (date.isValid())
        m_date->setDate(date);
    m_time->setTime(QTime(values.time.hour, values.time.minute, values.time.second));

    const int weekday = m_weekday->findText(QString::fromStdString(values.weekdayLabel));
    m_weekday->setCurrentIndex(weekday);
    int monthDay = m_monthDay->findText(QString::fromStdString(values.monthDay));
    if (monthDay < 0) {
        // A hand-written "5" is the list's "05".
        if (const auto day = omnar::plans::monthDayNumber(values.monthDay))
            monthDay = *day - 1;
    }
    m_monthDay->setCurrentIndex(monthDay);

    const auto checked = m_form.checkedRadio();
    if (checked) {
        m_sources->button(*checked)->setChecked(true);
    } else {
        // A source without a radio: none checked until the operator picks one.
        m_sources->setExclusive(false);
        for (auto* b : m_sources->buttons())
            b->setChecked(false);
        m_sources->setExclusive(true);
    }
}

void CAddPlan::accept()
{
    auto& values = m_form.values();
    const QDate date = m_date->date();
    values.date = {date.year(), date.month(), date.day()};
    const QTime time = m_time->time();
    values.time = {time.hour(), time.minute(), time.second()};
    values.weekdayLabel = m_weekday->currentText().toStdString();
    values.monthDay = m_monthDay->currentText().toStdString();
    QDialog::accept();
}

} // namespace omnar::gui::plans
