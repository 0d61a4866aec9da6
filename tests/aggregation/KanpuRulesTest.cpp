// The fixed rules of the refund-statement totals and the conditions the
// aggregation builds around the month range.
#include "aggregation/KanpuRules.h"
#include "aggregation/ShiwakeJoken.h"

#include "suite/FindSql.h"
#include "tests/support/FindTerms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

StBUMONINFO Bumon(int kind, long link, int category)
{
    StBUMONINFO b;
    std::memset(&b, 0, sizeof b);
    b.byKind = static_cast<uint8_t>(kind);
    b.lLink = static_cast<int32_t>(link);
    b.byCategory = static_cast<uint8_t>(category);
    return b;
}

constexpr unsigned J = KanpuRules::RULE_JIGYO;
constexpr unsigned F = KanpuRules::RULE_FUDOUSAN;
constexpr unsigned S = KanpuRules::RULE_SONOTA;

TEST(KojinRules, IncomeKindsOneAndTwoIgnoreTheDepartment)
{
    const StBUMONINFO realEstate = Bumon(0, 0, 3);
    const StBUMONINFO kind2 = Bumon(2, 0, 1);
    EXPECT_EQ(KanpuRules::KojinRules(1, nullptr), J);
    EXPECT_EQ(KanpuRules::KojinRules(1, &realEstate), J);
    EXPECT_EQ(KanpuRules::KojinRules(1, &kind2), J);
    EXPECT_EQ(KanpuRules::KojinRules(2, nullptr), F);
    EXPECT_EQ(KanpuRules::KojinRules(2, &kind2), F);
    for (int k : {0, 7, 8, 255}) {
        EXPECT_EQ(KanpuRules::KojinRules(static_cast<BYTE>(k), nullptr), 0u) << k;
        EXPECT_EQ(KanpuRules::KojinRules(static_cast<BYTE>(k), &realEstate), 0u) << k;
    }
}

TEST(KojinRules, SeveralIncomesSplitByDepartment)
{
    for (int k = 3; k <= 6; ++k) {
        const BYTE kinds = static_cast<BYTE>(k);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, nullptr), J) << "no department";
        // Kind 0: by category alone.
        StBUMONINFO b = Bumon(0, 0, 1);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J);
        b = Bumon(0, 0, 8);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J);
        b = Bumon(0, 0, 3);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), F);
        for (int other : {0, 2, 4, 9}) {
            b = Bumon(0, 0, other);
            EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), S) << other;
        }
        // Kind 1 unlinked: business whatever the category, real estate too
        // for category 3, never other.
        b = Bumon(1, 0, 0);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J);
        b = Bumon(1, 0, 3);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J | F);
        // Kind 1 linked: always other, plus what the category says.
        b = Bumon(1, 5, 1);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J | S);
        b = Bumon(1, 5, 8);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), J | S);
        b = Bumon(1, 5, 3);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), F | S);
        b = Bumon(1, -1, 0);
        EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), S);
        // Kind 2: other only, whatever the category and link.
        for (int cat : {1, 3, 8, 0}) {
            b = Bumon(2, 0, cat);
            EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), S) << cat;
            b = Bumon(2, 7, cat);
            EXPECT_EQ(KanpuRules::KojinRules(kinds, &b), S) << cat;
        }
    }
}

TEST(KojinGroup, PurchaseAndExpenseCodes)
{
    int n = 0;
    const DWORD* codes = KanpuRules::KamokuListCodes(KanpuRules::KAMOKULIST_KOJIN, &n);
    ASSERT_EQ(n, 24);
    int shiire = 0, hitsuyou = 0;
    for (int i = 0; i < n; ++i) {
        const int g = KanpuRules::KojinGroup(codes[i]);
        shiire += g == KanpuRules::KOJIN_SHIIRE;
        hitsuyou += g == KanpuRules::KOJIN_HITSUYOU;
    }
    EXPECT_EQ(shiire, 13);
    EXPECT_EQ(hitsuyou, 11);
    EXPECT_EQ(KanpuRules::KojinGroup(0x40884400), KanpuRules::KOJIN_SHIIRE);
    EXPECT_EQ(KanpuRules::KojinGroup(0x80881008), KanpuRules::KOJIN_SHIIRE);
    EXPECT_EQ(KanpuRules::KojinGroup(0x40844080), KanpuRules::KOJIN_HITSUYOU);
    EXPECT_EQ(KanpuRules::KojinGroup(0x40440040), KanpuRules::KOJIN_HITSUYOU);
    EXPECT_EQ(KanpuRules::KojinGroup(0x40880000), KanpuRules::KOJIN_NONE);
    EXPECT_EQ(KanpuRules::KojinGroup(0), KanpuRules::KOJIN_NONE);
}

