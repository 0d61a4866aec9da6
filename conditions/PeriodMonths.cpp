#include "conditions/PeriodMonths.h"

#include "suite/ClAccPeriod.h"

#include <new>

void GetPeriodMonths(long lFrom, long lTo, short* pFirst, short* pLast)
{
    short nLast = static_cast<short>((lTo % 10000) / 100);
    short nFirst = static_cast<short>((lFrom % 10000) / 100);

    ClAccPeriod* pPeriod = new (std::nothrow) ClAccPeriod();
    if (!pPeriod) return;
    long lClosingDay = 0;
    long lMonth = nFirst;
    pPeriod->SetPeriod(lFrom, lTo);
    pPeriod->GetClosingDayByEndDate(lTo, 0, &lClosingDay);
    pPeriod->SetClosingDay(lClosingDay);
    pPeriod->GetAMonthByDate(lFrom, &lMonth, 0);
    delete pPeriod;
    nFirst = static_cast<short>(lMonth);

    if (nLast < nFirst) nLast = static_cast<short>(nLast + 100);
    if (pFirst) *pFirst = nFirst;
    if (pLast) *pLast = nLast;
}
