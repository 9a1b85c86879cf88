#include "core/setup/SetScreenModel.h"
#include "core/setup/SetupIds.h"
#include "tests/core/setup/SetupModelSupport.h"

#include <gtest/gtest.h>

using namespace omnar;
using namespace omnar::setup;
namespace ids = omnar::setup::screen_ids;
using test::ScriptedDevice;

namespace {

struct SetScreenFixture : ::testing::Test {
    test::ModelRig rig;
    WindowCache cache;

    SetupContext context(bool pip = true, bool text = false, bool mosaic = false)
    {
        SetupContext c;
        c.pipOpen = pip;
        c.textOpen = text;
        c.mosaicOn = mosaic;
        c.pipLayout = 1;
        return c;
    }
    void answer(std::uint8_t sub, std::initializer_list<std::uint8_t> bytes)
    {
        rig.device->setAnswer(sub, ScriptedDevice::answer(1, bytes));
    }
    // Opens the window and runs its Refresh to the end.
    SetupView open(SetScreenModel& model) { return rig.run(model, model.open()); }
};

} // namespace

TEST_F(SetScreenFixture, OpeningTextsTooltipsAndLayout)
{
    SetScreenModel model(context(), cache);
    const SetupAction action = model.open();
    EXPECT_EQ(action.view.title, "Screen Program");
    EXPECT_EQ(action.view.text(ids::IDC_OUTPUT2_GROUP), "Output_Size_Position");
    EXPECT_EQ(action.view.text(ids::IDC_COLOUR_DP_RESET), "Reset");
    EXPECT_EQ(action.view.tooltips.at(ids::IDC_PIP_HEIGHT), ">=64");
    EXPECT_EQ(action.view.tooltips.at(ids::IDC_OUTPUT2_VSTART), ">=0");
    EXPECT_EQ(action.view.tooltips.size(), 16u);
    EXPECT_EQ(action.view.isChecked(ids::IDC_M2), true);
    EXPECT_EQ(action.view.isChecked(ids::IDC_M1), false);
    EXPECT_EQ(action.view.isEnabled(ids::IDC_KEY_GREEN), false);
    EXPECT_EQ(action.view.isEnabled(ids::IDC_MAIN_SAVE), false) << "busy while the opening Refresh runs";
    ASSERT_TRUE(action.job);
    EXPECT_EQ(model.windowCode(), 0x2B);

    SetupContext zh = context();
    zh.chinese = true;
    zh.pipLayout = 7;
    SetScreenModel chinese(zh, cache);
    const SetupAction zhAction = chinese.open();
    EXPECT_EQ(zhAction.view.title, "屏幕参数");
    EXPECT_EQ(zhAction.view.text(ids::IDC_PIP_NOTE), "PIP开启状态下可设置!!");
    EXPECT_FALSE(zhAction.view.isChecked(ids::IDC_M1)) << "an unknown layout checks no radio";
    EXPECT_EQ(chinese.windowCode(), 0x2A);
}

TEST_F(SetScreenFixture, EnableRulesAfterOpeningAndAfterLaterBusyToggles)
{
    // PIP closed: layouts and the main and PIP Saves stay disabled throughout.
    SetScreenModel closed(context(false), cache);
    SetupView v = open(closed);
    for (int id : {ids::IDC_MAIN_SAVE, ids::IDC_PIP_SAVE, ids::IDC_M1, ids::IDC_M2, ids::IDC_M3})
        EXPECT_EQ(v.isEnabled(id), false) << id;
    EXPECT_EQ(v.isEnabled(ids::IDC_OUTPUT_SAVE), true);
    EXPECT_EQ(v.isEnabled(ids::IDC_KEY_SAVE), true);
    EXPECT_EQ(closed.busyView(true).isEnabled(ids::IDC_M3), false);

    SetScreenModel mosaic(context(true, false, true), cache);
    v = open(mosaic);
    EXPECT_EQ(v.isEnabled(ids::IDC_MAIN_SAVE), false);
    EXPECT_EQ(v.isEnabled(ids::IDC_PIP_SAVE), true);
    EXPECT_EQ(mosaic.busyView(true).isEnabled(ids::IDC_MAIN_SAVE), false);

    // TEXT open: brightness disabled once opening is over, V2 radios too...
    SetupContext textCtx = context(false, true);
    textCtx.v2IsYPbPr = true;
    SetScreenModel text(textCtx, cache);
    v = open(text);
    for (int id : {ids::IDC_BRIGHTNESS, ids::IDC_BRIGHTNESS_SAVE, ids::IDC_BRIGHTNESS_RESET, ids::IDC_V2_MODE_V2})
        EXPECT_EQ(v.isEnabled(id), false) << id;
    EXPECT_EQ(v.isChecked(ids::IDC_V2_MODE_YPBPR), true);
    // ...but any later busy toggle enables the brightness Save again, and
    // leaves its edit and Reset as they are.
    v = rig.run(text, text.refresh());
    EXPECT_EQ(v.isEnabled(ids::IDC_BRIGHTNESS_SAVE), true);
    EXPECT_FALSE(v.isEnabled(ids::IDC_BRIGHTNESS));
    EXPECT_FALSE(v.isEnabled(ids::IDC_BRIGHTNESS_RESET));
}

