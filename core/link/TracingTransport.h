#pragma once

#include "core/link/Transport.h"
#include "core/util/Clock.h"

#include <memory>

namespace omnar::link {

// Puts the hex trace on a transport that has none of its own (TCP): every
// frame written and every read that brought bytes gives one trace line, as
// the serial port prints them.
class TracingTransport final : public Transport {
public:
    TracingTransport(std::unique_ptr<Transport> inner, const util::Clock& clock);

    int writeFrame(const Frame& frame) override;
    int sendFrame(const Frame& frame, std::stop_token stop) override;
    int read(std::uint8_t* buffer, std::size_t max) override;
    bool isOpen() const override { return m_inner->isOpen(); }
    void close() override { m_inner->close(); }

private:
    int traced(const Frame& frame, int written);
    void followLoss();

    std::unique_ptr<Transport> m_inner;
    const util::Clock& m_clock;
};

} // namespace omnar::link
