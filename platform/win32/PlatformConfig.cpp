#include "win32/PlatformConfig.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <vector>

namespace {

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : fallback;
}

std::string DefaultHome()
{
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.zelkor";
}

// Taken at load time, before main and before anything can change the working
// folder; the first caller takes it should a static initializer of another
// unit ask earlier.
[[maybe_unused]] const bool g_startFolderTaken = !PlatformConfig::StartFolder().empty();

std::map<std::string, std::string> ReadConfigFile(const std::string& home)
{
    std::map<std::string, std::string> values;
    std::ifstream in(home + "/zelkor.conf");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        size_t eq = line.find('=', start);
        if (eq == std::string::npos) continue;
        std::string key = line.substr(start, eq - start);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t')) key.pop_back();
        if (key.rfind("ZELKOR_", 0) == 0) key = key.substr(7);
        values[key] = line.substr(eq + 1);
    }
    return values;
}

std::unique_ptr<PlatformConfig>& Instance()
{
    static std::unique_ptr<PlatformConfig> config;
    return config;
}

}  // namespace

const std::string& PlatformConfig::StartFolder()
{
    static const std::string folder = PlatformConfig::HostWorkingFolder();
    return folder;
}

std::string PlatformConfig::Absolute(const std::string& path)
{
    if (path.empty()) return path;
    std::filesystem::path p(path);
    if (p.is_relative()) p = std::filesystem::path(StartFolder()) / p;
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

std::string PlatformConfig::Lookup(const std::string& name, const std::string& fallback)
{
    const char* v = std::getenv(("ZELKOR_" + name).c_str());
    if (v) return v;
    auto file = ReadConfigFile(Get().suiteHome);
    auto it = file.find(name);
    return it != file.end() ? it->second : fallback;
}

void PlatformConfig::Reload()
{
    auto config = std::make_unique<PlatformConfig>();
    config->suiteHome = Absolute(EnvOr("ZELKOR_HOME", DefaultHome()));
    auto file = ReadConfigFile(config->suiteHome);
    auto value = [&](const char* name, const std::string& fallback) {
        const char* v = std::getenv((std::string("ZELKOR_") + name).c_str());
        if (v) return std::string(v);
        auto it = file.find(name);
        return it != file.end() ? it->second : fallback;
    };
    // A relative path of the environment is taken from the start folder, one
    // of the config file from the suite home that holds the file.
    auto path = [&](const char* name, const std::string& fallback) {
        const char* v = std::getenv((std::string("ZELKOR_") + name).c_str());
        if (v) return Absolute(v);
        auto it = file.find(name);
        if (it == file.end()) return Absolute(fallback);
        if (it->second.empty() || it->second[0] == '/') return Absolute(it->second);
        return Absolute(config->suiteHome + "/" + it->second);
    };
    config->storePath = path("STORE", config->suiteHome + "/suite.db");
    config->backend = value("BACKEND", "script");
    config->scriptPath = path("SCRIPT", "");
    config->transcriptPath = path("TRANSCRIPT", "");
    config->callerDir = path("CALLER_DIR", config->suiteHome + "/callers");
    config->drives = value("DRIVES", "");
    config->shares = value("SHARES", "");
    Instance() = std::move(config);
}

const PlatformConfig& PlatformConfig::Get()
{
    if (!Instance()) Reload();
    return *Instance();
}

std::string PlatformConfig::HostWorkingFolder()
{
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return "/";
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}
