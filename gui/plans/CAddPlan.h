#pragma once

// Qt before the core: moc cannot read <compare> ahead of Qt's own headers.
#include <QDialog>
#include <QHash>

#include "core/plans/AddPlanForm.h"

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QTimeEdit;

namespace omnar::gui::plans {

// The plan dialog: one plan's date or weekday or day of the month, its time
// and its source. What is enabled, listed and preset comes from the form;
// OK writes the pickers back into it. Closing the window cancels.
class CAddPlan : public QDialog {
    Q_OBJECT
public:
    CAddPlan(const omnar::plans::AddPlanForm& form, bool chinese, QWidget* parent = nullptr);

    // The widget of a control id, or nullptr.
    QWidget* control(int id) const;
    const omnar::plans::AddPlanForm& form() const { return m_form; }
    // What the dialog holds: after OK, the operator's choice.
    const omnar::plans::AddPlanInput& values() const { return m_form.values(); }

public slots:
    void accept() override;

private:
    template <typename W>
    W* add(int id, W* widget);
    void buildUi(bool chinese);
    void showValues();

    omnar::plans::AddPlanForm m_form;
    QHash<int, QWidget*> m_controls;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QComboBox* m_weekday = nullptr;
    QComboBox* m_monthDay = nullptr;
    QButtonGroup* m_sources = nullptr;
};

} // namespace omnar::gui::plans
