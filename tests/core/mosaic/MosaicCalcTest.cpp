#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicIds.h"

#include <gtest/gtest.h>

using namespace omnar::mosaic;
namespace ids = omnar::mosaic::ids;

namespace {

MosaicState wall(int rows, int columns, int resW, int resH, int selected = 0)
{
    MosaicState s;
    s.rows = static_cast<std::uint16_t>(rows);
    s.columns = static_cast<std::uint16_t>(columns);
    s.cellCount = rows * columns;
    s.resolutionWidth = static_cast<std::uint16_t>(resW);
    s.resolutionHeight = static_cast<std::uint16_t>(resH);
    s.selectedWindow = selected;
    return s;
}

std::vector<CellText> cells(std::initializer_list<CellText> c) { return c; }

int calc(const MosaicState& s, Group g, Quantity q) { return s.field(g, q, Column::Calculated).value; }

std::vector<MessageId> messageIds(const MosaicView& v)
{
    std::vector<MessageId> out;
    for (const auto& m : v.messages)
        out.push_back(m.id);
    return out;
}

void setFinal(MosaicState& s, Group g, int w, int x, int h, int y)
{
    s.field(g, Quantity::Width, Column::Calculated).value = w;
    s.field(g, Quantity::HorizontalStart, Column::Calculated).value = x;
    s.field(g, Quantity::Height, Column::Calculated).value = h;
    s.field(g, Quantity::VerticalStart, Column::Calculated).value = y;
}

} // namespace

TEST(AutoCalculate, OneRowOfThreeScreensGivesTheMiddleScreensShare)
{
    MosaicState s = wall(1, 3, 1920, 1080, 1);
    s.field(Group::Input, Quantity::Width, Column::Adjusted).value = 6;
    const auto v = autoCalculate(s, cells({{"1920", "1080"}, {"1280", "1080"}, {"1920", "1080"}}));

    EXPECT_TRUE(v.messages.empty());
    EXPECT_EQ(calc(s, Group::Input, Quantity::Width), 480);
    EXPECT_EQ(calc(s, Group::Input, Quantity::Height), 1080);
    EXPECT_EQ(calc(s, Group::Input, Quantity::HorizontalStart), 720);
    EXPECT_EQ(calc(s, Group::Input, Quantity::VerticalStart), 0);
    EXPECT_EQ(calc(s, Group::Output, Quantity::Width), 1280);
    EXPECT_EQ(calc(s, Group::Output, Quantity::Height), 1080);
    EXPECT_EQ(calc(s, Group::Output, Quantity::HorizontalStart), 0);
    EXPECT_EQ(calc(s, Group::Output, Quantity::VerticalStart), 0);
    // Fine-tuning starts over, and every field written is marked.
    EXPECT_EQ(s.field(Group::Input, Quantity::Width, Column::Adjusted).value, 0);
    EXPECT_EQ(v.values.size(), 16u);
    for (const auto& [id, mark] : v.marks)
        EXPECT_TRUE(mark) << id;
    EXPECT_EQ(v.upload, true);
    EXPECT_TRUE(s.uploadEnabled);
}

TEST(AutoCalculate, DoublePrecisionDivisionFirstTruncates)
{
    // 779 × 1920 / 1520 is exactly 984 in integers; the device wants 983.
    MosaicState s = wall(1, 2, 1920, 1080, 0);
    autoCalculate(s, cells({{"779", "1080"}, {"741", "1080"}}));
    EXPECT_EQ(calc(s, Group::Input, Quantity::Width), 983);
}

TEST(AutoCalculate, SingleScreenOfTheResolutionShowsTheWholePicture)
{
    MosaicState s = wall(1, 1, 1024, 768);
    autoCalculate(s, cells({{"1024", "768"}}));
    EXPECT_EQ(calc(s, Group::Input, Quantity::Width), 1024);
    EXPECT_EQ(calc(s, Group::Input, Quantity::Height), 768);
    EXPECT_EQ(calc(s, Group::Input, Quantity::HorizontalStart), 0);
    EXPECT_EQ(calc(s, Group::Input, Quantity::VerticalStart), 0);
    EXPECT_EQ(calc(s, Group::Output, Quantity::Width), 1024);
    EXPECT_EQ(calc(s, Group::Output, Quantity::Height), 768);
}

