// The real-window backend without a display: a clear message, and every
// window that waits for input is cancelled, so the run ends as cancelled.
#ifdef ZK_HAVE_FLTK

#include "FltkTestDialog.h"
#include "ui/Backends.h"
#include "ui/fltk/FltkBackend.h"
#include "win32/PlatformConfig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Takes the display away for one test and gives it back after, so that the
// real-window tests of the same process still find it.
class NoDisplay {
public:
    NoDisplay() : had_(std::getenv("DISPLAY") != nullptr), display_(had_ ? std::getenv("DISPLAY") : "")
    {
        ::unsetenv("DISPLAY");
    }
    ~NoDisplay()
    {
        if (had_) ::setenv("DISPLAY", display_.c_str(), 1);
    }

private:
    bool had_;
    std::string display_;
};

}  // namespace

TEST(FltkNoDisplay, DialogsAreCancelledAndMessageBoxesAnsweredWithTheirCancel)
{
    NoDisplay noDisplay;
    ::setenv("ZELKOR_BACKEND", "fltk", 1);
    PlatformConfig::Reload();
    ui::RegisterFltkBackend();
    testing::internal::CaptureStderr();
    ui::Backends::Start();
    auto* backend = dynamic_cast<ui::FltkBackend*>(&ui::Backends::Current());
    ASSERT_NE(backend, nullptr);
    if (backend->HasDisplay()) {
        testing::internal::GetCapturedStderr();
        GTEST_SKIP() << "this process opened a display before";
    }
    RegisterFltkTestTemplates();
    CFltkTestDlg dlg;
    INT_PTR result = dlg.DoModal();
    int yesNo = ::MessageBoxA(nullptr, "上書きしますか?", "消費税", MB_YESNO | MB_ICONQUESTION);
    CFileDialog box(FALSE, "xml", "out.xml", OFN_OVERWRITEPROMPT, "XML (*.xml)|*.xml||");
    INT_PTR saved = box.DoModal();
    std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(result, 1006);
    EXPECT_EQ(dlg.m_cancelAnswer, IDOK);
    EXPECT_EQ(yesNo, IDNO);
    EXPECT_EQ(saved, IDCANCEL);
    EXPECT_NE(err.find("cannot open the display"), std::string::npos) << err;
    EXPECT_NE(err.find("sending the cancel command"), std::string::npos) << err;

    ::setenv("ZELKOR_BACKEND", "script", 1);
    ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
    PlatformConfig::Reload();
    ui::Backends::Start();
}

#endif  // ZK_HAVE_FLTK
