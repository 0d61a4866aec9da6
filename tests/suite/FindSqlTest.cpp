// The condition translator, checked by what the translated conditions select
// from a small table, for every condition shape the program builds.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "suite/FindSql.h"
#include "suite/RuleStatus.h"
#include "tests/support/FindTerms.h"

namespace {

using findtest::MonthRange;
using findtest::Nest;
using findtest::Term;

class FindSqlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        Exec("CREATE TABLE journal (id INTEGER PRIMARY KEY, month_kind INTEGER, dr_tax_code INTEGER, cr_tax_code INTEGER);"
             "CREATE TABLE accounts (id INTEGER PRIMARY KEY, attr INTEGER);"
             "CREATE TABLE fixed_assets (id INTEGER PRIMARY KEY, acq_date INTEGER);");
    }
    void TearDown() override { sqlite3_close(db_); }

    void Exec(const std::string& sql) { ASSERT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql; }

    // The ids of `table` that the condition selects.
    std::set<long long> Select(const char* table, const StFINDINFO* cond, FindTarget target)
    {
        std::string where;
        std::vector<long long> params;
        EXPECT_EQ(FindSql::Translate(cond, target, where, params), RULE_OK);
        std::string sql = std::string("SELECT id FROM ") + table + " WHERE " + where;
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
        for (size_t i = 0; i < params.size(); ++i)
            sqlite3_bind_int64(stmt, static_cast<int>(i + 1), params[i]);
        std::set<long long> ids;
        while (sqlite3_step(stmt) == SQLITE_ROW)
            ids.insert(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        return ids;
    }

    // One entry per month kind (id = month kind), all with tax code 0.
    void MonthEntries()
    {
        for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 18})
            Exec("INSERT INTO journal VALUES (" + std::to_string(k) + "," + std::to_string(k) + ",0,0)");
    }

    sqlite3* db_ = nullptr;
};

std::set<long long> Range(int from, int to, std::initializer_list<int> extra = {})
{
    std::set<long long> s;
    for (int k = from; k <= to; ++k)
        s.insert(k);
    s.insert(extra.begin(), extra.end());
    return s;
}

TEST_F(FindSqlTest, MonthRangeShapes)
{
    MonthEntries();
    StFINDINFO c[FINDINFO_RUN_TERMS];
    MonthRange(c, 1, 12, false, false);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(1, 12));
    MonthRange(c, 10, 12, false, true);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(10, 12, {18}));
    MonthRange(c, 1, 6, true, false);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(1, 6, {15}));
    MonthRange(c, 1, 6, true, true);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(1, 6, {15, 18}));
    MonthRange(c, 3, 5, false, false);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(3, 5));
    // A 32-bit month value selects the same as the 16-bit form.
    c[0] = Term(FINDITEM_MONTHKIND, 0, FINDCMP_GE, FINDVAL_LONG, 3, FINDCON_AND);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), Range(3, 5));
    // No condition: everything.
    EXPECT_EQ(Select("journal", nullptr, FindTarget::Journal).size(), 14u);
}

TEST_F(FindSqlTest, UndeterminedImportConditionNestsTheMonthRange)
{
    // id: month, debit code, credit code
    Exec("INSERT INTO journal VALUES (1,1,31,0),(2,1,0,31),(3,1,30,38),(4,1,38,30),(5,1,37,0),(6,1,34,34),"
         "(7,18,31,0),(8,2,0,35)");
    StFINDINFO month[FINDINFO_RUN_TERMS];
    MonthRange(month, 1, 1, false, true);
    StFINDINFO dr[2] = {Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND),
                        Term(FINDITEM_ZEICODE, FINDSIDE_KARI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END)};
    StFINDINFO cr[2] = {Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_GE, FINDVAL_LONG, 31, FINDCON_AND),
                        Term(FINDITEM_ZEICODE, FINDSIDE_KASHI, FINDCMP_LE, FINDVAL_LONG, 37, FINDCON_END)};
    StFINDINFO sides[2] = {Nest(dr, FINDCON_OR), Nest(cr, FINDCON_END)};
    StFINDINFO outer[2] = {Nest(sides, FINDCON_AND), Nest(month, FINDCON_END)};
    EXPECT_EQ(Select("journal", outer, FindTarget::Journal), (std::set<long long>{1, 2, 5, 6, 7}));
}

TEST_F(FindSqlTest, RefundPassConditionTakesCodesUpTo20And24And30Up)
{
    // One entry per code on the debit side (id = code + 100) and one per code on
    // the credit side (id = code + 200), all in month 4.
    for (int code = 0; code <= 47; ++code) {
        Exec("INSERT INTO journal VALUES (" + std::to_string(code + 100) + ",4," + std::to_string(code) + ",22)");
        Exec("INSERT INTO journal VALUES (" + std::to_string(code + 200) + ",4,22," + std::to_string(code) + ")");
    }
    Exec("INSERT INTO journal VALUES (999,5,1,1)");  // outside the month range
    StFINDINFO month[FINDINFO_RUN_TERMS];
    MonthRange(month, 4, 4, false, false);
    auto sideTerms = [](int side, StFINDINFO (&t)[3]) {
        t[0] = Term(FINDITEM_ZEICODE, side, FINDCMP_LT, FINDVAL_LONG, 21, FINDCON_OR);
        t[1] = Term(FINDITEM_ZEICODE, side, FINDCMP_EQ, FINDVAL_LONG, 24, FINDCON_OR);
        t[2] = Term(FINDITEM_ZEICODE, side, FINDCMP_GE, FINDVAL_LONG, 30, FINDCON_END);
    };
    StFINDINFO dr[3], cr[3];
    sideTerms(FINDSIDE_KARI, dr);
    sideTerms(FINDSIDE_KASHI, cr);
    StFINDINFO sides[2] = {Nest(dr, FINDCON_OR), Nest(cr, FINDCON_END)};
    StFINDINFO outer[2] = {Nest(sides, FINDCON_AND), Nest(month, FINDCON_END)};
    std::set<long long> expected;
    for (int code = 0; code <= 47; ++code)
        if (code <= 20 || code == 24 || code >= 30) {
            expected.insert(code + 100);
            expected.insert(code + 200);
        }
    EXPECT_EQ(Select("journal", outer, FindTarget::Journal), expected);
}

