#pragma once

#include "core/link/Catalogue.h"
#include "core/link/Frame.h"
#include "core/link/Link.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace omnar::link {

// The link as a dialog's device work sees it. Each transaction (a query with
// its reply pause, or a frame with its delay) holds the link lock, so no
// other sender (the plan runner) can land in the middle of it; pauses between
// transactions leave the lock free. Once a stop is requested nothing more is
// sent, and every wait ends at once.
class JobLink {
public:
    // How long a transaction waits between tries while another sender holds
    // the lock (that one may be in a device delay of several seconds).
    static constexpr int kLockRetryMs = 10;

    JobLink(Link& link, std::stop_token stop);

    Link& link() const { return m_link; }
    std::stop_token stopToken() const { return m_stop; }
    bool stopped() const { return m_stop.stop_requested(); }

    enum class Discard { No, PendingInput };

    // One query under the lock. With Discard::PendingInput, what the transport
    // already holds (one read, up to 13 bytes) is dropped first, inside the
    // same lock, so a stale reply is not taken for this one. Returns 13 with
    // `reply` filled, or 0 (no reply, or stopped: then nothing is sent).
    int query(const Frame& frame, Frame& reply, int timeoutMs, Discard discard = Discard::No);

    // One frame and its delay under the lock. False when stopped before
    // sending (nothing went out); true once the frame was handed to the link.
    bool send(const cmd::Command& command);

    // A pause between transactions, without the lock. False when stopped.
    bool pause(int ms);

private:
    // Takes the lock in stop-aware steps; false (lock not taken) when stopped.
    bool acquire(std::unique_lock<std::mutex>& lock);

    Link& m_link;
    std::stop_token m_stop;
};

// Runs one piece of a dialog's device work at a time on a thread of its own,
// so the window never waits on the device. The work reports its results
// through whatever sink it was given; `finished` is called on the job's
// thread after the work returned, also when it was stopped, so a GUI that
// hands the reports and `finished` over to its thread the same way gets
// "finished" last.
class DeviceJob {
public:
    using Work = std::function<void(JobLink&)>;
    using Finished = std::function<void(bool stopped)>;

    explicit DeviceJob(Link& link);
    ~DeviceJob();
    DeviceJob(const DeviceJob&) = delete;
    DeviceJob& operator=(const DeviceJob&) = delete;

    // Starts `work`. False (and nothing started) while an earlier job has not
    // finished yet.
    bool start(Work work, Finished finished = {});
    // Requests a stop and joins: the work sends nothing more and its waits end
    // at once. `finished` has been called when this returns.
    void stop();
    // Started and not finished yet.
    bool running() const { return m_running.load(); }

private:
    Link& m_link;
    std::atomic<bool> m_running{false};
    std::jthread m_thread;
};

} // namespace omnar::link
