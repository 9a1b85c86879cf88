#pragma once

#include "core/link/CSerialPort.h"
#include "core/link/Link.h"
#include "core/util/Clock.h"
#include "core/util/Console.h"
#include "gui/setup/DialogContext.h"
#include "sim/SimServer.h"
#include "tests/support/QuietSim.h"

#include <QStringList>

#include <memory>

namespace omnar::test {

// The real clock, except that a sleep of `gateFrom` or longer (the ten
// seconds a resolution change takes) waits on `gate`, a manual virtual
// clock: the test ends that wait with gate.advance().
class GatedClock final : public util::Clock {
public:
    explicit GatedClock(Duration gateFrom = std::chrono::seconds{10})
        : m_gateFrom(gateFrom)
    {
    }
    util::VirtualClock gate{util::VirtualClock::Mode::Manual};

    SteadyTime steadyNow() const override { return util::RealClock::instance().steadyNow(); }
    WallTime wallNow() const override { return util::RealClock::instance().wallNow(); }
    bool sleepFor(Duration d, std::stop_token stop = {}) override
    {
        if (d >= m_gateFrom)
            return gate.sleepFor(d, stop);
        return util::RealClock::instance().sleepFor(d, stop);
    }

private:
    Duration m_gateFrom;
};

// omnar-sim in-process on a pseudo-terminal, a link to it over the real
// serial transport, and the context a setup window is opened with. Message
// boxes are recorded as "caption|text".
struct SetupRig {
    GatedClock clock;
    std::unique_ptr<sim::SimServer> sim;
    std::unique_ptr<link::Link> link;
    QStringList boxes;
    gui::setup::DialogContext context;
    bool ok = false;

    explicit SetupRig(sim::SimOptions options = quietSim())
        : sim(std::make_unique<sim::SimServer>(options))
        , link(std::make_unique<link::Link>(clock))
        , context(*link)
    {
        // The hex trace of every frame would drown the test's output.
        util::setConsoleSink([](std::string_view) {});
        if (!sim->openPty())
            return;
        sim->start();
        auto port = std::make_unique<link::CSerialPort>();
        if (!port->open(sim->ptyPath()) || !port->configure())
            return;
        link->setTransport(std::move(port));
        context.device.deviceId = options.deviceId;
        context.messageHandler = [this](const QString& caption, const QString& text) {
            boxes << caption + QLatin1Char('|') + text;
            return false;
        };
        ok = true;
    }

    ~SetupRig()
    {
        sim->stop();
        util::setConsoleSink(nullptr);
    }

    // Frames the device received with this command code.
    std::vector<link::Frame> framesWith(std::uint8_t command) const
    {
        std::vector<link::Frame> out;
        for (const auto& r : sim->received())
            if (r.frame[2] == command)
                out.push_back(r.frame);
        return out;
    }
};

} // namespace omnar::test
