#include "suite/ClAccConnect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "SuiteTestHome.h"
#include "suite/ClMsgMgr.h"
#include "suite/SuiteStore.h"
#include "win32/DriveMap.h"
#include "win32/Kernel.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <unistd.h>

namespace {

using suitetest::BuildStore;
using suitetest::UseNewHome;

class Connection : public ::testing::Test {
protected:
    void TearDown() override { ClAccConnect::Inst()->Release(); }
    ClAccConnect* conn = ClAccConnect::Inst();
};

TEST_F(Connection, ProgramWrittenFieldsArePointerWideAfterTheTablePointer)
{
    const char* base = reinterpret_cast<const char*>(conn);
    EXPECT_EQ(reinterpret_cast<const char*>(&conn->m_pszCaption) - base, static_cast<long>(sizeof(void*)));
    EXPECT_EQ(reinterpret_cast<const char*>(&conn->m_hOwnerWnd) - base, static_cast<long>(2 * sizeof(void*)));
}

// The message box speaks to a bookkeeper: beyond the file's path and the
// names of the tools and settings it points to, no ASCII word (no English
// reason) is left in it.
void ExpectJapaneseNamingTheFile(std::string text, const std::string& path)
{
    SCOPED_TRACE(text);
    const size_t at = text.find(path);
    ASSERT_NE(at, std::string::npos) << "the file is not named";
    text.erase(at, path.size());
    for (const char* allowed : {"scripts/make-home.sh", "--force", "--user", "--select", "ZELKOR_HOME", "ZELKOR_STORE"}) {
        for (size_t i; (i = text.find(allowed)) != std::string::npos;) text.erase(i, std::strlen(allowed));
    }
    for (size_t i = 0; i < text.size(); i += mbcs::CharLen(text, i)) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        EXPECT_FALSE(mbcs::CharLen(text, i) == 1 && std::isalpha(c)) << "ASCII letter at " << i;
    }
}

TEST_F(Connection, InitiateOnAMissingStoreFailsWithTheLibrarysOwnMessage)
{
    std::string home = UseNewHome();
    conn->m_pszCaption = "消費税";
    conn->SetAppType(ClSysEnvMgr::APPTYPE_NETWORK);
    conn->SetUseDataType(3);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(conn->IsInitiated());
    EXPECT_EQ(suite::SuiteStore::Current(), nullptr);
    const std::string& text = ClMsgMgr::LastShownText();
    EXPECT_EQ(text.rfind("会計データベースを開けません。\n会計データベースのファイル: " + home + "/suite.db\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("scripts/make-home.sh で作成"), std::string::npos) << text;
    ExpectJapaneseNamingTheFile(text, home + "/suite.db");
    // The technical reason is for standard error only.
    EXPECT_NE(err.find("zelkor: the store " + home + "/suite.db does not exist\n"), std::string::npos) << err;
    EXPECT_EQ(ClMsgMgr::LastShownCaption(), "消費税");

    // The ending of every run is safe after a failed Initiate, and the
    // connection is back to its initial state.
    EXPECT_EQ(conn->LogOut(), SUITE_OK);
    EXPECT_EQ(conn->Terminate(), SUITE_OK);
    EXPECT_EQ(conn->Release(), SUITE_OK);
    EXPECT_EQ(conn->Release(), SUITE_OK);
    EXPECT_EQ(conn->m_pszCaption, nullptr);
    EXPECT_EQ(conn->GetAppType(), 0);
    EXPECT_EQ(conn->ExpSysLink(), 2);
}

TEST_F(Connection, InitiateRefusesAFileThatIsNoStoreAndAnUnknownAppType)
{
    std::string home = UseNewHome();
    { FILE* f = fopen((home + "/suite.db").c_str(), "w"); ASSERT_NE(f, nullptr); fputs("hello, this is text and no database file at all", f); fclose(f); }
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(ClMsgMgr::LastShownText().find("このファイルは会計データベースではないか、壊れています。"), std::string::npos);
    EXPECT_NE(err.find("not a store"), std::string::npos) << err;

    conn->SetAppType(static_cast<ClSysEnvMgr::_AppType>(2));
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_PARAM);
    EXPECT_FALSE(conn->IsInitiated());
}

// Each way a store cannot be opened has its own advice; the box names the
// file and holds no English, standard error holds the reason.
TEST_F(Connection, EveryStoreThatCannotBeOpenedIsExplainedInJapanese)
{
    struct Case {
        const char* name;
        void (*spoil)(const std::string& path);
        const char* advice;  // part of the box
        const char* reason;  // part of standard error
    };
    const Case cases[] = {
        {"missing", [](const std::string&) {}, "このファイルがありません。", "does not exist"},
        {"damaged",
         [](const std::string& path) {
             std::ofstream(path, std::ios::binary) << std::string(4096, '\x5a');
         },
         "壊れています。\nバックアップから戻すか、scripts/make-home.sh --force", "not a store"},
        {"other version",
         [](const std::string& path) {
             suite::SuiteStore store;
             ASSERT_EQ(store.Create(path), SUITE_OK);
             ASSERT_EQ(store.Exec("UPDATE store_info SET version = 2"), SUITE_OK);
         },
         "形式の異なる会計データベース", "unknown format version"},
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); },
         "読み書きできません。", "cannot be opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string home = UseNewHome();
        const std::string path = home + "/suite.db";
        c.spoil(path);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
        const std::string err = ::testing::internal::GetCapturedStderr();
        const std::string& text = ClMsgMgr::LastShownText();
        EXPECT_EQ(text.rfind("会計データベースを開けません。\n会計データベースのファイル: " + path + "\n\n", 0), 0u) << text;
        EXPECT_NE(text.find(c.advice), std::string::npos) << text;
        ExpectJapaneseNamingTheFile(text, path);
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_FALSE(conn->IsInitiated());
    }

    // No path at all: nothing to name, the setting to make instead.
    UseNewHome();
    setenv("ZELKOR_STORE", "", 1);
    PlatformConfig::Reload();
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
    EXPECT_NE(ClMsgMgr::LastShownText().find("場所が設定されていません"), std::string::npos);
    EXPECT_NE(ClMsgMgr::LastShownText().find("ZELKOR_HOME"), std::string::npos);
    unsetenv("ZELKOR_STORE");
    PlatformConfig::Reload();
}

