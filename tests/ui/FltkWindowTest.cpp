// The real windows under a virtual X display: dialogs driven with real key
// and mouse events (xdotool), message boxes, the save box, the progress
// dialog repainted while the thread is busy. Screenshots are written to
// <build>/screenshots. Skipped when the X tools are not installed.
#ifdef ZK_HAVE_FLTK

#include "ChooserProbe.h"
#include "tests/support/TestTemp.h"
#include "FltkTestDialog.h"
#include "XSession.h"
#include "ui/Backends.h"
#include "ui/fltk/DialogUnits.h"
#include "ui/fltk/DialogWindow.h"
#include "ui/fltk/FltkBackend.h"
#include "ui/fltk/TextEdge.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <FL/Fl.H>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace {

double Seconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// A step of a driver thread: a failed one is recorded for the test thread.
#define STEP(cond) \
    do {                  \
        if (!(cond)) f.push_back(#cond); \
    } while (0)

class FltkWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string missing = XSession::MissingTools();
        if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
        ASSERT_TRUE(XSession::Shared().Ready()) << "the virtual display did not start";
        home_ = testtemp::Make("zk_fltk_");
        ::mkdir((home_ + "/c").c_str(), 0755);
        ::setenv("ZELKOR_HOME", home_.c_str(), 1);
        ::setenv("ZELKOR_BACKEND", "fltk", 1);
        ::setenv("ZELKOR_FLTK_IDLE_LIMIT", "20", 1);
        ::setenv("ZELKOR_DRIVES", ("C=" + home_ + "/c").c_str(), 1);
        PlatformConfig::Reload();
        DriveMap::Reload();
        ui::RegisterFltkBackend();
        ui::Backends::Start();
        backend_ = dynamic_cast<ui::FltkBackend*>(&ui::Backends::Current());
        ASSERT_NE(backend_, nullptr);
        ASSERT_TRUE(backend_->HasDisplay());
        RegisterFltkTestTemplates();
        base_ = ui::DialogUnits::Measure(ui::DialogUnits::FontFor("ＭＳ Ｐゴシック"), 12);
        shots_ = std::string(ZK_BINARY_DIR) + "/screenshots";
        ::mkdir(shots_.c_str(), 0755);
    }

    void TearDown() override
    {
        ::setenv("ZELKOR_BACKEND", "script", 1);
        ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
        ::unsetenv("ZELKOR_DRIVES");
        PlatformConfig::Reload();
        DriveMap::Reload();
        ui::Backends::Start();
        if (!home_.empty()) (void)std::system(("rm -rf '" + home_ + "'").c_str());
    }

    // Window coordinates of a point of the test dialog in dialog units.
    int X(int du) const { return ui::DialogUnits::X(du, base_); }
    int Y(int du) const { return ui::DialogUnits::Y(du, base_); }
    std::string Shot(const std::string& name) const { return shots_ + "/" + name + ".png"; }

    // Runs `driver` on a thread of its own while `body` runs the windows on
    // this one; the driver's failures are returned.
    std::vector<std::string> Drive(const std::function<void(std::vector<std::string>&)>& driver,
                                   const std::function<void()>& body)
    {
        std::vector<std::string> failures;
        std::thread t([&] { driver(failures); });
        body();
        t.join();
        return failures;
    }

    // The X window of class `cls` once it is up ("" and a failed step when
    // it does not come).
    static std::string WaitFor(const std::string& cls, std::vector<std::string>& f)
    {
        std::string id = XSession::WaitWindow(cls);
        STEP(!id.empty());
        return id;
    }

    // Runs the test dialog modally while `driver` works its window, up and
    // focused, from a thread of its own; the driver's failed steps fail the
    // test. Returns the dialog's result.
    INT_PTR DriveTestDialog(CFltkTestDlg& dlg,
                            const std::function<void(const std::string&, std::vector<std::string>&)>& driver)
    {
        INT_PTR result = 0;
        const auto failures = Drive(
            [&](std::vector<std::string>& f) {
                const std::string id = WaitFor("zelkor-dialog-9101", f);
                if (id.empty()) return;
                STEP(XSession::Focus(id));
                driver(id, f);
            },
            [&] { result = dlg.DoModal(); });
        EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
        return result;
    }

    std::string home_;
    std::string shots_;
    ui::FltkBackend* backend_ = nullptr;
    ui::DialogUnits::Base base_;
};

