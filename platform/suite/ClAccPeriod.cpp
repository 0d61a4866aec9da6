#include "suite/ClAccPeriod.h"

namespace {

struct Ymd {
    int y, m, d;
};

Ymd Split(long date) { return {static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100), static_cast<int>(date % 100)}; }

long Join(int y, int m, int d) { return static_cast<long>(y) * 10000 + m * 100 + d; }

}  // namespace

ClAccPeriod::ClAccPeriod() = default;
ClAccPeriod::~ClAccPeriod() = default;

int ClAccPeriod::DaysInMonth(int nYear, int nMonth)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nMonth < 1 || nMonth > 12) return 0;
    bool leap = (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
    return nMonth == 2 && leap ? 29 : days[nMonth - 1];
}

bool ClAccPeriod::IsValidDate(long lDate)
{
    if (lDate < 10000101 || lDate > 99991231) return false;
    Ymd v = Split(lDate);
    return v.d >= 1 && v.d <= DaysInMonth(v.y, v.m);
}

long ClAccPeriod::SetPeriod(long lFrom, long lTo)
{
    if (!IsValidDate(lFrom) || !IsValidDate(lTo) || lFrom > lTo) return SUITE_ERR_PARAM;
    m_lFrom = lFrom;
    m_lTo = lTo;
    m_bHasPeriod = true;
    return SUITE_OK;
}

long ClAccPeriod::GetClosingDayByEndDate(long lEndDate, int nMode, long* pClosingDay)
{
    (void)nMode;
    if (!pClosingDay || !IsValidDate(lEndDate)) return SUITE_ERR_PARAM;
    Ymd v = Split(lEndDate);
    *pClosingDay = v.d == DaysInMonth(v.y, v.m) ? 0 : v.d;
    return SUITE_OK;
}

long ClAccPeriod::SetClosingDay(long lClosingDay)
{
    if (lClosingDay < 0 || lClosingDay > 31) return SUITE_ERR_PARAM;
    m_lClosingDay = lClosingDay;
    return SUITE_OK;
}

long ClAccPeriod::GetPeriod(long* pFrom, long* pTo)
{
    if (!pFrom || !pTo) return SUITE_ERR_PARAM;
    if (!m_bHasPeriod) return SUITE_ERR_NODATA;
    *pFrom = m_lFrom;
    *pTo = m_lTo;
    return SUITE_OK;
}

long ClAccPeriod::Build(Span spans[MAX_MONTHS], int* pCount) const
{
    if (!m_bHasPeriod) return SUITE_ERR_NODATA;
    // The closing date of a calendar month.
    auto closing = [this](int y, int m) {
        int dim = DaysInMonth(y, m);
        int d = m_lClosingDay == 0 || m_lClosingDay > dim ? dim : static_cast<int>(m_lClosingDay);
        return Join(y, m, d);
    };
    int count = 0;
    long start = m_lFrom;
    while (start <= m_lTo) {
        if (count == MAX_MONTHS) return SUITE_ERR_PARAM;
        Ymd s = Split(start);
        int y = s.y, m = s.m;
        long end = closing(y, m);
        if (start > end) {  // past this month's closing day: the 月度 ends next month
            if (++m > 12) {
                m = 1;
                ++y;
            }
            end = closing(y, m);
        }
        spans[count].from = start;
        spans[count].to = end < m_lTo ? end : m_lTo;
        spans[count].month = m;
        ++count;
        // The day after the 月度's end.
        Ymd e = Split(end);
        if (e.d < DaysInMonth(e.y, e.m)) {
            start = end + 1;
        } else if (e.m < 12) {
            start = Join(e.y, e.m + 1, 1);
        } else {
            start = Join(e.y + 1, 1, 1);
        }
    }
    *pCount = count;
    return SUITE_OK;
}

long ClAccPeriod::GetMonthCount() const
{
    Span spans[MAX_MONTHS];
    int count = 0;
    long rc = Build(spans, &count);
    return rc == SUITE_OK ? count : -rc;
}

template <class Match>
long ClAccPeriod::FindSpan(Match match, Span* pFound) const
{
    Span spans[MAX_MONTHS];
    int count = 0;
    long rc = Build(spans, &count);
    if (rc != SUITE_OK) return rc;
    for (int i = 0; i < count; ++i) {
        if (match(spans[i])) {
            *pFound = spans[i];
            return SUITE_OK;
        }
    }
    return SUITE_ERR_PARAM;
}

long ClAccPeriod::GetAMonthByDate(long lDate, long* pMonth, int nMode)
{
    (void)nMode;
    if (!pMonth) return SUITE_ERR_PARAM;
    Span found;
    long rc = FindSpan([lDate](const Span& s) { return lDate >= s.from && lDate <= s.to; }, &found);
    if (rc == SUITE_OK) *pMonth = found.month;
    return rc;
}

long ClAccPeriod::GetPeriodByAMonth(long lMonth, long* pFrom, long* pTo, int nMode)
{
    (void)nMode;
    if (!pFrom || !pTo) return SUITE_ERR_PARAM;
    Span found;
    long rc = FindSpan([lMonth](const Span& s) { return s.month == lMonth; }, &found);
    if (rc == SUITE_OK) {
        *pFrom = found.from;
        *pTo = found.to;
    }
    return rc;
}

long ClAccPeriod::GetPeriodByMonthKind(long lKind, long* pFrom, long* pTo, int nMode)
{
    (void)nMode;
    if (!pFrom || !pTo) return SUITE_ERR_PARAM;
    Span spans[MAX_MONTHS];
    int count = 0;
    long rc = Build(spans, &count);
    if (rc != SUITE_OK) return rc;
    int index = -1;
    if (lKind >= 1 && lKind <= count) {
        index = static_cast<int>(lKind) - 1;
    } else if (lKind == MONTHKIND_HALFYEAR && count >= 6) {
        index = 5;
    } else if (lKind == MONTHKIND_YEAREND) {
        index = count - 1;
    }
    if (index < 0) return SUITE_ERR_PARAM;
    *pFrom = spans[index].from;
    *pTo = spans[index].to;
    return SUITE_OK;
}
