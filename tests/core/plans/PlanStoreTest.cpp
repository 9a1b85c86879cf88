#include "core/plans/CInfoPlan.h"
#include "core/plans/PlanFormat.h"
#include "core/util/Console.h"
#include "tests/core/plans/PlanTestSupport.h"

#include <gtest/gtest.h>

using namespace omnar;
using namespace omnar::plans;
using plans::test::PlanFileFixture;

namespace {

using Fields = std::vector<std::string>;

struct PlanStoreTest : PlanFileFixture {
    CInfoPlan store{file};
    std::string console;
    util::ConsoleSink oldSink = util::setConsoleSink([this](std::string_view s) { console += s; });

    ~PlanStoreTest() override { util::setConsoleSink(oldSink); }

    void load()
    {
        store.LoadPlanCounts();
        store.LoadPlans();
    }
};

// The four examples of the file format, as the program writes them.
constexpr const char* kExamples = "[CONNECT]\n"
                                  "ConnectFlag=1\n"
                                  "[PLANCOUNT]\n"
                                  "daytimecount=2\n"
                                  "weektimecount=1\n"
                                  "monthtimecount=1\n"
                                  "oncetimecount=1\n"
                                  "[DAYTIME]\n"
                                  "Time0= 8:30: 0,4\n"
                                  "Time1=8:30:0,4\n"
                                  "[WEEKTIME]\n"
                                  "Time0=1, 8:30: 0,4\n"
                                  "[MONTHTIME]\n"
                                  "Time0=05,18: 0:15,0\n"
                                  "[ONCETIME]\n"
                                  "Time0=2018-4-4, 9: 5: 0,7\n";

} // namespace

TEST(PlanFormat, SplitFieldsTrimsTheWholeTextAndKeepsTheLastField)
{
    EXPECT_EQ(SplitFields("  1, 8:30: 0,4  "), (Fields{"1", " 8:30: 0", "4"}));
    EXPECT_EQ(SplitFields("a,"), (Fields{"a", ""}));
    EXPECT_EQ(SplitFields("abc"), (Fields{"abc"}));
    EXPECT_EQ(SplitFields(",,"), (Fields{"", "", ""}));
    EXPECT_TRUE(SplitFields("").empty());
    EXPECT_TRUE(SplitFields("   ").empty());
}

TEST(PlanFormat, ParseTimeAndDateSkipBlanksAndLeaveMissingPartsAlone)
{
    int h = 77, m = 77, s = 77;
    EXPECT_EQ(ParseTime(" 8:30: 0", h, m, s), 3);
    EXPECT_EQ(std::tie(h, m, s), std::make_tuple(8, 30, 0));
    h = m = s = 77;
    EXPECT_EQ(ParseTime("9:5", h, m, s), 2);
    EXPECT_EQ(std::tie(h, m, s), std::make_tuple(9, 5, 77));
    h = m = s = 77;
    EXPECT_EQ(ParseTime("x:1:2", h, m, s), 0);
    EXPECT_EQ(std::tie(h, m, s), std::make_tuple(77, 77, 77));

    int y = 0, mo = 0, d = 0;
    EXPECT_EQ(ParseDate("2018-4-4", y, mo, d), 3);
    EXPECT_EQ(std::tie(y, mo, d), std::make_tuple(2018, 4, 4));
    EXPECT_EQ(ParseDate("99999999999999999999-1-1", y, mo, d), 3) << "a huge year saturates, it does not wrap";
    EXPECT_EQ(y, INT_MAX);
}

TEST(PlanFormat, SourceAndWeekdayTables)
{
    EXPECT_EQ(SourceName(0), "V1");
    EXPECT_EQ(SourceName(7), "EXT.");
    for (int code : {3, 6, 8, 9, -1, 255})
        EXPECT_EQ(SourceName(code), "") << code;
    EXPECT_EQ(SourceCodeOf("V1"), 0);
    EXPECT_EQ(SourceCodeOf("HDMI"), 4);
    EXPECT_EQ(SourceCodeOf("VGA2"), 255);
    EXPECT_EQ(SourceCodeOf("hdmi"), 255);
    EXPECT_EQ(SourceCodeOf(""), 255);

    EXPECT_EQ(WeekdayLabel(3, false), "3Wed");
    EXPECT_EQ(WeekdayLabel(3, true), "3星期三");
    EXPECT_EQ(WeekdayLabel(7, false), "");
    EXPECT_EQ(WeekdayNumber("3星期三"), 3);
    EXPECT_EQ(WeekdayNumber("3Wed"), 3);
    EXPECT_EQ(WeekdayNumber("3"), 255);
    EXPECT_EQ(WeekdayNumber("3wed"), 255);
}

