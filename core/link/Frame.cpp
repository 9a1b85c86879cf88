#include "core/link/Frame.h"

#include <cstdio>

namespace omnar::link {

Frame makeFrame(std::uint8_t deviceId, std::uint8_t command, std::initializer_list<std::uint8_t> args)
{
    Frame f{};
    f[0] = kLeadByte;
    f[1] = deviceId;
    f[2] = command;
    std::size_t i = 3;
    for (auto a : args) {
        if (i >= kChecksumIndex)
            break;
        f[i++] = a;
    }
    return f;
}

void putBigEndian16(Frame& f, std::size_t index, std::uint16_t value)
{
    f.at(index) = static_cast<std::uint8_t>(value >> 8);
    f.at(index + 1) = static_cast<std::uint8_t>(value & 0xFF);
}

std::uint16_t getBigEndian16(const Frame& f, std::size_t index)
{
    return static_cast<std::uint16_t>((f.at(index) << 8) | f.at(index + 1));
}

std::string hexBytes(const std::uint8_t* data, std::size_t n)
{
    std::string out;
    out.reserve(n * 3);
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i == 0 ? "%02x" : " %02x", data[i]);
        out += buf;
    }
    return out;
}

} // namespace omnar::link
