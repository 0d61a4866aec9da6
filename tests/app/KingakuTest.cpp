#include "app/Kingaku.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

namespace {

const __int64 kMaxRaw = std::numeric_limits<__int64>::max();
const __int64 kMinRaw = std::numeric_limits<__int64>::min();

void ExpectParts(const ClKingaku& k, short sign, __int64 integer, unsigned int fraction)
{
    EXPECT_EQ(k.GetSign(), sign);
    EXPECT_EQ(k.GetInteger(), integer);
    EXPECT_EQ(k.GetFraction(), fraction);
}

// Runs f and tells whether it threw the integer -1 (any other exception
// fails the test).
template <class F>
bool ThrowsMinusOne(F f)
{
    try {
        f();
    } catch (int e) {
        EXPECT_EQ(e, -1);
        return true;
    }
    return false;
}

TEST(KingakuConstruction, ArgumentsAndCarry)
{
    ClKingaku zero(0, 0);
    ExpectParts(zero, 1, 0, 0);
    EXPECT_EQ(zero.ToRaw(), 0);

    ExpectParts(ClKingaku(-3, 5), -1, 3, 5);
    EXPECT_EQ(ClKingaku(-3, 5).ToRaw(), -30005);
    ExpectParts(ClKingaku(0, 5), 1, 0, 5);
    ExpectParts(ClKingaku(0, 25000), 1, 2, 5000);
    ExpectParts(ClKingaku(-1, 19999), -1, 2, 9999);
    ExpectParts(ClKingaku(std::numeric_limits<int>::min(), 0), -1, 2147483648LL, 0);
}

TEST(KingakuConstruction, SetIntCopyAndAssignment)
{
    ClKingaku k = ClKingaku::FromRaw(-12345);
    ExpectParts(k.SetInt(-7), -1, 7, 0);
    ExpectParts(k.SetInt(0), 1, 0, 0);
    ExpectParts(k.SetInt(42), 1, 42, 0);

    ClKingaku src = ClKingaku::FromRaw(-98765);
    ClKingaku copy(src);
    ExpectParts(copy, -1, 9, 8765);
    ClKingaku target(5, 0);
    ClKingaku& r = (target = src);
    EXPECT_EQ(&r, &target);
    ExpectParts(target, -1, 9, 8765);
}

TEST(KingakuRaw, RoundTripsAndNormalises)
{
    const ClKingaku k = ClKingaku::FromRaw(-12345);
    ExpectParts(k, -1, 1, 2345);
    EXPECT_EQ(k.ToRaw(), -12345);

    ExpectParts(ClKingaku::FromRaw(-1), -1, 0, 1);
    ExpectParts(ClKingaku::FromRaw(0), 1, 0, 0);
    ExpectParts(ClKingaku::FromRaw(10000), 1, 1, 0);

    for (__int64 raw : {kMaxRaw, kMinRaw, kMinRaw + 1, __int64(999999999999999999LL), __int64(-9999)}) {
        const ClKingaku v = ClKingaku::FromRaw(raw);
        EXPECT_EQ(v.ToRaw(), raw) << raw;
        __int64 back = 0;
        EXPECT_TRUE(v.ToRawChecked(&back)) << raw;
        EXPECT_EQ(back, raw);
        EXPECT_EQ(v.ToRawOrThrow(), raw);
    }
    ExpectParts(ClKingaku::FromRaw(kMinRaw), -1, 922337203685477LL, 5808);
}

// A times-20 product of a large amount leaves the raw range; the checked
// conversion must say so rather than wrap.
TEST(KingakuRaw, CheckedConversionRefusesWhatDoesNotFit)
{
    const ClKingaku big = ClKingaku::FromRaw(kMaxRaw / 10);
    const ClKingaku times20 = ClKingaku::MulInt(big, 20);
    __int64 raw = 123;
    EXPECT_FALSE(times20.ToRawChecked(&raw));
    EXPECT_EQ(raw, 123);
    EXPECT_TRUE(ThrowsMinusOne([&] { times20.ToRawOrThrow(); }));
    EXPECT_FALSE(ClKingaku::MulInt(ClKingaku::FromRaw(-kMaxRaw / 10), 20).ToRawChecked(&raw));

    // Just inside on both sides: the negative side reaches one further.
    EXPECT_TRUE(ClKingaku::MulInt(ClKingaku::FromRaw(kMinRaw / 2), 2).ToRawChecked(&raw));
    EXPECT_EQ(raw, kMinRaw);
    EXPECT_TRUE(ClKingaku::MulInt(ClKingaku::FromRaw(kMaxRaw / 20), 20).ToRawChecked(&raw));
    EXPECT_EQ(raw, kMaxRaw / 20 * 20);
    // Magnitude 2^63 is the most negative raw amount but one past the most
    // positive.
    const ClKingaku twoTo63 = ClKingaku::MulInt(ClKingaku::FromRaw(std::int64_t(1) << 62), 2);
    EXPECT_FALSE(twoTo63.ToRawChecked(&raw));
    EXPECT_TRUE(ClKingaku::MulInt(ClKingaku::FromRaw(std::int64_t(1) << 62), -2).ToRawChecked(&raw));
    EXPECT_EQ(raw, kMinRaw);
}

TEST(KingakuAddSub, AddBoundIsTenToTheEighteenth)
{
    const ClKingaku one = ClKingaku::FromRaw(1);
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Add(ClKingaku::FromRaw(999999999999999999LL), one); }));
    EXPECT_EQ(ClKingaku::Add(ClKingaku::FromRaw(999999999999999998LL), one).ToRaw(), 999999999999999999LL);
    const ClKingaku half = ClKingaku::FromRaw(-500000000000000000LL);
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Add(half, half); }));
    EXPECT_EQ(ClKingaku::Add(half, ClKingaku::FromRaw(-499999999999999999LL)).ToRaw(), -999999999999999999LL);
    // Operands whose sum would wrap the 64-bit range are still refused.
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Add(ClKingaku::FromRaw(kMaxRaw), ClKingaku::FromRaw(kMaxRaw)); }));
    // Large operands with a small sum pass.
    EXPECT_EQ(ClKingaku::Add(ClKingaku::FromRaw(kMaxRaw), ClKingaku::FromRaw(-kMaxRaw + 7)).ToRaw(), 7);
}

