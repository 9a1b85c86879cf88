#pragma once

#include "core/link/Frame.h"

#include <cstddef>
#include <cstdint>
#include <stop_token>
#include <string>

namespace omnar::link {

// One open connection to the processor: the serial port or the TCP socket.
// Neither side locks; whoever calls holds the link lock.
class Transport {
public:
    // How long the input that discardInput() throws away may go on.
    static constexpr int kDiscardReadsMax = 64;

    virtual ~Transport() = default;

    // Writes the 13 bytes; returns the count written, 0 on failure.
    virtual int writeFrame(const Frame& frame) = 0;
    // As writeFrame, but a transport that may have to wait to write gives up
    // on a stop request (and after a bound of its own).
    virtual int sendFrame(const Frame& frame, std::stop_token stop)
    {
        (void)stop;
        return writeFrame(frame);
    }
    // Reads what has arrived, at most `max` bytes, without waiting; returns the
    // count, 0 when nothing was there (or on failure).
    virtual int read(std::uint8_t* buffer, std::size_t max) = 0;
    // Throws away what has arrived unasked, such as the late end of a reply
    // whose query already timed out, so it is never taken for the start of
    // the next reply. Reads (and so traces) it like any other input.
    virtual void discardInput();
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Why the connection went away by itself (the peer hung up, the device
    // was unplugged); empty while it is up. A silent device is not lost.
    const std::string& lostReason() const { return m_lostReason; }
    bool lost() const { return !m_lostReason.empty(); }

protected:
    // The first cause is kept.
    void markLost(std::string reason);
    // A fresh open.
    void clearLost() { m_lostReason.clear(); }

private:
    std::string m_lostReason;
};

} // namespace omnar::link
