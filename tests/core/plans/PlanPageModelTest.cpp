#include "core/plans/AddPlanForm.h"
#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanEditorModel.h"
#include "core/plans/PlanFormat.h"
#include "core/plans/PlanPageModel.h"
#include "core/util/Console.h"
#include "tests/core/plans/PlanTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::plans::test;

namespace {

using Cells = std::vector<std::string>;

struct PageTest : PlanFileFixture {
    CInfoPlan store{file};
    util::ConsoleSink oldSink = util::setConsoleSink([](std::string_view) {});

    ~PageTest() override { util::setConsoleSink(oldSink); }

    PlanPageModel openPage(PlanKind kind, bool chinese = false)
    {
        store.ReloadFromFile();
        PlanPageModel page(kind, store, chinese);
        EXPECT_TRUE(page.open().empty());
        return page;
    }

    std::vector<std::string> names(const PlanPageModel& page) const
    {
        std::vector<std::string> out;
        for (const auto& row : page.rows())
            out.push_back(row.name);
        return out;
    }

    // The section's entries as "key=value", in file order.
    std::vector<std::string> section(std::string_view name) const
    {
        std::vector<std::string> out;
        for (const auto& key : file.sectionKeys(name))
            out.push_back(key + "=" + file.getString(name, key));
        return out;
    }

    static AddPlanInput at(TimeOfDay t, std::uint8_t source = 4)
    {
        AddPlanInput in;
        in.time = t;
        in.source = source;
        return in;
    }
};

const std::string kRefused =
    "Sorry, opertion is invalid due to that the minimal time interval between a new plan and a exsisted one is 10 seconds";

} // namespace

TEST_F(PageTest, AddingAnEarlierDailyPlanRenumbersListAndFile)
{
    writeText("[CONNECT]\nPort=COM3\n[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0= 8: 0: 0,4\nTime1= 9: 0: 0,5\n");
    auto page = openPage(PlanKind::Day);
    EXPECT_TRUE(page.add(at({7, 0, 0}, 0)).empty());
    EXPECT_EQ(names(page), (Cells{"Time0", "Time1", "Time2"}));
    EXPECT_EQ(page.rows()[0].cells, (Cells{" 7: 0: 0", "V1"}));
    EXPECT_EQ(page.rows()[2].cells, (Cells{" 9: 0: 0", "DVI"}));
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=7: 0: 0,0", "Time1=8: 0: 0,4", "Time2=9: 0: 0,5"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "3");
    EXPECT_EQ(store.dayCount(), 3);
    EXPECT_EQ(file.getString("CONNECT", "Port"), "COM3");
    EXPECT_NE(readText().find("Time0= 7: 0: 0,0"), std::string::npos) << "the %2d blanks are written";
}

TEST_F(PageTest, TenSecondRuleRefusalShowsItsMessageAndStoresNothing)
{
    writeText("[PLANCOUNT]\ndaytimecount=1\n[DAYTIME]\nTime0=8:0:0,4\n");
    auto page = openPage(PlanKind::Day);
    const auto before = readText();
    EXPECT_EQ(page.add(at({8, 0, 10})), (std::vector<PlanMessage>{{kRefused, "System Information"}}));
    EXPECT_EQ(page.rows().size(), 1u);
    EXPECT_EQ(readText(), before);

    page.setChinese(true);
    EXPECT_EQ(page.add(at({7, 59, 55})),
              (std::vector<PlanMessage>{{"对不起，操作不成功，因新添加的定时器与已存定时器之间最小时间间隔为10秒", "系统信息"}}));
    EXPECT_TRUE(page.add(at({8, 0, 11})).empty());
    EXPECT_EQ(page.rows().size(), 2u);
}

TEST_F(PageTest, CancelStillReordersAndRewritesTheSection)
{
    writeText("[PLANCOUNT]\ndaytimecount=3\n[DAYTIME]\nTime0=18:0:0,1\nTime1=8:0:0,2\nTime2=12:0:0,3\n");
    store.ReloadFromFile();
    PlanPageModel page(PlanKind::Day, store);
    EXPECT_TRUE(page.add(std::nullopt).empty());
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=8: 0: 0,2", "Time1=12: 0: 0,3", "Time2=18: 0: 0,1"}));
    EXPECT_EQ(store.dayPlans().at(0).source, 2);
}

