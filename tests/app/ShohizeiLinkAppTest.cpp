// The application object's pure operations: the caller's command line, the
// yen rounding and the month-range condition.
#include "app/ShohizeiLinkApp.h"

#include "suite/FindInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// --- command line ----------------------------------------------------------

TEST(ParseCallerArgs, FourFieldsAreStoredAsRead)
{
    CShohizeiLinkApp app;
    ASSERT_EQ(app.ParseCallerArgs("123456,1024,7,C:\\out\\data.xml"), 1);
    EXPECT_EQ(HwndToValue(app.m_hCallerWnd), 123456u);
    EXPECT_EQ(app.m_nNotifyMsg, 1024u);
    EXPECT_EQ(app.m_nFunctionId, 7);
    EXPECT_STREQ(app.m_strPresetOutputPath, "C:\\out\\data.xml");
    // Parsing never records the caller: only the run does that.
    EXPECT_EQ(app.m_bLaunchedByCaller, 0);
}

TEST(ParseCallerArgs, EmptyPathAndCommasInsideThePath)
{
    CShohizeiLinkApp app;
    ASSERT_EQ(app.ParseCallerArgs("123456,1024,7,"), 1);
    EXPECT_TRUE(app.m_strPresetOutputPath.IsEmpty());

    CShohizeiLinkApp app2;
    ASSERT_EQ(app2.ParseCallerArgs("1,2,3,C:\\a,b.xml"), 1);
    EXPECT_STREQ(app2.m_strPresetOutputPath, "C:\\a,b.xml");

    // A double-byte path whose trail bytes are 0x5C stays whole.
    CShohizeiLinkApp app3;
    ASSERT_EQ(app3.ParseCallerArgs("1,2,3,C:\\\x83\x5C\x83\x74\x83\x67\\x.xml"), 1);
    EXPECT_STREQ(app3.m_strPresetOutputPath, "C:\\\x83\x5C\x83\x74\x83\x67\\x.xml");
}

TEST(ParseCallerArgs, ShortLinesKeepTheFieldsReadBeforeTheBreak)
{
    CShohizeiLinkApp none;
    EXPECT_EQ(none.ParseCallerArgs(""), 0);
    EXPECT_EQ(none.ParseCallerArgs(nullptr), 0);
    EXPECT_EQ(none.ParseCallerArgs("123456"), 0);
    EXPECT_EQ(none.m_hCallerWnd, nullptr);

    CShohizeiLinkApp two;
    EXPECT_EQ(two.ParseCallerArgs("123456,1024"), 0);
    EXPECT_EQ(HwndToValue(two.m_hCallerWnd), 123456u);
    EXPECT_EQ(two.m_nNotifyMsg, 0u);
    EXPECT_EQ(two.m_nFunctionId, 1);

    CShohizeiLinkApp three;
    EXPECT_EQ(three.ParseCallerArgs("123456,1024,9"), 0);
    EXPECT_EQ(three.m_nNotifyMsg, 1024u);
    EXPECT_EQ(three.m_nFunctionId, 1);  // field 3 is stored only once its comma is found
}

TEST(ParseCallerArgs, DecimalFieldsReadLikeTheCLibrary)
{
    CShohizeiLinkApp app;
    ASSERT_EQ(app.ParseCallerArgs("  42x,+33,70000,"), 1);
    EXPECT_EQ(HwndToValue(app.m_hCallerWnd), 42u);
    EXPECT_EQ(app.m_nNotifyMsg, 33u);
    EXPECT_EQ(app.m_nFunctionId, 4464);  // 70000 in 16 bits

    CShohizeiLinkApp neg;
    ASSERT_EQ(neg.ParseCallerArgs("abc,,-1,"), 1);
    EXPECT_EQ(neg.m_hCallerWnd, nullptr);
    EXPECT_EQ(neg.m_nNotifyMsg, 0u);
    EXPECT_EQ(neg.m_nFunctionId, -1);

    // Overlong digit runs saturate instead of wrapping to another value.
    CShohizeiLinkApp big;
    ASSERT_EQ(big.ParseCallerArgs("99999999999999999999,5,1,"), 1);
    EXPECT_EQ(HwndToValue(big.m_hCallerWnd), 2147483647u);
}

