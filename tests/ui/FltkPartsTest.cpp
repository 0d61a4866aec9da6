// The parts of the real-window backend that need no display: texts at the
// screen's edge, dialog units, and the keyboard mapping checked against the
// framework's own key translation.
#ifdef ZK_HAVE_FLTK

#include "FltkTestDialog.h"
#include "ui/Backends.h"
#include "ui/Input.h"
#include "ui/fltk/DialogUnits.h"
#include "ui/fltk/KeyMap.h"
#include "ui/fltk/SaveBoxStart.h"
#include "ui/fltk/TextEdge.h"
#include "tests/support/TestTemp.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <FL/Enumerations.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using ui::TextEdge;

TEST(FltkTextEdge, LabelsDropAccessKeyMarkersAndUnderlineTheirLetter)
{
    TextEdge::Label l = TextEdge::MakeLabel("集計期間を指定して仕訳を集計する(&N)");
    EXPECT_EQ(l.text, mbcs::Cp932ToUtf8("集計期間を指定して仕訳を集計する(N)"));
    ASSERT_GE(l.underline, 0);
    EXPECT_EQ(l.text[static_cast<size_t>(l.underline)], 'N');

    TextEdge::Label amp = TextEdge::MakeLabel("A&&B");
    EXPECT_EQ(amp.text, "A&B");
    EXPECT_EQ(amp.underline, -1);

    // Double-byte characters ending in a backslash byte stay whole.
    TextEdge::Label dbcs = TextEdge::MakeLabel("ソ表&X");
    EXPECT_EQ(dbcs.text, mbcs::Cp932ToUtf8("ソ表X"));
    EXPECT_EQ(dbcs.text[static_cast<size_t>(dbcs.underline)], 'X');

    TextEdge::Label keep = TextEdge::MakeLabel("A&B", false);
    EXPECT_EQ(keep.text, "A&B");
    EXPECT_EQ(keep.underline, -1);
}

TEST(FltkTextEdge, OffsetsMoveBetweenEncodingsOnCharacterBoundaries)
{
    std::string cp = "C:\\出力\\a";  // 出 and 力 are two bytes each, three in UTF-8
    std::string u = mbcs::Cp932ToUtf8(cp);
    EXPECT_EQ(TextEdge::Utf8Offset(cp, 0), 0u);
    EXPECT_EQ(TextEdge::Utf8Offset(cp, 3), 3u);
    EXPECT_EQ(TextEdge::Utf8Offset(cp, 5), 6u);
    EXPECT_EQ(TextEdge::Utf8Offset(cp, 4), 3u);  // inside 出: its start
    EXPECT_EQ(TextEdge::Utf8Offset(cp, cp.size()), u.size());
    EXPECT_EQ(TextEdge::Utf8Offset(cp, 999), u.size());
    for (size_t i = 0; i <= cp.size(); i += mbcs::CharLen(cp, i)) {
        EXPECT_EQ(TextEdge::Cp932Offset(u, TextEdge::Utf8Offset(cp, i)), i);
        if (i == cp.size()) break;
    }
    EXPECT_EQ(TextEdge::Cp932Offset(u, 4), 3u);  // inside 出
    EXPECT_EQ(TextEdge::Boundaries(u).size(), 8u);  // seven characters
}

TEST(FltkTextEdge, FiltersBecomeTheChoosersPatterns)
{
    // The chooser shows "name (pattern)" itself: a description's own pattern
    // is left out (also "*.*" for everything, and a list written otherwise).
    std::vector<std::pair<std::string, std::string>> f = {{"XML ファイル (*.xml)", "*.xml"},
                                                          {"すべてのファイル (*.*)", "*.*"},
                                                          {"表", "*.xml; *.txt"},
                                                          {"表(*.XML, *.TXT)", "*.xml;*.txt"},
                                                          {"", ""}};
    EXPECT_EQ(TextEdge::FileFilter(f), mbcs::Cp932ToUtf8("XML ファイル \t*.xml\nすべてのファイル \t*\n表 \t{*.xml,*.txt}\n"
                                                         "表 \t{*.xml,*.txt}"));
    // Any other parenthesis would be taken for the pattern's: it is given
    // full-width; a backslash is the chooser's escape character.
    EXPECT_EQ(TextEdge::FileFilter({{"XML (旧) (*.csv)", "*.xml"}, {"a\\b", "*"}}),
              mbcs::Cp932ToUtf8("XML （旧） （*.csv） \t*.xml\n") + "a\\\\b \t*");
    EXPECT_TRUE(TextEdge::HasWildcards("*.xml"));
    EXPECT_FALSE(TextEdge::HasWildcards("out.xml"));
}

