// The plan commands write the profile file as the plan editor does, so the
// panel's own loader reads what they wrote; refusals and failures leave it.

#include "core/ctl/CtlRun.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanFormat.h"
#include "tests/core/plans/PlanTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::plans::test;

namespace {

struct PlanCommands : PlanFileFixture {
    util::VirtualClock clock{util::VirtualClock::Mode::AutoAdvance, wallTimeOf(local(2024, 6, 12, 10, 0, 0))};
    std::string out, err;

    int run(std::vector<std::string> words)
    {
        out.clear();
        err.clear();
        words.insert(words.begin(), {"--config", path});
        const auto parsed = ctl::parseCommandLine(words);
        EXPECT_EQ(parsed.error, "");
        ctl::CtlIo io;
        io.out = [this](std::string_view t) { out += t; };
        io.err = [this](std::string_view t) { err += t; };
        io.clock = &clock;
        return ctl::runCtl(parsed.options, io);
    }
    std::string bytes() const { return settings::test::readBytes(path); }
};

} // namespace

TEST_F(PlanCommands, AddWritesWhatThePanelsLoaderReads)
{
    writeText("[CONNECT]\r\nSerialTcp=1\r\n[PLANCOUNT]\r\ndaytimecount=2\r\n[DAYTIME]\r\nTime0= 9: 0: 0,4\r\n"
              "Time1= 8: 0: 0,5\r\n");
    ASSERT_EQ(run({"plans", "add", "daily", "07:00:00", "HDMI"}), 0) << err;
    EXPECT_EQ(out, "added daily Time0 07:00:00 HDMI\n");
    ASSERT_EQ(run({"plans", "add", "weekly", "Wed", "08:30:00", "V1"}), 0) << err;
    ASSERT_EQ(run({"plans", "add", "once", "2024-06-12", "11:00:00", "ext"}), 0) << err;
    ASSERT_EQ(run({"plans", "add", "monthly", "31", "23:59:59", "ypbpr"}), 0) << err;
    EXPECT_EQ(err, "");

    // The panel's loader sees the same plans, in the editor's order and numbering.
    settings::ProfileFile file(path);
    CInfoPlan store(file);
    store.ReloadFromFile();
    ASSERT_EQ(store.dayCount(), 3);
    EXPECT_EQ(planValue(PlanKind::Day, store.dayPlans().at(0)), " 7: 0: 0,4");
    EXPECT_EQ(planValue(PlanKind::Day, store.dayPlans().at(1)), " 8: 0: 0,5");
    EXPECT_EQ(planValue(PlanKind::Day, store.dayPlans().at(2)), " 9: 0: 0,4");
    EXPECT_EQ(planValue(PlanKind::Week, store.weekPlans().at(0)), "3, 8:30: 0,0");
    EXPECT_EQ(planValue(PlanKind::Once, store.oncePlans().at(0)), "2024-6-12,11: 0: 0,7");
    EXPECT_EQ(planValue(PlanKind::Month, store.monthPlans().at(0)), "31,23:59:59,8");
    EXPECT_NE(bytes().find("[CONNECT]\r\nSerialTcp=1\r\n"), std::string::npos) << "the rest of the file stays";

    ASSERT_EQ(run({"plans", "list"}), 0);
    EXPECT_EQ(out, "daily Time0 07:00:00 HDMI\ndaily Time1 08:00:00 DVI\ndaily Time2 09:00:00 HDMI\n"
                   "weekly Time0 Wed 08:30:00 V1\nmonthly Time0 31 23:59:59 YPbPr\n"
                   "once Time0 2024-06-12 11:00:00 EXT.\n");
    ASSERT_EQ(run({"plans", "list", "weekly", "--json"}), 0);
    EXPECT_EQ(out, "[{\"kind\":\"weekly\",\"entry\":\"Time0\",\"index\":0,\"weekday\":\"Wed\",\"time\":\"08:30:00\","
                   "\"source\":\"V1\",\"code\":0}]\n");

    // 2024-06-12 10:00 is a Wednesday: today's plans in time order.
    ASSERT_EQ(run({"plans", "today"}), 0);
    EXPECT_EQ(out, "07:00:00 HDMI daily Time0 (past)\n08:00:00 DVI daily Time1 (past)\n"
                   "08:30:00 V1 weekly Time0 (past)\n09:00:00 HDMI daily Time2 (past)\n11:00:00 EXT. once Time0\n");
    ASSERT_EQ(run({"plans", "today", "--kinds", "week,once"}), 0);
    EXPECT_EQ(out, "08:30:00 V1 weekly Time0 (past)\n11:00:00 EXT. once Time0\n");
}

