#include "core/link/DeviceJob.h"

namespace omnar::link {

using std::chrono::milliseconds;

JobLink::JobLink(Link& link, std::stop_token stop)
    : m_link(link)
    , m_stop(std::move(stop))
{
}

bool JobLink::acquire(std::unique_lock<std::mutex>& lock)
{
    // A plain lock() could not be ended by a stop request, and the holder may
    // be the plan runner in the middle of a device delay.
    while (!lock.try_lock()) {
        if (!m_link.clock().sleepFor(milliseconds(kLockRetryMs), m_stop))
            return false;
    }
    // The stop may have come while waiting: the boundary is here.
    if (stopped()) {
        lock.unlock();
        return false;
    }
    return true;
}

int JobLink::query(const Frame& frame, Frame& reply, int timeoutMs, Discard discard)
{
    if (stopped())
        return 0;
    std::unique_lock lock(m_link.lock(), std::defer_lock);
    if (!acquire(lock))
        return 0;
    if (discard == Discard::PendingInput) {
        if (Transport* t = m_link.transport()) {
            std::uint8_t stale[kFrameSize];
            t->read(stale, sizeof stale);
        }
    }
    return m_link.QueryCommand(&frame, &reply, timeoutMs, m_stop);
}

bool JobLink::send(const cmd::Command& command)
{
    if (stopped())
        return false;
    std::unique_lock lock(m_link.lock(), std::defer_lock);
    if (!acquire(lock))
        return false;
    m_link.SendCommand(&command.frame, command.delayMs, m_stop);
    return true;
}

bool JobLink::pause(int ms)
{
    return m_link.clock().sleepFor(milliseconds(ms), m_stop);
}

DeviceJob::DeviceJob(Link& link)
    : m_link(link)
{
}

DeviceJob::~DeviceJob()
{
    stop();
}

bool DeviceJob::start(Work work, Finished finished)
{
    if (m_running.load())
        return false;
    // An earlier job that has reported its end is at most returning.
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_thread = std::jthread([this, work = std::move(work), finished = std::move(finished)](std::stop_token stop) {
        JobLink jobLink(m_link, stop);
        if (work)
            work(jobLink);
        const bool stopped = stop.stop_requested();
        // Cleared before the report, so a GUI that starts the next job on
        // "finished" finds this one done.
        m_running = false;
        if (finished)
            finished(stopped);
    });
    return true;
}

void DeviceJob::stop()
{
    if (!m_thread.joinable())
        return;
    m_thread.request_stop();
    m_thread.join();
}

} // namespace omnar::link
