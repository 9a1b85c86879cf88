#include "core/link/Catalogue.h"

#include "core/link/Sources.h"

#include <cstring>

namespace omnar::link::cmd {

namespace {

std::uint8_t u8(int v)
{
    return static_cast<std::uint8_t>(v);
}

Command make(std::uint8_t id, Code code, std::initializer_list<std::uint8_t> args, int delayMs)
{
    return Command{makeFrame(id, code, args), delayMs};
}

} // namespace

int sourceKeyDelayMs(int sourceCode)
{
    return sourceCode == kSourceDvi ? 5000 : 3000;
}

Command switchMainSource(std::uint8_t id, int fadeIndex, int source)
{
    return make(id, kSwitchMain, {u8(fadeIndex), u8(source)}, sourceKeyDelayMs(source));
}

Command pipSource(std::uint8_t id, int source)
{
    return make(id, kPipSource, {u8(source)}, sourceKeyDelayMs(source));
}

Command textSource(std::uint8_t id, int source)
{
    return make(id, kTextSource, {u8(source)}, sourceKeyDelayMs(source));
}

Command preselect(std::uint8_t id, int source, bool held)
{
    return make(id, held ? kPreselectHeld : kPreselectEmpty, {u8(source)}, sourceKeyDelayMs(source));
}

Command pipOpenClose(std::uint8_t id, bool open)
{
    return make(id, kPipOpenClose, {u8(open ? 1 : 0)}, open ? 3000 : 500);
}

Command textOpenClose(std::uint8_t id, bool open)
{
    return make(id, kTextOpenClose, {u8(open ? 1 : 0)}, open ? 3000 : 500);
}

Command switchMode(std::uint8_t id, bool preTake)
{
    return make(id, kSwitchMode, {u8(preTake ? 1 : 0)}, 3000);
}

Command take(std::uint8_t id, int fadeIndex)
{
    return make(id, kTake, {u8(fadeIndex)}, 3000);
}

Command mosaic(std::uint8_t id, bool on)
{
    return make(id, kMosaic, {u8(on ? 1 : 0)}, 500);
}

Command layout(std::uint8_t id, int layoutIndex)
{
    return make(id, kLayout, {u8(layoutIndex)}, 500);
}

Command bypass(std::uint8_t id, bool on)
{
    return make(id, kBypass, {u8(on ? 1 : 0)}, 500);
}

Command autoAdjust(std::uint8_t id)
{
    return make(id, kAuto, {0}, 20000);
}

Command freeze(std::uint8_t id, bool on)
{
    return make(id, kFreeze, {u8(on ? 1 : 0)}, 500);
}

Command planSwitch(std::uint8_t id, int source)
{
    return make(id, kSwitchMain, {0, u8(source)}, 5000);
}

Frame statusQuery(std::uint8_t id)
{
    return makeFrame(id, kQuery, {kStatusSubCode});
}

Frame identQuery(std::uint8_t id)
{
    return makeFrame(id, kQuery, {kIdentSubCode});
}

Frame readBackQuery(std::uint8_t id, std::uint8_t subCode)
{
    return makeFrame(id, kQuery, {subCode});
}

bool isIdentificationReply(const Frame& reply)
{
    return reply[2] == 0xFE && reply[3] == kIdentSubCode && std::memcmp(&reply[4], kIdentText, 8) == 0;
}

} // namespace omnar::link::cmd
