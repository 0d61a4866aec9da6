#include "suite/SuiteStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "win32/Mbcs.h"
#include "tests/support/TestTemp.h"

namespace {

std::string TempDir() { return testtemp::Make("zk_store_"); }

const unsigned char kId[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                               0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

const unsigned char kOtherId[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};

class SuiteStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = TempDir();
        path = dir + "/suite.db";
        std::string why;
        ASSERT_EQ(store.Create(path, &why), SUITE_OK) << why;
    }
    std::string dir;
    std::string path;
    suite::SuiteStore store;
};

TEST_F(SuiteStoreTest, TextIsStoredAsUtf8AndReadAsCodePage932)
{
    suite::Statement ins = store.Prepare(
        "INSERT INTO datasets (data_no, data_id, company_name, period_from, period_to) VALUES (?1, ?2, ?3, ?4, ?5)");
    ASSERT_TRUE(ins.Valid()) << store.LastError();
    const std::string name = "株式会社ソ表";  // code page 932 bytes, with 0x5C trail bytes
    ins.Bind(1, 7).BindBlob(2, kId, sizeof kId).BindText(3, name).Bind(4, 20240401).Bind(5, 20250331);
    ASSERT_EQ(ins.Step(), SUITE_EOD) << ins.ErrorText();

    suite::Statement sel = store.Prepare("SELECT company_name, hex(company_name) FROM datasets WHERE data_no = 7");
    ASSERT_EQ(sel.Step(), SUITE_OK);
    EXPECT_EQ(sel.Text(0), name);
    EXPECT_EQ(sel.Utf8(0), mbcs::Cp932ToUtf8(name));
    EXPECT_EQ(sel.Utf8(1), "E6A0AAE5BC8FE4BC9AE7A4BEE382BDE8A1A8");
    EXPECT_EQ(sel.Step(), SUITE_EOD);

    long long no = 0;
    EXPECT_EQ(store.FindDataNo(kId, &no), SUITE_OK);
    EXPECT_EQ(no, 7);
    unsigned char other[16] = {};
    EXPECT_EQ(store.FindDataNo(other, &no), SUITE_ERR_NODATA);
    EXPECT_EQ(store.FindDataNo(nullptr, &no), SUITE_ERR_PARAM);
}

