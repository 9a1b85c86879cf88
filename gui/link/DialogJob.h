#pragma once

#include "core/link/DeviceJob.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>

namespace omnar::gui::link {

// A dialog's device work on a thread of its own, with its results handed to
// the GUI thread: the window starts a sequence, keeps repainting and stays
// movable, and applies each report when it arrives, in the order the
// sequence made them; `finished` comes last. Closing the dialog stops the
// job at its next transaction boundary; nothing it reports after stop()
// reaches the window.
class DialogJob : public QObject {
    Q_OBJECT
public:
    // Runs `call` on the GUI thread, after everything posted before it.
    using Post = std::function<void(std::function<void()> call)>;
    using Work = std::function<void(omnar::link::JobLink&, const Post&)>;

    explicit DialogJob(omnar::link::Link& link, QObject* parent = nullptr);
    ~DialogJob() override;

    // False while the previous job has not finished. `finished(stopped)` runs
    // on the GUI thread after the last report of this run.
    bool start(Work work, std::function<void(bool stopped)> finished = {});

    // A sequence that reports through a sink of its own report type: each
    // report is handed to `apply` on the GUI thread.
    template <typename Report, typename Sequence, typename Apply>
    bool startReporting(Sequence sequence, Apply apply, std::function<void(bool stopped)> finished = {})
    {
        return start(
            [sequence = std::move(sequence), apply = std::move(apply)](omnar::link::JobLink& job, const Post& post) {
                sequence(job, [&post, &apply](const Report& report) { post([apply, report] { apply(report); }); });
            },
            std::move(finished));
    }

    // Stops the running job and waits for its thread, whose every wait ends
    // on the request; reports it has not delivered yet are dropped.
    void stop();
    bool running() const { return m_job.running(); }

signals:
    // A job started / its `finished` ran: the window's busy state.
    void busyChanged(bool busy);

private:
    // On the GUI thread: runs `call` once every call posted before it has returned.
    void deliver(unsigned run, std::function<void()> call);

    omnar::link::DeviceJob m_job;
    std::deque<std::pair<unsigned, std::function<void()>>> m_held;
    bool m_delivering = false;
    // Shared with the posted calls: a run whose token went stale delivers nothing.
    std::shared_ptr<std::atomic<unsigned>> m_generation;
};

} // namespace omnar::gui::link
