#pragma once

#include "gui/plans/PlanPage.h"

namespace omnar::gui::plans {

// The one-time plans' page of the plan editor.
class COncePlan final : public PlanPage {
public:
    COncePlan(omnar::plans::PlanPageModel& model, CProgram& program, bool chinese, QWidget* parent = nullptr)
        : PlanPage(model, program, chinese, QStringLiteral("COncePlan"), parent)
    {
    }
};

} // namespace omnar::gui::plans
