#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SuiteTestHome.h"
#include "suite/ClAccPeriod.h"
#include "suite/ClDataMgr.h"
#include "suite/ClLinkMgr.h"
#include "suite/ClSaveTaxShiryo.h"
#include "suite/ClSetData.h"
#include "suite/ClSetMgr.h"
#include "suite/ClSetShohizei.h"
#include "suite/ClSysUser.h"
#include "suite/ClUtyDBHpr.h"
#include "suite/SuiteRecords.h"

namespace {

using suitetest::ConnectedSuite;

ClSetData* DataSet() { return static_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1)); }
ClSetShohizei* TaxSet() { return static_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(4, 1)); }

// The record of one dataset, found as the program finds it: by walking all
// records for the selection number.
bool FindBySelectNo(int32_t selectNo, StDATAINFO* out)
{
    ClSetData* set = DataSet();
    SUITECURSOR cursor = nullptr;
    EXPECT_EQ(set->GetDatCursor(&cursor), SUITE_OK);
    EXPECT_EQ(set->ReadyDat(cursor, 0), SUITE_OK);
    bool found = false;
    StDATAINFO rec;
    while (set->WalkDat(&rec, cursor) == SUITE_OK) {
        if (rec.nSelectNo == selectNo) {
            std::memcpy(out, &rec, SUITE_DATAINFO_SIZE);
            found = true;
            break;
        }
    }
    EXPECT_EQ(set->ReleaseDatCursor(cursor), SUITE_OK);
    return found;
}

class DataSide : public ConnectedSuite {};

TEST_F(DataSide, ManagersHandOutTheSameObjectsForEachKind)
{
    Connect(1);
    EXPECT_NE(dynamic_cast<ClSetData*>(ClDataMgr::Inst()->GetSetObject(5, 1)), nullptr);
    EXPECT_NE(dynamic_cast<ClSetShohizei*>(ClDataMgr::Inst()->GetSetObject(4, 1)), nullptr);
    EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(5, 1), ClDataMgr::Inst()->GetSetMgr()->GetSetObject(5, 1));
    EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(3, 1), nullptr);
    EXPECT_EQ(ClDataMgr::Inst()->GetSysUserObject(), ClDataMgr::Inst()->GetSysUserObject());
    EXPECT_NE(ClLinkMgr::Inst()->GetOptLink(), nullptr);
}

TEST_F(DataSide, WalkFindsTheSelectedRecordAndCopiesEveryByte)
{
    Connect(2);
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    char userId[SUITE_USERID_SIZE];
    std::memset(userId, 'x', sizeof userId);
    ASSERT_EQ(user->GetCurUserID(userId), SUITE_OK);
    EXPECT_STREQ(userId, "admin");
    long first = -1, second = -1;
    ASSERT_EQ(user->GetSelectedNo(userId, &first, &second), SUITE_OK);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(second, 2);

    StDATAINFO rec;
    std::memset(&rec, 0xCC, sizeof rec);
    ASSERT_TRUE(FindBySelectNo(static_cast<int32_t>(second), &rec));
    const unsigned char id[16] = {0x5A, 0x4B, 0x00, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x02};
    EXPECT_EQ(std::memcmp(rec.DataID, id, 16), 0);
    EXPECT_EQ(rec.nSelectNo, 2);
    EXPECT_STREQ(rec.szCompanyName, "有限会社ソ表工房");
    EXPECT_EQ(rec.lPeriodFrom, 20240101);
    EXPECT_EQ(rec.lPeriodTo, 20241231);
    EXPECT_EQ(rec.nHalfYearClosing, 1);
    EXPECT_EQ(rec.sPastDataCode, 0);
    EXPECT_EQ(rec.byOrgKind, 1);

    // Every byte without a field is zero: the walk fills the whole record.
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&rec);
    size_t nameEnd = 24 + std::strlen(rec.szCompanyName);
    for (size_t i = 0; i < SUITE_DATAINFO_SIZE; ++i) {
        bool named = i < 20 || (i >= 24 && i < nameEnd) || (i >= 284 && i < 292) || (i >= 304 && i < 308) ||
                     i == 326 || i == 327 || i == 344 || i == 947;
        if (!named) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
    }

    // The selected record is the same as the one the walk found.
    StDATAINFO* selected = DataSet()->GetSelectedInfo();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(std::memcmp(selected, &rec, SUITE_DATAINFO_SIZE), 0);
}

