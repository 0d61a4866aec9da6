// A virtual X display for the real-window tests: an Xvfb server started for
// the test process (DISPLAY and XAUTHORITY are set for it; one per process,
// as the toolkit keeps its display connection), and bounded runs of the X
// tools (xdotool, ImageMagick's import) that drive windows with real input
// events and take screenshots. Every tool call runs under `timeout`. The
// server picks a free display number itself (-displayfd), so parallel tests
// cannot race for one, and it is ended with a signal it handles, so that it
// removes its lock and socket from /tmp; nothing else of it is written
// outside the session's own temporary folder.
#pragma once

#include "ui/fltk/FltkBackend.h"
#include "tests/support/TestTemp.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

class XSession {
public:
    // The tools the session needs; empty when all are there.
    static std::string MissingTools()
    {
        std::string missing;
        for (const char* tool : {"Xvfb", "xdotool", "timeout"})
            if (!OnPath(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
        return missing;
    }
    static bool HasScreenshotTool() { return OnPath("import"); }

    XSession()
    {
        dir_ = testtemp::Make("zk_xs_");
        // The server has no authority file: it admits local clients, which
        // find no cookie in this empty one.
        const std::string auth = dir_ + "/Xauthority";
        std::ofstream(auth).flush();
        for (int attempt = 0; attempt < 3 && display_.empty(); ++attempt) {
            int fds[2];
            if (::pipe2(fds, O_CLOEXEC) != 0) return;
            pid_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, fds[1]);
            ::close(fds[1]);
            // The server writes its display number once it takes clients (a
            // loaded machine may take seconds; a minute at most).
            std::string number;
            bool complete = false;
            for (int waited = 0; pid_ && !complete && waited < 60;) {
                pollfd p{fds[0], POLLIN, 0};
                const int ready = ::poll(&p, 1, 1000);
                if (ready == 0) {
                    ++waited;
                    continue;
                }
                char c = 0;
                if (ready < 0 || ::read(fds[0], &c, 1) != 1) break;
                if (c == '\n') complete = !number.empty();
                else number += c;
            }
            ::close(fds[0]);
            if (!complete) {
                End();
                continue;
            }
            display_ = ":" + number;
            ::setenv("DISPLAY", display_.c_str(), 1);
            ::setenv("XAUTHORITY", auth.c_str(), 1);
        }
    }

    ~XSession()
    {
        End();
        testtemp::Remove(dir_);
    }

    // The session of this process, started on first use. The toolkit keeps
    // its display connection, so the server ends only after the last test,
    // with the connection closed first.
    static XSession& Shared()
    {
        static XSession* session = nullptr;
        if (!session) {
            session = new XSession;
            struct Ender : ::testing::Environment {
                void TearDown() override
                {
                    ui::FltkBackend::CloseDisplay();
                    delete session;
                    session = nullptr;
                }
            };
            ::testing::AddGlobalTestEnvironment(new Ender);
        }
        return *session;
    }

    bool Ready() const { return !display_.empty(); }
    const std::string& Display() const { return display_; }

    // Runs a shell command with a time limit; its standard output is returned
    // in `out` (trailing line feed removed). True when it exited with 0.
    static bool Run(const std::string& command, std::string* out = nullptr, int seconds = 15)
    {
        std::string full = "timeout " + std::to_string(seconds) + " sh -c '" + Escape(command) + "' 2>&1";
        FILE* p = ::popen(full.c_str(), "r");
        if (!p) return false;
        std::string text;
        char buf[512];
        while (size_t n = std::fread(buf, 1, sizeof buf, p)) text.append(buf, n);
        int status = ::pclose(p);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (out) *out = text;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // The id of the first window whose class is `cls`, waiting for it to be
    // mapped; empty when none appears within the time limit.
    static std::string WaitWindow(const std::string& cls, int seconds = 15)
    {
        std::string id;
        if (!Run("xdotool search --sync --onlyvisible --classname " + cls + " | head -n 1", &id, seconds)) return {};
        return id;
    }

    // True once no mapped window of class `cls` is left (within the limit).
    static bool WaitGone(const std::string& cls, int seconds = 15)
    {
        for (int i = 0; i < seconds * 20; ++i) {
            if (!Run("xdotool search --onlyvisible --classname " + cls)) return true;
            ::usleep(50000);
        }
        return false;
    }

    static bool Focus(const std::string& id) { return Run("xdotool windowfocus --sync " + id); }

    // The newest mapped window of class `cls`, focused; empty when none could
    // be focused within the limit. A window found mapped may be unmapped
    // again before the focus reaches it (the focus then fails with the
    // server's BadMatch): the search and the focus are tried again until the
    // focus holds.
    static std::string WaitAndFocus(const std::string& cls, int seconds = 15)
    {
        for (int i = 0; i < seconds * 10; ++i) {
            std::string id;
            if (Run("xdotool search --onlyvisible --classname " + cls + " | tail -n 1", &id, 5) && !id.empty() &&
                Focus(id))
                return id;
            ::usleep(100000);
        }
        return {};
    }
    static bool Key(const std::string& keys) { return Run("xdotool key --delay 60 " + keys); }
    static bool Type(const std::string& text) { return Run("xdotool type --delay 60 '" + Escape(text) + "'"); }
    static bool Click(const std::string& id, int x, int y)
    {
        return Run("xdotool mousemove --sync --window " + id + " " + std::to_string(x) + " " + std::to_string(y) +
                   " click 1");
    }
    static bool Screenshot(const std::string& id, const std::string& file)
    {
        return HasScreenshotTool() && Run("import -window " + id + " '" + file + "'");
    }

private:
    // Ends the server with the signal on which it cleans up (a killed server
    // would leave its lock and socket in /tmp); killed only when it has not
    // ended within a minute.
    void End()
    {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 1200 && !ended; ++i) {
            ended = ::waitpid(pid_, &status, WNOHANG) == pid_;
            if (!ended) ::usleep(50000);
        }
        if (!ended) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        }
        pid_ = 0;
    }

    // The server in a process group of its own, its display number written
    // to descriptor 3 (`displayFd` here).
    static pid_t Spawn(std::vector<std::string> args, int displayFd)
    {
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attr, 0);
        // The server's output must not hold the test's own output open.
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&files, displayFd, 3);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        if (posix_spawnp(&pid, argv[0], &files, &attr, argv.data(), environ) != 0) pid = 0;
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&files);
        return pid;
    }

    static bool OnPath(const char* tool)
    {
        std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0;
    }
    static std::string Escape(const std::string& s)
    {
        std::string r;
        for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return r;
    }

    pid_t pid_ = 0;  // the server
    std::string dir_;
    std::string display_;
};