TEST_F(PlanStoreTest, LoadsTheExamplesOfEveryKind)
{
    writeText(kExamples);
    load();
    EXPECT_EQ(store.dayCount(), 2);
    ASSERT_EQ(store.dayPlans().size(), 2u);
    const PlanItem& d0 = store.dayPlans().at(0);
    EXPECT_EQ(d0.time, (TimeOfDay{8, 30, 0}));
    EXPECT_EQ(d0.source, 4);
    EXPECT_EQ(d0.date, LocalDate{});
    PlanItem d1 = store.dayPlans().at(1);
    d1.key = 0;
    EXPECT_EQ(d1, d0) << "blank-padded and plain times read the same";

    const PlanItem& w = store.weekPlans().at(0);
    EXPECT_EQ(w.weekday, "1");
    EXPECT_EQ(w.time, (TimeOfDay{8, 30, 0}));
    const PlanItem& m = store.monthPlans().at(0);
    EXPECT_EQ(m.monthDay, "05") << "the day text stays as stored";
    EXPECT_EQ(m.time, (TimeOfDay{18, 0, 15}));
    EXPECT_EQ(m.source, 0);
    const PlanItem& o = store.oncePlans().at(0);
    EXPECT_EQ(o.date, (LocalDate{2018, 4, 4}));
    EXPECT_EQ(o.time, (TimeOfDay{9, 5, 0}));
    EXPECT_EQ(o.source, 7);
    EXPECT_TRUE(console.empty()) << console;
}

TEST_F(PlanStoreTest, AFileWithoutPlansLoadsEmpty)
{
    EXPECT_EQ(store.dayCount(), 0);
    load();
    for (PlanKind kind : kPlanKinds) {
        EXPECT_EQ(store.count(kind), 0);
        EXPECT_TRUE(store.plans(kind).empty());
    }
    writeText("[CONNECT]\nConnectFlag=1\n");
    load();
    for (PlanKind kind : kPlanKinds)
        EXPECT_TRUE(store.plans(kind).empty());
}

TEST_F(PlanStoreTest, ReadsOnlyTheEntriesTheCountCoversAndThatExist)
{
    writeText("[PLANCOUNT]\ndaytimecount=4\nweektimecount=2000000000\nmonthtimecount=-3\n"
              "[DAYTIME]\nTime0=8:0:0,1\nTime2=9:0:0,2\nTime4=10:0:0,4\ntime3=11:0:0,5\n"
              "[WEEKTIME]\nTime1=1,8:0:0,0\n"
              "[MONTHTIME]\nTime0=01,8:0:0,0\n");
    load();
    ASSERT_EQ(store.dayPlans().size(), 3u);
    EXPECT_EQ(store.dayPlans().at(0).source, 1);
    EXPECT_EQ(store.dayPlans().at(2).source, 2);
    EXPECT_EQ(store.dayPlans().at(3).source, 5) << "key names are case-insensitive";
    EXPECT_FALSE(store.dayPlans().contains(4)) << "entries beyond the count are never read";
    EXPECT_FALSE(store.dayPlans().contains(1)) << "an absent entry is skipped";
    EXPECT_EQ(store.weekPlans().size(), 1u) << "a huge count costs only the entries present";
    EXPECT_EQ(store.monthCount(), 0) << "a negative count reads as none";
    EXPECT_TRUE(store.monthPlans().empty());
    EXPECT_TRUE(console.empty()) << "absent entries are not reported: " << console;
}

