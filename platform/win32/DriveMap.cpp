#include "win32/DriveMap.h"

#include "win32/HostWrite.h"
#include "win32/Kernel.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace {

std::mutex& Lock()
{
    static std::mutex m;
    return m;
}

std::unique_ptr<DriveMap>& MapInstance()
{
    static std::unique_ptr<DriveMap> map;
    return map;
}

// The current directory; empty until first asked (then taken from the host).
std::string& CurrentDir()
{
    static std::string dir;
    return dir;
}

bool IsSep(char c) { return c == '\\' || c == '/'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view s)
{
    // Only single-byte letters are folded; double-byte characters stay.
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
        size_t n = mbcs::CharLen(s, i);
        if (n == 1) out.push_back(Lower(s[i]));
        else out.append(s.substr(i, n));
        i += n;
    }
    return out;
}

std::string Trim(std::string_view s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t semi = text.find(';', start);
        if (semi == std::string::npos) semi = text.size();
        std::string item = Trim(std::string_view(text).substr(start, semi - start));
        if (!item.empty()) out.push_back(item);
        start = semi + 1;
    }
    return out;
}

// Index of the first separator at or after `from`, stepping over double-byte
// characters; npos when none.
size_t FindSep(std::string_view s, size_t from)
{
    size_t i = 0;
    while (i < s.size()) {
        size_t n = mbcs::CharLen(s, i);
        if (n == 1 && i >= from && IsSep(s[i])) return i;
        i += n;
    }
    return std::string_view::npos;
}

// Components of a path part, split at '\' and '/' (double-byte aware);
// empty components are dropped.
std::vector<std::string> SplitComponents(std::string_view s)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < s.size()) {
        size_t sep = FindSep(s, start);
        if (sep == std::string_view::npos) sep = s.size();
        if (sep > start) out.emplace_back(s.substr(start, sep - start));
        start = sep + 1;
    }
    return out;
}

bool EndsWithSep(std::string_view s)
{
    return !s.empty() && IsSep(s.back()) && !mbcs::IsTrailAt(s, s.size() - 1);
}

void ApplyComponents(std::vector<std::string>& stack, const std::vector<std::string>& parts)
{
    for (const auto& p : parts) {
        if (p == ".") continue;
        if (p == "..") {
            if (!stack.empty()) stack.pop_back();
            continue;
        }
        stack.push_back(p);
    }
}

std::string StripHostSlash(std::string p)
{
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

UINT TypeByName(const std::string& name, bool* ok)
{
    *ok = true;
    std::string n = LowerAscii(name);
    if (n == "fixed") return DRIVE_FIXED;
    if (n == "removable") return DRIVE_REMOVABLE;
    if (n == "remote") return DRIVE_REMOTE;
    if (n == "cdrom") return DRIVE_CDROM;
    if (n == "ramdisk") return DRIVE_RAMDISK;
    if (n == "unknown") return DRIVE_UNKNOWN;
    *ok = false;
    return DRIVE_FIXED;
}

std::string DefaultDriveC(const std::string& suiteHome) { return StripHostSlash(suiteHome + "/drive_c"); }


// An entry of `dir` whose name equals `name` ignoring ASCII case.
bool FindIgnoringCase(const std::string& dir, const std::string& name, std::string* found)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d) return false;
    bool ok = false;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            *found = e->d_name;
            ok = true;
            break;
        }
    }
    ::closedir(d);
    return ok;
}

// The normalised current directory: no trailing '\' except at a root.
std::string CanonicalDir(const std::string& full)
{
    DriveMap::Root r = DriveMap::ParseRoot(full);
    std::string dir = full;
    if (r.kind == DriveMap::Root::Share) {
        if (dir.size() <= r.rootEnd) return dir.substr(0, r.rootEnd) + "\\";
    } else if (r.kind == DriveMap::Root::Drive && dir.size() <= 3) {
        return dir;
    }
    if (EndsWithSep(dir)) dir.pop_back();
    return dir;
}

}  // namespace

