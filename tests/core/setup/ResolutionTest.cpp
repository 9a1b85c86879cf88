#include "core/setup/Resolution.h"

#include <gtest/gtest.h>

using namespace omnar::setup;

TEST(Resolution, FixedCustomAndUnknownIndices)
{
    EXPECT_EQ(sizeForIndex(6, {}), (OutputSize{1920, 1080}));
    EXPECT_EQ(sizeForIndex(14, {}), (OutputSize{1080, 1920}));
    // The custom index and unknown ones keep what the caller had.
    EXPECT_EQ(sizeForIndex(16, {1280, 720}), (OutputSize{1280, 720}));
    EXPECT_EQ(sizeForIndex(20, {800, 600}), (OutputSize{800, 600}));
    EXPECT_EQ(sizeForIndex(-1, {800, 600}), (OutputSize{800, 600}));
    EXPECT_EQ(resolutionName(0), "1024X768@60Hz");
    EXPECT_EQ(resolutionName(16), "自定义分辨率(Custom resolution)");
    EXPECT_TRUE(resolutionName(17).empty());
}

TEST(Resolution, ACustomSizeOfZeroIsNoSize)
{
    EXPECT_EQ(adoptCustomSize(1920, 1080, {}), (OutputSize{1920, 1080}));
    EXPECT_EQ(adoptCustomSize(0, 1080, {1280, 720}), (OutputSize{1280, 720}));
    EXPECT_EQ(adoptCustomSize(1920, 0, {1280, 720}), (OutputSize{1280, 720}));
}
