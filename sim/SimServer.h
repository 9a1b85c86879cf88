#pragma once

#include "core/link/Frame.h"
#include "core/link/Trace.h"
#include "core/util/Clock.h"
#include "sim/DeviceState.h"
#include "sim/FrameAssembler.h"
#include "sim/SimDevice.h"
#include "sim/SimOptions.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace omnar::sim {

// Serves a SimDevice over a loopback TCP port and/or a pseudo-terminal, on one
// thread of its own, with switchable faults for tests. Every public function
// is thread-safe.
class SimServer {
public:
    // Reply delays and fragment gaps sleep on `clock`, and received frames are
    // stamped with its steady time; a VirtualClock makes them instant or steppable.
    explicit SimServer(SimOptions opts, util::Clock& clock = util::RealClock::instance());
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Call before start(). Port 0 picks a free one. The host is an IPv4 address or name.
    bool listenTcp(const std::string& host, std::uint16_t port);
    std::uint16_t tcpPort() const;
    // Call before start(). With `linkPath`, a symlink to the slave is made there
    // (a stale symlink is replaced; any other file is left alone and refused).
    bool openPty(const std::string& linkPath = {});
    std::string ptyPath() const;
    std::string linkPath() const;
    // Why the last listenTcp() or openPty() failed.
    std::string lastError() const;

    void start();
    void stop();

    // Fault switches, any time.
    void setSplit(std::vector<std::size_t> fragmentSizes,
                  std::chrono::milliseconds gap = std::chrono::milliseconds{30});
    void setDropRate(double share, unsigned seed = 1);
    // Spoils the listed bytes of a `share` of the replies (after the answer id
    // is applied; the checksum is left as it was, so it no longer matches).
    void setCorrupt(std::vector<Corruption> bytes, double share = 1.0);
    void setAnswerId(std::optional<std::uint8_t> id);
    void setReplyDelay(std::chrono::milliseconds d);
    // How long the device stays deaf after its output resolution changed.
    void setRelock(std::chrono::milliseconds d);
    // TCP: hang up as soon as the current client has sent this many frames
    // (counting from its first), without answering the last; once.
    void setCloseAfter(std::optional<std::size_t> frames);
    void closeClient();
    void setSilent(bool silent);

    // The world outside the device, any time.
    void setSignal(int sourceCode, bool present);
    void setExtSubSource(int index);
    void setStateValid(bool valid);

    // Observation.
    std::size_t framesReceived() const;
    bool waitForFrames(std::size_t n, std::chrono::milliseconds realTimeout) const;
    struct Received {
        link::Frame frame;
        std::chrono::steady_clock::time_point lastByteAt;
    };
    std::vector<Received> received() const;
    std::size_t repliesSent() const;
    DeviceState state() const;
    bool hasClient() const;
    void setTrace(bool on);

private:
    enum class Channel { Tcp, Pty };

    void run(std::stop_token st);
    void acceptClient();
    void readFrom(Channel ch, std::stop_token st);
    void onFrame(Channel ch, const link::Frame& f, util::Clock::SteadyTime at, std::stop_token st);
    void sendReply(Channel ch, link::Frame reply, std::stop_token st);
    bool writeAll(Channel ch, const std::uint8_t* data, std::size_t n);
    bool fail(std::string message);
    void dropClientLocked();
    void wake();
    void trace(link::Direction dir, const std::uint8_t* data, std::size_t n) const;
    void removeLink();

    util::Clock& m_clock;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_frameArrived;

    SimDevice m_device;
    SimOptions m_opts; // the fault switches live here
    std::mt19937 m_rng;

    int m_listenFd = -1;
    int m_clientFd = -1;
    std::size_t m_clientFrames = 0;
    int m_ptyMaster = -1;
    int m_ptySlaveKeep = -1; // held so the master never sees a hang-up
    std::string m_ptyPath;
    std::string m_linkPath;
    std::string m_lastError;
    std::atomic<bool> m_trace{true};
    int m_wakePipe[2] = {-1, -1};

    FrameAssembler m_tcpFrames;
    FrameAssembler m_ptyFrames;

    std::optional<util::Clock::SteadyTime> m_deafUntil; // re-locking after a resolution change
    std::vector<Received> m_received;
    std::size_t m_repliesSent = 0;

    std::jthread m_thread;
};

} // namespace omnar::sim
