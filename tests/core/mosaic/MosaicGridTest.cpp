#include "core/mosaic/MosaicCalc.h"
#include "core/mosaic/MosaicGrid.h"
#include "core/mosaic/MosaicIds.h"

#include <gtest/gtest.h>

using namespace omnar::mosaic;
namespace ids = omnar::mosaic::ids;

namespace {

// The frame as the template places it, before any fitting.
constexpr Geometry kTemplate{{700, 500}, {10, 120, 600, 300}};

struct Dialog {
    MosaicState state;
    Geometry geometry = kTemplate;

    Dialog(bool chinese = false)
    {
        state.chinese = chinese;
        apply(openDialog(state, geometry));
    }
    MosaicView apply(MosaicView v)
    {
        if (v.grid)
            geometry = v.grid->geometry;
        return v;
    }
    MosaicView preset(int id) { return apply(applyPreset(state, id, geometry)); }
    MosaicView typed(std::string_view r, std::string_view c) { return apply(specificationOk(state, r, c, geometry)); }
};

} // namespace

TEST(MosaicGrid, OpensOnOneScreenWithWindowZeroSelectedAndNothingMarked)
{
    MosaicState s;
    const auto v = openDialog(s, kTemplate);
    ASSERT_TRUE(v.grid);
    EXPECT_EQ(v.grid->cells.size(), 1u);
    EXPECT_EQ(v.grid->geometry.dialog, (Size{660, 620}));
    EXPECT_EQ(v.upload, false);
    EXPECT_EQ(v.values.size(), 16u);
    for (const auto& [id, mark] : v.marks)
        EXPECT_FALSE(mark) << id;
    EXPECT_EQ(v.captions.at(ids::IDC_EFFECTS_FRAME),
              "Effects show（Please enter each screen width and height values：Width<=1024，Height<=768）");
    EXPECT_EQ(v.buttonColours.at(ids::IDC_WINDOW_BUTTON_BASE).background, kSelectedWindowColour);
    EXPECT_EQ(v.checked.at(ids::IDC_ADDRESS_1), true);
    EXPECT_EQ(v.addressSelection, 0);
}

TEST(MosaicGrid, SixByEightGrowsTheWindowAndOneByOneBringsItBack)
{
    Dialog d;
    d.preset(ids::IDC_PRESET_2X2);
    const auto v = d.typed("6", "8");
    ASSERT_TRUE(v.grid);
    EXPECT_EQ(v.grid->cells.size(), 48u);
    EXPECT_EQ(d.geometry.dialog, (Size{1188, 984}));
    EXPECT_EQ(d.geometry.frame.height(), 548);
    EXPECT_EQ(d.geometry.frame.width(), 1168);
    EXPECT_EQ(d.geometry.frame.left, kTemplate.frame.left) << "the frame keeps its place";
    EXPECT_EQ(d.state.cellCount, 48);

    d.preset(ids::IDC_PRESET_4X3);
    EXPECT_EQ(d.geometry.dialog, (Size{660, 984 - 2 * 91}));
    d.preset(ids::IDC_PRESET_1X1);
    EXPECT_EQ(d.geometry.dialog, (Size{660, 620}));
    EXPECT_EQ(d.geometry.frame.height(), 184);
    EXPECT_EQ(d.geometry.frame.width(), 640);
}

TEST(MosaicGrid, GrowthIsRelativeToTheSizeTheOperatorLeft)
{
    Dialog d;
    d.preset(ids::IDC_PRESET_3X1);
    EXPECT_EQ(d.geometry.dialog.height, 620 + 91);
    d.geometry.dialog.height = 800; // dragged taller
    d.preset(ids::IDC_PRESET_4X2);
    EXPECT_EQ(d.geometry.dialog.height, 800 + 91);
}

TEST(MosaicGrid, SpecificationChecks)
{
    Dialog d(true);
    d.preset(ids::IDC_PRESET_2X3);
    for (auto [r, c, id] : {std::tuple{"7", "1", MessageId::SpecTooLarge}, {"1", "9", MessageId::SpecTooLarge},
                            {"65537", "1", MessageId::SpecTooLarge}, {"-1", "2", MessageId::SpecTooLarge},
                            {"0", "2", MessageId::SpecTooSmall}, {"", "2", MessageId::SpecTooSmall},
                            {"3", "", MessageId::SpecTooSmall}}) {
        const auto v = d.typed(r, c);
        ASSERT_EQ(v.messages.size(), 1u) << r << "×" << c;
        EXPECT_EQ(v.messages[0].id, id) << r << "×" << c;
        EXPECT_FALSE(v.grid);
        EXPECT_EQ(d.state.rows, 2);
        EXPECT_EQ(d.state.columns, 3);
    }
    EXPECT_EQ(d.typed("0", "2").messages[0].caption, "系统消磁");
}

