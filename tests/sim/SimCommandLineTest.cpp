// The omnar-sim program itself: its start-state options reach the device,
// and a bad value is refused before anything listens.

#include "core/link/Catalogue.h"
#include "core/link/Frame.h"
#include "tests/sim/SocketProbe.h"

#include <gtest/gtest.h>

#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef OMNAR_SIM_PATH
#define OMNAR_SIM_PATH "omnar-sim"
#endif

extern char** environ;

namespace omnar::sim {
namespace {

namespace cmd = link::cmd;
using namespace simtest;

// Real-time bound for the program to start; a deadline, never a pause.
constexpr int kDeadlineMs = 10000;

// One omnar-sim process with its standard output on a pipe.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), OMNAR_SIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, OMNAR_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
    }
    ~SimProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0)
            ::close(m_out);
    }

    // Reads output until a line starts with `prefix`; returns the rest of that line.
    std::optional<std::string> lineStartingWith(const std::string& prefix)
    {
        for (;;) {
            const auto nl = m_text.find('\n');
            if (nl != std::string::npos) {
                const std::string line = m_text.substr(0, nl);
                m_text.erase(0, nl + 1);
                if (line.rfind(prefix, 0) == 0)
                    return line.substr(prefix.size());
                continue;
            }
            if (!readSome())
                return std::nullopt;
        }
    }

    // Waits for the program to end by itself; its exit code and everything it printed.
    std::optional<int> exitCode()
    {
        while (readSome()) {
        }
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) != m_pid)
            return std::nullopt;
        m_pid = -1;
        return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    }
    const std::string& text() const { return m_text; }

private:
    bool readSome()
    {
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, kDeadlineMs) <= 0)
            return false;
        char buf[512];
        const ssize_t n = ::read(m_out, buf, sizeof buf);
        if (n <= 0)
            return false;
        m_text.append(buf, static_cast<std::size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_text;
};

TEST(SimCommandLineTest, StartStateOptionsReachTheDeviceAtItsOwnAddress)
{
    SimProcess sim({"--tcp", "0", "--quiet", "--id", "7", "--custom", "1280x720@60", "--mosaic", "--sync",
                    "--source", "DVI", "--reply-delay", "0"});
    const auto banner = sim.lineStartingWith("omnar-sim: device id ");
    ASSERT_TRUE(banner) << sim.text();
    EXPECT_EQ(*banner, "7, output 1280x720@60Hz (custom)");
    const auto port = sim.lineStartingWith("omnar-sim: tcp 127.0.0.1:");
    ASSERT_TRUE(port) << sim.text();
    Fd c(connectTo(static_cast<std::uint16_t>(std::stoi(*port))));
    ASSERT_GE(c.get(), 0);
    const auto ask = [&](const link::Frame& q) {
        EXPECT_TRUE(writeFrame(c.get(), link::withChecksum(q)));
        return readFrame(c.get());
    };

    // A query to another address is not answered: the reply that comes is id 7's.
    ASSERT_TRUE(writeFrame(c.get(), link::withChecksum(cmd::readBackQuery(1, 3))));
    auto r = ask(cmd::readBackQuery(7, 3));
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[1], 7);
    EXPECT_EQ((*r)[3], 16); // --custom alone selects the custom timing
    EXPECT_EQ(link::getBigEndian16(*r, 6), 1280);

    r = ask(cmd::readBackQuery(7, 15));
    ASSERT_TRUE(r);
    EXPECT_EQ(link::getBigEndian16(*r, 4), 1280);
    EXPECT_EQ(link::getBigEndian16(*r, 6), 720);
    EXPECT_EQ((*r)[8], 60);

    r = ask(cmd::readBackQuery(7, 4));
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[3] & 0x02, 0x02);

    r = ask(cmd::statusQuery(7));
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[6] & 0x06, 0x04);
    EXPECT_EQ((*r)[7] & 0x0F, 5);
}

TEST(SimCommandLineTest, ResolutionGivenKeepsItsModeAndBadValuesAreRefused)
{
    {
        SimProcess sim({"--tcp", "0", "--quiet", "--custom", "1280x720", "--resolution", "15"});
        const auto banner = sim.lineStartingWith("omnar-sim: device id ");
        ASSERT_TRUE(banner) << sim.text();
        EXPECT_EQ(*banner, "1, output 1536x1536@60Hz");
    }
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--resolution", "17"},
                                                                 {"--custom", "1280x720@300"},
                                                                 {"--layout", "M4"},
                                                                 {"--source", "SDI"},
                                                                 {"--brightness-range", "80"}}) {
        std::vector<std::string> args{"--tcp", "0"};
        args.insert(args.end(), bad.begin(), bad.end());
        SimProcess sim(args);
        EXPECT_EQ(sim.exitCode(), 2) << bad[0];
        EXPECT_NE(sim.text().find("bad " + bad[0]), std::string::npos) << sim.text();
    }
}

} // namespace
} // namespace omnar::sim