TEST_F(FltkWindows, DialogIsLaidOutFromDialogUnitsAndTakesKeysAndClicks)
{
    CFltkTestDlg dlg;
    INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
        XSession::Screenshot(id, Shot("dialog-initial"));
        STEP(XSession::Click(id, X(79 + 9), Y(72 + 6)));       // start month
        STEP(XSession::Type("1a2x3"));                          // digits only, two at most
        STEP(XSession::Key("Return"));                          // the dialog's own Enter: to the end month
        STEP(XSession::Type("3"));
        STEP(XSession::Key("alt+KP_2"));                        // the dialog's own Alt + keypad 2
        STEP(XSession::Click(id, X(7) + 5, Y(126 + 5)));        // the check box
        STEP(XSession::Click(id, X(13) + 5, Y(50 + 5)));        // the second mode
        STEP(XSession::Click(id, X(9 + 80), Y(145 + 6)));       // the path
        // ASCII only: xdotool types other characters by remapping a key for a
        // moment, which a busy machine can see too late.
        STEP(XSession::Type("C:\\zelkor\\output-folder\\a-very-long-file-name-to-scroll.xml"));
        STEP(XSession::Key("BackSpace Left Left Left Delete"));
        XSession::Screenshot(id, Shot("dialog-filled"));
        STEP(XSession::Key("F12"));
    });
    EXPECT_EQ(result, 1005);
    EXPECT_EQ(std::string(dlg.m_start), "12");
    EXPECT_EQ(std::string(dlg.m_end), "3");
    EXPECT_EQ(dlg.m_check, 1);
    EXPECT_EQ(dlg.m_mode, 1);
    EXPECT_EQ(dlg.m_sales, 1);
    EXPECT_EQ(std::string(dlg.m_path), std::string("C:\\zelkor\\output-folder\\a-very-long-file-name-to-scrollxm"));
    // Every key went first to the dialog's pre-translation, with its modifiers.
    bool sawAltKeypad = false, sawF12 = false, sawEnter = false;
    for (size_t i = 0; i < dlg.m_keys.size(); ++i) {
        if (dlg.m_keys[i] == VK_NUMPAD2) sawAltKeypad = dlg.m_keyMessages[i] == WM_SYSKEYDOWN && dlg.m_alt[i];
        if (dlg.m_keys[i] == VK_F12) sawF12 = dlg.m_keyMessages[i] == WM_KEYDOWN && !dlg.m_alt[i];
        if (dlg.m_keys[i] == VK_RETURN) sawEnter = true;
    }
    EXPECT_TRUE(sawAltKeypad);
    EXPECT_TRUE(sawF12);
    EXPECT_TRUE(sawEnter);
}

TEST_F(FltkWindows, WindowGeometryAndStateFollowTheFramework)
{
    CFltkTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FLTK_TEST));
    dlg.ShowWindow(SW_SHOW);
    ui::DialogWindow* w = backend_->WindowOf(dlg.m_hWnd);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->w(), X(255));
    EXPECT_EQ(w->h(), Y(190));
    ui::ControlView* start = w->ViewOf(::GetDlgItem(dlg.m_hWnd, IDC_F_START));
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(start->x(), X(79));
    EXPECT_EQ(start->y(), Y(72));
    EXPECT_EQ(start->w(), X(18));
    // Group boxes and plain labels take no clicks; the controls under them do.
    EXPECT_EQ(w->HitTest(X(10), Y(30)), nullptr);
    EXPECT_EQ(w->HitTest(X(13) + 3, Y(36) + 3), w->ViewOf(::GetDlgItem(dlg.m_hWnd, IDC_F_MODE0)));
    EXPECT_EQ(w->HitTest(X(20), Y(9)), nullptr);
    // The tooltip comes from the tooltip manager's table.
    ui::ControlView* anchor = w->ViewOf(::GetDlgItem(dlg.m_hWnd, IDC_F_ANCHOR));
    ASSERT_NE(anchor, nullptr);
    ASSERT_NE(anchor->tooltip(), nullptr);
    EXPECT_EQ(std::string(anchor->tooltip()), mbcs::Cp932ToUtf8("保存した値を使用します。\n二行目の説明です。"));
    // A key that typed Japanese text (as an input method delivers it): the
    // text arrives in the focused edit in code page 932.
    HWND path = ::GetDlgItem(dlg.m_hWnd, IDC_F_PATH);
    ::SetFocus(path);
    static std::string typed = mbcs::Cp932ToUtf8("出力");
    Fl::e_keysym = 0;
    Fl::e_state = 0;
    Fl::e_text = typed.data();
    Fl::e_length = static_cast<int>(typed.size());
    w->handle(FL_KEYBOARD);
    char text[32] = {};
    ::GetWindowTextA(path, text, sizeof text);
    EXPECT_EQ(std::string(text), "出力");
    // Delete and the caret keys are the backend's: Home, Delete removes 出.
    Fl::e_text = const_cast<char*>("");
    Fl::e_length = 0;
    Fl::e_keysym = FL_Home;
    w->handle(FL_KEYBOARD);
    Fl::e_keysym = FL_Delete;
    w->handle(FL_KEYBOARD);
    ::GetWindowTextA(path, text, sizeof text);
    EXPECT_EQ(std::string(text), "力");
    // The caption follows the framework's text.
    dlg.SetWindowText("消費税 - 変更");
    w->Sync();
    EXPECT_EQ(std::string(w->label()), mbcs::Cp932ToUtf8("消費税 - 変更"));
    dlg.DestroyWindow();
    EXPECT_EQ(backend_->WindowOf(dlg.m_hWnd), nullptr);
}

