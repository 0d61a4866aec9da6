// The tests' temporary folders: made in the folder for temporary files that
// the environment names ($TMPDIR, else /tmp), never elsewhere, and removed
// with everything in them, so that a test run leaves nothing behind.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace testtemp {

// The folder for temporary files: $TMPDIR when it is set and not empty.
inline std::string Root()
{
    const char* dir = std::getenv("TMPDIR");
    std::string root = dir && *dir ? dir : "/tmp";
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
}

inline void Remove(const std::string& path);

// Why other host users cannot reach folders made here (a folder on the way to
// Root() that others may not enter), or "" when they can. Tests that act as
// other users need them to reach their files.
inline std::string ClosedToOthers()
{
    char* real = ::realpath(Root().c_str(), nullptr);
    std::string path = real ? real : Root();
    std::free(real);
    for (std::string dir = path; !dir.empty();) {
        struct stat st{};
        if (::stat(dir.c_str(), &st) == 0 && !(st.st_mode & S_IXOTH))
            return "the temporary folder " + path + " is closed to other host users (" + dir +
                   " has no search permission for others); set TMPDIR to a folder they may enter";
        if (dir == "/") break;
        const size_t slash = dir.rfind('/');
        dir = slash == 0 ? "/" : dir.substr(0, slash);
    }
    return {};
}

namespace detail {

// The folders this process made; those still there when it ends are removed
// then (by the process that made them, not by a forked child that exits),
// unless ZK_KEEP_E2E asks to keep the end-to-end tests' folders to look at.
struct Made {
    const pid_t owner = ::getpid();
    std::mutex lock;
    std::vector<std::string> paths;
    ~Made()
    {
        if (::getpid() != owner || std::getenv("ZK_KEEP_E2E")) return;
        for (const std::string& path : paths) Remove(path);
    }
};

inline Made& Registry()
{
    static Made made;
    return made;
}

}  // namespace detail

// A new folder "<Root>/<prefix>XXXXXX" (mkdtemp: private to the caller),
// removed at the latest when the process ends. A run that cannot make one
// stops here rather than work in some other folder.
inline std::string Make(const std::string& prefix)
{
    std::string pattern = Root() + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror(("cannot make a temporary folder " + pattern).c_str());
        std::abort();
    }
    detail::Made& made = detail::Registry();
    std::lock_guard<std::mutex> guard(made.lock);
    made.paths.push_back(pattern);
    return pattern;
}

// Removes `path` and everything in it, folders a test made unreadable or
// unwritable included.
inline void Remove(const std::string& path)
{
    if (path.empty()) return;
    std::error_code ec;
    ::chmod(path.c_str(), 0700);
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
    std::filesystem::remove_all(path, ec);
}

// A folder for one scope.
class Folder {
public:
    explicit Folder(const std::string& prefix) : path_(Make(prefix)) {}
    ~Folder() { Remove(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace testtemp
