#pragma once

#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanPageModel.h"

#include <array>
#include <vector>

namespace omnar::plans {

// The plan editor (CProgram) without its window: the four list pages, one
// per tab, over the window's plan store.
class PlanEditorModel {
public:
    PlanEditorModel(CInfoPlan& store, bool chinese);

    // Reloads the store from the file, then opens the pages day, week,
    // month, once (each rewrites its section). The messages of all four, in
    // order; the trouble with the file only once.
    std::vector<PlanMessage> open();

    static constexpr int kPageCount = 4;
    PlanPageModel& page(int tab) { return m_pages.at(static_cast<std::size_t>(tab)); }
    PlanPageModel& page(PlanKind kind) { return page(static_cast<int>(kind)); }

private:
    CInfoPlan& m_store;
    std::array<PlanPageModel, kPageCount> m_pages;
};

} // namespace omnar::plans
