// The conditions dialog: its template, the initialisation from the run's
// inputs and the remembered line, the refusals, and the enable and coupling
// rules of the controls.
#include "DialogHarness.h"

#include "mfc/DialogTemplate.h"

#include <cstdlib>

namespace {

using InitTest = ConditionsDialogTest;

TEST(ConditionsTemplate, ControlsInTabOrderWithoutDefaultButton)
{
    RegisterConditionsDialogTemplate();
    const DialogTemplate* t = DialogTemplate::Find(IDD_SHUKEIJOKEN);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->caption, "消費税 - 集計条件");
    EXPECT_EQ(t->fontName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(t->fontSize, 9);
    EXPECT_EQ(t->cx, 255);
    EXPECT_EQ(t->cy, 297);
    EXPECT_EQ(t->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));

    const int order[] = {1000, -1,   1010, 1001, -1,   1011, 1002, -1,   1012, 1003, -1,   1013,
                         1030, 1029, 1031, 1032, 1004, -1,   1014, 1015, 1018, 1016, 1017, 1033,
                         1035, 1034, 1036, 1038, 1037, 1039, 1007, 1008, 1009, 1005, 1006};
    ASSERT_EQ(t->items.size(), std::size(order));
    for (size_t i = 0; i < t->items.size(); ++i) {
        const DialogItem& it = t->items[i];
        EXPECT_EQ(it.id, order[i]) << i;
        EXPECT_NE(it.id, IDOK);
        EXPECT_NE(it.id, IDCANCEL);
        EXPECT_EQ(it.style & WS_DISABLED, 0u) << it.id;
        if (it.className == "BUTTON") {
            EXPECT_NE(it.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
        }
    }
    auto find = [&](int id) -> const DialogItem& {
        for (const DialogItem& it : t->items)
            if (it.id == id) return it;
        throw std::runtime_error("no control");
    };
    const DialogItem& start = find(1014);
    EXPECT_EQ(start.className, "EDIT");
    EXPECT_EQ(start.style, static_cast<DWORD>(ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP));
    EXPECT_EQ(std::vector<int>({start.x, start.y, start.cx, start.cy}), std::vector<int>({79, 141, 18, 12}));
    const DialogItem& path = find(1008);
    EXPECT_EQ(path.exStyle, static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    EXPECT_EQ(find(1029).style, static_cast<DWORD>(BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP));
    EXPECT_EQ(find(1035).style, static_cast<DWORD>(BS_AUTORADIOBUTTON | WS_GROUP));
    EXPECT_EQ(find(1038).style, static_cast<DWORD>(BS_AUTORADIOBUTTON | WS_GROUP));
    EXPECT_EQ(find(1039).text, "「2割特例」を適用して消費税の申告をする(&R)");
    EXPECT_EQ(find(1031).text, "連動元製品の[消費税申告書作成]で入力した値を使用する(&P)");
    EXPECT_EQ(find(1011).text, "2001/01/01～2001/12/31");
    EXPECT_EQ(find(1005).style, static_cast<DWORD>(BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP));
    EXPECT_EQ(std::vector<int>({find(1006).x, find(1006).y}), std::vector<int>({189, 276}));
}

TEST_F(InitTest, DefaultsFromAprilToMarchPeriod)
{
    EXPECT_EQ(Run("key F11\n"), IDC_BTN_CANCEL);
    const DialogSnapshot& s = Init();
    s.ExpectTexts({{1014, "4"}, {1016, "3"}});
    EXPECT_TRUE(s.Checked(1029));
    EXPECT_FALSE(s.Checked(1031));
    EXPECT_EQ(s.focus, 1029);
    s.ExpectTexts({{1008, "C:\\out\\*.xml"}, {1007, "出力先(&O)"}});
    s.ExpectEnabled({1008, 1009});
    s.ExpectTexts({{1010, "株式会社テスト"}, {1003, "課税仕入控除"}});
    // Saved return 割り戻し both; 原則課税 with a period past 2023-10-01.
    s.ExpectChecked({1035, 1038});
    EXPECT_FALSE(s.Checked(1039));
    s.ExpectEnabled({1039, 1036, 1037});
    EXPECT_EQ(Dlg().m_nStartMonth, 4);
    EXPECT_EQ(Dlg().m_nEndMonth, 3);
    EXPECT_EQ(Dlg().m_bPathFixed, 0);
    // The tooltip of 1032 exists under 原則課税.
    EXPECT_NE(s.tooltip.find("連動元製品にて入力・保存した消費税申告書の情報を使用します。"), std::string::npos);

    // Cancelled by the script running out: the cancel message, then 1006.
    std::vector<std::string> m = Messages(Transcript());
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find("caption=\"" + U8("消費税") + "\" icon=information"), std::string::npos) << m[0];
    EXPECT_NE(m[0].find(Quoted("｢消費税｣の集計を中止します。")), std::string::npos) << m[0];
}

TEST_F(InitTest, DefaultsFromJanuaryToDecemberPeriod)
{
    Run("", [](CShukeiJokenDlg& d) {
        d.m_lKikanFrom = 20230101;
        d.m_lKikanTo = 20231231;
    });
    Init().ExpectTexts({{1014, "1"}, {1016, "12"}});
}

TEST_F(InitTest, DefaultPathFallsBackToTemporaryFolder)
{
    ::setenv("ZELKOR_OUTPUT_FOLDER", "", 1);
    std::filesystem::create_directories(root_ / "c" / "tmp");
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", (root_ / "c" / "tmp").c_str(), 1);
    Run("");
    if (oldTmp)
        ::setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(Init().Text(1008), "C:\\tmp\\*.xml");
}

TEST_F(InitTest, RememberedLineWithModeZeroGivesMonthsChoicesAndPath)
{
    WriteSettings("U1/D0001:0/6/9/1/1/0/C:\\kept\\a.xml\n");
    Run("");
    const DialogSnapshot& s = Init();
    s.ExpectTexts({{1014, "6"}, {1016, "9"}, {1008, "C:\\kept\\a.xml"}});
    s.ExpectChecked({1034, 1037});
    EXPECT_STREQ(Dlg().m_szStoredPath, "C:\\kept\\a.xml");
}

TEST_F(InitTest, RememberedLineWithModeOneTakesPathOnly)
{
    WriteSettings("U1/D0001:1/6/9/1/1/0/C:\\kept\\b.xml\n");
    Run("", [](CShukeiJokenDlg& d) {
        d.m_nSavedStartMonth = 5;
        d.m_nSavedEndMonth = 2;
    });
    const DialogSnapshot& s = Init();
    EXPECT_TRUE(s.Checked(1031));
    EXPECT_FALSE(s.Checked(1029));
    EXPECT_EQ(s.focus, 1031);
    // The edits show the saved return's months and are disabled; the months
    // remembered for mode 0 are the period's.
    s.ExpectTexts({{1014, "5"}, {1016, "2"}});
    s.ExpectEnabled({1014, 1016}, false);
    EXPECT_EQ(Dlg().m_nStartMonth, 4);
    EXPECT_EQ(Dlg().m_nEndMonth, 3);
    EXPECT_EQ(s.Text(1008), "C:\\kept\\b.xml");
    // The saved return's choices (割り戻し), not the line's.
    s.ExpectChecked({1035, 1038});
    // Mode 1: the method groups and 1039 are disabled.
    s.ExpectEnabled({1033, 1035, 1036, 1039}, false);
}

TEST_F(InitTest, RememberedModeOneWithoutUsableSavedValues)
{
    WriteSettings("U1/D0001:1/6/9/1/1/0/C:\\kept\\c.xml\n");
    Run("", [](CShukeiJokenDlg& d) {
        d.m_bSaveInfoUsable = 0;
        d.m_nUriageHoushiki = 1;
        d.m_nShiireHoushiki = 1;
    });
    const DialogSnapshot& s = Init();
    EXPECT_TRUE(s.Checked(1029));
    s.ExpectEnabled({1029, 1031}, false);
    EXPECT_EQ(s.focus, 0);
    s.ExpectTexts({{1014, "4"}, {1016, "3"}});
    EXPECT_TRUE(s.Enabled(1014));
    EXPECT_TRUE(s.Checked(1034));  // the saved return's choices
    EXPECT_TRUE(s.Checked(1037));
    EXPECT_TRUE(s.Enabled(1033));
}

TEST_F(InitTest, RememberedMonthsNoEditCanHoldAreReplacedByThePeriod)
{
    WriteSettings("U1/D0001:0/300/-1/1/1/0/C:\\kept\\d.xml\n");
    Run("");
    Init().ExpectTexts({{1014, "4"}, {1016, "3"}});
    EXPECT_TRUE(Init().Checked(1034));  // the rest of the line stands
    // No validation message came from the data exchange.
    EXPECT_EQ(Messages(Transcript()).size(), 1u);
}

TEST_F(InitTest, RememberedMonthsOutsideTheYearAreShownAsTheyAre)
{
    // Months the edits can show stand, whether 実行 will take them or not;
    // one whose text is longer than the edits' two characters makes the
    // period's months stand for both.
    const struct {
        const char* months;
        const char* start;
        const char* end;
    } cases[] = {
        {"13/9", "13", "9"}, {"0/-9", "0", "-9"}, {"99/4", "99", "4"},
        {"-10/5", "4", "3"}, {"5/100", "4", "3"},
    };
    for (const auto& c : cases) {
        WriteSettings(std::string("U1/D0001:0/") + c.months + "/1/1/0/C:\\kept\\e.xml\n");
        Run("");
        Init().ExpectTexts({{1014, c.start}, {1016, c.end}});
        EXPECT_EQ(Dlg().m_nStartMonth, std::atoi(c.start)) << c.months;
        EXPECT_EQ(Dlg().m_nEndMonth, std::atoi(c.end)) << c.months;
        EXPECT_TRUE(Init().Checked(1034)) << c.months;  // the line's choices
        // Only the cancellation: the data exchange found nothing to refuse.
        EXPECT_EQ(Messages(Transcript()).size(), 1u) << c.months << "\n" << Transcript();
    }
}

TEST_F(InitTest, PresetPathIsFixed)
{
    WriteSettings("U1/D0001:0/6/9/0/0/0/C:\\kept\\e.xml\n");
    Run("", [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\caller\\x.xml"; });
    const DialogSnapshot& s = Init();
    EXPECT_EQ(s.Text(1008), "C:\\caller\\x.xml");
    s.ExpectEnabled({1008, 1009}, false);
    EXPECT_EQ(s.Text(1007), "出力先");
    EXPECT_EQ(Dlg().m_bPathFixed, 1);
    EXPECT_STREQ(Dlg().m_szStoredPath, "C:\\kept\\e.xml");
}

TEST_F(InitTest, TaxExemptAndPastResultsAreRefused)
{
    EXPECT_EQ(Run("", [](CShukeiJokenDlg& d) {
                  d.m_strDetailLabel.Empty();
                  d.m_strDetailValue.Empty();
              }),
              IDC_BTN_CANCEL);
    std::string t = Transcript();
    std::vector<std::string> m = Messages(t);
    ASSERT_EQ(m.size(), 1u) << t;
    EXPECT_NE(m[0].find("icon=exclamation"), std::string::npos);
    EXPECT_NE(m[0].find(Quoted("消費税申告区分が免税のデータは、連携の対象として使用できません。\n\n"
                               "アプリケーションを終了します。")),
              std::string::npos)
        << m[0];
    EXPECT_EQ(t.find("open dialog:130"), std::string::npos) << "never shown";

    EXPECT_EQ(Run("", [](CShukeiJokenDlg& d) { d.m_bKakoJisseki = 1; }), IDC_BTN_CANCEL);
    m = Messages(Transcript());
    ASSERT_EQ(m.size(), 1u);
    EXPECT_NE(m[0].find(Quoted("過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。")),
              std::string::npos)
        << m[0];
}

TEST_F(InitTest, SimplifiedTaxationHasNoPurchaseMethod)
{
    Run("click 1005\n", [](CShukeiJokenDlg& d) {
        d.m_nKazeiKubun = 1;
        d.m_strPresetPath = "C:\\out\\r.xml";
    });
    const DialogSnapshot& s = Init();
    s.ExpectChecked({1037, 1038}, false);
    s.ExpectEnabled({1036, 1038}, false);
    EXPECT_TRUE(s.tooltip.empty());
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 2);
}

TEST_F(InitTest, SimplifiedTaxationTakesThePurchaseButtonThatNiwariRestores)
{
    // Ticking and clearing 「2割特例」 selects the purchase button that
    // matches the sales method, although the purchase group stays disabled;
    // 実行 then returns that method instead of 2.
    INT_PTR r = Run("click 1034\nclick 1039\nclick 1039\nkey F11\nkey F12\n", [](CShukeiJokenDlg& d) {
        d.m_nKazeiKubun = 1;
        d.m_strPresetPath = "C:\\out\\r.xml";
    });
    EXPECT_TRUE(Shot(1).Checked(1037));
    EXPECT_FALSE(Shot(1).Checked(1038));
    EXPECT_FALSE(Shot(1).Enabled(1037));
    ASSERT_EQ(r, IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_nUriageHoushiki, 1);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 1);
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 0);
}

