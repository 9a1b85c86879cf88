#include "gui/plans/CProgram.h"

#include "core/plans/LocalTime.h"
#include "core/plans/PlanTexts.h"
#include "gui/plans/CAddPlan.h"
#include "gui/plans/CDayPlan.h"
#include "gui/plans/CMonthPlan.h"
#include "gui/plans/COncePlan.h"
#include "gui/plans/CWeekPlan.h"
#include "gui/plans/PlanDialogIds.h"
#include "gui/widgets/QtText.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace omnar::gui::plans {

using namespace omnar::gui::plans::ids;
using omnar::plans::PlanKind;

CProgram::CProgram(omnar::plans::CInfoPlan& store, Options options, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_options(std::move(options))
    , m_model(store, m_options.chinese)
{
    setObjectName(QStringLiteral("CProgram"));
    setModal(true);
    if (!m_options.clock)
        m_options.clock = &util::RealClock::instance();
    if (!m_options.messageHandler) {
        m_options.messageHandler = [this](const QString& caption, const QString& text) {
            // The editor's boxes are English whatever the panel's language.
            QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, this);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("Yes"));
            box.button(QMessageBox::No)->setText(QStringLiteral("No"));
            return box.exec() == QMessageBox::Yes;
        };
    }
    if (!m_options.planDialogRunner)
        m_options.planDialogRunner = [](CAddPlan& dialog) { return dialog.exec(); };

    buildUi();
    for (const auto& message : m_model.open())
        showPlanMessage(QString::fromStdString(message.caption), QString::fromStdString(message.text));
    for (auto* page : m_pages)
        page->refresh();
}

CProgram::~CProgram() = default;

void CProgram::buildUi()
{
    const bool chinese = m_options.chinese;
    setWindowTitle(qs(omnar::plans::kProgramCaption.in(chinese)));
    setAccessibleName(windowTitle());

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(qs(controlName(kProgramControls, IDC_PROGRAM_TAB)));
    m_tabs->setAccessibleName(windowTitle());
    m_controls.insert(IDC_PROGRAM_TAB, m_tabs);

    m_pages = {new CDayPlan(m_model.page(PlanKind::Day), *this, chinese),
               new CWeekPlan(m_model.page(PlanKind::Week), *this, chinese),
               new CMonthPlan(m_model.page(PlanKind::Month), *this, chinese),
               new COncePlan(m_model.page(PlanKind::Once), *this, chinese)};
    for (auto* page : m_pages) {
        const QString caption = qs(omnar::plans::PlanPageModel::tabCaption(page->kind()).in(chinese));
        page->setAccessibleName(caption);
        m_tabs->addTab(page, caption);
    }
    m_tabs->setCurrentIndex(0);

    auto* exit = new QPushButton(qs(omnar::plans::kExitCaption.in(chinese)));
    exit->setObjectName(qs(controlName(kProgramControls, IDC_PROGRAM_EXIT)));
    exit->setAccessibleName(exit->text());
    exit->setAutoDefault(false);
    m_controls.insert(IDC_PROGRAM_EXIT, exit);
    connect(exit, &QPushButton::clicked, this, &CProgram::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(exit);
    auto* v = new QVBoxLayout(this);
    v->addWidget(m_tabs, 1);
    v->addLayout(buttons);
    resize(560, 380);
}

QWidget* CProgram::control(int id) const
{
    if (auto* w = m_controls.value(id, nullptr))
        return w;
    for (auto* page : m_pages)
        if (auto* w = page->control(id))
            return w;
    return nullptr;
}

PlanPage* CProgram::page(PlanKind kind) const
{
    return m_pages.at(static_cast<std::size_t>(kind));
}

std::optional<omnar::plans::AddPlanInput> CProgram::runAddPlan(
    PlanKind kind, const std::optional<omnar::plans::AddPlanInput>& modify)
{
    const omnar::plans::AddPlanForm form(kind, omnar::plans::wallSeconds(*m_options.clock), m_options.chinese,
                                         m_options.v2IsYPbPr, modify);
    CAddPlan dialog(form, m_options.chinese, this);
    if (m_options.planDialogRunner(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

bool CProgram::showPlanMessage(const QString& caption, const QString& text)
{
    return m_options.messageHandler(caption, text);
}

} // namespace omnar::gui::plans
