#include "core/link/Link.h"

#include <algorithm>
#include <cstring>

namespace omnar::link {

using std::chrono::milliseconds;

Link::Link(util::Clock& clock)
    : m_clock(clock)
{
}

void Link::setTransport(std::unique_ptr<Transport> transport)
{
    m_transport = std::move(transport);
}

void Link::closeTransport()
{
    if (m_transport)
        m_transport->close();
    m_transport.reset();
}

int Link::SendCommand(const Frame* frame, int delayMs, std::stop_token stop)
{
    if (!frame)
        return 0;
    const Frame out = withChecksum(*frame);
    const int written = m_transport ? m_transport->sendFrame(out, stop) : 0;
    // The device needs its pause whether or not the write went through; a
    // device that is gone needs none, and its owner should hear of it now.
    if (!lost())
        m_clock.sleepFor(milliseconds(delayMs), stop);
    return written == static_cast<int>(kFrameSize) ? written : 0;
}

int Link::QueryCommand(const Frame* frame, Frame* reply, int timeoutMs, std::stop_token stop)
{
    if (!frame || !m_transport || lost())
        return 0;
    const Frame out = withChecksum(*frame);
    // What is waiting now answers an earlier query; taken as the start of
    // this reply it would spoil this one and, through its surplus, the next.
    m_transport->discardInput();
    if (lost() || m_transport->sendFrame(out, stop) != static_cast<int>(kFrameSize))
        return 0;
    return ReceiveReply(reply, timeoutMs, stop);
}

int Link::ReceiveReply(Frame* reply, int timeoutMs, std::stop_token stop)
{
    if (!m_transport || lost())
        return 0;
    Frame assembled{};
    std::size_t have = 0;
    const int polls = std::max(timeoutMs, 0) / kPollIntervalMs;
    for (int i = 0; i < polls; ++i) {
        std::uint8_t chunk[kFrameSize];
        const int n = m_transport->read(chunk, kFrameSize);
        if (lost())
            return 0;
        bool taken = false;
        if (n == static_cast<int>(kFrameSize)) {
            std::memcpy(assembled.data(), chunk, kFrameSize);
            taken = true;
        } else if (n > 0) {
            const auto take = std::min(static_cast<std::size_t>(n), kFrameSize - have);
            std::memcpy(assembled.data() + have, chunk, take);
            have += take;
            if (have == kFrameSize) {
                if (assembled[0] != kLeadByte) {
                    m_clock.sleepFor(milliseconds(kPauseAfterReplyMs), stop);
                    return 0;
                }
                taken = true;
            }
        }
        if (taken) {
            if (reply)
                *reply = assembled;
            m_clock.sleepFor(milliseconds(kPauseAfterReplyMs), stop);
            return static_cast<int>(kFrameSize);
        }
        if (!m_clock.sleepFor(milliseconds(kPollIntervalMs), stop))
            return 0;
    }
    return 0;
}

} // namespace omnar::link
