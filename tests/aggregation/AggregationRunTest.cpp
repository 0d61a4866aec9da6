// The aggregation stage inside the export run, over small stores: the
// refusal, notice and question of the journal-entry checks, the progress
// captions and bar positions in the transcript, the figures handed to the
// file stage, and the endings the program decides itself (a rate count other
// than five, an amount beyond the totals' range).
#include "app/ShohizeiLinkApp.h"

#include "aggregation/AddTaxDlg.h"
#include "suite/SuiteStore.h"
#include "tests/support/InProcessRun.h"
#include "tests/support/TestCaller.h"
#include "ui/WaitCursor.h"
#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const uint32_t kCaller = 765432;

// A run whose conditions are the test's and whose file stage only records
// what the aggregation left for it.
class AggApp : public CShohizeiLinkApp {
public:
    ShukeiConditions given;
    bool wrote = false;
    ShukeiConditions written;
    bool dialogVisibleAtWrite = true;
    bool waitCursorAtWrite = false;
    std::vector<StTAXREPORTRATEINFO> rates;

protected:
    int RunConditionsDialog(const StDATAINFO* pDataInfo, int, ShukeiConditions* pConditions) override
    {
        for (short line = 0; line <= 4; ++line) {
            GetHeaderText(line, pDataInfo);  // sets the taxation kind, as the dialog's set-up does
        }
        *pConditions = given;
        return 1;
    }
    int WriteReportFile(const StDATAINFO*, const StSHOHIZEIINFO*, const ShukeiConditions& conditions) override
    {
        wrote = true;
        written = conditions;
        dialogVisibleAtWrite = m_pAddTaxDlg && m_pAddTaxDlg->IsWindowVisible();
        waitCursorAtWrite = WaitCursor::IsOn();
        rates.assign(m_pRateInfo, m_pRateInfo + 15);
        EndRunWaitCursor();
        return 1;
    }
};

class AggregationRun : public InProcessRun {
protected:
    // The store: one dataset over the given period and taxation kind, and
    // `sql` for its accounts and entries.
    void Build(long from, long to, int kazei, const std::string& sql, int rateCount = 5)
    {
        suite::SuiteStore store;
        std::string why;
        ASSERT_EQ(store.Create(home + "/suite.db", &why), SUITE_OK) << why;
        const std::string base =
            "INSERT INTO users (user_id, name) VALUES ('admin', 'admin');"
            "INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to) VALUES (1,"
            " X'41470002000000000000000000000001', 'test', " + std::to_string(from) + ", " + std::to_string(to) + ");"
            "INSERT INTO tax_settings (data_no, taxation_kind, tax_rate_count) VALUES (1, " + std::to_string(kazei) +
            ", " + std::to_string(rateCount) + ");"
            "INSERT INTO selection VALUES (1, 'admin', 1, 1);";
        ASSERT_EQ(store.Exec(base + sql), SUITE_OK) << store.LastError();
    }

    // A run from April to March of the period, started by the test's caller.
    BOOL Run(AggApp& app, const std::string& script)
    {
        app.given.nStartMonth = 4;
        app.given.nEndMonth = 3;
        return InProcessRun::Run(app, "765432,1024,7,", script.c_str());
    }
};

// An entry of business kind 6 in April.
const char kJigyo6[] =
    "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, cr_account, cr_amount, cr_tax_code, cr_rate,"
    " cr_business) VALUES (1, %ld, 1, 1, 2, 10000, 21, 1000, 6);";

std::string Jigyo6(long date)
{
    char sql[300];
    std::snprintf(sql, sizeof sql, kJigyo6, date);
    return sql;
}

TEST_F(AggregationRun, SixthBusinessKindIsRefusedBeforeApril2015UnderSimplifiedTaxation)
{
    Build(20140401, 20150331, 1, Jigyo6(20140410));
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    AggApp app;
    EXPECT_FALSE(Run(app, ""));
    EXPECT_EQ(app.m_nResultCode, RESULT_CANCELLED);
    EXPECT_FALSE(app.wrote);
    const auto m1 = Messages("集計範囲に事業分類「第六種事業」の仕訳が存在します。");
    ASSERT_EQ(m1.size(), 1u) << transcript;
    EXPECT_NE(m1[0].find("owner=dialog:131"), std::string::npos) << m1[0];
    EXPECT_NE(m1[0].find("icon=exclamation"), std::string::npos) << m1[0];
    EXPECT_NE(m1[0].find(mbcs::Cp932ToUtf8("Varnel２２ の以下の機能")), std::string::npos) << m1[0];
    EXPECT_TRUE(Lines("open dialog:131").empty()) << "the progress dialog is never shown";
    EXPECT_EQ(caller.Finish(), Notified(1));
}

