#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/panel/PanelKeys.h"
#include "core/panel/StatusDecoder.h"

#include <gtest/gtest.h>

using namespace omnar::panel;
using omnar::link::Frame;

namespace {

constexpr int kV1 = 1114, kV2 = 1115, kVga = 1120, kVga2 = 1121, kHdmi = 1119, kDvi = 1118, kExt = 1122;
constexpr int kSourceKeys[] = {kV1, kV2, kVga, kVga2, kHdmi, kDvi, 1311, kExt};

DeviceMirror mirror(StatusMode mode, int mainSource)
{
    DeviceMirror m;
    m.mode = mode;
    m.mainSource = mainSource;
    m.mainInputGroup = omnar::link::inputGroup(mainSource);
    m.extSubSource = 1;
    return m;
}

KeyOutcome press(int key, const DeviceMirror& m, bool chinese = false)
{
    return pressKey(key, m, 1, chinese);
}

// Bytes 2..4 of the frame in the slot and its delay.
std::vector<int> sent(const KeyOutcome& out)
{
    if (!out.command)
        return {};
    const Frame& f = out.command->frame;
    return {f[2], f[3], f[4], out.command->delayMs};
}

} // namespace

TEST(PanelKeys, MainSwitchFrameAndDelays)
{
    DeviceMirror m = mirror(StatusMode::MainOnly, 4);
    m.fadeIndex = 2;
    const auto out = press(kV1, m);
    EXPECT_EQ(out.command->frame, (Frame{0x05, 0x01, 0x00, 0x02, 0x00, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(out.command->delayMs, 3000);
    EXPECT_EQ(pressKey(kHdmi, m, 0x2A, false).command->frame[1], 0x2A);
    for (int key : kSourceKeys)
        EXPECT_EQ(sent(press(key, m)), (std::vector<int>{0x00, 2, *omnar::link::sourceForKey(key),
                                                         key == kDvi ? 5000 : 3000}));
}

TEST(PanelKeys, SecondWindowAndPreselectionGuards)
{
    const auto pip = mirror(StatusMode::PipSteady, 2);
    const auto refused = press(kVga2, pip);
    EXPECT_FALSE(refused.command);
    EXPECT_EQ(refused.refusal->kind, Refusal::Kind::InfoLine);
    EXPECT_EQ(refused.refusal->text, "Invalid operate incorrect source");
    EXPECT_EQ(press(kVga2, pip, true).refusal->text, "无效操作，错误通道");
    EXPECT_EQ(sent(press(kVga, pip)), (std::vector<int>{0x02, 2, 0, 3000}));
    EXPECT_EQ(sent(press(kHdmi, pip)), (std::vector<int>{0x02, 4, 0, 3000}));
    EXPECT_EQ(sent(press(kDvi, mirror(StatusMode::TextBlinking, 0))), (std::vector<int>{0x04, 5, 0, 5000}));

    // Pre-selection refuses the main window's group, the main source included.
    for (auto [mode, code] : {std::pair{StatusMode::PreselectHeld, 0x0B}, {StatusMode::PreselectEmpty, 0x0A}}) {
        EXPECT_EQ(press(kHdmi, mirror(mode, 4)).refusal->textId, TextId::IncorrectSource);
        EXPECT_EQ(sent(press(kV1, mirror(mode, 4))), (std::vector<int>{code, 0, 0, 3000}));
    }

    // MOSAIC guards only the main switch.
    auto mosaic = mirror(StatusMode::MainOnly, 5);
    mosaic.mosaic = true;
    for (int key : kSourceKeys) {
        const auto out = press(key, mosaic);
        EXPECT_FALSE(out.command);
        EXPECT_EQ(out.refusal->text, "Invalid operate only valid in mosaic off");
    }
    EXPECT_EQ(press(kV1, mosaic, true).refusal->text, "无效操作，仅在mosaic关有效");
    mosaic.mode = StatusMode::PipSteady;
    EXPECT_TRUE(press(kV1, mosaic).command);
}

TEST(PanelKeys, ExtNeedsASubSource)
{
    // A reply with EXT. index 0 (NULL) makes the EXT. key refuse.
    const Frame reply{0x05, 1, 0xFE, 0, 0, 0, 0, 0x04, 1, 0, 0, 0, 0};
    const DeviceMirror decoded = decodeStatus(reply, 1, {}, false, false).mirror;
    const auto out = press(kExt, decoded);
    EXPECT_FALSE(out.command);
    EXPECT_EQ(out.refusal->kind, Refusal::Kind::MessageBox);
    EXPECT_EQ(out.refusal->text, "Ext is null,can't switch");
    EXPECT_EQ(out.refusal->caption, "System information");
    const auto zh = press(kExt, decoded, true);
    EXPECT_EQ(zh.refusal->text, "Ext为空，不能切换");
    EXPECT_EQ(zh.refusal->caption, "系统信息");

    auto sdi = decoded;
    sdi.extSubSource = 1;
    EXPECT_EQ(sent(press(kExt, sdi)), (std::vector<int>{0x00, 0, 7, 3000}));
}

TEST(PanelKeys, V2KeyInYPbPrMode)
{
    auto m = mirror(StatusMode::MainOnly, 4);
    m.v2IsYPbPr = true;
    m.bypass = true;
    m.fadeIndex = 3;
    const auto out = press(kV2, m);
    EXPECT_EQ(sent(out), (std::vector<int>{0x00, 3, 8, 3000}));
    EXPECT_EQ(out.view.isEnabled(ids::IDC_KEY_BYPASS), std::nullopt) << "this path leaves BYPASS alone";

    for (auto mode : {StatusMode::PipBlinking, StatusMode::PipSteady, StatusMode::TextBlinking,
                      StatusMode::TextSteady, StatusMode::PreselectEmpty, StatusMode::PreselectHeld}) {
        m.mode = mode;
        const auto busy = press(kV2, m);
        EXPECT_FALSE(busy.command);
        EXPECT_EQ(busy.refusal->kind, Refusal::Kind::MessageBox);
        EXPECT_EQ(busy.refusal->text, "Please close PIP/Text Or Take");
    }
    EXPECT_EQ(press(kV2, m, true).refusal->text, "请关闭PIP/Text 或者Take");
    m.mosaic = true; // checked first, in the Info line
    EXPECT_EQ(press(kV2, m).refusal->kind, Refusal::Kind::InfoLine);
}

TEST(PanelKeys, BypassKeyDisabledOnlyWhenASwitchIsSent)
{
    auto m = mirror(StatusMode::MainOnly, 4);
    m.bypass = true;
    EXPECT_EQ(press(kV1, m).view.isEnabled(ids::IDC_KEY_BYPASS), false);
    m.mosaic = true;
    EXPECT_EQ(press(kV1, m).view.isEnabled(ids::IDC_KEY_BYPASS), std::nullopt);
}

TEST(PanelKeys, FunctionKeys)
{
    struct Case {
        int key;
        StatusMode mode;
        std::vector<int> sent;
    };
    const Case cases[] = {
        {ids::IDC_KEY_PIP, StatusMode::MainOnly, {0x01, 1, 0, 3000}},
        {ids::IDC_KEY_PIP, StatusMode::PipBlinking, {0x01, 0, 0, 500}},
        {ids::IDC_KEY_TEXT, StatusMode::PipSteady, {0x03, 1, 0, 3000}},
        {ids::IDC_KEY_TEXT, StatusMode::TextSteady, {0x03, 0, 0, 500}},
        {ids::IDC_M1, StatusMode::PipSteady, {0x24, 0, 0, 500}},
        {ids::IDC_M3, StatusMode::PipSteady, {0x24, 2, 0, 500}},
        {ids::IDC_ONE_KEY, StatusMode::MainOnly, {0x09, 0, 0, 3000}},
        {ids::IDC_PRE_TAKE, StatusMode::MainOnly, {0x09, 1, 0, 3000}},
        {ids::IDC_KEY_AUTO_TAKE, StatusMode::MainOnly, {0x27, 0, 0, 20000}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sent(press(c.key, mirror(c.mode, 0))), c.sent) << c.key;

    auto ypbpr = mirror(StatusMode::MainOnly, 8);
    ypbpr.v2IsYPbPr = true;
    for (int key : {ids::IDC_KEY_PIP, ids::IDC_KEY_TEXT}) {
        const auto out = press(key, ypbpr, true);
        EXPECT_FALSE(out.command);
        EXPECT_EQ(out.refusal->text, "当前信号是YPbPr,不能打开PIP/Text");
        EXPECT_EQ(out.refusal->caption, "系统信息");
    }

    // BYPASS, MOSAIC and FREEZE flip the panel's copy and send the new state.
    for (auto [key, code, state] : {std::tuple{ids::IDC_KEY_BYPASS, 0x26, &DeviceMirror::bypass},
                                    {ids::IDC_KEY_MOSAIC, 0x21, &DeviceMirror::mosaic},
                                    {ids::IDC_KEY_FREEZE, 0x29, &DeviceMirror::freeze}}) {
        const auto on = press(key, {});
        EXPECT_TRUE(on.mirror.*state);
        EXPECT_EQ(sent(on), (std::vector<int>{code, 1, 0, 500}));
        const auto off = press(key, on.mirror);
        EXPECT_FALSE(off.mirror.*state);
        EXPECT_EQ(sent(off), (std::vector<int>{code, 0, 0, 500}));
    }
}

TEST(PanelKeys, FadeRadiosFeedSwitchAndTake)
{
    const auto fade = press(1039, {});
    EXPECT_TRUE(fade.handled);
    EXPECT_FALSE(fade.command);
    EXPECT_EQ(fade.view.checked, (std::map<int, bool>{{1020, false}, {1022, false}, {1038, false}, {1039, true}}));
    auto m = fade.mirror;
    m.preTakeMode = true;
    EXPECT_EQ(sent(press(ids::IDC_KEY_AUTO_TAKE, m)), (std::vector<int>{0x0C, 3, 0, 3000}));
    EXPECT_EQ(sent(press(kVga, fade.mirror))[1], 3);

    // Display-only and unknown controls are not keys.
    EXPECT_FALSE(press(1036, {}).handled);
    EXPECT_FALSE(press(ids::IDC_INFO, {}).handled);
}