TEST_F(DataSide, WalkDeliversAllRecordsInOrderThenTheEndStatus)
{
    Connect(1);
    ClSetData* set = DataSet();
    size_t before = suite::SuiteCursor::OpenCount();
    SUITECURSOR cursor = nullptr;
    ASSERT_EQ(set->GetDatCursor(&cursor), SUITE_OK);
    StDATAINFO rec;
    EXPECT_EQ(set->WalkDat(&rec, cursor), SUITE_ERR_CURSOR);  // not readied
    EXPECT_EQ(set->ReadyDat(cursor, 1), SUITE_ERR_PARAM);
    ASSERT_EQ(set->ReadyDat(cursor, 0), SUITE_OK);
    int expected = 1;
    long rc;
    while ((rc = set->WalkDat(&rec, cursor)) == SUITE_OK) EXPECT_EQ(rec.nSelectNo, expected++);
    EXPECT_EQ(rc, SUITE_EOD);
    EXPECT_EQ(expected, 6);
    EXPECT_EQ(set->WalkDat(&rec, cursor), SUITE_ERR_CURSOR);
    // Readying again starts a new walk.
    ASSERT_EQ(set->ReadyDat(cursor, 0), SUITE_OK);
    ASSERT_EQ(set->WalkDat(&rec, cursor), SUITE_OK);
    EXPECT_EQ(rec.nSelectNo, 1);
    EXPECT_EQ(set->ReleaseDatCursor(cursor), SUITE_OK);
    EXPECT_EQ(set->ReleaseDatCursor(cursor), SUITE_ERR_CURSOR);
    EXPECT_EQ(set->WalkDat(&rec, cursor), SUITE_ERR_CURSOR);
    EXPECT_EQ(suite::SuiteCursor::OpenCount(), before);
}

TEST_F(DataSide, PastResultsAndIndividualFieldsReachTheRecord)
{
    Connect(1);
    StDATAINFO rec;
    ASSERT_TRUE(FindBySelectNo(5, &rec));
    EXPECT_EQ(rec.sPastDataCode, 99);
    ASSERT_TRUE(FindBySelectNo(3, &rec));
    EXPECT_EQ(rec.byOrgKind, 3);
    EXPECT_EQ(rec.byIncomeKinds, 3);
    EXPECT_FALSE(FindBySelectNo(42, &rec));
}

TEST_F(DataSide, LongCompanyNamesAreCutAtACharacterBoundary)
{
    Connect(1);
    std::string name;
    for (int i = 0; i < 200; ++i) name += "表";  // 400 bytes in code page 932
    suite::Statement st = suite::SuiteStore::Current()->Prepare("UPDATE datasets SET company_name = ?1 WHERE data_no = 1");
    st.BindText(1, "a" + name);
    ASSERT_EQ(st.Step(), SUITE_EOD);
    StDATAINFO* rec = DataSet()->GetSelectedInfo();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(std::strlen(rec->szCompanyName), 259u);
    st = suite::SuiteStore::Current()->Prepare("UPDATE datasets SET company_name = ?1 WHERE data_no = 1");
    st.BindText(1, name);
    ASSERT_EQ(st.Step(), SUITE_EOD);
    rec = DataSet()->GetSelectedInfo();
    EXPECT_EQ(std::strlen(rec->szCompanyName), 258u);  // a whole character more would not leave room for the NUL
}

