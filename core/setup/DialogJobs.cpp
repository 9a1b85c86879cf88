#include "core/setup/DialogJobs.h"

namespace omnar::setup {

SetupAction DialogJobs::submit(Step step)
{
    if (m_running) {
        m_queue.push_back(std::move(step));
        return {};
    }
    return begin(step());
}

SetupAction DialogJobs::begin(Plan plan)
{
    const bool starts = plan.job.has_value();
    if (starts) {
        m_running = true;
        m_onSent = std::move(plan.onSent);
        m_onFinished = std::move(plan.onFinished);
    }
    return {std::move(plan.view), std::move(plan.job), starts ? plan.progressKind : 0};
}

SetupView DialogJobs::frameSent()
{
    return m_running && m_onSent ? m_onSent() : SetupView{};
}

SetupAction DialogJobs::finished()
{
    if (!m_running)
        return {};
    SetupAction next{m_onFinished ? m_onFinished() : SetupView{}, std::nullopt, 0};
    m_running = false;
    m_onSent = nullptr;
    m_onFinished = nullptr;
    while (!m_queue.empty() && !m_running) {
        Step step = std::move(m_queue.front());
        m_queue.pop_front();
        SetupAction action = begin(step());
        next.view.merge(action.view);
        next.job = std::move(action.job);
        next.progressKind = action.progressKind;
    }
    return next;
}

} // namespace omnar::setup
