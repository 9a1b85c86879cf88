#include "core/setup/SetupChecks.h"
#include "core/setup/SetupIds.h"

#include <gtest/gtest.h>

using namespace omnar::setup;
namespace ids = omnar::setup::screen_ids;

namespace {

constexpr OutputSize k1024{1024, 768};
constexpr OutputSize k1080p{1920, 1080};

CheckFailure outOfRange(int id)
{
    return {id, MessageId::ValueOutOfRange, EditEffect::Empty};
}

} // namespace

TEST(SetupChecks, WindowRangeNamesTheFirstFailingValue)
{
    EXPECT_EQ(checkWindow(WindowGroup::Main, {1024, 0, 768, 0}, k1024), std::nullopt);
    // 1024 at 2 overflows: the width is blamed, never the start.
    EXPECT_EQ(checkWindow(WindowGroup::Main, {1024, 2, 768, 0}, k1024), outOfRange(ids::IDC_MAIN_WIDTH));
    // The least height a Save takes is 64, whatever a hint once said.
    EXPECT_EQ(checkWindow(WindowGroup::Pip, {640, 0, 48, 0}, k1024), outOfRange(ids::IDC_PIP_HEIGHT));
    EXPECT_EQ(checkWindow(WindowGroup::Pip, {640, 0, 64, 0}, k1024), std::nullopt);
    EXPECT_EQ(checkWindow(WindowGroup::Output, {1920, 0, 1072, 8}, k1080p), std::nullopt);
    EXPECT_EQ(checkWindow(WindowGroup::Output, {1920, 0, 1080, 8}, k1080p), outOfRange(ids::IDC_OUTPUT_HEIGHT));
    EXPECT_EQ(checkWindow(WindowGroup::HiddenOutput, {640, -2, 480, 0}, k1024), outOfRange(ids::IDC_OUTPUT2_HSTART));
    EXPECT_EQ(checkWindow(WindowGroup::Main, {640, 0, 480, -4}, k1024), outOfRange(ids::IDC_MAIN_VSTART));
    EXPECT_EQ(checkWindow(WindowGroup::Main, {640, 1026, 480, 0}, k1024), outOfRange(ids::IDC_MAIN_WIDTH));
}

TEST(SetupChecks, OddValuesAreMarkedAfterTheRangesPassed)
{
    EXPECT_EQ(checkWindow(WindowGroup::Main, {101, 0, 768, 0}, k1024),
              (CheckFailure{ids::IDC_MAIN_WIDTH, MessageId::OddValue, EditEffect::Mark}));
    EXPECT_EQ(checkWindow(WindowGroup::Pip, {100, 3, 99, 1}, k1024),
              (CheckFailure{ids::IDC_PIP_HSTART, MessageId::OddValue, EditEffect::Mark}))
        << "the first odd one in the order W, HS, VH, VS";
    // A range failure wins over an odd value before it.
    EXPECT_EQ(checkWindow(WindowGroup::Main, {101, 0, 800, 0}, k1024), outOfRange(ids::IDC_MAIN_HEIGHT));
}