TEST(KingakuAddSub, OtherAdditionsTestNoBoundAndNormalise)
{
    const ClKingaku big = ClKingaku::FromRaw(999999999999999999LL);
    EXPECT_EQ(ClKingaku::AddRaw(1, big).ToRaw(), 1000000000000000000LL);
    EXPECT_EQ(ClKingaku::SubRaw(-1, big).ToRaw(), -1000000000000000000LL);
    EXPECT_EQ(ClKingaku::Sub(big, ClKingaku::FromRaw(-1)).ToRaw(), 1000000000000000000LL);

    const ClKingaku a = ClKingaku::FromRaw(-15000);
    const ClKingaku self = ClKingaku::Sub(a, a);
    ExpectParts(self, 1, 0, 0);
    ExpectParts(ClKingaku::AddRaw(15000, a), 1, 0, 0);
    ExpectParts(ClKingaku::SubRaw(3, ClKingaku::FromRaw(5)), -1, 0, 2);
    ExpectParts(ClKingaku::Add(ClKingaku::FromRaw(-20001), ClKingaku::FromRaw(1)), -1, 2, 0);
    ExpectParts(a, -1, 1, 5000);  // operands unchanged
}

TEST(KingakuMulInt, ExactProductAndSigns)
{
    const ClKingaku v = ClKingaku::FromRaw(-15000);
    const ClKingaku p = ClKingaku::MulInt(v, -3);
    ExpectParts(p, 1, 4, 5000);
    EXPECT_EQ(p.ToRaw(), 45000);
    EXPECT_EQ(ClKingaku::MulInt(v, 20).ToRaw(), -300000);
    ExpectParts(ClKingaku::MulInt(v, 0), 1, 0, 0);
    ExpectParts(ClKingaku::MulInt(ClKingaku::FromRaw(-1), 0), 1, 0, 0);
    // Fractions carry without rounding.
    EXPECT_EQ(ClKingaku::MulInt(ClKingaku::FromRaw(9999), 7).ToRaw(), 69993);
    EXPECT_EQ(ClKingaku::MulInt(ClKingaku::FromRaw(12345), std::numeric_limits<int>::min()).ToRaw(),
              -12345LL * 2147483648LL);
}

TEST(KingakuMulInt, OverflowBounds)
{
    const int kMaxInt = std::numeric_limits<int>::max();
    const int kMinInt = std::numeric_limits<int>::min();
    // Whole part 4294967298 times 2147483647 is 2^63 - 2, the largest whole
    // part there is.
    const ClKingaku top = ClKingaku::MulInt(ClKingaku::FromRaw(42949672980000LL), kMaxInt);
    ExpectParts(top, 1, kMaxRaw - 1, 0);
    ExpectParts(ClKingaku::MulInt(ClKingaku::FromRaw(42949672980000LL), -kMaxInt), -1, kMaxRaw - 1, 0);
    // The same with one ten-thousandth more: the carried fraction pushes the
    // whole part past the signed field.
    EXPECT_TRUE(ThrowsMinusOne([] { ClKingaku::MulInt(ClKingaku::FromRaw(42949672980001LL), kMaxInt); }));
    // 2^32 times 2^31 fits an unsigned product but not the signed whole part;
    // 2^33 times 2^31 fits neither.
    EXPECT_TRUE(ThrowsMinusOne([] { ClKingaku::MulInt(ClKingaku::FromRaw(42949672960000LL), kMinInt); }));
    EXPECT_TRUE(ThrowsMinusOne([] { ClKingaku::MulInt(ClKingaku::FromRaw(85899345920000LL), kMinInt); }));
    // (2^32 - 1).9999 times 2^31 stays just inside, fraction carried.
    const ClKingaku inside = ClKingaku::MulInt(ClKingaku::FromRaw(42949672959999LL), kMinInt);
    ExpectParts(inside, -1, kMaxRaw - 214748, 6352);
}