TEST_F(SetScreenFixture, RefreshFillsFieldsAndClearsEveryMark)
{
    answer(3, {16, 0, 0, 0x07, 0x80, 0, 8, 0x04, 0x30});
    answer(15, {15, 0x07, 0x80, 0x04, 0x38, 60});
    answer(9, {9, 0, 2, 0x04, 0x00, 0, 0, 0x03, 0x00});
    answer(5, {40, 55, 0, 1, 0x84, 0x02, 1});
    answer(16, {16, 70, 1, 2, 0, 3, 4, 5});
    SetScreenModel model(context(), cache);
    const SetupView v = open(model);
    EXPECT_EQ(model.outputSize(), (OutputSize{1920, 1080}));
    EXPECT_EQ(v.text(ids::IDC_OUTPUT_CORNER), "(1920,1080)");
    EXPECT_EQ(v.text(ids::IDC_MAIN_CORNER), "(1920,1080)");
    EXPECT_EQ(v.text(ids::IDC_OUTPUT_HEIGHT), "1072");
    EXPECT_EQ(v.text(ids::IDC_MAIN_HSTART), "2");
    EXPECT_EQ(cache.main, (WindowRect{1024, 2, 768, 0}));
    EXPECT_EQ(cache.output, (WindowRect{1920, 0, 1072, 8}));
    EXPECT_EQ(v.text(ids::IDC_COLOUR), "70");
    EXPECT_EQ(v.text(ids::IDC_COLOUR_V1), "70");
    EXPECT_EQ(v.text(ids::IDC_COLOUR_YPBPR), "5");
    EXPECT_EQ(v.selection(ids::IDC_AUDIO1), 1);
    EXPECT_EQ(v.selection(ids::IDC_AUDIO2), 4);
    EXPECT_EQ(v.isChecked(ids::IDC_SHARPNESS_SHARP), true);
    EXPECT_EQ(v.isChecked(ids::IDC_SPARE_HDMI_DVI), true);
    EXPECT_EQ(v.text(ids::IDC_BRIGHTNESS_RANGE), "(0~100)");
    EXPECT_EQ(model.brightnessRange(), 1);
    EXPECT_TRUE(v.redraw.contains(ids::IDC_MAIN_RECT));
    for (int id : kMarkedEdits) {
        EXPECT_EQ(v.mark(id), false) << id;
        EXPECT_FALSE(model.marked(id));
    }
    // 1920 of 1920 fills the whole area.
    EXPECT_EQ(model.previewRect(ids::IDC_OUTPUT_RECT, {0, 0, 192, 108}), (PixelRect{0, 0, 192, 107}));
}

TEST_F(SetScreenFixture, UnknownIndexAndZeroCustomSizeKeepTheOutputSize)
{
    SetScreenModel model(context(), cache);
    model.apply(OutputReadBack{6, {}});
    model.apply(OutputReadBack{20, {}});
    EXPECT_EQ(model.outputSize(), (OutputSize{1920, 1080}));
    model.apply(OutputReadBack{16, {}});
    const SetupView v = model.apply(CustomResolution{0, 720, 60});
    EXPECT_EQ(model.outputSize(), (OutputSize{1920, 1080}));
    EXPECT_EQ(v.text(ids::IDC_OUTPUT_CORNER), "(1920,1080)");
}