TEST_F(InitTest, EditsTakeTwoDigitMonthsAndPathsOf255Bytes)
{
    const std::string longPath = "C:\\" + std::string(300, 'a');
    Run("type 1014 123\ntype 1016 x9\ntype 1008 " + longPath + "\nkey F11\n");
    Shot(1).ExpectTexts({{1014, "12"}, {1016, "9"}});
    EXPECT_EQ(Shot(1).Text(1008), longPath.substr(0, 255));
}

TEST_F(InitTest, PurchaseMethodTwoFollowsSalesUnderGeneralTaxation)
{
    Run("", [](CShukeiJokenDlg& d) {
        d.m_nUriageHoushiki = 1;
        d.m_nShiireHoushiki = 2;
    });
    Init().ExpectChecked({1034, 1037});
    EXPECT_FALSE(Init().Checked(1038));
}

TEST_F(InitTest, PeriodEndingBeforeOctober2023DisablesNiwari)
{
    // 「2割特例」 with purchase method 2: after 1039 is cleared the purchase
    // group is enabled with no button selected, and 実行 returns 2.
    INT_PTR r = Run("type 1008 C:\\out\\n.xml\nclick 1005\n", [](CShukeiJokenDlg& d) {
        d.m_lKikanFrom = 20220401;
        d.m_lKikanTo = 20230331;
        d.m_bNiwariTokurei = 1;
        d.m_nShiireHoushiki = 2;
    });
    const DialogSnapshot& s = Init();
    s.ExpectChecked({1039, 1037, 1038}, false);
    EXPECT_FALSE(s.Enabled(1039));
    EXPECT_TRUE(s.Enabled(1036));
    ASSERT_EQ(r, IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 2);
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 0);
}

