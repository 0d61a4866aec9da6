// The framework's dialog driven by scripts through the script backend.
#include "TestDialog.h"

#include "../support/ScriptRun.h"
#include "ui/Input.h"
#include "ui/script/ScriptBackend.h"

#include <gtest/gtest.h>

namespace {

std::string U8(const char* cp932) { return mbcs::Cp932ToUtf8(cp932); }

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestTemplate(); }
};

TEST_F(DialogTest, DataExchangeRoundTrip)
{
    ScriptRun run("type 1002 新しい名前\n"
                  "type 1001 7\n"
                  "click 1012\n"
                  "click 1030\n"
                  "click 1040\n");
    CTestDlg dlg;
    dlg.m_name = "旧名";
    dlg.m_month = "3";
    dlg.m_group1 = 2;  // C
    dlg.m_group2 = 0;  // X
    EXPECT_EQ(dlg.DoModal(), 100);
    EXPECT_EQ(dlg.m_runs, 1);
    EXPECT_STREQ(dlg.m_name, "新しい名前");
    EXPECT_STREQ(dlg.m_month, "7");
    EXPECT_EQ(dlg.m_group1, 1);  // B: the label between A and B is not counted
    EXPECT_EQ(dlg.m_group2, 0);  // the other group is untouched by the click on B
    EXPECT_EQ(dlg.m_check, BST_CHECKED);
    EXPECT_EQ(dlg.m_creates, 1);
    EXPECT_EQ(dlg.m_destroys, 1);
    // The controls are free again after the dialog is gone.
    EXPECT_EQ(dlg.m_edMonth.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    std::string t = run.Transcript();
    // The loaded members were shown when the dialog opened.
    EXPECT_NE(t.find("open dialog:9001 modal caption \"" + U8("テスト") + "\""), std::string::npos) << t;
    EXPECT_NE(t.find("  control 1002 EDIT \"" + U8("旧名") + "\""), std::string::npos) << t;
    EXPECT_NE(t.find("  control 1013 BUTTON \"C\" checked"), std::string::npos) << t;
    EXPECT_NE(t.find("  control 1020 BUTTON \"X(&1)\" checked"), std::string::npos) << t;
    EXPECT_NE(t.find("  control 1041 BUTTON \"" + U8("無効") + "\" disabled"), std::string::npos) << t;
    // The first tab stop has the focus, with its text selected.
    EXPECT_NE(t.find("  control 1001 EDIT \"3\" focus sel=0-1"), std::string::npos) << t;
    // The click on B shows as B checked and C cleared.
    size_t click = t.find("action 3: click 1012");
    ASSERT_NE(click, std::string::npos) << t;
    EXPECT_NE(t.find("  changed 1012 BUTTON \"B(&B)\" checked focus", click), std::string::npos) << t;
    EXPECT_NE(t.find("  changed 1013 BUTTON \"C\" unchecked", click), std::string::npos) << t;
    EXPECT_NE(t.find("end dialog:9001 result=100"), std::string::npos) << t;
    EXPECT_EQ(t.find("unused-actions"), std::string::npos) << t;
}

TEST_F(DialogTest, EditKeepsDigitsOnlyAndTheLimitFromDataExchange)
{
    ScriptRun run("type 1001 1a2b3\n"
                  "click 1040\n");
    CTestDlg dlg;
    ASSERT_EQ(dlg.DoModal(), 100);
    // Letters refused (digits only), the third digit refused (limit 2).
    EXPECT_STREQ(dlg.m_month, "12");
}

TEST_F(DialogTest, ValidationFailureKeepsTheDialogOpen)
{
    // Text set by the program is not limited: a 3-character month fails
    // DDV_MaxChars on the save, with its message, and the dialog stays.
    ScriptRun run("click 1040\n"
                  "answer OK\n"
                  "type 1001 5\n"
                  "click 1040\n");
    CTestDlg dlg;
    dlg.m_month = "123";
    EXPECT_EQ(dlg.DoModal(), 100);
    EXPECT_EQ(dlg.m_runs, 2);
    EXPECT_STREQ(dlg.m_month, "5");
    std::string t = run.Transcript();
    EXPECT_NE(t.find("message owner=dialog:9001 caption=\"" + U8(AfxGetAppName())), std::string::npos) << t;
    EXPECT_NE(t.find(U8("2 文字以内で入力してください。")), std::string::npos) << t;
    // The failing edit got the focus with its text selected.
    EXPECT_NE(t.find("  changed 1001 EDIT \"123\" focus sel=0-3"), std::string::npos) << t;
}

TEST_F(DialogTest, PreTranslateMessageSeesKeysBeforeTheDefault)
{
    ScriptRun run("key ALT+NUMPAD2\n"
                  "click 1002\n"
                  "key RETURN\n"
                  "key F12\n");
    CTestDlg dlg;
    dlg.m_group2 = 0;
    EXPECT_EQ(dlg.DoModal(), 12);
    // Alt+key arrives as WM_SYSKEYDOWN with Alt down; the rest as WM_KEYDOWN.
    ASSERT_EQ(dlg.m_keyMessages.size(), 3u);
    EXPECT_EQ(dlg.m_keyMessages[0], static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_TRUE(dlg.m_altDown[0]);
    EXPECT_EQ(dlg.m_keyMessages[1], static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(dlg.m_altDown[1]);
    EXPECT_EQ(dlg.m_cancels, 0);
    std::string t = run.Transcript();
    // The consumed Alt+keypad 2 set Y directly.
    size_t alt = t.find("action 1: key ALT+NUMPAD2");
    ASSERT_NE(alt, std::string::npos) << t;
    EXPECT_NE(t.find("  changed 1021 BUTTON \"Y(&2)\" checked", alt), std::string::npos) << t;
    size_t enter = t.find("action 3: key RETURN");
    ASSERT_NE(enter, std::string::npos) << t;
    // Enter in the name edit was consumed: the focus moved to 実行, not clicked.
    EXPECT_NE(t.find("  changed 1040 BUTTON \"" + U8("実行") + "\" focus", enter), std::string::npos) << t;
    EXPECT_NE(t.find("end dialog:9001 result=12"), std::string::npos) << t;
}

TEST_F(DialogTest, EscapeAndTheCloseBoxReachOnCancel)
{
    {
        ScriptRun run("key ESCAPE\n");
        CTestDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_cancels, 1);
    }
    {
        // The first cancel is refused by the dialog: it stays open for the next action.
        ScriptRun run("close\n"
                      "close\n");
        CTestDlg dlg;
        dlg.m_refuseCancelOnce = true;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.m_cancels, 2);
        EXPECT_EQ(run.Transcript().find("no-action"), std::string::npos);
    }
}

TEST_F(DialogTest, EnterWithoutDefaultButtonDoesNothing)
{
    ScriptRun run("key RETURN\n");
    CTestDlg dlg;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(dlg.m_runs, 0);
    // Only the missing action ended it.
    EXPECT_NE(err.find("dialog:9001"), std::string::npos) << err;
    std::string t = run.Transcript();
    size_t enter = t.find("action 1: key RETURN");
    size_t none = t.find("no-action dialog:9001");
    ASSERT_NE(enter, std::string::npos) << t;
    ASSERT_NE(none, std::string::npos) << t;
    EXPECT_LT(enter, none);
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonClicksIt)
{
    ScriptRun run("type 1001 4\n"
                  "key TAB\n"      // -> name
                  "key TAB\n"      // -> A (the group's tab stop)
                  "key TAB\n"      // -> check box
                  "key TAB\n"      // -> 実行 (the disabled button is skipped next)
                  "key RETURN\n");
    CTestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), 100);
    EXPECT_STREQ(dlg.m_month, "4");
}

