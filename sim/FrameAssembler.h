#pragma once

#include "core/link/Frame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace omnar::sim {

// Cuts a byte stream into frames. A stream may deliver a frame in pieces, or
// carry stray bytes (a port opened mid-frame, line noise): a candidate must
// start with the lead byte and carry a valid checksum, otherwise one byte is
// dropped and the search starts again at the next lead byte.
class FrameAssembler {
public:
    using FrameSink = std::function<void(const link::Frame&)>;
    // Bytes that belong to no frame, reported in runs so they can be traced.
    using GarbageSink = std::function<void(const std::vector<std::uint8_t>&)>;

    // Feeds bytes; calls `onFrame` for every frame completed by them, in order.
    // Garbage is reported just before the next frame, or at the end of the call
    // when it cannot become the start of one.
    void feed(const std::uint8_t* data, std::size_t n, const FrameSink& onFrame, const GarbageSink& onGarbage = {});

    // Forgets buffered bytes (a new connection starts clean).
    void reset();
    std::size_t buffered() const { return m_buffer.size(); }

private:
    std::deque<std::uint8_t> m_buffer;
    std::vector<std::uint8_t> m_garbage;
};

} // namespace omnar::sim