TEST_F(PageTest, DeletingRowsZeroAndTwoLeavesOneRenumberedEntry)
{
    writeText("[PLANCOUNT]\ndaytimecount=3\n[DAYTIME]\nTime0=8:0:0,1\nTime1=9:0:0,2\nTime2=10:0:0,3\n");
    auto page = openPage(PlanKind::Day);
    const auto ask = page.beginDelete({2, 0});
    ASSERT_TRUE(ask.ask);
    EXPECT_EQ(ask.message, (PlanMessage{"Are you Sure  want to delete the current timing settings? ", "System Information "}));
    page.finishDelete({2, 0}, false);
    EXPECT_EQ(page.rows().size(), 3u) << "No deletes nothing";

    page.finishDelete({2, 0, 2}, true);
    EXPECT_EQ(names(page), (Cells{"Time0"}));
    EXPECT_EQ(page.rows()[0].plan.source, 2);
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=9: 0: 0,2"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "1");
    EXPECT_EQ(store.dayPlans().size(), 1u);
}

TEST_F(PageTest, NothingSelectedGivesEachPagesOwnMessage)
{
    struct Expect {
        PlanKind kind;
        const char* modifyCaption;
        const char* deleteCaption;
        PlanMessage question;
    };
    const Expect expected[] = {
        {PlanKind::Day, "System information", "System Information",
         {"Are you Sure  want to delete the current timing settings? ", "System Information "}},
        {PlanKind::Week, "System information", "System information",
         {"Are you Sure  want to delete the current timing settings?", "System information"}},
        {PlanKind::Month, "System Information", "System Information",
         {"Are you Sure  want to delete the current timing settings? ", "System Information "}},
        {PlanKind::Once, "System Information", "System Information",
         {"Are you sure  want to delete the current timing settings?", "System Information "}},
    };
    writeText("[PLANCOUNT]\ndaytimecount=1\nweektimecount=1\nmonthtimecount=1\noncetimecount=1\n"
              "[DAYTIME]\nTime0=8:0:0,1\n[WEEKTIME]\nTime0=1,8:0:0,1\n"
              "[MONTHTIME]\nTime0=01,8:0:0,1\n[ONCETIME]\nTime0=2024-1-1,8:0:0,1\n");
    for (const auto& e : expected) {
        auto page = openPage(e.kind);
        const auto modify = page.beginModify({});
        EXPECT_FALSE(modify.row);
        EXPECT_EQ(modify.message, (PlanMessage{"Please select an item.", e.modifyCaption}));
        EXPECT_EQ(page.beginModify({7}).message, modify.message) << "a row that is not there";
        const auto del = page.beginDelete({});
        EXPECT_FALSE(del.ask);
        EXPECT_EQ(del.message, (PlanMessage{"Please select an item.", e.deleteCaption}));
        EXPECT_EQ(page.beginDelete({0}).message, e.question);
    }
}

TEST_F(PageTest, ModifyEditsTheFirstSelectedRowAndKeepsTheCount)
{
    writeText("[PLANCOUNT]\ndaytimecount=3\n[DAYTIME]\nTime0=8:0:0,1\nTime1=9:0:0,2\nTime2=10:0:0,3\n");
    auto page = openPage(PlanKind::Day);
    const auto start = page.beginModify({2, 1});
    ASSERT_EQ(start.row, 1);
    EXPECT_EQ(start.preset.time, (TimeOfDay{9, 0, 0}));
    EXPECT_EQ(start.preset.source, 2);

    EXPECT_EQ(page.finishModify(1, at({8, 0, 5}, 7)), (std::vector<PlanMessage>{{kRefused, "System Information"}}));
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=8: 0: 0,1", "Time1=9: 0: 0,2", "Time2=10: 0: 0,3"}));

    EXPECT_TRUE(page.finishModify(1, at({9, 0, 0}, 7)).empty()) << "an unchanged time is not compared with itself";
    EXPECT_TRUE(page.finishModify(1, at({11, 0, 0}, 5)).empty());
    EXPECT_TRUE(page.finishModify(0, std::nullopt).empty());
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=8: 0: 0,1", "Time1=10: 0: 0,3", "Time2=11: 0: 0,5"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "3");
}