TEST_F(DialogTest, TabSkipsDisabledControlsAndShiftTabGoesBack)
{
    ScriptRun run("");
    CTestDlg dlg;
    // Keys by hand on a modeless instance of the template.
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    HWND h = dlg.m_hWnd;
    ::ShowWindow(h, SW_SHOW);
    ::SetFocus(::GetDlgItem(h, IDC_RUN));
    ui::Input::Key(h, VK_TAB, 0);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_ASK));  // 無効 skipped
    ui::Input::Key(h, VK_TAB, 0);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_MONTH));  // wraps round
    ui::Input::Key(h, VK_TAB, ui::Input::Shift);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_ASK));
    // An access key clicks its radio button; one on a label moves to the next control.
    ui::Input::Key(h, 'B', ui::Input::Alt);
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_B), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_B));
    ui::Input::Key(h, 'G', ui::Input::Alt);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_A));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_B), static_cast<UINT>(BST_CHECKED));
    // Arrow keys walk the group and click automatic radio buttons.
    ui::Input::Key(h, VK_DOWN, 0);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_B));
    ui::Input::Key(h, VK_DOWN, 0);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(h, IDC_C));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_C), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_B), static_cast<UINT>(BST_UNCHECKED));
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_destroys, 1);
}

TEST_F(DialogTest, RadioClickClearsItsGroupButSetCheckDoesNot)
{
    ScriptRun run("");
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    HWND h = dlg.m_hWnd;
    ::CheckDlgButton(h, IDC_A, BST_CHECKED);
    ::CheckDlgButton(h, IDC_X, BST_CHECKED);
    // BM_SETCHECK sets one button only.
    ::CheckDlgButton(h, IDC_B, BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_A), static_cast<UINT>(BST_CHECKED));
    // A click clears the rest of its group and nothing outside it.
    ::SendMessageA(::GetDlgItem(h, IDC_C), BM_CLICK, 0, 0);
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_A), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_B), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_C), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(::IsDlgButtonChecked(h, IDC_X), static_cast<UINT>(BST_CHECKED));
    // A check box toggles on each click; a disabled button ignores clicks.
    CButton* check = static_cast<CButton*>(dlg.GetDlgItem(IDC_CHECK));
    check->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), static_cast<UINT>(BST_CHECKED));
    check->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_CHECK), static_cast<UINT>(BST_UNCHECKED));
    // DDX_Radio with no button of the group checked gives -1.
    ::CheckDlgButton(h, IDC_X, BST_UNCHECKED);
    ::CheckDlgButton(h, IDC_Y, BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_group1, 2);
    EXPECT_EQ(dlg.m_group2, -1);
}

