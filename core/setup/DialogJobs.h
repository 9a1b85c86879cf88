#pragma once

#include "core/setup/SetupSequences.h"
#include "core/setup/SetupView.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

namespace omnar::setup {

// What the window does after an operator action or the end of a job:
// apply the view (then show its message), start the job on its DeviceJob,
// and while that job runs show the progress window of the kind given.
struct SetupAction {
    SetupView view;
    std::optional<Sequence> job;
    int progressKind = 0; // CProgress kind; 0 for none

    bool empty() const { return view.empty() && !job; }
};

// One device job at a time per window. An action asked for while a job
// runs waits its turn, as a click on a window busy with the device did, and
// is decided when its turn comes, against the state of that moment.
class DialogJobs {
public:
    struct Plan {
        SetupView view;
        std::optional<Sequence> job;
        int progressKind = 0;
        std::function<SetupView()> onSent;     // the job's frame went out
        std::function<SetupView()> onFinished; // the job ended
    };
    using Step = std::function<Plan()>;

    // Decides `step` now when no job runs; otherwise queues it and returns
    // an empty action.
    SetupAction submit(Step step);
    // The running job reported FrameSent.
    SetupView frameSent();
    // The running job ended: its end view, then the queued steps in order up
    // to the first one that starts a job.
    SetupAction finished();

    bool busy() const { return m_running; }
    std::size_t queued() const { return m_queue.size(); }

private:
    SetupAction begin(Plan plan);

    bool m_running = false;
    std::function<SetupView()> m_onSent;
    std::function<SetupView()> m_onFinished;
    std::deque<Step> m_queue;
};

} // namespace omnar::setup
