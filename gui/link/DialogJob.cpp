#include "gui/link/DialogJob.h"

#include <QMetaObject>
#include <QPointer>

namespace omnar::gui::link {

DialogJob::DialogJob(omnar::link::Link& link, QObject* parent)
    : QObject(parent)
    , m_job(link)
    , m_generation(std::make_shared<std::atomic<unsigned>>(0))
{
}

DialogJob::~DialogJob()
{
    stop();
}

bool DialogJob::start(Work work, std::function<void(bool stopped)> finished)
{
    const unsigned run = ++*m_generation;
    auto generation = m_generation;
    QPointer<DialogJob> self(this);
    // Queued calls to one receiver from one thread arrive in the order made.
    Post post = [self, generation, run](std::function<void()> call) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation, run, call = std::move(call)]() mutable {
                if (self && generation->load() == run)
                    self->deliver(run, std::move(call));
            },
            Qt::QueuedConnection);
    };
    const bool started = m_job.start(
        [work = std::move(work), post](omnar::link::JobLink& job) {
            if (work)
                work(job, post);
        },
        [post, self, finished = std::move(finished)](bool stopped) {
            post([self, finished, stopped] {
                if (finished)
                    finished(stopped);
                // `finished` may have started the next job: still busy then.
                if (self && !self->running())
                    emit self->busyChanged(false);
            });
        });
    if (started)
        emit busyChanged(true);
    return started;
}

void DialogJob::deliver(unsigned run, std::function<void()> call)
{
    m_held.push_back({run, std::move(call)});
    // A report that shows a message box runs an event loop of its own, which
    // would hand it the reports made after it: they wait until it returns.
    if (m_delivering)
        return;
    m_delivering = true;
    QPointer<DialogJob> self(this);
    while (!m_held.empty()) {
        auto [heldRun, heldCall] = std::move(m_held.front());
        m_held.pop_front();
        if (m_generation->load() == heldRun)
            heldCall();
        if (!self)
            return;
    }
    m_delivering = false;
}

void DialogJob::stop()
{
    const bool wasRunning = m_job.running();
    // Whatever the run still has in the queue is stale from here on.
    ++*m_generation;
    m_job.stop();
    if (wasRunning)
        emit busyChanged(false);
}

} // namespace omnar::gui::link