TEST_F(DialogTest, EndDialogInOnInitDialogNeverShowsTheDialog)
{
    ScriptRun run("click 1040\n");
    CTestDlg dlg;
    dlg.m_endInInit = 1006;
    EXPECT_EQ(dlg.DoModal(), 1006);
    std::string t = run.Transcript();
    EXPECT_EQ(t.find("open dialog:9001"), std::string::npos) << t;
    EXPECT_NE(t.find("end dialog:9001 result=1006"), std::string::npos) << t;
    // The action is left for a later window.
    EXPECT_NE(t.find("unused-actions 1 from line 1"), std::string::npos) << t;
}

TEST_F(DialogTest, MessageBoxAnswersAreRecordedAndReturned)
{
    ScriptRun run("click 1042\n"
                  "answer NO\n"
                  "click 1042\n"
                  "answer OK\n"  // not a button of a Yes/No/Cancel box
                  "click 1042\n"
                  "key ESCAPE\n");
    CTestDlg dlg;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    std::string err = ::testing::internal::GetCapturedStderr();
    std::string t = run.Transcript();
    std::string box = "message owner=dialog:9001 caption=\"" + U8("消費税") +
                      "\" icon=question buttons=YES,NO,CANCEL text=\"" + U8("続けますか？") + "\" answer=";
    size_t first = t.find(box + "NO");
    ASSERT_NE(first, std::string::npos) << t;
    size_t second = t.find(box + "CANCEL", first);
    ASSERT_NE(second, std::string::npos) << t;
    EXPECT_NE(t.find("script-error line 4: OK is not a button"), std::string::npos) << t;
    // The third box found the next action meant for the dialog: it was
    // cancelled, and the Esc still reached the dialog.
    size_t third = t.find(box + "CANCEL", second + 1);
    ASSERT_NE(third, std::string::npos) << t;
    EXPECT_NE(t.find("no-action the message box"), std::string::npos) << t;
    EXPECT_EQ(dlg.m_answer, IDCANCEL);
    EXPECT_EQ(dlg.m_cancels, 1);
    EXPECT_NE(err.find("line 6: key ESCAPE"), std::string::npos) << err;
}

