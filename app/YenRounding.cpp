#include "app/YenRounding.h"

__int64 RoundYen(__int64 llRaw, BYTE nHasuMode)
{
    const __int64 q = llRaw / 10000;  // truncated toward zero
    const __int64 r = llRaw % 10000;  // sign of the amount, |r| < 10000
    const int m = static_cast<int>(r < 0 ? -r : r);
    const __int64 away = (llRaw < 0) ? -1 : 1;

    switch (nHasuMode) {
    case 0: {
        int d1 = m / 1000;
        int d2 = (m / 100) % 10;
        int d3 = (m % 100) / 10;
        const int d4 = m % 10;
        if (d4 >= 5) {
            ++d3;
        }
        if (d3 >= 5) {
            ++d2;
        }
        if (d2 >= 5) {
            ++d1;
        }
        return (d1 >= 5) ? q + away : q;
    }
    case 2:
        return (m != 0) ? q + away : q;
    default:
        return q;
    }
}
