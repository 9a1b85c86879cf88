#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace omnar::link {

// Every exchange with the processor is one 13-byte frame: lead byte 0x05,
// device id, command code, nine argument bytes, XOR checksum of bytes 0..11.
inline constexpr std::size_t kFrameSize = 13;
inline constexpr std::uint8_t kLeadByte = 0x05;
inline constexpr std::size_t kChecksumIndex = 12;

using Frame = std::array<std::uint8_t, kFrameSize>;

// XOR of bytes 0..11.
constexpr std::uint8_t frameChecksum(const Frame& f)
{
    std::uint8_t x = 0;
    for (std::size_t i = 0; i < kChecksumIndex; ++i)
        x ^= f[i];
    return x;
}

// A copy of `f` with byte 12 computed; the caller's frame is left as it is.
constexpr Frame withChecksum(const Frame& f)
{
    Frame copy = f;
    copy[kChecksumIndex] = frameChecksum(copy);
    return copy;
}

// Bytes 0..2 set, `args` placed from byte 3 on (at most nine), the rest 0.
// Byte 12 stays 0: the sender computes it.
Frame makeFrame(std::uint8_t deviceId, std::uint8_t command, std::initializer_list<std::uint8_t> args = {});

// Puts a 16-bit value high byte first at `index` and `index + 1`.
void putBigEndian16(Frame& f, std::size_t index, std::uint16_t value);
std::uint16_t getBigEndian16(const Frame& f, std::size_t index);

// "05 01 fe ..." — lower-case two-digit hex, one blank between bytes.
std::string hexBytes(const std::uint8_t* data, std::size_t n);

} // namespace omnar::link