TEST_F(FltkWindows, EscapeAndTheCloseBoxAreTheCancelCommand)
{
    CFltkTestDlg dlg;
    INT_PTR result = DriveTestDialog(dlg, [&](const std::string&, std::vector<std::string>& f) {
        STEP(XSession::Key("Escape"));
        std::string box = WaitFor("zelkor-message", f);
        if (box.empty()) return;
        std::string title;
        XSession::Run("xdotool getwindowname " + box, &title);
        STEP(title == mbcs::Cp932ToUtf8("消費税"));
        XSession::Screenshot(box, Shot("message-information"));
        STEP(XSession::Focus(box));
        STEP(XSession::Key("Return"));
    });
    EXPECT_EQ(result, 1006);
    EXPECT_EQ(dlg.m_cancelAnswer, IDOK);

    // The close box: the window's close callback, as the window manager calls it.
    CFltkTestDlg again;
    Fl::add_timeout(
        0.3, [](void* data) {
            std::unique_ptr<std::pair<ui::FltkBackend*, CFltkTestDlg*>> self(
                static_cast<std::pair<ui::FltkBackend*, CFltkTestDlg*>*>(data));
            if (ui::DialogWindow* w = self->first->WindowOf(self->second->m_hWnd)) w->do_callback();
        },
        new std::pair<ui::FltkBackend*, CFltkTestDlg*>(backend_, &again));
    const auto failures = Drive(
        [&](std::vector<std::string>& f) {
            std::string box = WaitFor("zelkor-message", f);
            if (box.empty()) return;
            STEP(XSession::Focus(box));
            STEP(XSession::Key("space"));
        },
        [&] { result = again.DoModal(); });
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
    EXPECT_EQ(result, 1006);
    EXPECT_EQ(again.m_cancelAnswer, IDOK);
}

TEST_F(FltkWindows, QuestionBoxAnswersWithAccessKeysAndIgnoresEscape)
{
    CFltkTestDlg dlg;
    INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
        STEP(XSession::Key("alt+q"));  // the 質問(&Q) button by its access key
        std::string box = WaitFor("zelkor-message", f);
        if (box.empty()) return;
        XSession::Screenshot(box, Shot("message-question"));
        STEP(XSession::Focus(box));
        STEP(XSession::Key("Escape"));  // a Yes/No box has no cancel
        STEP(XSession::Key("n"));
        usleep(300000);
        STEP(XSession::Focus(id));
        STEP(XSession::Key("F12"));
    });
    EXPECT_EQ(result, 1005);
    EXPECT_EQ(dlg.m_answer, IDNO);
}

TEST_F(FltkWindows, SaveBoxReturnsAWindowsPathThroughTheDriveMap)
{
    CFltkTestDlg dlg;
    INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
        STEP(XSession::Click(id, X(185 + 28), Y(144 + 7)));  // 参照
        std::string box = WaitFor("^zelkor$", f);  // the chooser: not a framework window
        if (box.empty()) return;
        usleep(300000);
        XSession::Screenshot(box, Shot("save-box"));
        STEP(XSession::Focus(box));
        STEP(XSession::Type("out"));
        STEP(XSession::Key("Return"));
        usleep(300000);
        STEP(XSession::Focus(id));
        STEP(XSession::Key("F12"));
    });
    EXPECT_EQ(result, 1005);
    EXPECT_EQ(std::string(dlg.m_saved), "C:\\out.xml");
    EXPECT_EQ(std::string(dlg.m_path), "C:\\out.xml");
}

