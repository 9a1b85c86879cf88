#pragma once

#include "core/link/Catalogue.h"
#include "core/link/ConnectTarget.h"
#include "core/link/Frame.h"
#include "core/link/Link.h"
#include "core/link/LinkTexts.h"
#include "core/util/Clock.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace omnar::link {

// The panel's side of the link: the connect sequence, the pending-command
// slot, the command worker and the status poller, and what happens when the
// link goes away by itself (reported once; with auto-reconnect, connected
// again with a growing pause between tries). Everything that waits runs on
// threads of its own; the calls below return at once (disconnect() and the
// destructor join threads whose every wait ends on their stop request).
class LinkSession {
public:
    // What the session reports. Called on the session's threads: an
    // implementation hands each call over to the GUI thread, in order.
    class Events {
    public:
        virtual ~Events() = default;
        // A text for the Info line.
        virtual void info(const std::string& en, const std::string& zh) = 0;
        // The port edit holds a port outside 0..65535; the open fails.
        virtual void portOutOfRange() = 0;
        // The connect sequence ended (the progress window closes). When
        // `connected`, the command worker and the status poller run from now on.
        virtual void connectEnded(bool connected) = 0;
        // A status reply with byte 0 = 0x05, to be decoded.
        virtual void statusReply(const Frame& reply) = 0;
        // A slot command goes out now / its status query is done.
        virtual void commandStarted() = 0;
        virtual void commandFinished() = 0;
        // The link went away by itself (the peer hung up, the device was
        // unplugged). Raised once per connection, after the workers stopped
        // and the transport was closed: the session is disconnected. With
        // auto-reconnect the tries follow, each reported as a connect
        // sequence (info texts, connectEnded) without a please-wait window.
        virtual void linkLost(const std::string& reason) = 0;
    };

    // Opens the transport of a target; tests replace it to inject faults.
    using TransportOpener = std::function<std::unique_ptr<Transport>(const ConnectTarget&, std::stop_token)>;

    static constexpr int kPollPeriodMs = 1000;

    explicit LinkSession(Events& events, util::Clock& clock = util::RealClock::instance());
    ~LinkSession();
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    void setTransportOpener(TransportOpener opener);

    // Starts the connect sequence on its own thread. False when a sequence
    // is already running or the link is up. Tries to get a lost link back
    // give way to it; a try cut short reports nothing. `starting` runs once
    // those have ended, just before the new sequence starts (what waits for
    // this connect's end is armed there, out of reach of the tries' reports).
    bool connect(const ConnectTarget& target, const std::function<void()>& starting = {});
    // Stops every link thread, closes the transport.
    void disconnect();
    // Stops the command worker and the status poller but keeps the transport
    // open, for a dialog that then owns the link until it calls disconnect().
    void stopWorkers();

    // After a lost link, connect again by itself (AutoConnect). Turning it
    // off ends the tries.
    void setAutoReconnect(bool on);
    bool reconnecting() const { return m_reconnecting.load(); }

    // Puts a command in the pending-command slot; one still waiting there is
    // replaced (the last one wins), also while the worker waits for the link
    // lock. A command the worker has taken (it holds the lock) is not.
    void submit(const cmd::Command& command);
    // Holds the command worker and the status poller between transactions,
    // while a dialog talks to the device.
    void pause();
    void resume();

    bool connected() const { return m_connected.load(); }
    bool connecting() const { return m_connecting.load(); }
    std::uint8_t deviceId() const { return m_deviceId.load(); }
    // The id the status queries carry from now on (the operator picked another).
    void setDeviceId(std::uint8_t id) { m_deviceId = id; }
    Link& link() { return m_link; }
    util::Clock& clock() const { return m_link.clock(); }

private:
    // One connect sequence (the connect thread); true when the device was identified.
    bool connectSequence(std::stop_token stop, const ConnectTarget& target);
    void runCommandWorker(std::stop_token stop);
    void runStatusPoller(std::stop_token stop);
    // A worker saw the transport lost; it holds no lock and ends after this.
    void noticeLoss(std::stop_token workerStop, const std::string& reason);
    // The loss thread: stops the workers, closes, reports, tries again.
    void runLoss(std::stop_token stop, std::string reason);
    void report(LinkTextId id);
    bool identify(std::uint8_t deviceId, std::stop_token stop);
    void startWorkers();
    // Waits while paused; false when stopped.
    bool waitWhilePaused(std::stop_token stop);
    void joinAll();

    Events& m_events;
    Link m_link;
    TransportOpener m_opener;

    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_connecting{false};
    std::atomic<bool> m_autoReconnect{false};
    std::atomic<bool> m_reconnecting{false};
    std::atomic<std::uint8_t> m_deviceId{1};

    // The pending-command slot and the pause flag.
    std::mutex m_slotMutex;
    std::condition_variable_any m_slotChanged;
    cmd::Command m_slot;
    bool m_pending = false;
    bool m_paused = false;

    // Guards the thread objects (the connect thread starts the workers, a
    // worker that sees the link lost starts the loss thread in the connect
    // thread's place) and the three members below.
    std::mutex m_threadsMutex;
    ConnectTarget m_target;  // of the last Connect, for the tries after a loss
    bool m_closing = false;  // Disconnect or Exit under way: nothing new starts
    bool m_lossSeen = false; // this connection's loss is being handled
    std::jthread m_connectThread;
    std::jthread m_commandWorker;
    std::jthread m_statusPoller;
};

// The transport a target names, opened (and for serial configured), or none.
std::unique_ptr<Transport> openTransport(const ConnectTarget& target, std::stop_token stop);

} // namespace omnar::link
