#include "sim/FrameAssembler.h"

#include "core/link/Catalogue.h"

#include <gtest/gtest.h>

#include <vector>

namespace omnar::sim {
namespace {

using link::Frame;

struct Collected {
    std::vector<Frame> frames;
    std::vector<std::vector<std::uint8_t>> garbage;
};

void feed(FrameAssembler& a, Collected& out, const std::vector<std::uint8_t>& bytes)
{
    a.feed(
        bytes.data(), bytes.size(), [&](const Frame& f) { out.frames.push_back(f); },
        [&](const std::vector<std::uint8_t>& g) { out.garbage.push_back(g); });
}

std::vector<std::uint8_t> bytesOf(const Frame& f)
{
    return {f.begin(), f.end()};
}

const Frame kStatus = link::withChecksum(link::cmd::statusQuery(1));
const Frame kIdent = link::withChecksum(link::cmd::identQuery(5)); // id 5: a second lead-like byte

TEST(FrameAssemblerTest, FrameInPiecesIsAssembled)
{
    FrameAssembler a;
    Collected c;
    const auto b = bytesOf(kStatus);
    feed(a, c, {b.begin(), b.begin() + 5});
    EXPECT_TRUE(c.frames.empty());
    EXPECT_EQ(a.buffered(), 5u);
    feed(a, c, {b.begin() + 5, b.end()});
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], kStatus);
    EXPECT_EQ(a.buffered(), 0u);
    EXPECT_TRUE(c.garbage.empty());
}

TEST(FrameAssemblerTest, SeveralFramesInOneReadComeOutInOrder)
{
    FrameAssembler a;
    Collected c;
    auto b = bytesOf(kStatus);
    const auto i = bytesOf(kIdent);
    b.insert(b.end(), i.begin(), i.end());
    b.insert(b.end(), i.begin(), i.begin() + 3);
    feed(a, c, b);
    ASSERT_EQ(c.frames.size(), 2u);
    EXPECT_EQ(c.frames[0], kStatus);
    EXPECT_EQ(c.frames[1], kIdent);
    EXPECT_EQ(a.buffered(), 3u);
}

TEST(FrameAssemblerTest, ResyncsOverJunkAndStrayLeadBytes)
{
    FrameAssembler a;
    Collected c;
    std::vector<std::uint8_t> b{0x00, 0xFF, 0x05}; // the stray 0x05 would swallow the frame if taken as a start
    const auto s = bytesOf(kIdent);
    b.insert(b.end(), s.begin(), s.end());
    feed(a, c, b);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], kIdent);
    ASSERT_EQ(c.garbage.size(), 1u);
    EXPECT_EQ(c.garbage[0], (std::vector<std::uint8_t>{0x00, 0xFF, 0x05}));
}

TEST(FrameAssemblerTest, CorruptedFrameIsDroppedAndTheNextOneSurvives)
{
    FrameAssembler a;
    Collected c;
    auto bad = bytesOf(kStatus);
    bad[7] ^= 0x10;
    const auto good = bytesOf(kIdent);
    bad.insert(bad.end(), good.begin(), good.end());
    feed(a, c, bad);
    ASSERT_EQ(c.frames.size(), 1u);
    EXPECT_EQ(c.frames[0], kIdent);
    ASSERT_EQ(c.garbage.size(), 1u);
    EXPECT_EQ(c.garbage[0].size(), 13u);
}

} // namespace
} // namespace omnar::sim
