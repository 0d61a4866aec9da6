// The account and department sets, reached through the managers as the
// program reaches them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <vector>

#include "RuleFixture.h"
#include "suite/ClDataMgr.h"
#include "suite/ClSetBumon.h"
#include "suite/ClSetKamoku.h"
#include "suite/ClSetMgr.h"

namespace ruletest {
namespace {

class ClSetKamokuBumonTest : public RuleStoreTest {
protected:
    static ClSetKamoku* Kamoku()
    {
        auto* set = dynamic_cast<ClSetKamoku*>(ClDataMgr::Inst()->GetSetObject(1, 1));
        EXPECT_NE(set, nullptr);
        EXPECT_EQ(set->SetCurDataID(&kData1), SUITE_OK);
        return set;
    }
    static ClSetBumon* Bumon()
    {
        auto* set = dynamic_cast<ClSetBumon*>(ClDataMgr::Inst()->GetSetMgr()->GetSetObject(2, 1));
        EXPECT_NE(set, nullptr);
        EXPECT_EQ(set->SetCurDataID(&kData1), SUITE_OK);
        return set;
    }
};

TEST_F(ClSetKamokuBumonTest, WalkFindSelectsByAttributeCodeInCodeOrder)
{
    AddAccount(1, 5100, 0x80881080u, 1, 0, 0, 0, 0, "仕入高");
    AddAccount(1, 6100, 0x40882000u, 1, 1);  // excluded byte set: delivered, the caller skips it
    AddAccount(1, 1100, 0x40882000u);
    AddAccount(1, 1200, 0x11111111u);
    AddAccount(2, 1000, 0x40882000u);
    StFINDINFO c[2] = {Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, static_cast<int32_t>(0x80881080u), FINDCON_OR),
                       Term(FINDITEM_ZOKUSEI, 0, FINDCMP_EQ, FINDVAL_ZOKUSEI, 0x40882000, FINDCON_END)};
    ClSetKamoku* set = Kamoku();
    SUITECURSOR cur = nullptr;
    ASSERT_EQ(set->GetCursor(&cur), SUITE_OK);
    ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
    std::vector<int32_t> codes;
    StKAMOKUINFO k;
    long status;
    while ((status = set->WalkFind(c, &k, cur)) == SUITE_OK) {
        codes.push_back(k.lKamokuCode);
        if (k.lKamokuCode == 5100) {
            EXPECT_STREQ(k.szName, "仕入高");
            EXPECT_EQ(+k.ulZokusei, 0x80881080u);
        }
        EXPECT_EQ(+k.byExclude, k.lKamokuCode == 6100 ? 1 : 0);
    }
    EXPECT_EQ(status, SUITE_EOD);
    EXPECT_EQ(codes, (std::vector<int32_t>{1100, 5100, 6100}));
    EXPECT_EQ(set->WalkFind(c, &k, cur), SUITE_ERR_CURSOR);  // over until readied again
    ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
    EXPECT_EQ(set->WalkFind(nullptr, &k, cur), SUITE_OK);    // null condition: all four
    EXPECT_EQ(+k.lKamokuCode, 1100);
    EXPECT_EQ(set->ReleaseCursor(cur), SUITE_OK);
    EXPECT_EQ(set->ReleaseCursor(cur), SUITE_ERR_CURSOR);
    EXPECT_EQ(set->WalkFind(c, &k, cur), SUITE_ERR_CURSOR);
}

TEST_F(ClSetKamokuBumonTest, DepartmentsCountWalkAndLookUp)
{
    AddDept(1, 20, 1, 0, 8, "本店");
    AddDept(1, 10, 0, 0, 1);
    AddDept(1, 30, 2, 5, 3);
    AddDept(2, 40, 0, 0, 1);
    ClSetBumon* set = Bumon();
    int32_t n = 0;
    ASSERT_EQ(set->GetBmnCount(&n, 0), SUITE_OK);
    EXPECT_EQ(n, 3);
    SUITECURSOR cur = nullptr;
    ASSERT_EQ(set->GetCursor(&cur), SUITE_OK);
    ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
    StBUMONINFO d;
    std::vector<int32_t> codes;
    while (set->Walk(&d, cur) == SUITE_OK)
        codes.push_back(d.lBumonCode);
    EXPECT_EQ(codes, (std::vector<int32_t>{10, 20, 30}));
    ASSERT_EQ(set->GetInfoByCode(30, &d), SUITE_OK);
    EXPECT_EQ(+d.byKind, 2);
    EXPECT_EQ(+d.lLink, 5);
    EXPECT_EQ(+d.byCategory, 3);
    ASSERT_EQ(set->GetInfoByCode(20, &d), SUITE_OK);
    EXPECT_STREQ(d.szName, "本店");
    // No such department: an all-zero record (kind 0, category 0).
    std::memset(&d, 0x5A, sizeof d);
    EXPECT_EQ(set->GetInfoByCode(40, &d), SUITE_ERR_NODATA);
    StBUMONINFO zero;
    std::memset(&zero, 0, sizeof zero);
    EXPECT_EQ(std::memcmp(&d, &zero, sizeof d), 0);
    EXPECT_EQ(set->ReleaseCursor(cur), SUITE_OK);
}

// Look-ups are answered from the departments read once, and follow every
// change of the store, this connection's and another's; readying the cursor
// between them (as the journal pass does) neither disturbs them nor a walk.
TEST_F(ClSetKamokuBumonTest, LookUpsFollowChangesAndLeaveTheWalkAlone)
{
    AddDept(1, 10, 0, 0, 1);
    AddDept(1, 20, 1, 0, 8);
    ClSetBumon* set = Bumon();
    SUITECURSOR cur = nullptr;
    ASSERT_EQ(set->GetCursor(&cur), SUITE_OK);
    StBUMONINFO d;
    EXPECT_EQ(set->Walk(&d, cur), SUITE_ERR_CURSOR);  // not readied
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
        ASSERT_EQ(set->GetInfoByCode(20, &d), SUITE_OK);
        EXPECT_EQ(+d.byCategory, 8);
    }

