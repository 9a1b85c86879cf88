#pragma once

#include "core/link/Frame.h"

#include <cstddef>
#include <cstdint>

namespace omnar::link {

// One open connection to the processor: the serial port or the TCP socket.
// Neither side locks; whoever calls holds the link lock.
class Transport {
public:
    virtual ~Transport() = default;

    // Writes the 13 bytes; returns the count written, 0 on failure.
    virtual int writeFrame(const Frame& frame) = 0;
    // Reads what has arrived, at most `max` bytes, without waiting; returns the
    // count, 0 when nothing was there (or on failure).
    virtual int read(std::uint8_t* buffer, std::size_t max) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
};

} // namespace omnar::link
