// The dataset side of the application object over a suite home built from
// the sample datasets: the selected record, the settings, the header texts,
// months and dates, and the check of the saved tax-return values.
#include "app/ShohizeiLinkApp.h"

#include "suite/ClMsgMgr.h"
#include "suite/FindInfo.h"
#include "suite/SuiteRecords.h"
#include "tests/suite/SuiteTestHome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class AppData : public suitetest::ConnectedSuite {
protected:
    void Select(int dataNo)
    {
        Connect(dataNo);
        ASSERT_EQ(app.GetSelectedDataInfo(&info), 1);
    }
    std::string Header(short line) { return app.GetHeaderText(line, &info); }

    CShohizeiLinkApp app;
    StDATAINFO info{};
};

TEST_F(AppData, SelectedRecordAndSettings)
{
    Select(2);
    EXPECT_EQ(+info.nSelectNo, 2);
    EXPECT_STREQ(info.szCompanyName, "有限会社ソ表工房");
    EXPECT_EQ(+info.lPeriodFrom, 20240101);
    EXPECT_EQ(+info.nHalfYearClosing, 1);

    StSHOHIZEIINFO settings;
    std::memset(&settings, 0xAB, sizeof settings);
    ASSERT_EQ(app.GetShohizeiInfo(&settings, &info), 1);
    EXPECT_EQ(+settings.byKazeiKubun, 1);
    EXPECT_EQ(+settings.byJigyoKubun, 3);
    EXPECT_EQ(+settings.byZeikomi, 1);
    EXPECT_EQ(+settings.reserved1, 0);  // the record is copied whole, zeroed bytes included
}

TEST_F(AppData, NoRecordForTheSelectionGivesAZeroRecord)
{
    Connect(1);
    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->Exec("PRAGMA foreign_keys = OFF; UPDATE selection SET data_no = 42"), SUITE_OK);
    std::memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(app.GetSelectedDataInfo(&info), 0);
    const std::vector<unsigned char> zero(sizeof info, 0);
    EXPECT_EQ(std::memcmp(&info, zero.data(), sizeof info), 0);
}

TEST_F(AppData, SettingsRefusedLeaveTheOutputUntouched)
{
    Select(1);
    StDATAINFO unknown{};  // an ID the store does not know
    StSHOHIZEIINFO settings;
    std::memset(&settings, 0x77, sizeof settings);
    EXPECT_EQ(app.GetShohizeiInfo(&settings, &unknown), 0);
    EXPECT_EQ(+settings.byKazeiKubun, 0x77);
}

TEST_F(AppData, HeaderTextsUnderStandardTaxation)
{
    Select(1);
    EXPECT_EQ(Header(0), " 株式会社サンプル商事");
    EXPECT_EQ(Header(1), " 2024/04/01～2025/03/31");
    EXPECT_EQ(app.m_nKazeiKubun, 0);  // lines 0 and 1 read no settings
    EXPECT_EQ(Header(2), " 原則課税");
    EXPECT_EQ(app.m_nKazeiKubun, 2);
    EXPECT_EQ(app.m_nHasuMode, 1);
    EXPECT_EQ(Header(3), "課税仕入控除");
    EXPECT_EQ(Header(4), " 個別対応方式");
    EXPECT_EQ(Header(5), "");
    EXPECT_EQ(Header(-1), "");
}

TEST_F(AppData, HeaderTextsUnderSimplifiedTaxationAndExemption)
{
    Select(2);
    EXPECT_EQ(Header(1), " 2024/01/01～2024/12/31");
    app.m_nHasuMode = 9;
    EXPECT_EQ(Header(2), " 簡易課税");
    EXPECT_EQ(app.m_nHasuMode, 0);
    EXPECT_EQ(Header(3), "主となる事業分類");
    EXPECT_EQ(Header(4), " 第三種事業 製造業");
    TearDown();

    CShohizeiLinkApp exempt;
    Connect(4);
    StDATAINFO rec{};
    ASSERT_EQ(exempt.GetSelectedDataInfo(&rec), 1);
    EXPECT_STREQ(exempt.GetHeaderText(2, &rec), " 免税");
    EXPECT_STREQ(exempt.GetHeaderText(3, &rec), "");
    EXPECT_STREQ(exempt.GetHeaderText(4, &rec), "");
    EXPECT_EQ(exempt.m_nHasuMode, 1);
}

