#pragma once

#include "core/link/Frame.h"
#include "core/link/Transport.h"
#include "core/util/Clock.h"

#include <memory>
#include <mutex>
#include <stop_token>
#include <string>

namespace omnar::link {

// The link to one processor: the open transport, the link lock and the two
// transactions every sender uses. The transactions take no lock themselves:
// the caller holds lock() for the whole transaction.
class Link {
public:
    static constexpr int kPollIntervalMs = 100;
    static constexpr int kPauseAfterReplyMs = 200;

    explicit Link(util::Clock& clock = util::RealClock::instance());

    util::Clock& clock() const { return m_clock; }
    // The link lock: held by every thread for each whole transaction.
    std::mutex& lock() { return m_lock; }

    // Installs the open transport (or none). Only while no transaction runs.
    void setTransport(std::unique_ptr<Transport> transport);
    Transport* transport() const { return m_transport.get(); }
    // Closes and drops the transport.
    void closeTransport();
    // The transport went away by itself (peer hung up, device unplugged);
    // every transaction fails at once from then on. lostReason() says why.
    bool lost() const { return m_transport && m_transport->lost(); }
    std::string lostReason() const { return m_transport ? m_transport->lostReason() : std::string(); }

    // Sends `frame` with its checksum computed on a copy, then sleeps `delayMs`
    // (ended early by a stop request; skipped when the link is lost). Returns
    // the bytes written: 13, or 0 when there is no frame, no transport or the
    // write failed.
    int SendCommand(const Frame* frame, int delayMs, std::stop_token stop = {});

    // Throws away input that arrived unasked (the late end of an earlier
    // reply), sends `frame` and polls for the 13-byte reply every 100 ms,
    // timeout/100 times. A reply is 13 bytes in one read (taken as they are)
    // or fragments assembled to 13 whose first byte is the lead byte; a
    // surplus beyond 13 bytes in the fragment that completes the reply is
    // discarded. After a reply it pauses 200 ms. Returns 13 with `reply`
    // filled, or 0 (no frame, send failed, timeout, bad assembled lead byte,
    // stop requested while waiting, link lost).
    int QueryCommand(const Frame* frame, Frame* reply, int timeoutMs, std::stop_token stop = {});
    // The receiving half of QueryCommand, for a reply already asked for.
    int ReceiveReply(Frame* reply, int timeoutMs, std::stop_token stop = {});

private:
    util::Clock& m_clock;
    std::mutex m_lock;
    std::unique_ptr<Transport> m_transport;
};

} // namespace omnar::link
