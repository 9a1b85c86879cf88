#include "gui/setup/CCAdvanced.h"

#include "core/setup/SetupIds.h"
#include "gui/link/CProgress.h"
#include "gui/setup/SetupControls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace omnar::gui::setup {

namespace core = omnar::setup;
namespace ids = omnar::setup::advanced_ids;

CCAdvanced::CCAdvanced(const DialogContext& context, QWidget* parent)
    : SetupDialog(context, &ids::controlName, parent)
    , m_model(context.device.deviceId, context.device.chinese)
{
    setObjectName(QStringLiteral("CCAdvanced"));
    m_progress = new link::CProgress(this);
    m_progress->setWindowModality(Qt::ApplicationModal);
    buildUi();
    wire();
    run(m_model.open());
}

void CCAdvanced::buildUi()
{
    auto label = [this](int id) { return m_controls->add(id, new QLabel); };
    auto number = [this](int id, QLabel* buddy) {
        auto* e = m_controls->add(id, new QLineEdit);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        e->setFixedWidth(64);
        buddy->setBuddy(e);
        return e;
    };

    auto* group = m_controls->add(ids::IDC_RESOLUTION_GROUP, new QGroupBox);
    auto* list = m_controls->add(ids::IDC_RESOLUTION_LIST, new QComboBox);
    list->setMinimumWidth(200);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list);

    // The custom timing, shown with --advanced.
    auto* custom = new QWidget;
    custom->setObjectName(QStringLiteral("customForm"));
    auto* grid = new QGridLayout(custom);
    grid->setContentsMargins(0, 0, 0, 0);
    QLabel* widthLabel = label(ids::IDC_CUSTOM_WIDTH_LABEL);
    QLabel* heightLabel = label(ids::IDC_CUSTOM_HEIGHT_LABEL);
    QLabel* rateLabel = label(ids::IDC_CUSTOM_RATE_LABEL);
    grid->addWidget(widthLabel, 0, 0);
    grid->addWidget(number(ids::IDC_CUSTOM_WIDTH, widthLabel), 0, 1);
    grid->addWidget(heightLabel, 1, 0);
    grid->addWidget(number(ids::IDC_CUSTOM_HEIGHT, heightLabel), 1, 1);
    grid->addWidget(rateLabel, 2, 0);
    grid->addWidget(number(ids::IDC_CUSTOM_RATE, rateLabel), 2, 1);
    auto* unit = new QLabel(QStringLiteral("Hz"));
    unit->setObjectName(QStringLiteral("IDC_STATIC_HZ"));
    grid->addWidget(unit, 2, 2);
    auto* save = m_controls->add(ids::IDC_CUSTOM_SAVE, new QPushButton);
    save->setAutoDefault(false);
    grid->addWidget(save, 3, 1, 1, 2, Qt::AlignLeft);
    grid->setColumnStretch(3, 1);
    groupLayout->addWidget(custom);
    custom->setVisible(m_context.advanced);

    auto* ok = m_controls->add(ids::IDC_OK, new QPushButton);
    ok->setDefault(true);
    ok->setMinimumWidth(80);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* v = new QVBoxLayout(this);
    v->addWidget(group);
    v->addLayout(buttons);
    v->setSizeConstraint(QLayout::SetFixedSize);
}

void CCAdvanced::wire()
{
    auto* list = qobject_cast<QComboBox*>(control(ids::IDC_RESOLUTION_LIST));
    // The operator's pick only: the read-back of the device's mode selects without a word.
    connect(list, &QComboBox::activated, this, &CCAdvanced::onListActivated);
    connect(qobject_cast<QPushButton*>(control(ids::IDC_CUSTOM_SAVE)), &QPushButton::clicked, this, [this] {
        run(m_model.saveCustom(controlText(ids::IDC_CUSTOM_WIDTH).toStdString(),
                               controlText(ids::IDC_CUSTOM_HEIGHT).toStdString(),
                               controlText(ids::IDC_CUSTOM_RATE).toStdString()));
    });
    connect(qobject_cast<QPushButton*>(control(ids::IDC_OK)), &QPushButton::clicked, this, &CCAdvanced::accept);
}

void CCAdvanced::onListActivated(int position)
{
    // Picking the mode already shown changes nothing on the device.
    if (position == m_listShows)
        return;
    m_listShows = position;
    run(m_model.select(position));
}

void CCAdvanced::viewApplied(const core::SetupView& view)
{
    if (view.selections.contains(ids::IDC_RESOLUTION_LIST))
        m_listShows = m_controls->selection(ids::IDC_RESOLUTION_LIST);
}

} // namespace omnar::gui::setup
