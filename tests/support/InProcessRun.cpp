#include "InProcessRun.h"

#include "app/ShohizeiLinkApp.h"
#include "tests/suite/SuiteTestHome.h"
#include "ui/Backends.h"
#include "ui/WaitCursor.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

void InProcessRun::SetUp()
{
    home = suitetest::UseNewHome();
    setenv("ZELKOR_CALLER_DIR", (home + "/callers").c_str(), 1);
    setenv("ZELKOR_TRANSCRIPT", (home + "/transcript.txt").c_str(), 1);
    unsetenv("ZELKOR_SCRIPT");
    unsetenv("ZELKOR_DRIVES");
    PlatformConfig::Reload();  // the caller endpoints of this home, for the test caller too
    DriveMap::Reload();
    fs::create_directories(home + "/drive_c/prog");
    std::ofstream(home + "/drive_c/prog/OrlanzenDef.ini") << "[ProgramLevel]\nSY35=4\n";
    WaitCursor::Reset();
}

void InProcessRun::TearDown()
{
    ui::Backends::Stop();
    unsetenv("ZELKOR_TRANSCRIPT");
    unsetenv("ZELKOR_SCRIPT");
    PlatformConfig::Reload();
}

BOOL InProcessRun::Run(CShohizeiLinkApp& app, const char* commandLine, const char* script)
{
    if (script) {
        std::ofstream(home + "/script.txt") << script;
        setenv("ZELKOR_SCRIPT", (home + "/script.txt").c_str(), 1);
    } else {
        unsetenv("ZELKOR_SCRIPT");
    }
    PlatformConfig::Reload();
    DriveMap::Reload();
    ui::Backends::Start();
    app.SetProgramPath("C:\\prog\\Zelkora");
    app.SetCommandLine(commandLine);
    const BOOL ok = app.InitInstance();
    app.ExitInstance();
    ui::Backends::Stop();
    std::ifstream in(home + "/transcript.txt");
    std::ostringstream text;
    text << in.rdbuf();
    transcript = text.str();
    return ok;
}

std::vector<std::string> InProcessRun::Lines(const std::string& prefix) const
{
    std::vector<std::string> out;
    std::istringstream in(transcript);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            out.push_back(line);
    return out;
}

std::vector<std::string> InProcessRun::Messages(const char* cp932) const
{
    const std::string start = mbcs::Cp932ToUtf8(cp932);
    std::vector<std::string> out;
    for (const std::string& line : Lines("message "))
        if (line.find("text=\"" + start) != std::string::npos)
            out.push_back(line);
    return out;
}

bool InProcessRun::Shown(const char* cp932) const
{
    // The transcript writes a line break of a text as \n.
    std::string quoted;
    for (char c : mbcs::Cp932ToUtf8(cp932)) quoted += (c == '\n') ? std::string("\\n") : std::string(1, c);
    return transcript.find("text=\"" + quoted + "\"") != std::string::npos;
}

std::vector<std::string> InProcessRun::Notified(int result)
{
    return {"disable", "foreground", "enable", "post 1024 7 " + std::to_string(result), "enable"};
}