TEST_F(AggregationRun, SixthBusinessKindFromApril2015OrUnderGeneralTaxationGoesOn)
{
    Build(20150401, 20160331, 1, Jigyo6(20150410));
    AggApp later;
    EXPECT_TRUE(Run(later, ""));
    EXPECT_TRUE(later.wrote);
    EXPECT_TRUE(Messages("集計範囲に事業分類").empty()) << transcript;

    SetUp();
    Build(20140401, 20150331, 2, Jigyo6(20140410));
    AggApp general;
    EXPECT_TRUE(Run(general, ""));
    EXPECT_TRUE(general.wrote);
    EXPECT_TRUE(Messages("集計範囲に事業分類").empty()) << transcript;
}

const char kImport31[] =
    "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, cr_account, cr_amount, cr_tax_code)"
    " VALUES (1, 20230510, 2, 1, 2, 10000, 31);";

TEST_F(AggregationRun, UndeterminedImportsAreANoticeUnderGeneralTaxationOnly)
{
    Build(20230401, 20240331, 2, kImport31);
    AggApp general;
    EXPECT_TRUE(Run(general, "answer OK\n"));
    EXPECT_EQ(general.m_nResultCode, RESULT_EXPORTED);
    EXPECT_TRUE(general.wrote);
    const auto m2 = Messages("集計範囲の中に、輸入取引の本体分");
    ASSERT_EQ(m2.size(), 1u) << transcript;
    EXPECT_NE(m2[0].find("icon=information"), std::string::npos);
    EXPECT_NE(m2[0].find("owner=dialog:131"), std::string::npos);
    // The notice comes before the dialog is shown.
    EXPECT_LT(transcript.find(m2[0]), transcript.find("open dialog:131"));

    SetUp();
    Build(20230401, 20240331, 1, kImport31);
    AggApp simplified;
    EXPECT_TRUE(Run(simplified, ""));
    EXPECT_TRUE(Messages("集計範囲の中に、輸入取引の本体分").empty()) << transcript;
}

const char kOldRate[] =
    "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, cr_account, cr_amount, cr_tax_code, cr_rate)"
    " VALUES (1, 20230510, 2, 1, 2, 10000, 21, 500);";

TEST_F(AggregationRun, OldRatesWithTheTwentyPercentSpecialRule)
{
    const char* m3 = "指定された集計期間内に旧税率";
    Build(20230401, 20240331, 2, kOldRate);
    AggApp ok;
    ok.given.bNiwariTokurei = 1;
    EXPECT_TRUE(Run(ok, "answer OK\n"));
    ASSERT_EQ(Messages(m3).size(), 1u) << transcript;
    EXPECT_NE(Messages(m3)[0].find("buttons=OK,CANCEL"), std::string::npos) << Messages(m3)[0];
    EXPECT_TRUE(ok.wrote);
    EXPECT_EQ(ok.written.bNiwariTokurei, 0);  // the rest of the run goes without it

    SetUp();
    Build(20230401, 20240331, 2, kOldRate);
    AggApp cancel;
    cancel.given.bNiwariTokurei = 1;
    EXPECT_FALSE(Run(cancel, "answer CANCEL\n"));
    EXPECT_EQ(cancel.m_nResultCode, RESULT_CANCELLED);
    EXPECT_FALSE(cancel.wrote);

    // Without the special rule nobody is asked.
    SetUp();
    Build(20230401, 20240331, 2, kOldRate);
    AggApp without;
    EXPECT_TRUE(Run(without, ""));
    EXPECT_TRUE(Messages(m3).empty());
    EXPECT_EQ(without.written.bNiwariTokurei, 0);
}

// 3 % is an old rate as well as 5 % and standard 8 %: a journal holding a
// 3 % purchase and nothing else brings the question.
TEST_F(AggregationRun, ThreePercentAloneIsAnOldRateToo)
{
    const char* m3 = "指定された集計期間内に旧税率";
    Build(20230401, 20240331, 2,
          "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code, dr_rate,"
          " cr_account, cr_amount) VALUES (1, 20230612, 3, 1, 1000000, 30000, 1, 300, 2, 1030000);");
    AggApp app;
    app.given.bNiwariTokurei = 1;
    EXPECT_TRUE(Run(app, "answer OK\n"));
    ASSERT_EQ(Messages(m3).size(), 1u) << transcript;
    EXPECT_NE(Messages(m3)[0].find("buttons=OK,CANCEL"), std::string::npos) << Messages(m3)[0];
    EXPECT_TRUE(app.wrote);
    EXPECT_EQ(app.written.bNiwariTokurei, 0);
}

