// Which format versions of a store file are opened: only the one this
// library writes. A version that is missing, of another type or of another
// value is refused as a store of another version, before anything is read.
#include "suite/SuiteStore.h"
#include "tests/support/TestTemp.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <string>

namespace {

std::string TempDir() { return testtemp::Make("zk_format_"); }

// A new store whose version row is then rewritten by `sql` (on a table
// without the schema's constraints, so that any value can stand there).
std::string StoreWithVersion(const std::string& dir, const std::string& name, const std::string& sql)
{
    const std::string path = dir + "/" + name + ".db";
    {
        suite::SuiteStore store;
        std::string why;
        EXPECT_EQ(store.Create(path, &why), SUITE_OK) << why;
    }
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string all = "DROP TABLE store_info; CREATE TABLE store_info (id INTEGER PRIMARY KEY, version); " + sql;
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, all.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
    return path;
}

TEST(SuiteStoreOpen, RefusesEveryFormatVersionButItsOwn)
{
    const std::string dir = TempDir();
    struct Case {
        const char* name;
        const char* sql;
    };
    const Case refused[] = {
        {"null", "INSERT INTO store_info VALUES (1, NULL);"},
        {"zero", "INSERT INTO store_info VALUES (1, 0);"},
        {"next", "INSERT INTO store_info VALUES (1, 2);"},
        {"text", "INSERT INTO store_info VALUES (1, '1');"},
        {"textsuffix", "INSERT INTO store_info VALUES (1, '1a');"},
        {"real", "INSERT INTO store_info VALUES (1, 1.5);"},
        {"blob", "INSERT INTO store_info VALUES (1, X'01');"},
        {"norow", ""},
        {"otherrow", "INSERT INTO store_info VALUES (2, 1);"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        const std::string path = StoreWithVersion(dir, c.name, c.sql);
        suite::SuiteStore store;
        std::string why;
        EXPECT_EQ(store.Open(path, &why), SUITE_ERR_NOSTORE);
        EXPECT_NE(why.find("unknown format version"), std::string::npos) << why;
        EXPECT_EQ(store.Problem(), suite::StoreProblem::OtherVersion);
        EXPECT_FALSE(store.IsOpen());
    }

    // The same table holding this library's version opens.
    const std::string good = StoreWithVersion(dir, "good", "INSERT INTO store_info VALUES (1, 1);");
    suite::SuiteStore store;
    std::string why;
    EXPECT_EQ(store.Open(good, &why), SUITE_OK) << why;
    EXPECT_TRUE(store.IsOpen());
}

}  // namespace
