#pragma once

#include "core/link/Transport.h"
#include "sim/SimDevice.h"
#include "sim/SimOptions.h"

#include <mutex>
#include <optional>
#include <vector>

namespace omnar::test {

// The virtual processor as a transport, in-process and without I/O: a frame
// written is handled at once and its reply waits for the next read. With a
// VirtualClock in auto-advance mode on the Link, device delays and reply
// waits cost no real time. Safe to inspect from the test thread while a job
// runs.
class SimTransport final : public link::Transport {
public:
    explicit SimTransport(sim::SimOptions options = {})
        : m_device(std::move(options))
    {
    }

    // A device that hears nothing: frames are recorded, never answered.
    void setSilent(bool silent)
    {
        std::lock_guard g(m_mutex);
        m_silent = silent;
    }

    // The world outside the device: which inputs carry a picture.
    void setSignal(int sourceCode, bool present)
    {
        std::lock_guard g(m_mutex);
        m_device.setSignal(sourceCode, present);
    }

    sim::DeviceState state() const
    {
        std::lock_guard g(m_mutex);
        return m_device.state();
    }
    std::vector<link::Frame> written() const
    {
        std::lock_guard g(m_mutex);
        return m_written;
    }
    void clearWritten()
    {
        std::lock_guard g(m_mutex);
        m_written.clear();
    }

    int writeFrame(const link::Frame& frame) override
    {
        std::lock_guard g(m_mutex);
        m_written.push_back(frame);
        if (!m_silent)
            m_reply = m_device.handle(frame);
        return 13;
    }
    int read(std::uint8_t* buffer, std::size_t max) override
    {
        std::lock_guard g(m_mutex);
        if (!m_reply || max < link::kFrameSize)
            return 0;
        std::copy(m_reply->begin(), m_reply->end(), buffer);
        m_reply.reset();
        return 13;
    }
    bool isOpen() const override { return true; }
    void close() override {}

private:
    mutable std::mutex m_mutex;
    sim::SimDevice m_device;
    std::optional<link::Frame> m_reply;
    std::vector<link::Frame> m_written;
    bool m_silent = false;
};

} // namespace omnar::test