TEST_F(DataSide, SettingsRoundTripByteForByte)
{
    Connect(1);
    ASSERT_EQ(suite::SuiteStore::Current()->Exec(
                  "UPDATE tax_settings SET taxation_kind = 1, rounding_mode = 2, deduction_method = 1, "
                  "main_business = 6, tax_included = 1, sum_option = 200, sum_value = -123456789, tax_rate_count = 7 "
                  "WHERE data_no = 2"),
              SUITE_OK);
    StDATAINFO rec;
    ASSERT_TRUE(FindBySelectNo(2, &rec));
    ClSetShohizei* set = TaxSet();
    ASSERT_EQ(set->AttachSetMgr(ClDataMgr::Inst()->GetSetMgr()), SUITE_OK);
    ASSERT_EQ(set->SetCurDataID(&rec), SUITE_OK);
    unsigned char info[SUITE_SHOHIZEIINFO_SIZE];
    std::memset(info, 0xEE, sizeof info);
    ASSERT_EQ(set->Get(reinterpret_cast<StSHOHIZEIINFO*>(info)), SUITE_OK);
    const unsigned char expected[SUITE_SHOHIZEIINFO_SIZE] = {1, 0, 2, 1, 6, 1, 0, 0, 0, 0, 0, 0,
                                                              200, 0, 0, 0, 0xEB, 0x32, 0xA4, 0xF8};
    EXPECT_EQ(std::memcmp(info, expected, sizeof info), 0);
    EXPECT_EQ(set->GetTaxRateCount(), 7);

    // Another dataset: the sample's own settings.
    ASSERT_TRUE(FindBySelectNo(4, &rec));
    ASSERT_EQ(set->SetCurDataID(&rec), SUITE_OK);
    StSHOHIZEIINFO exempt;
    ASSERT_EQ(set->Get(&exempt), SUITE_OK);
    EXPECT_EQ(exempt.byKazeiKubun, 0);
    EXPECT_EQ(exempt.byHasuMode, 1);
    EXPECT_EQ(set->GetTaxRateCount(), 5);
}

TEST_F(DataSide, MissingSettingsOrUnknownDatasetsLeaveTheRecordUntouched)
{
    Connect(1);
    ASSERT_EQ(suite::SuiteStore::Current()->Exec("DELETE FROM tax_settings WHERE data_no = 3"), SUITE_OK);
    StDATAINFO rec;
    ASSERT_TRUE(FindBySelectNo(3, &rec));
    ClSetShohizei* set = TaxSet();
    ASSERT_EQ(set->SetCurDataID(&rec), SUITE_OK);
    unsigned char info[SUITE_SHOHIZEIINFO_SIZE];
    std::memset(info, 0xAB, sizeof info);
    EXPECT_EQ(set->Get(reinterpret_cast<StSHOHIZEIINFO*>(info)), SUITE_ERR_NODATA);
    for (unsigned char b : info) ASSERT_EQ(b, 0xAB);
    EXPECT_EQ(set->GetTaxRateCount(), 0);

    rec.DataID[15] = 0x77;
    EXPECT_EQ(set->SetCurDataID(&rec), SUITE_ERR_NODATA);
    EXPECT_EQ(set->Get(reinterpret_cast<StSHOHIZEIINFO*>(info)), SUITE_ERR_NODATA);
    EXPECT_EQ(set->SetCurDataID(nullptr), SUITE_ERR_PARAM);
}

