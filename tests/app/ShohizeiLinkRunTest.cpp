// Pieces of the export run that work without a connection: the program's
// folder, the filing application's program level, the output path taken
// from the dialog, and the ending of an interrupted run.
#include "app/ShohizeiLinkApp.h"
#include "tests/support/TestTemp.h"

#include "suite/ClMsgMgr.h"
#include "ui/WaitCursor.h"
#include "win32/DriveMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

// A temporary C: drive; the current directory is put in `folder` (a Windows
// path below C:\).
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testtemp::Make("zk_app_");
        DriveMap::SetForTesting("C=" + root, "");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // `name` is the folder's name below the drive, in code page 932.
    void WriteIni(const std::string& name, const char* content)
    {
        const std::string host = root + "/" + mbcs::Cp932ToUtf8(name);
        fs::create_directories(host);
        if (content) std::ofstream(host + "/OrlanzenDef.ini", std::ios::binary) << content;
    }
    std::string LastText() { return ClMsgMgr::LastShownText(); }

    std::string root;
};

// The environment messages as the suite shows them (token expanded).
const char kT1Start[] = "動作環境が不正です。\n消費税のOrlanzen";
const char kT2End[] = "消費税のOrlanzenの最新版を入手してインストールしてからご利用ください。";
const char kT3End[] = "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

TEST_F(ProgramFolder, ProgramLevelOutcomes)
{
    struct Case {
        const char* content;  // null: no file
        int passes;
        const char* message;  // a piece of the expected message, null for none
    };
    const Case cases[] = {
        {"[ProgramLevel]\r\nSY35=4\r\n", 1, nullptr},
        {"[ProgramLevel]\r\nOTHER=1\r\n", 1, nullptr},  // the default 4 stands in
        {"[Other]\r\nSY35=9\r\n", 1, nullptr},
        {"[programlevel]\r\nsy35=4\r\n", 1, nullptr},
        {nullptr, 0, kT1Start},
        {"[ProgramLevel]\r\nSY35=\r\n", 0, kT1Start},
        {"[ProgramLevel]\r\nSY35=3\r\n", 0, kT2End},
        {"[ProgramLevel]\r\nSY35=x4\r\n", 0, kT2End},
        {"[ProgramLevel]\r\nSY35=-4\r\n", 0, kT2End},
        {"[ProgramLevel]\r\nSY35=5\r\n", 0, kT3End},
        {"[ProgramLevel]\r\nSY35=40\r\n", 0, kT3End},
        {"[ProgramLevel]\r\nSY35=4.5\r\n", 1, nullptr},  // read as the C library reads it
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(i);
        const std::string name = "p" + std::to_string(i++);
        WriteIni(name, c.content);
        ASSERT_TRUE(SetCurrentDirectoryA(("C:\\" + name).c_str()));
        ClMsgMgr::ShowMessage(nullptr, "-", nullptr, 0, false);  // forget the last message
        CShohizeiLinkApp app;
        EXPECT_EQ(app.CheckProgramLevel(), c.passes);
        if (c.message) {
            EXPECT_NE(LastText().find(c.message), std::string::npos) << LastText();
            EXPECT_EQ(ClMsgMgr::LastShownCaption(), "消費税");
        } else {
            EXPECT_EQ(LastText(), "-");
        }
    }
}

TEST_F(ProgramFolder, DoubleByteFolderNameEndingInTheSeparatorByte)
{
    // ソ is 0x83 0x5C: the folder's last byte looks like a backslash.
    WriteIni("ソ", "[ProgramLevel]\r\nSY35=5\r\n");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\\x83\x5C"));
    CShohizeiLinkApp app;
    EXPECT_EQ(app.CheckProgramLevel(), 0);
    EXPECT_NE(LastText().find(kT3End), std::string::npos) << LastText();  // the file was found

    // The root keeps its one separator.
    WriteIni("", "[ProgramLevel]\r\nSY35=3\r\n");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(app.CheckProgramLevel(), 0);
    EXPECT_NE(LastText().find(kT2End), std::string::npos) << LastText();
}

TEST_F(ProgramFolder, ProgramFolderBecomesTheCurrentDirectory)
{
    fs::create_directories(root + "/" + mbcs::Cp932ToUtf8("ソ表") + "/bin");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    CShohizeiLinkApp app;
    app.SetProgramPath("C:\\\x83\x5C\x95\x5C\\bin\\Zelkora");
    app.EnterProgramFolder();
    char dir[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof dir, dir);
    EXPECT_STREQ(dir, "C:\\\x83\x5C\x95\x5C\\bin");
}

