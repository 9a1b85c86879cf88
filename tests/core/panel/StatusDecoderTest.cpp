#include "core/link/Sources.h"
#include "core/panel/PanelIds.h"
#include "core/panel/StatusDecoder.h"

#include <gtest/gtest.h>

using namespace omnar::panel;
using omnar::link::Frame;
using State = IndicatorState;

namespace {

struct Status {
    std::uint8_t id = 1, mode = 0, fade = 0, flags = 0;
    std::uint8_t sources = 0; // high nibble second, low nibble main
    std::uint8_t mainSignal = 1, secondSignal = 1, layout = 0, ext = 0;
};

DecodeResult decode(const Status& s, const DeviceMirror& m = {}, bool chinese = false, bool timer = false)
{
    const Frame f{0x05, s.id, 0xFE, 0, s.mode, s.fade, s.flags, s.sources, s.mainSignal, s.secondSignal, s.layout,
                  s.ext, 0x5A};
    return decodeStatus(f, 1, m, chinese, timer);
}

} // namespace

TEST(PanelDecode, DviReplyOnFirstDecode)
{
    // 05 01 FE 00 00 02 12 05 01 00 00 00
    const auto r = decode({.fade = 2, .flags = 0x12, .sources = 0x05, .secondSignal = 0});
    const auto& m = r.mirror;
    const auto& v = r.view;
    ASSERT_FALSE(r.ignored);
    EXPECT_EQ(m.mode, StatusMode::MainOnly);
    EXPECT_EQ(m.fadeIndex, 2);
    EXPECT_EQ(v.checked, (std::map<int, bool>{{1020, false}, {1022, false}, {1038, true}, {1039, false},
                                              {ids::IDC_ONE_KEY, false}, {ids::IDC_PRE_TAKE, true},
                                              {1036, true}, {1029, false}, {1040, false}, {1030, false},
                                              {1041, false}, {1044, false}}));
    EXPECT_TRUE(m.bypass && m.preTakeMode && m.mainIsDvi);
    EXPECT_FALSE(m.freeze || m.mosaic || m.v2IsYPbPr);
    EXPECT_EQ(v.indicator(ids::IDC_LED_BYPASS), State::Shown);
    EXPECT_EQ(v.indicator(ids::IDC_LED_FREEZE), State::Hidden);
    EXPECT_EQ(v.indicator(1078), State::Shown);
    EXPECT_EQ(v.captions, (std::map<int, std::string>{{ids::IDC_KEY_AUTO_TAKE, "TAKE"}, {ids::IDC_KEY_V2, "V2"}}));
    EXPECT_EQ(v.isEnabled(ids::IDC_KEY_MOSAIC), true);
    EXPECT_EQ(v.isEnabled(ids::IDC_KEY_BYPASS), true);
    EXPECT_EQ(v.preLabel->visible, false);

    // Without signal the DVI indicator blinks and main-is-DVI keeps its old value.
    const auto dark = decode({.fade = 2, .flags = 0x12, .sources = 0x05, .mainSignal = 0});
    EXPECT_EQ(dark.mirror.blinkSet, std::vector<int>{1078});
    EXPECT_EQ(dark.view.indicator(1078), State::Blinking);
    EXPECT_FALSE(dark.mirror.mainIsDvi);
}

TEST(PanelDecode, SecondWindowIndicatorsAndLayout)
{
    const auto r = decode({.mode = 2, .sources = 0x40, .layout = 1});
    EXPECT_EQ(r.view.indicator(1073), State::Shown);
    EXPECT_EQ(r.view.indicator(1077), State::Shown);
    EXPECT_EQ(r.view.indicator(ids::IDC_LED_PIP), State::Shown) << "hidden, then shown again";
    EXPECT_EQ(r.view.indicator(ids::IDC_LED_TEXT), State::Hidden);
    EXPECT_EQ(r.view.indicator(ids::IDC_LED_M1), State::Hidden);
    EXPECT_EQ(r.view.indicator(ids::IDC_LED_M2), State::Shown);
    EXPECT_EQ(r.view.isEnabled(ids::IDC_M3), true);
    EXPECT_EQ(r.mirror.secondSource, 4);
    EXPECT_TRUE(r.mirror.inUse(0) && r.mirror.inUse(4));

    // Mode 1 flashes PIP, darkens the stored second source and keeps none.
    const auto blinking = decode({.mode = 1, .sources = 0x40}, r.mirror);
    EXPECT_EQ(blinking.view.indicator(ids::IDC_LED_PIP), State::Blinking);
    EXPECT_EQ(blinking.view.indicator(1077), State::Hidden);
    EXPECT_EQ(blinking.mirror.secondSource, -1);

    // A layout index outside M1..M3 touches no layout indicator.
    const auto odd = decode({.mode = 2, .sources = 0x40, .layout = 7}, r.mirror);
    for (int id : {ids::IDC_LED_M1, ids::IDC_LED_M2, ids::IDC_LED_M3})
        EXPECT_EQ(odd.view.indicator(id), State::Unchanged);

    // TEXT steady with a second source lacking signal; closing everything.
    const auto text = decode({.mode = 4, .sources = 0x21, .secondSignal = 0}, r.mirror);
    EXPECT_EQ(text.view.indicator(ids::IDC_LED_TEXT), State::Shown);
    EXPECT_EQ(text.view.indicator(1075), State::Blinking);
    EXPECT_EQ(text.view.isEnabled(ids::IDC_M1), false);
    const auto closed = decode({.sources = 0x41, .layout = 2}, text.mirror);
    EXPECT_EQ(closed.mirror.pipLayoutIndex, 0);
    EXPECT_EQ(closed.view.indicator(ids::IDC_LED_TEXT), State::Hidden);
    EXPECT_EQ(closed.view.indicator(1075), State::Hidden) << "leaves the blink set dark";
    EXPECT_EQ(closed.view.indicator(ids::IDC_LED_M3), State::Hidden);
}