TEST(AutoCalculate, WidthBoundsAreSixtyFourToTheResolution)
{
    for (auto [text, ok] : {std::pair{"63", false}, {"64", true}, {"1024", true}, {"1025", false}, {"-64", false},
                            {"99999999999999999999", false}, {"abc", false}}) {
        MosaicState s = wall(1, 1, 1024, 768);
        s.field(Group::Input, Quantity::Width, Column::Calculated).value = 7;
        const auto v = autoCalculate(s, cells({{text, "768"}}));
        if (ok) {
            EXPECT_TRUE(v.messages.empty()) << text;
            EXPECT_EQ(calc(s, Group::Output, Quantity::Width), std::stoi(text));
        } else {
            EXPECT_EQ(messageIds(v), std::vector{MessageId::CalcOutOfRange}) << text;
            EXPECT_EQ(v.edits.at(ids::IDC_WIDTH_EDIT_BASE), "1024") << "the bad width is replaced by the resolution";
            EXPECT_EQ(calc(s, Group::Input, Quantity::Width), 7) << "calculated fields keep their values";
            EXPECT_EQ(v.upload, true);
        }
    }
}

TEST(AutoCalculate, OnlyFirstColumnHeightsMakeTheRows)
{
    // 2 × 2, window 3 (second row, second column). Heights typed outside the
    // first column, even out of range, never enter the total or the start.
    MosaicState s = wall(2, 2, 1920, 1080, 3);
    const auto v = autoCalculate(s, cells({{"960", "360"}, {"960", "5000"}, {"960", "720"}, {"960", "540"}}));
    EXPECT_TRUE(v.messages.empty());
    EXPECT_EQ(calc(s, Group::Input, Quantity::VerticalStart), 360);  // 360 / 1080 × 1080
    EXPECT_EQ(calc(s, Group::Input, Quantity::Height), 540);         // its own height over 1080
    EXPECT_EQ(calc(s, Group::Input, Quantity::HorizontalStart), 960);
    EXPECT_EQ(calc(s, Group::Output, Quantity::Height), 540);
}

TEST(AutoCalculate, EmptyWidthAndHeightGiveBothMessagesAndNoValues)
{
    MosaicState s = wall(2, 2, 1920, 1080, 0);
    s.chinese = true;
    const auto v = autoCalculate(s, cells({{"960", "540"}, {"", "540"}, {"960", ""}, {"960", "540"}}));
    ASSERT_EQ(messageIds(v), (std::vector{MessageId::IncompleteWidth, MessageId::IncompleteHeight}));
    EXPECT_EQ(v.messages[1].text, "对不起，请将纵向数据填写完整,否则无法进行拼接计算");
    EXPECT_EQ(v.messages[1].caption, "系统消息");
    EXPECT_EQ(v.edits.at(ids::IDC_WIDTH_EDIT_BASE + 1), "1920");
    EXPECT_EQ(v.edits.at(ids::IDC_HEIGHT_EDIT_BASE + 2), "1080");
    EXPECT_EQ(v.values.size(), 8u) << "only the Adjusted fields were reset";
    EXPECT_EQ(v.upload, true);
}

TEST(SetWindow, FirstFailingCheckResetsItsOwnAdjustedField)
{
    struct Case {
        int w, x, h, y;
        Quantity reset;
    };
    // Resolution 1024 × 768.
    for (const Case c : {Case{1024, 2, 768, 0, Quantity::Width},          // width + |start| too wide: width blamed
                         Case{62, 0, 768, 0, Quantity::Width},
                         Case{512, -2, 768, 0, Quantity::HorizontalStart},
                         Case{512, 0, 48, 0, Quantity::Height},
                         Case{512, 0, 700, 70, Quantity::Height},
                         Case{512, 0, 700, -4, Quantity::VerticalStart}}) {
        MosaicState s = wall(1, 1, 1024, 768);
        s.connected = true;
        setFinal(s, Group::Output, c.w, c.x, c.h, c.y);
        for (Quantity q : kQuantities)
            s.field(Group::Output, q, Column::Adjusted) = {0, false};
        const auto out = beginSet(s, Group::Output);
        EXPECT_FALSE(out.frame);
        EXPECT_EQ(messageIds(out.view), std::vector{MessageId::SetOutOfRange});
        ASSERT_EQ(out.view.values.size(), 1u);
        EXPECT_EQ(out.view.values.begin()->first, valueFieldId(Group::Output, c.reset, Column::Adjusted));
        EXPECT_EQ(out.view.uploadWhileMessages, false);
        EXPECT_EQ(out.view.upload, true);
    }
}

