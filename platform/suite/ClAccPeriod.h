// The accounting-period calculator. A fiscal period is divided into 月度
// (accounting months): with closing day 0 each 月度 is a calendar month; with
// a closing day d (1-31) a 月度 runs from the day after the previous month's
// d-th to its own month's d-th (or the month's last day when the month is
// shorter). A 月度 is named by the calendar month in which it ends (1-12);
// the first 月度 starts at the period start, and the last ends at the period
// end. A month kind is the 1-based position of a 月度 within the period, or
// one of the closing-adjustment kinds below.
#pragma once

#include "suite/SuiteTypes.h"

class ClAccPeriod {
public:
    enum {
        MONTHKIND_HALFYEAR = 15,  // half-year closing: the dates of the sixth 月度
        MONTHKIND_YEAREND = 18,   // year-end closing: the dates of the last 月度
    };
    enum { MAX_MONTHS = 12 };

    ClAccPeriod();
    virtual ~ClAccPeriod();

    // Dates are yyyymmdd. Every call returns SUITE_OK or an error status
    // (SUITE_ERR_PARAM for a bad argument or a date outside the period,
    // SUITE_ERR_NODATA before SetPeriod), leaving its outputs untouched on an
    // error. The trailing mode argument is 0, the only mode.
    long SetPeriod(long lFrom, long lTo);
    // The closing day implied by a period end: 0 when it is the last day of
    // its month, else its day of the month.
    long GetClosingDayByEndDate(long lEndDate, int nMode, long* pClosingDay);
    long SetClosingDay(long lClosingDay);
    long GetPeriod(long* pFrom, long* pTo);
    // The 月度 (1-12) of a date within the period.
    long GetAMonthByDate(long lDate, long* pMonth, int nMode);
    // First and last date of a 月度 (1-12) of the period.
    long GetPeriodByAMonth(long lMonth, long* pFrom, long* pTo, int nMode);
    // First and last date of a month kind: 1 to the number of 月度, 15 or 18.
    long GetPeriodByMonthKind(long lKind, long* pFrom, long* pTo, int nMode);

    // The number of 月度 of the period, or an error status (negative).
    long GetMonthCount() const;

    // Calendar helpers (yyyymmdd).
    static bool IsValidDate(long lDate);
    static int DaysInMonth(int nYear, int nMonth);

private:
    struct Span {
        long from;
        long to;
        int month;
    };
    // Divides the period into its 月度; SUITE_ERR_PARAM when the period holds
    // more than twelve.
    long Build(Span spans[MAX_MONTHS], int* pCount) const;
    // The first 月度 that `match` accepts; SUITE_ERR_PARAM when none does.
    template <class Match>
    long FindSpan(Match match, Span* pFound) const;

    bool m_bHasPeriod = false;
    long m_lFrom = 0;
    long m_lTo = 0;
    long m_lClosingDay = 0;
};
