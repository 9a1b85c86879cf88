#pragma once

#include "gui/plans/PlanPage.h"

namespace omnar::gui::plans {

// The weekly plans' page of the plan editor.
class CWeekPlan final : public PlanPage {
public:
    CWeekPlan(omnar::plans::PlanPageModel& model, CProgram& program, bool chinese, QWidget* parent = nullptr)
        : PlanPage(model, program, chinese, QStringLiteral("CWeekPlan"), parent)
    {
    }
};

} // namespace omnar::gui::plans
