// The first and last accounting month (月度) of a fiscal period: calendar
// arithmetic over the suite's accounting period that both the conditions
// dialog and the run's month-range condition need.
#pragma once

// The first 月度 of the period from lFrom to lTo (yyyymmdd), taken from the
// accounting period with the closing day the end date implies, and the
// calendar month of the end; the last is + 100 when the period runs into a
// second calendar year. Either output may be null. Nothing is stored when
// the period object cannot be made.
void GetPeriodMonths(long lFrom, long lTo, short* pFirst, short* pLast);
