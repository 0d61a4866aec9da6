// A drive S: that several host users share, outside every suite home, with
// the settings folder S:\Settings\ that the end-to-end tests of a shared
// settings file run the deliverables on. Removed with the test.
#pragma once

#include "RunHarness.h"
#include "tests/support/TestTemp.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace e2e {

class SharedDrive {
public:
    SharedDrive() : m_root(testtemp::Make("zk_shared_"))
    {
        namespace fs = std::filesystem;
        fs::permissions(m_root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    }
    ~SharedDrive()
    {
        if (std::getenv("ZK_KEEP_E2E") == nullptr) testtemp::Remove(m_root);
    }
    SharedDrive(const SharedDrive&) = delete;
    SharedDrive& operator=(const SharedDrive&) = delete;

    const std::string& Root() const { return m_root; }
    std::string Folder() const { return m_root + "/Settings"; }
    std::string File(const std::string& name = "Zelkora.env") const { return Folder() + "/" + name; }

    // The office's settings folder (`mode`, root's, of the group `office`)
    // with a settings file of `owner` and that group, 0664, holding `bytes`.
    void MakeOfficeFolder(mode_t mode, unsigned office, unsigned owner, const std::string& bytes,
                          const std::string& name = "Zelkora.env") const
    {
        std::filesystem::create_directories(Folder());
        EXPECT_EQ(::chown(Folder().c_str(), 0, office), 0);
        EXPECT_EQ(::chmod(Folder().c_str(), mode), 0);
        std::ofstream(File(name), std::ios::binary | std::ios::trunc) << bytes;
        EXPECT_EQ(::chown(File(name).c_str(), owner, office), 0);
        EXPECT_EQ(::chmod(File(name).c_str(), 0664), 0);
    }

    // A settings folder of this process's user with a file holding `bytes`.
    void MakePlainFolder(const std::string& bytes) const
    {
        std::filesystem::create_directories(Folder());
        std::ofstream(File(), std::ios::binary | std::ios::trunc) << bytes;
    }

    // A user's machine: a suite home of its own whose current suite user is
    // `suiteUser`, the settings folder on this drive, and `env` besides.
    void Equip(RunHarness& h, const std::string& suiteUser, const std::vector<std::string>& env = {}) const
    {
        h.BuildHome({"corp-general"}, 1);
        h.ExecSql("INSERT OR IGNORE INTO users (user_id, name) VALUES ('" + suiteUser + "', '" + suiteUser + "')");
        h.ExecSql("UPDATE selection SET user_id = '" + suiteUser + "'");
        h.OpenToAllUsers();
        Environment(h, env);
    }
    void Environment(RunHarness& h, const std::vector<std::string>& env) const
    {
        std::vector<std::string> all = {"ZELKOR_DRIVES=S=" + m_root, "ZELKOR_SETTINGS_FOLDER=S:\\Settings\\"};
        // The host shim is preloaded ahead of the sanitizer's runtime.
        if (!env.empty()) all.push_back("ASAN_OPTIONS=verify_asan_link_order=0");
        all.insert(all.end(), env.begin(), env.end());
        h.SetExtraEnvironment(all);
    }

private:
    std::string m_root;
};

inline bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace e2e
