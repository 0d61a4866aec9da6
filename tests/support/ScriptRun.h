// One run of the script backend for a test: writes the script, points the
// platform configuration at it and at a transcript file in a folder of its
// own (also the suite home), and starts the backend. Transcript() stops the
// backend and returns what it wrote.
#pragma once

#include "ui/Backends.h"
#include "tests/support/TestTemp.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScriptRun {
public:
    explicit ScriptRun(const std::string& script)
    {
        dir_ = testtemp::Make("zk_ui_");
        std::ofstream(dir_ + "/script.txt", std::ios::binary) << mbcs::Cp932ToUtf8(script);
        ::setenv("ZELKOR_HOME", dir_.c_str(), 1);
        ::setenv("ZELKOR_BACKEND", "script", 1);
        ::setenv("ZELKOR_SCRIPT", (dir_ + "/script.txt").c_str(), 1);
        ::setenv("ZELKOR_TRANSCRIPT", (dir_ + "/transcript.txt").c_str(), 1);
        PlatformConfig::Reload();
        DriveMap::Reload();
        ui::Backends::Start();
    }

    ~ScriptRun()
    {
        // Whatever the test leaves behind goes to no transcript of its own.
        ::setenv("ZELKOR_SCRIPT", "", 1);
        ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
        PlatformConfig::Reload();
        ui::Backends::Start();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    const std::string& Dir() const { return dir_; }

    std::string Transcript()
    {
        ui::Backends::Stop();
        ::setenv("ZELKOR_TRANSCRIPT", "/dev/null", 1);
        PlatformConfig::Reload();
        std::ifstream in(dir_ + "/transcript.txt", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string dir_;
};
