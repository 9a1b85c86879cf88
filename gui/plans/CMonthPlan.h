#pragma once

#include "gui/plans/PlanPage.h"

namespace omnar::gui::plans {

// The monthly plans' page of the plan editor.
class CMonthPlan final : public PlanPage {
public:
    CMonthPlan(omnar::plans::PlanPageModel& model, CProgram& program, bool chinese, QWidget* parent = nullptr)
        : PlanPage(model, program, chinese, QStringLiteral("CMonthPlan"), parent)
    {
    }
};

} // namespace omnar::gui::plans