DriveMap::Root DriveMap::ParseRoot(std::string_view p)
{
    Root r;
    r.skip = std::string_view::npos;
    if (p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'))) {
        r.letter = p[0];
        if (p.size() >= 3 && IsSep(p[2])) {
            r.kind = Root::Drive;
            r.rootEnd = 3;
            r.skip = 3;
        } else {
            r.kind = Root::DriveRelative;
            r.rootEnd = 2;
        }
        return r;
    }
    if (p.size() >= 2 && IsSep(p[0]) && IsSep(p[1])) {
        r.kind = Root::Share;
        size_t s1 = FindSep(p, 2);
        if (s1 == std::string_view::npos) {
            r.server = std::string(p.substr(2));
            r.rootEnd = r.skip = p.size();
            return r;
        }
        r.server = std::string(p.substr(2, s1 - 2));
        size_t s2 = FindSep(p, s1 + 1);
        if (s2 == std::string_view::npos) {
            r.share = std::string(p.substr(s1 + 1));
            r.rootEnd = r.skip = p.size();
        } else {
            r.share = std::string(p.substr(s1 + 1, s2 - s1 - 1));
            r.rootEnd = s2;
            r.skip = s2 + 1;
        }
        return r;
    }
    if (!p.empty() && IsSep(p[0])) {
        r.kind = Root::Rooted;
        r.rootEnd = 1;
        r.skip = 1;
    }
    return r;
}

DriveMap DriveMap::Parse(const std::string& drives, const std::string& shares, const std::string& suiteHome)
{
    DriveMap m;
    // A suite home that names no folder (a relative one whose start folder
    // is gone) gives C: no folder, and a relative folder of the map none.
    if (!suiteHome.empty()) {
        m.drives_['C' - 'A'] = Drive{DefaultDriveC(suiteHome), DRIVE_FIXED};
        m.mapped_['C' - 'A'] = true;
    }
    m.drives_['Z' - 'A'] = Drive{"/", DRIVE_FIXED};
    m.mapped_['Z' - 'A'] = true;

    for (const std::string& item : SplitList(drives)) {
        char c = item[0];
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        size_t eq = item.find('=');
        if (!letter || eq == std::string::npos || Trim(item.substr(0, eq)).size() != 1) {
            std::fprintf(stderr, "zelkor: drive map entry skipped: %s\n", item.c_str());
            continue;
        }
        int idx = (c | 0x20) - 'a';
        std::string rest = Trim(item.substr(eq + 1));
        if (rest.empty()) {
            m.mapped_[idx] = false;
            m.drives_[idx] = Drive{};
            continue;
        }
        UINT type = DRIVE_FIXED;
        size_t colon = rest.rfind(':');
        if (colon != std::string::npos) {
            bool ok = false;
            UINT t = TypeByName(Trim(rest.substr(colon + 1)), &ok);
            if (ok) {
                type = t;
                rest = Trim(rest.substr(0, colon));
            }
        }
        if (rest.empty()) {
            std::fprintf(stderr, "zelkor: drive map entry without a folder skipped: %s\n", item.c_str());
            continue;
        }
        if (rest[0] != '/' && suiteHome.empty()) {
            std::fprintf(stderr, "zelkor: drive map entry skipped (the suite home is unknown): %s\n", item.c_str());
            continue;
        }
        if (rest[0] != '/') rest = suiteHome + "/" + rest;
        m.drives_[idx] = Drive{StripHostSlash(rest), type};
        m.mapped_[idx] = true;
    }

    for (const std::string& item : SplitList(shares)) {
        size_t eq = item.find('=');
        std::string name = eq == std::string::npos ? std::string() : Trim(item.substr(0, eq));
        std::string dir = eq == std::string::npos ? std::string() : Trim(item.substr(eq + 1));
        std::string cpName = mbcs::Utf8ToCp932(name);
        Root r = ParseRoot(cpName);
        bool shapeOk = r.kind == Root::Share && !r.server.empty() && !r.share.empty() && r.rootEnd == cpName.size();
        if (!shapeOk || dir.empty()) {
            std::fprintf(stderr, "zelkor: share entry skipped: %s\n", item.c_str());
            continue;
        }
        if (dir[0] != '/' && suiteHome.empty()) {
            std::fprintf(stderr, "zelkor: share entry skipped (the suite home is unknown): %s\n", item.c_str());
            continue;
        }
        if (dir[0] != '/') dir = suiteHome + "/" + dir;
        m.shares_[LowerAscii(r.server) + "\\" + LowerAscii(r.share)] = Share{r.server, r.share, StripHostSlash(dir)};
    }
    return m;
}

