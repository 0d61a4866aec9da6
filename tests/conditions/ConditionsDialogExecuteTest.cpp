// The conditions dialog: keyboard, cancellation, the checks of 実行 with
// their messages and focus, the output folder and file, 参照, and the
// remembered settings of the dialog's user and dataset.
#include "DialogHarness.h"

namespace {

using KeysTest = ConditionsDialogTest;
using ExecuteTest = ConditionsDialogTest;
using PathTest = ConditionsDialogTest;

const char kMonthsMsg[] = "集計期間に誤りがあります。\n\n集計期間を設定しなおしてください。";

TEST_F(KeysTest, EnterWalksTheFieldsThenBrowses)
{
    Run("click 1014\nkey RETURN\nkey F11\nkey RETURN\nkey F11\nkey RETURN\nkey F11\nkey RETURN\ncancel\nkey F11\n");
    EXPECT_EQ(Shot(1).focus, 1016);
    EXPECT_EQ(Shot(1)[1016].selStart, 0);
    EXPECT_EQ(Shot(1)[1016].selEnd, 1);  // "3" selected whole
    EXPECT_EQ(Shot(2).focus, 1008);
    EXPECT_EQ(Shot(2)[1008].selEnd, static_cast<int>(std::strlen("C:\\out\\*.xml")));
    EXPECT_EQ(Shot(3).focus, 1009);
    // Enter on 参照 opened the save box; after it the focus is on 実行.
    EXPECT_EQ(Shot(4).focus, 1005);
    EXPECT_NE(Transcript().find("save-box "), std::string::npos);
}

TEST_F(KeysTest, EnterSkipsThePresetPath)
{
    Run("click 1016\nkey RETURN\nkey F11\n", [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\p.xml"; });
    EXPECT_EQ(Shot(1).focus, 1005);
}

TEST_F(KeysTest, EnterOnExecuteAndF12AnywhereRunExecute)
{
    // Enter on 実行, reached by Enter from the end month while the path is
    // preset (a click on 実行 would run it by itself).
    EXPECT_EQ(Run("click 1016\nkey RETURN\nkey F11\nkey RETURN\n",
                  [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\out\\e.xml"; }),
              IDC_BTN_EXECUTE);
    EXPECT_EQ(Shot(1).focus, 1005);
    EXPECT_EQ(Run("type 1008 C:\\out\\a.xml\nclick 1035\nkey F12\n"), IDC_BTN_EXECUTE);
    // With a modifier F12 is not 実行.
    EXPECT_EQ(Run("type 1008 C:\\out\\a.xml\nkey SHIFT+F12\n"), IDC_BTN_CANCEL);
}

TEST_F(KeysTest, AltKeypadSetsMethodsDirectly)
{
    // Keypad 2 selects sales 積み上げ without the coupling to purchase.
    Run("key ALT+NUMPAD2\nkey F11\nkey ALT+NUMPAD4\nkey F11\nkey ALT+NUMPAD3\nkey ALT+NUMPAD1\nkey F11\n");
    Shot(1).ExpectChecked({1034, 1038});
    EXPECT_FALSE(Shot(1).Checked(1035));
    EXPECT_EQ(Shot(1).focus, 1034);
    EXPECT_TRUE(Shot(2).Checked(1037));
    EXPECT_FALSE(Shot(2).Checked(1038));
    Shot(3).ExpectChecked({1035, 1038});
    EXPECT_FALSE(Shot(3).Checked(1037));
}

TEST_F(KeysTest, AltKeypadActsOnDisabledGroup)
{
    // Under 簡易課税 the purchase group is disabled: keypad 3 selects 1038
    // anyway (the focus cannot go there), and 実行 then returns 0.
    INT_PTR r = Run("key ALT+NUMPAD3\nkey F11\nkey F12\n", [](CShukeiJokenDlg& d) {
        d.m_nKazeiKubun = 1;
        d.m_strPresetPath = "C:\\out\\k.xml";
    });
    EXPECT_TRUE(Shot(1).Checked(1038));
    EXPECT_NE(Shot(1).focus, 1038);
    ASSERT_EQ(r, IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 0);
}

TEST_F(KeysTest, AltKeypadActsOnDisabledSalesGroupWhateverShiftAndCtrl)
{
    // Mode 1 disables the sales group; Ctrl or Shift with Alt still count.
    Run("click 1031\nkey CTRL+ALT+NUMPAD2\nkey F11\nkey SHIFT+ALT+NUMPAD1\nkey F11\n");
    EXPECT_FALSE(Shot(1).Enabled(1033));
    EXPECT_TRUE(Shot(1).Checked(1034));
    EXPECT_FALSE(Shot(1).Checked(1035));
    EXPECT_EQ(Shot(1).focus, 1031);  // a disabled button takes no focus
    EXPECT_TRUE(Shot(2).Checked(1035));
    EXPECT_FALSE(Shot(2).Checked(1034));
    // Without Alt the keypad is no method key.
    Run("key NUMPAD2\nkey CTRL+NUMPAD4\nkey F11\n");
    Shot(1).ExpectChecked({1035, 1038});
    Shot(1).ExpectChecked({1034, 1037}, false);
}

TEST_F(KeysTest, EscCloseBoxAndCancelButtonAllAsk)
{
    for (const char* script : {"key ESCAPE\nanswer OK\n", "close\nanswer OK\n", "click 1006\nanswer OK\n"}) {
        EXPECT_EQ(Run(script), IDC_BTN_CANCEL) << script;
        std::string t = Transcript();
        std::vector<std::string> m = Messages(t);
        ASSERT_EQ(m.size(), 1u) << t;
        EXPECT_NE(m[0].find("owner=dialog:130"), std::string::npos) << m[0];
        EXPECT_NE(m[0].find(Quoted("｢消費税｣の集計を中止します。")), std::string::npos) << m[0];
        EXPECT_NE(m[0].find("icon=information buttons=OK"), std::string::npos) << m[0];
        EXPECT_EQ(t.find("no-action"), std::string::npos) << t;
        // The dialog ends after the message is answered, not before.
        EXPECT_LT(t.find(m[0]), t.find("end dialog:130 result=1006")) << t;
    }
}

// Runs 実行 with the months; returns the focused control after a refusal
// (0 when the dialog ended with 1005).
struct MonthCase {
    long from, to;
    const char* start;
    const char* end;
    int expect;  // 0 pass, else the edit named
};

TEST_F(ExecuteTest, MonthTable)
{
    const MonthCase cases[] = {
        {20230101, 20231231, "1", "12", 0},
        {20230101, 20231231, "6", "6", 0},
        {20230101, 20231231, "7", "6", 1014},
        {20230101, 20231231, "0", "6", 1014},
        {20230101, 20231231, "13", "6", 1014},
        {20230101, 20231231, "1", "0", 1016},
        {20230101, 20231231, "1", "13", 1016},
        {20230101, 20231231, "", "6", 1014},
        {20230401, 20240331, "4", "3", 0},
        {20230401, 20240331, "12", "1", 0},
        {20230401, 20240331, "1", "3", 0},
        {20230401, 20240331, "1", "12", 1016},
        {20230401, 20240331, "3", "4", 1016},
        {20230401, 20240331, "5", "4", 1016},
        {20230401, 20240131, "2", "1", 1014},   // ten months: start in the gap
        {20230401, 20240131, "4", "3", 1014},   // end in the gap names the start
        {20230401, 20240131, "4", "1", 0},
        {20230401, 20231231, "3", "12", 1014},  // nine months: before the first
        {20230101, 20230930, "1", "10", 1014},  // nine months: end past the last names the start
    };
    for (const MonthCase& c : cases) {
        // An empty text is typed as nothing over the selection, then Backspace.
        auto type = [](const char* id, const char* text) {
            return *text ? std::string("type ") + id + " " + text + "\n" : std::string("type ") + id + " \"\"\nkey BACK\n";
        };
        std::string script = type("1014", c.start) + type("1016", c.end) + "type 1008 C:\\out\\m.xml\nkey F12\n";
        if (c.expect) script += "answer OK\nkey F11\n";
        INT_PTR r = Run(script, [&](CShukeiJokenDlg& d) {
            d.m_lKikanFrom = c.from;
            d.m_lKikanTo = c.to;
        });
        const std::string what = std::to_string(c.from) + " " + c.start + "-" + c.end;
        if (c.expect == 0) {
            EXPECT_EQ(r, IDC_BTN_EXECUTE) << what;
            EXPECT_STREQ(Dlg().m_strStartMonth, c.start);
            continue;
        }
        EXPECT_EQ(r, IDC_BTN_CANCEL) << what;
        ASSERT_EQ(Dlg().snapshots.size(), 2u) << what;
        EXPECT_EQ(Shot(1).focus, c.expect) << what;
        EXPECT_EQ(Shot(1)[c.expect].selStart, 0) << what;
        EXPECT_EQ(Shot(1)[c.expect].selEnd, static_cast<int>(Shot(1).Text(c.expect).size())) << what;
        std::vector<std::string> m = Messages(Transcript());
        ASSERT_GE(m.size(), 1u) << what;
        EXPECT_NE(m[0].find(Quoted(kMonthsMsg)), std::string::npos) << m[0];
        EXPECT_NE(m[0].find("icon=exclamation"), std::string::npos) << m[0];
    }
}

TEST_F(ExecuteTest, NiwariDateInModeZeroOnly)
{
    const char msg[] = "指定された集計期間は「2割特例」の対象期間外です。\n集計条件を見直してください。";
    // 9 ends on 2023-09-30: refused, focus on 実行.
    EXPECT_EQ(Run("click 1039\ntype 1016 9\ntype 1008 C:\\out\\n.xml\nkey F12\nanswer OK\nkey F11\n"), IDC_BTN_CANCEL);
    EXPECT_EQ(Shot(1).focus, 1005);
    ExpectMessage(0, msg);

    // 10 ends on 2023-10-31: passes, and the purchase result is 2.
    EXPECT_EQ(Run("click 1039\ntype 1016 10\ntype 1008 C:\\out\\n.xml\nkey F12\n"), IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 1);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 2);

    // Mode 1 with the saved return's 「2割特例」: the date is not looked at,
    // and the results are the saved return's whatever the buttons show.
    EXPECT_EQ(Run("click 1031\nkey ALT+NUMPAD2\ntype 1008 C:\\out\\n.xml\nkey F12\n",
                  [](CShukeiJokenDlg& d) {
                      d.m_nSavedEndMonth = 9;
                      d.m_bNiwariTokurei = 1;
                      d.m_nUriageHoushiki = 0;
                      d.m_nShiireHoushiki = 2;
                  }),
              IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_nShukeiMode, 1);
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 1);
    EXPECT_EQ(Dlg().m_nUriageHoushiki, 0);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 2);
    EXPECT_STREQ(Dlg().m_strEndMonth, "9");
}

TEST_F(ExecuteTest, NiwariTakesAnEndMonthThatEndsOnTheFirstDay)
{
    // Months closing on the 1st: 月度 10 runs from 2023-09-02 to 2023-10-01,
    // the first day of the 「2割特例」, and passes; 月度 9, ending on
    // 2023-09-01, is refused.
    auto setup = [](CShukeiJokenDlg& d) {
        d.m_lKikanFrom = 20230402;
        d.m_lKikanTo = 20240401;
    };
    long from = 0, to = 0;
    Run("", setup);
    Dlg().GetMonthDates(10, &from, &to);
    ASSERT_EQ(to, 20231001);
    EXPECT_EQ(Run("click 1039\ntype 1016 10\ntype 1008 C:\\out\\n.xml\nkey F12\n", setup), IDC_BTN_EXECUTE)
        << Transcript();
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 1);
    EXPECT_EQ(Run("click 1039\ntype 1016 9\ntype 1008 C:\\out\\n.xml\nkey F12\nanswer OK\n", setup), IDC_BTN_CANCEL);
    ExpectMessage(0, "指定された集計期間は「2割特例」の対象期間外です。\n集計条件を見直してください。");
}

TEST_F(ExecuteTest, ResultsFromTheButtons)
{
    ASSERT_EQ(Run("click 1034\ntype 1014 5\ntype 1016 7\ntype 1008 C:\\out\\r.xml\nclick 1005\n"), IDC_BTN_EXECUTE);
    EXPECT_EQ(Dlg().m_nShukeiMode, 0);
    EXPECT_EQ(Dlg().m_nUriageHoushiki, 1);
    EXPECT_EQ(Dlg().m_nShiireHoushiki, 1);
    EXPECT_EQ(Dlg().m_bNiwariTokurei, 0);
    EXPECT_STREQ(Dlg().m_strStartMonth, "5");
    EXPECT_STREQ(Dlg().m_strEndMonth, "7");
    EXPECT_STREQ(Dlg().m_strOutputPath, "C:\\out\\r.xml");
    // Enter where no control of the dialog takes it ends nothing.
    EXPECT_EQ(Run("click 1035\nkey RETURN\n"), IDC_BTN_CANCEL);
}

struct PathCase {
    const char* path;
    const char* message;
};

TEST_F(PathTest, EachPathMessageRefusesWithFocusOnThePath)
{
    std::filesystem::create_directories(root_ / "c" / "out" / "folder.xml");
    const PathCase cases[] = {
        {"", "データ出力先が指定されていません。\n\n出力先を指定してください。"},
        {"C:\\out\\*.xml", "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"},
        {"C:\\out\\a;b.xml", "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。"},
        {"Q:\\out.xml", "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。"},
        {"1:\\out.xml", "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。"},
        {"C:\\out\\", "ファイル名が指定されていません。"},
        {"C:\\out\\folder.xml", "ファイル名が指定されていません。"},
    };
    for (const PathCase& c : cases) {
        std::string script = std::string("type 1008 ") + c.path + "\nkey F12\nanswer OK\nkey F11\n";
        if (!*c.path) script = "type 1008 \"\"\nkey BACK\nkey F12\nanswer OK\nkey F11\n";
        EXPECT_EQ(Run(script), IDC_BTN_CANCEL) << c.path;
        ASSERT_EQ(Dlg().snapshots.size(), 2u) << c.path;
        EXPECT_EQ(Shot(1).focus, 1008) << c.path;
        EXPECT_EQ(Shot(1)[1008].selEnd, static_cast<int>(std::strlen(c.path))) << c.path;
        std::vector<std::string> m = Messages(Transcript());
        ASSERT_GE(m.size(), 1u) << c.path;
        EXPECT_NE(m[0].find(Quoted(c.message)), std::string::npos) << m[0];
        EXPECT_NE(m[0].find("icon=exclamation"), std::string::npos) << m[0];
    }
}

TEST_F(PathTest, FirstFailingCheckGivesTheMessage)
{
    const char badChars[] = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
    const char badDrive[] = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
    const char noName[] = "ファイル名が指定されていません。";
    const PathCase cases[] = {
        {"Q:\\a*.xml", badChars},   // characters before the drive
        {"Q:\\out\\", badDrive},   // the drive before the file name
        {"C:\\none\\", noName},     // the file name before the folder question
    };
    for (const PathCase& c : cases) {
        EXPECT_EQ(Run(std::string("type 1008 ") + c.path + "\nkey F12\nanswer OK\n"), IDC_BTN_CANCEL) << c.path;
        std::vector<std::string> m = Messages(Transcript());
        ASSERT_EQ(m.size(), 2u) << c.path;  // the refusal, then the cancel message
        EXPECT_NE(m[0].find(Quoted(c.message)), std::string::npos) << m[0];
    }
    EXPECT_FALSE(std::filesystem::exists(root_ / "c" / "none"));
}

TEST_F(PathTest, PresetPathInMissingFolderAsksForTheFolderOnly)
{
    const char question[] = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
    EXPECT_EQ(Run("key F12\nanswer YES\n", [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\made\\p.xml"; }),
              IDC_BTN_EXECUTE);
    EXPECT_EQ(Messages(Transcript()).size(), 1u);
    ExpectMessage(0, question);
    EXPECT_TRUE(std::filesystem::is_directory(root_ / "c" / "made"));
}

TEST_F(PathTest, MissingFolderIsCreatedAfterYes)
{
    const char question[] = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
    // No: a refusal without a further message, nothing created.
    EXPECT_EQ(Run("type 1008 C:\\new\\deep\\x.xml\nkey F12\nanswer NO\nkey F11\n"), IDC_BTN_CANCEL);
    EXPECT_EQ(Shot(1).focus, 1008);
    std::vector<std::string> m = Messages(Transcript());
    ASSERT_EQ(m.size(), 2u);  // the question, then the cancel message
    EXPECT_NE(m[0].find(Quoted(question)), std::string::npos) << m[0];
    EXPECT_NE(m[0].find("icon=question buttons=YES,NO"), std::string::npos) << m[0];
    EXPECT_FALSE(std::filesystem::exists(root_ / "c" / "new"));

    // Yes: both levels are made, and they stay.
    EXPECT_EQ(Run("type 1008 C:\\new\\deep\\x.xml\nkey F12\nanswer YES\n"), IDC_BTN_EXECUTE);
    EXPECT_TRUE(std::filesystem::is_directory(root_ / "c" / "new" / "deep"));
}

TEST_F(PathTest, FailedFolderCreationIsRolledBack)
{
    // The second level cannot be made on the host (its name is too long
    // there); the first level made by this attempt is removed again.
    std::string name;
    for (int i = 0; i < 100; ++i)
        name += "ソ";
    const std::string path = "C:\\made\\" + name + "\\x.xml";
    EXPECT_EQ(Run("type 1008 " + path + "\nkey F12\nanswer YES\nanswer OK\nkey F11\n"), IDC_BTN_CANCEL);
    EXPECT_EQ(Shot(1).focus, 1008);
    ExpectMessage(1, "フォルダの作成に失敗しました。\n\n出力先を再入力してください。");
    EXPECT_FALSE(std::filesystem::exists(root_ / "c" / "made"));
}

TEST_F(PathTest, ExistingFileAsksBeforeOverwriting)
{
    std::ofstream(root_ / "c" / "out" / "old.xml") << "x";
    const char question[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
    EXPECT_EQ(Run("type 1008 C:\\out\\old.xml\nkey F12\nanswer NO\nkey F11\n"), IDC_BTN_CANCEL);
    EXPECT_EQ(Shot(1).focus, 1008);
    ExpectMessage(0, question);

    EXPECT_EQ(Run("type 1008 C:\\out\\old.xml\nkey F12\nanswer YES\n"), IDC_BTN_EXECUTE);

    // A preset path is not asked about, nor refused for naming a folder.
    EXPECT_EQ(Run("key F12\n", [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\out\\old.xml"; }), IDC_BTN_EXECUTE);
    EXPECT_TRUE(Messages(Transcript()).empty());
    EXPECT_EQ(Run("key F12\n", [](CShukeiJokenDlg& d) { d.m_strPresetPath = "C:\\out\\"; }), IDC_BTN_CANCEL);
}

TEST_F(PathTest, PresetPathRefusalLeavesFocusAlone)
{
    // The disabled path edit cannot take the focus after a path message.
    EXPECT_EQ(Run("click 1035\nkey F12\nanswer OK\nkey F11\n",
                  [](CShukeiJokenDlg& d) { d.m_strPresetPath = "Q:\\cd.xml"; }),
              IDC_BTN_CANCEL);
    EXPECT_EQ(Shot(1).focus, 1035);
}

TEST_F(PathTest, BrowseStartsFromThePathAndTakesTheChoice)
{
    std::filesystem::create_directories(root_ / "c" / "data");
    Run("type 1008 C:\\data\\*.xml\nclick 1009\nsave C:\\data\\pick.xml\nkey F11\n");
    std::string t = Transcript();
    EXPECT_NE(t.find("save-box owner=dialog:130 title=\"" + U8("保存ファイルを指定") +
                     "\" folder=\"C:\\\\data\\\\\" file=\"*.xml\" ext=\"XML\""),
              std::string::npos)
        << t;
    EXPECT_EQ(Shot(1).Text(1008), "C:\\data\\pick.xml");
    EXPECT_EQ(Shot(1).focus, 1005);

    Run("type 1008 D:out.xml\nclick 1009\ncancel\nkey F11\n");
    t = Transcript();
    EXPECT_NE(t.find("folder=\"D:\" file=\"out.xml\""), std::string::npos) << t;
    EXPECT_EQ(Shot(1).Text(1008), "D:out.xml");
    EXPECT_EQ(Shot(1).focus, 1005);

    Run("type 1008 out.xml\nclick 1009\ncancel\n");
    t = Transcript();
    EXPECT_NE(t.find("folder=\"\" file=\"out.xml\""), std::string::npos) << t;
}

TEST_F(PathTest, SaveBoxRefusesMissingFolderAndLeavesOverwritingToExecute)
{
    std::ofstream(root_ / "c" / "out" / "old.xml") << "x";
    const char question[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
    // The box keeps a missing folder out with a message of its own, takes an
    // existing file without asking, and 実行 asks before overwriting it.
    EXPECT_EQ(Run("click 1009\nsave C:\\nofolder\\x.xml\nanswer OK\nsave C:\\out\\old.xml\nkey F12\nanswer NO\n"),
              IDC_BTN_CANCEL);
    const std::string t = Transcript();
    EXPECT_NE(t.find("filter=\"Xml Files (*.xml)|*.xml\""), std::string::npos) << t;
    std::vector<std::string> m = Messages(t);
    ASSERT_EQ(m.size(), 3u) << t;  // the box's refusal, the overwrite question, the cancel message
    EXPECT_NE(m[0].find("nofolder"), std::string::npos) << m[0];
    EXPECT_NE(m[1].find("caption=\"" + U8("消費税") + "\" icon=question buttons=YES,NO"), std::string::npos) << m[1];
    EXPECT_NE(m[1].find(Quoted(question)), std::string::npos) << m[1];
}

TEST_F(PathTest, SettingsOfTheDialogsUserAndDataset)
{
    ASSERT_EQ(Run("click 1034\ntype 1014 5\ntype 1016 2\ntype 1008 C:\\out\\s.xml\nkey F12\n"), IDC_BTN_EXECUTE);
    CShukeiJokenDlg& d = Dlg();
    ASSERT_TRUE(d.WriteJokenSettings(static_cast<short>(atoi(d.m_strStartMonth)),
                                     static_cast<short>(atoi(d.m_strEndMonth)), d.m_strOutputPath, d.m_nShukeiMode,
                                     d.m_bNiwariTokurei, d.m_nUriageHoushiki, d.m_nShiireHoushiki));
    EXPECT_EQ(ReadSettings(), "U1/D0001:0/5/2/1/1/0/C:\\out\\s.xml\n");

    // The next dialog of the same user and dataset opens with them; a run
    // started by a caller stores without a path and keeps the remembered one.
    Run("key F12\n", [](CShukeiJokenDlg& dd) { dd.m_strPresetPath = "C:\\out\\caller.xml"; });
    EXPECT_EQ(Init().Text(1014), "5");
    EXPECT_TRUE(Init().Checked(1034));
    ASSERT_TRUE(Dlg().WriteJokenSettings(4, 3, nullptr, 0, 0, 0, 0));
    EXPECT_EQ(ReadSettings(), "U1/D0001:0/4/3/0/0/0/C:\\out\\s.xml\n");

    // Another user on the same dataset starts from the defaults.
    Run("", [](CShukeiJokenDlg& dd) { std::strcpy(dd.m_szUserID, "XU1"); });
    Init().ExpectTexts({{1014, "4"}, {1008, "C:\\out\\*.xml"}});
}

}  // namespace