TEST(HojinRows, JournalColumnCoversTheCorporationList)
{
    int n = 0;
    const DWORD* codes = KanpuRules::KamokuListCodes(KanpuRules::KAMOKULIST_HOJIN, &n);
    ASSERT_EQ(n, 23);
    int perRow[4] = {};
    for (int i = 0; i < n; ++i) {
        const int row = KanpuRules::HojinShiwakeRow(codes[i]);
        ASSERT_NE(row, KanpuRules::HOJIN_NONE) << std::hex << codes[i];
        ++perRow[row];
    }
    EXPECT_EQ(perRow[KanpuRules::HOJIN_SHOHIN], 13);
    EXPECT_EQ(perRow[KanpuRules::HOJIN_HANBAI], 6);
    EXPECT_EQ(perRow[KanpuRules::HOJIN_EIGYOGAI], 1);
    EXPECT_EQ(perRow[KanpuRules::HOJIN_SONOTA], 3);
    // The individual's extra expense code is no corporation row.
    EXPECT_EQ(KanpuRules::HojinShiwakeRow(0x40844080), KanpuRules::HOJIN_NONE);
    short bad = 4;
    EXPECT_EQ(KanpuRules::KamokuListCodes(bad, &n), nullptr);
    EXPECT_EQ(n, 0);
}

TEST(HojinRows, SummaryRowsByByte127)
{
    bool store = true;
    // The purchase of goods proper counts when byte 127 is 1 ...
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40884400, 1, &store), KanpuRules::HOJIN_SHOHIN);
    EXPECT_FALSE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40884400, 0, &store), KanpuRules::HOJIN_NONE);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40884400, 2, &store), KanpuRules::HOJIN_NONE);
    // ... the other twelve purchase codes when it is not.
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x20400000, 0, &store), KanpuRules::HOJIN_SHOHIN);
    EXPECT_FALSE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x80881008, 2, &store), KanpuRules::HOJIN_SHOHIN);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x20400000, 1, &store), KanpuRules::HOJIN_NONE);
    // The three totals are stored, and only with byte 127 = 1.
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40882000, 1, &store), KanpuRules::HOJIN_HANBAI);
    EXPECT_TRUE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40844000, 1, &store), KanpuRules::HOJIN_EIGYOGAI);
    EXPECT_TRUE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40440000, 1, &store), KanpuRules::HOJIN_SONOTA);
    EXPECT_TRUE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40882000, 0, &store), KanpuRules::HOJIN_NONE);
    EXPECT_FALSE(store);
    // Sub-codes of the other rows count in the journal pass only.
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40882040, 1, &store), KanpuRules::HOJIN_NONE);
    EXPECT_FALSE(store);
    EXPECT_EQ(KanpuRules::HojinKamokuRow(0x40440080, 1, &store), KanpuRules::HOJIN_NONE);
}

TEST(ZeiCodes, CountedAndUndeterminedImport)
{
    std::set<int> counted, mitei;
    for (int c = 0; c <= 255; ++c) {
        if (KanpuRules::IsKanpuZeiCode(static_cast<BYTE>(c)))
            counted.insert(c);
        if (KanpuRules::IsMiteiYunyuZeiCode(static_cast<BYTE>(c)))
            mitei.insert(c);
    }
    for (int c : {21, 22, 23, 25, 26, 27, 28, 29})
        EXPECT_EQ(counted.count(c), 0u) << c;
    for (int c : {0, 20, 24, 30, 31, 37, 38, 255})
        EXPECT_EQ(counted.count(c), 1u) << c;
    EXPECT_EQ(counted.size(), 256u - 8u);
    EXPECT_EQ(mitei, (std::set<int>{31, 32, 33, 34, 35, 36, 37}));
}

using findtest::MonthRange;

