#include "win32/PlatformConfig.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

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

std::string PlatformConfig::Lookup(const std::string& name, const std::string& fallback)
{
    const char* v = std::getenv(("ZELKOR_" + name).c_str());
    if (v) return v;
    std::string home = EnvOr("ZELKOR_HOME", DefaultHome());
    auto file = ReadConfigFile(home);
    auto it = file.find(name);
    return it != file.end() ? it->second : fallback;
}

void PlatformConfig::Reload()
{
    auto config = std::make_unique<PlatformConfig>();
    config->suiteHome = EnvOr("ZELKOR_HOME", DefaultHome());
    auto file = ReadConfigFile(config->suiteHome);
    auto value = [&](const char* name, const std::string& fallback) {
        const char* v = std::getenv((std::string("ZELKOR_") + name).c_str());
        if (v) return std::string(v);
        auto it = file.find(name);
        return it != file.end() ? it->second : fallback;
    };
    config->backend = value("BACKEND", "script");
    config->scriptPath = value("SCRIPT", "");
    config->transcriptPath = value("TRANSCRIPT", "");
    config->callerDir = value("CALLER_DIR", config->suiteHome + "/callers");
    config->drives = value("DRIVES", "");
    config->shares = value("SHARES", "");
    Instance() = std::move(config);
}

const PlatformConfig& PlatformConfig::Get()
{
    if (!Instance()) Reload();
    return *Instance();
}
