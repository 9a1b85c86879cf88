#include "core/plans/CInfoPlan.h"
#include "core/plans/LocalTime.h"
#include "core/plans/PlanSchedule.h"
#include "tests/core/plans/PlanTestSupport.h"

#include <gtest/gtest.h>

using namespace omnar;
using namespace omnar::plans;
using namespace omnar::plans::test;

namespace {

PlanItem plan(TimeOfDay t, std::uint8_t source = 4)
{
    PlanItem p;
    p.time = t;
    p.source = source;
    return p;
}

PlanItem weekly(const char* weekday, TimeOfDay t)
{
    PlanItem p = plan(t);
    p.weekday = weekday;
    return p;
}

PlanItem monthly(const char* day, TimeOfDay t)
{
    PlanItem p = plan(t);
    p.monthDay = day;
    return p;
}

PlanItem once(LocalDate d, TimeOfDay t)
{
    PlanItem p = plan(t);
    p.date = d;
    return p;
}

void put(PlanMap& map, std::initializer_list<PlanItem> items)
{
    std::int32_t key = map.empty() ? 0 : map.rbegin()->first + 1;
    for (PlanItem p : items) {
        p.key = key;
        map.emplace(key++, p);
    }
}

std::vector<TimeOfDay> timesOf(const PlanMap& map)
{
    std::vector<TimeOfDay> out;
    for (const auto& [key, p] : map)
        out.push_back(p.time);
    return out;
}

struct ScheduleTest : PlanFileFixture {
    CInfoPlan store{file};
};

} // namespace

TEST(LocalTime, MakeLocalTimeRefusesFieldsOutOfRange)
{
    ScopedTimeZone zone(kBerlin);
    EXPECT_TRUE(MakeLocalTime(2024, 2, 29, 23, 59, 59));
    EXPECT_FALSE(MakeLocalTime(2023, 2, 29, 0, 0, 0)) << "a day the month does not have";
    EXPECT_FALSE(MakeLocalTime(2024, 4, 31, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(1899, 12, 31, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 13, 1, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 0, 1, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 1, 0, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 1, 1, 24, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 1, 1, 0, 60, 0));
    EXPECT_FALSE(MakeLocalTime(2024, 1, 1, 0, 0, 60));
    EXPECT_FALSE(MakeLocalTime(2024, 1, 1, -1, 0, 0));
}

TEST(LocalTime, MakeLocalTimeFollowsTheZonesSummerTime)
{
    ScopedTimeZone zone(kBerlin);
    EXPECT_EQ(MakeLocalTime(2024, 1, 15, 12, 0, 0), utc(2024, 1, 15, 11, 0, 0));
    EXPECT_EQ(MakeLocalTime(2024, 7, 1, 12, 0, 0), utc(2024, 7, 1, 10, 0, 0)) << "summer: UTC+2, not +1";
    // Spring forward, 2024-03-31: 02:00..02:59 do not exist; they land an hour later.
    EXPECT_EQ(MakeLocalTime(2024, 3, 31, 1, 59, 59), utc(2024, 3, 31, 0, 59, 59));
    EXPECT_EQ(MakeLocalTime(2024, 3, 31, 2, 30, 0), utc(2024, 3, 31, 1, 30, 0));
    EXPECT_EQ(localBreakdown(*MakeLocalTime(2024, 3, 31, 2, 30, 0)).time, (TimeOfDay{3, 30, 0}));
    EXPECT_EQ(MakeLocalTime(2024, 3, 31, 3, 0, 0), utc(2024, 3, 31, 1, 0, 0));
    // Fall back, 2024-10-27: 02:00..02:59 come twice; the first is taken.
    EXPECT_EQ(MakeLocalTime(2024, 10, 27, 2, 30, 0), utc(2024, 10, 27, 0, 30, 0));
    EXPECT_EQ(MakeLocalTime(2024, 10, 27, 3, 0, 0), utc(2024, 10, 27, 2, 0, 0));

    // Every other reading of both days comes back as it went in.
    for (const LocalDate day : {LocalDate{2024, 3, 31}, LocalDate{2024, 10, 27}}) {
        for (int s = 0; s < 86400; s += 601) {
            const TimeOfDay t{s / 3600, s / 60 % 60, s % 60};
            if (day.month == 3 && t.hour == 2)
                continue;
            const auto when = MakeLocalTime(day, t);
            ASSERT_TRUE(when);
            const auto back = localBreakdown(*when);
            EXPECT_EQ(back.date, day);
            EXPECT_EQ(back.time, t);
        }
    }
}

TEST_F(ScheduleTest, OnlyPlansStrictlyAfterNowAreTakenToday)
{
    put(store.dayPlans(), {plan({11, 59, 59}), plan({12, 0, 0}), plan({12, 0, 1})});
    store.BuildTodayPlans(PlanKind::Day, local(2024, 6, 12, 12, 0, 0), false);
    ASSERT_EQ(store.todayPlans().size(), 1u);
    EXPECT_EQ(store.todayPlans().at(0).time, (TimeOfDay{12, 0, 1}));
    EXPECT_EQ(store.todayPlans().at(0).date, (LocalDate{2024, 6, 12}));
}

TEST_F(ScheduleTest, TheWholeDayFromMidnightAndEntriesThatKeepTheirDay)
{
    // The change of day is read at 00:00:03: the plans of its first seconds are still there.
    put(store.dayPlans(), {plan({0, 0, 0}, 1), plan({0, 0, 2}, 2), plan({23, 59, 58}, 3)});
    const auto now = local(2024, 6, 13, 0, 0, 3);
    store.BuildWholeDayPlans(PlanKind::Day, now, false);
    EXPECT_EQ(timesOf(store.todayPlans()), (std::vector<TimeOfDay>{{0, 0, 0}, {0, 0, 2}, {23, 59, 58}}));

    // A plan of yesterday evening still waiting is 5 s late, not a day early.
    store.todayPlans().clear();
    put(store.todayPlans(), {once({2024, 6, 13}, {23, 59, 58}), once({2024, 6, 12}, {23, 59, 58})});
    PlanItem out;
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), -5);
    EXPECT_EQ(out.date, (LocalDate{2024, 6, 12}));
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), 86395);
    EXPECT_EQ(out.date, (LocalDate{2024, 6, 13}));
}