TEST(SetupChecks, TypedNumbersSaturateInsteadOfWrapping)
{
    EXPECT_EQ(parseTypedNumber("640"), 640);
    EXPECT_EQ(parseTypedNumber("  -12"), -12);
    EXPECT_EQ(parseTypedNumber(""), 0);
    EXPECT_EQ(parseTypedNumber("abc"), 0);
    EXPECT_EQ(parseTypedNumber("12abc"), 12);
    EXPECT_EQ(parseTypedNumber("99999999999"), 99999999999LL);
    EXPECT_EQ(parseTypedNumber("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(parseTypedNumber("-99999999999999999999999"), -INT64_MAX);

    // 2^32 would read as 0 in 32 bits and pass as a start of 0.
    const std::int64_t wraps = parseTypedNumber("4294967296");
    EXPECT_EQ(checkWindow(WindowGroup::Main, {640, 0, 480, wraps}, k1024), outOfRange(ids::IDC_MAIN_HEIGHT));
    EXPECT_EQ(checkWindow(WindowGroup::Main, {640, 0, 480, INT64_MAX}, k1024), outOfRange(ids::IDC_MAIN_HEIGHT));
    EXPECT_EQ(checkWindow(WindowGroup::Main, {INT64_MAX, -INT64_MAX, 480, 0}, k1024),
              outOfRange(ids::IDC_MAIN_WIDTH));
    // 2^32 + 64 would be brightness 64.
    EXPECT_EQ(checkBrightness(parseTypedNumber("4294967360"), 0),
              (CheckFailure{ids::IDC_BRIGHTNESS, MessageId::ValueOutOfRange, EditEffect::Zero}));
}

TEST(SetupChecks, PictureRangesFollowTheBrightnessFlag)
{
    const CheckFailure brightnessOut{ids::IDC_BRIGHTNESS, MessageId::ValueOutOfRange, EditEffect::Zero};
    const CheckFailure brightnessOdd{ids::IDC_BRIGHTNESS, MessageId::OddValue, EditEffect::None};
    EXPECT_EQ(checkBrightness(64, 0), std::nullopt);
    EXPECT_EQ(checkBrightness(65, 0), brightnessOut);
    EXPECT_EQ(checkBrightness(66, 0), brightnessOut);
    EXPECT_EQ(checkBrightness(65, 1), brightnessOdd);
    EXPECT_EQ(checkBrightness(100, 7), std::nullopt);
    EXPECT_EQ(checkBrightness(-2, 1), brightnessOut);

    EXPECT_EQ(checkPercent(ids::IDC_COLOUR, 100), std::nullopt);
    EXPECT_EQ(checkPercent(ids::IDC_BIAS, 101),
              (CheckFailure{ids::IDC_BIAS, MessageId::ValueOutOfRange, EditEffect::Zero}));

    EXPECT_EQ(checkKeyColours(0, 128, 255), std::nullopt);
    EXPECT_EQ(checkKeyColours(256, -1, 0),
              (CheckFailure{ids::IDC_KEY_RED, MessageId::ValueOutOfRange, EditEffect::Zero}));
    EXPECT_EQ(checkKeyColours(0, -1, 300),
              (CheckFailure{ids::IDC_KEY_GREEN, MessageId::ValueOutOfRange, EditEffect::Zero}));
}

TEST(SetupChecks, SpinArrowsStopAtTheBounds)
{
    using D = SpinDirection;
    EXPECT_EQ(spinDirectionForDelta(-1), D::Up);
    EXPECT_EQ(spinDirectionForDelta(1), D::Down);
    EXPECT_EQ(spinDirectionForDelta(-5), std::nullopt) << "an accelerated arrow does nothing";

    const auto red248 = stepKeyColour(ids::IDC_KEY_RED_SPIN, 248, D::Up);
    EXPECT_EQ(red248.value, 248);
    EXPECT_EQ(red248.message, MessageId::SpinUp);
    EXPECT_EQ(stepKeyColour(ids::IDC_KEY_RED_SPIN, 247, D::Up).value, 255);
    const auto red5 = stepKeyColour(ids::IDC_KEY_RED_SPIN, 5, D::Down);
    EXPECT_EQ(red5.value, 5);
    EXPECT_EQ(red5.message, MessageId::SpinDown);
    EXPECT_EQ(stepKeyColour(ids::IDC_KEY_BLUE_SPIN, 8, D::Down).value, 0);
    const auto green251 = stepKeyColour(ids::IDC_KEY_GREEN_SPIN, 251, D::Up);
    EXPECT_EQ(green251.value, 255);
    EXPECT_FALSE(green251.message);
    EXPECT_EQ(editForSpin(ids::IDC_KEY_GREEN_SPIN), ids::IDC_KEY_GREEN);
}

TEST(SetupChecks, DotClockInSixtyFourBitsAndWireRanges)
{
    const auto hd60 = checkDotClock(1920, 1080, 60);
    EXPECT_TRUE(hd60.accepted);
    EXPECT_EQ(hd60.dotClock, 142020000);
    const auto hd70 = checkDotClock(1920, 1080, 70);
    EXPECT_FALSE(hd70.accepted);
    EXPECT_EQ(hd70.dotClock, 165690000);
    EXPECT_FALSE(checkDotClock(640, 480, 60).accepted) << "25956000 is under the least dot clock";
    // 4321482300 would wrap to 26515004 in 32 bits and be accepted.
    const auto wrap = checkDotClock(8109, 8640, 60);
    EXPECT_FALSE(wrap.accepted);
    EXPECT_EQ(wrap.dotClock, 4321482300LL);
    // In range as a product, but not as wire values.
    EXPECT_FALSE(checkDotClock(0, 1080, 200).accepted);
    EXPECT_FALSE(checkDotClock(1920, 65536, 1).accepted);
    EXPECT_FALSE(checkDotClock(66000, 1, 1).accepted);
    EXPECT_FALSE(checkDotClock(1024, 768, 256).accepted);
    EXPECT_FALSE(checkDotClock(INT64_MAX, INT64_MAX, INT64_MAX).accepted);
}

TEST(SetupChecks, AudioListsCannotShareAChannel)
{
    EXPECT_EQ(audioConflictMove(3, 4), std::nullopt);
    EXPECT_EQ(audioConflictMove(0, 0), 1);
    EXPECT_EQ(audioConflictMove(5, 5), 0);
}
