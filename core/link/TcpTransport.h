#pragma once

#include "core/link/Transport.h"

#include <cstdint>
#include <stop_token>
#include <string>

namespace omnar::link {

// The processor over TCP: a non-blocking IPv4 stream socket for its whole life.
class TcpTransport final : public Transport {
public:
    // How long a connection may take before it counts as failed.
    static constexpr int kConnectTimeoutMs = 3003;
    // How long a frame may wait for room in a full send buffer.
    static constexpr int kWriteTimeoutMs = 2000;

    TcpTransport() = default;
    ~TcpTransport() override;
    TcpTransport(const TcpTransport&) = delete;
    TcpTransport& operator=(const TcpTransport&) = delete;

    // Connects to `address` (IPv4, host byte order, first field most
    // significant) and `port`. A refused connection fails; one that has not
    // completed after the timeout fails with "Connection timeout" on the console.
    // A stop request ends the wait early as a failure. 0.x.x.x (a blank or
    // unreadable address) names no device and fails at once: the system
    // would take it for this machine. 1 on success.
    int open(std::uint32_t address, std::uint16_t port, std::stop_token stop = {},
             int timeoutMs = kConnectTimeoutMs);

    // Sends the whole frame, waiting at most kWriteTimeoutMs (less on a stop
    // request) for room; the count sent (13), or 0. A peer that reset the
    // connection marks the transport lost.
    int writeFrame(const Frame& frame) override { return sendFrame(frame, {}); }
    int sendFrame(const Frame& frame, std::stop_token stop) override;
    // One receive of what has arrived, at most `max` bytes; 0 when nothing was
    // there. The end of the stream (the peer hung up) marks the transport lost.
    int read(std::uint8_t* buffer, std::size_t max) override;
    bool isOpen() const override { return m_fd >= 0 && !lost(); }
    void close() override;

private:
    // Marks the transport lost for a socket error; false for a passing one.
    bool fatal(int err);

    int m_fd = -1;
};

// "192.168.1.10" → 0xC0A8010A; false when the text is not a dotted IPv4 address.
bool parseIpv4(const std::string& text, std::uint32_t& address);
std::string formatIpv4(std::uint32_t address);

} // namespace omnar::link