TEST_F(FindSqlTest, AttributeCodesCompareUnsigned)
{
    Exec("INSERT INTO accounts VALUES (1,2156400768),(2,1082672128),(3,541065216),(4,0)");  // 0x80881080, 0x40884400, 0x20400000
    StFINDINFO c[3] = {Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, static_cast<int32_t>(0x80881080u), FINDCON_OR),
                       Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, 0x40884400, FINDCON_OR),
                       Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, 0x20200000, FINDCON_END)};
    EXPECT_EQ(Select("accounts", c, FindTarget::Account), (std::set<long long>{1, 2}));
}

TEST_F(FindSqlTest, AssetDateRange)
{
    Exec("INSERT INTO fixed_assets VALUES (1,20230331),(2,20230401),(3,20231015),(4,20240331),(5,20240401)");
    StFINDINFO c[2] = {Term(FINDITEM_SHUTOKUDATE, 0, FINDCMP_GE, FINDVAL_LONG, 20230401, FINDCON_AND),
                       Term(FINDITEM_SHUTOKUDATE, 0, FINDCMP_LE, FINDVAL_LONG, 20240331, FINDCON_END)};
    EXPECT_EQ(Select("fixed_assets", c, FindTarget::Asset), (std::set<long long>{2, 3, 4}));
}

TEST_F(FindSqlTest, ConnectorsBindAndBeforeOr)
{
    MonthEntries();
    // kind = 1 OR kind >= 5 AND kind <= 6: 1, 5, 6 (not 1 to 6).
    StFINDINFO c[3] = {Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 1, FINDCON_OR),
                       Term(FINDITEM_MONTHKIND, 0, FINDCMP_GE, FINDVAL_SHORT, 5, FINDCON_AND),
                       Term(FINDITEM_MONTHKIND, 0, FINDCMP_LE, FINDVAL_SHORT, 6, FINDCON_END)};
    EXPECT_EQ(Select("journal", c, FindTarget::Journal), (std::set<long long>{1, 5, 6}));
    c[0].nCompare = FINDCMP_NE;  // kind <> 1 OR ...: all but 1
    c[2].nCompare = FINDCMP_GT;  // ... 5 <= kind AND kind > 6
    EXPECT_EQ(Select("journal", c, FindTarget::Journal).count(1), 0u);
    EXPECT_EQ(Select("journal", c, FindTarget::Journal).size(), 13u);
}

TEST_F(FindSqlTest, MalformedConditionsAreErrors)
{
    auto status = [](const StFINDINFO* c, FindTarget t) {
        std::string sql = "keep";
        std::vector<long long> params{7};
        long s = FindSql::Translate(c, t, sql, params);
        EXPECT_EQ(sql, s == RULE_OK ? sql : std::string("keep"));
        EXPECT_EQ(params.size(), s == RULE_OK ? params.size() : 1u);
        return s;
    };
    StFINDINFO t = Term(77, 0, FINDCMP_EQ, FINDVAL_LONG, 1, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Journal), RULE_ERR_CONDITION);  // unknown field
    t = Term(FINDITEM_MONTHKIND, 0, 9, FINDVAL_SHORT, 1, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Journal), RULE_ERR_CONDITION);  // unknown comparison
    t = Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, 7, 1, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Journal), RULE_ERR_CONDITION);  // unknown value type
    t = Term(FINDITEM_ZEICODE, 3, FINDCMP_EQ, FINDVAL_LONG, 1, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Journal), RULE_ERR_CONDITION);  // no such side
    t = Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 1, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Asset), RULE_ERR_CONDITION);    // field of another table
    t = Nest(nullptr, FINDCON_END);
    EXPECT_EQ(status(&t, FindTarget::Journal), RULE_ERR_CONDITION);  // nest without condition
    StFINDINFO two[2] = {Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 1, 3),
                         Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 2, FINDCON_END)};
    EXPECT_EQ(status(two, FindTarget::Journal), RULE_ERR_CONDITION); // unknown connector
    // A condition that nests itself ends at the depth limit instead of looping.
    StFINDINFO self = Nest(nullptr, FINDCON_END);
    self.pNest = &self;
    EXPECT_EQ(status(&self, FindTarget::Journal), RULE_ERR_CONDITION);
    // A run of terms that never ends stops at the term limit.
    std::vector<StFINDINFO> many(FindSql::kMaxTerms + 1,
                                 Term(FINDITEM_MONTHKIND, 0, FINDCMP_EQ, FINDVAL_SHORT, 1, FINDCON_OR));
    EXPECT_EQ(status(many.data(), FindTarget::Journal), RULE_ERR_CONDITION);
    many.back().nConnect = FINDCON_END;
    many.resize(FindSql::kMaxTerms);
    many.back().nConnect = FINDCON_END;
    EXPECT_EQ(status(many.data(), FindTarget::Journal), RULE_OK);
}

} // namespace
