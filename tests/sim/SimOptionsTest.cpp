#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace omnar::sim {
namespace {

TEST(SimOptionsTest, SourcesByNameOrCode)
{
    EXPECT_EQ(parseSource("hdmi"), 4);
    EXPECT_EQ(parseSource(" VGA2 "), 3);
    EXPECT_EQ(parseSource("EXT"), 7);
    EXPECT_EQ(parseSource("ext."), 7);
    EXPECT_EQ(parseSource("YPbPr"), 8);
    EXPECT_EQ(parseSource("5"), 5);
    EXPECT_FALSE(parseSource("9"));
    EXPECT_FALSE(parseSource("SDI"));
    EXPECT_FALSE(parseSource(""));
}

TEST(SimOptionsTest, InputLists)
{
    auto m = parseInputList("V1,VGA,HDMI,DVI");
    ASSERT_TRUE(m);
    EXPECT_EQ(*m, (InputSignals{true, false, true, false, true, true, false, false}));
    // YPbPr is the V2 input.
    EXPECT_EQ(*parseInputList("ypbpr"), (InputSignals{false, true, false, false, false, false, false, false}));
    EXPECT_EQ(*parseInputList("all"), (InputSignals{true, true, true, true, true, true, true, true}));
    EXPECT_EQ(*parseInputList("none"), InputSignals{});
    EXPECT_FALSE(parseInputList("V1,,VGA"));
    EXPECT_FALSE(parseInputList("V1,SVIDEO"));
}

TEST(SimOptionsTest, ExtSubSources)
{
    EXPECT_EQ(parseExtSubSource("0"), 0);
    EXPECT_EQ(parseExtSubSource("usb"), 5);
    EXPECT_EQ(parseExtSubSource("NULL"), 0);
    EXPECT_EQ(parseExtSubSource("Video"), 4);
    EXPECT_FALSE(parseExtSubSource("6"));
    EXPECT_FALSE(parseExtSubSource("HDMI"));
}

TEST(SimOptionsTest, NumbersSharesAndSizes)
{
    EXPECT_EQ(parseNumber("08", 0, 255), 8); // not octal
    EXPECT_EQ(parseNumber("0x1f", 0, 255), 31);
    EXPECT_FALSE(parseNumber("256", 0, 255));
    EXPECT_FALSE(parseNumber("-1", 0, 255));
    EXPECT_FALSE(parseNumber("12ab", 0, 255));
    EXPECT_EQ(parseShare("0.3"), 0.3);
    EXPECT_FALSE(parseShare("1.5"));
    EXPECT_FALSE(parseShare("nan"));
    EXPECT_EQ(parseSizeList("5,8"), (std::vector<std::size_t>{5, 8}));
    EXPECT_FALSE(parseSizeList("5,0"));
    EXPECT_FALSE(parseSizeList("14"));
}

TEST(SimOptionsTest, CorruptionSpecs)
{
    auto c = parseCorruption("0=0x06, 4");
    ASSERT_TRUE(c);
    ASSERT_EQ(c->size(), 2u);
    EXPECT_EQ((*c)[0].index, 0u);
    EXPECT_EQ((*c)[0].value, 6);
    EXPECT_EQ((*c)[1].index, 4u);
    EXPECT_FALSE((*c)[1].value);
    EXPECT_FALSE(parseCorruption("13"));
    EXPECT_FALSE(parseCorruption("2=300"));
    EXPECT_FALSE(parseCorruption("x"));
}

TEST(SimOptionsTest, CustomTimingsAndLayouts)
{
    EXPECT_EQ(parseCustomResolution("1280x720@60"), (CustomResolution{1280, 720, 60}));
    EXPECT_EQ(parseCustomResolution(" 1920X1080@50Hz "), (CustomResolution{1920, 1080, 50}));
    EXPECT_EQ(parseCustomResolution("800x600"), (CustomResolution{800, 600, 60}));
    EXPECT_EQ(parseCustomResolution("0x720@60"), (CustomResolution{0, 720, 60}));
    for (const char* bad : {"1280x720@", "1280x@60", "x720", "1280*720", "65536x720", "1280x720@256", "1280x0x10",
                            "1280x720@60@60", "-1x720", ""})
        EXPECT_FALSE(parseCustomResolution(bad)) << bad;

    EXPECT_EQ(parseLayout("M1"), 0);
    EXPECT_EQ(parseLayout("m3"), 2);
    EXPECT_EQ(parseLayout("2"), 1);
    EXPECT_FALSE(parseLayout("M4"));
    EXPECT_FALSE(parseLayout("0"));
    EXPECT_FALSE(parseLayout("MM1"));
}

} // namespace
} // namespace omnar::sim