TEST_F(InitTest, NiwariEnabledForPeriodsEndingFromOctober2023)
{
    const struct {
        long from, to;
        bool enabled;
    } cases[] = {
        {20221001, 20230930, false},
        {20221101, 20231031, true},
        {20221002, 20231001, true},  // a period that ends on 2023-10-01 itself
    };
    for (const auto& c : cases) {
        Run("", [&](CShukeiJokenDlg& d) {
            d.m_lKikanFrom = c.from;
            d.m_lKikanTo = c.to;
            d.m_bNiwariTokurei = 1;
        });
        EXPECT_EQ(Init().Enabled(1039), c.enabled) << c.to;
        EXPECT_EQ(Init().Checked(1039), c.enabled) << c.to;
    }
}

TEST_F(InitTest, SalesAndPurchaseCoupling)
{
    Run("click 1034\nkey F11\nclick 1038\nkey F11\n");
    // 1034 selects 1037 while the purchase group is enabled...
    Shot(1).ExpectChecked({1034, 1037});
    EXPECT_FALSE(Shot(1).Checked(1038));
    // ...and 1038 selects 1035 while the sales group is enabled.
    Shot(2).ExpectChecked({1038, 1035});
    EXPECT_FALSE(Shot(2).Checked(1034));
}

TEST_F(InitTest, SalesTsumiageDoesNotMoveDisabledPurchaseGroup)
{
    Run("click 1034\nkey F11\n", [](CShukeiJokenDlg& d) { d.m_nKazeiKubun = 1; });
    EXPECT_TRUE(Shot(1).Checked(1034));
    EXPECT_FALSE(Shot(1).Checked(1037));
}