TEST_F(PageTest, WeeklyPlansShowTheirWeekdayInTheLanguageAndStoreTheDigit)
{
    writeText("[PLANCOUNT]\nweektimecount=2\n[WEEKTIME]\nTime0=3,8:0:0,4\nTime1=1,9:0:0,8\n");
    auto page = openPage(PlanKind::Week);
    EXPECT_EQ(page.rows()[0].cells, (Cells{"1Mon", " 9: 0: 0", ""})) << "YPbPr plans list no name";
    EXPECT_EQ(page.rows()[1].cells, (Cells{"3Wed", " 8: 0: 0", "HDMI"}));

    auto chinese = openPage(PlanKind::Week, true);
    EXPECT_EQ(chinese.rows()[1].cells[0], "3星期三");
    const auto start = chinese.beginModify({1});
    EXPECT_EQ(start.preset.weekdayLabel, "3星期三");
    // The dialog keeps the weekday unless another is chosen.
    AddPlanInput result = start.preset;
    result.time = {20, 0, 0};
    EXPECT_TRUE(chinese.finishModify(1, result).empty());
    EXPECT_EQ(section("WEEKTIME"), (Cells{"Time0=1, 9: 0: 0,8", "Time1=3,20: 0: 0,4"}))
        << "code 8 survives every save";

    result.weekdayLabel = "2Tue";
    EXPECT_TRUE(chinese.finishModify(1, result).empty());
    EXPECT_EQ(section("WEEKTIME"), (Cells{"Time0=1, 9: 0: 0,8", "Time1=2,20: 0: 0,4"}));
}

TEST_F(PageTest, MonthAndOncePagesWriteTheirDayAndDate)
{
    auto month = openPage(PlanKind::Month);
    AddPlanInput in = at({18, 0, 15}, 0);
    in.monthDay = "05";
    EXPECT_TRUE(month.add(in).empty());
    in.monthDay = "5";
    EXPECT_EQ(month.add(in).size(), 1u) << "the same day, written differently";
    EXPECT_EQ(section("MONTHTIME"), (Cells{"Time0=05,18: 0:15,0"}));
    EXPECT_EQ(month.rows()[0].cells, (Cells{"05", "18: 0:15", "V1"}));

    auto once = openPage(PlanKind::Once);
    in = at({9, 5, 0}, 7);
    in.date = {2018, 4, 4};
    EXPECT_TRUE(once.add(in).empty());
    EXPECT_EQ(section("ONCETIME"), (Cells{"Time0=2018-4-4, 9: 5: 0,7"}));
    EXPECT_EQ(once.rows()[0].cells, (Cells{"2018-4-4", " 9: 5: 0", "EXT."}));
    EXPECT_EQ(once.beginModify({0}).preset.date, (LocalDate{2018, 4, 4}));

    in.date = {2018, 2, 30};
    EXPECT_TRUE(once.add(in).empty());
    EXPECT_EQ(once.rows().size(), 1u) << "a date that does not exist is not stored";
}

TEST_F(PageTest, MoreThanTheRowLimitWarnsOncePerPageAndListsAll)
{
    std::string text = "[PLANCOUNT]\ndaytimecount=250\nweektimecount=241\n[DAYTIME]\n";
    for (int i = 0; i < 250; ++i)
        text += "Time" + std::to_string(i) + "=" + std::to_string(i / 60 % 24) + ":" + std::to_string(i % 60) + ":0,1\n";
    text += "[WEEKTIME]\n";
    for (int i = 0; i < 241; ++i)
        text += "Time" + std::to_string(i) + "=1," + std::to_string(i / 60) + ":" + std::to_string(i % 60) + ":0,1\n";
    writeText(text);

    PlanEditorModel editor(store, false);
    const PlanMessage limit{"The plan items of one day can not exceed 240.", "System Information"};
    EXPECT_EQ(editor.open(), (std::vector<PlanMessage>{limit, limit})) << "one box per page, not per entry";
    EXPECT_EQ(editor.page(PlanKind::Day).rows().size(), 250u);
    EXPECT_EQ(editor.page(PlanKind::Week).rows().size(), 241u);
    EXPECT_EQ(file.sectionKeys("DAYTIME").size(), 250u);
}