TEST_F(PlanCommands, DeleteTakesTheRowThatListShows)
{
    writeText("[PLANCOUNT]\nweektimecount=3\n[WEEKTIME]\nTime0=5,10:00:00,1\nTime1=1, 8: 0: 0,4\nTime2=3,9:0:0,2\n");
    ASSERT_EQ(run({"plans", "list", "weekly"}), 0);
    EXPECT_EQ(out, "weekly Time0 Mon 08:00:00 HDMI\nweekly Time1 Wed 09:00:00 VGA\nweekly Time2 Fri 10:00:00 V2\n");
    ASSERT_EQ(run({"plans", "delete", "weekly", "1"}), 0) << err;
    EXPECT_EQ(out, "deleted weekly Time1 Wed 09:00:00 VGA\n");
    EXPECT_EQ(bytes(), "[PLANCOUNT]\nweektimecount=2\n[WEEKTIME]\nTime0=1, 8: 0: 0,4\nTime1=5,10: 0: 0,1\n");
    ASSERT_EQ(run({"plans", "delete", "weekly", "Time1"}), 0) << err;
    EXPECT_EQ(bytes(), "[PLANCOUNT]\nweektimecount=1\n[WEEKTIME]\nTime0=1, 8: 0: 0,4\n");
}

TEST_F(PlanCommands, RefusalsAndBadInputLeaveTheFileAsItWas)
{
    // Out of the editor's order and spelling: any rewrite would show.
    const std::string text = "[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=9:0:0,4\nTime1=8:0:0,5\n";
    writeText(text);
    const std::vector<std::pair<std::vector<std::string>, int>> cases{
        {{"plans", "add", "daily", "08:00:10", "V1"}, ctl::kExitRefused}, // 10 s from 08:00:00
        {{"plans", "add", "daily", "08:00", "VGA2"}, ctl::kExitUsage},
        {{"plans", "add", "daily", "8h", "V1"}, ctl::kExitUsage},
        {{"plans", "add", "yearly", "08:00:00", "V1"}, ctl::kExitUsage},
        {{"plans", "delete", "daily", "2"}, ctl::kExitRefused},
        {{"plans", "delete", "daily", "x"}, ctl::kExitUsage},
        {{"plans", "rename"}, ctl::kExitUsage},
        {{"plans", "list", "--kinds", "day"}, ctl::kExitUsage},
    };
    for (const auto& [words, code] : cases) {
        EXPECT_EQ(run(words), code) << words[2];
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_TRUE(err.starts_with("omnar-ctl: ")) << err;
        EXPECT_EQ(bytes(), text) << words[2];
    }
    run({"plans", "add", "daily", "08:00:10", "V1"});
    EXPECT_EQ(err, "omnar-ctl: Sorry, opertion is invalid due to that the minimal time interval between a new plan "
                   "and a exsisted one is 10 seconds\n");
    EXPECT_EQ(run({"plans", "add", "daily", "08:00:11", "V1"}), 0) << "11 s apart is fine";
}

TEST_F(PlanCommands, AFileThatCannotBeWrittenOrReadIsAFileFailure)
{
    path = dir.file("no/such/folder/Planinfo.ini");
    EXPECT_EQ(run({"plans", "add", "daily", "08:00:00", "V1"}), ctl::kExitFile);
    EXPECT_TRUE(err.starts_with("omnar-ctl: cannot write " + path)) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_FALSE(std::filesystem::exists(path));

    path = dir.path().string(); // a folder
    EXPECT_EQ(run({"plans", "list"}), ctl::kExitFile);
    EXPECT_TRUE(err.starts_with("omnar-ctl: cannot read " + path)) << err;
}

TEST_F(PlanCommands, AListOverTheEditorsLimitTakesNoMore)
{
    std::string text = "[PLANCOUNT]\ndaytimecount=240\n[DAYTIME]\n";
    for (int i = 0; i < 240; ++i)
        text += "Time" + std::to_string(i) + "=" + formatTime({i / 10, (i % 10) * 6, 0}) + ",0\n";
    writeText(text);
    EXPECT_EQ(run({"plans", "add", "daily", "23:59:00", "V1"}), ctl::kExitRefused);
    EXPECT_EQ(err, "omnar-ctl: The plan items of one day can not exceed 240.\n");
    EXPECT_EQ(bytes(), text);
}
