#include "core/setup/ReadBack.h"

#include "core/link/Catalogue.h"
#include "core/link/Sources.h"

namespace omnar::setup {

std::optional<OutputReadBack> decodeOutput(const link::Frame& reply, std::uint8_t deviceId)
{
    if (reply[1] != deviceId || reply[2] != link::cmd::kQuery)
        return std::nullopt;
    return OutputReadBack{reply[3], rectFromReply(reply)};
}

CustomResolution decodeCustom(const link::Frame& reply)
{
    return {link::getBigEndian16(reply, 4), link::getBigEndian16(reply, 6), reply[8]};
}

MosaicModeReadBack decodeMosaicMode(const link::Frame& reply)
{
    return {(reply[3] & 0x02) != 0};
}

int audioPositionForNibble(int nibble)
{
    if (nibble == link::kSourceYPbPr)
        return 1;
    if (nibble >= 0 && nibble <= 7)
        return nibble;
    return -1;
}

PictureReadBack decodePicture(const link::Frame& reply)
{
    PictureReadBack p;
    p.brightness = reply[3];
    p.bias = reply[4];
    p.sharp = reply[6] != 0;
    p.audio1 = audioPositionForNibble(reply[7] >> 4);
    p.audio2 = audioPositionForNibble(reply[7] & 0x0F);
    for (std::size_t bit = 0; bit < p.hotSpare.size(); ++bit)
        p.hotSpare[bit] = (reply[8] >> bit) & 1;
    p.brightnessRange = reply[9];
    return p;
}

TextKeyingReadBack decodeTextKeying(const link::Frame& reply)
{
    return {reply[3] != 0, reply[4], reply[5], reply[6]};
}

SourceColoursReadBack decodeSourceColours(const link::Frame& reply)
{
    return {reply[4], reply[5], reply[6], reply[8], reply[9], reply[10]};
}

} // namespace omnar::setup