TEST_F(SuiteStoreTest, SavedFieldsHelperWritesLittleEndianIntoAZeroedRecord)
{
    ASSERT_EQ(store.Exec("INSERT INTO datasets (data_no, data_id, period_from, period_to) "
                         "VALUES (1, zeroblob(16), 20240401, 20250331);"
                         "INSERT INTO saved_tax_fields VALUES (1, 9, 4, 20240401);"
                         "INSERT INTO saved_tax_fields VALUES (1, 24568, 8, -2);"),
              SUITE_OK)
        << store.LastError();
    suite::Statement st = store.Prepare("SELECT info FROM saved_tax WHERE data_no = 1");
    ASSERT_EQ(st.Step(), SUITE_OK);
    ASSERT_EQ(st.BlobSize(0), 24576u);
    std::string blob(24576, '\x7F');
    EXPECT_EQ(st.Blob(0, blob.data(), blob.size()), 24576u);
    EXPECT_EQ(blob.substr(9, 4), std::string("\x11\xD8\x34\x01", 4));
    EXPECT_EQ(blob.substr(24568, 8), std::string("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(blob.find_first_not_of('\0', 13), 24568u);
    EXPECT_EQ(blob.substr(0, 9), std::string(9, '\0'));

    EXPECT_NE(store.Exec("INSERT INTO saved_tax_fields VALUES (1, 24570, 8, 1)"), SUITE_OK);
    EXPECT_NE(store.Exec("INSERT INTO saved_tax_fields VALUES (1, 0, 3, 1)"), SUITE_OK);
}

TEST_F(SuiteStoreTest, BadSqlGivesAnInvalidStatementWithTheReason)
{
    suite::Statement st = store.Prepare("SELECT missing_column FROM nowhere");
    EXPECT_FALSE(st.Valid());
    EXPECT_NE(store.LastError().find("no such"), std::string::npos) << store.LastError();
    EXPECT_EQ(st.Step(), SUITE_ERR_STORE);
}

TEST_F(SuiteStoreTest, ReusedStatementsAreResetWhenHandedBackAndNeverShared)
{
    ASSERT_EQ(store.Exec("CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (1), (2), (3);"), SUITE_OK);
    const std::string sql = "SELECT v FROM t WHERE v >= ?1 ORDER BY v";
    {
        suite::ReusedStatement a = store.Reuse(sql);
        ASSERT_TRUE(a.Valid());
        a->Bind(1, 2);
        ASSERT_EQ(a->Step(), SUITE_OK);
        EXPECT_EQ(a->Int(0), 2);
        // The same text while the first is in use: a statement of its own,
        // which does not disturb the first one's walk.
        suite::ReusedStatement b = store.Reuse(sql);
        ASSERT_TRUE(b.Valid());
        EXPECT_NE(&*a, &*b);
        b->Bind(1, 1);
        ASSERT_EQ(b->Step(), SUITE_OK);
        EXPECT_EQ(b->Int(0), 1);
        ASSERT_EQ(a->Step(), SUITE_OK);
        EXPECT_EQ(a->Int(0), 3);
    }
    // Handed back mid-walk: the next user starts from the beginning, without
    // the old binding (NULL selects nothing).
    suite::ReusedStatement c = store.Reuse(sql);
    EXPECT_EQ(c->Step(), SUITE_EOD);
    EXPECT_FALSE(store.Reuse("SELECT nothing FROM nowhere").Valid());
}

TEST_F(SuiteStoreTest, VersionChangesWithEveryWriteFromThisOrAnotherConnection)
{
    suite::StoreVersion v1, v2, v3, v4;
    ASSERT_TRUE(store.Version(&v1));
    ASSERT_TRUE(store.Version(&v2));
    EXPECT_EQ(v1, v2);
    ASSERT_EQ(store.Exec("INSERT INTO users (user_id) VALUES ('u1')"), SUITE_OK);
    ASSERT_TRUE(store.Version(&v3));
    EXPECT_NE(v2, v3);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "INSERT INTO users (user_id) VALUES ('u2')", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    ASSERT_TRUE(store.Version(&v4));
    EXPECT_NE(v3, v4);

    // Another opening of the same file is another store.
    suite::SuiteStore again;
    ASSERT_EQ(again.Open(path), SUITE_OK);
    suite::StoreVersion v5;
    ASSERT_TRUE(again.Version(&v5));
    EXPECT_NE(v4.serial, v5.serial);
    again.Close();
    EXPECT_FALSE(again.Version(&v5));
}

TEST_F(SuiteStoreTest, DatasetLookUpsFollowChangesOfTheStore)
{
    auto addDataset = [&](long long no, const unsigned char* id) {
        suite::Statement ins = store.Prepare(
            "INSERT INTO datasets (data_no, data_id, period_from, period_to) VALUES (?1, ?2, 20240101, 20241231)");
        ins.Bind(1, no).BindBlob(2, id, 16);
        ASSERT_EQ(ins.Step(), SUITE_EOD) << ins.ErrorText();
    };
    addDataset(3, kId);
    long long no = 0;
    ASSERT_EQ(store.FindDataNo(kId, &no), SUITE_OK);
    EXPECT_EQ(no, 3);
    ASSERT_EQ(store.FindDataNo(kId, &no), SUITE_OK);  // answered from what was kept
    EXPECT_EQ(no, 3);

    // The dataset renumbered by another connection: the next look-up sees it.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "UPDATE datasets SET data_no = 4 WHERE data_no = 3", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(other);
    ASSERT_EQ(store.FindDataNo(kId, &no), SUITE_OK);
    EXPECT_EQ(no, 4);

    // The selection, kept the same way.
    ASSERT_EQ(store.Exec("INSERT INTO users (user_id) VALUES ('admin');"
                         "INSERT INTO selection (id, user_id, data_no) VALUES (1, 'admin', 4)"),
              SUITE_OK);
    ASSERT_EQ(store.SelectedDataNo(&no), SUITE_OK);
    EXPECT_EQ(no, 4);
    ASSERT_EQ(store.SelectedDataNo(&no), SUITE_OK);
    EXPECT_EQ(no, 4);
    addDataset(9, kOtherId);
    ASSERT_EQ(store.Exec("UPDATE selection SET data_no = 9"), SUITE_OK);
    ASSERT_EQ(store.SelectedDataNo(&no), SUITE_OK);
    EXPECT_EQ(no, 9);
    ASSERT_EQ(store.Exec("UPDATE selection SET data_no = NULL"), SUITE_OK);
    EXPECT_EQ(store.SelectedDataNo(&no), SUITE_ERR_NOUSER);

    // Removed through this connection: no longer found.
    ASSERT_EQ(store.Exec("DELETE FROM selection; DELETE FROM datasets"), SUITE_OK);
    EXPECT_EQ(store.FindDataNo(kId, &no), SUITE_ERR_NODATA);
}

TEST(SuiteStoreOpen, RefusesMissingForeignAndExistingFiles)
{
    std::string dir = TempDir();
    suite::SuiteStore store;
    std::string why;
    EXPECT_EQ(store.Open(dir + "/none.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("does not exist"), std::string::npos);
    EXPECT_EQ(store.Problem(), suite::StoreProblem::Missing);
    EXPECT_FALSE(store.IsOpen());

    { std::ofstream(dir + "/text.db") << "not a database at all, just some text that is long enough\n"; }
    EXPECT_EQ(store.Open(dir + "/text.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("not a store"), std::string::npos);
    EXPECT_EQ(store.Problem(), suite::StoreProblem::NotAStore);

    // A folder of the name is no damaged store: it cannot be opened.
    std::filesystem::create_directory(dir + "/folder.db");
    EXPECT_EQ(store.Open(dir + "/folder.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_EQ(store.Problem(), suite::StoreProblem::CannotOpen) << why;
    EXPECT_EQ(store.Open("", &why), SUITE_ERR_NOSTORE);
    EXPECT_EQ(store.Problem(), suite::StoreProblem::NoPath);

    EXPECT_EQ(store.Create(dir + "/text.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("already exists"), std::string::npos);

    ASSERT_EQ(store.Create(dir + "/new.db", &why), SUITE_OK) << why;
    store.Close();
    EXPECT_EQ(store.Open(dir + "/new.db", &why), SUITE_OK) << why;
    EXPECT_TRUE(store.IsOpen());
    EXPECT_EQ(store.Problem(), suite::StoreProblem::None);
}

// The deliverables carry no schema path: a store is created only from a
// schema file that the caller names, and without one no file is left behind.
TEST(SuiteStoreSchema, CreateNeedsTheSchemaFileSetByItsCaller)
{
    const std::string schema = ZK_SOURCE_DIR "/platform/suite/schema.sql";  // as every test program sets it
    std::string dir = TempDir();
    suite::SuiteStore store;
    std::string why;

    suite::SuiteStore::SetSchemaPath("");
    EXPECT_EQ(store.Create(dir + "/unset.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("no schema file"), std::string::npos) << why;
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(std::ifstream(dir + "/unset.db").good());

    suite::SuiteStore::SetSchemaPath(dir + "/missing.sql");
    EXPECT_EQ(store.Create(dir + "/missing.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("schema could not be applied"), std::string::npos) << why;

    suite::SuiteStore::SetSchemaPath(schema);
    EXPECT_EQ(store.Create(dir + "/set.db", &why), SUITE_OK) << why;
}

TEST(SuiteCursorRegistry, UnknownAndReleasedHandlesAreRefused)
{
    size_t before = suite::SuiteCursor::OpenCount();
    SUITECURSOR h = suite::SuiteCursor::Register(std::make_unique<suite::SuiteCursor>());
    ASSERT_NE(h, nullptr);
    EXPECT_NE(suite::SuiteCursor::Find(h), nullptr);
    EXPECT_EQ(suite::SuiteCursor::OpenCount(), before + 1);
    EXPECT_TRUE(suite::SuiteCursor::Release(h));
    EXPECT_EQ(suite::SuiteCursor::Find(h), nullptr);
    EXPECT_FALSE(suite::SuiteCursor::Release(h));
    EXPECT_FALSE(suite::SuiteCursor::Release(nullptr));
    EXPECT_EQ(suite::SuiteCursor::OpenCount(), before);
}

}  // namespace
