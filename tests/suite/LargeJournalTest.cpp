// Benchmark-style test: a journal of 1,000,000 entries is walked and summed
// while the store's memory stays bounded, far below what the entries would
// take if they were loaded (1,000,000 x 604 bytes).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <ctime>

#include "RuleFixture.h"
#include "suite/ClRuleShiwake.h"
#include "suite/ClRuleShohizeiShinkoku.h"
#include "suite/RuleStatus.h"

namespace ruletest {
namespace {

constexpr long long kEntries = 1000000;
constexpr long long kBound = 16LL * 1024 * 1024;  // the page cache and statements, with room to spare

// Resident memory of the process, in bytes.
long long ResidentBytes()
{
    long long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4096;
}

class LargeJournalTest : public RuleStoreTest {};

TEST_F(LargeJournalTest, WalkAndSummationRunInBoundedMemory)
{
    // (<chrono> does not compile under the code page 932 execution character set.)
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(kEntries) + ")"
         " INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code, dr_rate,"
         " cr_account, cr_amount, cr_tax, cr_tax_code, cr_rate)"
         " SELECT 1, 20230401 + (i % 28), 1 + (i % 12), 100, i, 1, 1, 1000, 200, i, 1, 21, 1000 FROM n");
    if (sqlite3_memory_used() == 0)
        GTEST_SKIP() << "this SQLite keeps no memory statistics";

    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 12, false, true);
    ClRuleShiwake rule;
    SetUpRule(rule);
    int32_t count = 0;
    ASSERT_EQ(rule.GetSwkCount(c, nullptr, &count), SUITE_OK);
    ASSERT_EQ(count, kEntries);

    ASSERT_EQ(rule.MoveReady(c, nullptr, nullptr, SWKCURSOR_FORWARD), SUITE_OK);
    StSWKTINFO e;
    long long seen = 0, sum = 0, base = 0, rss = 0;
    long status;
    int lastDate = 0;
    bool ordered = true;
    while ((status = rule.MoveNext(&e)) == SUITE_OK) {
        if (++seen == 1000) {
            base = sqlite3_memory_used();
            rss = ResidentBytes();
            sqlite3_int64 cur, high;
            sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &cur, &high, 1);  // reset the high-water mark
        }
        ordered = ordered && e.lDate >= lastDate;
        lastDate = e.lDate;
        sum += e.kari.llKingaku;
    }
    EXPECT_EQ(status, SUITE_EOD);
    EXPECT_TRUE(ordered);
    EXPECT_EQ(seen, kEntries);
    EXPECT_EQ(sum, kEntries * (kEntries + 1) / 2);
    sqlite3_int64 cur = 0, high = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &cur, &high, 1);
    EXPECT_LT(high - base, kBound) << "the walk grew the store's memory by " << (high - base) << " bytes";
    EXPECT_LT(ResidentBytes() - rss, kBound) << "the walk grew the process by " << (ResidentBytes() - rss) << " bytes";
    std::printf("[ memory   ] walk: store high-water +%lld bytes, resident +%lld bytes\n",
                static_cast<long long>(high - base), ResidentBytes() - rss);
    rule.MoveFinish();

    ClRuleShohizeiShinkoku tax;
    SetUpRule(tax);
    StTAXREPORTRATEINFO rates[15];
    StTAXREPORTBUSINESSTYPEINFO kinds[30];
    std::memset(rates, 0, sizeof rates);
    std::memset(kinds, 0, sizeof kinds);
    for (int g = 0; g < 3; ++g)
        rates[g * 5].lZeiRate = 1000;
    base = sqlite3_memory_used();
    rss = ResidentBytes();
    ASSERT_EQ(tax.SumTax(2, c, rates, kinds, 0, 0, 0), SUITE_OK);
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &cur, &high, 1);
    EXPECT_LT(high - base, kBound);
    EXPECT_LT(ResidentBytes() - rss, kBound);
    std::printf("[ memory   ] summation: store high-water +%lld bytes, resident +%lld bytes\n",
                static_cast<long long>(high - base), ResidentBytes() - rss);
    EXPECT_EQ(+rates[0].llKazeiUriageNuki, kEntries * (kEntries + 1) / 2);
    EXPECT_EQ(+rates[0].llShiireKazeiZei, kEntries);

    clock_gettime(CLOCK_MONOTONIC, &t1);
    double seconds = static_cast<double>(t1.tv_sec - t0.tv_sec) + (t1.tv_nsec - t0.tv_nsec) / 1e9;
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("[ time     ] %lld entries inserted, counted, walked and summed in %.1f s\n", kEntries, seconds);
}

} // namespace
} // namespace ruletest