TEST_F(SetScreenFixture, WindowSaveRefusalsSendNothing)
{
    SetScreenModel model(context(), cache);
    SetupView v = rig.run(model, model.saveWindow(WindowGroup::Main, {"1024", "2", "768", "0"}));
    ASSERT_TRUE(v.message);
    EXPECT_EQ(v.message->text, "Value out  of range");
    EXPECT_EQ(v.message->caption, "System Information");
    EXPECT_EQ(v.message->languageId, 1033);
    EXPECT_EQ(v.text(ids::IDC_MAIN_WIDTH), "");
    EXPECT_EQ(v.mark(ids::IDC_MAIN_WIDTH), true) << "emptying the edit is a change";
    EXPECT_EQ(v.isEnabled(ids::IDC_MAIN_SAVE), true);

    v = rig.run(model, model.saveWindow(WindowGroup::Pip, {"101", "0", "768", "0"}));
    EXPECT_EQ(v.message->text, "he input value must be even, and can not be odd");
    EXPECT_FALSE(v.text(ids::IDC_PIP_WIDTH)) << "the text stays";
    EXPECT_TRUE(model.marked(ids::IDC_PIP_WIDTH));
    EXPECT_TRUE(rig.device->written().empty());
    EXPECT_EQ(cache.pip, WindowRect{});
}

TEST_F(SetScreenFixture, WindowSaveSendsUnderTheCurrentLayoutAndClearsItsMarks)
{
    SetScreenModel model(context(), cache);
    model.editChanged(ids::IDC_MAIN_WIDTH);
    model.editChanged(ids::IDC_PIP_WIDTH);
    const SetupAction action = model.saveWindow(WindowGroup::Main, {"1024", "0", "768", "0"});
    EXPECT_EQ(action.view.isEnabled(ids::IDC_KEY_SAVE), false) << "busy";
    const SetupView v = rig.run(model, action);
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x2B, 0, 0, 0, 0x04, 0x00, 0, 0, 0x03, 0x00}));
    EXPECT_EQ(v.text(ids::IDC_INFO), "Set successfully");
    EXPECT_EQ(cache.main, (WindowRect{1024, 0, 768, 0}));
    EXPECT_FALSE(model.marked(ids::IDC_MAIN_WIDTH));
    EXPECT_TRUE(model.marked(ids::IDC_PIP_WIDTH)) << "another group keeps its marks";
    EXPECT_TRUE(v.redraw.contains(ids::IDC_PIP_RECT));
    EXPECT_EQ(v.isEnabled(ids::IDC_KEY_SAVE), true);

    // M3: its stored windows are read first, then the layout switches.
    answer(11, {11, 0, 0, 0x02, 0x00, 0, 0, 0x01, 0x00});
    const SetupView layout = rig.run(model, model.selectLayout(2));
    EXPECT_EQ(model.windowCode(), 0x2C);
    EXPECT_EQ(layout.isChecked(ids::IDC_M3), true);
    EXPECT_EQ(layout.isChecked(ids::IDC_M2), false);
    EXPECT_EQ(layout.mark(ids::IDC_MAIN_WIDTH), false);
    EXPECT_EQ(layout.text(ids::IDC_MAIN_WIDTH), "512");
    EXPECT_FALSE(layout.text(ids::IDC_INFO)) << "the layout frame writes no Info line";
    rig.run(model, model.saveWindow(WindowGroup::Pip, {"64", "0", "64", "0"}));
    EXPECT_EQ(rig.lastFrame()[0], 0x2C);
    EXPECT_EQ(rig.lastFrame()[1], 1);
}

