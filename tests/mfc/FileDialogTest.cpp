// The save box through the script backend, and window creation refused by
// OnCreate.
#include "mfc/Afx.h"

#include "../support/ScriptRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::string U8(const char* cp932) { return mbcs::Cp932ToUtf8(cp932); }

struct SaveBox {
    explicit SaveBox(DWORD flags) : dlg(FALSE, "XML", "*.xml", flags, "Xml Files (*.xml)|*.xml||")
    {
        dlg.m_ofn.lpstrInitialDir = "C:\\out";
        dlg.m_ofn.lpstrTitle = "保存ファイルを指定";
    }
    CFileDialog dlg;
};

TEST(FileDialog, ChosenPathGetsTheDefaultExtension)
{
    ScriptRun run("save C:\\out\\決算\n");
    std::filesystem::create_directories(run.Dir() + "/drive_c/out");
    SaveBox box(0x180C);
    ASSERT_EQ(box.dlg.DoModal(), IDOK);
    EXPECT_STREQ(box.dlg.GetPathName(), "C:\\out\\決算.XML");
    EXPECT_STREQ(box.dlg.m_ofn.lpstrFile + box.dlg.m_ofn.nFileOffset, "決算.XML");
    EXPECT_STREQ(box.dlg.m_ofn.lpstrFile + box.dlg.m_ofn.nFileExtension, "XML");
    std::string t = run.Transcript();
    EXPECT_NE(t.find("save-box owner=none title=\"" + U8("保存ファイルを指定") +
                     "\" folder=\"C:\\\\out\" file=\"*.xml\" ext=\"XML\" filter=\"Xml Files (*.xml)|*.xml\" "
                     "answer=\"C:\\\\out\\\\" +
                     U8("決算") + "\""),
              std::string::npos)
        << t;
}

TEST(FileDialog, RefusedChoicesKeepTheBoxOpen)
{
    // A relative name is taken in the initial folder; a missing folder is
    // refused with a message; a wildcard only filters; then the user cancels.
    ScriptRun run("save a.xml\n"
                  "save C:\\nowhere\\b.xml\n"
                  "answer OK\n"
                  "save *.txt\n"
                  "cancel\n");
    SaveBox box(0x180C);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(box.dlg.DoModal(), IDCANCEL);  // C:\out does not exist either
    // The first refusal's message box found a save action next: it took OK.
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("answering OK"), std::string::npos);
    std::string t = run.Transcript();
    // (The transcript writes a backslash as \\ and a line feed as \n.)
    EXPECT_NE(t.find("C:\\\\out\\\\a.xml\\n" + U8("パスが存在しません。")), std::string::npos) << t;
    EXPECT_NE(t.find("C:\\\\nowhere\\\\b.xml\\n" + U8("パスが存在しません。")), std::string::npos) << t;
    // The third box starts with the filter the user typed.
    EXPECT_NE(t.find("file=\"*.txt\""), std::string::npos) << t;
    EXPECT_NE(t.find("answer=cancel"), std::string::npos) << t;
    EXPECT_EQ(t.find("unused-actions"), std::string::npos) << t;
}

TEST(FileDialog, OverwritePromptOnlyWhenAsked)
{
    ScriptRun run("save C:\\a.xml\n"
                  "answer NO\n"
                  "save C:\\a.xml\n"
                  "answer YES\n"
                  "save C:\\a.xml\n");
    std::filesystem::create_directories(run.Dir() + "/drive_c");
    std::ofstream(run.Dir() + "/drive_c/a.xml") << "x";
    SaveBox asking(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
    EXPECT_EQ(asking.dlg.DoModal(), IDOK);  // No kept the box open; the second Yes took it
    SaveBox quiet(0x180C);
    EXPECT_EQ(quiet.dlg.DoModal(), IDOK);   // the program's flags ask nothing
    std::string t = run.Transcript();
    const std::string question = "C:\\\\a.xml " + U8("は既に存在します。");
    size_t first = t.find(question);
    ASSERT_NE(first, std::string::npos) << t;
    size_t second = t.find(question, first + 1);
    ASSERT_NE(second, std::string::npos) << t;
    EXPECT_EQ(t.find(question, second + question.size()), std::string::npos) << t;
}

TEST(FileDialog, NoActionCancelsTheBox)
{
    ScriptRun run("");
    SaveBox box(0x180C);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(box.dlg.DoModal(), IDCANCEL);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("cancelling it"), std::string::npos);
}

class CRefusingWnd : public CDialog {
public:
    CRefusingWnd() : CDialog(9002) {}
    int m_destroys = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    afx_msg void OnDestroy() { ++m_destroys; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefusingWnd, CDialog)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST(FileDialog, OnCreateRefusingTheWindowFailsCreate)
{
    ScriptRun run("");
    DialogTemplate t;
    t.id = 9002;
    t.caption = "x";
    t.style = WS_POPUP | WS_CAPTION;
    DialogTemplate::Register(t);
    CRefusingWnd wnd;
    EXPECT_FALSE(wnd.Create(9002));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(wnd.m_destroys, 1);  // a refused creation is destroyed
    EXPECT_EQ(wnd.DoModal(), -1);
}

}  // namespace
