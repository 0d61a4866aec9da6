// A temporary suite home with a store built from the sample files, for the
// suite tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "suite/ClAccConnect.h"
#include "suite/SuiteStore.h"
#include "tests/support/TestTemp.h"
#include "win32/PlatformConfig.h"

namespace suitetest {

inline std::string SourceDir()
{
    const char* dir = std::getenv("ZK_SOURCE_DIR");
    return dir ? dir : ZK_SOURCE_DIR;
}

inline std::string MakeTempDir() { return testtemp::Make("zk_suite_"); }

// Points the platform at a fresh, empty suite home.
inline std::string UseNewHome()
{
    std::string home = MakeTempDir();
    setenv("ZELKOR_HOME", home.c_str(), 1);
    unsetenv("ZELKOR_STORE");
    PlatformConfig::Reload();
    return home;
}

// Creates HOME/suite.db from the schema, the users and the named samples;
// `selectSql` then sets the selection (empty: none).
inline void BuildStore(const std::string& home, std::initializer_list<const char*> samples,
                       const std::string& selectSql)
{
    suite::SuiteStore store;
    std::string why;
    ASSERT_EQ(store.Create(home + "/suite.db", &why), SUITE_OK) << why;
    ASSERT_EQ(store.ExecFile(SourceDir() + "/samples/users.sql"), SUITE_OK) << store.LastError();
    for (const char* name : samples) {
        ASSERT_EQ(store.ExecFile(SourceDir() + "/samples/" + name + ".sql"), SUITE_OK) << name << ": " << store.LastError();
    }
    if (!selectSql.empty()) {
        ASSERT_EQ(store.Exec(selectSql), SUITE_OK) << store.LastError();
    }
}

// A connected suite over the five samples with dataset `selected` chosen by
// the user "admin".
class ConnectedSuite : public ::testing::Test {
protected:
    void Connect(int selected)
    {
        home = UseNewHome();
        BuildStore(home, {"corp-general", "corp-simplified", "indiv-general", "exempt", "past-results"},
                   "INSERT INTO selection VALUES (1, 'admin', 7, " + std::to_string(selected) + ")");
        ClAccConnect* conn = ClAccConnect::Inst();
        conn->SetAppType(ClSysEnvMgr::APPTYPE_STANDARD);
        conn->SetUseDataType(3);
        ASSERT_EQ(conn->Initiate(), SUITE_OK);
        ASSERT_EQ(conn->ExpSysLink(), 0);
    }
    void TearDown() override
    {
        ClAccConnect::Inst()->LogOut();
        ClAccConnect::Inst()->Terminate();
        ClAccConnect::Inst()->Release();
    }
    std::string home;
};

}  // namespace suitetest