namespace {

void BuildFromConfigLocked()
{
    const PlatformConfig& cfg = PlatformConfig::Get();
    auto map = std::make_unique<DriveMap>(DriveMap::Parse(cfg.drives, cfg.shares, cfg.suiteHome));
    const DriveMap::Drive* c = map->FindDrive('C');
    // The default C: is made in an existing suite home only: a home that does
    // not exist is refused (no store), and nothing is left behind there.
    if (c && !cfg.suiteHome.empty() && c->hostRoot == DefaultDriveC(cfg.suiteHome))
        hostio::MakeFolder(c->hostRoot.c_str(), 0777);
    MapInstance() = std::move(map);
    CurrentDir().clear();
}

}  // namespace

const DriveMap& DriveMap::Current()
{
    std::lock_guard<std::mutex> lock(Lock());
    if (!MapInstance()) BuildFromConfigLocked();
    return *MapInstance();
}

void DriveMap::Reload()
{
    std::lock_guard<std::mutex> lock(Lock());
    BuildFromConfigLocked();
}

void DriveMap::SetForTesting(const std::string& drives, const std::string& shares)
{
    const PlatformConfig& cfg = PlatformConfig::Get();
    std::lock_guard<std::mutex> lock(Lock());
    MapInstance() = std::make_unique<DriveMap>(Parse(drives, shares, cfg.suiteHome));
    CurrentDir().clear();
}

const DriveMap::Drive* DriveMap::FindDrive(char letter) const
{
    int idx = (letter | 0x20) - 'a';
    if (idx < 0 || idx >= 26 || !mapped_[idx]) return nullptr;
    return &drives_[idx];
}

const DriveMap::Share* DriveMap::FindShare(std::string_view server, std::string_view share) const
{
    auto it = shares_.find(LowerAscii(server) + "\\" + LowerAscii(share));
    return it == shares_.end() ? nullptr : &it->second;
}

std::string DriveMap::FullPath(std::string_view p)
{
    if (p.empty()) return {};
    Root r = ParseRoot(p);
    std::string root;
    std::vector<std::string> stack;
    std::string_view rest;
    auto fromBase = [&](const std::string& base) {
        Root br = ParseRoot(base);
        root = base.substr(0, br.rootEnd);
        if (br.skip != std::string::npos && br.skip < base.size())
            ApplyComponents(stack, SplitComponents(std::string_view(base).substr(br.skip)));
    };
    switch (r.kind) {
    case Root::Drive:
        root = std::string(p.substr(0, 2)) + "\\";
        rest = p.substr(3);
        break;
    case Root::Share:
        root = "\\\\" + r.server + (r.share.empty() ? std::string() : "\\" + r.share);
        rest = r.skip < p.size() ? p.substr(r.skip) : std::string_view();
        break;
    case Root::DriveRelative: {
        std::string cur = CurrentDirectory();
        Root cr = ParseRoot(cur);
        if (cr.kind == Root::Drive && Lower(cr.letter) == Lower(r.letter)) fromBase(cur);
        else root = std::string(p.substr(0, 2)) + "\\";
        rest = p.substr(2);
        break;
    }
    case Root::Rooted: {
        std::string cur = CurrentDirectory();
        Root cr = ParseRoot(cur);
        root = cr.kind == Root::Share ? cur.substr(0, cr.rootEnd) : cur.substr(0, 3);
        rest = p.substr(1);
        break;
    }
    case Root::None:
        fromBase(CurrentDirectory());
        rest = p;
        break;
    }
    ApplyComponents(stack, SplitComponents(rest));
    std::string out = root;
    bool shareRoot = !root.empty() && root[0] == '\\';
    for (size_t i = 0; i < stack.size(); ++i) {
        if (i > 0 || shareRoot) out += '\\';
        out += stack[i];
    }
    if (EndsWithSep(p) && (!stack.empty() || shareRoot)) out += '\\';
    return out;
}

std::string DriveMap::HostPathOf(std::string_view full) const
{
    Root r = ParseRoot(full);
    std::string host;
    if (r.kind == Root::Drive) {
        const Drive* d = FindDrive(r.letter);
        if (!d) return {};
        host = d->hostRoot;
    } else if (r.kind == Root::Share) {
        const Share* s = FindShare(r.server, r.share);
        if (!s) return {};
        host = s->hostRoot;
    } else {
        return {};
    }
    std::vector<std::string> parts;
    if (r.skip < full.size()) parts = SplitComponents(full.substr(r.skip));
    bool exists = true;
    for (const auto& part : parts) {
        std::string name = mbcs::Cp932ToUtf8(part);
        std::string dir = host;
        if (host.back() != '/') host += '/';
        host += name;
        if (!exists) continue;
        struct stat st;
        if (::lstat(host.c_str(), &st) == 0) continue;
        std::string found;
        if (FindIgnoringCase(dir, name, &found)) {
            host.resize(host.size() - name.size());
            host += found;
        } else {
            exists = false;
        }
    }
    if (!parts.empty() && EndsWithSep(full)) host += '/';
    return host;
}

