#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SuiteTestHome.h"
#include "suite/SuiteStore.h"
#include "win32/Mbcs.h"

namespace {

using suitetest::MakeTempDir;
using suitetest::SourceDir;

std::vector<std::string> SampleNames()
{
    std::vector<std::string> names;
    DIR* dir = opendir((SourceDir() + "/samples").c_str());
    if (!dir) return names;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".sql") == 0 && name != "users.sql") {
            names.push_back(name.substr(0, name.size() - 4));
        }
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// Runs `command`, with its standard error taken; the exit status of the shell.
int ShellErr(const std::string& command, std::string* err)
{
    err->clear();
    FILE* p = popen((command + " 2>&1 >/dev/null").c_str(), "r");
    if (!p) return -1;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) err->append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The store of `home` selects `user`'s dataset `dataNo`.
void ExpectSelection(const std::string& home, const std::string& user, int dataNo)
{
    suite::SuiteStore store;
    ASSERT_EQ(store.Open(home + "/suite.db"), SUITE_OK);
    suite::Statement sel = store.Prepare("SELECT user_id, data_no FROM selection");
    ASSERT_EQ(sel.Step(), SUITE_OK);
    EXPECT_EQ(sel.Utf8(0), user);
    EXPECT_EQ(sel.Int(1), dataNo);
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The names in a folder ("" for none).
std::string Listing(const std::string& dir)
{
    std::string names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") names += n + " ";
        }
        closedir(d);
    }
    return names;
}

long long Count(suite::SuiteStore& store, const std::string& sql)
{
    suite::Statement st = store.Prepare(sql);
    return st.Step() == SUITE_OK ? st.Int(0) : -1;
}

// Every sample loads with the sqlite3 shell through the home script, in one
// home together, without an error.
TEST(Samples, EverySampleLoadsWithTheSqliteShell)
{
    std::vector<std::string> names = SampleNames();
    ASSERT_GE(names.size(), 5u);
    std::string home = MakeTempDir() + "/home";
    std::string command = "bash " + SourceDir() + "/scripts/make-home.sh " + home;
    for (const std::string& n : names) command += " " + n;
    ASSERT_EQ(Shell(command), 0) << command;

    suite::SuiteStore store;
    std::string why;
    ASSERT_EQ(store.Open(home + "/suite.db", &why), SUITE_OK) << why;
    EXPECT_GE(Count(store, "SELECT count(*) FROM datasets"), static_cast<long long>(names.size()));
    EXPECT_EQ(Count(store, "SELECT count(*) FROM datasets WHERE data_no NOT IN (SELECT data_no FROM tax_settings)"), 0);
    EXPECT_GE(Count(store, "SELECT count(*) FROM saved_tax"), 2);
    EXPECT_EQ(Count(store, "SELECT count(*) FROM datasets WHERE past_data_code = 99"), 1);
    EXPECT_GE(Count(store, "SELECT count(DISTINCT taxation_kind) FROM tax_settings"), 3);
    EXPECT_EQ(Count(store, "SELECT count(*) FROM saved_tax WHERE length(info) <> 24576"), 0);
    EXPECT_EQ(Count(store, "SELECT data_no FROM selection"), 1);  // the first dataset loaded
    suite::Statement fk = store.Prepare("PRAGMA foreign_key_check");
    EXPECT_EQ(fk.Step(), SUITE_EOD);

    // Each sample alone loads too (its own dataset is then the selected one).
    for (const std::string& n : names) {
        std::string single = MakeTempDir() + "/home";
        EXPECT_EQ(Shell("bash " + SourceDir() + "/scripts/make-home.sh " + single + " " + n), 0) << n;
    }
}

