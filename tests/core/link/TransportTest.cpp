#include "core/link/CSerialPort.h"
#include "core/link/Catalogue.h"
#include "core/link/TcpTransport.h"
#include "core/util/Console.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <mutex>
#include <regex>
#include <thread>

using namespace omnar;
using namespace std::chrono_literals;

namespace {

// Collects what the program prints on the console for one test.
class ConsoleCapture {
public:
    ConsoleCapture()
    {
        m_previous = util::setConsoleSink([this](std::string_view s) {
            std::lock_guard lock(m_mutex);
            m_text += s;
        });
    }
    ~ConsoleCapture() { util::setConsoleSink(std::move(m_previous)); }
    std::string text() const
    {
        std::lock_guard lock(m_mutex);
        return m_text;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_text;
    util::ConsoleSink m_previous;
};

// A pseudo-terminal pair: the test plays the device on the master side.
struct Pty {
    int master = -1;
    std::string slavePath;
    Pty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ::grantpt(master);
        ::unlockpt(master);
        slavePath = ::ptsname(master);
        termios tio{};
        ::tcgetattr(master, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
    // Reads exactly n bytes from the master within a generous real deadline.
    std::vector<std::uint8_t> readExactly(std::size_t n)
    {
        std::vector<std::uint8_t> out;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (out.size() < n && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                std::uint8_t buf[64];
                const auto r = ::read(master, buf, std::min(sizeof buf, n - out.size()));
                if (r > 0)
                    out.insert(out.end(), buf, buf + r);
            }
        }
        return out;
    }
};

bool waitForBytes(const link::CSerialPort& port, int n)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (port.bytesWaiting() < n) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(SerialPort, DevicePathOfPortNames)
{
    EXPECT_EQ(link::devicePathForPort("COM1"), "/dev/ttyS0");
    EXPECT_EQ(link::devicePathForPort("com12"), "/dev/ttyS11");
    EXPECT_EQ(link::devicePathForPort("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(link::devicePathForPort("/tmp/omnar-pty"), "/tmp/omnar-pty");
    EXPECT_EQ(link::devicePathForPort("COM0"), "/dev/COM0");
    EXPECT_EQ(link::devicePathForPort("COMX"), "/dev/COMX");
    EXPECT_EQ(link::devicePathForPort("COM99999999999"), "/dev/COM99999999999") << "no overflow on silly numbers";
}

TEST(SerialPort, OpenFailurePrintsTheConsoleLines)
{
    ConsoleCapture console;
    link::CSerialPort port;
    EXPECT_EQ(port.open("/dev/omnar-no-such-port"), 0);
    EXPECT_EQ(console.text(), "CreateFile Error\nGetLastError: No such file or directory\n");
    EXPECT_FALSE(port.isOpen());
    std::uint8_t buf[13];
    EXPECT_EQ(port.read13(buf), 0);
    EXPECT_EQ(port.write(link::cmd::statusQuery(1)), 0) << "a closed port writes nothing";

    // Not a terminal: opening works, configuring fails and closes the port.
    ConsoleCapture console2;
    EXPECT_EQ(port.open("/dev/null"), 0) << "exclusive mode is a terminal request";
}

TEST(SerialPort, WritesReadsAndTracesOverAPseudoTerminal)
{
    Pty pty;
    util::VirtualClock clock;
    link::CSerialPort port(clock);
    ASSERT_EQ(port.open(pty.slavePath), 1);
    ASSERT_EQ(port.configure(), 1);
    ASSERT_TRUE(port.isOpen());

    ConsoleCapture console;
    const auto frame = link::withChecksum(link::cmd::statusQuery(1));
    EXPECT_EQ(port.write(frame), 13);
    const auto got = pty.readExactly(13);
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), got.begin(), got.end()));

    std::uint8_t buf[13]{};
    EXPECT_EQ(port.read13(buf), 0) << "nothing waiting";