TEST_F(ScheduleTest, WeeklyMonthlyAndOnceBelongToTheirDayOnly)
{
    // 2024-06-12 is a Wednesday.
    put(store.weekPlans(), {weekly("3", {8, 0, 0}), weekly("2", {8, 0, 0}), weekly("3", {9, 0, 0})});
    put(store.monthPlans(), {monthly("12", {8, 0, 0}), monthly("31", {8, 0, 0}), monthly("03", {8, 0, 0})});
    put(store.oncePlans(), {once({2024, 6, 12}, {8, 0, 0}), once({2024, 6, 11}, {8, 0, 0}),
                            once({2025, 6, 12}, {8, 0, 0})});
    const auto now = local(2024, 6, 12, 0, 0, 0);
    for (PlanKind kind : {PlanKind::Week, PlanKind::Month, PlanKind::Once})
        store.BuildTodayPlans(kind, now, false);
    ASSERT_EQ(store.todayPlans().size(), 4u);
    EXPECT_EQ(store.todayPlans().at(0).weekday, "3");
    EXPECT_EQ(store.todayPlans().at(1).time, (TimeOfDay{9, 0, 0}));
    EXPECT_EQ(store.todayPlans().at(2).monthDay, "12");
    EXPECT_EQ(store.todayPlans().at(3).date, (LocalDate{2024, 6, 12}));
    EXPECT_EQ(store.oncePlans().size(), 3u) << "past one-time plans stay stored";

    auto monthlyOn = [&](LocalDate day) {
        store.todayPlans().clear();
        store.BuildTodayPlans(PlanKind::Month, local(day.year, day.month, day.day, 0, 0, 0), false);
        std::vector<std::string> taken;
        for (const auto& [key, p] : store.todayPlans())
            taken.push_back(p.monthDay);
        return taken;
    };
    EXPECT_EQ(monthlyOn({2024, 6, 30}), std::vector<std::string>{}) << "a 31st plan does not move to the 30th";
    EXPECT_EQ(monthlyOn({2024, 7, 31}), std::vector<std::string>{"31"});
    EXPECT_EQ(monthlyOn({2024, 7, 3}), std::vector<std::string>{"03"});
}