TEST(Samples, HomeScriptOptionsAndSavedValuesImport)
{
    std::string home = MakeTempDir() + "/home";
    std::string script = "bash " + SourceDir() + "/scripts/make-home.sh ";
    ASSERT_EQ(Shell(script + "--user tanaka --select 3 " + home + " corp-general indiv-general"), 0);
    EXPECT_NE(Shell(script + home + " corp-general"), 0);  // the store exists
    EXPECT_NE(Shell(script + "--force " + home + " no-such-sample"), 0);
    ASSERT_EQ(Shell(script + "--force --no-select " + home + " exempt"), 0);
    {
        suite::SuiteStore store;
        ASSERT_EQ(store.Open(home + "/suite.db"), SUITE_OK);
        suite::Statement st = store.Prepare("SELECT user_id, data_no FROM selection");
        ASSERT_EQ(st.Step(), SUITE_OK);
        EXPECT_EQ(st.Utf8(0), "admin");
        EXPECT_TRUE(st.IsNull(1));
    }
    ASSERT_EQ(Shell(script + "--force --user tanaka --select 3 " + home + " corp-general indiv-general"), 0);

    std::string blobPath = MakeTempDir() + "/saved.bin";
    {
        std::ofstream out(blobPath, std::ios::binary);
        for (int i = 0; i < 24576; ++i) out.put(static_cast<char>(i * 7 + 3));
    }
    std::string import = "bash " + SourceDir() + "/scripts/import-saved.sh " + home + " ";
    ASSERT_EQ(Shell(import + "3 " + blobPath), 0);
    EXPECT_NE(Shell(import + "9 " + blobPath), 0);  // no such dataset
    std::string shortPath = blobPath + ".short";
    { std::ofstream(shortPath, std::ios::binary) << "short"; }
    EXPECT_NE(Shell(import + "1 " + shortPath), 0);

    ExpectSelection(home, "tanaka", 3);
    suite::SuiteStore store;
    ASSERT_EQ(store.Open(home + "/suite.db"), SUITE_OK);
    suite::Statement st = store.Prepare("SELECT info FROM saved_tax WHERE data_no = 3");
    ASSERT_EQ(st.Step(), SUITE_OK);
    std::string blob(24576, '\0');
    ASSERT_EQ(st.Blob(0, blob.data(), blob.size()), 24576u);
    for (int i = 0; i < 24576; ++i) ASSERT_EQ(static_cast<unsigned char>(blob[i]), static_cast<unsigned char>(i * 7 + 3)) << i;
    EXPECT_EQ(Count(store, "SELECT count(*) FROM saved_tax WHERE data_no = 1"), 1);  // the sample's own values stay
}

// A user or dataset that is not in the samples is named with the ones that
// are; the run fails and leaves neither a new store nor a changed old one.
TEST(Samples, HomeScriptRefusesAnUnknownUserOrDatasetAndLeavesNoStore)
{
    const std::string parent = MakeTempDir();
    const std::string home = parent + "/home";
    const std::string script = "bash " + SourceDir() + "/scripts/make-home.sh ";
    std::string err;

    EXPECT_EQ(ShellErr(script + "--user nobodyhere " + home + " corp-general", &err), 1);
    EXPECT_NE(err.find("no user \"nobodyhere\""), std::string::npos) << err;
    EXPECT_NE(err.find("admin, tanaka"), std::string::npos) << err;
    EXPECT_EQ(err.find("FOREIGN KEY"), std::string::npos) << err;
    EXPECT_EQ(Listing(parent), "") << "the home folder this run made stays behind";

    EXPECT_EQ(ShellErr(script + "--select 9 " + home + " corp-general indiv-general", &err), 1);
    EXPECT_NE(err.find("no dataset 9"), std::string::npos) << err;
    EXPECT_NE(err.find(mbcs::Cp932ToUtf8("1 (株式会社サンプル商事), 3 (山田 太郎)")), std::string::npos) << err;
    EXPECT_EQ(Listing(parent), "");

    EXPECT_EQ(ShellErr(script + "--select x " + home + " corp-general", &err), 2);
    EXPECT_NE(err.find("\"x\""), std::string::npos) << err;

    // A home that exists keeps its store under --force: the replacement was
    // never complete.
    ASSERT_EQ(Shell(script + "--user tanaka --select 3 " + home + " corp-general indiv-general"), 0);
    for (const char* bad : {"--user nobodyhere", "--select 9", "--select 3"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(ShellErr(script + "--force " + bad + " " + home + " corp-general", &err), 1) << err;
        EXPECT_EQ(Listing(home), "suite.db ");
        ExpectSelection(home, "tanaka", 3);
    }
    EXPECT_TRUE(Exists(home + "/suite.db"));
}

// Without its arguments the script shows its usage: the comment at its top,
// not a line of its code.
TEST(Samples, HomeScriptUsageIsItsCommentOnly)
{
    std::string err;
    ASSERT_EQ(ShellErr("bash " + SourceDir() + "/scripts/make-home.sh", &err), 2);
    EXPECT_EQ(err.rfind("Creates a suite home", 0), 0u) << err;
    EXPECT_NE(err.find("\n  scripts/make-home.sh [--force]"), std::string::npos) << err;
    EXPECT_NE(err.find("--no-select"), std::string::npos) << err;
    EXPECT_EQ(err.find("set -euo"), std::string::npos) << err;
    EXPECT_EQ(err.find('#'), std::string::npos) << err;
    EXPECT_EQ(ShellErr("bash " + SourceDir() + "/scripts/make-home.sh --user", &err), 2);
    EXPECT_NE(err.find("--user needs a value"), std::string::npos) << err;
    // Asked for, the same text is the answer, on standard output.
    const std::string dir = testtemp::Make("zk_home_help_");
    EXPECT_EQ(ShellErr("(bash " + SourceDir() + "/scripts/make-home.sh --help >" + dir + "/out.txt)", &err), 0) << err;
    std::ifstream in(dir + "/out.txt");
    const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(out.rfind("Creates a suite home", 0), 0u) << out;
    EXPECT_TRUE(err.empty()) << err;
}

}  // namespace
