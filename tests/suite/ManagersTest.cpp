#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SuiteTestHome.h"
#include "suite/ClAccConnect.h"
#include "suite/ClFileMgr.h"
#include "suite/ClMsgMgr.h"
#include "suite/ClToolTipMgr.h"
#include "mfc/Afx.h"
#include "win32/WindowRegistry.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

namespace {

TEST(MsgMgr, RegistersAndReturnsTheStatus)
{
    ClMsgMgr* mgr = ClMsgMgr::Inst();
    EXPECT_EQ(mgr->SetLastError(9004, "ControlVRK35", 16402), 9004);
    EXPECT_EQ(mgr->GetLastStatus(), 9004);
    EXPECT_EQ(mgr->GetLastSource(), "ControlVRK35");
    EXPECT_EQ(mgr->GetLastLine(), 16402);
    EXPECT_EQ(mgr->SetLastError(0, nullptr, 0), 0);
    EXPECT_EQ(mgr->GetLastSource(), "");
    EXPECT_EQ(mgr->GetLastLine(), 0);
}

TEST(MsgMgr, FatalCheckShowsTheRegisteredErrorAndPassesSuccess)
{
    ClAccConnect::Inst()->m_pszCaption = "消費税";
    ClMsgMgr* mgr = ClMsgMgr::Inst();
    mgr->SetLastError(0, nullptr, 0);
    ClMsgMgr::ShowMessage(nullptr, "before", nullptr, 0, false);
    EXPECT_EQ(mgr->CheckFatalErrorWithMsg(0, -1, 1, nullptr), 0);
    EXPECT_EQ(mgr->CheckFatalErrorWithMsg(SUITE_EOD, -1, 1, nullptr), 0);
    EXPECT_EQ(ClMsgMgr::LastShownText(), "before");  // nothing shown for success

    mgr->SetLastError(SUITE_ERR_STORE, "AddTax", 4039);
    EXPECT_NE(mgr->CheckFatalErrorWithMsg(SUITE_ERR_STORE, -1, 1, nullptr), 0);
    const std::string& text = ClMsgMgr::LastShownText();
    EXPECT_EQ(text.rfind(ClMsgMgr::StatusText(SUITE_ERR_STORE), 0), 0u) << text;
    EXPECT_NE(text.find("9002"), std::string::npos) << text;
    EXPECT_NE(text.find("AddTax 4039"), std::string::npos) << text;
    EXPECT_EQ(ClMsgMgr::LastShownCaption(), "消費税");

    // A status other than the registered one is shown without its place.
    EXPECT_NE(mgr->CheckFatalErrorWithMsg(-1001, -1, 1, nullptr), 0);
    EXPECT_EQ(ClMsgMgr::LastShownText().find("AddTax"), std::string::npos);
    EXPECT_NE(ClMsgMgr::LastShownText().find("-1001"), std::string::npos);
    ClAccConnect::Inst()->Release();
}

class FileMgr : public ::testing::Test {
protected:
    void TearDown() override
    {
        unsetenv("ZELKOR_OUTPUT_FOLDER");
        unsetenv("ZELKOR_SETTINGS_FOLDER");
    }
};

TEST_F(FileMgr, DefaultFoldersAreWindowsPathsOnDriveC)
{
    suitetest::UseNewHome();
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(0), "C:\\Zelkor\\Output\\");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(1), "C:\\Zelkor\\Settings\\");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(2), "");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(-1), "");
}

TEST_F(FileMgr, ConfiguredFoldersGetTheirBackslash)
{
    // Configuration is host text (UTF-8).
    setenv("ZELKOR_OUTPUT_FOLDER", mbcs::Cp932ToUtf8("D:\\申告\\出力").c_str(), 1);
    setenv("ZELKOR_SETTINGS_FOLDER", "\\\\server\\share\\", 1);
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(0), "D:\\申告\\出力\\");
    EXPECT_STREQ(ClFileMgr::Inst()->GetAppFolderPath(1), "\\\\server\\share\\");
    // "表" ends with the byte 0x5C, which is no separator.
    EXPECT_EQ(ClFileMgr::FolderText("C:\\表"), "C:\\表\\");
    EXPECT_EQ(ClFileMgr::FolderText(""), "");
    EXPECT_EQ(ClFileMgr::FolderText(std::string(258, 'a')), std::string(258, 'a') + "\\");
    EXPECT_EQ(ClFileMgr::FolderText(std::string(259, 'a')), "");
}

TEST(ToolTipMgr, RefusesBadArgumentsAndSkipsEntriesWithoutText)
{
    HWND dlg = HwndFromValue(0x1234);
    const TOOLTIPMSG_TABLE table[] = {{1032, "連動元製品にて入力・保存した消費税申告書の情報を使用します。", 1},
                                      {1033, nullptr, 1}};
    ClToolTipMgr mgr;
    EXPECT_EQ(mgr.Init(nullptr, table, 1), SUITE_ERR_PARAM);
    EXPECT_EQ(mgr.Init(dlg, nullptr, 1), SUITE_ERR_PARAM);
    EXPECT_EQ(mgr.Init(dlg, table, 0), SUITE_ERR_PARAM);
    EXPECT_TRUE(mgr.GetTips().empty());
    ASSERT_EQ(mgr.Init(dlg, table, 2), SUITE_OK);
    ASSERT_EQ(mgr.GetTips().size(), 1u);
    EXPECT_EQ(mgr.GetTips()[0].nID, 1032u);
    EXPECT_EQ(mgr.GetTips()[0].text, std::string(table[0].pszMsg));
    EXPECT_EQ(mgr.GetWindow(), dlg);
}

}  // namespace

namespace {

// The window backends show tooltips from the window registry: the manager
// sets them on the dialog's controls while it holds the table.
TEST(ToolTipMgr, SetsTheTipsOnTheDialogsControls)
{
    DialogTemplate t;
    t.id = 9310;
    t.caption = "tips";
    t.style = WS_POPUP | WS_CAPTION;
    DialogItem radio;
    radio.id = 1032;
    radio.className = "BUTTON";
    radio.text = "保存値";
    radio.style = BS_AUTORADIOBUTTON | WS_TABSTOP;
    t.items.push_back(radio);
    DialogTemplate::Register(t);

    CDialog dlg;
    ASSERT_TRUE(dlg.Create(9310));
    HWND hCtrl = GetDlgItem(dlg.m_hWnd, 1032);
    ASSERT_NE(hCtrl, nullptr);
    const TOOLTIPMSG_TABLE table[] = {{1032, "保存した情報を使用します。", 1}};
    {
        ClToolTipMgr mgr;
        ASSERT_EQ(mgr.Init(dlg.m_hWnd, table, 1), SUITE_OK);
        EXPECT_EQ(win::WindowRegistry::Find(hCtrl)->toolTip, "保存した情報を使用します。");
    }
    EXPECT_EQ(win::WindowRegistry::Find(hCtrl)->toolTip, "");
    dlg.DestroyWindow();
}

}  // namespace