TEST(ParseCallerArgs, LongLineIsTakenWhole)
{
    const std::string path = "C:\\" + std::string(300, 'd') + "\\out.xml";
    CShohizeiLinkApp app;
    ASSERT_EQ(app.ParseCallerArgs(("123456,1024,7," + path).c_str()), 1);
    EXPECT_EQ(HwndToValue(app.m_hCallerWnd), 123456u);
    EXPECT_EQ(std::string(app.m_strPresetOutputPath), path);

    // The commas may lie beyond the first 260 bytes too.
    CShohizeiLinkApp padded;
    ASSERT_EQ(padded.ParseCallerArgs((std::string(280, ' ') + "77,1025,3,").c_str()), 1);
    EXPECT_EQ(HwndToValue(padded.m_hCallerWnd), 77u);
    EXPECT_EQ(padded.m_nFunctionId, 3);
}

// --- yen rounding ------------------------------------------------------------

struct RoundRow {
    __int64 raw;
    __int64 mode0, mode1, mode2, mode3;
};

__int64 Round(BYTE mode, __int64 raw)
{
    CShohizeiLinkApp app;
    app.m_nHasuMode = mode;
    return app.RoundHasu(raw);
}

TEST(RoundHasu, WorkedTable)
{
    const RoundRow rows[] = {
        {0, 0, 0, 0, 0},         {10000, 1, 1, 1, 1},     {10001, 1, 1, 2, 1},   {449, 0, 0, 1, 0},
        {4444, 0, 0, 1, 0},      {4445, 1, 0, 1, 0},      {4999, 1, 0, 1, 0},    {14444, 1, 1, 2, 1},
        {15000, 2, 1, 2, 1},     {19999, 2, 1, 2, 1},     {124445, 13, 12, 13, 12},
    };
    for (const RoundRow& r : rows) {
        EXPECT_EQ(Round(0, r.raw), r.mode0) << r.raw;
        EXPECT_EQ(Round(1, r.raw), r.mode1) << r.raw;
        EXPECT_EQ(Round(2, r.raw), r.mode2) << r.raw;
        EXPECT_EQ(Round(3, r.raw), r.mode3) << r.raw;
        EXPECT_EQ(Round(255, r.raw), r.mode1) << r.raw;
    }
}

TEST(RoundHasu, NegativeAmountsMirrorThePositiveOnes)
{
    const __int64 raws[] = {1, 449, 4444, 4445, 4999, 5000, 10001, 14444, 15000, 19999, 124445};
    for (BYTE mode : {0, 1, 2, 3}) {
        for (__int64 raw : raws) {
            EXPECT_EQ(Round(mode, -raw), -Round(mode, raw)) << "mode " << int(mode) << " raw " << raw;
        }
    }
    // Truncating modes go toward zero.
    EXPECT_EQ(Round(1, -15000), -1);
    EXPECT_EQ(Round(3, -19999), -1);
    // Never more than one yen from the truncated value, and .5 never truncated in mode 0.
    EXPECT_EQ(Round(0, -5000), -1);
    EXPECT_EQ(Round(2, -10001), -2);
    EXPECT_EQ(Round(0, -4444), 0);
}

// Every four-decimal remainder: mode 0 carries digit by digit, so it rounds
// up exactly from .4445; mode 2 rounds up on any remainder; the other modes
// truncate. Negative amounts are the mirror image.
TEST(RoundHasu, EveryRemainder)
{
    for (__int64 r = 0; r < 10000; ++r) {
        for (__int64 yen : {0LL, 7LL}) {
            const __int64 raw = yen * 10000 + r;
            EXPECT_EQ(Round(0, raw), yen + (r >= 4445 ? 1 : 0)) << raw;
            EXPECT_EQ(Round(2, raw), yen + (r != 0 ? 1 : 0)) << raw;
            EXPECT_EQ(Round(1, raw), yen) << raw;
            EXPECT_EQ(Round(0, -raw), -Round(0, raw)) << raw;
            EXPECT_EQ(Round(2, -raw), -Round(2, raw)) << raw;
            EXPECT_EQ(Round(4, -raw), -yen) << raw;
        }
    }
}

TEST(RoundHasu, MultiplesOfOneYenAndTheRawLimits)
{
    for (BYTE mode : {0, 1, 2, 7}) {
        for (__int64 yen : {-123456789LL, -1LL, 0LL, 1LL, 922337203685477LL}) {
            EXPECT_EQ(Round(mode, yen * 10000), yen);
        }
    }
    EXPECT_EQ(Round(2, INT64_MAX), INT64_MAX / 10000 + 1);
    EXPECT_EQ(Round(2, INT64_MIN), INT64_MIN / 10000 - 1);
    EXPECT_EQ(Round(1, INT64_MIN), INT64_MIN / 10000);
}