TEST(TakeOutputPath, PathsUpTo260BytesAreTakenLongerOnesEndTheRun)
{
    CShohizeiLinkApp app;
    ShukeiConditions conditions;
    const std::string fits = "C:\\" + std::string(253, 'a') + ".xml";  // 260 bytes
    ASSERT_EQ(fits.size(), 260u);
    EXPECT_EQ(app.TakeOutputPath(fits.c_str(), &conditions), 1);
    EXPECT_EQ(std::string(conditions.szOutputPath), fits);
    EXPECT_EQ(app.m_nResultCode, RESULT_EXPORTED);

    const std::string longer = "C:\\" + std::string(254, 'a') + ".xml";
    EXPECT_EQ(app.TakeOutputPath(longer.c_str(), &conditions), 0);
    EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
    EXPECT_EQ(std::string(conditions.szOutputPath), fits);  // never cut into another name
}

TEST_F(ProgramFolder, AbandonedRunEndsWhatItBegan)
{
    const std::string host = root + "/out.xml";
    std::ofstream(host) << "<?xml";
    WaitCursor::Reset();
    CShohizeiLinkApp app;
    app.m_pSaveTaxInfo = new BYTE[SAVETAXINFO_BUFFER_SIZE]();
    app.m_pRateInfo = reinterpret_cast<StTAXREPORTRATEINFO*>(new BYTE[501 * 15]());
    app.SetOutputInProgress("C:\\out.xml");
    {
        CFile begun;
        ASSERT_TRUE(begun.Open("C:\\out.xml", CFile::modeCreate | CFile::modeWrite));
    }
    app.BeginRunWaitCursor();
    app.BeginRunWaitCursor();
    ASSERT_TRUE(WaitCursor::IsOn());

    app.AbandonRun(CShohizeiLinkApp::kMsgOverflow);
    EXPECT_EQ(app.m_nResultCode, RESULT_ERROR);
    EXPECT_FALSE(WaitCursor::IsOn());
    EXPECT_FALSE(fs::exists(host));
    EXPECT_EQ(app.m_pSaveTaxInfo, nullptr);
    EXPECT_EQ(app.m_pRateInfo, nullptr);

    // A file the run had finished is no longer its concern.
    std::ofstream(host) << "<REPORT/>";
    CShohizeiLinkApp done;
    done.SetOutputInProgress("C:\\out.xml");
    {
        CFile whole;
        ASSERT_TRUE(whole.Open("C:\\out.xml", CFile::modeCreate | CFile::modeWrite));
        whole.Write("<REPORT/>", 9);
    }
    done.CompleteOutput();
    done.AbandonRun(CShohizeiLinkApp::kMsgNoMemory);
    EXPECT_TRUE(fs::exists(host));
}

// The output is the run's only once the run has opened it: a file at the
// path that the run named but never opened (the previous export, another
// user's) stays, and so does one put at the name after the run's own was
// opened (it is another file).
TEST_F(ProgramFolder, AbandonedRunLeavesFilesItNeverOpened)
{
    const std::string host = root + "/out.xml";
    std::ofstream(host) << "<REPORT/>";
    CShohizeiLinkApp named;
    named.SetOutputInProgress("C:\\out.xml");
    {
        // Read, or another file written: neither makes the output the run's.
        CFile reader;
        ASSERT_TRUE(reader.Open("C:\\out.xml", CFile::modeRead));
        CFile other;
        ASSERT_TRUE(other.Open("C:\\other.xml", CFile::modeCreate | CFile::modeWrite));
    }
    named.AbandonRun(CShohizeiLinkApp::kMsgOverflow);
    EXPECT_EQ(ReadAll(host), "<REPORT/>");
    EXPECT_TRUE(fs::exists(root + "/other.xml"));

    CShohizeiLinkApp replaced;
    replaced.SetOutputInProgress("C:\\out.xml");
    {
        CFile begun;
        ASSERT_TRUE(begun.Open("C:\\out.xml", CFile::modeCreate | CFile::modeWrite));
    }
    // Moved aside (so its inode stays taken) and another file put in its place.
    fs::rename(host, host + ".moved");
    std::ofstream(host) << "another";
    replaced.AbandonRun(CShohizeiLinkApp::kMsgOverflow);
    EXPECT_EQ(ReadAll(host), "another");
    EXPECT_TRUE(fs::exists(host + ".moved"));
}

}  // namespace
