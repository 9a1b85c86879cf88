#pragma once

#include "core/link/Catalogue.h"
#include "core/link/Frame.h"
#include "sim/SimDevice.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace omnar::sim::simtest {

// Talks to a SimDevice as a panel would: frames go out with their checksum,
// commands must stay unanswered, queries must be answered by this id.
class DeviceProbe {
public:
    explicit DeviceProbe(SimOptions opts = {})
        : device(opts)
        , id(opts.deviceId)
    {
    }

    void send(std::uint8_t code, std::initializer_list<std::uint8_t> args = {})
    {
        send(link::makeFrame(id, code, args));
    }
    void send(const link::Frame& f)
    {
        EXPECT_FALSE(device.handle(link::withChecksum(f)).has_value()) << "a command was answered";
    }
    // A window frame: bytes 4..11 horizontal start, width, vertical start, height.
    void sendWindow(std::uint8_t code, std::uint8_t which, const WindowRect& r)
    {
        link::Frame f = link::makeFrame(id, code, {which});
        link::putBigEndian16(f, 4, r.hStart);
        link::putBigEndian16(f, 6, r.width);
        link::putBigEndian16(f, 8, r.vStart);
        link::putBigEndian16(f, 10, r.height);
        send(f);
    }

    link::Frame query(std::uint8_t subCode)
    {
        const auto reply = device.handle(link::withChecksum(link::cmd::readBackQuery(id, subCode)));
        EXPECT_TRUE(reply.has_value()) << "no reply to sub-code " << int(subCode);
        if (!reply)
            return {};
        EXPECT_EQ((*reply)[1], id);
        EXPECT_EQ((*reply)[2], 0xFE);
        return *reply;
    }
    link::Frame status() { return query(link::cmd::kStatusSubCode); }

    static WindowRect rectOf(const link::Frame& reply)
    {
        return {link::getBigEndian16(reply, 4), link::getBigEndian16(reply, 6), link::getBigEndian16(reply, 8),
                link::getBigEndian16(reply, 10)};
    }

    SimDevice device;
    std::uint8_t id;
};

} // namespace omnar::sim::simtest