TEST(KingakuMul, RoundsHalfUpOnTheMagnitude)
{
    const ClKingaku half = ClKingaku::FromRaw(5000);
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(5), half).ToRaw(), 3);    // 0.00025
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(4), half).ToRaw(), 2);    // 0.0002
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(-5), half).ToRaw(), -3);  // -0.00025
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(3), half).ToRaw(), 2);    // 0.00015
    EXPECT_EQ(ClKingaku::Mul(half, ClKingaku::FromRaw(-3)).ToRaw(), -2);
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(25000), ClKingaku::FromRaw(25000)).ToRaw(), 62500);
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(-15000), ClKingaku::FromRaw(-20000)).ToRaw(), 30000);
    // 1.2345 x 6.7891 = 8.38114395
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(12345), ClKingaku::FromRaw(67891)).ToRaw(), 83811);
    // 0.9999 x 0.9999 = 0.99980001
    EXPECT_EQ(ClKingaku::Mul(ClKingaku::FromRaw(9999), ClKingaku::FromRaw(9999)).ToRaw(), 9998);
    // A product that rounds to nothing is positive zero.
    ExpectParts(ClKingaku::Mul(ClKingaku::FromRaw(-1), ClKingaku::FromRaw(1)), 1, 0, 0);
    ExpectParts(ClKingaku::Mul(ClKingaku::FromRaw(-70000), ClKingaku()), 1, 0, 0);
}

TEST(KingakuMul, OverflowBounds)
{
    const ClKingaku twoTo32 = ClKingaku::FromRaw(42949672960000LL);
    const ClKingaku twoTo31 = ClKingaku::FromRaw(21474836480000LL);
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Mul(twoTo32, twoTo32); }));
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Mul(twoTo32, twoTo31); }));  // 2^63

    // (2^31 + 0.5)^2 = 2^62 + 2^31 + 0.25
    const ClKingaku a = ClKingaku::FromRaw(21474836485000LL);
    ExpectParts(ClKingaku::Mul(a, a), 1, (std::int64_t(1) << 62) + (std::int64_t(1) << 31), 2500);

    // (2^32 - 1).9999 x 2^31 stays inside; with .9999 on the other side too
    // the carried fractions pass the signed field.
    const ClKingaku b = ClKingaku::FromRaw(42949672959999LL);
    ExpectParts(ClKingaku::Mul(b, ClKingaku::FromRaw(-21474836480000LL)), -1, kMaxRaw - 214748, 6352);
    EXPECT_TRUE(ThrowsMinusOne([&] { ClKingaku::Mul(b, ClKingaku::FromRaw(21474836489999LL)); }));
}

// Over seeded random operands of both signs, the products agree with exact
// wide arithmetic on the raw amounts: MulInt exactly, Mul rounded half up on
// the magnitude of the product in 10^-8 yen.
TEST(KingakuProducts, AgreeWithExactArithmetic)
{
    typedef __int128 S128;
    std::mt19937_64 gen(20240401);
    for (int i = 0; i < 20000; ++i) {
        const int digits = static_cast<int>(gen() % 13);  // magnitudes up to 10^12 raw
        __int64 limit = 1;
        for (int d = 0; d < digits; ++d) limit *= 10;
        const __int64 a = static_cast<__int64>(gen() % (limit + 1)) * ((gen() & 1) ? -1 : 1);
        const __int64 b = static_cast<__int64>(gen() % 100000000) * ((gen() & 1) ? -1 : 1);
        const int n = static_cast<int>(static_cast<int32_t>(gen() % 2000001) - 1000000);

        EXPECT_EQ(ClKingaku::MulInt(ClKingaku::FromRaw(a), n).ToRaw(), a * n) << a << " x " << n;

        const S128 exact = static_cast<S128>(a) * b;  // 10^-8 yen
        const S128 magnitude = exact < 0 ? -exact : exact;
        const S128 rounded = (magnitude + 5000) / 10000;
        const __int64 expected = static_cast<__int64>(exact < 0 ? -rounded : rounded);
        const ClKingaku product = ClKingaku::Mul(ClKingaku::FromRaw(a), ClKingaku::FromRaw(b));
        EXPECT_EQ(product.ToRaw(), expected) << a << " x " << b;
        if (expected == 0) {
            EXPECT_EQ(product.GetSign(), 1) << a << " x " << b;
        }
    }
}

}  // namespace
