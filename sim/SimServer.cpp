#include "sim/SimServer.h"

#include "core/link/Trace.h"
#include "core/util/Console.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace omnar::sim {

using namespace std::chrono_literals;

namespace {

constexpr int kPollTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 1000;

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool makeRaw(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

std::string errnoText(int err)
{
    return std::strerror(err);
}

bool resolveIpv4(const std::string& host, in_addr& out)
{
    if (::inet_pton(AF_INET, host.c_str(), &out) == 1)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || res == nullptr)
        return false;
    out = reinterpret_cast<sockaddr_in*>(res->ai_addr)->sin_addr;
    ::freeaddrinfo(res);
    return true;
}

} // namespace

SimServer::SimServer(SimOptions opts, util::Clock& clock)
    : m_clock(clock)
    , m_device(opts)
    , m_opts(std::move(opts))
    , m_rng(m_opts.seed)
{
    m_trace = m_opts.trace;
    if (::pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        m_wakePipe[0] = m_wakePipe[1] = -1;
}

SimServer::~SimServer()
{
    stop();
    closeFd(m_clientFd);
    closeFd(m_listenFd);
    closeFd(m_ptyMaster);
    closeFd(m_ptySlaveKeep);
    closeFd(m_wakePipe[0]);
    closeFd(m_wakePipe[1]);
    removeLink();
}

bool SimServer::fail(std::string message)
{
    std::lock_guard lock(m_mutex);
    m_lastError = std::move(message);
    return false;
}

std::string SimServer::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool SimServer::listenTcp(const std::string& host, std::uint16_t port)
{
    in_addr addr{};
    if (!resolveIpv4(host, addr))
        return fail("cannot resolve " + host);
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail("socket: " + errnoText(errno));
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr = addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 4) != 0) {
        const int err = errno;
        ::close(fd);
        return fail(host + ":" + std::to_string(port) + ": " + errnoText(err));
    }
    std::lock_guard lock(m_mutex);
    closeFd(m_listenFd);
    m_listenFd = fd;
    return true;
}

std::uint16_t SimServer::tcpPort() const
{
    std::lock_guard lock(m_mutex);
    if (m_listenFd < 0)
        return 0;
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

bool SimServer::openPty(const std::string& linkPath)
{
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return fail("posix_openpt: " + errnoText(errno));
    char name[PATH_MAX] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
        const int err = errno;
        ::close(master);
        return fail("pseudo-terminal: " + errnoText(err));
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    // Raw on both sides, so no echo or line editing touches a frame before the
    // client has configured the port; and the slave stays open in here so the
    // master never sees a hang-up when a client closes it.
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0 || !makeRaw(slave) || !makeRaw(master) || !setNonBlocking(master)) {
        const int err = errno;
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return fail(std::string(name) + ": " + errnoText(err));
    }

    if (!linkPath.empty()) {
        struct stat st{};
        if (::lstat(linkPath.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                ::close(slave);
                ::close(master);
                return fail(linkPath + " exists and is not a symbolic link; not replacing it");
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(name, linkPath.c_str()) != 0) {
            const int err = errno;
            ::close(slave);
            ::close(master);
            return fail(linkPath + ": " + errnoText(err));
        }
    }

    std::lock_guard lock(m_mutex);
    closeFd(m_ptyMaster);
    closeFd(m_ptySlaveKeep);
    m_ptyMaster = master;
    m_ptySlaveKeep = slave;
    m_ptyPath = name;
    m_linkPath = linkPath;
    m_ptyFrames.reset();
    return true;
}

std::string SimServer::ptyPath() const
{
    std::lock_guard lock(m_mutex);
    return m_ptyPath;
}

std::string SimServer::linkPath() const
{
    std::lock_guard lock(m_mutex);
    return m_linkPath;
}

void SimServer::removeLink()
{
    if (m_linkPath.empty())
        return;
    // Only our own link: someone may have pointed the path elsewhere meanwhile.
    char target[PATH_MAX] = {};
    const ssize_t n = ::readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == m_ptyPath)
        ::unlink(m_linkPath.c_str());
    m_linkPath.clear();
}

void SimServer::start()
{
    if (m_thread.joinable())
        return;
    m_thread = std::jthread([this](std::stop_token st) { run(st); });
}

void SimServer::stop()
{
    if (!m_thread.joinable())
        return;
    m_thread.request_stop();
    wake();
    m_thread.join();
    m_thread = std::jthread();
}

void SimServer::wake()
{
    if (m_wakePipe[1] >= 0) {
        const std::uint8_t b = 1;
        [[maybe_unused]] auto n = ::write(m_wakePipe[1], &b, 1);
    }
}

void SimServer::setSplit(std::vector<std::size_t> fragmentSizes, std::chrono::milliseconds gap)
{
    std::lock_guard lock(m_mutex);
    m_opts.split = std::move(fragmentSizes);
    m_opts.splitGap = gap;
}