TEST(SetWindow, OddValueMarksTheFirstOddAdjustedFieldOnly)
{
    MosaicState s = wall(1, 1, 1920, 1080);
    s.connected = true;
    setFinal(s, Group::Input, 480, 720, 1080, 0);
    spinStep(s, spinId(Group::Input, Quantity::HorizontalStart), -1); // 721
    spinStep(s, spinId(Group::Input, Quantity::Width), +1);           // 479
    for (auto& f : s.fields)
        f.changed = false;
    const auto out = beginSet(s, Group::Input);
    EXPECT_FALSE(out.frame);
    EXPECT_EQ(messageIds(out.view), std::vector{MessageId::OddValue});
    EXPECT_TRUE(out.view.values.empty()) << "nothing is reset";
    EXPECT_EQ(out.view.marks, (std::map<int, bool>{{ids::IDC_IN_WIDTH_ADJ, true}}));
}

TEST(SetWindow, PassingWindowGoesOutOnlyWhenConnected)
{
    MosaicState s = wall(1, 3, 1920, 1080);
    s.deviceAddress = 7;
    setFinal(s, Group::Input, 480, 720, 1080, 0);
    const auto quiet = beginSet(s, Group::Input);
    EXPECT_FALSE(quiet.frame);
    EXPECT_TRUE(quiet.view.messages.empty());
    EXPECT_EQ(quiet.view.upload, true);

    s.connected = true;
    const auto in = beginSet(s, Group::Input);
    ASSERT_TRUE(in.frame);
    EXPECT_EQ(*in.frame, (omnar::link::Frame{0x05, 7, 0x23, 0, 0x02, 0xD0, 0x01, 0xE0, 0, 0, 0x04, 0x38, 0}));
    EXPECT_EQ(in.view.upload, false) << "disabled until the frame is out";
    EXPECT_FALSE(s.uploadEnabled);

    setFinal(s, Group::Output, 1280, 0, 1080, 0);
    const auto out = beginSet(s, Group::Output);
    ASSERT_TRUE(out.frame);
    EXPECT_EQ((*out.frame)[2], 0x2C);

    s.field(Group::Input, Quantity::Width, Column::Calculated).changed = true;
    const auto done = finishSet(s, Group::Input);
    EXPECT_EQ(done.marks.size(), 8u);
    EXPECT_FALSE(s.field(Group::Input, Quantity::Width, Column::Calculated).changed);
    EXPECT_EQ(done.upload, true);
}

TEST(SpinStep, UpArrowAddsOneAndWrapsAtSixteenBits)
{
    MosaicState s;
    const int spin = spinId(Group::Output, Quantity::VerticalStart);
    auto& adjusted = s.field(Group::Output, Quantity::VerticalStart, Column::Adjusted);
    spinStep(s, spin, -1);
    EXPECT_EQ(adjusted.value, 1);
    EXPECT_TRUE(adjusted.changed);
    spinStep(s, spin, +1);
    spinStep(s, spin, +1);
    EXPECT_EQ(adjusted.value, -1);
    EXPECT_TRUE(spinStep(s, spin, 5).empty());

    adjusted.value = 32767;
    spinStep(s, spin, -1);
    EXPECT_EQ(adjusted.value, -32768);
    spinStep(s, spin, +1);
    EXPECT_EQ(adjusted.value, 32767);
    EXPECT_TRUE(spinStep(s, ids::IDC_IN_WIDTH_ADJ, -1).empty()) << "a field is not a spin";
}

TEST(ReadNumber, PrefixDigitsSaturateAndNegativesAreTooLargeUnsigned)
{
    EXPECT_EQ(readSigned("  -12"), -12);
    EXPECT_EQ(readSigned("12a"), 12);
    EXPECT_EQ(readSigned("x12"), 0);
    EXPECT_EQ(readSigned(""), 0);
    EXPECT_GT(readSigned("99999999999999999999999"), 65535);
    EXPECT_EQ(readUnsigned("65537"), 65537u);
    EXPECT_GT(readUnsigned("-1"), 8u);
    EXPECT_EQ(readUnsigned("-0"), 0u);
}
