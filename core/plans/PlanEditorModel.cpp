#include "core/plans/PlanEditorModel.h"

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
    for (auto& page : m_pages) {
        auto pageMessages = page.open();
        messages.insert(messages.end(), pageMessages.begin(), pageMessages.end());
    }
    return messages;
}

} // namespace omnar::plans