TEST_F(ScheduleTest, V2ModeFiltersDailyPlansOnly)
{
    put(store.dayPlans(), {plan({9, 0, 0}, 1), plan({10, 0, 0}, 8), plan({11, 0, 0}, 4)});
    put(store.weekPlans(), {weekly("3", {9, 0, 0})});
    store.weekPlans().at(0).source = 1;
    const auto now = local(2024, 6, 12, 0, 0, 0);

    store.BuildTodayPlans(PlanKind::Day, now, true);
    EXPECT_EQ(timesOf(store.todayPlans()), (std::vector<TimeOfDay>{{10, 0, 0}, {11, 0, 0}}));
    store.todayPlans().clear();
    store.BuildTodayPlans(PlanKind::Day, now, false);
    EXPECT_EQ(timesOf(store.todayPlans()), (std::vector<TimeOfDay>{{9, 0, 0}, {11, 0, 0}}));
    store.BuildTodayPlans(PlanKind::Week, now, true);
    ASSERT_EQ(store.todayPlans().size(), 3u);
    EXPECT_EQ(store.todayPlans().at(2).source, 1) << "weekly V2 plans are not filtered";
}

TEST_F(ScheduleTest, TakeEarliestTodayFindsTheNextPlanAndCountsSummerSeconds)
{
    PlanItem out;
    out.source = 99;
    const auto now = local(2024, 6, 12, 10, 0, 0);
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), 0) << "empty list";
    EXPECT_EQ(out.source, 99);

    put(store.todayPlans(), {plan({12, 0, 0}, 1), plan({11, 0, 0}, 2), plan({11, 0, 0}, 5)});
    EXPECT_EQ(TakeEarliestToday(store, now, out, false), 3600) << "summer time counts as the clock shows it";
    EXPECT_EQ(out.source, 2) << "a tie goes to the smaller key";
    EXPECT_EQ(out.date, (LocalDate{2024, 6, 12}));
    EXPECT_EQ(store.todayPlans().size(), 3u);
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), 3600);
    EXPECT_FALSE(store.todayPlans().contains(1));
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), 3600);
    EXPECT_EQ(out.source, 5);

    store.todayPlans().clear();
    put(store.todayPlans(), {plan({10, 0, 0}, 3), plan({10, 30, 0}, 4)});
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), 0) << "due right now";
    EXPECT_EQ(out.source, 3);
    EXPECT_EQ(store.todayPlans().size(), 1u) << "a due plan is still taken out";
    put(store.todayPlans(), {plan({9, 0, 0}, 6)});
    EXPECT_EQ(TakeEarliestToday(store, now, out, true), -3600);
    EXPECT_EQ(out.source, 6);
}

TEST_F(ScheduleTest, TakeEarliestTodayOnTheLongDayOfTheYear)
{
    // 2024-10-27 has 25 hours: 23:30 is 24.5 h after midnight, more than a
    // day's worth of seconds, and must still be found (not read as an empty list).
    put(store.todayPlans(), {plan({0, 0, 0}, 1), plan({23, 30, 0}, 2)});
    store.todayPlans().erase(0);
    PlanItem out;
    EXPECT_EQ(TakeEarliestToday(store, local(2024, 10, 27, 0, 0, 0), out, true), 88200);
    EXPECT_EQ(out.source, 2);
    EXPECT_TRUE(store.todayPlans().empty());
}

