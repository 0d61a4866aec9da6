// A drive map over a fresh temporary folder, with one drive of every type
// and two shares, for the tests of the output-path operations.
#pragma once

#include "conditions/JokenSettingsFile.h"
#include "tests/support/TestTemp.h"
#include "win32/DriveMap.h"
#include "win32/PlatformConfig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

class TestDrives : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = testtemp::Make("zk_conditions_");
        for (const char* dir : {"home", "c", "e", "f", "q", "r", "u", "share"})
            std::filesystem::create_directories(root_ / dir);
        setenv("ZELKOR_HOME", (root_ / "home").c_str(), 1);
        PlatformConfig::Reload();

        const std::string r = root_.string();
        // C fixed, E removable, F remote, G fixed and K removable whose host
        // folders are missing (no access), Q CD-ROM and R RAM disk (both
        // present), U of unknown type; D and Z without a root.
        DriveMap::SetForTesting("C=" + r + "/c;E=" + r + "/e:removable;F=" + r + "/f:remote;G=" + r +
                                    "/missing;K=" + r + "/nodisc:removable;Q=" + r + "/q:cdrom;R=" + r +
                                    "/r:ramdisk;U=" + r + "/u:unknown;D=;Z=",
                                "\\\\srv\\share=" + r + "/share;\\\\srv\\gone=" + r + "/gone");
    }

    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(root_, ec);
        unsetenv("ZELKOR_HOME");
        PlatformConfig::Reload();
    }

    // The host path of a folder of drive C, from UTF-8 components.
    std::filesystem::path OnC(const std::u8string& rel) const { return root_ / "c" / rel; }

    void MakeFile(const std::filesystem::path& p) const { std::ofstream(p) << "x"; }

    std::filesystem::path root_;
};

// The same drives with the remembered-conditions file of the settings folder
// C:\cfg\ (host <root>/c/cfg).
class SettingsFileDrives : public TestDrives {
protected:
    JokenSettingsFile File() const { return JokenSettingsFile("C:\\cfg\\", "Zelkora.env"); }
    std::filesystem::path HostFile() const { return root_ / "c" / "cfg" / "Zelkora.env"; }
    std::filesystem::path NewFile() const { return HostFile().string() + ".new"; }

    // The file's bytes; "<none>" marks a missing file.
    std::string Contents() const
    {
        if (!std::filesystem::exists(HostFile())) return "<none>";
        std::ifstream in(HostFile(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void SetContents(const std::string& bytes) const
    {
        std::filesystem::create_directories(HostFile().parent_path());
        if (bytes == "<none>") {
            std::filesystem::remove(HostFile());
            return;
        }
        std::ofstream(HostFile(), std::ios::binary | std::ios::trunc) << bytes;
    }
};
