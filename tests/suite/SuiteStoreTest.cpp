#include "suite/SuiteStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "win32/Mbcs.h"

namespace {

std::string TempDir()
{
    char pattern[] = "/tmp/zk_store_XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

const unsigned char kId[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                               0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

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

TEST(SuiteStoreOpen, RefusesMissingForeignAndExistingFiles)
{
    std::string dir = TempDir();
    suite::SuiteStore store;
    std::string why;
    EXPECT_EQ(store.Open(dir + "/none.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("does not exist"), std::string::npos);
    EXPECT_FALSE(store.IsOpen());

    { std::ofstream(dir + "/text.db") << "not a database at all, just some text that is long enough\n"; }
    EXPECT_EQ(store.Open(dir + "/text.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("not a store"), std::string::npos);

    EXPECT_EQ(store.Create(dir + "/text.db", &why), SUITE_ERR_NOSTORE);
    EXPECT_NE(why.find("already exists"), std::string::npos);

    ASSERT_EQ(store.Create(dir + "/new.db", &why), SUITE_OK) << why;
    store.Close();
    EXPECT_EQ(store.Open(dir + "/new.db", &why), SUITE_OK) << why;
    EXPECT_TRUE(store.IsOpen());
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
