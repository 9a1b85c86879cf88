// The command line of omnar-ctl, the words of the plan commands, the status
// report and where the profile file is looked for.

#include "core/ctl/CtlIo.h"
#include "core/ctl/CtlOptions.h"
#include "core/ctl/DeviceCommands.h"
#include "core/ctl/PlanCommands.h"
#include "core/ctl/StatusReport.h"
#include "core/link/Frame.h"
#include "core/panel/PanelIds.h"
#include "core/panel/StatusDecoder.h"
#include "core/settings/ProfileLocation.h"
#include "core/util/Clock.h"
#include "core/util/Console.h"

#include <gtest/gtest.h>

using namespace omnar;
using namespace omnar::ctl;

namespace {

ParsedCommandLine parse(std::vector<std::string> args)
{
    return parseCommandLine(args);
}

panel::DeviceMirror decoded(std::initializer_list<std::uint8_t> bytes3to11)
{
    link::Frame reply = link::makeFrame(1, 0xFE, bytes3to11);
    reply[0] = link::kLeadByte;
    const auto result = panel::decodeStatus(reply, 1, {}, false, false);
    EXPECT_FALSE(result.ignored);
    return result.mirror;
}

std::string valueOf(const std::vector<StatusItem>& items, const std::string& key)
{
    for (const auto& i : items)
        if (i.key == key)
            return jsonValue(i.value);
    return "missing";
}

} // namespace