TEST_F(ScheduleTest, TenSecondRuleWithinOneList)
{
    put(store.dayPlans(), {plan({8, 0, 0})});
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Day, plan({8, 0, 10})));
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Day, plan({7, 59, 50})));
    EXPECT_EQ(store.dayPlans().size(), 1u) << "a refusal stores nothing";
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Day, plan({8, 0, 11})));
    ASSERT_EQ(store.dayPlans().size(), 2u);
    EXPECT_EQ(store.dayPlans().at(1).time, (TimeOfDay{8, 0, 11})) << "added under the next key";
    EXPECT_EQ(store.dayPlans().at(1).key, 1);
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Day, plan({8, 0, 0}), 0))
        << "the plan being modified is not compared with itself";
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Day, plan({8, 0, 5}), 0)) << "but with every other";
    put(store.dayPlans(), {plan({23, 59, 55})});
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Day, plan({0, 0, 3}))) << "no wrap at midnight";
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Week, weekly("1", {8, 0, 0}))) << "other lists never count";

    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Week, weekly("2", {8, 0, 0})));
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Week, weekly("1", {8, 0, 5})));

    put(store.monthPlans(), {monthly("05", {8, 0, 0})});
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Month, monthly("06", {8, 0, 0})));
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Month, monthly("05", {8, 0, 9})));
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Month, monthly("5", {8, 0, 9})))
        << "\"5\" and \"05\" fire on the same day";

    put(store.oncePlans(), {once({2024, 6, 12}, {23, 59, 56})});
    EXPECT_FALSE(CheckPlanInterval(store, PlanKind::Once, once({2024, 6, 13}, {0, 0, 4})))
        << "consecutive dates across midnight";
    EXPECT_TRUE(CheckPlanInterval(store, PlanKind::Once, once({2024, 6, 13}, {23, 59, 56})));
}

TEST(PlanOrder, DailyByTimeOthersByTheirDayWithTiesReversed)
{
    PlanMap day;
    put(day, {plan({18, 0, 0}, 1), plan({8, 0, 0}, 2), plan({12, 0, 0}, 3), plan({8, 0, 0}, 4)});
    PlanOrder(day, PlanKind::Day);
    ASSERT_EQ(day.size(), 4u);
    EXPECT_EQ(timesOf(day), (std::vector<TimeOfDay>{{8, 0, 0}, {8, 0, 0}, {12, 0, 0}, {18, 0, 0}}));
    EXPECT_EQ(day.at(0).source, 2) << "daily ties keep their order";
    EXPECT_EQ(day.at(1).source, 4);
    for (const auto& [key, p] : day)
        EXPECT_EQ(p.key, key);

    PlanMap week;
    put(week, {weekly("3", {8, 0, 0}), weekly("1", {20, 0, 0}), weekly("1", {7, 0, 0})});
    PlanOrder(week, PlanKind::Week);
    EXPECT_EQ(timesOf(week), (std::vector<TimeOfDay>{{7, 0, 0}, {20, 0, 0}, {8, 0, 0}}));
    EXPECT_EQ(week.at(2).weekday, "3");

    PlanMap month;
    put(month, {monthly("10", {1, 0, 0}), monthly("02", {2, 0, 0}), monthly("10", {3, 0, 0}), monthly("9", {4, 0, 0})});
    PlanOrder(month, PlanKind::Month);
    EXPECT_EQ(timesOf(month), (std::vector<TimeOfDay>{{2, 0, 0}, {4, 0, 0}, {3, 0, 0}, {1, 0, 0}}))
        << "by day value (\"9\" before \"10\"), the later of equal days first";

    PlanMap onceList;
    put(onceList, {once({2025, 1, 1}, {1, 0, 0}), once({2024, 12, 31}, {23, 0, 0}), once({2024, 12, 31}, {5, 0, 0})});
    PlanOrder(onceList, PlanKind::Once);
    EXPECT_EQ(timesOf(onceList), (std::vector<TimeOfDay>{{5, 0, 0}, {23, 0, 0}, {1, 0, 0}}));
}