TEST(MonthRange, YearEndTermIsFoundInThirdOrFourthPlace)
{
    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 12, false, true);
    EXPECT_TRUE(KanpuRules::IncludesYearEnd(c));
    EXPECT_EQ(KanpuRules::StartMonthKind(c), 1);
    EXPECT_EQ(KanpuRules::EndMonthKind(c), 12);
    MonthRange(c, 1, 6, true, true);
    EXPECT_TRUE(KanpuRules::IncludesYearEnd(c));
    MonthRange(c, 1, 6, true, false);
    EXPECT_FALSE(KanpuRules::IncludesYearEnd(c));
    MonthRange(c, 10, 11, false, false);
    EXPECT_FALSE(KanpuRules::IncludesYearEnd(c));
    EXPECT_EQ(KanpuRules::StartMonthKind(c), 10);
    EXPECT_EQ(KanpuRules::EndMonthKind(c), 11);
    // A kind-18 term left after the last connector is not part of the condition.
    MonthRange(c, 1, 5, false, false);
    c[2] = ShiwakeJoken::Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 18, FINDCON_END);
    EXPECT_FALSE(KanpuRules::IncludesYearEnd(c));
}

std::string Sql(const StFINDINFO* c, FindTarget target, std::vector<long long>* params = nullptr)
{
    std::string sql;
    std::vector<long long> p;
    EXPECT_EQ(FindSql::Translate(c, target, sql, p), 0);
    if (params)
        *params = p;
    return sql;
}

// The builders produce the same condition as the terms written out by hand.
TEST(ShiwakeJoken, NestedConditionsMatchTheirTermsWrittenOut)
{
    StFINDINFO month[FINDINFO_RUN_TERMS];
    MonthRange(month, 4, 9, true, false);
    using J = ShiwakeJoken;

    StFINDINFO dr[2] = {J::Term(3, 1, 4, 3, 31, 1), J::Term(3, 1, 6, 3, 37, 0)};
    StFINDINFO cr[2] = {J::Term(3, 2, 4, 3, 31, 1), J::Term(3, 2, 6, 3, 37, 0)};
    StFINDINFO sides[2] = {J::Nest(dr, 2), J::Nest(cr, 0)};
    StFINDINFO outer[2] = {J::Nest(sides, 1), J::Nest(month, 0)};
    ShiwakeJoken joken;
    std::vector<long long> pa, pb;
    EXPECT_EQ(Sql(joken.BuildMiteiYunyu(month), FindTarget::Journal, &pa), Sql(outer, FindTarget::Journal, &pb));
    EXPECT_EQ(pa, pb);

    StFINDINFO dr3[3] = {J::Term(3, 1, 5, 3, 21, 2), J::Term(3, 1, 1, 3, 24, 2), J::Term(3, 1, 4, 3, 30, 0)};
    StFINDINFO cr3[3] = {J::Term(3, 2, 5, 3, 21, 2), J::Term(3, 2, 1, 3, 24, 2), J::Term(3, 2, 4, 3, 30, 0)};
    StFINDINFO sides3[2] = {J::Nest(dr3, 2), J::Nest(cr3, 0)};
    StFINDINFO outer3[2] = {J::Nest(sides3, 1), J::Nest(month, 0)};
    // The same object rebuilt: nothing of the previous condition stays.
    EXPECT_EQ(Sql(joken.BuildKanpu(month), FindTarget::Journal, &pa), Sql(outer3, FindTarget::Journal, &pb));
    EXPECT_EQ(pa, pb);

    const DWORD codes[] = {0x80881080u, 0x40884400u};
    const std::string zokusei = Sql(joken.BuildZokusei(codes, 2), FindTarget::Account, &pa);
    StFINDINFO z[2] = {J::Term(16, 0, 1, 19, static_cast<int32_t>(0x80881080u), 2), J::Term(16, 0, 1, 19, 0x40884400, 0)};
    EXPECT_EQ(zokusei, Sql(z, FindTarget::Account, &pb));
    EXPECT_EQ(pa, pb);
    EXPECT_EQ(joken.BuildZokusei(codes, 0), nullptr);

    StFINDINFO d[2] = {J::Term(203, 0, 4, 3, 20230401, 1), J::Term(203, 0, 6, 3, 20230930, 0)};
    EXPECT_EQ(Sql(joken.BuildShutokuDate(20230401, 20230930), FindTarget::Asset, &pa), Sql(d, FindTarget::Asset, &pb));
    EXPECT_EQ(pa, pb);
}

} // namespace
