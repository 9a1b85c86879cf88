#pragma once

#include "core/link/Frame.h"
#include "core/link/Transport.h"
#include "core/util/Clock.h"

#include <deque>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <vector>

namespace omnar::test {

// A transport that answers read-back queries (command 0xFE) from a table by
// sub-code, one 13-byte read after the query; a sub-code without an entry
// gets no answer. Other frames are recorded and get no answer. Safe to
// inspect from the test thread while a job runs.
class ScriptedDevice final : public link::Transport {
public:
    // Bytes 3..11 of an answer to `subCode`, as the device with `id` sends it.
    static std::vector<std::uint8_t> answer(std::uint8_t id, std::initializer_list<std::uint8_t> bytes3to11)
    {
        link::Frame f = link::makeFrame(id, 0xFE, bytes3to11);
        return std::vector<std::uint8_t>(f.begin(), f.end());
    }

    void setAnswer(std::uint8_t subCode, std::vector<std::uint8_t> bytes)
    {
        std::lock_guard g(m_mutex);
        m_answers[subCode] = std::move(bytes);
    }
    // Bytes already waiting before anything is asked (a late reply).
    void addPending(std::vector<std::uint8_t> bytes)
    {
        std::lock_guard g(m_mutex);
        m_pending.push_back(std::move(bytes));
    }
    // Called on the writing thread for every frame, before it is answered.
    std::function<void(const link::Frame&)> onWrite;

    std::vector<link::Frame> written() const
    {
        std::lock_guard g(m_mutex);
        return m_written;
    }
    // Bytes 2 and 3 of every frame written: command, sub-code or first argument.
    std::vector<std::pair<int, int>> commands() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& f : written())
            out.emplace_back(f[2], f[3]);
        return out;
    }

    int writeFrame(const link::Frame& frame) override
    {
        if (onWrite)
            onWrite(frame);
        std::lock_guard g(m_mutex);
        m_written.push_back(frame);
        if (frame[2] == 0xFE) {
            auto it = m_answers.find(frame[3]);
            if (it != m_answers.end())
                m_pending.push_back(it->second);
        }
        return 13;
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        std::lock_guard g(m_mutex);
        if (m_pending.empty())
            return 0;
        auto chunk = std::move(m_pending.front());
        m_pending.pop_front();
        const auto n = std::min(chunk.size(), max);
        std::copy_n(chunk.begin(), n, buffer);
        return static_cast<int>(n);
    }
    bool isOpen() const override { return true; }
    void close() override {}

private:
    mutable std::mutex m_mutex;
    std::map<std::uint8_t, std::vector<std::uint8_t>> m_answers;
    std::deque<std::vector<std::uint8_t>> m_pending;
    std::vector<link::Frame> m_written;
};

// Whether another thread could take `m` right now.
inline bool freeForOthers(std::mutex& m)
{
    return std::async(std::launch::async, [&m] {
               if (!m.try_lock())
                   return false;
               m.unlock();
               return true;
           })
        .get();
}

// A virtual clock that tells a hook about every sleep before taking it.
class ProbingClock final : public util::Clock {
public:
    explicit ProbingClock(util::VirtualClock::Mode mode = util::VirtualClock::Mode::AutoAdvance)
        : inner(mode)
    {
    }
    std::function<void(Duration)> onSleep;
    util::VirtualClock inner;

    SteadyTime steadyNow() const override { return inner.steadyNow(); }
    WallTime wallNow() const override { return inner.wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop = {}) override
    {
        if (onSleep)
            onSleep(d);
        return inner.sleepFor(d, stop);
    }
};

} // namespace omnar::test