// --- month-range condition ----------------------------------------------------

struct Term {
    short compare;
    short kind;
    short connect;
};

void ExpectTerms(const StFINDINFO* terms, std::initializer_list<Term> expected)
{
    size_t i = 0;
    for (const Term& t : expected) {
        SCOPED_TRACE("term " + std::to_string(i));
        // Packed fields are copied out before they are compared.
        const StFINDINFO term = terms[i];
        EXPECT_EQ(int(term.lItem), int(FINDITEM_MONTHKIND));
        EXPECT_EQ(int(term.nSide), 0);
        EXPECT_EQ(int(term.nCompare), int(t.compare));
        EXPECT_EQ(int(term.nValueType), int(FINDVAL_SHORT));
        EXPECT_EQ(int(term.nValue), int(t.kind));
        // The value's other two bytes stay zero.
        EXPECT_EQ(int(term.lValue & ~0xFFFF), 0);
        const StFINDINFO* nest = term.pNest;
        EXPECT_EQ(nest, nullptr);
        EXPECT_EQ(int(term.nConnect), int(t.connect));
        ++i;
    }
    // Everything after the last term is untouched zero.
    const unsigned char* rest = reinterpret_cast<const unsigned char*>(terms + i);
    const size_t restSize = sizeof(StFINDINFO) * (FINDINFO_RUN_TERMS - i);
    for (size_t b = 0; b < restSize; ++b) {
        ASSERT_EQ(rest[b], 0) << "byte " << b << " after term " << i;
    }
}

void Fill(StFINDINFO* terms, short a, short b, short first, short last, int half)
{
    std::memset(terms, 0, sizeof(StFINDINFO) * FINDINFO_RUN_TERMS);
    CShohizeiLinkApp::FillShukeiJoken(terms, a, b, first, last, half);
}

TEST(ShukeiJoken, AprilToMarchYear)
{
    StFINDINFO t[FINDINFO_RUN_TERMS];
    Fill(t, 4, 3, 4, 103, 0);  // whole year: s 1, e 12, year-end closing third
    ExpectTerms(t, {{FINDCMP_GE, 1, FINDCON_AND}, {FINDCMP_LE, 12, FINDCON_OR}, {FINDCMP_EQ, 18, FINDCON_END}});

    Fill(t, 1, 3, 4, 103, 0);
    ExpectTerms(t, {{FINDCMP_GE, 10, FINDCON_AND}, {FINDCMP_LE, 12, FINDCON_OR}, {FINDCMP_EQ, 18, FINDCON_END}});

    Fill(t, 4, 9, 4, 103, 1);  // first half with its half-year closing, no year-end
    ExpectTerms(t, {{FINDCMP_GE, 1, FINDCON_AND}, {FINDCMP_LE, 6, FINDCON_OR}, {FINDCMP_EQ, 15, FINDCON_END}});

    Fill(t, 4, 9, 4, 103, 0);  // the same without a half-year closing
    ExpectTerms(t, {{FINDCMP_GE, 1, FINDCON_AND}, {FINDCMP_LE, 6, FINDCON_END}});

    Fill(t, 7, 12, 4, 103, 1);  // months inside the year: position in the year
    ExpectTerms(t, {{FINDCMP_GE, 4, FINDCON_AND}, {FINDCMP_LE, 9, FINDCON_END}});
}

TEST(ShukeiJoken, CalendarYear)
{
    StFINDINFO t[FINDINFO_RUN_TERMS];
    Fill(t, 1, 12, 1, 12, 0);
    ExpectTerms(t, {{FINDCMP_GE, 1, FINDCON_AND}, {FINDCMP_LE, 12, FINDCON_OR}, {FINDCMP_EQ, 18, FINDCON_END}});

    Fill(t, 3, 6, 1, 12, 1);
    ExpectTerms(t, {{FINDCMP_GE, 3, FINDCON_AND}, {FINDCMP_LE, 6, FINDCON_OR}, {FINDCMP_EQ, 15, FINDCON_END}});
}

TEST(ShukeiJoken, SixMonthYearGetsBothClosingsInOrder)
{
    StFINDINFO t[FINDINFO_RUN_TERMS];
    Fill(t, 4, 9, 4, 9, 1);
    ExpectTerms(t, {{FINDCMP_GE, 1, FINDCON_AND},
                    {FINDCMP_LE, 6, FINDCON_OR},
                    {FINDCMP_EQ, 15, FINDCON_OR},
                    {FINDCMP_EQ, 18, FINDCON_END}});
}

}  // namespace
