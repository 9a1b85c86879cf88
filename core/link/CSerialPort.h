#pragma once

#include "core/link/Transport.h"
#include "core/util/Clock.h"

#include <string>

namespace omnar::link {

// An RS-232 port over termios: 9600 baud, 8N1, raw. Every write and read
// prints a time-stamped hex trace line; failures print the console error lines.
class CSerialPort final : public Transport {
public:
    explicit CSerialPort(util::Clock& clock = util::RealClock::instance());
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the device for exclusive reading and writing. 1 on success.
    int open(const std::string& devicePath);
    // 9600 baud, 8 data bits, no parity, one stop bit, raw; the port's other
    // settings stay. A failure closes the port. 1 on success.
    int configure();
    // One synchronous write of 13 bytes; the count written or 0.
    int write(const Frame& frame);
    // Reads min(bytes waiting, 13) into `buffer` (13 bytes); 0 at once when nothing waits.
    int read13(std::uint8_t* buffer);

    int writeFrame(const Frame& frame) override { return write(frame); }
    int read(std::uint8_t* buffer, std::size_t max) override;
    bool isOpen() const override { return m_fd >= 0 && m_ready; }
    void close() override;

    // Bytes waiting in the input queue, -1 when that cannot be asked.
    int bytesWaiting() const;

private:
    util::Clock& m_clock;
    int m_fd = -1;
    bool m_ready = false;
};

// The device path of a port name: "COM3" → /dev/ttyS2, a name with a '/' is
// taken as a path, any other name (ttyUSB0) is looked for under /dev.
std::string devicePathForPort(const std::string& portName);

} // namespace omnar::link