TEST_F(FltkWindows, SaveBoxSpeaksJapaneseAndFiltersByThePatternItNamesOnce)
{
    // A file the XML filter must list, and one it must not.
    for (const char* name : {"/c/kessan.xml", "/c/memo.txt"})
        if (FILE* f = std::fopen((home_ + name).c_str(), "w")) std::fclose(f);
    ChooserProbe probe;
    probe.Arm();
    CFltkTestDlg dlg;
    INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
        STEP(XSession::Key("alt+d"));  // 参照(&D)
        std::string box = WaitFor("^zelkor$", f);
        if (box.empty()) return;
        usleep(300000);
        XSession::Screenshot(box, Shot("save-box-labels"));
        STEP(XSession::Focus(box));
        STEP(XSession::Key("Escape"));  // the chooser's cancel
        usleep(300000);
        STEP(XSession::Focus(id));
        STEP(XSession::Key("F12"));
    });
    probe.Disarm();
    EXPECT_EQ(result, 1005);
    EXPECT_EQ(std::string(dlg.m_saved), "");
    ASSERT_TRUE(probe.found) << "the chooser was not seen";
    ASSERT_FALSE(probe.lookupMissing) << "the font library's glyph lookup is not in the process";
    // Every text of the box has its glyphs, the bold labels too.
    EXPECT_TRUE(probe.unreadable.empty()) << ::testing::PrintToString(probe.unreadable);
    EXPECT_TRUE(probe.HasLabel(mbcs::Cp932ToUtf8("ファイル名:")));
    EXPECT_TRUE(probe.HasLabel(mbcs::Cp932ToUtf8("表示:")));
    EXPECT_EQ(probe.okLabel, mbcs::Cp932ToUtf8("保存"));
    EXPECT_TRUE(probe.HasMenuItem(mbcs::Cp932ToUtf8("お気に入りに追加"))) << ::testing::PrintToString(probe.menuItems);
    // Each filter shows its pattern once, and filters by it.
    ASSERT_GE(probe.filters.size(), 2u);
    EXPECT_EQ(probe.filters[0], mbcs::Cp932ToUtf8("XML ファイル (*.xml)"));
    EXPECT_EQ(probe.filters[1], mbcs::Cp932ToUtf8("すべてのファイル (*)"));
    std::vector<std::string> listed;
    for (const std::string& file : probe.files)
        if (file != "../") listed.push_back(file);
    EXPECT_EQ(listed, std::vector<std::string>{"kessan.xml"});
}

TEST_F(FltkWindows, SaveBoxOpensInTheFolderOfItsFileAndKeepsThePathAcceptedUnchanged)
{
    // The test's current directory is the build folder, outside drive C:, so
    // a name the chooser took from there would come back as a Z: path.
    struct Case {
        const char* folder;  // Windows
        const char* host;    // below the home, UTF-8
        const char* name;
    };
    // 表 and ソ end in the byte of a backslash.
    const Case cases[] = {{"C:\\Zelkor\\Output\\", "/c/Zelkor/Output", "sample.xml"},
                          {"C:\\出力ソ\\", "/c/出力ソ", "集計表.xml"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string host = home_ + mbcs::Cp932ToUtf8(c.host);
        ASSERT_EQ(std::system(("mkdir -p '" + host + "' && touch '" + host + "/earlier.xml'").c_str()), 0);
        ChooserProbe probe;
        probe.Arm();
        CFltkTestDlg dlg;
        dlg.m_browseDir = c.folder;
        dlg.m_browseName = c.name;
        INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
            STEP(XSession::Key("alt+d"));  // 参照(&D)
            std::string box = XSession::WaitAndFocus("^zelkor$");
            STEP(!box.empty());
            if (box.empty()) return;
            XSession::Screenshot(box, Shot("save-box-preset"));
            STEP(XSession::Key("Return"));  // 保存, the name as it was preset
            STEP(XSession::WaitGone("^zelkor$"));
            STEP(XSession::Focus(id));
            STEP(XSession::Key("F12"));
        });
        probe.Disarm();
        EXPECT_EQ(result, 1005);
        EXPECT_EQ(std::string(dlg.m_saved), std::string(c.folder) + c.name);
        // The box showed the folder's own files.
        ASSERT_TRUE(probe.found) << "the chooser was not seen";
        EXPECT_TRUE(std::find(probe.files.begin(), probe.files.end(), "earlier.xml") != probe.files.end())
            << ::testing::PrintToString(probe.files);
    }
}

