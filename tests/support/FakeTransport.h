#pragma once

#include "core/link/Transport.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace omnar::test {

// A transport whose reads are scripted: each read returns the next scripted
// chunk (an empty chunk is a read with nothing waiting). Writes are recorded.
class FakeTransport final : public link::Transport {
public:
    std::deque<std::vector<std::uint8_t>> reads;
    std::vector<link::Frame> written;
    int writeResult = 13;
    int readCalls = 0;
    bool open = true;

    int writeFrame(const link::Frame& frame) override
    {
        written.push_back(frame);
        return writeResult;
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        ++readCalls;
        if (reads.empty())
            return 0;
        auto chunk = std::move(reads.front());
        reads.pop_front();
        const auto n = std::min(chunk.size(), max);
        std::copy_n(chunk.begin(), n, buffer);
        return static_cast<int>(n);
    }
    bool isOpen() const override { return open; }
    void close() override { open = false; }
};

} // namespace omnar::test
