#pragma once

// A loopback TCP client for the simulator's tests, bounded by real-time
// deadlines (never pauses).

#include "core/link/Frame.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace omnar::sim::simtest {

using link::Frame;
using namespace std::chrono_literals;

// Real-time bound for anything the server does; a deadline, never a pause.
inline constexpr auto kDeadline = 5000ms;

class Fd {
public:
    explicit Fd(int fd = -1)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

inline int connectTo(std::uint16_t port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    // Back-to-back frames must not wait for delayed acknowledgements.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

inline bool writeBytes(int fd, const std::uint8_t* data, std::size_t n)
{
    return ::write(fd, data, n) == static_cast<ssize_t>(n);
}

inline bool writeFrame(int fd, const Frame& f)
{
    return writeBytes(fd, f.data(), f.size());
}

// Reads until `n` bytes arrived, the peer hung up, or the deadline passed; returns what came.
inline std::vector<std::uint8_t> readUpTo(int fd, std::size_t n, std::chrono::milliseconds deadline = kDeadline)
{
    std::vector<std::uint8_t> out;
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left <= 0ms)
            break;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        std::uint8_t buf[64];
        const ssize_t got = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
        if (got <= 0)
            break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

inline std::optional<Frame> readFrame(int fd)
{
    const auto bytes = readUpTo(fd, link::kFrameSize);
    if (bytes.size() != link::kFrameSize)
        return std::nullopt;
    Frame f{};
    std::copy(bytes.begin(), bytes.end(), f.begin());
    return f;
}

} // namespace omnar::sim::simtest