TEST(PanelDecode, PreLabel)
{
    const auto held = decode({.mode = 8, .sources = 0x25});
    EXPECT_EQ(held.view.preLabel->text, "Pre: VGA");
    EXPECT_EQ(held.mirror.secondSource, 2);
    EXPECT_EQ(decode({.mode = 8, .sources = 0x25}, {}, true).view.preLabel->text, "预选:\tVGA");
    EXPECT_EQ(decode({.mode = 8, .sources = 0x95}).view.preLabel->text, "NULL");
    const auto empty = decode({.mode = 7, .sources = 0x25});
    EXPECT_EQ(empty.view.preLabel->visible, true);
    EXPECT_EQ(empty.view.preLabel->text, "Pre: NULL");
    EXPECT_EQ(empty.mirror.secondSource, -1);
    EXPECT_EQ(decode({.mode = 7}, {}, true).view.preLabel->text, "预选: 空");
}

TEST(PanelDecode, ForeignRepliesChangeNothing)
{
    const DeviceMirror before = decode({.mode = 2, .sources = 0x40}).mirror;
    Frame wrongCode{0x05, 1, 0x21, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0};
    Frame wrongId = wrongCode;
    wrongId[1] = 2;
    wrongId[2] = 0xFE;
    for (const Frame& f : {wrongCode, wrongId}) {
        const auto r = decodeStatus(f, 1, before, false, false);
        EXPECT_TRUE(r.ignored);
        EXPECT_TRUE(r.view.empty());
        EXPECT_EQ(r.mirror.mode, StatusMode::PipSteady);
        EXPECT_EQ(r.mirror.secondSource, 4);
    }
}

TEST(PanelDecode, FadeAdoptedOncePerConnection)
{
    DeviceMirror mine = decode({.fade = 3}).mirror;
    mine.fadeIndex = 1; // the operator's choice survives later replies
    const auto later = decode({.fade = 2}, mine);
    EXPECT_EQ(later.mirror.fadeIndex, 1);
    EXPECT_EQ(later.view.isChecked(1038), std::nullopt);

    // A fade index without a radio is not adopted; the next valid one is.
    const auto bad = decode({.fade = 9});
    EXPECT_FALSE(bad.mirror.fadeRadioInitialised);
    EXPECT_EQ(bad.mirror.fadeIndex, 0);
    EXPECT_EQ(decode({.fade = 1}, bad.mirror).mirror.fadeIndex, 1);

    // Disconnect re-arms the adoption and darkens the second source and blinkers.
    const auto pip = decode({.mode = 2, .sources = 0x40, .secondSignal = 0});
    const auto off = disconnectMirror(pip.mirror);
    EXPECT_EQ(off.view.indicator(1077), State::Hidden);
    EXPECT_EQ(off.mirror.blinkSet, std::vector<int>{});
    EXPECT_EQ(decode({.fade = 2}, off.mirror).mirror.fadeIndex, 2);
}