// A folder that does not exist yet (a new home's output folder) opens the box
// at its nearest existing parent on its drive, else at the drive's root, and
// never in the process's current directory (the build folder, outside C:).
// The name field shows the file name, also while a name is typed; the name
// is taken in the folder the box shows.
TEST_F(FltkWindows, SaveBoxForAMissingFolderOpensAtItsNearestExistingFolderWithTheFileName)
{
    ::mkdir((home_ + "/c/Zelkor").c_str(), 0755);
    ::mkdir((home_ + mbcs::Cp932ToUtf8("/c/出力ソ")).c_str(), 0755);
    struct Case {
        const char* dir;     // the box's initial folder (Windows)
        const char* name;    // its file name
        const char* typed;   // typed after End; empty: accepted as it opens
        const char* opened;  // the folder it opens, below the home (UTF-8)
        const char* saved;   // the choice
    };
    // ソ ends in the byte of a backslash.
    const Case cases[] = {
        {"C:\\Zelkor\\Output\\", "first.xml", "", "/c/Zelkor", "C:\\Zelkor\\first.xml"},
        {"C:\\Zelkor\\Output\\", "*.xml", "first.xml", "/c/Zelkor", "C:\\Zelkor\\first.xml"},
        {"C:\\New\\Deeper\\", "*.xml", "first.xml", "/c", "C:\\first.xml"},
        {"C:\\出力ソ\\下\\", "集計表.xml", "", "/c/出力ソ", "C:\\出力ソ\\集計表.xml"},
        {"Q:\\Output\\", "out.xml", "", "/c", "C:\\out.xml"},  // a drive with no root
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + c.name);
        const std::string expectedName = mbcs::Cp932ToUtf8(*c.typed ? c.typed : c.name);
        ChooserProbe probe;
        probe.Arm();
        CFltkTestDlg dlg;
        dlg.m_browseDir = c.dir;
        dlg.m_browseName = c.name;
        std::string shown;
        INT_PTR result = DriveTestDialog(dlg, [&](const std::string& id, std::vector<std::string>& f) {
            STEP(XSession::Key("alt+d"));  // 参照(&D)
            std::string box = XSession::WaitAndFocus("^zelkor$");
            STEP(!box.empty());
            if (box.empty()) return;
            // The name field as the box opens: the file name, or nothing for a
            // filter.
            const std::string first = ui::TextEdge::HasWildcards(c.name) ? "" : mbcs::Cp932ToUtf8(c.name);
            for (int i = 0; i < 200 && probe.NameNow() != first; ++i) usleep(50000);
            STEP(probe.NameNow() == first);
            if (*c.typed) {
                STEP(XSession::Key("End"));
                STEP(XSession::Type(mbcs::Cp932ToUtf8(c.typed)));
                for (int i = 0; i < 200 && probe.NameNow() != expectedName; ++i) usleep(50000);
            }
            shown = probe.NameNow();
            XSession::Screenshot(box, Shot("save-box-nearest"));
            STEP(XSession::Key("Return"));  // 保存
            STEP(XSession::WaitGone("^zelkor$"));
            STEP(XSession::Focus(id));
            STEP(XSession::Key("F12"));
        });
        probe.Disarm();
        EXPECT_EQ(result, 1005);
        ASSERT_TRUE(probe.found) << "the chooser was not seen";
        EXPECT_EQ(probe.folder, home_ + mbcs::Cp932ToUtf8(c.opened));
        EXPECT_EQ(shown, expectedName) << "the name field before 保存";
        EXPECT_EQ(std::string(dlg.m_saved), std::string(c.saved));
    }
}

