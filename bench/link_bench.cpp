// Link timings against the virtual processor over loopback TCP and a
// pseudo-terminal: how long SendCommand takes to put a frame on the wire, and
// what a QueryCommand round trip costs beyond its fixed 200 ms pause.

#include "bench/BenchStats.h"
#include "core/link/CSerialPort.h"
#include "core/link/Catalogue.h"
#include "core/link/Link.h"
#include "core/link/TcpTransport.h"
#include "core/util/Console.h"
#include "sim/SimServer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace omnar;
using namespace omnar::bench;
using namespace std::chrono;

namespace {

void measure(const char* name, sim::SimServer& sim, link::Link& link, int rounds)
{
    std::lock_guard lock(link.lock());
    std::vector<double> toWire, roundTrip;
    for (int i = 0; i < rounds; ++i) {
        const auto cmd = link::cmd::freeze(1, i % 2 == 0);
        const auto before = sim.framesReceived();
        const auto t0 = steady_clock::now();
        link.SendCommand(&cmd.frame, 0);
        if (!sim.waitForFrames(before + 1, seconds(5))) {
            std::printf("%s: frame %d never arrived\n", name, i);
            return;
        }
        const auto at = sim.received().back().lastByteAt;
        toWire.push_back(duration<double, std::milli>(at - t0).count());

        const auto q = link::cmd::statusQuery(1);
        link::Frame reply{};
        const auto q0 = steady_clock::now();
        if (link.QueryCommand(&q, &reply, 1000) != 13) {
            std::printf("%s: query %d got no reply\n", name, i);
            return;
        }
        roundTrip.push_back(duration<double, std::milli>(steady_clock::now() - q0).count()
                            - link::Link::kPauseAfterReplyMs);
    }
    const auto w = stats(toWire);
    const auto r = stats(roundTrip);
    std::printf("%-4s SendCommand -> last byte on the wire: median %.3f ms, p90 %.3f ms, worst %.3f ms (%d frames)\n",
                name, w.median, w.p90, w.worst, rounds);
    std::printf("%-4s QueryCommand round trip - 200 ms pause: median %.1f ms, p90 %.1f ms, worst %.1f ms "
                "(device answers at once; polls every %d ms)\n",
                name, r.median, r.p90, r.worst, link::Link::kPollIntervalMs);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    sim::SimOptions opts;
    opts.trace = false;
    opts.replyDelay = milliseconds(0);

    {
        sim::SimServer sim(opts);
        if (!sim.listenTcp("127.0.0.1", 0)) {
            std::printf("tcp: %s\n", sim.lastError().c_str());
            return 1;
        }
        sim.start();
        auto tcp = std::make_unique<link::TcpTransport>();
        if (!tcp->open(0x7F000001, sim.tcpPort()))
            return 1;
        link::Link link;
        link.setTransport(std::move(tcp));
        measure("tcp", sim, link, rounds);
    }
    {
        sim::SimServer sim(opts);
        if (!sim.openPty()) {
            std::printf("pty: %s\n", sim.lastError().c_str());
            return 1;
        }
        sim.start();
        // The serial trace lines are formatted and written as in production,
        // but to /dev/null so they do not flood the figures.
        FILE* devNull = std::fopen("/dev/null", "w");
        auto previous = util::setConsoleSink([devNull](std::string_view t) {
            std::fwrite(t.data(), 1, t.size(), devNull);
            std::fflush(devNull);
        });
        auto port = std::make_unique<link::CSerialPort>();
        if (!port->open(sim.ptyPath()) || !port->configure())
            return 1;
        link::Link link;
        link.setTransport(std::move(port));
        measure("pty", sim, link, rounds);
        util::setConsoleSink(std::move(previous));
        std::fclose(devNull);
    }
    return 0;
}