TEST(PanelDecode, OutOfTableValues)
{
    // Nibbles above 8: no indicator, no group, no source-in-use flag.
    const auto r = decode({.mode = 2, .sources = 0xFF, .mainSignal = 0, .secondSignal = 0});
    EXPECT_EQ(r.mirror.mainInputGroup, -1);
    EXPECT_EQ(r.mirror.sourceInUse, (std::array<bool, 9>{}));
    EXPECT_EQ(r.view.blinkSet, std::vector<int>{});

    // Mode 5 clears every mode flag: no second source, PIP indicator off.
    const auto odd = decode({.mode = 5, .sources = 0x40}, decode({.mode = 2, .sources = 0x40}).mirror);
    EXPECT_EQ(odd.mirror.mode, StatusMode::None);
    EXPECT_EQ(odd.view.indicator(ids::IDC_LED_PIP), State::Hidden);
    EXPECT_EQ(odd.view.indicator(1077), State::Hidden);
    EXPECT_EQ(odd.mirror.secondSource, -1);

    // EXT. index 6 unchecks all six radios and keeps the last known index.
    const auto ext = decode({.ext = 6}, decode({.ext = 2}).mirror);
    for (const auto& e : omnar::link::kExtSubSources)
        EXPECT_EQ(ext.view.isChecked(e.radioId), false);
    EXPECT_EQ(ext.mirror.extSubSource, 2);
}

TEST(PanelDecode, StepOrderOnSharedIndicator)
{
    // V2 turns YPbPr: 1074 is shown as the new main source, then hidden as
    // the old one, until the next reply.
    const auto v2 = decode({.sources = 0x01});
    const auto turn = decode({.flags = 0x08, .sources = 0x08}, v2.mirror);
    EXPECT_EQ(turn.view.indicator(1074), State::Hidden);
    EXPECT_EQ(turn.view.caption(ids::IDC_KEY_V2), "YPbPr");
    EXPECT_EQ(decode({.flags = 0x08, .sources = 0x08}, turn.mirror).view.indicator(1074), State::Shown);
}

TEST(PanelDecode, FunctionKeyEnables)
{
    struct Case {
        const char* name;
        Status status;
        bool mosaic, bypass, freeze, pip, text, switchMode;
    };
    const Case cases[] = {
        {"main only, DVI", {.sources = 0x05}, true, true, true, true, true, true},
        {"main only, HDMI", {.sources = 0x04}, false, true, true, true, true, true},
        {"mosaic on", {.flags = 0x04, .sources = 0x05}, true, false, true, true, false, true},
        {"PIP blinking", {.mode = 1, .sources = 0x45}, false, false, false, true, false, false},
        {"TEXT steady", {.mode = 4, .sources = 0x45}, false, false, false, false, true, false},
        {"pre empty", {.mode = 7, .sources = 0x05}, false, true, true, true, false, true},
        {"pre held", {.mode = 8, .sources = 0x45}, false, true, true, true, false, true},
        {"unknown mode", {.mode = 6, .sources = 0x05}, false, true, true, true, true, true},
    };
    const int functionKeys[] = {ids::IDC_KEY_MOSAIC, ids::IDC_KEY_BYPASS, ids::IDC_KEY_FREEZE, ids::IDC_KEY_PIP,
                                ids::IDC_KEY_TEXT, ids::IDC_ONE_KEY, ids::IDC_PRE_TAKE};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = decode(c.status).view;
        const bool expected[] = {c.mosaic, c.bypass, c.freeze, c.pip, c.text, c.switchMode, c.switchMode};
        for (std::size_t i = 0; i < std::size(functionKeys); ++i)
            EXPECT_EQ(v.isEnabled(functionKeys[i]), expected[i]) << functionKeys[i];

        // While the timer runs only M1..M3 and AUTO/TAKE follow the device.
        const auto timed = decode(c.status, {}, false, true).view;
        for (int key : functionKeys)
            EXPECT_EQ(timed.isEnabled(key), std::nullopt);
        EXPECT_TRUE(timed.isEnabled(ids::IDC_KEY_AUTO_TAKE) && timed.isEnabled(ids::IDC_M1));
    }
}

TEST(PanelDecode, AutoTakeEnable)
{
    struct Case {
        const char* name;
        Status status;
        bool enabled;
    };
    const Case cases[] = {
        {"TAKE, pre empty", {.mode = 7, .flags = 0x10, .sources = 0x04}, true},
        {"TAKE, PIP open", {.mode = 2, .flags = 0x10, .sources = 0x24}, false},
        {"AUTO, VGA", {.sources = 0x02}, true},
        {"AUTO, VGA2", {.sources = 0x03}, true},
        {"AUTO, HDMI", {.sources = 0x04}, false},
        {"AUTO, EXT. VGA", {.sources = 0x07, .ext = 2}, true},
        {"AUTO, EXT. SDI", {.sources = 0x07, .ext = 1}, false},
        {"AUTO, VGA, BYPASS", {.flags = 0x02, .sources = 0x02}, false},
        {"AUTO, VGA, TEXT", {.mode = 4, .sources = 0x42}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode(c.status).view.isEnabled(ids::IDC_KEY_AUTO_TAKE), c.enabled) << c.name;
}
