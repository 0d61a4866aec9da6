// The summation's placing of entry sides: every tax code, at every rate, in
// every invoice class and on both sides, lands in exactly the fields that
// TAXCODES.md names, and nowhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "suite/RuleStatus.h"
#include "suite/TaxCodeTable.h"
#include "suite/TaxSummation.h"

namespace {

struct Buffers {
    StTAXREPORTRATEINFO rates[15];
    StTAXREPORTBUSINESSTYPEINFO kinds[30];

    // The pre-fill the run makes before the summation.
    Buffers()
    {
        std::memset(rates, 0, sizeof rates);
        std::memset(kinds, 0, sizeof kinds);
        const int32_t r[5] = {1000, 800, 800, 500, 300};
        const uint8_t f[5] = {0, 1, 0, 0, 0};
        for (int g = 0; g < 3; ++g)
            for (int i = 0; i < 5; ++i) {
                rates[g * 5 + i].lZeiRate = r[i];
                rates[g * 5 + i].byKeigen = f[i];
            }
        for (int i = 0; i < 5; ++i)
            for (int k = 1; k <= 6; ++k) {
                kinds[i * 6 + k - 1].lZeiRate = r[i];
                kinds[i * 6 + k - 1].byKeigen = f[i];
                kinds[i * 6 + k - 1].byJigyoKubun = static_cast<uint8_t>(k);
            }
    }
};

enum Part { N, Z, K, Y };  // amount, tax, amount + tax, 5 % of the amount
struct Feed {
    int offset;
    Part part;
};

// The documented table: the rate-record fields of each code.
const std::map<int, std::vector<Feed>> kFields = {
    {1, {{109, N}, {117, Z}, {125, K}}},   {2, {{133, N}, {141, Z}, {149, K}}},
    {3, {{157, N}, {165, Z}, {173, K}}},   {4, {{261, N}, {269, Z}, {277, K}}},
    {5, {{285, N}, {293, Z}, {301, K}}},   {6, {{309, N}, {317, Z}, {325, K}}},
    {7, {{405, N}, {413, Z}, {421, K}}},   {8, {{429, N}, {437, Z}, {445, K}}},
    {21, {{13, N}, {21, Z}, {29, K}}},     {22, {{69, N}, {77, Z}, {85, K}}},
    {23, {{45, N}}},                       {25, {{101, N}}},
    {26, {{37, Y}}},                       {27, {{53, N}}},
    {28, {{93, N}}},                       {29, {{61, N}}},
    {40, {{181, N}, {189, Z}, {197, K}}},  {41, {{205, N}, {213, Z}, {221, K}}},
    {42, {{229, N}, {237, Z}, {245, K}}},  {43, {{481, Z}}},
    {44, {{333, N}, {341, Z}, {349, K}}},  {45, {{357, N}, {365, Z}, {373, K}}},
    {46, {{381, N}, {389, Z}, {397, K}}},  {47, {{489, Z}}},
};
// Codes whose sides are natural on the debit side (the others on the credit side).
const std::vector<int> kDebitCodes = {1, 2, 3, 7, 22, 25, 28, 40, 41, 42, 43};
// Codes that also go to group 2 or 3 by the invoice class.
const std::vector<int> kInvoiceCodes = {1, 2, 3, 4, 5, 6};

bool Contains(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

struct Rate {
    int32_t rate;
    uint8_t reduced;
    int index;
};
const Rate kRates[] = {{1000, 0, 0}, {800, 1, 1}, {800, 0, 2}, {500, 0, 3}, {300, 0, 4}};

TEST(TaxSummationTest, EveryCodeFeedsExactlyItsFields)
{
    const int64_t amount = 1234560;  // 123.456 yen
    const int64_t tax = 98765;
    for (size_t c = 0; c < TaxCodeTable::Count(); ++c) {
        int code = TaxCodeTable::Begin()[c].code;
        for (const Rate& r : kRates)
            for (int invoice = 0; invoice <= 2; ++invoice)
                for (int business = 0; business <= 6; business += 3)
                    for (int sideNo = 1; sideNo <= 2; ++sideNo) {
                        SCOPED_TRACE(::testing::Message() << "code " << code << " rate " << r.rate << "/" << int(r.reduced)
                                                          << " invoice " << invoice << " business " << business << " side " << sideNo);
                        Buffers b, expected;
                        StSWKTSIDE side;
                        std::memset(&side, 0, sizeof side);
                        side.lKamokuCode = 1;
                        side.llKingaku = amount;
                        side.llZeigaku = tax;
                        side.byZeiCode = static_cast<uint8_t>(code);
                        side.lZeiRate = r.rate;
                        side.byKeigen = r.reduced;
                        side.byInvoice = static_cast<uint8_t>(invoice);
                        side.byJigyoKubun = static_cast<uint8_t>(business);
                        TaxSummation sum(b.rates, b.kinds, 0);
                        sum.Begin();
                        sum.AddSide(side, sideNo);
                        ASSERT_EQ(sum.Finish(), RULE_OK);

                        int natural = Contains(kDebitCodes, code) ? 1 : 2;
                        int64_t sign = sideNo == natural ? 1 : -1;
                        auto value = [&](Part p) {
                            switch (p) {
                            case N: return sign * amount;
                            case Z: return sign * tax;
                            case K: return sign * (amount + tax);
                            case Y: return sign * amount / 20;
                            }
                            return int64_t{0};
                        };
                        auto put = [&](void* rec, int offset, int64_t v) {
                            std::memcpy(static_cast<char*>(rec) + offset, &v, sizeof v);
                        };
                        auto it = kFields.find(code);
                        if (it != kFields.end()) {
                            for (const Feed& f : it->second) {
                                put(&expected.rates[r.index], f.offset, value(f.part));
                                if (Contains(kInvoiceCodes, code) && invoice != 0)
                                    put(&expected.rates[invoice * 5 + r.index], f.offset, value(f.part));
                            }
                            if ((code == 21 || code == 22) && business != 0) {
                                StTAXREPORTBUSINESSTYPEINFO& k = expected.kinds[r.index * 6 + business - 1];
                                int base = code == 21 ? 8 : 32;
                                put(&k, base, value(K));
                                put(&k, base + 8, value(Z));
                                put(&k, base + 16, value(N));
                            }
                        }
                        EXPECT_EQ(std::memcmp(b.rates, expected.rates, sizeof b.rates), 0);
                        EXPECT_EQ(std::memcmp(b.kinds, expected.kinds, sizeof b.kinds), 0);
                    }
    }
}

TEST(TaxSummationTest, UndeterminedImportsAndOutsideCodesAddNowhere)
{
    for (int code : {0, 24, 30, 31, 32, 33, 34, 35, 36, 37}) {
        Buffers b, untouched;
        StSWKTSIDE side;
        std::memset(&side, 0, sizeof side);
        side.llKingaku = 5000000;
        side.llZeigaku = 500000;
        side.byZeiCode = static_cast<uint8_t>(code);
        side.lZeiRate = 1000;
        side.byInvoice = 1;
        TaxSummation sum(b.rates, b.kinds, 1000);
        sum.Begin();
        sum.AddSide(side, 1);
        sum.AddSide(side, 2);
        EXPECT_EQ(sum.Finish(), RULE_OK);
        EXPECT_EQ(std::memcmp(&b, &untouched, sizeof b), 0) << code;
    }
}

TEST(TaxSummationTest, SidesWithoutRateTakeTheSubstituteRate)
{
    StSWKTSIDE side;
    std::memset(&side, 0, sizeof side);
    side.llKingaku = 100000;
    side.byZeiCode = 23;  // exempt sale, stored without a rate
    struct { int32_t subst; int index; } cases[] = {{800, 2}, {500, 3}, {1000, 0}, {0, 0}};
    for (auto c : cases) {
        Buffers b;
        TaxSummation sum(b.rates, b.kinds, c.subst);
        sum.Begin();
        sum.AddSide(side, 2);
        sum.AddSide(side, 2);
        EXPECT_EQ(sum.Finish(), RULE_OK);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(+b.rates[i].llMenzeiUriage, i == c.index ? 200000 : 0) << c.subst;
    }
    // A stored rate wins over the substitute.
    Buffers b;
    side.lZeiRate = 300;
    TaxSummation sum(b.rates, b.kinds, 1000);
    sum.Begin();
    sum.AddSide(side, 2);
    sum.Finish();
    EXPECT_EQ(+b.rates[4].llMenzeiUriage, 100000);
    EXPECT_EQ(+b.rates[0].llMenzeiUriage, 0);
}

TEST(TaxSummationTest, SecuritiesShareIsFormedFromTheWholeSum)
{
    Buffers b;
    StSWKTSIDE side;
    std::memset(&side, 0, sizeof side);
    side.byZeiCode = 26;
    side.lZeiRate = 1000;
    TaxSummation sum(b.rates, b.kinds, 0);
    sum.Begin();
    // Three sales of 0.0007 yen: one by one each share rounds to 0, together
    // 0.0021 yen gives 0.000105, which rounds to 0.0001 yen.
    side.llKingaku = 7;
    for (int i = 0; i < 3; ++i)
        sum.AddSide(side, 2);
    sum.Finish();
    EXPECT_EQ(+b.rates[0].llHikazeiUriageYuka, 1);
    // A debit side (a correction) larger than the sales gives a negative share,
    // rounded away from zero: -246,913.5780 yen of sales -> -12,345.6789 yen.
    sum.Begin();
    side.llKingaku = 2469135780;
    sum.AddSide(side, 1);
    sum.Finish();
    EXPECT_EQ(+b.rates[0].llHikazeiUriageYuka, -123456789);
}

// The share of a sum that sits exactly on a half unit goes away from zero,
// for sales and for a net correction alike; just below the half it does not.
TEST(TaxSummationTest, SecuritiesShareRoundsAnExactHalfAwayFromZero)
{
    Buffers b;
    StSWKTSIDE side;
    std::memset(&side, 0, sizeof side);
    side.byZeiCode = 26;
    side.lZeiRate = 300;
    TaxSummation sum(b.rates, b.kinds, 0);
    const struct {
        int64_t amount;
        int natural;  // 2: a sale, 1: a correction
        int64_t share;
    } cases[] = {
        {10, 2, 1},               // 0.5 raw units
        {30, 2, 2},               // 1.5
        {9, 2, 0},                // 0.45
        {123456790, 2, 6172840},  // 6,172,839.5
        {10, 1, -1},              // -0.5
        {50, 1, -3},              // -2.5
        {49, 1, -2},              // -2.45
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.amount << " on side " << c.natural);
        sum.Begin();
        side.llKingaku = c.amount;
        sum.AddSide(side, c.natural);
        sum.Finish();
        EXPECT_EQ(+b.rates[4].llHikazeiUriageYuka, c.share);
    }
}

TEST(TaxSummationTest, BeginClearsAmountsButKeepsThePreFill)
{
    Buffers b;
    for (auto& r : b.rates)
        r.llKazeiUriageNuki = 77;
    b.kinds[7].llUriageKomi = 99;
    TaxSummation sum(b.rates, b.kinds, 0);
    sum.Begin();
    EXPECT_EQ(sum.Finish(), RULE_OK);
    Buffers fresh;
    EXPECT_EQ(std::memcmp(&b, &fresh, sizeof b), 0);
}

TEST(TaxSummationTest, ProblemsAreReportedAndTheRestIsSummed)
{
    Buffers b;
    b.rates[3].lZeiRate = 0;  // no record for 5 %
    StSWKTSIDE side;
    std::memset(&side, 0, sizeof side);
    side.byZeiCode = 21;
    side.llKingaku = 100;
    side.lZeiRate = 500;
    TaxSummation sum(b.rates, b.kinds, 0);
    sum.Begin();
    sum.AddSide(side, 2);
    side.lZeiRate = 1000;
    sum.AddSide(side, 2);
    EXPECT_EQ(sum.Finish(), RULE_ERR_NORECORD);
    EXPECT_EQ(+b.rates[0].llKazeiUriageNuki, 100);

    Buffers o;
    TaxSummation big(o.rates, o.kinds, 0);
    big.Begin();
    side.llKingaku = INT64_MAX;
    big.AddSide(side, 2);
    big.AddSide(side, 2);
    EXPECT_EQ(big.Finish(), RULE_ERR_OVERFLOW);
    EXPECT_EQ(+o.rates[0].llKazeiUriageNuki, INT64_MAX);
}

} // namespace

#include <fstream>
#include <regex>

namespace {

// The document and the code carry the same table.
TEST(TaxCodeTableTest, DocumentMatchesTheTable)
{
    std::ifstream in(std::string(ZK_SOURCE_DIR) + "/platform/suite/TAXCODES.md");
    ASSERT_TRUE(in.good());
    std::regex row(R"(^\| (\d+) \| ([^|]+) \| (debit|credit|-) \|)");
    std::string line;
    size_t rows = 0;
    while (std::getline(in, line)) {
        std::smatch m;
        if (!std::regex_search(line, m, row))
            continue;
        ++rows;
        const TaxCodeRule* rule = TaxCodeTable::Find(std::stoi(m[1]));
        ASSERT_NE(rule, nullptr) << line;
        EXPECT_EQ(m[2].str(), std::string(rule->meaning)) << line;
        const char* side = rule->naturalSide == 1 ? "debit" : rule->naturalSide == 2 ? "credit" : "-";
        EXPECT_EQ(m[3].str(), side) << line;
    }
    EXPECT_EQ(rows, TaxCodeTable::Count());
}

} // namespace