TEST_F(AppData, HeaderLabelsOutsideTheirRangesAreEmpty)
{
    Select(2);
    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_EQ(store->Exec("UPDATE tax_settings SET main_business = 0 WHERE data_no = 2"), SUITE_OK);
    EXPECT_EQ(Header(4), " 指定なし");
    ASSERT_EQ(store->Exec("UPDATE tax_settings SET main_business = 7 WHERE data_no = 2"), SUITE_OK);
    EXPECT_EQ(Header(4), "");
    ASSERT_EQ(store->Exec("UPDATE tax_settings SET taxation_kind = 3 WHERE data_no = 2"), SUITE_OK);
    EXPECT_EQ(Header(2), "");
    EXPECT_EQ(Header(3), "");
    EXPECT_EQ(Header(4), "");
    EXPECT_EQ(app.m_nKazeiKubun, 3);
}

TEST(HeaderText, LongCompanyNameIsCutAtAWholeCharacter)
{
    CShohizeiLinkApp app;
    StDATAINFO rec{};
    // 26 double-byte characters (52 bytes), the last ones with 0x5C trail bytes.
    std::string name;
    for (int i = 0; i < 24; ++i) name += "\x8A\x94";  // 株
    name += "\x83\x5C\x95\x5C";                        // ソ表
    std::strcpy(rec.szCompanyName, name.c_str());
    const std::string text = app.GetHeaderText(0, &rec);
    EXPECT_EQ(text, " " + name.substr(0, 50));
    EXPECT_EQ(text.size(), 51u);

    // 49 single bytes and one double-byte character: the whole character does not fit.
    std::string mixed = std::string(49, 'A') + "\x83\x5C" + "B";
    std::strcpy(rec.szCompanyName, mixed.c_str());
    EXPECT_EQ(std::string(app.GetHeaderText(0, &rec)), " " + std::string(49, 'A'));

    std::strcpy(rec.szCompanyName, std::string(50, 'C').c_str());
    EXPECT_EQ(std::string(app.GetHeaderText(0, &rec)), " " + std::string(50, 'C'));
}

TEST_F(AppData, MonthsAndDates)
{
    Select(1);
    EXPECT_EQ(app.GetMonthStartDate(4), 20240401);
    EXPECT_EQ(app.GetMonthEndDate(3), 20250331);
    EXPECT_EQ(app.GetMonthEndDate(2), 20250228);

    short m1 = 0, m2 = 0;
    EXPECT_EQ(app.GetMonthsByDates(20240401, 20250331, &m1, &m2), 0);
    EXPECT_EQ(m1, 4);
    EXPECT_EQ(m2, 3);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastStatus(), 0);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastSource(), "");

    // A date outside the period: its status is returned and registered, and
    // the preset month stays.
    m2 = 77;
    const long status = app.GetMonthsByDates(20240401, 20260101, &m1, &m2);
    EXPECT_NE(status, 0);
    EXPECT_EQ(m2, 77);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastStatus(), status);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastSource(), "ControlVRK35");
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastLine(), 16402);
}

TEST_F(AppData, MonthsOfAPeriodClosingOnThe20th)
{
    Select(4);
    EXPECT_EQ(app.GetMonthStartDate(4), 20240321);
    EXPECT_EQ(app.GetMonthEndDate(4), 20240420);
    EXPECT_EQ(app.GetMonthEndDate(3), 20250320);
}

TEST_F(AppData, SavedValuesOfTheCurrentPeriodAreUsable)
{
    Select(1);
    std::vector<BYTE> buffer(SAVETAXINFO_BUFFER_SIZE, 0);
    EXPECT_EQ(app.CanUseTaxSaveInfo(buffer.data(), &info), 1);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastStatus(), 0);
    StSaveTaxInfo saved;
    std::memcpy(&saved, buffer.data(), sizeof saved);
    EXPECT_EQ(+saved.lTaxPeriodTo, 20250331);
    EXPECT_EQ(+saved.byShiireHoushiki, 1);
}

TEST_F(AppData, SavedValuesUnderSimplifiedTaxationWithHalfYearClosing)
{
    Select(2);
    std::vector<BYTE> buffer(SAVETAXINFO_BUFFER_SIZE, 0);
    EXPECT_EQ(app.CanUseTaxSaveInfo(buffer.data(), &info), 1);
    // Under 簡易課税 the deduction method is still compared.
    buffer[4] = 2;
    EXPECT_EQ(app.MatchTaxSaveInfo(buffer.data(), &info), 0);
}

TEST_F(AppData, NothingSavedIsNotUsableAndRegistered)
{
    Select(3);
    std::vector<BYTE> buffer(SAVETAXINFO_BUFFER_SIZE, 0);
    const long status = app.LoadTaxSaveInfo(buffer.data(), &info);
    EXPECT_NE(status, 0);
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastSource(), "ControlVRK35");
    EXPECT_EQ(ClMsgMgr::Inst()->GetLastLine(), 16318);
    EXPECT_EQ(app.CanUseTaxSaveInfo(buffer.data(), &info), 0);
}