TEST_F(Connection, ExpSysLinkTellsSelectedFromUnselectedAndStoreErrors)
{
    std::string home = UseNewHome();
    BuildStore(home, {"corp-general", "exempt"}, "INSERT INTO selection VALUES (1, 'admin', 1, 4)");
    EXPECT_EQ(conn->ExpSysLink(), 2);  // not initiated
    ASSERT_EQ(conn->Initiate(), SUITE_OK);
    EXPECT_EQ(conn->Initiate(), SUITE_OK);  // a second call keeps the connection
    EXPECT_EQ(conn->ExpSysLink(), 0);
    EXPECT_TRUE(conn->IsLinked());

    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->Exec("UPDATE selection SET data_no = NULL"), SUITE_OK);
    EXPECT_EQ(conn->ExpSysLink(), 1);
    EXPECT_NE(ClMsgMgr::LastShownText().find("データが選択されていません"), std::string::npos);
    EXPECT_NE(ClMsgMgr::LastShownText().find("scripts/make-home.sh の --user と --select"), std::string::npos);
    ExpectJapaneseNamingTheFile(ClMsgMgr::LastShownText(), home + "/suite.db");

    ASSERT_EQ(store->Exec("DELETE FROM selection"), SUITE_OK);
    EXPECT_EQ(conn->ExpSysLink(), 1);
    EXPECT_EQ(ClMsgMgr::LastShownText().rfind("利用者が選択されていません。", 0), 0u);
    ExpectJapaneseNamingTheFile(ClMsgMgr::LastShownText(), home + "/suite.db");

    ASSERT_EQ(store->Exec("DROP TABLE selection"), SUITE_OK);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(conn->ExpSysLink(), 2);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(ClMsgMgr::LastShownText().rfind("会計データベースの読み込みに失敗しました。\n", 0), 0u);
    ExpectJapaneseNamingTheFile(ClMsgMgr::LastShownText(), home + "/suite.db");
    EXPECT_NE(err.find("no such table: selection"), std::string::npos) << err;

    conn->Terminate();
    EXPECT_EQ(suite::SuiteStore::Current(), nullptr);
    EXPECT_EQ(conn->ExpSysLink(), 2);
}

// A file of the store that the host refuses after the store was opened (a
// leftover journal that is a folder) is no damage: the link step and a store
// error during the run point to the permissions, never to --force.
TEST_F(Connection, AStoreFileTheHostRefusesLaterIsNoDamage)
{
    std::string home = UseNewHome();
    BuildStore(home, {"corp-general"}, "INSERT INTO selection VALUES (1, 'admin', 1, 1)");
    ASSERT_EQ(conn->Initiate(), SUITE_OK);
    ASSERT_TRUE(std::filesystem::create_directory(home + "/suite.db-journal"));
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(conn->ExpSysLink(), 2);
    std::string err = ::testing::internal::GetCapturedStderr();
    std::string text = ClMsgMgr::LastShownText();
    EXPECT_NE(text.find("会計データベースの読み込みに失敗しました。"), std::string::npos) << text;
    EXPECT_NE(text.find("ファイルとそのフォルダのアクセス権を確認してください。"), std::string::npos) << text;
    EXPECT_EQ(text.find("壊れて"), std::string::npos) << text;
    EXPECT_EQ(text.find("--force"), std::string::npos) << text;
    EXPECT_NE(err.find(home + "/suite.db cannot be read: disk I/O error"), std::string::npos) << err;

    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Prepare("SELECT count(*) FROM journal").Step(), SUITE_ERR_STORE);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(SUITE_ERR_STORE, -1, 1, nullptr), 0);
    ::testing::internal::GetCapturedStderr();
    text = ClMsgMgr::LastShownText();
    EXPECT_NE(text.find("ファイルとそのフォルダのアクセス権を確認してください。"), std::string::npos) << text;
    EXPECT_EQ(text.find("壊れて"), std::string::npos) << text;

    // Once the folder is gone the store reads again.
    std::filesystem::remove(home + "/suite.db-journal");
    EXPECT_EQ(conn->ExpSysLink(), 0);
}