    Exec("UPDATE departments SET category = 3 WHERE code = 20");
    ASSERT_EQ(set->GetInfoByCode(20, &d), SUITE_OK);
    EXPECT_EQ(+d.byCategory, 3);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ + "/suite.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "INSERT INTO departments (data_no, code, kind, category) VALUES (1, 15, 2, 1)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    ASSERT_EQ(set->GetInfoByCode(15, &d), SUITE_OK);
    EXPECT_EQ(+d.byKind, 2);

    // Another dataset's departments are not this one's.
    AddDept(2, 40, 0, 0, 1);
    EXPECT_EQ(set->GetInfoByCode(40, &d), SUITE_ERR_NODATA);
    ASSERT_EQ(set->SetCurDataID(&kData2), SUITE_OK);
    EXPECT_EQ(set->GetInfoByCode(40, &d), SUITE_OK);
    EXPECT_EQ(set->GetInfoByCode(20, &d), SUITE_ERR_NODATA);
    ASSERT_EQ(set->SetCurDataID(&kData1), SUITE_OK);

    // A walk with look-ups between its steps.
    ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
    std::vector<int32_t> codes;
    while (set->Walk(&d, cur) == SUITE_OK) {
        codes.push_back(d.lBumonCode);
        StBUMONINFO other10;
        ASSERT_EQ(set->GetInfoByCode(10, &other10), SUITE_OK);
    }
    EXPECT_EQ(codes, (std::vector<int32_t>{10, 15, 20}));
    EXPECT_EQ(set->Walk(&d, cur), SUITE_ERR_CURSOR);  // over until readied again
    ASSERT_EQ(set->ReadyCursor(cur), SUITE_OK);
    ASSERT_EQ(set->Walk(&d, cur), SUITE_OK);
    EXPECT_EQ(d.lBumonCode, 10);
    EXPECT_EQ(set->ReleaseCursor(cur), SUITE_OK);
}

TEST_F(ClSetKamokuBumonTest, NamesAreCutBeforeADoubleByteCharacterThatDoesNotFit)
{
    // 28 two-byte characters are 56 bytes: the 56-byte field holds 27 and the NUL.
    std::string name;
    for (int i = 0; i < 28; ++i)
        name += "部";
    AddDept(1, 1, 0, 0, 1, name);
    StBUMONINFO d;
    ASSERT_EQ(Bumon()->GetInfoByCode(1, &d), SUITE_OK);
    EXPECT_EQ(std::string(d.szName), name.substr(0, 54));
}

} // namespace
} // namespace ruletest