TEST(MosaicGrid, CellsSitRowMajorWithTheirSixControls)
{
    Dialog d;
    const auto v = d.preset(ids::IDC_PRESET_2X3);
    EXPECT_EQ(v.edits.at(ids::IDC_ROWS), "2");
    EXPECT_EQ(v.edits.at(ids::IDC_COLUMNS), "3");
    ASSERT_EQ(v.grid->cells.size(), 6u);
    const CellLayout& cell = v.grid->cells[4]; // second row, second column
    const Rect& f = d.geometry.frame;
    const int x = f.left + 10 + 132, y = f.top + 10 + 81;
    EXPECT_EQ(cell.controls[0].id, 2004);
    EXPECT_EQ(cell.controls[0].rect, (Rect{x + 47, y + 31, x + 114, y + 76}));
    EXPECT_EQ(cell.controls[0].text, "004");
    EXPECT_EQ(cell.controls[1].id, 2104);
    EXPECT_EQ(cell.controls[1].rect, (Rect{x, y, x + 122, y + 81}));
    EXPECT_EQ(cell.controls[2].id, 2204);
    EXPECT_EQ(cell.controls[2].text, "768");
    EXPECT_EQ(cell.controls[3].id, 2304);
    EXPECT_EQ(cell.controls[3].text, "1024");
    EXPECT_EQ(cell.controls[3].rect, (Rect{x + 56, y + 10, x + 98, y + 30}));
    EXPECT_EQ(cell.controls[4].text, "Height");
    EXPECT_EQ(cell.controls[5].id, 2504);
    EXPECT_EQ(ids::controlName(2504), "IDC_WIDTH_LABEL_004");
}

TEST(MosaicGrid, RebuildSettlesTheSelectionOnWindowZero)
{
    Dialog d(true);
    d.preset(ids::IDC_PRESET_2X3);
    const auto click = selectWindow(d.state, 5);
    EXPECT_EQ(click.upload, false);
    EXPECT_EQ(click.captions.at(ids::IDC_INPUT_GROUP), "输入（窗口号：005）");
    EXPECT_EQ(click.buttonColours.at(2005).background, kSelectedWindowColour);
    EXPECT_EQ(click.buttonColours.at(2000).background, kWindowColour);

    const auto v = d.preset(ids::IDC_PRESET_1X2);
    EXPECT_EQ(d.state.selectedWindow, 0);
    EXPECT_EQ(v.captions.at(ids::IDC_INPUT_GROUP), "输入（窗口号：000）");
    EXPECT_EQ(v.captions.at(ids::IDC_OUTPUT_GROUP), "输出（窗口号：000）");
    EXPECT_EQ(v.buttonColours.at(2000).background, kSelectedWindowColour);
    EXPECT_EQ(v.buttonColours.at(2001).background, kWindowColour);
    EXPECT_TRUE(selectWindow(d.state, 2).empty()) << "a window the grid no longer has";

    // Auto Calculate now works on window 0 of the new grid.
    const auto calc = autoCalculate(d.state, {{"1024", "768"}, {"1024", "768"}});
    EXPECT_TRUE(calc.messages.empty());
    EXPECT_EQ(d.state.field(Group::Input, Quantity::Width, Column::Calculated).value, 512);
    EXPECT_EQ(d.state.field(Group::Input, Quantity::HorizontalStart, Column::Calculated).value, 0);
}

TEST(MosaicGrid, AddressRadioAnsweredNoKeepsShowingTheAddressInUse)
{
    Dialog d;
    const auto no = addressRadioAnswered(d.state, ids::IDC_ADDRESS_7, false);
    EXPECT_EQ(d.state.deviceAddress, 1);
    EXPECT_EQ(no.checked.at(ids::IDC_ADDRESS_7), false);
    EXPECT_EQ(no.checked.at(ids::IDC_ADDRESS_1), true);
    EXPECT_FALSE(no.addressSelection);

    const auto yes = addressRadioAnswered(d.state, ids::IDC_ADDRESS_9, true);
    EXPECT_EQ(d.state.deviceAddress, 9);
    EXPECT_EQ(yes.addressSelection, 8);
    EXPECT_EQ(yes.checked.at(ids::IDC_ADDRESS_9), true);

    const auto list = addressListChosen(d.state, 11);
    EXPECT_EQ(d.state.deviceAddress, 12);
    for (const auto& [id, on] : list.checked)
        EXPECT_FALSE(on) << id;
    addressListChosen(d.state, 6);
    EXPECT_EQ(addressListChosen(d.state, 6).checked.at(ids::IDC_ADDRESS_7), true);
}

TEST(MosaicGrid, LowerControlsKeepTheirDistanceToTheBottom)
{
    EXPECT_TRUE(isAnchoredToBottom(ids::IDC_EXIT));
    EXPECT_TRUE(isAnchoredToBottom(ids::IDC_SYNC));
    EXPECT_FALSE(isAnchoredToBottom(ids::IDC_EFFECTS_FRAME));
    EXPECT_FALSE(isAnchoredToBottom(ids::IDC_PRESET_1X2));
    const auto a = recordAnchor(Rect{20, 500, 80, 530}, 600);
    EXPECT_EQ(placeAnchored(a, 900), (Rect{20, 800, 80, 830}));
}