TEST_F(DataSide, MakeIDStrIsStableAndThirtyFourCharacters)
{
    Connect(4);
    StDATAINFO* rec = DataSet()->GetSelectedInfo();
    ASSERT_NE(rec, nullptr);
    char text[SUITE_IDSTR_SIZE];
    std::memset(text, 'z', sizeof text);
    ASSERT_EQ(ClUtyDBHpr::Inst()->MakeIDStr(rec, text), SUITE_OK);
    EXPECT_STREQ(text, "{5A4B0004000000000000000000000004}");
    EXPECT_EQ(std::strlen(text), 34u);
    char again[SUITE_IDSTR_SIZE];
    ClUtyDBHpr::Inst()->MakeIDStr(DataSet()->GetSelectedInfo(), again);
    EXPECT_STREQ(again, text);

    StDATAINFO other;
    ASSERT_TRUE(FindBySelectNo(1, &other));
    ClUtyDBHpr::Inst()->MakeIDStr(&other, again);
    EXPECT_STRNE(again, text);

    const unsigned char allBits[16] = {0xFF, 0x00, 0xA5, 0x5A, 0x01, 0x10, 0x80, 0x08,
                                       0xFE, 0xEF, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    ClUtyDBHpr::Inst()->MakeIDStr(allBits, again);
    EXPECT_STREQ(again, "{FF00A55A01108008FEEF123456789ABC}");
    EXPECT_EQ(ClUtyDBHpr::Inst()->MakeIDStr(nullptr, again), SUITE_ERR_PARAM);
    EXPECT_STREQ(again, "");
}

TEST_F(DataSide, UserSelectionBelongsToTheCurrentUserOnly)
{
    Connect(3);
    ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
    long first = -1, second = -1;
    EXPECT_EQ(user->GetSelectedNo("tanaka", &first, &second), SUITE_ERR_NOUSER);
    EXPECT_EQ(first, -1);
    EXPECT_EQ(second, -1);
    ASSERT_EQ(suite::SuiteStore::Current()->Exec("UPDATE selection SET user_id = 'tanaka', data_no = NULL"), SUITE_OK);
    char userId[SUITE_USERID_SIZE];
    ASSERT_EQ(user->GetCurUserID(userId), SUITE_OK);
    EXPECT_STREQ(userId, "tanaka");
    EXPECT_EQ(user->GetSelectedNo(userId, &first, &second), SUITE_OK);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(DataSet()->GetSelectedInfo(), nullptr);
}

TEST_F(DataSide, PeriodOfTheSetsDatasetCarriesItsClosingDay)
{
    Connect(1);
    ClSetData* set = DataSet();
    ClAccPeriod* period = nullptr;
    ASSERT_EQ(set->GetAccPeriod(&period), SUITE_OK);
    ASSERT_NE(period, nullptr);
    long from = 0, to = 0;
    EXPECT_EQ(period->GetPeriod(&from, &to), SUITE_OK);
    EXPECT_EQ(from, 20240401);
    EXPECT_EQ(to, 20250331);
    delete period;

    StDATAINFO rec;
    ASSERT_TRUE(FindBySelectNo(4, &rec));
    ASSERT_EQ(set->SetCurDataID(&rec), SUITE_OK);
    ASSERT_EQ(set->GetAccPeriod(&period), SUITE_OK);
    long month = 0;
    EXPECT_EQ(period->GetAMonthByDate(20240321, &month, 0), SUITE_OK);
    EXPECT_EQ(month, 4);
    EXPECT_EQ(period->GetPeriodByAMonth(3, &from, &to, 0), SUITE_OK);
    EXPECT_EQ(from, 20250221);
    EXPECT_EQ(to, 20250320);
    delete period;

    // A new connection starts with the selected dataset again.
    ClAccConnect::Inst()->Terminate();
    ASSERT_EQ(ClAccConnect::Inst()->Initiate(), SUITE_OK);
    ASSERT_EQ(set->GetAccPeriod(&period), SUITE_OK);
    EXPECT_EQ(period->GetPeriod(&from, &to), SUITE_OK);
    EXPECT_EQ(from, 20240401);
    delete period;
}

class SavedValues : public ConnectedSuite {
protected:
    long Load(int selectNo, unsigned char* buffer)
    {
        StDATAINFO rec;
        EXPECT_TRUE(FindBySelectNo(selectNo, &rec));
        ClSaveTaxShiryo reader;
        reader.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
        reader.SetCurDataID(&rec);
        reader.AttachOptLink(ClLinkMgr::Inst()->GetOptLink());
        reader.RefreshCache();
        return reader.GetTaxSaveInfo(buffer);
    }
};

TEST_F(SavedValues, LoadOnlyWhenStored)
{
    Connect(1);
    std::vector<unsigned char> buffer(SUITE_SAVETAXINFO_SIZE, 0x5A);
    EXPECT_EQ(Load(3, buffer.data()), SUITE_ERR_NOTSAVED);
    for (unsigned char b : buffer) ASSERT_EQ(b, 0x5A);
    EXPECT_EQ(Load(4, buffer.data()), SUITE_ERR_NOTSAVED);

    ASSERT_EQ(Load(1, buffer.data()), SUITE_OK);
    suite::Statement st = suite::SuiteStore::Current()->Prepare("SELECT info FROM saved_tax WHERE data_no = 1");
    ASSERT_EQ(st.Step(), SUITE_OK);
    std::vector<unsigned char> stored(SUITE_SAVETAXINFO_SIZE);
    st.Blob(0, stored.data(), stored.size());
    EXPECT_EQ(buffer, stored);
    const auto* info = reinterpret_cast<const StSaveTaxInfo*>(buffer.data());
    EXPECT_EQ(info->byKazeiKubun, 1);
    EXPECT_EQ(info->byKojoHoushiki, 1);
    EXPECT_EQ(int32_t{info->lPeriodFrom}, 20240401);  // a copy: the field is not aligned
    EXPECT_EQ(int32_t{info->lPeriodTo}, 20250331);
    EXPECT_EQ(info->byHalfYearClosing, 1);
    int64_t sales10 = 0;
    std::memcpy(&sales10, buffer.data() + 12611, 8);
    EXPECT_EQ(sales10, 1200000000000LL);

    ASSERT_EQ(Load(2, buffer.data()), SUITE_OK);
    EXPECT_EQ(info->byKazeiKubun, 2);
    EXPECT_EQ(info->byHalfYearClosing, 2);
}

TEST_F(SavedValues, ReaderWithoutDataIDReadsTheSelectedDatasetAndSeesNewValues)
{
    Connect(2);
    std::vector<unsigned char> buffer(SUITE_SAVETAXINFO_SIZE, 0);
    ClSaveTaxShiryo reader;
    ASSERT_EQ(reader.GetTaxSaveInfo(buffer.data()), SUITE_OK);
    EXPECT_EQ(buffer[3], 2);
    ASSERT_EQ(suite::SuiteStore::Current()->Exec("INSERT INTO saved_tax_fields VALUES (2, 3, 1, 1)"), SUITE_OK);
    ASSERT_EQ(reader.GetTaxSaveInfo(buffer.data()), SUITE_OK);
    EXPECT_EQ(buffer[3], 2);  // the cache until it is refreshed
    reader.RefreshCache();
    ASSERT_EQ(reader.GetTaxSaveInfo(buffer.data()), SUITE_OK);
    EXPECT_EQ(buffer[3], 1);
    EXPECT_EQ(reader.GetTaxSaveInfo(nullptr), SUITE_ERR_PARAM);
}

TEST(SavedValuesOffline, NoStoreMeansNothingLoaded)
{
    ClAccConnect::Inst()->Release();
    std::vector<unsigned char> buffer(SUITE_SAVETAXINFO_SIZE, 1);
    ClSaveTaxShiryo reader;
    EXPECT_EQ(reader.RefreshCache(), SUITE_ERR_NOSTORE);
    EXPECT_NE(reader.GetTaxSaveInfo(buffer.data()), SUITE_OK);
    EXPECT_EQ(buffer[0], 1);
}

}  // namespace