TEST(FltkTextEdge, WrapBreaksAtLineFeedsAndBeforeTheCharacterThatOverflows)
{
    auto width = [](const std::string& s) { return static_cast<double>(TextEdge::Boundaries(s).size() - 1) * 10; };
    std::string text = mbcs::Cp932ToUtf8("あいうえおかきくけこ\n\nabc def");
    std::vector<std::string> lines = TextEdge::Wrap(text, 45, width);
    std::vector<std::string> expect = {mbcs::Cp932ToUtf8("あいうえ"), mbcs::Cp932ToUtf8("おかきく"),
                                       mbcs::Cp932ToUtf8("けこ"), "", "abc ", "def"};
    EXPECT_EQ(lines, expect);
    // A character wider than the limit still makes a line of its own.
    EXPECT_EQ(TextEdge::Wrap("ab", 5, width), (std::vector<std::string>{"a", "b"}));
}

// The save box opens in the nearest existing folder of its path, on the
// path's own drive or share, else at C:'s root; a path without a folder lies
// in the current directory.
TEST(FltkSaveBoxStart, TheNearestExistingFolderOfThePathOnItsOwnDrive)
{
    testtemp::Folder tmp("zk_fltkparts_");
    ASSERT_FALSE(tmp.Path().empty());
    const std::string c = tmp.Path() + "/c", share = tmp.Path() + "/share";
    for (const std::string& dir : {c + "/Zelkor", c + mbcs::Cp932ToUtf8("/出力ソ"), share + "/x"})
        std::filesystem::create_directories(dir);
    DriveMap::SetForTesting("C=" + c + ";D=" + tmp.Path() + "/no-such-folder", "\\\\srv\\data=" + share);
    struct Case {
        const char* dir;
        const char* file;
        const char* opened;  // Windows
        const char* host;    // the same below the test's folder (UTF-8)
        const char* name;
    };
    // ソ ends in the byte of a backslash.
    const Case cases[] = {
        {"C:\\Zelkor\\Output\\", "*.xml", "C:\\Zelkor\\", "/c/Zelkor", "*.xml"},
        {"C:\\Zelkor\\", "out.xml", "C:\\Zelkor\\", "/c/Zelkor", "out.xml"},
        {"C:\\zelkor\\output", "out.xml", "C:\\zelkor\\", "/c/Zelkor", "out.xml"},  // no separator; case ignored
        {"", "C:\\Zelkor\\Output\\first.xml", "C:\\Zelkor\\", "/c/Zelkor", "first.xml"},
        {"C:\\Other\\", "C:\\a\\b\\first.xml", "C:\\", "/c", "first.xml"},  // the file's own folder counts
        {"C:\\出力ソ\\下\\", "集計表.xml", "C:\\出力ソ\\", "/c/出力ソ", "集計表.xml"},
        {"\\\\srv\\data\\x\\y\\", "out.xml", "\\\\srv\\data\\x\\", "/share/x", "out.xml"},
        {"\\\\srv\\data\\z\\", "out.xml", "\\\\srv\\data\\", "/share", "out.xml"},
        {"\\\\srv\\none\\", "out.xml", "C:\\", "/c", "out.xml"},  // a share with no mapping
        {"Q:\\Output\\", "out.xml", "C:\\", "/c", "out.xml"},      // a drive with no mapping
        {"D:\\Output\\", "out.xml", "C:\\", "/c", "out.xml"},      // a drive whose root is missing
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.dir) + " " + k.file);
        const ui::SaveBoxStart start = ui::SaveBoxStart::For(k.dir, k.file);
        EXPECT_EQ(start.windowsDir, k.opened);
        EXPECT_EQ(start.name, k.name);
        std::error_code ec;
        EXPECT_TRUE(std::filesystem::equivalent(start.hostDir, tmp.Path() + mbcs::Cp932ToUtf8(k.host), ec))
            << start.hostDir;
    }
    // A bare name: the current directory, wherever that is.
    const ui::SaveBoxStart bare = ui::SaveBoxStart::For("", "out.xml");
    EXPECT_EQ(bare.windowsDir, DriveMap::FullPath(DriveMap::CurrentDirectory() + "\\"));
    EXPECT_EQ(bare.name, "out.xml");
    DriveMap::Reload();
}

