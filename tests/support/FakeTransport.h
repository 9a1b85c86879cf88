#pragma once

#include "core/link/Transport.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace omnar::test {

// A transport whose reads are scripted: each read returns the next scripted
// chunk (an empty chunk is a read with nothing waiting). Writes are recorded.
// `stale` is input already waiting before the next query: reads hand it
// out first, discardInput() drops it. With `loseAtRead` set, that
// read (counted from 1) finds the connection gone.
class FakeTransport final : public link::Transport {
public:
    std::deque<std::vector<std::uint8_t>> reads;
    std::vector<std::uint8_t> stale;
    std::vector<link::Frame> written;
    int writeResult = 13;
    int readCalls = 0;
    int discardCalls = 0;
    int loseAtRead = 0;
    bool open = true;

    int writeFrame(const link::Frame& frame) override
    {
        written.push_back(frame);
        return writeResult;
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        ++readCalls;
        if (readCalls == loseAtRead)
            markLost("scripted loss");
        if (lost())
            return 0;
        if (!stale.empty()) {
            const auto n = std::min(stale.size(), max);
            std::copy_n(stale.begin(), n, buffer);
            stale.erase(stale.begin(), stale.begin() + static_cast<std::ptrdiff_t>(n));
            return static_cast<int>(n);
        }
        if (reads.empty())
            return 0;
        auto chunk = std::move(reads.front());
        reads.pop_front();
        const auto n = std::min(chunk.size(), max);
        std::copy_n(chunk.begin(), n, buffer);
        return static_cast<int>(n);
    }
    void discardInput() override
    {
        ++discardCalls;
        stale.clear();
    }
    bool isOpen() const override { return open; }
    void close() override { open = false; }
    // The connection goes away now.
    void lose(std::string reason) { markLost(std::move(reason)); }
};

} // namespace omnar::test