std::string DriveMap::WindowsPathOf(std::string_view hostPath) const
{
    std::vector<std::string> stack;
    ApplyComponents(stack, SplitComponents(hostPath));  // host names hold no '\\' in practice
    std::string norm = "/";
    for (size_t i = 0; i < stack.size(); ++i) norm += (i ? "/" : "") + stack[i];

    int best = -1;
    size_t bestLen = 0;
    for (int i = 0; i < 26; ++i) {
        if (!mapped_[i]) continue;
        const std::string& root = drives_[i].hostRoot;
        bool under = root == "/" || norm == root || (norm.size() > root.size() && norm.compare(0, root.size(), root) == 0 &&
                                                     norm[root.size()] == '/');
        if (under && (best < 0 || root.size() > bestLen)) {
            best = i;
            bestLen = root.size();
        }
    }
    if (best < 0) return {};
    std::string rel = drives_[best].hostRoot == "/" ? norm.substr(1) : norm.substr(std::min(norm.size(), bestLen + 1));
    std::string out;
    out += static_cast<char>('A' + best);
    out += ":\\";
    size_t start = 0;
    while (start < rel.size()) {
        size_t slash = rel.find('/', start);
        if (slash == std::string::npos) slash = rel.size();
        if (start > 0) out += '\\';
        out += mbcs::Utf8ToCp932(rel.substr(start, slash - start));
        start = slash + 1;
    }
    return out;
}

std::string DriveMap::ToHostPath(std::string_view windowsPath)
{
    if (windowsPath.empty()) return {};
    std::string full = FullPath(windowsPath);
    return Current().HostPathOf(full);
}

std::string DriveMap::ToWindowsPath(std::string_view hostPath)
{
    std::string abs(hostPath);
    if (abs.empty() || abs[0] != '/') abs = PlatformConfig::HostWorkingFolder() + "/" + abs;
    return Current().WindowsPathOf(abs);
}

std::string DriveMap::CurrentDirectory()
{
    const DriveMap& map = Current();
    std::lock_guard<std::mutex> lock(Lock());
    std::string& dir = CurrentDir();
    if (dir.empty()) {
        std::string w = map.WindowsPathOf(PlatformConfig::HostWorkingFolder());
        dir = w.empty() ? "C:\\" : CanonicalDir(w);
    }
    return dir;
}

bool DriveMap::SetCurrentDirectory(std::string_view windowsPath, DWORD* error)
{
    std::string full = FullPath(windowsPath);
    std::string host = full.empty() ? std::string() : Current().HostPathOf(full);
    if (host.empty()) {
        if (error) *error = full.empty() ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND;
        return false;
    }
    struct stat st;
    if (::stat(host.c_str(), &st) != 0) {
        if (error) *error = Win32ErrorFromErrno(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (error) *error = ERROR_DIRECTORY;
        return false;
    }
    // The host process follows, so that host-relative opens agree.
    if (::chdir(host.c_str()) != 0) {
        // Not fatal: every platform function resolves through the map.
    }
    std::lock_guard<std::mutex> lock(Lock());
    CurrentDir() = CanonicalDir(full);
    return true;
}

UINT DriveMap::DriveTypeOfRoot(std::string_view root)
{
    Root r = ParseRoot(root);
    const DriveMap& map = Current();
    if (r.kind == Root::Drive || r.kind == Root::DriveRelative) {
        if (root.size() > 3 || (r.kind == Root::DriveRelative && root.size() != 2)) return DRIVE_NO_ROOT_DIR;
        const Drive* d = map.FindDrive(r.letter);
        return d ? d->type : DRIVE_NO_ROOT_DIR;
    }
    if (r.kind == Root::Share) {
        if (r.share.empty() || r.skip < root.size()) return DRIVE_NO_ROOT_DIR;
        return map.FindShare(r.server, r.share) ? DRIVE_REMOTE : DRIVE_NO_ROOT_DIR;
    }
    return DRIVE_NO_ROOT_DIR;
}
