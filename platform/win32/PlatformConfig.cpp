#include "win32/PlatformConfig.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
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

std::string Trimmed(const std::string& text)
{
    const size_t from = text.find_first_not_of(" \t");
    if (from == std::string::npos) return {};
    return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

// Lines NAME=value; blanks around the name and the value are no part of them.
// '#' starts a comment only as a line's first character other than a blank:
// within a value it is the value's (a path may hold it).
std::map<std::string, std::string> ReadConfigFile(const std::string& home)
{
    std::map<std::string, std::string> values;
    if (home.empty()) return values;
    std::ifstream in(home + "/zelkor.conf");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        size_t eq = line.find('=', start);
        if (eq == std::string::npos) continue;
        std::string key = Trimmed(line.substr(start, eq - start));
        if (key.rfind("ZELKOR_", 0) == 0) key = key.substr(7);
        values[key] = Trimmed(line.substr(eq + 1));
    }
    return values;
}

// The host's working folder; empty when the host cannot tell (the folder was
// removed, or a folder above it may not be searched), with errno saying why.
std::string WorkingFolderOrEmpty()
{
    std::vector<char> buf(4096);
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
    return buf.data();
}

// Why the start folder is unknown, taken when it was recorded.
int& StartFolderErrno()
{
    static int err = 0;
    return err;
}

std::unique_ptr<PlatformConfig>& Instance()
{
    static std::unique_ptr<PlatformConfig> config;
    return config;
}

}  // namespace

const std::string& PlatformConfig::StartFolder()
{
    static const std::string folder = [] {
        std::string f = WorkingFolderOrEmpty();
        if (f.empty()) StartFolderErrno() = errno;
        return f;
    }();
    return folder;
}

std::string PlatformConfig::Absolute(const std::string& path)
{
    if (path.empty()) return path;
    std::filesystem::path p(path);
    if (p.is_relative()) {
        // Never from another folder: the path names nothing then.
        if (StartFolder().empty()) return {};
        p = std::filesystem::path(StartFolder()) / p;
    }
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
    // A relative path of the environment when the start folder is unknown
    // stays unset, and the reason is kept for the messages.
    auto fromStart = [&](const std::string& name, const std::string& value) {
        std::string absolute = Absolute(value);
        if (absolute.empty() && !value.empty() && config->unresolved.empty()) {
            const int err = StartFolderErrno();
            config->unresolved = "the folder the program was started in is unknown (" +
                                 std::string(err ? strerrordesc_np(err) : "no reason given") + "), so the relative " +
                                 name + " \"" + value + "\" names no folder; it is taken from no other folder";
        }
        return absolute;
    };
    config->suiteHome = fromStart("ZELKOR_HOME", EnvOr("ZELKOR_HOME", DefaultHome()));
    const std::string& home = config->suiteHome;
    auto file = ReadConfigFile(home);
    auto value = [&](const char* name, const std::string& fallback) {
        const char* v = std::getenv((std::string("ZELKOR_") + name).c_str());
        if (v) return std::string(v);
        auto it = file.find(name);
        return it != file.end() ? it->second : fallback;
    };
    // A relative path of the environment is taken from the start folder, one
    // of the config file from the suite home that holds the file.
    // A default inside a home that names no folder is none either.
    auto path = [&](const char* name, const std::string& fallback) {
        const char* v = std::getenv((std::string("ZELKOR_") + name).c_str());
        if (v) return fromStart(std::string("ZELKOR_") + name, v);
        auto it = file.find(name);
        if (it == file.end()) return Absolute(fallback);
        if (it->second.empty() || it->second[0] == '/') return Absolute(it->second);
        return Absolute(home + "/" + it->second);
    };
    config->storePath = path("STORE", home.empty() ? "" : home + "/suite.db");
    config->backend = value("BACKEND", "script");
    config->scriptPath = path("SCRIPT", "");
    config->transcriptPath = path("TRANSCRIPT", "");
    config->callerDir = path("CALLER_DIR", home.empty() ? "" : home + "/callers");
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
    std::string folder = WorkingFolderOrEmpty();
    return folder.empty() ? "/" : folder;
}