void SimServer::setDropRate(double share, unsigned seed)
{
    std::lock_guard lock(m_mutex);
    m_opts.dropRate = std::clamp(share, 0.0, 1.0);
    m_rng.seed(seed);
}

void SimServer::setCorrupt(std::vector<Corruption> bytes, double share)
{
    std::lock_guard lock(m_mutex);
    m_opts.corrupt = std::move(bytes);
    m_opts.corruptShare = std::clamp(share, 0.0, 1.0);
}

void SimServer::setAnswerId(std::optional<std::uint8_t> id)
{
    std::lock_guard lock(m_mutex);
    m_opts.answerId = id;
}

void SimServer::setReplyDelay(std::chrono::milliseconds d)
{
    std::lock_guard lock(m_mutex);
    m_opts.replyDelay = d;
}

void SimServer::setCloseAfter(std::optional<std::size_t> frames)
{
    std::lock_guard lock(m_mutex);
    m_opts.closeAfter = frames;
}

void SimServer::closeClient()
{
    std::lock_guard lock(m_mutex);
    // The server thread owns the descriptor; shutting it down makes that
    // thread see the end of the stream and close it.
    if (m_clientFd >= 0)
        ::shutdown(m_clientFd, SHUT_RDWR);
}

void SimServer::setRelock(std::chrono::milliseconds d)
{
    std::lock_guard lock(m_mutex);
    m_opts.relock = d;
}

void SimServer::setSilent(bool silent)
{
    std::lock_guard lock(m_mutex);
    m_opts.silent = silent;
}

void SimServer::setSignal(int sourceCode, bool present)
{
    std::lock_guard lock(m_mutex);
    m_device.setSignal(sourceCode, present);
}

void SimServer::setExtSubSource(int index)
{
    std::lock_guard lock(m_mutex);
    m_device.setExtSubSource(index);
}

void SimServer::setStateValid(bool valid)
{
    std::lock_guard lock(m_mutex);
    m_device.setStateValid(valid);
}

std::size_t SimServer::framesReceived() const
{
    std::lock_guard lock(m_mutex);
    return m_received.size();
}

bool SimServer::waitForFrames(std::size_t n, std::chrono::milliseconds realTimeout) const
{
    std::unique_lock lock(m_mutex);
    return m_frameArrived.wait_for(lock, realTimeout, [&] { return m_received.size() >= n; });
}

std::vector<SimServer::Received> SimServer::received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

std::size_t SimServer::repliesSent() const
{
    std::lock_guard lock(m_mutex);
    return m_repliesSent;
}

DeviceState SimServer::state() const
{
    std::lock_guard lock(m_mutex);
    return m_device.state();
}

bool SimServer::hasClient() const
{
    std::lock_guard lock(m_mutex);
    return m_clientFd >= 0;
}

void SimServer::setTrace(bool on)
{
    m_trace = on;
}

void SimServer::trace(link::Direction dir, const std::uint8_t* data, std::size_t n) const
{
    if (m_trace)
        util::consolePrint(link::traceLine(m_clock.wallNow(), dir, data, n));
}

void SimServer::run(std::stop_token st)
{
    while (!st.stop_requested()) {
        pollfd fds[3];
        nfds_t count = 0;
        int wakeAt = -1, netAt = -1, ptyAt = -1;
        if (m_wakePipe[0] >= 0) {
            wakeAt = static_cast<int>(count);
            fds[count++] = {m_wakePipe[0], POLLIN, 0};
        }
        // One client at a time: while one is served, others wait in the backlog.
        const int netFd = m_clientFd >= 0 ? m_clientFd : m_listenFd;
        if (netFd >= 0) {
            netAt = static_cast<int>(count);
            fds[count++] = {netFd, POLLIN, 0};
        }
        if (m_ptyMaster >= 0) {
            ptyAt = static_cast<int>(count);
            fds[count++] = {m_ptyMaster, POLLIN, 0};
        }
        const int ready = ::poll(fds, count, kPollTimeoutMs);
        if (ready <= 0)
            continue;
        if (wakeAt >= 0 && fds[wakeAt].revents) {
            std::uint8_t drain[64];
            while (::read(m_wakePipe[0], drain, sizeof drain) > 0) {
            }
        }
        if (netAt >= 0 && fds[netAt].revents) {
            if (m_clientFd >= 0)
                readFrom(Channel::Tcp, st);
            else
                acceptClient();
        }
        if (ptyAt >= 0 && fds[ptyAt].revents)
            readFrom(Channel::Pty, st);
    }
}

void SimServer::acceptClient()
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // Fragments of a split reply must leave as separate segments.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::lock_guard lock(m_mutex);
    m_clientFd = fd;
    m_clientFrames = 0;
    m_tcpFrames.reset();
}