TEST_F(DialogTest, NoActionLeftCancelsEveryKindOfWindow)
{
    EXPECT_EQ(ui::ScriptBackend::CancellingAnswer(MB_OK), IDOK);
    EXPECT_EQ(ui::ScriptBackend::CancellingAnswer(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(ui::ScriptBackend::CancellingAnswer(MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(ui::ScriptBackend::CancellingAnswer(MB_YESNOCANCEL), IDCANCEL);

    ScriptRun run("");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(::MessageBoxA(nullptr, "a", "b", MB_YESNO), IDNO);
    EXPECT_EQ(::MessageBoxA(nullptr, "a", "b", MB_OK), IDOK);
    CTestDlg dlg;
    dlg.m_refuseCancelOnce = true;  // even a dialog that ignores the cancel command ends
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("the script has no action left"), std::string::npos) << err;
    std::string t = run.Transcript();
    EXPECT_NE(t.find("no-action dialog:9001 \"" + U8("テスト") +
                     "\": the script has no action left; sending the cancel command"),
              std::string::npos)
        << t;
    EXPECT_NE(t.find("the cancel command did not end it; ended with IDCANCEL"), std::string::npos) << t;
    EXPECT_NE(t.find("message owner=none caption=\"b\" icon=none buttons=YES,NO text=\"a\" answer=NO"),
              std::string::npos)
        << t;
}

TEST_F(DialogTest, SetFocusOnADisabledControlDoesNothing)
{
    ScriptRun run("");
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    dlg.ShowWindow(SW_SHOW);
    HWND off = ::GetDlgItem(dlg.m_hWnd, IDC_OFF);
    HWND name = ::GetDlgItem(dlg.m_hWnd, IDC_NAME);
    ASSERT_NE(::SetFocus(name), nullptr);  // from the first tab stop
    EXPECT_EQ(::SetFocus(off), nullptr);
    EXPECT_EQ(::GetFocus(), name);
    // Disabling the focused control takes the focus away; enabling gives it back to nobody.
    ::EnableWindow(name, FALSE);
    EXPECT_EQ(::GetFocus(), nullptr);
    EXPECT_EQ(::EnableWindow(name, TRUE), TRUE);  // it was disabled
    EXPECT_EQ(::GetFocus(), nullptr);
    // A click on a disabled button is ignored.
    EXPECT_EQ(ui::Input::Click(off), ui::Input::Outcome::Disabled);
}

TEST_F(DialogTest, ModalDialogDisablesItsOwnerWhileItRuns)
{
    ScriptRun run("key ESCAPE\n");
    HWND caller = HwndFromValue(0x00012346);
    CTestDlg dlg;
    dlg.m_pParentWnd = CWnd::FromHandle(caller);
    EXPECT_EQ(dlg.m_pParentWnd, CWnd::FromHandle(caller));  // one object per handle
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(::IsWindowEnabled(caller));
    std::string t = run.Transcript();
    size_t off = t.find("caller foreign:0x00012346 \"disable\"");
    size_t open = t.find("open dialog:9001");
    size_t end = t.find("end dialog:9001");
    size_t on = t.find("caller foreign:0x00012346 \"enable\"");
    ASSERT_NE(off, std::string::npos) << t;
    ASSERT_NE(on, std::string::npos) << t;
    EXPECT_LT(off, open);
    EXPECT_LT(end, on);
}

TEST_F(DialogTest, MissingTemplateFailsTheDialog)
{
    ScriptRun run("");
    CDialog dlg(4242);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(4242));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("dialog template 4242 is not registered"),
              std::string::npos);
}

}  // namespace
