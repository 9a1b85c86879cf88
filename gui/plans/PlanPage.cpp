#include "gui/plans/PlanPage.h"

#include "gui/plans/CProgram.h"
#include "gui/plans/PlanDialogIds.h"
#include "gui/widgets/QtText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace omnar::gui::plans {

using namespace omnar::gui::plans::ids;
using omnar::plans::PlanPageModel;

PlanPage::PlanPage(PlanPageModel& model, CProgram& program, bool chinese, const QString& className,
                   QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_program(program)
{
    setObjectName(className);
    const auto& ids = kPageIds.at(static_cast<std::size_t>(model.kind()));

    m_list = add(ids.list, new QTreeWidget);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QStringList headers;
    for (const auto& column : PlanPageModel::columns(model.kind()))
        headers << qs(column.caption.in(chinese));
    m_list->setHeaderLabels(headers);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionsMovable(false);
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->setAccessibleName(qs(PlanPageModel::tabCaption(model.kind()).in(chinese)));
    m_list->viewport()->installEventFilter(this);

    auto makeButton = [&](int id, const omnar::plans::PlanText& caption) {
        auto* b = add(id, new QPushButton(qs(caption.in(chinese))));
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
        return b;
    };
    auto* addButton = makeButton(ids.add, omnar::plans::kAddCaption);
    auto* modifyButton = makeButton(ids.modify, omnar::plans::kModifyCaption);
    auto* deleteButton = makeButton(ids.remove, omnar::plans::kDeleteCaption);
    connect(addButton, &QPushButton::clicked, this, &PlanPage::onAdd);
    connect(modifyButton, &QPushButton::clicked, this, &PlanPage::onModify);
    connect(deleteButton, &QPushButton::clicked, this, &PlanPage::onDelete);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(modifyButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    auto* h = new QHBoxLayout(this);
    h->addWidget(m_list, 1);
    h->addLayout(buttons);
}

template <typename W>
W* PlanPage::add(int id, W* widget)
{
    widget->setObjectName(qs(controlName(kProgramControls, id)));
    m_controls.insert(id, widget);
    return widget;
}

QWidget* PlanPage::control(int id) const
{
    return m_controls.value(id, nullptr);
}

std::vector<int> PlanPage::selectedRows() const
{
    std::vector<int> rows;
    for (auto* item : m_list->selectedItems())
        rows.push_back(m_list->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PlanPage::refresh()
{
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(m_model.rows().size()));
    for (const auto& row : m_model.rows()) {
        QStringList cells{QString::fromStdString(row.name)};
        for (const auto& cell : row.cells)
            cells << QString::fromStdString(cell);
        items << new QTreeWidgetItem(cells);
    }
    m_list->addTopLevelItems(items);
}

void PlanPage::showMessages(const std::vector<omnar::plans::PlanMessage>& messages)
{
    for (const auto& message : messages)
        m_program.showPlanMessage(QString::fromStdString(message.caption), QString::fromStdString(message.text));
}

void PlanPage::onAdd()
{
    const auto input = m_program.runAddPlan(kind(), std::nullopt);
    // Cancelled or not, the list is put in order and its section rewritten.
    // The boxes come over the list as it now stands.
    const auto messages = m_model.add(input);
    refresh();
    showMessages(messages);
}

void PlanPage::onModify()
{
    const auto start = m_model.beginModify(selectedRows());
    if (!start.row) {
        if (start.message)
            showMessages({*start.message});
        return;
    }
    const auto input = m_program.runAddPlan(kind(), start.preset);
    const auto messages = m_model.finishModify(*start.row, input);
    refresh();
    showMessages(messages);
}

void PlanPage::onDelete()
{
    const auto rows = selectedRows();
    const auto start = m_model.beginDelete(rows);
    if (!start.ask) {
        showMessages({start.message});
        return;
    }
    const bool yes =
        m_program.showPlanMessage(QString::fromStdString(start.message.caption), QString::fromStdString(start.message.text));
    if (!yes)
        return;
    const auto messages = m_model.finishDelete(rows, true);
    refresh();
    showMessages(messages);
}

bool PlanPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        applyColumnWidths();
    return QWidget::eventFilter(watched, event);
}

void PlanPage::applyColumnWidths()
{
    // Each column keeps its share of the list's width.
    const int width = m_list->viewport()->width();
    const auto columns = PlanPageModel::columns(kind());
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const auto& c = columns[static_cast<std::size_t>(i)];
        m_list->header()->resizeSection(i, width * c.widthNumerator / c.widthDenominator);
    }
}

} // namespace omnar::gui::plans