// A store error met during the run names the store's file; SQLite's reason
// goes to standard error.
TEST_F(Connection, FatalStoreErrorNamesTheStoreFile)
{
    std::string home = UseNewHome();
    BuildStore(home, {"corp-general"}, "INSERT INTO selection VALUES (1, 'admin', 1, 1)");
    ASSERT_EQ(conn->Initiate(), SUITE_OK);
    suite::SuiteStore* store = suite::SuiteStore::Current();
    ASSERT_NE(store, nullptr);
    EXPECT_FALSE(store->Prepare("SELECT * FROM no_such_journal").Valid());
    ClMsgMgr::Inst()->SetLastError(SUITE_ERR_STORE, "AddTax", 4039);
    ::testing::internal::CaptureStderr();
    EXPECT_NE(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(SUITE_ERR_STORE, -1, 1, nullptr), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string& text = ClMsgMgr::LastShownText();
    EXPECT_EQ(text.rfind(ClMsgMgr::StatusText(SUITE_ERR_STORE) + "\n会計データベースのファイル: " + home + "/suite.db\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("AddTax 4039"), std::string::npos) << text;
    EXPECT_EQ(text.find("no_such_journal"), std::string::npos) << text;
    EXPECT_NE(err.find("no such table: no_such_journal"), std::string::npos) << err;

    // Other statuses name no file.
    EXPECT_NE(ClMsgMgr::Inst()->CheckFatalErrorWithMsg(SUITE_ERR_NODATA, -1, 1, nullptr), 0);
    EXPECT_EQ(ClMsgMgr::LastShownText().find(home), std::string::npos);
}

// The environment messages are the program's: the stand-in shows them with
// the package name and says nothing of the program's files (the program's
// check names its definition file itself).
TEST_F(Connection, FilingApplicationMessagesAreShownWithoutNamingTheProgramsFiles)
{
    UseNewHome();
    ::testing::internal::CaptureStderr();
    conn->DispMsg(nullptr, "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。",
                  "消費税", MB_ICONEXCLAMATION);
    const std::string err = ::testing::internal::GetCapturedStderr();
    // Only the headless backend's note of the box that no script answers.
    EXPECT_EQ(err.find("zelkor:"), err.rfind("zelkor:")) << err;
    EXPECT_NE(err.find("the message box"), std::string::npos) << err;
    EXPECT_EQ(err.find("OrlanzenDef.ini"), std::string::npos) << err;
    EXPECT_EQ(ClMsgMgr::LastShownText(),
              "動作環境が不正です。\n消費税のOrlanzenが正しくインストールされているか確認してください。");
}

TEST_F(Connection, DispMsgShowsThePackageNameForTheTokenOnly)
{
    conn->m_pszCaption = "ほか";
    conn->DispMsg(nullptr, "動作環境が不正です。\nES_APRPACKAGENAMEが正しくES_APRPACKAGENAMEか", "消費税", MB_ICONEXCLAMATION);
    EXPECT_EQ(ClMsgMgr::LastShownText(), "動作環境が不正です。\n消費税のOrlanzenが正しく消費税のOrlanzenか");
    EXPECT_EQ(ClMsgMgr::LastShownCaption(), "消費税");

    // "ウ" is 0x83 0x45: its second byte is an 'E' that starts no token.
    const std::string text = "ウS_APRPACKAGENAME";
    ASSERT_EQ(static_cast<unsigned char>(text[1]), 0x45);
    EXPECT_EQ(ClAccConnect::ExpandTokens(text), text);
    EXPECT_EQ(ClAccConnect::ExpandTokens("ES_APRPACKAGENAM"), "ES_APRPACKAGENAM");
    conn->DispMsg(nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(ClMsgMgr::LastShownText(), "");
    EXPECT_EQ(ClMsgMgr::LastShownCaption(), "ほか");
}

}  // namespace
