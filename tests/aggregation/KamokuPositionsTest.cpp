// The account list's index by code hands the journal passes exactly the
// records, classes and order that comparing each side with the whole list
// gives: checked against that straightforward walk on random lists (repeated
// codes, codes of no group, empty lists) and random entries (sides on the same
// account, on accounts missing from the list), and through a whole
// corporation pass against the walk of the list.
#include <gtest/gtest.h>

#include <cstring>
#include <list>
#include <random>
#include <tuple>
#include <vector>

#include "AggregationFixture.h"
#include "aggregation/KamokuPositions.h"
#include "aggregation/KanpuRules.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClRuleShiwake.h"

namespace aggtest {
namespace {

using Visit = std::tuple<size_t, int, bool>;  // position, class, credit

// The walk the passes made before the index: every record, in list order,
// skipping records of no class, the debit side's code first.
std::vector<Visit> WalkWholeList(const std::list<StKAMOKUINFO>& list, int (*classify)(DWORD), int none,
                                 int32_t kari, int32_t kashi)
{
    std::vector<Visit> out;
    size_t position = 0;
    for (const StKAMOKUINFO& k : list) {
        const int cls = classify(k.ulZokusei);
        if (cls != none) {
            if (k.lKamokuCode == kari)
                out.emplace_back(position, cls, false);
            if (k.lKamokuCode == kashi)
                out.emplace_back(position, cls, true);
        }
        ++position;
    }
    return out;
}

StKAMOKUINFO Record(int32_t code, DWORD attr)
{
    StKAMOKUINFO k;
    std::memset(&k, 0, sizeof k);
    k.lKamokuCode = code;
    k.ulZokusei = attr;
    return k;
}

TEST(KamokuPositions, VisitsTheRecordsTheWholeListWalkVisitsInItsOrder)
{
    // Attribute codes of both groups of both kinds, and some of none.
    const DWORD attrs[] = {0x40884400, 0x20804000, 0x40882000, 0x40882004, 0x40844000, 0x40844080, 0x40440000,
                           0x40440080, 0x80881008, 0x20200040, 0x10000100, 0x50000200, 0x0};
    struct Kind {
        int (*classify)(DWORD);
        int none;
    };
    const Kind kinds[] = {{KanpuRules::HojinShiwakeRow, KanpuRules::HOJIN_NONE},
                          {KanpuRules::KojinGroup, KanpuRules::KOJIN_NONE}};
    std::mt19937 rng(71);
    size_t visited = 0;
    for (const Kind& kind : kinds) {
        for (int trial = 0; trial < 300; ++trial) {
            std::list<StKAMOKUINFO> list;
            const int n = static_cast<int>(rng() % 40);  // empty lists too
            const int codes = 1 + static_cast<int>(rng() % 12);  // few codes: repeats are common
            for (int i = 0; i < n; ++i)
                list.push_back(Record(static_cast<int32_t>(rng() % codes) - 2, attrs[rng() % std::size(attrs)]));
            KamokuPositions index;
            index.Build(list, kind.classify, kind.none);
            for (int e = 0; e < 50; ++e) {
                const int32_t kari = static_cast<int32_t>(rng() % (codes + 2)) - 2;
                const int32_t kashi = rng() % 4 == 0 ? kari : static_cast<int32_t>(rng() % (codes + 2)) - 2;
                std::vector<Visit> got;
                index.ForSides(kari, kashi, [&](size_t p, int c, bool credit) { got.emplace_back(p, c, credit); });
                const std::vector<Visit> want = WalkWholeList(list, kind.classify, kind.none, kari, kashi);
                ASSERT_EQ(got, want) << "trial " << trial << " entry " << kari << "/" << kashi;
                visited += got.size();
            }
        }
    }
    EXPECT_GT(visited, 10000u);  // the data did reach records, often
}

TEST(KamokuPositions, RebuildingForgetsTheOldList)
{
    std::list<StKAMOKUINFO> list = {Record(1, 0x40882000), Record(2, 0x40884400)};
    KamokuPositions index;
    index.Build(list, KanpuRules::HojinShiwakeRow, KanpuRules::HOJIN_NONE);
    list = {Record(2, 0x40844000)};
    index.Build(list, KanpuRules::HojinShiwakeRow, KanpuRules::HOJIN_NONE);
    std::vector<Visit> got;
    index.ForSides(1, 2, [&](size_t p, int c, bool credit) { got.emplace_back(p, c, credit); });
    EXPECT_EQ(got, (std::vector<Visit>{{0, KanpuRules::HOJIN_EIGYOGAI, true}}));
}

// The corporation's journal pass on random books equals the walk of its
// account list over the same entries.
class KamokuPositionsPassTest : public AggregationTest {};

TEST_F(KamokuPositionsPassTest, CorporationJournalPassEqualsTheWholeListWalk)
{
    std::mt19937 rng(2024);
    const DWORD attrs[] = {0x40884400, 0x20804000, 0x20400000, 0x40882000, 0x40882040, 0x40844000,
                           0x40440000, 0x40440080, 0x80881080, 0x10000100, 0x50000100};
    std::vector<long long> codes;
    for (int i = 0; i < 40; ++i) {
        codes.push_back(1000 + i);
        AddAccount(1000 + i, attrs[rng() % std::size(attrs)], 1, rng() % 9 == 0 ? 1 : 0);
    }
    const int taxCodes[] = {0, 1, 2, 3, 4, 7, 8, 21, 22, 23, 24, 26, 29, 30, 31, 32, 34, 37, 40, 43, 47};
    Exec("BEGIN");
    for (int i = 0; i < 2000; ++i) {
        Side dr{codes[rng() % codes.size()], 0, static_cast<long long>(rng() % 1000000) - 200000,
                static_cast<long long>(rng() % 10000), taxCodes[rng() % std::size(taxCodes)]};
        Side cr{rng() % 5 == 0 ? dr.account : codes[rng() % codes.size()], 0,
                static_cast<long long>(rng() % 1000000), static_cast<long long>(rng() % 10000),
                taxCodes[rng() % std::size(taxCodes)]};
        if (rng() % 13 == 0)
            cr.account = 99999;  // an account the list does not hold
        AddEntry(1 + static_cast<int>(rng() % 12), dr, cr);
    }
    Exec("COMMIT");

    for (bool zeikomi : {false, true}) {
        AccumBlock rows[4] = {};
        __int64 kotei = 0, kurinobe = 0;
        StDATAINFO data = Data();
        StSHOHIZEIINFO settings = Settings(zeikomi);
        ASSERT_EQ(dlg_->SumKanpuHojin(&rows[0], &rows[1], &rows[2], &rows[3], &kotei, &kurinobe, &data, &settings), 1);

        // The walk of the list the pass left behind, over every entry of the range.
        AccumBlock want[4] = {};
        ClRuleShiwake rule;
        rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
        rule.SetCurDataID(&data);
        rule.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
        ASSERT_EQ(rule.MoveReady(dlg_->m_findInfo, nullptr, nullptr, SWKCURSOR_FORWARD), SUITE_OK);
        StSWKTINFO e;
        size_t counted = 0;
        while (rule.MoveNext(&e) == SUITE_OK) {
            const long long kari = e.kari.llKingaku + (zeikomi ? e.kari.llZeigaku : 0);
            const long long kashi = e.kashi.llKingaku + (zeikomi ? e.kashi.llZeigaku : 0);
            for (const StKAMOKUINFO& k : dlg_->m_kamokuList) {
                const int row = KanpuRules::HojinShiwakeRow(k.ulZokusei);
                if (row == KanpuRules::HOJIN_NONE)
                    continue;
                if (k.lKamokuCode == e.kari.lKamokuCode && KanpuRules::IsKanpuZeiCode(e.kari.byZeiCode)) {
                    want[row].llAmount[1] += kari;
                    if (KanpuRules::IsMiteiYunyuZeiCode(e.kari.byZeiCode))
                        want[row].llAmount[2] += kari;
                    ++counted;
                }
                if (k.lKamokuCode == e.kashi.lKamokuCode && KanpuRules::IsKanpuZeiCode(e.kashi.byZeiCode)) {
                    want[row].llAmount[1] -= kashi;
                    if (KanpuRules::IsMiteiYunyuZeiCode(e.kashi.byZeiCode))
                        want[row].llAmount[2] -= kashi;
                    ++counted;
                }
            }
        }
        EXPECT_GT(counted, 1000u);
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(rows[r].llAmount[1], want[r].llAmount[1]) << "row " << r << " zeikomi " << zeikomi;
            EXPECT_EQ(rows[r].llAmount[2], want[r].llAmount[2]) << "row " << r << " zeikomi " << zeikomi;
        }
    }
}

} // namespace
} // namespace aggtest
