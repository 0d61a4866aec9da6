#include "suite/ClAccPeriod.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// A calculator set up as the program sets one up: the period, then the
// closing day implied by its end date.
ClAccPeriod Make(long from, long to)
{
    ClAccPeriod p;
    EXPECT_EQ(p.SetPeriod(from, to), SUITE_OK);
    long day = -1;
    EXPECT_EQ(p.GetClosingDayByEndDate(to, 0, &day), SUITE_OK);
    EXPECT_EQ(p.SetClosingDay(day), SUITE_OK);
    return p;
}

std::pair<long, long> ByMonth(ClAccPeriod& p, long month)
{
    long from = -1, to = -1;
    EXPECT_EQ(p.GetPeriodByAMonth(month, &from, &to, 0), SUITE_OK) << "月度 " << month;
    return {from, to};
}

std::pair<long, long> ByKind(ClAccPeriod& p, long kind)
{
    long from = -1, to = -1;
    EXPECT_EQ(p.GetPeriodByMonthKind(kind, &from, &to, 0), SUITE_OK) << "kind " << kind;
    return {from, to};
}

long MonthOf(ClAccPeriod& p, long date)
{
    long month = -1;
    EXPECT_EQ(p.GetAMonthByDate(date, &month, 0), SUITE_OK) << date;
    return month;
}

using Range = std::pair<long, long>;

TEST(AccPeriod, AprilToMarch)
{
    ClAccPeriod p = Make(20240401, 20250331);
    EXPECT_EQ(p.GetMonthCount(), 12);
    long from = 0, to = 0;
    EXPECT_EQ(p.GetPeriod(&from, &to), SUITE_OK);
    EXPECT_EQ(from, 20240401);
    EXPECT_EQ(to, 20250331);
    EXPECT_EQ(MonthOf(p, 20240401), 4);
    EXPECT_EQ(MonthOf(p, 20241115), 11);
    EXPECT_EQ(MonthOf(p, 20250331), 3);
    EXPECT_EQ(ByMonth(p, 4), Range(20240401, 20240430));
    EXPECT_EQ(ByMonth(p, 2), Range(20250201, 20250228));
    EXPECT_EQ(ByMonth(p, 12), Range(20241201, 20241231));
    EXPECT_EQ(ByKind(p, 1), Range(20240401, 20240430));
    EXPECT_EQ(ByKind(p, 10), Range(20250101, 20250131));
    EXPECT_EQ(ByKind(p, 12), Range(20250301, 20250331));
    EXPECT_EQ(ByKind(p, 15), Range(20240901, 20240930));
    EXPECT_EQ(ByKind(p, 18), Range(20250301, 20250331));

    // Outside the period and unknown kinds: an error, outputs untouched.
    long month = 77;
    EXPECT_NE(p.GetAMonthByDate(20250401, &month, 0), SUITE_OK);
    EXPECT_NE(p.GetAMonthByDate(20240331, &month, 0), SUITE_OK);
    EXPECT_EQ(month, 77);
    from = to = 5;
    for (long kind : {0L, 13L, 14L, 16L, 17L, 19L, -1L}) EXPECT_NE(p.GetPeriodByMonthKind(kind, &from, &to, 0), SUITE_OK) << kind;
    EXPECT_NE(p.GetPeriodByAMonth(0, &from, &to, 0), SUITE_OK);
    EXPECT_NE(p.GetPeriodByAMonth(13, &from, &to, 0), SUITE_OK);
    EXPECT_EQ(from, 5);
    EXPECT_EQ(to, 5);
}

TEST(AccPeriod, JanuaryToDecemberOfALeapYear)
{
    ClAccPeriod p = Make(20240101, 20241231);
    EXPECT_EQ(p.GetMonthCount(), 12);
    EXPECT_EQ(MonthOf(p, 20240229), 2);
    EXPECT_EQ(ByMonth(p, 2), Range(20240201, 20240229));
    for (long k = 1; k <= 12; ++k) EXPECT_EQ(ByKind(p, k), ByMonth(p, k)) << k;
    EXPECT_EQ(ByKind(p, 15), Range(20240601, 20240630));
    EXPECT_EQ(ByKind(p, 18), Range(20241201, 20241231));
}

TEST(AccPeriod, TenMonthYear)
{
    ClAccPeriod p = Make(20240601, 20250331);
    EXPECT_EQ(p.GetMonthCount(), 10);
    EXPECT_EQ(MonthOf(p, 20240601), 6);
    EXPECT_EQ(ByKind(p, 1), Range(20240601, 20240630));
    EXPECT_EQ(ByKind(p, 10), Range(20250301, 20250331));
    EXPECT_EQ(ByKind(p, 15), Range(20241101, 20241130));
    EXPECT_EQ(ByKind(p, 18), Range(20250301, 20250331));
    long from = 0, to = 0;
    EXPECT_NE(p.GetPeriodByMonthKind(11, &from, &to, 0), SUITE_OK);
    EXPECT_NE(p.GetPeriodByAMonth(5, &from, &to, 0), SUITE_OK);  // May is not in this year
    EXPECT_NE(p.GetPeriodByAMonth(4, &from, &to, 0), SUITE_OK);
}

