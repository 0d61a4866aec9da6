#include "app/Kingaku.h"

#include <cstdint>
#include <limits>

namespace {

typedef unsigned __int128 U128;
typedef __int128 S128;

const __int64 kUnit = 10000;  // ten-thousandths per yen

// The exact raw amount of sign, whole part and fraction, wide enough that a
// value made by a product never wraps here.
S128 WideRaw(short nSign, __int64 nInteger, unsigned int nFraction)
{
    const S128 m = static_cast<S128>(nInteger) * kUnit + nFraction;
    return nSign < 0 ? -m : m;
}

// Two's-complement addition of raw amounts; the operations that test no
// bound wrap instead of running into undefined behaviour.
__int64 WrapAdd(__int64 a, __int64 b)
{
    return static_cast<__int64>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}

__int64 WrapSub(__int64 a, __int64 b)
{
    return static_cast<__int64>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}

const uint64_t kMaxInteger = static_cast<uint64_t>(std::numeric_limits<__int64>::max());

}  // namespace

ClKingaku::ClKingaku(int nInteger, unsigned int nFraction)
{
    m_nSign = nInteger < 0 ? -1 : 1;
    m_nInteger = nInteger < 0 ? -static_cast<__int64>(nInteger) : nInteger;
    m_nInteger += nFraction / kUnit;
    m_nFraction = nFraction % kUnit;
    if (m_nInteger == 0 && m_nFraction == 0)
        m_nSign = 1;
}

ClKingaku::ClKingaku(const ClKingaku& other)
    : m_nInteger(other.m_nInteger), m_nFraction(other.m_nFraction), m_nSign(other.m_nSign)
{
}

ClKingaku::~ClKingaku() {}

ClKingaku& ClKingaku::operator=(const ClKingaku& other)
{
    m_nInteger = other.m_nInteger;
    m_nFraction = other.m_nFraction;
    m_nSign = other.m_nSign;
    return *this;
}

ClKingaku ClKingaku::FromRaw(__int64 nRaw)
{
    ClKingaku k;
    k.Normalise(nRaw);
    return k;
}

ClKingaku& ClKingaku::SetInt(int nWhole)
{
    m_nSign = nWhole < 0 ? -1 : 1;
    m_nInteger = nWhole < 0 ? -static_cast<__int64>(nWhole) : nWhole;
    m_nFraction = 0;
    return *this;
}

void ClKingaku::Normalise(__int64 nRaw)
{
    m_nSign = nRaw < 0 ? -1 : 1;
    // The magnitude of the most negative raw amount is 2^63: unsigned.
    const uint64_t m = nRaw < 0 ? 0 - static_cast<uint64_t>(nRaw) : static_cast<uint64_t>(nRaw);
    m_nInteger = static_cast<__int64>(m / kUnit);
    m_nFraction = static_cast<unsigned int>(m % kUnit);
}

__int64 ClKingaku::ToRaw() const
{
    const uint64_t m = static_cast<uint64_t>(m_nInteger) * kUnit + m_nFraction;
    return static_cast<__int64>(m_nSign < 0 ? 0 - m : m);
}

bool ClKingaku::ToRawChecked(__int64* pRaw) const
{
    const S128 raw = WideRaw(m_nSign, m_nInteger, m_nFraction);
    if (raw > std::numeric_limits<__int64>::max() || raw < std::numeric_limits<__int64>::min())
        return false;
    if (pRaw)
        *pRaw = static_cast<__int64>(raw);
    return true;
}

__int64 ClKingaku::ToRawOrThrow() const
{
    __int64 raw = 0;
    if (!ToRawChecked(&raw))
        throw -1;
    return raw;
}

ClKingaku ClKingaku::Add(const ClKingaku& a, const ClKingaku& b)
{
    // Summed wide so that operands near the raw range cannot wrap past the
    // bound unseen.
    const S128 sum = WideRaw(a.m_nSign, a.m_nInteger, a.m_nFraction) +
                     WideRaw(b.m_nSign, b.m_nInteger, b.m_nFraction);
    if (sum >= kAddLimit || sum <= -static_cast<S128>(kAddLimit))
        throw -1;
    return FromRaw(static_cast<__int64>(sum));
}

ClKingaku ClKingaku::AddRaw(__int64 nRaw, const ClKingaku& v)
{
    return FromRaw(WrapAdd(nRaw, v.ToRaw()));
}

ClKingaku ClKingaku::Sub(const ClKingaku& a, const ClKingaku& b)
{
    return FromRaw(WrapSub(a.ToRaw(), b.ToRaw()));
}

ClKingaku ClKingaku::SubRaw(__int64 nRaw, const ClKingaku& v)
{
    return FromRaw(WrapSub(nRaw, v.ToRaw()));
}

ClKingaku ClKingaku::MulInt(const ClKingaku& v, int nFactor)
{
    const short nFactorSign = nFactor < 0 ? -1 : 1;
    const uint64_t k = nFactor < 0 ? 0 - static_cast<uint64_t>(static_cast<__int64>(nFactor))
                                   : static_cast<uint64_t>(nFactor);
    const uint64_t fractionProduct = static_cast<uint64_t>(v.m_nFraction) * k;
    uint64_t integerProduct = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(v.m_nInteger), k, &integerProduct))
        throw -1;
    // The carried fraction can push the whole part past the signed field
    // even when the product itself fits: that would store a negative whole
    // part, so it is refused the same way.
    const U128 whole = static_cast<U128>(fractionProduct / kUnit) + integerProduct;
    if (whole > kMaxInteger)
        throw -1;

    ClKingaku r;
    r.m_nInteger = static_cast<__int64>(whole);
    r.m_nFraction = static_cast<unsigned int>(fractionProduct % kUnit);
    r.m_nSign = static_cast<short>(v.m_nSign * nFactorSign);
    if (r.m_nInteger == 0 && r.m_nFraction == 0)
        r.m_nSign = 1;
    return r;
}

ClKingaku ClKingaku::Mul(const ClKingaku& a, const ClKingaku& b)
{
    const U128 aInt = static_cast<uint64_t>(a.m_nInteger);
    const U128 bInt = static_cast<uint64_t>(b.m_nInteger);
    const U128 p1 = static_cast<U128>(a.m_nFraction) * bInt;
    // The product of the fractions is in units of 10^-8: rounded half up to
    // ten-thousandths on the magnitude, so a halfway product moves away from
    // zero whatever its sign.
    const U128 q = (static_cast<U128>(a.m_nFraction) * b.m_nFraction + 5000) / kUnit;
    const U128 p2 = static_cast<U128>(b.m_nFraction) * aInt;
    const U128 s = q + p2 + p1;

    uint64_t integerProduct = 0;
    if (__builtin_mul_overflow(static_cast<uint64_t>(a.m_nInteger), static_cast<uint64_t>(b.m_nInteger),
                               &integerProduct))
        throw -1;
    // As in MulInt: the carried part must not push the whole part past the
    // signed field.
    const U128 whole = s / kUnit + integerProduct;
    if (whole > kMaxInteger)
        throw -1;

    ClKingaku r;
    r.m_nInteger = static_cast<__int64>(whole);
    r.m_nFraction = static_cast<unsigned int>(s % kUnit);
    r.m_nSign = static_cast<short>(a.m_nSign * b.m_nSign);
    if (r.m_nInteger == 0 && r.m_nFraction == 0)
        r.m_nSign = 1;
    return r;
}