TEST_F(AppData, EachMismatchOfTheSavedHeaderRefuses)
{
    Select(1);
    std::vector<BYTE> loaded(SAVETAXINFO_BUFFER_SIZE, 0);
    ASSERT_EQ(app.LoadTaxSaveInfo(loaded.data(), &info), 0);
    ASSERT_EQ(app.MatchTaxSaveInfo(loaded.data(), &info), 1);

    auto withByte = [&](size_t offset, BYTE value) {
        std::vector<BYTE> b = loaded;
        b[offset] = value;
        return app.MatchTaxSaveInfo(b.data(), &info);
    };
    EXPECT_EQ(withByte(3, 2), 0);   // the other taxation kind
    EXPECT_EQ(withByte(4, 2), 0);   // another deduction method
    EXPECT_EQ(withByte(39, 2), 0);  // another half-year closing flag
    EXPECT_EQ(withByte(6, 1), 1);   // the methods are no part of the check
    EXPECT_EQ(withByte(17344, 1), 1);

    // Nothing saved: start and end 0, everything else matching.
    std::vector<BYTE> empty = loaded;
    std::memset(&empty[9], 0, 8);
    EXPECT_EQ(app.MatchTaxSaveInfo(empty.data(), &info), 0);
    // Another period.
    std::vector<BYTE> other = loaded;
    const int32_t from = 20230401;
    std::memcpy(&other[9], &from, 4);
    EXPECT_EQ(app.MatchTaxSaveInfo(other.data(), &info), 0);

    EXPECT_EQ(app.MatchTaxSaveInfo(nullptr, &info), 0);

    // The saved kind is 2 under 簡易課税 and 1 under every other kind, 免税
    // included.
    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_EQ(store->Exec("UPDATE tax_settings SET taxation_kind = 0 WHERE data_no = 1"), SUITE_OK);
    EXPECT_EQ(app.MatchTaxSaveInfo(loaded.data(), &info), 1);
    EXPECT_EQ(withByte(3, 2), 0);
    ASSERT_EQ(store->Exec("UPDATE tax_settings SET taxation_kind = 1 WHERE data_no = 1"), SUITE_OK);
    EXPECT_EQ(app.MatchTaxSaveInfo(loaded.data(), &info), 0);
    EXPECT_EQ(withByte(3, 2), 1);
}

TEST_F(AppData, PastResultsMatchTheirOwnYear)
{
    Select(5);
    EXPECT_EQ(+info.sPastDataCode, 99);
    std::vector<BYTE> buffer(SAVETAXINFO_BUFFER_SIZE, 0);
    EXPECT_EQ(app.CanUseTaxSaveInfo(buffer.data(), &info), 1);
}

TEST_F(AppData, MonthRangeOfTheDataset)
{
    Select(1);
    StFINDINFO terms[FINDINFO_RUN_TERMS];
    std::memset(terms, 0, sizeof terms);
    app.BuildShukeiJoken(terms, &info, 4, 3);
    EXPECT_EQ(+terms[0].nValue, 1);
    EXPECT_EQ(+terms[1].nValue, 12);
    EXPECT_EQ(+terms[2].nValue, 18);
    EXPECT_EQ(+terms[2].nConnect, FINDCON_END);
    TearDown();

    // Calendar year with its half-year closing.
    CShohizeiLinkApp half;
    Connect(2);
    StDATAINFO rec{};
    ASSERT_EQ(half.GetSelectedDataInfo(&rec), 1);
    std::memset(terms, 0, sizeof terms);
    half.BuildShukeiJoken(terms, &rec, 1, 6);
    EXPECT_EQ(+terms[0].nValue, 1);
    EXPECT_EQ(+terms[1].nValue, 6);
    EXPECT_EQ(+terms[1].nConnect, FINDCON_OR);
    EXPECT_EQ(+terms[2].nValue, 15);
    EXPECT_EQ(+terms[3].lItem, 0);
}


}  // namespace

namespace {

TEST_F(AppData, FilingModuleRateOfTheAggregatedRange)
{
    Select(1);
    app.m_nKazeiKubun = 2;
    EXPECT_EQ(app.FilingModuleRate(4, 3), 1000);  // ends 2025-03-31
    TearDown();

    // The previous year's past results end 2024-03-31: still after 2023-10-01.
    CShohizeiLinkApp past;
    Connect(5);
    StDATAINFO rec{};
    ASSERT_EQ(past.GetSelectedDataInfo(&rec), 1);
    past.m_nKazeiKubun = 2;
    EXPECT_EQ(past.FilingModuleRate(4, 9), 1000);  // ends 2023-09-30: the 2020 module, also 1000
    EXPECT_EQ(past.GetMonthEndDate(9), 20230930);
}

}  // namespace
