// A virtual X display for the real-window tests: an Xvfb server started with
// xvfb-run for the test process (DISPLAY and XAUTHORITY are set for it; one
// per process, as the toolkit keeps its display connection), and
// bounded runs of the X tools (xdotool, ImageMagick's import) that drive
// windows with real input events and take screenshots. Every tool call runs
// under `timeout`. The session ends xvfb-run's command, so that xvfb-run
// cleans up after itself (the server, its authority file and folder); the
// folder is in the session's own temporary folder anyway, and a server
// group that does not end is killed, so a test can neither hang nor leave a
// server or a file behind.
#pragma once

#include "ui/fltk/FltkBackend.h"
#include "tests/support/TestTemp.h"

#include <gtest/gtest.h>

#include <fcntl.h>
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
        for (const char* tool : {"xvfb-run", "Xvfb", "xdotool", "xauth", "timeout"})
            if (!OnPath(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
        return missing;
    }
    static bool HasScreenshotTool() { return OnPath("import"); }

    XSession()
    {
        dir_ = testtemp::Make("zk_xs_");
        std::string info = dir_ + "/display";
        // The command's shell becomes the sleep, whose end ends xvfb-run.
        std::string script = "echo \"$DISPLAY $XAUTHORITY $$\" > '" + info + ".tmp' && mv '" + info + ".tmp' '" +
                             info + "' && exec sleep 900";
        std::vector<std::string> args = {"env",  "TMPDIR=" + dir_, "xvfb-run", "-a", "-s",
                                         "-screen 0 1280x1024x24 -nolisten tcp", "sh", "-c", script};
        // Parallel tests may pick the same display number at once: the loser's
        // server does not start and xvfb-run ends; then it is tried again.
        for (int attempt = 0; attempt < 4 && display_.empty(); ++attempt) {
            if (attempt) ::usleep(static_cast<useconds_t>(200000 + (::getpid() % 7) * 150000));
            pid_ = Spawn(args);
            for (int i = 0; pid_ && i < 150; ++i) {
                std::ifstream in(info);
                std::string display, auth;
                if (in >> display >> auth >> command_) {
                    ::setenv("DISPLAY", display.c_str(), 1);
                    ::setenv("XAUTHORITY", auth.c_str(), 1);
                    display_ = display;
                    break;
                }
                int status = 0;
                if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                    pid_ = 0;
                    break;
                }
                ::usleep(100000);
            }
        }
    }

    ~XSession()
    {
        if (pid_ > 0) {
            // A killed server would leave its lock and socket in /tmp: the
            // group is killed only when it does not end by itself within a
            // minute (a loaded machine may take seconds).
            if (command_ > 0) ::kill(command_, SIGTERM);
            int status = 0;
            bool ended = false;
            for (int i = 0; i < 1200 && !ended; ++i) {
                ended = ::waitpid(pid_, &status, WNOHANG) == pid_;
                if (!ended) ::usleep(50000);
            }
            if (!ended) {
                ::kill(-pid_, SIGTERM);
                ::waitpid(pid_, &status, 0);
            }
            // xvfb-run has told the server to end; it is still in the group.
            for (int i = 0; i < 1200 && ::kill(-pid_, 0) == 0; ++i) ::usleep(50000);
            if (::kill(-pid_, 0) == 0) ::kill(-pid_, SIGKILL);
        }
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
    static pid_t Spawn(std::vector<std::string> args)
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

    pid_t pid_ = 0;
    pid_t command_ = 0;  // xvfb-run's command (the sleep)
    std::string dir_;
    std::string display_;
};
