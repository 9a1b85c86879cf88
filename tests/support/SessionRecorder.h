#pragma once

#include "core/link/LinkSession.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace omnar::test {

// Records every event in arrival order and lets a test wait for one.
class Recorder final : public link::LinkSession::Events {
public:
    void info(const std::string& en, const std::string&) override { push("info:" + en); }
    void portOutOfRange() override { push("port-range"); }
    void connectEnded(bool ok) override { push(ok ? "connected" : "not-connected"); }
    void statusReply(const link::Frame& r) override
    {
        std::lock_guard lock(m_mutex);
        m_last = r;
        ++m_replies;
        m_log.push_back("status");
        m_changed.notify_all();
    }
    void commandStarted() override { push("cmd-start"); }
    void commandFinished() override { push("cmd-end"); }
    void linkLost(const std::string& reason) override { push("lost:" + reason); }

    bool waitFor(const std::string& event, std::chrono::milliseconds timeout = std::chrono::seconds{15})
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            return std::find(m_log.begin(), m_log.end(), event) != m_log.end();
        });
    }
    // Waits for an event that starts with `prefix`; returns it, or "" on timeout.
    std::string waitForPrefix(const std::string& prefix, std::chrono::milliseconds timeout = std::chrono::seconds{15})
    {
        std::unique_lock lock(m_mutex);
        std::string found;
        m_changed.wait_for(lock, timeout, [&] {
            for (auto& e : m_log)
                if (e.rfind(prefix, 0) == 0) {
                    found = e;
                    return true;
                }
            return false;
        });
        return found;
    }
    // Waits for a status reply that satisfies `pred`.
    template <class Pred>
    bool waitForStatus(Pred pred, std::chrono::milliseconds timeout = std::chrono::seconds{15})
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] { return m_replies > 0 && pred(m_last); });
    }
    std::vector<std::string> infos() const
    {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> out;
        for (auto& e : m_log)
            if (e.rfind("info:", 0) == 0)
                out.push_back(e.substr(5));
        return out;
    }
    std::vector<std::string> log() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_log.clear();
        m_replies = 0;
    }

private:
    void push(std::string e)
    {
        std::lock_guard lock(m_mutex);
        m_log.push_back(std::move(e));
        m_changed.notify_all();
    }
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_log;
    link::Frame m_last{};
    int m_replies = 0;
};

} // namespace omnar::test