TEST_F(AggregationRun, ProgressCaptionsAndBarPositions)
{
    // Securities sold back in April: the figure handed on is twenty-fold.
    Build(20230401, 20240331, 2,
          "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax_code, dr_rate,"
          " cr_account) VALUES (1, 20230410, 1, 1, 2469135780, 26, 1000, 2);");
    AggApp app;
    EXPECT_TRUE(Run(app, ""));
    ASSERT_TRUE(app.wrote);
    EXPECT_FALSE(app.dialogVisibleAtWrite);
    EXPECT_TRUE(app.waitCursorAtWrite);
    EXPECT_FALSE(WaitCursor::IsOn());
    ASSERT_EQ(app.rates.size(), 15u);
    EXPECT_EQ(+app.rates[0].llHikazeiUriageYuka, -2469135780LL);

    const auto captions = Lines("caption dialog:131 ");
    ASSERT_EQ(captions.size(), 101u) << transcript;
    for (int p = 0; p <= 100; ++p) {
        const std::string text = mbcs::Cp932ToUtf8(("集計中 " + std::to_string(p) + "％").c_str());
        EXPECT_NE(captions[p].find("\"" + text + "\""), std::string::npos) << captions[p];
    }
    EXPECT_NE(captions[25].find(" 1019=250"), std::string::npos) << captions[25];
    EXPECT_NE(captions[50].find(" 1019=501"), std::string::npos) << captions[50];
    EXPECT_NE(captions[100].find(" 1019=1000"), std::string::npos) << captions[100];
    EXPECT_EQ(Lines("open dialog:131 modeless").size(), 1u);
    EXPECT_EQ(Lines("hide dialog:131").size(), 1u);
    // The closing message is owned by the progress window, hidden or not.
    const auto m7 = Messages("消費税情報の出力が終了しました。");
    ASSERT_EQ(m7.size(), 1u);
    EXPECT_NE(m7[0].find("owner=dialog:131"), std::string::npos);
}

TEST_F(AggregationRun, RateCountOtherThanFiveEndsTheExport)
{
    Build(20230401, 20240331, 2, "", 4);
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    AggApp app;
    EXPECT_FALSE(Run(app, ""));
    EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
    EXPECT_FALSE(app.wrote);
    const auto m = Messages("消費税設定の税率の数が集計に対応していないため");
    ASSERT_EQ(m.size(), 1u) << transcript;
    EXPECT_NE(m[0].find("owner=dialog:131"), std::string::npos);
    EXPECT_EQ(app.m_pRateInfo, nullptr);
    EXPECT_EQ(caller.Finish(), Notified(2));
}

TEST_F(AggregationRun, AmountBeyondTheTotalsEndsTheExportWithResult2)
{
    // A purchases account moving 6 x 10^13 yen in two months: its settlement
    // amount reaches the bound of the amount type.
    Build(20230401, 20240331, 2,
          "INSERT INTO accounts (data_no, code, attr, sum_flag2) VALUES (1, 10, 1082672128, 1), (1, 99, 0, 0);"
          "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, cr_account, cr_amount)"
          " VALUES (1, 20230410, 1, 10, 600000000000000000, 99, 600000000000000000),"
          " (1, 20230510, 2, 10, 600000000000000000, 99, 600000000000000000);");
    TestCaller caller(kCaller, 5, 5000);
    ASSERT_TRUE(caller.Ready());
    AggApp app;
    EXPECT_FALSE(Run(app, ""));
    EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
    EXPECT_FALSE(app.wrote);
    EXPECT_FALSE(WaitCursor::IsOn());
    const auto m = Messages(CShohizeiLinkApp::kMsgOverflow);
    ASSERT_EQ(m.size(), 1u) << transcript;
    EXPECT_NE(m[0].find("owner=dialog:131"), std::string::npos);
    EXPECT_TRUE(Messages("消費税情報の出力が終了しました。").empty());
    EXPECT_EQ(caller.Finish(), Notified(2));
}

} // namespace