TEST_F(FltkWindows, ProgressDialogIsRepaintedWhileTheThreadIsBusyAtMostOncePerFrame)
{
    CFltkProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FLTK_PROGRESS));
    dlg.ShowWindow(SW_SHOW);
    dlg.m_main.SetRange(0, 1000);
    dlg.m_main.SetPos(0);
    std::string shotText;
    bool shot = false;
    auto failures = Drive(
        [&](std::vector<std::string>& f) {
            std::string id = WaitFor("zelkor-dialog-9102", f);
            if (id.empty()) return;
            usleep(800000);
            shot = XSession::Screenshot(id, Shot("progress"));
            if (shot)
                XSession::Run("convert '" + Shot("progress") + "' -format %c histogram:info:- | grep -ci '#0A246A'",
                              &shotText);
        },
        [&] {
            // About two seconds of a busy run: every step repaints synchronously.
            for (int i = 0; i <= 400; ++i) {
                if (i % 4 == 0) dlg.SetWindowText(("集計中 " + std::to_string(i / 4) + "％").c_str());
                dlg.m_main.SendMessage(PBM_DELTAPOS, 1, 0);
                dlg.m_sub.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 10));
                dlg.m_sub.SetPos(i % 11);
                ::UpdateWindow(dlg.m_hWnd);
                usleep(5000);
            }
        });
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
    if (shot) {
        EXPECT_NE(shotText, "0") << "the bars were not painted while the thread was busy";
    }

    // A million repaint requests cost next to nothing and paint at most once per frame.
    long before = backend_->RepaintCount();
    double start = Seconds();
    for (int i = 0; i < 1000000; ++i) ::UpdateWindow(dlg.m_hWnd);
    double elapsed = Seconds() - start;
    long painted = backend_->RepaintCount() - before;
    EXPECT_LT(elapsed, 5.0);
    EXPECT_LE(painted, static_cast<long>(elapsed * 60) + 2);
    EXPECT_GE(painted, 1);
    std::string title;
    XSession::Run("xdotool search --classname zelkor-dialog-9102 getwindowname", &title);
    EXPECT_EQ(title, mbcs::Cp932ToUtf8("集計中 100％"));
    dlg.DestroyWindow();
}

TEST_F(FltkWindows, ProgressDialogShowsItsLastStateWhileTheThreadWorksOnWithoutCalls)
{
    CFltkProgressDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FLTK_PROGRESS));
    dlg.ShowWindow(SW_SHOW);
    dlg.m_main.SetRange(0, 1000);
    dlg.m_main.SetPos(0);
    std::atomic<bool> stepped{false}, looked{false};
    std::vector<std::string> titles;
    long painted = 0;
    double stepping = 0;
    auto failures = Drive(
        [&](std::vector<std::string>& f) {
            std::string id = WaitFor("zelkor-dialog-9102", f);
            for (int i = 0; i < 600 && !stepped; ++i) ::usleep(50000);
            STEP(stepped);
            for (int i = 0; !id.empty() && stepped && i < 8; ++i) {
                std::string title;
                STEP(XSession::Run("xdotool getwindowname " + id, &title));
                titles.push_back(title);
            }
            looked = true;
        },
        [&] {
            // The first quarter of a run, as fast as it goes: the caption every
            // tenth step, eleven sub-steps each, every one repainted...
            long before = backend_->RepaintCount();
            double start = Seconds();
            for (int i = 0; i <= 250; ++i) {
                if (i % 10 == 0) dlg.SetWindowText(("集計中 " + std::to_string(i / 10) + "％").c_str());
                dlg.m_main.SendMessage(PBM_DELTAPOS, 1, 0);
                dlg.m_sub.SendMessage(PBM_SETRANGE, 0, MAKELPARAM(0, 10));
                dlg.m_sub.SetPos(0);
                for (int k = 0; k < 11; ++k) {
                    dlg.m_sub.SendMessage(PBM_DELTAPOS, 1, 0);
                    ::BringWindowToTop(dlg.m_hWnd);
                    ::UpdateWindow(dlg.m_hWnd);
                }
                ::UpdateWindow(dlg.m_hWnd);
            }
            stepping = Seconds() - start;
            painted = backend_->RepaintCount() - before;
            stepped = true;
            // ...then a long step that makes no window call at all.
            for (double t = Seconds(); !looked && Seconds() - t < 60;) ::usleep(1000);
        });
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
    // What the dialog last named stays on the screen the whole time.
    ASSERT_FALSE(titles.empty());
    for (const std::string& title : titles) EXPECT_EQ(title, mbcs::Cp932ToUtf8("集計中 25％"));
    // A caption paints at once, the bars no more than once a frame.
    EXPECT_LE(painted, 26 + static_cast<long>(stepping * 60) + 2);
    dlg.DestroyWindow();
}

}  // namespace

#endif  // ZK_HAVE_FLTK
