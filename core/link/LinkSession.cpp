#include "core/link/LinkSession.h"

#include "core/link/CSerialPort.h"
#include "core/link/Identify.h"
#include "core/link/LinkTexts.h"
#include "core/link/ReconnectBackoff.h"
#include "core/link/TcpTransport.h"
#include "core/util/Console.h"

namespace omnar::link {

using std::chrono::milliseconds;

std::unique_ptr<Transport> openTransport(const ConnectTarget& target, std::stop_token stop)
{
    if (target.serial) {
        auto port = std::make_unique<CSerialPort>();
        if (port->open(devicePathForPort(target.comPortName)) && port->configure())
            return port;
        return nullptr;
    }
    auto tcp = std::make_unique<TcpTransport>();
    if (target.portInRange && tcp->open(target.address, target.port, stop))
        return tcp;
    return nullptr;
}

LinkSession::LinkSession(Events& events, util::Clock& clock)
    : m_events(events)
    , m_link(clock)
    , m_opener(openTransport)
{
}

LinkSession::~LinkSession()
{
    joinAll();
}

void LinkSession::setTransportOpener(TransportOpener opener)
{
    m_opener = std::move(opener);
}

bool LinkSession::connect(const ConnectTarget& target, const std::function<void()>& starting)
{
    std::jthread previous;
    {
        std::lock_guard threads(m_threadsMutex);
        if (m_connected || (m_connecting && !m_reconnecting))
            return false;
        // A sequence that ended (failed) earlier has nothing left to do; tries
        // to get a lost link back give way to the operator's own Connect.
        previous = std::move(m_connectThread);
    }
    previous.request_stop();
    if (previous.joinable())
        previous.join();

    std::lock_guard threads(m_threadsMutex);
    // The last automatic try may have got through meanwhile.
    if (m_connected || m_connecting || m_connectThread.joinable())
        return false;
    {
        std::lock_guard slot(m_slotMutex);
        m_pending = false;
        m_paused = false;
    }
    m_closing = false;
    m_connecting = true;
    m_deviceId = target.deviceId;
    m_target = target;
    if (starting)
        starting();
    m_connectThread = std::jthread([this, target](std::stop_token st) { connectSequence(st, target); });
    return true;
}

bool LinkSession::connectSequence(std::stop_token stop, const ConnectTarget& target)
{
    bool identified = false;
    {
        std::lock_guard lock(m_link.lock());
        if (!target.serial && !target.portInRange)
            m_events.portOutOfRange();
        auto transport = m_opener(target, stop);
        const bool opened = transport != nullptr;
        if (target.serial) {
            report(opened ? LinkTextId::OpenComOk : LinkTextId::OpenComFail);
            // The device path goes last, so the operator sees which port was meant.
            const auto path = devicePathForPort(target.comPortName);
            m_events.info(path, path);
        } else {
            report(opened ? LinkTextId::OpenNetOk : LinkTextId::OpenNetFail);
        }
        if (!opened) {
            m_connected = false;
            m_connecting = false;
            if (!stop.stop_requested())
                m_events.connectEnded(false);
            return false;
        }
        m_link.setTransport(std::move(transport));

        identified = identify(target.deviceId, stop);
        if (!identified)
            m_link.closeTransport();
    }
    if (!identified) {
        m_connecting = false;
        // A try cut short (the operator's Connect or Disconnect, the end of
        // the tries) did not fail: whoever stopped it says what happens next.
        if (stop.stop_requested())
            return false;
        m_events.connectEnded(false);
        report(LinkTextId::DeviceFailed);
        return false;
    }
    report(LinkTextId::DeviceNormal);
    m_connected = true;
    m_connecting = false;
    m_events.connectEnded(true);
    startWorkers();
    return true;
}

void LinkSession::report(LinkTextId id)
{
    const auto text = linkText(id);
    m_events.info(std::string(text.en), std::string(text.zh));
}

bool LinkSession::identify(std::uint8_t deviceId, std::stop_token stop)
{
    return identifyDevice(m_link, deviceId, stop);
}

void LinkSession::startWorkers()
{
    // Keys pressed since connectEnded() are kept in the slot for the worker.
    // Under the same lock as Disconnect's stop, so no worker starts after it.
    std::lock_guard threads(m_threadsMutex);
    if (m_closing)
        return;
    m_lossSeen = false;
    m_commandWorker = std::jthread([this](std::stop_token st) { runCommandWorker(st); });
    m_statusPoller = std::jthread([this](std::stop_token st) { runStatusPoller(st); });
}

void LinkSession::setAutoReconnect(bool on)
{
    m_autoReconnect = on;
    if (on)
        return;
    // Ends a pause between tries at once; a try under way ends early. The
    // thread is joined by the next Connect or Disconnect.
    std::lock_guard threads(m_threadsMutex);
    if (m_reconnecting)
        m_connectThread.request_stop();
}

void LinkSession::submit(const cmd::Command& command)
{
    {
        std::lock_guard slot(m_slotMutex);
        m_slot = command;
        m_pending = true;
    }
    m_slotChanged.notify_all();
}

void LinkSession::pause()
{
    std::lock_guard slot(m_slotMutex);
    m_paused = true;
}

void LinkSession::resume()
{
    {
        std::lock_guard slot(m_slotMutex);
        m_paused = false;
    }
    m_slotChanged.notify_all();
}

bool LinkSession::waitWhilePaused(std::stop_token stop)
{
    std::unique_lock slot(m_slotMutex);
    return m_slotChanged.wait(slot, stop, [this] { return !m_paused; });
}

void LinkSession::runCommandWorker(std::stop_token stop)
{
    for (;;) {
        {
            std::unique_lock slot(m_slotMutex);
            if (!m_slotChanged.wait(slot, stop, [this] { return m_pending && !m_paused; }))
                return;
        }
        std::unique_lock lock(m_link.lock());
        if (stop.stop_requested())
            return;
        cmd::Command command;
        {
            // Taken only now that the link is ours: a key pressed while we
            // waited for the lock replaces the one that woke us (the last one
            // wins), while a key pressed from here on stays pending and goes
            // out next. A pause that came meanwhile holds us off again.
            std::lock_guard slot(m_slotMutex);
            if (!m_pending || m_paused)
                continue;
            command = m_slot;
            m_pending = false;
        }
        m_events.commandStarted();
        m_link.SendCommand(&command.frame, command.delayMs, stop);
        if (!stop.stop_requested()) {
            const Frame query = cmd::statusQuery(m_deviceId);
            Frame reply{};
            if (m_link.QueryCommand(&query, &reply, cmd::kStatusAfterCommandTimeoutMs, stop) == 13
                && reply[0] == kLeadByte)
                m_events.statusReply(reply);
        }
        m_events.commandFinished();
        const std::string lost = m_link.lostReason();
        lock.unlock();
        if (!lost.empty()) {
            noticeLoss(stop, lost);
            return;
        }
    }
}

void LinkSession::runStatusPoller(std::stop_token stop)
{
    while (waitWhilePaused(stop)) {
        std::string lost;
        {
            std::lock_guard lock(m_link.lock());
            const Frame query = cmd::statusQuery(m_deviceId);
            Frame reply{};
            if (m_link.QueryCommand(&query, &reply, cmd::kStatusPollTimeoutMs, stop) == 13
                && reply[0] == kLeadByte)
                m_events.statusReply(reply);
            lost = m_link.lostReason();
        }
        if (!lost.empty()) {
            noticeLoss(stop, lost);
            return;
        }
        if (!m_link.clock().sleepFor(milliseconds(kPollPeriodMs), stop))
            return;
    }
}

void LinkSession::noticeLoss(std::stop_token workerStop, const std::string& reason)
{
    std::jthread finished;
    {
        std::lock_guard threads(m_threadsMutex);
        // Disconnect, Exit or a dialog taking the link are stopping us anyway;
        // and the other worker may have seen it first.
        if (m_closing || workerStop.stop_requested() || m_lossSeen)
            return;
        m_lossSeen = true;
        // The other worker may sit in a long device pause: end it now.
        m_commandWorker.request_stop();
        m_statusPoller.request_stop();
        // The thread that started this connection (a connect sequence, or
        // the tries after an earlier loss) has started the workers last.
        finished = std::move(m_connectThread);
    }
    if (finished.joinable())
        finished.join();
    std::lock_guard threads(m_threadsMutex);
    if (m_closing)
        return;
    // The loss thread takes the connect thread's place, where Connect and
    // Disconnect find it.
    m_reconnecting = true;
    m_connectThread = std::jthread([this, reason](std::stop_token st) { runLoss(st, reason); });
}

void LinkSession::runLoss(std::stop_token stop, std::string reason)
{
    std::jthread worker, poller;
    {
        std::lock_guard threads(m_threadsMutex);
        worker = std::move(m_commandWorker);
        poller = std::move(m_statusPoller);
    }
    worker = {};
    poller = {};
    {
        std::lock_guard lock(m_link.lock());
        m_link.closeTransport();
    }
    {
        // Keys meant for the device that went away are not sent to the next one.
        std::lock_guard slot(m_slotMutex);
        m_pending = false;
    }
    m_connected = false;
    bool closing;
    ConnectTarget target;
    {
        std::lock_guard threads(m_threadsMutex);
        closing = m_closing;
        target = m_target;
    }
    if (!closing) {
        util::consolePrint("Link lost: " + reason + "\n");
        report(m_autoReconnect ? LinkTextId::LinkLostReconnecting : LinkTextId::LinkLost);
        m_events.linkLost(reason);
    }
    ReconnectBackoff backoff;
    retryWithBackoff(
        m_link.clock(), backoff,
        [&] {
            target.deviceId = m_deviceId;
            m_connecting = true;
            return connectSequence(stop, target);
        },
        stop, [this] { return m_autoReconnect.load(); });
    m_reconnecting = false;
}

void LinkSession::stopWorkers()
{
    std::jthread worker, poller;
    {
        std::lock_guard threads(m_threadsMutex);
        worker = std::move(m_commandWorker);
        poller = std::move(m_statusPoller);
        // Both stop before either is joined: one may be waiting for the link
        // lock that the other holds through a long device pause. Under the
        // lock, so a worker that sees the link lost now leaves it alone.
        worker.request_stop();
        poller.request_stop();
    }
}

void LinkSession::joinAll()
{
    std::jthread connectThread;
    {
        std::lock_guard threads(m_threadsMutex);
        m_closing = true;
        connectThread = std::move(m_connectThread);
    }
    connectThread.request_stop();
    if (connectThread.joinable())
        connectThread.join(); // it may start the workers on its way out
    stopWorkers();
}

void LinkSession::disconnect()
{
    joinAll();
    {
        // The link's own threads are gone; the panel stops the plan runner
        // before it disconnects, so nobody holds the lock through a long pause.
        std::lock_guard lock(m_link.lock());
        m_link.closeTransport();
    }
    {
        std::lock_guard slot(m_slotMutex);
        m_pending = false;
        m_paused = false;
    }
    m_connected = false;
    m_connecting = false;
    m_reconnecting = false;
}

} // namespace omnar::link