    std::vector<std::uint8_t> twenty(20);
    for (std::size_t i = 0; i < twenty.size(); ++i)
        twenty[i] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(::write(pty.master, twenty.data(), twenty.size()), 20);
    ASSERT_TRUE(waitForBytes(port, 20));
    EXPECT_EQ(port.read13(buf), 13);
    EXPECT_EQ(buf[12], 12);
    EXPECT_EQ(port.bytesWaiting(), 7);
    EXPECT_EQ(port.read13(buf), 7);

    const std::regex expected(R"(\d\d:\d\d:\d\d-\d\d\d -> 05 01 fe 00 00 00 00 00 00 00 00 00 fa
\d\d:\d\d:\d\d-\d\d\d <- 00 01 02 03 04 05 06 07 08 09 0a 0b 0c
\d\d:\d\d:\d\d-\d\d\d <- 0d 0e 0f 10 11 12 13
)");
    EXPECT_TRUE(std::regex_match(console.text(), expected)) << console.text();

    // A second opener is refused while the port is held (root bypasses the lock).
    if (::geteuid() != 0) {
        link::CSerialPort other;
        EXPECT_EQ(other.open(pty.slavePath), 0);
    }
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.write(frame), 0);
}

namespace {

// Writes frames until one fails; how many went through.
int fillUntilAWriteFails(link::CSerialPort& port, std::stop_token stop = {})
{
    const auto frame = link::withChecksum(link::cmd::statusQuery(1));
    int written = 0;
    while (port.write(frame, stop) == 13 && written < 100000)
        ++written;
    return written;
}

} // namespace

TEST(SerialPort, AWriteNobodyTakesFailsWithinItsBoundOrAtAStopRequest)
{
    Pty pty; // the far side never reads
    link::CSerialPort port;
    ASSERT_EQ(port.open(pty.slavePath), 1);
    ASSERT_EQ(port.configure(), 1);

    ConsoleCapture console;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_GT(fillUntilAWriteFails(port), 100);
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_LT(took, std::chrono::milliseconds(link::CSerialPort::kWriteTimeoutMs) + 3s);
    EXPECT_NE(console.text().find("WriteFile Error\nGetLastError: Connection timed out\n"), std::string::npos);
    EXPECT_TRUE(port.isOpen()) << "a stuck line is not a vanished one";

    // The next write waits again; a stop request (Disconnect, Exit) ends it
    // long before the bound, without an error line.
    std::stop_source stop;
    std::jthread stopper([&] {
        std::this_thread::sleep_for(100ms);
        stop.request_stop();
    });
    ConsoleCapture quiet;
    const auto t1 = std::chrono::steady_clock::now();
    fillUntilAWriteFails(port, stop.get_token());
    EXPECT_LT(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(link::CSerialPort::kWriteTimeoutMs));
    EXPECT_EQ(quiet.text().find("WriteFile Error"), std::string::npos);
}

TEST(SerialPort, FlowControlIsTurnedOffAndAVanishedDeviceIsALostPort)
{
    Pty pty;
    {
        // Left behind by an earlier user of the port.
        const int fd = ::open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(fd, &tio);
        tio.c_cflag |= CRTSCTS;
        tio.c_iflag |= IXON | IXOFF | IXANY;
        ::tcsetattr(fd, TCSANOW, &tio);
        ::close(fd);
    }
    link::CSerialPort port;
    ASSERT_EQ(port.open(pty.slavePath), 1);
    ASSERT_EQ(port.configure(), 1);
    {
        const int fd = ::open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        ::tcgetattr(fd, &tio);
        ::close(fd);
        EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u);
    }

    // The adapter is pulled: the line hangs up.
    ConsoleCapture console;
    ::close(pty.master);
    pty.master = -1;
    std::uint8_t buf[13];
    EXPECT_EQ(port.read13(buf), 0);
    EXPECT_TRUE(port.lost());
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.write(link::cmd::statusQuery(1)), 0);
    EXPECT_EQ(console.text(), "") << "the session reports the loss, once";
}