TEST(CtlCommandLine, OptionsStandAnywhereAndBadOnesAreNamed)
{
    const auto p = parse({"switch", "--tcp", "10.0.0.2:5000", "HDMI", "--fade=1.0", "--trace", "--id", "3"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.words, (std::vector<std::string>{"switch", "HDMI"}));
    EXPECT_EQ(p.options.tcp, "10.0.0.2:5000");
    EXPECT_EQ(p.options.fade, "1.0");
    EXPECT_EQ(p.options.id, "3");
    EXPECT_TRUE(p.options.trace);

    EXPECT_EQ(parse({"status", "--verbose"}).error, "unknown option --verbose");
    EXPECT_EQ(parse({"status", "--port"}).error, "--port needs a value");
    EXPECT_EQ(parse({"--port", "COM1", "--tcp", "1.2.3.4:5", "status"}).error, "--port and --tcp exclude each other");
    EXPECT_EQ(parse({"--trace"}).error, "no command given");
    EXPECT_EQ(parse({"--json=yes", "status"}).error, "--json takes no value");
    EXPECT_TRUE(parse({"--help"}).error.empty());
    // A negative number is a word, not an option.
    EXPECT_EQ(parse({"plans", "delete", "daily", "-1"}).options.words.back(), "-1");
}

TEST(CtlCommandLine, NamesOfSourcesKeysFadesAndAddresses)
{
    EXPECT_EQ(sourceKeyId("hdmi"), 1119);
    EXPECT_EQ(sourceKeyId("EXT"), 1122);
    EXPECT_EQ(sourceKeyId("ext."), 1122);
    EXPECT_EQ(sourceKeyId("VGA2"), 1121) << "the advanced layout shows VGA2 and DP";
    EXPECT_FALSE(sourceKeyId("YPbPr")) << "YPbPr is the V2 key's other face";
    EXPECT_FALSE(sourceKeyId("SDI"));
    EXPECT_EQ(functionKeyId("take"), panel::ids::IDC_KEY_AUTO_TAKE);
    EXPECT_EQ(functionKeyId("M3"), panel::ids::IDC_M3);
    EXPECT_FALSE(functionKeyId("exit"));
    EXPECT_EQ(fadeRadioId("0"), 1020);
    EXPECT_EQ(fadeRadioId("1.5s"), 1039);
    EXPECT_FALSE(fadeRadioId("2.0"));

    EXPECT_EQ(parseHostPort("192.168.1.20:5000"), (std::pair<std::uint32_t, std::uint16_t>{0xC0A80114, 5000}));
    EXPECT_EQ(parseHostPort("localhost:1")->first, 0x7F000001u);
    EXPECT_FALSE(parseHostPort("192.168.1.20"));
    EXPECT_FALSE(parseHostPort("192.168.1.20:65536"));
    EXPECT_FALSE(parseHostPort("device.local:5000"));
}

TEST(CtlCommandLine, NumbersAreBoundedPlainDigits)
{
    EXPECT_EQ(decimal("65535", 1, 65535, 9), 65535);
    EXPECT_EQ(decimal("0008", 1, 12, 4), 8);
    EXPECT_FALSE(decimal("00008", 1, 12, 4)) << "longer than the field";
    EXPECT_FALSE(decimal("0", 1, 12, 4));
    EXPECT_FALSE(decimal("13", 1, 12, 4));
    for (const char* bad : {"", "+5", "-5", " 5", "5 ", "5a", "0x5"})
        EXPECT_FALSE(decimal(bad, 0, 99, 9)) << '"' << bad << '"';
    // Nine digits never overflow, whatever the range.
    EXPECT_FALSE(decimal("999999999", 0, 65535, 9));
    EXPECT_EQ(upper("ext.Hdmi"), "EXT.HDMI");
}

TEST(CtlPlanWords, AddRequestsAsThePlanDialogHandsThemOver)
{
    std::string why;
    auto r = parseAddRequest({"weekly", "wed", "8:30", "hdmi"}, why);
    ASSERT_TRUE(r) << why;
    EXPECT_EQ(r->kind, plans::PlanKind::Week);
    EXPECT_EQ(r->input.weekdayLabel, "3Wed");
    EXPECT_EQ(r->input.time, (plans::TimeOfDay{8, 30, 0}));
    EXPECT_EQ(r->input.source, 4);

    r = parseAddRequest({"monthly", "5", "18:00:15", "V1"}, why);
    ASSERT_TRUE(r) << why;
    EXPECT_EQ(r->input.monthDay, "05") << "stored as the editor's list has it";

    r = parseAddRequest({"once", "2018-4-4", "09:05:00", "EXT"}, why);
    ASSERT_TRUE(r) << why;
    EXPECT_EQ(r->input.date, (plans::LocalDate{2018, 4, 4}));
    EXPECT_EQ(r->input.source, 7);
    EXPECT_EQ(parseAddRequest({"daily", "07:00:00", "ypbpr"}, why)->input.source, 8);

    const std::vector<std::pair<std::vector<std::string>, std::string>> bad{
        {{"hourly", "08:00:00", "V1"}, "unknown plan kind \"hourly\" (daily, weekly, monthly, once)"},
        {{"daily", "24:00:00", "V1"}, "not a time of day: \"24:00:00\" (00:00:00 .. 23:59:59)"},
        {{"daily", "8:3:00", "V1"}, "not a time of day: \"8:3:00\" (00:00:00 .. 23:59:59)"},
        {{"daily", "08:00:00", "VGA2"},
         "VGA2 is no plan source: the plan editor offers V1, V2, VGA, HDMI, DVI, EXT. and YPbPr"},
        {{"daily", "08:00:00", "SDI"}, "unknown source \"SDI\" (V1, V2, VGA, HDMI, DVI, EXT., YPbPr)"},
        {{"weekly", "7", "08:00:00", "V1"}, "not a weekday: \"7\" (0..6 with 0 Sunday, or Sun..Sat)"},
        {{"monthly", "32", "08:00:00", "V1"}, "not a day of the month: \"32\" (1..31)"},
        {{"once", "2025-02-29", "08:00:00", "V1"}, "not a date: \"2025-02-29\" (as 2025-04-04)"},
        {{"weekly", "08:00:00", "V1"}, "plans add weekly needs WEEKDAY TIME SOURCE"},
    };
    for (const auto& [words, message] : bad) {
        why.clear();
        EXPECT_FALSE(parseAddRequest(words, why)) << words[1];
        EXPECT_EQ(why, message);
    }
    EXPECT_EQ(parsePlanKinds("day,once"), (plans::PlanKindSelection{true, false, false, true}));
    EXPECT_FALSE(parsePlanKinds("day,,week"));
    EXPECT_FALSE(parsePlanKinds("daily,yearly"));
}

TEST(CtlStatus, ReportsTheStateAsThePanelDecodesIt)
{
    // DVI on air with its signal, fade 1.0S, BYPASS on, Pre + TAKE mode.
    auto items = describeStatus(decoded({0x00, 0x00, 0x02, 0x12, 0x05, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(statusText(items),
              "main source: DVI\nmain signal: yes\nsecond source: none\nsecond signal: none\npre source: none\n"
              "mode: main only\nPIP: off\nPIP layout: none\nTEXT: off\nBYPASS: on\nFREEZE: off\nMOSAIC: off\n"
              "switch mode: Pre + TAKE\nfade: 1.0S\nV2 input: V2\nEXT. sub-source: NULL\n");
    EXPECT_TRUE(statusJson(items).starts_with("{\"main_source\":\"DVI\",\"main_signal\":true,\"second_source\":null,"))
        << statusJson(items);

    // PIP steady, V1 main without a signal, HDMI in the window, layout M2.
    items = describeStatus(decoded({0x00, 0x02, 0x00, 0x00, 0x40, 0x00, 0x01, 0x01, 0x02}));
    EXPECT_EQ(valueOf(items, "main_signal"), "false");
    EXPECT_EQ(valueOf(items, "second_source"), "\"HDMI\"");
    EXPECT_EQ(valueOf(items, "second_signal"), "true");
    EXPECT_EQ(valueOf(items, "pip"), "true");
    EXPECT_EQ(valueOf(items, "pip_layout"), "\"M2\"");
    EXPECT_EQ(valueOf(items, "ext_sub_source"), "\"VGA\"");

    // Pre-selection held with VGA, and empty.
    EXPECT_EQ(valueOf(describeStatus(decoded({0x00, 0x08, 0x00, 0x10, 0x25, 0x01, 0x01})), "pre_source"), "\"VGA\"");
    EXPECT_EQ(valueOf(describeStatus(decoded({0x00, 0x07, 0x00, 0x10, 0x05, 0x01})), "pre_source"), "\"NULL\"");
    EXPECT_EQ(jsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
}

TEST(ProfileLocation, ConfigOptionThenWorkingFolderThenConfigurationFolder)
{
    settings::ProfileEnvironment env{false, "/xdg", "/home/ann"};
    EXPECT_EQ(settings::chooseProfilePath(std::string("/etc/p.ini"), env), "/etc/p.ini");
    EXPECT_EQ(settings::chooseProfilePath(std::nullopt, env), "/xdg/omnar/Planinfo.ini");
    env.xdgConfigHome = "relative/dir"; // ignored, as an unset one
    EXPECT_EQ(settings::chooseProfilePath(std::nullopt, env), "/home/ann/.config/omnar/Planinfo.ini");
    env.xdgConfigHome.clear();
    EXPECT_EQ(settings::chooseProfilePath(std::nullopt, env), "/home/ann/.config/omnar/Planinfo.ini");
    env.workingCopyExists = true;
    EXPECT_EQ(settings::chooseProfilePath(std::nullopt, env), "./Planinfo.ini") << "the old place keeps working";
    EXPECT_EQ(settings::chooseProfilePath(std::string("x.ini"), env), "x.ini");
    env = {false, "", ""};
    EXPECT_EQ(settings::chooseProfilePath(std::nullopt, env), "./Planinfo.ini") << "no home at all";
}

TEST(CtlConsole, EveryLineOfTheTimersLogCarriesTheMoment)
{
    // The plan store reports all unusable entries of a load in one text.
    util::VirtualClock clock;
    std::string log;
    {
        ConsoleScope scope(ConsoleScope::Mode::Timestamped, [&](std::string_view text) { log += text; }, clock, false);
        util::consolePrint("DAYTIME Time3 is not a plan\nDAYTIME Time4 is not a plan\n");
    }
    const std::string stamp = timestamp(clock.wallNow()) + " ";
    EXPECT_EQ(log, stamp + "DAYTIME Time3 is not a plan\n" + stamp + "DAYTIME Time4 is not a plan\n");
}
