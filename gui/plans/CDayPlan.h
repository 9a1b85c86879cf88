#pragma once

#include "gui/plans/PlanPage.h"

namespace omnar::gui::plans {

// The daily plans' page of the plan editor.
class CDayPlan final : public PlanPage {
public:
    CDayPlan(omnar::plans::PlanPageModel& model, CProgram& program, bool chinese, QWidget* parent = nullptr)
        : PlanPage(model, program, chinese, QStringLiteral("CDayPlan"), parent)
    {
    }
};

} // namespace omnar::gui::plans