TEST(FltkDialogUnits, BaseUnitsAndConversionFollowTheSystemsRule)
{
    // 52 letters 368 pixels wide: 14 per pair, (14 + 1) / 2 = 7.
    ui::DialogUnits::Base b = ui::DialogUnits::FromMetrics(368, 13);
    EXPECT_EQ(b.x, 7);
    EXPECT_EQ(b.y, 13);
    EXPECT_EQ(ui::DialogUnits::X(255, b), 446);  // 255 * 7 / 4 = 446.25
    EXPECT_EQ(ui::DialogUnits::Y(297, b), 483);  // 297 * 13 / 8 = 482.6
    EXPECT_EQ(ui::DialogUnits::X(2, b), 4);      // 3.5 rounds up
    EXPECT_EQ(ui::DialogUnits::PixelsOfPoints(9), 12);
    EXPECT_STREQ(ui::DialogUnits::XftNameFor("ＭＳ Ｐゴシック"), " IPAPGothic");
    EXPECT_STREQ(ui::DialogUnits::XftNameFor("ＭＳ ゴシック"), " IPAGothic");
    EXPECT_NE(ui::DialogUnits::FontFor("ＭＳ Ｐゴシック"), ui::DialogUnits::FontFor("ＭＳ ゴシック"));
}

TEST(FltkKeyMap, KeysBecomeWindowsKeyCodes)
{
    using ui::KeyMap;
    EXPECT_EQ(KeyMap::VirtualKey(FL_KP + '1'), VK_NUMPAD1);
    EXPECT_EQ(KeyMap::VirtualKey(FL_KP + '4'), VK_NUMPAD4);
    EXPECT_EQ(KeyMap::VirtualKey(FL_F + 12), VK_F12);
    EXPECT_EQ(KeyMap::VirtualKey(FL_Enter), VK_RETURN);
    EXPECT_EQ(KeyMap::VirtualKey(FL_KP_Enter), VK_RETURN);
    EXPECT_EQ(KeyMap::VirtualKey(FL_Escape), VK_ESCAPE);
    EXPECT_EQ(KeyMap::VirtualKey('n'), 'N');
    EXPECT_EQ(KeyMap::VirtualKey('7'), '7');
    EXPECT_EQ(KeyMap::VirtualKey(FL_Shift_L), 0);
    EXPECT_EQ(KeyMap::Modifiers(FL_ALT | FL_SHIFT), ui::Input::Alt | ui::Input::Shift);
    EXPECT_EQ(KeyMap::Modifiers(FL_CTRL | FL_NUM_LOCK), ui::Input::Ctrl);
}

// What a key types must arrive once: either the framework's translation of
// the key message types it, or the backend types the key's text. Checked
// against the framework itself on a real edit.
TEST(FltkKeyMap, FrameworkTypesExactlyTheKeysItTranslates)
{
    ::setenv("ZELKOR_BACKEND", "script", 1);
    ::setenv("ZELKOR_SCRIPT", "", 1);
    ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
    PlatformConfig::Reload();
    ui::Backends::Start();
    RegisterFltkTestTemplates();
    CFltkTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_FLTK_TEST));
    dlg.ShowWindow(SW_SHOW);
    HWND edit = ::GetDlgItem(dlg.m_hWnd, IDC_F_PATH);
    std::vector<int> keys = {VK_SPACE, VK_NUMPAD0, VK_NUMPAD9, 0xBA, 0xBC, 0xBD, 0xBE, 0xBF, 0xDC, VK_DELETE};
    for (int k = 'A'; k <= 'Z'; ++k) keys.push_back(k);
    for (int k = '0'; k <= '9'; ++k) keys.push_back(k);
    int checked = 0;
    for (int vk : keys) {
        for (int mods : {0, int(ui::Input::Shift), int(ui::Input::Ctrl)}) {
            ::SetWindowTextA(edit, "");
            ::SetFocus(edit);
            ui::Input::Key(dlg.m_hWnd, vk, mods);
            bool typed = ::GetWindowTextLengthA(edit) > 0;
            EXPECT_EQ(typed, ui::KeyMap::FrameworkTypes(vk, mods)) << "vk " << vk << " modifiers " << mods;
            ++checked;
        }
    }
    EXPECT_EQ(checked, static_cast<int>(keys.size()) * 3);
    dlg.DestroyWindow();
}

#endif  // ZK_HAVE_FLTK