TEST_F(PageTest, OpeningTheEditorRewritesEverySectionKeepingWhatItCannotRead)
{
    writeText("[CONNECT]\nConnectFlag=1\n"
              "[PLANCOUNT]\ndaytimecount=5\nweektimecount=1\n"
              "[DAYTIME]\nTime0=9:0:0,1\nTime1=25:0:0,2\nTime3=8:0:0,3\nTime7=7:0:0,4\n"
              "[WEEKTIME]\nTime0=1,8:0:0,1\n");
    PlanEditorModel editor(store, false);
    EXPECT_TRUE(editor.open().empty());
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=8: 0: 0,3", "Time1=9: 0: 0,1", "Time2=25:0:0,2"}))
        << "an unreadable entry stays in the file, after the plans";
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "3") << "the count follows the entries";
    EXPECT_EQ(editor.page(PlanKind::Day).rows().size(), 2u);
    EXPECT_EQ(section("WEEKTIME"), (Cells{"Time0=1, 8: 0: 0,1"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "monthtimecount"), "0");
    EXPECT_EQ(file.getString("CONNECT", "ConnectFlag"), "1");

    // The next load reads the same plans and keeps the odd entry.
    CInfoPlan again(file);
    again.ReloadFromFile();
    EXPECT_EQ(again.dayPlans(), store.dayPlans());
    ASSERT_EQ(again.unusableEntries(PlanKind::Day).size(), 1u);

    // Adding writes behind everything and is renumbered at once.
    auto& day = editor.page(PlanKind::Day);
    EXPECT_TRUE(day.add(at({10, 0, 0}, 5)).empty());
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=8: 0: 0,3", "Time1=9: 0: 0,1", "Time2=10: 0: 0,5", "Time3=25:0:0,2"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "4");
}

TEST_F(PageTest, EntriesThatAreNoPlansGoBackExactlyAsTyped)
{
    // Bytes of an 8-bit code page, and quotes that a read strips once: written
    // back as read, the one would block every save, the other would turn into
    // a plan at the next load.
    writeText("[PLANCOUNT]\ndaytimecount=4\n[DAYTIME]\nTime0= 9:\xD6\xCF 0,1\nTime1=\"\"7:0:0,2\"\"\n"
              "Time2=  'x'\nTime3=6:0:0,1\n");
    PlanEditorModel editor(store, false);
    EXPECT_TRUE(editor.open().empty());
    EXPECT_EQ(readText(), "[PLANCOUNT]\ndaytimecount=4\nweektimecount=0\nmonthtimecount=0\noncetimecount=0\n"
                          "[DAYTIME]\nTime0= 6: 0: 0,1\nTime1= 9:\xD6\xCF 0,1\nTime2=\"\"7:0:0,2\"\"\nTime3=  'x'\n");
    CInfoPlan again(file);
    again.ReloadFromFile();
    EXPECT_EQ(again.dayPlans().size(), 1u);
    EXPECT_EQ(again.unusableEntries(PlanKind::Day).size(), 3u);
}

TEST_F(PageTest, AFailedSaveIsToldAndTheListKeepsTheOperatorsPlans)
{
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0= 8: 0: 0,4\nTime1= 9: 0: 0,5\n");
    auto page = openPage(PlanKind::Day);
    const auto before = readText();
    std::filesystem::create_directory(file.tempPath()); // from now on no rewrite can be staged

    auto messages = page.add(at({7, 0, 0}, 0));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].aboutFile);
    EXPECT_EQ(messages[0].caption, "System Information");
    EXPECT_EQ(messages[0].text.rfind("The plans could not be saved to " + path + " (cannot create " + path
                                         + ".tmp: Is a directory).",
                                     0),
              0u)
        << messages[0].text;
    EXPECT_EQ(page.rows()[0].cells, (Cells{" 7: 0: 0", "V1"})) << "the list keeps the new plan";
    EXPECT_EQ(page.rows().size(), 3u);
    EXPECT_EQ(readText(), before);

    page.setChinese(true);
    messages = page.finishDelete({2}, true);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "系统信息");
    EXPECT_EQ(messages[0].text.rfind("定时任务无法保存到 " + path + "（", 0), 0u) << messages[0].text;
    EXPECT_EQ(page.rows().size(), 2u);

    // Once the file takes writes again, the next action stores the list as it stands.
    std::filesystem::remove(file.tempPath());
    EXPECT_TRUE(page.add(std::nullopt).empty());
    EXPECT_EQ(section("DAYTIME"), (Cells{"Time0=7: 0: 0,0", "Time1=8: 0: 0,4"}));
    EXPECT_EQ(file.getString("PLANCOUNT", "daytimecount"), "2");
}