namespace {

// A loopback listener on an ephemeral port.
struct Listener {
    int fd = -1;
    std::uint16_t port = 0;
    explicit Listener(int backlog = 4)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd, backlog);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~Listener() { ::close(fd); }
};

constexpr std::uint32_t kLoopback = 0x7F000001;

} // namespace

TEST(TcpTransport, ConnectsSendsAndReceivesWithoutWaiting)
{
    Listener listener;
    link::TcpTransport tcp;
    ASSERT_EQ(tcp.open(kLoopback, listener.port), 1);
    const int peer = ::accept(listener.fd, nullptr, nullptr);
    ASSERT_GE(peer, 0);

    std::uint8_t buf[13];
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(tcp.read(buf, 13), 0) << "nothing there yet: returns at once";
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 1s);

    const auto frame = link::withChecksum(link::cmd::identQuery(1));
    EXPECT_EQ(tcp.writeFrame(frame), 13);
    std::uint8_t got[13];
    ASSERT_EQ(::recv(peer, got, 13, MSG_WAITALL), 13);
    EXPECT_EQ(got[3], 0xFE);

    ASSERT_EQ(::send(peer, "\x05\x01\xfe\x00", 4, 0), 4);
    int n = 0;
    for (int i = 0; i < 500 && n == 0; ++i) {
        n = tcp.read(buf, 13);
        if (n == 0)
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(n, 4);
    EXPECT_FALSE(tcp.lost());

    // The peer hangs up: the end of the stream is a lost link, not "nothing yet".
    ::close(peer);
    for (int i = 0; i < 500 && !tcp.lost(); ++i) {
        EXPECT_EQ(tcp.read(buf, 13), 0);
        if (!tcp.lost())
            std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(tcp.lostReason(), "the peer closed the connection");
    EXPECT_EQ(tcp.writeFrame(frame), 0);
}

TEST(TcpTransport, BlankAddressIsRefusedInsteadOfReachingThisMachine)
{
    Listener local; // the system would connect 0.0.0.0 to this listener on loopback
    link::TcpTransport tcp;
    EXPECT_EQ(tcp.open(0, local.port), 0);
    EXPECT_FALSE(tcp.isOpen());
}

TEST(TcpTransport, RefusedConnectionFailsQuickly)
{
    std::uint16_t port;
    {
        Listener gone;
        port = gone.port;
    }
    link::TcpTransport tcp;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(tcp.open(kLoopback, port), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 2s);
    EXPECT_FALSE(tcp.isOpen());
    EXPECT_EQ(tcp.writeFrame(link::cmd::statusQuery(1)), 0);
}

TEST(TcpTransport, PeerThatNeverAnswersTimesOut)
{
    // A listener whose accept queue is full drops further SYNs, so connects hang.
    Listener full(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(full.port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        fillers.push_back(s);
    }
    std::this_thread::sleep_for(50ms); // let the handshakes of the fillers settle
    ConsoleCapture console;
    link::TcpTransport tcp;
    EXPECT_EQ(tcp.open(kLoopback, full.port, {}, 300), 0);
    EXPECT_EQ(console.text(), "Connection timeout\n");

    // A stop request ends the wait early, without the timeout line.
    ConsoleCapture console2;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(tcp.open(kLoopback, full.port, stop.get_token(), 300), 0);
    EXPECT_EQ(console2.text(), "");
    for (int s : fillers)
        ::close(s);
}

TEST(TcpTransport, Ipv4Text)
{
    std::uint32_t a = 0;
    ASSERT_TRUE(link::parseIpv4("192.168.1.10", a));
    EXPECT_EQ(a, 0xC0A8010Au);
    EXPECT_EQ(link::formatIpv4(a), "192.168.1.10");
    EXPECT_FALSE(link::parseIpv4("192.168.1", a));
    EXPECT_FALSE(link::parseIpv4("300.1.1.1", a));
}
