// Fixed-point amount with four decimals, held as sign and magnitude.
//
// The bookkeeping library and every total of the program hold amounts as raw
// amounts: signed 64-bit integers in 1/10000 yen. ClKingaku converts from and
// to that form and does the arithmetic in between. After every operation the
// magnitude is split into a whole part (never negative) and a fraction of
// 0 to 9999 ten-thousandths, and zero is always positive.
//
// Add, MulInt and Mul refuse an overflowing result by throwing the integer -1
// before any result exists. The run catches it where the aggregation and the
// writing of the file are called: the export ends with its overflow message
// and result 2, and nothing is written from a figure that overflowed.
#pragma once

#include "win32/Windows.h"

class ClKingaku {
public:
    // Integer part and fraction; a negative integer part makes the whole value
    // negative and the fraction counts in the same direction (-3, 5 is
    // -3.0005). A fraction of 10000 or more is carried into the integer part.
    ClKingaku(int nInteger = 0, unsigned int nFraction = 0);
    ClKingaku(const ClKingaku& other);
    virtual ~ClKingaku();

    ClKingaku& operator=(const ClKingaku& other);

    // A value from a raw amount (1/10000 yen).
    static ClKingaku FromRaw(__int64 nRaw);

    // Whole amount: fraction 0, sign from the argument.
    ClKingaku& SetInt(int nWhole);

    // sign x (integer part x 10000 + fraction). Tests no bound: a value whose
    // magnitude is beyond the raw range (only products can make one) wraps
    // modulo 2^64. Use ToRawChecked where a product may be that large.
    __int64 ToRaw() const;

    // The raw amount, or false (and *pRaw untouched) when the value does not
    // fit in the signed 64-bit raw range.
    bool ToRawChecked(__int64* pRaw) const;
    // The raw amount; throws the integer -1 when it does not fit.
    __int64 ToRawOrThrow() const;

    // New values; the operands are unchanged.
    static ClKingaku Add(const ClKingaku& a, const ClKingaku& b);      // throws -1 at |sum| >= 10^18
    static ClKingaku AddRaw(__int64 nRaw, const ClKingaku& v);         // r + v
    static ClKingaku Sub(const ClKingaku& a, const ClKingaku& b);      // a - b
    static ClKingaku SubRaw(__int64 nRaw, const ClKingaku& v);         // r - v
    static ClKingaku MulInt(const ClKingaku& v, int nFactor);          // exact; throws -1 on overflow
    static ClKingaku Mul(const ClKingaku& a, const ClKingaku& b);      // half up on the magnitude; throws -1 on overflow

    __int64 GetInteger() const { return m_nInteger; }
    unsigned int GetFraction() const { return m_nFraction; }
    short GetSign() const { return m_nSign; }

    // Bound of Add: a sum whose raw magnitude reaches this is refused.
    static constexpr __int64 kAddLimit = 1000000000000000000LL;  // 10^18

private:
    void Normalise(__int64 nRaw);

    __int64 m_nInteger;       // whole yen of the magnitude
    unsigned int m_nFraction; // ten-thousandths of the magnitude, 0 to 9999
    short m_nSign;            // +1 or -1; +1 for zero
};