TEST_F(PageTest, OpeningOnAFileThatCannotBeReadOrWrittenSaysSoOnce)
{
    // Out of order, so opening must rewrite; no page may pretend it did.
    writeText("[PLANCOUNT]\ndaytimecount=2\n[DAYTIME]\nTime0=9:0:0,1\nTime1=8:0:0,2\n");
    std::filesystem::create_directory(file.tempPath());
    PlanEditorModel editor(store, false);
    auto messages = editor.open();
    ASSERT_EQ(messages.size(), 1u) << "four pages, one file, one box";
    EXPECT_NE(messages[0].text.find("could not be saved"), std::string::npos);
    EXPECT_EQ(editor.page(PlanKind::Day).rows().size(), 2u);

    // Sections already in order need no write: a file we may not write still opens quietly.
    std::filesystem::remove(file.tempPath());
    ASSERT_TRUE(editor.open().empty());
    std::filesystem::create_directory(file.tempPath());
    EXPECT_TRUE(editor.open().empty());

    writeText(std::string("[PLANCOUNT]\0daytimecount=2\n", 27));
    messages = editor.open();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text.rfind("The plans could not be read from " + path + " (not a text file", 0), 0u)
        << messages[0].text;
}

TEST(AddPlanForm, EnablesTheFieldsOfItsKindAndPresetsToday)
{
    ScopedTimeZone zone(kBerlin);
    const auto now = local(2024, 6, 12, 14, 5, 9); // a Wednesday
    AddPlanForm day(PlanKind::Day, now, false, false);
    EXPECT_FALSE(day.dateEnabled() || day.weekdayEnabled() || day.monthDayEnabled());
    EXPECT_EQ(day.checkedRadio(), 1157) << "V1 starts checked";
    EXPECT_EQ(day.values().source, 0);
    EXPECT_EQ(day.values().time, (TimeOfDay{14, 5, 9}));
    EXPECT_EQ(day.values().date, (LocalDate{2024, 6, 12}));
    EXPECT_EQ(day.values().weekdayLabel, "3Wed");
    EXPECT_EQ(day.values().monthDay, "12");
    EXPECT_EQ(day.monthDays().front(), "01");
    EXPECT_EQ(day.monthDays().size(), 31u);
    EXPECT_EQ(day.v2Caption(), "V2");

    EXPECT_TRUE(AddPlanForm(PlanKind::Week, now, false, false).weekdayEnabled());
    EXPECT_TRUE(AddPlanForm(PlanKind::Month, now, false, false).monthDayEnabled());
    AddPlanForm once(PlanKind::Once, now, true, false);
    EXPECT_TRUE(once.dateEnabled());
    EXPECT_FALSE(once.weekdayEnabled());
    EXPECT_EQ(once.weekdayLabels()[6], "6星期六");
}

TEST(AddPlanForm, V2RadioStandsForYPbPrWhileTheInputRunsSo)
{
    ScopedTimeZone zone(kBerlin);
    const auto now = local(2024, 6, 12, 14, 5, 9);
    AddPlanForm form(PlanKind::Day, now, false, true);
    EXPECT_EQ(form.v2Caption(), "YPbPr");
    form.clickSourceRadio(1158);
    EXPECT_EQ(form.values().source, 8);
    form.clickSourceRadio(1164);
    EXPECT_EQ(form.values().source, 7);
    form.clickSourceRadio(1165);
    EXPECT_EQ(form.values().source, 7) << "not a source radio";
    AddPlanForm plain(PlanKind::Day, now, false, false);
    plain.clickSourceRadio(1158);
    EXPECT_EQ(plain.values().source, 1);

    AddPlanInput plan;
    plan.time = {6, 0, 0};
    plan.source = 8;
    plan.weekdayLabel = "5Fri";
    AddPlanForm modify(PlanKind::Week, now, false, false, plan);
    EXPECT_EQ(modify.checkedRadio(), 1158) << "a YPbPr plan checks the V2 radio";
    EXPECT_EQ(modify.values().source, 8) << "and keeps its code until another is clicked";
    EXPECT_EQ(modify.values().weekdayLabel, "5Fri");
    EXPECT_EQ(modify.values().time, (TimeOfDay{6, 0, 0}));
    EXPECT_EQ(modify.values().monthDay, "12") << "fields of other kinds keep today";
}