TEST_F(SetScreenFixture, PictureSavesAndResetsFollowTheRangeFlag)
{
    SetupContext zh = context();
    zh.chinese = true;
    SetScreenModel model(zh, cache);
    SetupView v = rig.run(model, model.saveSetting(ids::IDC_BRIGHTNESS_SAVE, "65"));
    EXPECT_EQ(v.message->text, "值越界");
    EXPECT_EQ(v.message->caption, "系统信息");
    EXPECT_EQ(v.text(ids::IDC_BRIGHTNESS), "0");

    v = rig.run(model, model.resetSetting(ids::IDC_BRIGHTNESS_RESET));
    EXPECT_EQ(v.text(ids::IDC_BRIGHTNESS), "64");
    EXPECT_EQ(v.mark(ids::IDC_BRIGHTNESS), false) << "set by the write, cleared once sent";
    EXPECT_EQ(v.text(ids::IDC_INFO), "设置成功");
    EXPECT_EQ(rig.lastFrame()[0], 0x16);
    EXPECT_EQ(rig.lastFrame()[1], 64);

    model.apply(PictureReadBack{.brightnessRange = 3});
    v = rig.run(model, model.saveSetting(ids::IDC_BRIGHTNESS_SAVE, "65"));
    EXPECT_EQ(v.message->id, MessageId::OddValue);
    EXPECT_FALSE(v.text(ids::IDC_BRIGHTNESS));
    rig.run(model, model.saveSetting(ids::IDC_BRIGHTNESS_SAVE, "100"));
    EXPECT_EQ(rig.lastFrame()[1], 100);
    rig.run(model, model.resetSetting(ids::IDC_BRIGHTNESS_RESET));
    EXPECT_EQ(rig.lastFrame()[1], 50);

    v = rig.run(model, model.saveSetting(ids::IDC_BIAS_SAVE, "101"));
    EXPECT_EQ(v.text(ids::IDC_BIAS), "0");
    rig.run(model, model.saveSetting(ids::IDC_COLOUR_DP_SAVE, "33"));
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x18, 33, 6, 0, 0, 0, 0, 0, 0, 0}));
    rig.run(model, model.resetSetting(ids::IDC_COLOUR_YPBPR_RESET));
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x18, 50, 8, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SetScreenFixture, KeyingSpinsAudioAndRadios)
{
    SetScreenModel model(context(), cache);
    SetupView v = model.spin(ids::IDC_KEY_RED_SPIN, "248", -1);
    EXPECT_EQ(v.message->text, "Value cannot be upward adjustment");
    EXPECT_EQ(v.text(ids::IDC_KEY_RED), "248");
    EXPECT_EQ(v.mark(ids::IDC_KEY_RED), true);
    EXPECT_EQ(model.spin(ids::IDC_KEY_GREEN_SPIN, "251", -1).text(ids::IDC_KEY_GREEN), "255");
    EXPECT_TRUE(model.spin(ids::IDC_KEY_BLUE_SPIN, "100", 3).empty());

    v = rig.run(model, model.saveKeying(true, "0", "128", "256"));
    EXPECT_EQ(v.text(ids::IDC_KEY_BLUE), "0");
    EXPECT_TRUE(rig.device->written().empty());
    v = rig.run(model, model.saveKeying(true, "0", "128", "255"));
    EXPECT_EQ(rig.lastFrame(), (std::vector<int>{0x15, 1, 0, 0x80, 0xFF, 0, 0, 0, 0, 0}));
    EXPECT_EQ(v.mark(ids::IDC_KEY_RED), false);

    v = model.audioChanged(ids::IDC_AUDIO2, 3, 3);
    EXPECT_EQ(v.selection(ids::IDC_AUDIO2), 0);
    EXPECT_EQ(v.message->text, "Sorry, audio1 and audio2 can't use the same channel");
    EXPECT_TRUE(model.audioChanged(ids::IDC_AUDIO1, 2, 3).empty());

    // Radios send at once without the busy toggle; the V2 mode writes no Info line.
    const SetupAction sharp = model.setSharpness(true);
    EXPECT_FALSE(sharp.view.isEnabled(ids::IDC_KEY_SAVE));
    EXPECT_EQ(rig.run(model, sharp).text(ids::IDC_INFO), "Set successfully");
    EXPECT_FALSE(rig.run(model, model.setV2Mode(true)).text(ids::IDC_INFO));
    EXPECT_EQ(rig.lastFrame()[0], 0x1A);
}

TEST_F(SetScreenFixture, AnActionWhileAJobRunsWaitsItsTurn)
{
    SetScreenModel model(context(), cache);
    SetupAction opening = model.open();
    ASSERT_TRUE(opening.job);
    EXPECT_TRUE(model.busy());
    EXPECT_TRUE(model.saveSetting(ids::IDC_BIAS_SAVE, "40").empty());
    EXPECT_TRUE(model.saveSetting(ids::IDC_BIAS_SAVE, "101").empty());
    EXPECT_TRUE(model.setSharpness(false).empty());

    const SetupView v = rig.run(model, std::move(opening));
    // The opening Refresh (silent device: 3 and 16), then the first bias
    // Save, the refused one, and the sharpness radio, in that order.
    EXPECT_EQ(rig.device->commands(),
              (std::vector<std::pair<int, int>>{{0xFE, 3}, {0xFE, 16}, {0x2D, 40}, {0x17, 0}}));
    EXPECT_EQ(v.message->id, MessageId::ValueOutOfRange);
    EXPECT_FALSE(model.busy());
}
