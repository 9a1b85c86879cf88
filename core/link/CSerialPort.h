#pragma once

#include "core/link/Transport.h"
#include "core/util/Clock.h"

#include <string>

namespace omnar::link {

// An RS-232 port over termios: 9600 baud, 8N1, raw, no flow control. Every
// write and read prints a time-stamped hex trace line; failures print the
// console error lines. A port that hangs up or vanishes (a USB adapter
// pulled) is marked lost instead.
class CSerialPort final : public Transport {
public:
    // A healthy port writes a frame in 14 ms at 9600 baud; one that cannot
    // take 13 bytes in this time is stuck (nobody reads, or a handshake line
    // that never comes up).
    static constexpr int kWriteTimeoutMs = 2000;
    // How often a full output queue is tried again.
    static constexpr int kWriteRetryMs = 10;

    explicit CSerialPort(util::Clock& clock = util::RealClock::instance());
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the device for exclusive reading and writing. 1 on success.
    int open(const std::string& devicePath);
    // 9600 baud, 8 data bits, no parity, one stop bit, raw, hardware and
    // software flow control off; the port's other settings stay. A failure
    // closes the port. 1 on success.
    int configure();
    // Writes the 13 bytes, waiting at most kWriteTimeoutMs (less on a stop
    // request) for room; the count written (13) or 0. A write that times out
    // prints the error lines and drops what it left in the output queue.
    int write(const Frame& frame, std::stop_token stop = {});
    // Reads min(bytes waiting, 13) into `buffer` (13 bytes); 0 at once when nothing waits.
    int read13(std::uint8_t* buffer);

    int writeFrame(const Frame& frame) override { return write(frame); }
    int sendFrame(const Frame& frame, std::stop_token stop) override { return write(frame, stop); }
    int read(std::uint8_t* buffer, std::size_t max) override;
    bool isOpen() const override { return m_fd >= 0 && m_ready && !lost(); }
    void close() override;

    // Bytes waiting in the input queue, -1 when that cannot be asked.
    int bytesWaiting() const;

private:
    // Marks the port lost when it has hung up; true then.
    bool hungUp();
    // Marks the port lost when `err` says the device is gone; true then.
    bool gone(int err);

    util::Clock& m_clock;
    int m_fd = -1;
    bool m_ready = false;
};

// The device path of a port name: "COM3" → /dev/ttyS2, a name with a '/' is
// taken as a path, any other name (ttyUSB0) is looked for under /dev.
std::string devicePathForPort(const std::string& portName);

} // namespace omnar::link
