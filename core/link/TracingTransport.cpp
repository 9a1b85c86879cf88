#include "core/link/TracingTransport.h"

#include "core/link/Trace.h"

namespace omnar::link {

TracingTransport::TracingTransport(std::unique_ptr<Transport> inner, const util::Clock& clock)
    : m_inner(std::move(inner))
    , m_clock(clock)
{
}

int TracingTransport::traced(const Frame& frame, int written)
{
    if (written > 0)
        printTrace(m_clock, Direction::Out, frame.data(), static_cast<std::size_t>(written));
    followLoss();
    return written;
}

int TracingTransport::writeFrame(const Frame& frame)
{
    return traced(frame, m_inner->writeFrame(frame));
}

int TracingTransport::sendFrame(const Frame& frame, std::stop_token stop)
{
    return traced(frame, m_inner->sendFrame(frame, stop));
}

int TracingTransport::read(std::uint8_t* buffer, std::size_t max)
{
    const int n = m_inner->read(buffer, max);
    if (n > 0)
        printTrace(m_clock, Direction::In, buffer, static_cast<std::size_t>(n));
    followLoss();
    return n;
}

void TracingTransport::followLoss()
{
    if (m_inner->lost())
        markLost(m_inner->lostReason());
}

} // namespace omnar::link
