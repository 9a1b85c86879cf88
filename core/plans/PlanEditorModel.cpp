#include "core/plans/PlanEditorModel.h"

#include <utility>

namespace omnar::plans {

PlanEditorModel::PlanEditorModel(CInfoPlan& store, bool chinese)
    : m_store(store)
    , m_pages{PlanPageModel(PlanKind::Day, store, chinese), PlanPageModel(PlanKind::Week, store, chinese),
              PlanPageModel(PlanKind::Month, store, chinese), PlanPageModel(PlanKind::Once, store, chinese)}
{
}

std::vector<PlanMessage> PlanEditorModel::open()
{
    // Afresh rather than on top of what the store held: the file may have
    // been edited since, and the runner keeps a store of its own.
    m_store.ReloadFromFile();
    std::vector<PlanMessage> messages;
    bool toldAboutFile = false;
    for (auto& page : m_pages) {
        for (auto& message : page.open()) {
            if (message.aboutFile && std::exchange(toldAboutFile, true))
                continue; // the same file, the same trouble
            messages.push_back(std::move(message));
        }
    }
    return messages;
}

} // namespace omnar::plans