TEST_F(InitTest, NiwariClearsAndRestoresThePurchaseMethod)
{
    Run("click 1034\nclick 1039\nkey F11\nclick 1039\nkey F11\n");
    EXPECT_TRUE(Shot(1).Checked(1039));
    Shot(1).ExpectChecked({1037, 1038}, false);
    Shot(1).ExpectEnabled({1036, 1037}, false);
    // Cleared again with both purchase buttons cleared: follows sales 積み上げ.
    Shot(2).ExpectChecked({1039, 1038}, false);
    EXPECT_TRUE(Shot(2).Checked(1037));
    EXPECT_TRUE(Shot(2).Enabled(1036));
}

TEST_F(InitTest, ModeSwitchShowsEachModesMonths)
{
    // Saved return: 積み上げ both, months 5 to 2.
    Run("type 1014 6\ntype 1016 8\nclick 1031\nkey F11\nclick 1029\nkey F11\n", [](CShukeiJokenDlg& d) {
        d.m_nSavedStartMonth = 5;
        d.m_nSavedEndMonth = 2;
        d.m_nUriageHoushiki = 1;
        d.m_nShiireHoushiki = 1;
        d.m_bNiwariTokurei = 0;
    });
    const DialogSnapshot& one = Shot(1);
    one.ExpectTexts({{1014, "5"}, {1016, "2"}});
    one.ExpectEnabled({1014, 1033}, false);
    one.ExpectChecked({1034, 1037});
    // Back to mode 0: the months remembered at initialisation, not what the
    // user typed before, and not the saved return's.
    const DialogSnapshot& zero = Shot(2);
    zero.ExpectTexts({{1014, "4"}, {1016, "3"}});
    zero.ExpectEnabled({1014, 1033, 1036});
}

TEST_F(InitTest, ModeOneRestoresSavedNiwari)
{
    Run("click 1031\nkey F11\n", [](CShukeiJokenDlg& d) {
        d.m_bNiwariTokurei = 1;
        d.m_nShiireHoushiki = 0;
    });
    EXPECT_TRUE(Shot(1).Checked(1039));
    EXPECT_FALSE(Shot(1).Enabled(1039));  // kept ticked, disabled in mode 1
    Shot(1).ExpectChecked({1037, 1038}, false);
}

}  // namespace