TEST(AccPeriod, SixMonthYearHasBothClosingsOnItsLastMonth)
{
    ClAccPeriod p = Make(20240401, 20240930);
    EXPECT_EQ(p.GetMonthCount(), 6);
    EXPECT_EQ(ByKind(p, 15), Range(20240901, 20240930));
    EXPECT_EQ(ByKind(p, 18), Range(20240901, 20240930));
    long from = 0, to = 0;
    EXPECT_NE(p.GetPeriodByMonthKind(7, &from, &to, 0), SUITE_OK);

    // A shorter year has no half-year closing month.
    ClAccPeriod q = Make(20240401, 20240831);
    EXPECT_NE(q.GetPeriodByMonthKind(15, &from, &to, 0), SUITE_OK);
    EXPECT_EQ(ByKind(q, 18), Range(20240801, 20240831));
}

TEST(AccPeriod, TwentiethClosingDayNamesEachMonthByItsEnd)
{
    ClAccPeriod p = Make(20240321, 20250320);
    long day = -1;
    EXPECT_EQ(p.GetClosingDayByEndDate(20250320, 0, &day), SUITE_OK);
    EXPECT_EQ(day, 20);
    EXPECT_EQ(p.GetMonthCount(), 12);
    EXPECT_EQ(MonthOf(p, 20240321), 4);  // the first 月度 ends on 20 April
    EXPECT_EQ(MonthOf(p, 20240420), 4);
    EXPECT_EQ(MonthOf(p, 20240421), 5);
    EXPECT_EQ(MonthOf(p, 20241231), 1);
    EXPECT_EQ(MonthOf(p, 20250320), 3);
    EXPECT_EQ(ByMonth(p, 4), Range(20240321, 20240420));
    EXPECT_EQ(ByMonth(p, 1), Range(20241221, 20250120));
    EXPECT_EQ(ByMonth(p, 2), Range(20250121, 20250220));
    EXPECT_EQ(ByMonth(p, 3), Range(20250221, 20250320));
    EXPECT_EQ(ByKind(p, 1), Range(20240321, 20240420));
    EXPECT_EQ(ByKind(p, 9), Range(20241121, 20241220));
    EXPECT_EQ(ByKind(p, 15), Range(20240821, 20240920));
    EXPECT_EQ(ByKind(p, 18), Range(20250221, 20250320));
}

TEST(AccPeriod, ClosingDayBeyondAShortMonthClosesOnItsLastDay)
{
    ClAccPeriod p = Make(20240331, 20250330);
    long day = -1;
    EXPECT_EQ(p.GetClosingDayByEndDate(20250330, 0, &day), SUITE_OK);
    EXPECT_EQ(day, 30);
    EXPECT_EQ(p.GetMonthCount(), 12);
    EXPECT_EQ(ByMonth(p, 2), Range(20250131, 20250228));
    EXPECT_EQ(ByMonth(p, 3), Range(20250301, 20250330));
    EXPECT_EQ(ByMonth(p, 4), Range(20240331, 20240430));
    EXPECT_EQ(ByMonth(p, 5), Range(20240501, 20240530));
}

TEST(AccPeriod, FirstAndLastMonthAsTheProgramDerivesThem)
{
    // The first 月度 from the calculator; the last is the calendar month of
    // the end, plus 100 when it is smaller (the year runs into the next one).
    struct Case {
        long from, to, first, last;
    } cases[] = {{20230401, 20240331, 4, 103}, {20230101, 20231231, 1, 12}, {20240321, 20250320, 4, 103},
                 {20240601, 20250331, 6, 103}, {20240401, 20240930, 4, 9}};
    for (const Case& c : cases) {
        ClAccPeriod p = Make(c.from, c.to);
        long first = c.from / 100 % 100;
        ASSERT_EQ(p.GetAMonthByDate(c.from, &first, 0), SUITE_OK);
        long last = c.to % 10000 / 100;
        if (last < first) last += 100;
        EXPECT_EQ(first, c.first) << c.from;
        EXPECT_EQ(last, c.last) << c.from;
    }
}

TEST(AccPeriod, BadInputsAreRefused)
{
    ClAccPeriod p;
    long from = 0, to = 0, month = 0;
    EXPECT_EQ(p.GetPeriod(&from, &to), SUITE_ERR_NODATA);
    EXPECT_EQ(p.GetAMonthByDate(20240401, &month, 0), SUITE_ERR_NODATA);
    EXPECT_EQ(p.SetPeriod(20240231, 20250131), SUITE_ERR_PARAM);
    EXPECT_EQ(p.SetPeriod(20250401, 20240331), SUITE_ERR_PARAM);
    EXPECT_EQ(p.SetPeriod(0, 20240331), SUITE_ERR_PARAM);
    EXPECT_EQ(p.SetClosingDay(32), SUITE_ERR_PARAM);
    EXPECT_EQ(p.GetClosingDayByEndDate(20240230, 0, &month), SUITE_ERR_PARAM);
    EXPECT_EQ(p.GetPeriod(nullptr, &to), SUITE_ERR_PARAM);

    // A year that holds more than twelve 月度 for its closing day is no
    // fiscal year: every month query fails.
    ASSERT_EQ(p.SetPeriod(20240401, 20250331), SUITE_OK);
    ASSERT_EQ(p.SetClosingDay(20), SUITE_OK);
    EXPECT_LT(p.GetMonthCount(), 0);
    EXPECT_NE(p.GetAMonthByDate(20240401, &month, 0), SUITE_OK);
    EXPECT_NE(p.GetPeriodByMonthKind(18, &from, &to, 0), SUITE_OK);
}

}  // namespace
