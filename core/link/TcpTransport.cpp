#include "core/link/TcpTransport.h"

#include "core/util/Console.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace omnar::link {

TcpTransport::~TcpTransport()
{
    close();
}

int TcpTransport::open(std::uint32_t address, std::uint16_t port, std::stop_token stop, int timeoutMs)
{
    close();
    clearLost();
    if ((address >> 24) == 0)
        return 0;
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return 0;
    // Frames are tiny and paced by the device: send each at once.
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) {
        m_fd = fd;
        return 1;
    }
    if (errno != EINPROGRESS) {
        ::close(fd);
        return 0;
    }

    // Wait in short slices so a stop request (Disconnect, Exit) is noticed.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
    for (;;) {
        if (stop.stop_requested()) {
            ::close(fd);
            return 0;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
        if (left <= 0) {
            util::consolePrint("Connection timeout\n");
            ::close(fd);
            return 0;
        }
        pollfd p{fd, POLLOUT | POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 100)));
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            util::consolePrint("Unknown err in connect\n");
            ::close(fd);
            return 0;
        }
        if (r > 0)
            break;
    }
    // Writable with a pending error is a refused or unreachable peer: a failure.
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0 || err != 0) {
        ::close(fd);
        return 0;
    }
    m_fd = fd;
    return 1;
}

int TcpTransport::sendFrame(const Frame& frame, std::stop_token stop)
{
    if (!isOpen())
        return 0;
    // A short send would leave half a frame on the wire; finish it while the
    // socket accepts data, waiting in short slices when its buffer is full.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(kWriteTimeoutMs);
    std::size_t done = 0;
    while (done < frame.size()) {
        const ssize_t n = ::send(m_fd, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (stop.stop_requested() || steady_clock::now() >= deadline)
                break;
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 50);
            continue;
        }
        if (n < 0)
            fatal(errno);
        break;
    }
    return done == frame.size() ? static_cast<int>(done) : 0;
}

int TcpTransport::read(std::uint8_t* buffer, std::size_t max)
{
    if (!isOpen() || max == 0)
        return 0;
    ssize_t n;
    do {
        n = ::recv(m_fd, buffer, std::min(max, kFrameSize), 0);
    } while (n < 0 && errno == EINTR);
    if (n == 0)
        markLost("the peer closed the connection");
    else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        fatal(errno);
    return n > 0 ? static_cast<int>(n) : 0;
}

bool TcpTransport::fatal(int err)
{
    // Out of memory for a moment is no verdict on the peer.
    if (err == EAGAIN || err == EWOULDBLOCK || err == EINTR || err == ENOBUFS || err == ENOMEM)
        return false;
    markLost(std::strerror(err));
    return true;
}

void TcpTransport::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool parseIpv4(const std::string& text, std::uint32_t& address)
{
    in_addr a{};
    if (::inet_pton(AF_INET, text.c_str(), &a) != 1)
        return false;
    address = ntohl(a.s_addr);
    return true;
}

std::string formatIpv4(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "."
        + std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

} // namespace omnar::link
