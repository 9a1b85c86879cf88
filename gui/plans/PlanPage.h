#pragma once

// Qt before the core: moc cannot read <compare> ahead of Qt's own headers.
#include <QHash>
#include <QWidget>

#include "core/plans/PlanPageModel.h"

#include <vector>

class QPushButton;
class QTreeWidget;

namespace omnar::gui::plans {

class CProgram;

// One list page of the plan editor: the plans of one kind in a report-style
// list, and Add, Modify, Delete. The page only draws; its model decides and
// writes the file, and the editor runs the plan dialog and the message boxes.
class PlanPage : public QWidget {
    Q_OBJECT
public:
    omnar::plans::PlanKind kind() const { return m_model.kind(); }
    omnar::plans::PlanPageModel& model() { return m_model; }

    // The widget of a control id of this page, or nullptr.
    QWidget* control(int id) const;
    QTreeWidget* list() const { return m_list; }
    // Indexes of the selected rows, ascending.
    std::vector<int> selectedRows() const;
    // Shows the model's rows.
    void refresh();

public slots:
    void onAdd();
    void onModify();
    void onDelete();

protected:
    PlanPage(omnar::plans::PlanPageModel& model, CProgram& program, bool chinese, const QString& className,
             QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename W>
    W* add(int id, W* widget);
    void showMessages(const std::vector<omnar::plans::PlanMessage>& messages);
    void applyColumnWidths();

    omnar::plans::PlanPageModel& m_model;
    CProgram& m_program;
    QHash<int, QWidget*> m_controls;
    QTreeWidget* m_list = nullptr;
};

} // namespace omnar::gui::plans