void SimServer::dropClientLocked()
{
    closeFd(m_clientFd);
}

void SimServer::readFrom(Channel ch, std::stop_token st)
{
    const int fd = ch == Channel::Tcp ? m_clientFd : m_ptyMaster;
    std::uint8_t buf[512];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) {
        const bool retry = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
        if (ch == Channel::Tcp && !retry) {
            std::lock_guard lock(m_mutex);
            dropClientLocked();
        }
        return;
    }
    const auto at = m_clock.steadyNow();
    auto& assembler = ch == Channel::Tcp ? m_tcpFrames : m_ptyFrames;
    assembler.feed(
        buf, static_cast<std::size_t>(n), [&](const link::Frame& f) { onFrame(ch, f, at, st); },
        [&](const std::vector<std::uint8_t>& junk) { trace(link::Direction::In, junk.data(), junk.size()); });
}

void SimServer::onFrame(Channel ch, const link::Frame& f, util::Clock::SteadyTime at, std::stop_token st)
{
    std::optional<link::Frame> reply;
    std::chrono::milliseconds delay{};
    {
        std::lock_guard lock(m_mutex);
        // Frames still buffered from a client that was just dropped are not served.
        if (ch == Channel::Tcp && m_clientFd < 0)
            return;
        trace(link::Direction::In, f.data(), f.size());
        m_received.push_back({f, at});
        m_frameArrived.notify_all();
        if (ch == Channel::Tcp) {
            ++m_clientFrames;
            if (m_opts.closeAfter && m_clientFrames >= *m_opts.closeAfter) {
                m_opts.closeAfter.reset();
                dropClientLocked();
                return;
            }
        }
        // Re-locking its output, the device takes in nothing, commands included.
        if (m_deafUntil && at < *m_deafUntil)
            return;
        const auto& state = m_device.state();
        const auto modeBefore = std::pair(state.resolutionIndex, state.custom);
        reply = m_device.handle(f);
        if (m_opts.relock > 0ms && std::pair(state.resolutionIndex, state.custom) != modeBefore)
            m_deafUntil = at + m_opts.relock;
        if (!reply || m_opts.silent)
            return;
        std::uniform_real_distribution<double> share(0.0, 1.0);
        if (m_opts.dropRate > 0.0 && share(m_rng) < m_opts.dropRate)
            return;
        if (m_opts.answerId) {
            (*reply)[1] = *m_opts.answerId;
            *reply = link::withChecksum(*reply);
        }
        if (!m_opts.corrupt.empty() && (m_opts.corruptShare >= 1.0 || share(m_rng) < m_opts.corruptShare)) {
            for (const auto& c : m_opts.corrupt)
                if (c.index < reply->size())
                    (*reply)[c.index] = c.value ? *c.value : static_cast<std::uint8_t>(~(*reply)[c.index]);
        }
        delay = m_opts.replyDelay;
    }
    if (delay > 0ms && !m_clock.sleepFor(delay, st))
        return;
    sendReply(ch, *reply, st);
}

void SimServer::sendReply(Channel ch, link::Frame reply, std::stop_token st)
{
    std::vector<std::size_t> split;
    std::chrono::milliseconds gap{};
    {
        std::lock_guard lock(m_mutex);
        split = m_opts.split;
        gap = m_opts.splitGap;
    }
    if (split.empty())
        split.push_back(reply.size());
    std::size_t done = 0;
    for (std::size_t i = 0; done < reply.size(); ++i) {
        // Sizes beyond the list: the rest goes in one piece.
        const std::size_t want = i < split.size() ? std::max<std::size_t>(split[i], 1) : reply.size() - done;
        const std::size_t len = std::min(want, reply.size() - done);
        if (!writeAll(ch, reply.data() + done, len))
            return;
        trace(link::Direction::Out, reply.data() + done, len);
        done += len;
        if (done < reply.size() && gap > 0ms && !m_clock.sleepFor(gap, st))
            return;
    }
    std::lock_guard lock(m_mutex);
    ++m_repliesSent;
}

bool SimServer::writeAll(Channel ch, const std::uint8_t* data, std::size_t n)
{
    const int fd = ch == Channel::Tcp ? m_clientFd : m_ptyMaster;
    if (fd < 0)
        return false;
    while (n > 0) {
        const ssize_t w = ch == Channel::Tcp ? ::send(fd, data, n, MSG_NOSIGNAL) : ::write(fd, data, n);
        if (w > 0) {
            data += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR)
            continue;
        // A pseudo-terminal nobody reads fills up; its replies are lost, as on
        // a cable with nothing attached. A slow socket gets a bounded wait.
        if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ch == Channel::Tcp) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, kWriteTimeoutMs) > 0)
                continue;
        }
        return false;
    }
    return true;
}

} // namespace omnar::sim
