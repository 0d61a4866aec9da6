#include "suite/ClAccConnect.h"

#include <gtest/gtest.h>

#include "SuiteTestHome.h"
#include "suite/ClMsgMgr.h"
#include "suite/SuiteStore.h"

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

TEST_F(Connection, InitiateOnAMissingStoreFailsWithTheLibrarysOwnMessage)
{
    std::string home = UseNewHome();
    conn->m_pszCaption = "消費税";
    conn->SetAppType(ClSysEnvMgr::APPTYPE_NETWORK);
    conn->SetUseDataType(3);
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
    EXPECT_FALSE(conn->IsInitiated());
    EXPECT_EQ(suite::SuiteStore::Current(), nullptr);
    const std::string& text = ClMsgMgr::LastShownText();
    EXPECT_EQ(text.rfind("会計データベースを開けません。", 0), 0u) << text;
    EXPECT_NE(text.find(home + "/suite.db"), std::string::npos) << text;
    EXPECT_NE(text.find("does not exist"), std::string::npos) << text;
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
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_NOSTORE);
    EXPECT_NE(ClMsgMgr::LastShownText().find("not a store"), std::string::npos);

    conn->SetAppType(static_cast<ClSysEnvMgr::_AppType>(2));
    EXPECT_EQ(conn->Initiate(), SUITE_ERR_PARAM);
    EXPECT_FALSE(conn->IsInitiated());
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

    ASSERT_EQ(store->Exec("DELETE FROM selection"), SUITE_OK);
    EXPECT_EQ(conn->ExpSysLink(), 1);

    ASSERT_EQ(store->Exec("DROP TABLE selection"), SUITE_OK);
    EXPECT_EQ(conn->ExpSysLink(), 2);

    conn->Terminate();
    EXPECT_EQ(suite::SuiteStore::Current(), nullptr);
    EXPECT_EQ(conn->ExpSysLink(), 2);
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