TEST_F(PlanStoreTest, UnusableEntriesAreSkippedReportedAndRemembered)
{
    writeText("[PLANCOUNT]\ndaytimecount=9\nweektimecount=4\nmonthtimecount=4\noncetimecount=7\n"
              "[DAYTIME]\n"
              "Time0=8:0:0,1\n"
              "Time1=8:30:0\n"      // one field short
              "Time2=24:00:00,4\n"  // no such hour
              "Time3=8:60:0,4\n"
              "Time4=-1:0:0,4\n"
              "Time5=8:30,4\n"      // no seconds
              "Time6=9:0:0,9\n"     // no such source
              "Time7=9:0:0,x\n"
              "Time8=23:59:59,8\n"
              "[WEEKTIME]\nTime0=7,8:0:0,1\nTime1=1,8:0:0\nTime2=Mon,8:0:0,1\nTime3= 6 ,8:0:0,1\n"
              "[MONTHTIME]\nTime0=32,8:0:0,1\nTime1=00,8:0:0,1\nTime2=5,8:0:0,1\nTime3=x,8:0:0,1\n"
              "[ONCETIME]\n"
              "Time0=1899-12-31,8:0:0,1\n"
              "Time1=2018-13-1,8:0:0,1\n"
              "Time2=2018-2-29,8:0:0,1\n"
              "Time3=2020-2-29,8:0:0,1\n"
              "Time4=2018-4,8:0:0,1\n"
              "Time5=2018-4-31,8:0:0,1\n"
              "Time6=2018-12-31,23:59:59,3\n");
    load();
    EXPECT_EQ(store.dayPlans().size(), 2u);
    EXPECT_TRUE(store.dayPlans().contains(0));
    EXPECT_TRUE(store.dayPlans().contains(8)) << "loading goes on after a bad entry";
    EXPECT_EQ(store.unusableEntries(PlanKind::Day).size(), 7u);
    EXPECT_EQ(store.unusableEntries(PlanKind::Day).front().index, 1);
    EXPECT_EQ(store.unusableEntries(PlanKind::Day).front().value, "8:30:0");

    ASSERT_EQ(store.weekPlans().size(), 1u);
    EXPECT_EQ(store.weekPlans().at(3).weekday, "6");
    ASSERT_EQ(store.monthPlans().size(), 1u);
    EXPECT_EQ(store.monthPlans().at(2).monthDay, "5");
    EXPECT_EQ(store.oncePlans().size(), 2u);
    EXPECT_EQ(store.oncePlans().at(3).date, (LocalDate{2020, 2, 29}));
    EXPECT_EQ(store.oncePlans().at(6).source, 3);

    EXPECT_NE(console.find("[DAYTIME] Time2=24:00:00,4 is not a plan"), std::string::npos) << console;
    EXPECT_NE(console.find("[ONCETIME] Time2=2018-2-29,8:0:0,1"), std::string::npos) << console;
}

TEST_F(PlanStoreTest, WindowsFilesInCrlfAndUtf16ReadTheSame)
{
    std::string crlf;
    for (const char* p = kExamples; *p; ++p) {
        if (*p == '\n')
            crlf += '\r';
        crlf += *p;
    }
    writeText(crlf);
    load();
    const auto day = store.dayPlans();
    const auto once = store.oncePlans();
    ASSERT_EQ(day.size(), 2u);
    ASSERT_EQ(once.size(), 1u);

    std::string utf16 = "\xFF\xFE";
    for (char c : crlf) {
        utf16 += c;
        utf16 += '\0';
    }
    writeText(utf16);
    store.ClearPlans();
    load();
    EXPECT_EQ(store.dayPlans(), day);
    EXPECT_EQ(store.oncePlans(), once);
    EXPECT_EQ(store.weekPlans().at(0).weekday, "1");
}

TEST_F(PlanStoreTest, LoadPlansKeepsPlansAlreadyPresentAndClearPlansEmptiesAll)
{
    writeText(kExamples);
    load();
    store.dayPlans().at(0).source = 2;
    store.todayPlans().emplace(0, PlanItem{});
    store.LoadPlans();
    EXPECT_EQ(store.dayPlans().at(0).source, 2) << "a key present is not replaced";
    store.ClearPlans();
    for (PlanKind kind : kPlanKinds)
        EXPECT_TRUE(store.plans(kind).empty());
    EXPECT_TRUE(store.todayPlans().empty());
    EXPECT_EQ(store.dayCount(), 2) << "counts are not plans";
}

TEST_F(PlanStoreTest, WritePlanEntryDeletesKeyOrSectionWhenTheyAreMissing)
{
    writeText(kExamples);
    EXPECT_TRUE(store.WritePlanEntry("DAYTIME", "Time2", "10:0:0,5"));
    EXPECT_EQ(file.getString("daytime", "time2"), "10:0:0,5");
    EXPECT_TRUE(store.WritePlanEntry("DAYTIME", "Time0", std::nullopt));
    EXPECT_FALSE(file.sectionKeys("DAYTIME").empty());
    EXPECT_EQ(file.getString("DAYTIME", "Time0", "gone"), "gone");
    EXPECT_EQ(file.getString("DAYTIME", "Time1"), "8:30:0,4");
    EXPECT_TRUE(store.WritePlanEntry("DAYTIME", std::nullopt, std::nullopt));
    EXPECT_TRUE(file.sectionKeys("DAYTIME").empty());
    EXPECT_EQ(file.getString("WEEKTIME", "Time0"), "1, 8:30: 0,4");
    EXPECT_EQ(file.getString("CONNECT", "ConnectFlag"), "1");
}
