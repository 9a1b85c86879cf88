#include "core/link/CSerialPort.h"

#include "core/link/Trace.h"
#include "core/util/Console.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace omnar::link {

namespace {

void printFailure(const char* what, int err)
{
    util::consolePrint(what);
    util::consolePrint(util::errorLine(err));
}

// Errors with which a tty says its device is no more.
bool isGoneError(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV;
}

} // namespace

CSerialPort::CSerialPort(util::Clock& clock)
    : m_clock(clock)
{
}

CSerialPort::~CSerialPort()
{
    close();
}

int CSerialPort::open(const std::string& devicePath)
{
    close();
    clearLost();
    // Non-blocking for good: a port without carrier must not hang the open,
    // and a write that cannot go out must not hang the link (see write()).
    int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        printFailure("CreateFile Error\n", errno);
        return 0;
    }
    // Not shared: a second opener gets EBUSY.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        ::close(fd);
        printFailure("CreateFile Error\n", err);
        return 0;
    }
    m_fd = fd;
    return 1;
}

int CSerialPort::configure()
{
    termios tio{};
    m_ready = m_fd >= 0 && ::tcgetattr(m_fd, &tio) == 0;
    if (!m_ready) {
        printFailure("GetCommState Error\n", m_fd >= 0 ? errno : EBADF);
        close();
        return 0;
    }
    // Raw bytes (no echo, no line editing, no character translation), 8N1 at
    // 9600 baud; receiver on and modem lines ignored so a three-wire cable
    // works. No flow control either: with RTS/CTS left on by an earlier user
    // and no CTS wire, or an XOFF byte in a reply, writes would stop for good.
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    // Reads never block: the caller asks how many bytes wait before reading.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    m_ready = ::tcsetattr(m_fd, TCSANOW, &tio) == 0;
    if (!m_ready) {
        printFailure("SetCommState Error\n", errno);
        close();
        return 0;
    }
    // Bytes left in the line by an earlier session are no reply to anything we send.
    ::tcflush(m_fd, TCIOFLUSH);
    return 1;
}

int CSerialPort::write(const Frame& frame, std::stop_token stop)
{
    if (!isOpen())
        return 0;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(kWriteTimeoutMs);
    std::size_t done = 0;
    int failure = 0;
    while (done < frame.size()) {
        const ssize_t n = ::write(m_fd, frame.data() + done, frame.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The output queue is full. A pseudo-terminal reports itself
            // writable even then, so wait a fixed slice rather than for
            // POLLOUT; the wait still ends at once when the line hangs up.
            if (stop.stop_requested()) {
                failure = ECANCELED;
                break;
            }
            if (steady_clock::now() >= deadline) {
                failure = ETIMEDOUT;
                break;
            }
            pollfd p{m_fd, 0, 0};
            if (::poll(&p, 1, kWriteRetryMs) > 0 && hungUp())
                return 0;
            continue;
        }
        if (n < 0 && gone(errno))
            return 0;
        failure = n < 0 ? errno : EIO;
        break;
    }
    if (failure != 0) {
        // Half a frame left in the queue would run into the next one.
        if (done > 0 || failure == ETIMEDOUT || failure == ECANCELED)
            ::tcflush(m_fd, TCOFLUSH);
        // A stop request is the operator leaving, not a fault of the port.
        if (failure != ECANCELED)
            printFailure("WriteFile Error\n", failure);
        return 0;
    }
    printTrace(m_clock, Direction::Out, frame.data(), done);
    return static_cast<int>(done);
}

bool CSerialPort::hungUp()
{
    pollfd p{m_fd, POLLIN, 0};
    if (m_fd < 0 || ::poll(&p, 1, 0) <= 0 || !(p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return false;
    markLost("the serial device hung up");
    return true;
}

bool CSerialPort::gone(int err)
{
    if (!isGoneError(err))
        return false;
    // Whichever call notices it first, it is the same event for the operator.
    markLost(std::string("the serial device hung up (") + std::strerror(err) + ")");
    return true;
}

int CSerialPort::bytesWaiting() const
{
    int waiting = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

int CSerialPort::read13(std::uint8_t* buffer)
{
    return read(buffer, kFrameSize);
}

int CSerialPort::read(std::uint8_t* buffer, std::size_t max)
{
    if (!isOpen() || hungUp())
        return 0;
    const int waiting = bytesWaiting();
    if (waiting < 0 && gone(errno))
        return 0;
    if (waiting <= 0)
        return 0;
    const auto want = std::min({static_cast<std::size_t>(waiting), kFrameSize, max});
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, want);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || gone(errno))
            return 0;
        printFailure("ReadFile Error\n", errno);
        return 0;
    }
    if (n == 0)
        return 0;
    printTrace(m_clock, Direction::In, buffer, static_cast<std::size_t>(n));
    return static_cast<int>(n);
}

void CSerialPort::close()
{
    if (m_fd >= 0) {
        // Give up exclusive use first: on a pseudo-terminal whose other side
        // keeps the line open, the flag would otherwise outlive this open.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
    }
    m_fd = -1;
    m_ready = false;
}

std::string devicePathForPort(const std::string& portName)
{
    if (portName.find('/') != std::string::npos)
        return portName;
    // Windows port names are case-insensitive: COM3, com3.
    if (portName.size() > 3) {
        std::string prefix = portName.substr(0, 3);
        std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        const std::string digits = portName.substr(3);
        const bool numeric = digits.size() <= 4
            && std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); });
        if (prefix == "COM" && numeric) {
            const int n = std::stoi(digits);
            if (n >= 1)
                return "/dev/ttyS" + std::to_string(n - 1);
        }
    }
    return "/dev/" + portName;
}

} // namespace omnar::link
