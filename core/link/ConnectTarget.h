#pragma once

#include <cstdint>
#include <string>

namespace omnar::link {

// Where to connect. The connection settings build it from the link box.
struct ConnectTarget {
    bool serial = true;
    std::string comPortName;   // serial: "COM3", "ttyUSB0" or a path
    std::uint32_t address = 0; // TCP: IPv4, host byte order; 0 = none given (fails)
    std::uint16_t port = 0;    // TCP
    // TCP: false when the typed port lies outside 0..65535; the open is
    // refused with the port-range message.
    bool portInRange = true;
    std::uint8_t deviceId = 1;
};

} // namespace omnar::link
