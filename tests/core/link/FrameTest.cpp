#include "core/link/Catalogue.h"
#include "core/link/Frame.h"
#include "core/link/Sources.h"
#include "core/link/Trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace omnar::link;

TEST(Frame, ChecksumIsXorOfFirstTwelveBytesOnACopy)
{
    const Frame query = makeFrame(1, 0xFE, {0});
    const Frame sent = withChecksum(query);
    EXPECT_EQ(sent[12], 0xFA);
    EXPECT_EQ(query[12], 0x00) << "the caller's frame stays untouched";
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(sent[i], query[i]);

    // A stale byte 12 left by the caller does not enter the checksum.
    Frame dirty = query;
    dirty[12] = 0x55;
    EXPECT_EQ(withChecksum(dirty)[12], 0xFA);
}

TEST(Frame, MakeFrameIgnoresArgumentsPastByteEleven)
{
    const Frame f = makeFrame(7, 0x10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    EXPECT_EQ(f[0], kLeadByte);
    EXPECT_EQ(f[1], 7);
    EXPECT_EQ(f[11], 9);
    EXPECT_EQ(f[12], 0);
}

TEST(Frame, BigEndianWindowFields)
{
    Frame f{};
    putBigEndian16(f, 4, 1920);
    putBigEndian16(f, 6, 0x0438);
    EXPECT_EQ(f[4], 0x07);
    EXPECT_EQ(f[5], 0x80);
    EXPECT_EQ(getBigEndian16(f, 6), 1080);
}

TEST(Sources, GroupsAndIndicatorsIncludingYPbPrAndOutOfRange)
{
    EXPECT_EQ(inputGroup(kSourceV1), inputGroup(kSourceV2));
    EXPECT_EQ(inputGroup(kSourceHdmi), inputGroup(kSourceDp));
    EXPECT_NE(inputGroup(kSourceVga), inputGroup(kSourceDvi));
    EXPECT_EQ(inputGroup(kSourceYPbPr), 4);
    EXPECT_EQ(indicatorId(kSourceYPbPr), indicatorId(kSourceV2));
    EXPECT_EQ(inputGroup(9), -1);
    EXPECT_EQ(inputGroup(-1), -1);
    EXPECT_EQ(indicatorId(15), 0);
    EXPECT_EQ(sourceForKey(1311), kSourceDp);
    EXPECT_EQ(sourceForKey(1115), kSourceV2) << "the V2 key is V2 first; YPbPr is decided by the device state";
    EXPECT_FALSE(sourceForKey(1000).has_value());
}

struct CatalogueRow {
    const char* name;
    cmd::Command command;
    std::uint8_t code, b3, b4;
    int delayMs;
};

TEST(Catalogue, EveryTriggerHasItsBytesAndDelay)
{
    const std::uint8_t id = 3;
    const CatalogueRow rows[] = {
        {"main HDMI fade 1", cmd::switchMainSource(id, 1, kSourceHdmi), 0x00, 1, 4, 3000},
        {"main DVI waits longer", cmd::switchMainSource(id, 0, kSourceDvi), 0x00, 0, 5, 5000},
        {"V2 as YPbPr", cmd::switchMainSource(id, 3, kSourceYPbPr), 0x00, 3, 8, 3000},
        {"PIP source DVI", cmd::pipSource(id, kSourceDvi), 0x02, 5, 0, 5000},
        {"TEXT source VGA", cmd::textSource(id, kSourceVga), 0x04, 2, 0, 3000},
        {"preselect empty", cmd::preselect(id, kSourceV1, false), 0x0A, 0, 0, 3000},
        {"preselect held", cmd::preselect(id, kSourceExt, true), 0x0B, 7, 0, 3000},
        {"PIP open", cmd::pipOpenClose(id, true), 0x01, 1, 0, 3000},
        {"PIP close", cmd::pipOpenClose(id, false), 0x01, 0, 0, 500},
        {"TEXT open", cmd::textOpenClose(id, true), 0x03, 1, 0, 3000},
        {"TEXT close", cmd::textOpenClose(id, false), 0x03, 0, 0, 500},
        {"One Key", cmd::switchMode(id, false), 0x09, 0, 0, 3000},
        {"Pre + TAKE", cmd::switchMode(id, true), 0x09, 1, 0, 3000},
        {"TAKE", cmd::take(id, 2), 0x0C, 2, 0, 3000},
        {"MOSAIC on", cmd::mosaic(id, true), 0x21, 1, 0, 500},
        {"M3", cmd::layout(id, 2), 0x24, 2, 0, 500},
        {"BYPASS off", cmd::bypass(id, false), 0x26, 0, 0, 500},
        {"AUTO", cmd::autoAdjust(id), 0x27, 0, 0, 20000},
        {"FREEZE on", cmd::freeze(id, true), 0x29, 1, 0, 500},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const Frame& f = r.command.frame;
        EXPECT_EQ(f[0], 0x05);
        EXPECT_EQ(f[1], id);
        EXPECT_EQ(f[2], r.code);
        EXPECT_EQ(f[3], r.b3);
        EXPECT_EQ(f[4], r.b4);
        for (std::size_t i = 5; i < kFrameSize; ++i)
            EXPECT_EQ(f[i], 0) << "byte " << i;
        EXPECT_EQ(r.command.delayMs, r.delayMs);
    }
}

TEST(Catalogue, QueriesAndIdentification)
{
    EXPECT_EQ(withChecksum(cmd::statusQuery(1))[12], 0xFA);
    const Frame ident = cmd::identQuery(1);
    EXPECT_EQ(ident[2], 0xFE);
    EXPECT_EQ(ident[3], 0xFE);
    EXPECT_EQ(cmd::readBackQuery(2, 16)[3], 16);

    Frame reply = makeFrame(9, 0xFE, {0xFE, 'q', 'u', 'e', 'n', ' ', 'd', 'o', 'x'});
    reply[0] = 0x00; // bytes 0, 1 and 12 are not compared
    reply[12] = 0x77;
    EXPECT_TRUE(cmd::isIdentificationReply(reply));
    Frame upper = reply;
    upper[4] = 'Q';
    EXPECT_FALSE(cmd::isIdentificationReply(upper));
    Frame wrongCode = reply;
    wrongCode[2] = 0xFD;
    EXPECT_FALSE(cmd::isIdentificationReply(wrongCode));
    Frame statusNotIdent = reply;
    statusNotIdent[3] = 0x00;
    EXPECT_FALSE(cmd::isIdentificationReply(statusNotIdent));
}

TEST(Trace, LineFormat)
{
    const Frame f = withChecksum(cmd::statusQuery(1));
    EXPECT_EQ(formatTraceLine(9, 5, 7, 42, Direction::Out, f.data(), f.size()),
              "09:05:07-042 -> 05 01 fe 00 00 00 00 00 00 00 00 00 fa\n");
    const std::uint8_t five[] = {0x05, 0x01, 0xFE, 0xAB, 0x0C};
    EXPECT_EQ(formatTraceLine(23, 59, 59, 999, Direction::In, five, 5), "23:59:59-999 <- 05 01 fe ab 0c\n");
}

TEST(Trace, StampsTheLocalTimeOfTheClock)
{
    // 1970-01-01 09:05:07.042 UTC; pin the zone so the local time is known.
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const auto when = omnar::util::Clock::WallTime{std::chrono::milliseconds{(9 * 3600 + 5 * 60 + 7) * 1000LL + 42}};
    const std::uint8_t b[] = {0xFA};
    EXPECT_EQ(traceLine(when, Direction::Out, b, 1), "09:05:07-042 -> fa\n");
    if (saved)
        setenv("TZ", savedTz.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
