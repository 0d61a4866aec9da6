// A deliverable with real windows on a sample store: driven with real keys
// and mouse clicks through the conditions dialog, the folder question and
// the closing message to a completed export, whose file must equal the one
// the script backend exports for the same choices; a termination signal
// while one of its windows waits for the user. Screenshots of the
// conditions dialog, the message boxes and (when the run is slow enough to
// catch it) the progress dialog go to <build>/screenshots.
#ifdef ZK_HAVE_FLTK

#include "CaptionWatch.h"
#include "XSession.h"
#include "tests/support/TestCaller.h"
#include "tests/support/TestTemp.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Builds a suite home from the corp-general sample with the project's script.
bool MakeHome(const std::string& home)
{
    std::string cmd = "bash '" + std::string(ZK_SOURCE_DIR) + "/scripts/make-home.sh' --force '" + home +
                      "' corp-general >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

struct Process {
    pid_t pid = 0;
    int status = -1;

    // Waits at most `seconds`; kills the process when it does not end.
    bool Wait(int seconds)
    {
        for (int i = 0; i < seconds * 20; ++i) {
            if (::waitpid(pid, &status, WNOHANG) == pid) return true;
            ::usleep(50000);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return false;
    }
};

Process Start(const std::vector<std::string>& env, const std::string& errFile,
              std::string program = std::string(ZK_BINARY_DIR) + "/Zelkora", std::vector<std::string> args = {},
              const std::string& workingFolder = "")
{
    std::vector<std::string> envCopy = env;
    std::vector<char*> envp;
    for (std::string& e : envCopy) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv = {program.data()};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    if (!workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&files, workingFolder.c_str());
    Process p;
    if (posix_spawn(&p.pid, program.c_str(), &files, nullptr, argv.data(), envp.data()) != 0) p.pid = 0;
    posix_spawn_file_actions_destroy(&files);
    return p;
}

// Zelkora with real windows on the session's display.
Process StartReal(const std::string& home, const std::string& root,
                  const std::string& program = std::string(ZK_BINARY_DIR) + "/Zelkora")
{
    return Start({"ZELKOR_HOME=" + home, "ZELKOR_BACKEND=fltk", "ZELKOR_FLTK_IDLE_LIMIT=20",
                  "DISPLAY=" + XSession::Shared().Display(), std::string("XAUTHORITY=") + std::getenv("XAUTHORITY"),
                  "PATH=/usr/bin:/bin", "HOME=" + root},
                 root + "/real.err", program);
}

// An export through the script backend on `home` with the script's lines
// (code page 932), its transcript in `root`.
::testing::AssertionResult RunScripted(const std::string& home, const std::string& root, const std::string& script)
{
    std::ofstream(root + "/run.script") << mbcs::Cp932ToUtf8(script);
    Process scripted = Start({"ZELKOR_HOME=" + home, "ZELKOR_BACKEND=script", "ZELKOR_SCRIPT=" + root + "/run.script",
                              "ZELKOR_TRANSCRIPT=" + root + "/transcript.txt", "PATH=/usr/bin:/bin", "HOME=" + root},
                             root + "/script.err");
    if (scripted.pid == 0) return ::testing::AssertionFailure() << "the scripted run did not start";
    if (!scripted.Wait(60)) return ::testing::AssertionFailure() << "the scripted run did not end";
    if (!WIFEXITED(scripted.status) || WEXITSTATUS(scripted.status) != 0)
        return ::testing::AssertionFailure() << ReadAll(root + "/script.err");
    return ::testing::AssertionSuccess();
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0;
}

// The newest shown message box other than `other`, focused; empty when none
// comes in `seconds`, or once `stop` says that waiting is over. A box found
// shown may be gone again before the focus reaches it: the search and the
// focus are then tried again, until the focus holds.
std::string WaitMessage(const std::string& other, int seconds, const std::function<bool()>& stop = {})
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (stop && stop()) return {};
        std::string box;
        XSession::Run("xdotool search --onlyvisible --classname zelkor-message | tail -n 1", &box, 5);
        if (!box.empty() && box != other && XSession::Focus(box)) return box;
        ::usleep(100000);
    }
    return {};
}

// A run with real windows went through its steps and ended by itself.
void ExpectEndedNormally(const std::vector<std::string>& failures, bool ended, const Process& real,
                         const std::string& root)
{
    EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
    EXPECT_TRUE(ended) << "the run with real windows did not end";
    EXPECT_TRUE(WIFEXITED(real.status) && WEXITSTATUS(real.status) == 0) << ReadAll(root + "/real.err");
}

#define STEP(cond)                           \
    do {                                     \
        if (!(cond)) failures.push_back(#cond); \
    } while (0)

TEST(FltkDeliverable, ConditionsDialogToCompletedExportMatchesTheScriptRun)
{
    std::string missing = XSession::MissingTools();
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    XSession& x = XSession::Shared();
    ASSERT_TRUE(x.Ready());

    std::string root = testtemp::Make("zk_deliv_");
    std::string scriptHome = root + "/script", realHome = root + "/real";
    ASSERT_TRUE(MakeHome(scriptHome));
    ASSERT_TRUE(MakeHome(realHome));
    std::string shots = std::string(ZK_BINARY_DIR) + "/screenshots";
    ::mkdir(shots.c_str(), 0755);
    const std::string outRel = "/drive_c/Zelkor/Output/sample.xml";

    // The reference: the same choices through the script backend.
    ASSERT_TRUE(RunScripted(scriptHome, root,
                            "type 1008 C:\\Zelkor\\Output\\sample.xml\nkey ALT+NUMPAD2\nkey F12\nanswer YES\nanswer OK\n"));
    std::string expected = ReadAll(scriptHome + outRel);
    ASSERT_FALSE(expected.empty()) << ReadAll(root + "/transcript.txt");

    // The real windows.
    Process real = Start({"ZELKOR_HOME=" + realHome, "ZELKOR_BACKEND=fltk", "ZELKOR_FLTK_IDLE_LIMIT=20",
                          "DISPLAY=" + x.Display(), std::string("XAUTHORITY=") + std::getenv("XAUTHORITY"),
                          "PATH=/usr/bin:/bin", "HOME=" + root},
                         root + "/real.err");
    ASSERT_NE(real.pid, 0);
    std::vector<std::string> failures;
    std::string dlg = XSession::WaitWindow("zelkor-dialog-130", 30);
    STEP(!dlg.empty());
    if (!dlg.empty()) {
        STEP(XSession::Focus(dlg));
        XSession::Screenshot(dlg, shots + "/run-conditions.png");
        // The output group's access key focuses the path edit, its text selected.
        STEP(XSession::Key("alt+o"));
        STEP(XSession::Type("C:\\Zelkor\\Output\\sample.xml"));
        STEP(XSession::Key("alt+KP_2"));  // sales 積み上げ, the dialog's own key
        XSession::Screenshot(dlg, shots + "/run-conditions-filled.png");
        // 実行 with the mouse: its place in dialog units scaled to the window.
        std::string geometry;
        XSession::Run("xdotool getwindowgeometry --shell " + dlg, &geometry);
        int w = 0, h = 0;
        std::istringstream lines(geometry);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("WIDTH=", 0) == 0) w = std::atoi(line.c_str() + 6);
            if (line.rfind("HEIGHT=", 0) == 0) h = std::atoi(line.c_str() + 7);
        }
        STEP(w > 0 && h > 0);
        STEP(XSession::Click(dlg, (127 + 28) * w / 255, (276 + 7) * h / 297));
        std::string question = XSession::WaitWindow("zelkor-message");
        STEP(!question.empty());
        if (!question.empty()) {
            XSession::Screenshot(question, shots + "/run-message-question.png");
            STEP(XSession::Focus(question));
            STEP(XSession::Key("y"));
        }
        std::string progress = XSession::WaitWindow("zelkor-dialog-131", 5);
        if (!progress.empty()) XSession::Screenshot(progress, shots + "/run-progress.png");
        // The closing message, owned by the progress dialog.
        std::string done;
        for (int i = 0; i < 100 && (done.empty() || done == question); ++i) {
            XSession::Run("xdotool search --onlyvisible --classname zelkor-message | tail -n 1", &done, 5);
            if (done.empty() || done == question) ::usleep(100000);
        }
        STEP(!done.empty() && done != question);
        if (!done.empty() && done != question) {
            XSession::Screenshot(done, shots + "/run-message-done.png");
            STEP(XSession::Focus(done));
            STEP(XSession::Key("Return"));
        }
    }
    bool ended = real.Wait(60);
    ExpectEndedNormally(failures, ended, real, root);
    std::string actual = ReadAll(realHome + outRel);
    EXPECT_FALSE(actual.empty()) << ReadAll(root + "/real.err");
    EXPECT_TRUE(actual == expected) << "the export with real windows differs from the script run's";
    (void)std::system(("rm -rf '" + root + "'").c_str());
}

// A remembered output path names a file in a folder of its own: 参照 opens
// the save box there with that name, and accepting it unchanged keeps the
// export in that folder, not in the program's own folder (the program's
// current directory). The program runs from a copy in a folder of the test.
TEST(FltkDeliverable, SaveBoxAcceptedUnchangedKeepsTheRememberedOutputFolder)
{
    std::string missing = XSession::MissingTools();
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    ASSERT_TRUE(XSession::Shared().Ready());

    std::string root = testtemp::Make("zk_deliv_");
    std::string home = root + "/home", program = root + "/program";
    ASSERT_TRUE(MakeHome(home));
    ASSERT_EQ(std::system(("mkdir '" + program + "' && cp '" + ZK_BINARY_DIR + "/Zelkora' '" + ZK_BINARY_DIR +
                           "/OrlanzenDef.ini' '" + program + "/'")
                              .c_str()),
              0);
    const std::string out = home + "/drive_c/Zelkor/Output/sample.xml";

    // A first export through the script backend remembers the path.
    ASSERT_TRUE(RunScripted(home, root, "type 1008 C:\\Zelkor\\Output\\sample.xml\nkey F12\nanswer YES\nanswer OK\n"));
    const std::string expected = ReadAll(out);
    ASSERT_FALSE(expected.empty()) << ReadAll(root + "/transcript.txt");
    ASSERT_EQ(::unlink(out.c_str()), 0);

    Process real = StartReal(home, root, program + "/Zelkora");
    ASSERT_NE(real.pid, 0);
    std::vector<std::string> failures;
    std::string dlg = XSession::WaitWindow("zelkor-dialog-130", 30);
    STEP(!dlg.empty());
    if (!dlg.empty()) {
        STEP(XSession::Focus(dlg));
        STEP(XSession::Key("alt+d"));  // 参照(&D)
        std::string box = XSession::WaitAndFocus("^zelkor$");
        STEP(!box.empty());
        if (!box.empty()) {
            XSession::Screenshot(box, std::string(ZK_BINARY_DIR) + "/screenshots/run-save-box.png");
            STEP(XSession::Key("Return"));  // 保存, nothing changed
            STEP(XSession::WaitGone("^zelkor$"));
        }
        STEP(XSession::Focus(dlg));
        STEP(XSession::Key("F12"));  // 実行: the folder exists, the file does not, so nothing is asked
        std::string done = WaitMessage("", 60);
        STEP(!done.empty());
        if (!done.empty()) {
            STEP(XSession::Key("Return"));
        }
    }
    bool ended = real.Wait(60);
    ExpectEndedNormally(failures, ended, real, root);
    EXPECT_TRUE(ReadAll(out) == expected) << "no export, or another one, in the remembered folder";
    EXPECT_FALSE(Exists(program + "/sample.xml")) << "the export moved to the program's folder";
    (void)std::system(("rm -rf '" + root + "'").c_str());
}

// A new home has no output folder until the first export makes it. 参照
// opens the save box at the nearest existing folder of the path on its drive
// (here C:'s root), never in the program's working folder, and a name typed
// there, or the one the box shows, is exported there. Driven as a new user
// does it: the default path (a filter) and End, a name and Enter; then a
// typed path whose folders do not exist, accepted as the box shows it.
TEST(FltkDeliverable, FirstSaveBoxOnANewHomeKeepsTheExportOutOfTheProgramsFolder)
{
    std::string missing = XSession::MissingTools();
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    ASSERT_TRUE(XSession::Shared().Ready());

    testtemp::Folder tmp("zk_deliv_");
    const std::string root = tmp.Path(), program = root + "/program";
    ASSERT_FALSE(root.empty());
    ASSERT_EQ(std::system(("mkdir '" + program + "' && cp '" + ZK_BINARY_DIR + "/Zelkora' '" + ZK_BINARY_DIR +
                           "/OrlanzenDef.ini' '" + program + "/'")
                              .c_str()),
              0);
    struct Case {
        const char* typedPath;  // typed into the path edit first; empty: the default path
        const char* name;       // typed into the box after End; empty: accepted as shown
        const char* file;       // the export, below drive C:
    };
    const Case cases[] = {{"", "first.xml", "first.xml"}, {"C:\\New\\Folder\\typed.xml", "", "typed.xml"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string home = root + "/home-" + c.file, reference = root + "/reference-" + c.file;
        ASSERT_TRUE(MakeHome(home));
        ASSERT_TRUE(MakeHome(reference));
        ASSERT_TRUE(RunScripted(reference, root,
                                std::string("type 1008 C:\\") + c.file + "\nkey F12\nanswer YES\nanswer OK\n"));
        const std::string expected = ReadAll(reference + "/drive_c/" + c.file);
        ASSERT_FALSE(expected.empty()) << ReadAll(root + "/transcript.txt");
        ASSERT_FALSE(Exists(home + "/drive_c/Zelkor"));

        Process real = Start({"ZELKOR_HOME=" + home, "ZELKOR_BACKEND=fltk", "ZELKOR_FLTK_IDLE_LIMIT=20",
                              "DISPLAY=" + XSession::Shared().Display(),
                              std::string("XAUTHORITY=") + std::getenv("XAUTHORITY"), "PATH=/usr/bin:/bin",
                              "HOME=" + root},
                             root + "/real.err", program + "/Zelkora", {}, program);
        ASSERT_NE(real.pid, 0);
        std::vector<std::string> failures;
        bool reaped = false;
        const std::string dlg = XSession::WaitWindow("zelkor-dialog-130", 30);
        STEP(!dlg.empty());
        if (!dlg.empty()) {
            STEP(XSession::Focus(dlg));
            if (*c.typedPath) {
                STEP(XSession::Key("alt+o"));
                STEP(XSession::Type(c.typedPath));
            }
            STEP(XSession::Key("alt+d"));  // 参照(&D)
            const std::string box = XSession::WaitAndFocus("^zelkor$");
            STEP(!box.empty());
            if (!box.empty()) {
                if (*c.name) {
                    STEP(XSession::Key("End"));
                    STEP(XSession::Type(c.name));
                }
                STEP(XSession::Key("Return"));
                STEP(XSession::WaitGone("^zelkor$"));
            }
            STEP(XSession::Focus(dlg));
            STEP(XSession::Key("F12"));  // 実行
            // Enter at each message until the run ends.
            std::string last;
            for (int i = 0; i < 10 && !reaped; ++i) {
                const std::string box = WaitMessage(last, 60, [&] {
                    return reaped = ::waitpid(real.pid, &real.status, WNOHANG) == real.pid;
                });
                if (box.empty()) break;
                STEP(XSession::Key("Return"));
                last = box;
            }
        }
        const bool ended = reaped || real.Wait(60);
        ExpectEndedNormally(failures, ended, real, root);
        EXPECT_TRUE(ReadAll(home + "/drive_c/" + c.file) == expected)
            << "no export, or another one, at C:\\" << c.file << "\n" << ReadAll(root + "/real.err");
        // Nothing was added to the program's folder.
        std::string listing;
        XSession::Run("ls -A '" + program + "'", &listing);
        EXPECT_EQ(listing, "OrlanzenDef.ini\nZelkora");
    }
}

// The tax summation is a long step of the run and makes no window call: the
// progress dialog must show the quarter the run reached (25 %) while it
// works, not a caption from the moment the quarter began. The dialog's
// captions are followed as the X server reports them, each with the
// program's CPU time then; the CPU time the program spent while the dialog
// showed 25 % must exceed the time it spent under any earlier caption. A
// quarter of a million entries makes the summation long enough to measure;
// the program's own CPU time, not the clock, makes the test independent of
// the machine's speed and load.
TEST(FltkDeliverable, DuringALongSummationTheProgressCaptionShowsTheQuarterReached)
{
    std::string missing = XSession::MissingTools();
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    ASSERT_TRUE(XSession::Shared().Ready());

    std::string root = testtemp::Make("zk_deliv_");
    std::string home = root + "/home";
    std::string gen = "bash '" + std::string(ZK_SOURCE_DIR) + "/scripts/gen-large-store.sh' --force --entries 250000 corp '" +
                      home + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(gen.c_str()), 0);
    ASSERT_EQ(std::system(("mkdir -p '" + home + "/drive_c/Zelkor/Output'").c_str()), 0);

    Process real = StartReal(home, root);
    ASSERT_NE(real.pid, 0);
    CaptionWatch watch(real.pid, "zelkor-dialog-131");
    ASSERT_TRUE(watch.Start());
    std::vector<std::string> failures;
    std::string dlg = XSession::WaitWindow("zelkor-dialog-130", 30);
    STEP(!dlg.empty());
    if (!dlg.empty()) {
        STEP(XSession::Focus(dlg));
        STEP(XSession::Key("alt+o"));
        STEP(XSession::Type("C:\\Zelkor\\Output\\large.xml"));
        STEP(XSession::Key("F12"));
        // The store has entries with undetermined import codes: a notice
        // before the progress dialog opens.
        std::string notice = WaitMessage("", 30);
        STEP(!notice.empty());
        if (!notice.empty()) {
            STEP(XSession::Key("Return"));
        }
        std::string done = WaitMessage(notice, 300);
        STEP(!done.empty());
        if (!done.empty()) {
            STEP(XSession::Key("Return"));
        }
    }
    bool ended = real.Wait(60);
    watch.Stop();
    ExpectEndedNormally(failures, ended, real, root);
    ASSERT_TRUE(watch.WindowSeen()) << "the progress dialog was not seen";
    std::vector<std::string> shown;
    for (const CaptionWatch::Sighting& s : watch.Sightings()) shown.push_back(s.caption);
    const std::map<std::string, double> cpu = watch.CpuPerCaption();
    const std::string quarter = mbcs::Cp932ToUtf8("集計中 25％");
    double atQuarter = 0, before = 0;
    for (const auto& [caption, seconds] : cpu) {
        int percent = -1;
        if (std::sscanf(caption.c_str(), mbcs::Cp932ToUtf8("集計中 %d％").c_str(), &percent) == 1 && percent < 25)
            before += seconds;
        if (caption == quarter) atQuarter = seconds;
    }
    EXPECT_GT(atQuarter, before) << ::testing::PrintToString(shown) << "\n" << ::testing::PrintToString(cpu);
    testtemp::Remove(root);
}

// A termination signal while a real window waits for the user, with a caller
// listening: in the conditions dialog the run ends like an error (result 2,
// nothing written); at the closing message the export is done (result 0, the
// file whole and the conditions remembered). Either way the process ends by
// the signal, promptly, and the caller hears of the run once.
TEST(FltkDeliverable, TerminationSignalWhileAWindowWaits)
{
    std::string missing = XSession::MissingTools();
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    ASSERT_TRUE(XSession::Shared().Ready());
    const std::string root = testtemp::Make("zk_signal_");
    const std::string callers = root + "/callers";
    ::mkdir(callers.c_str(), 0755);
    setenv("ZELKOR_CALLER_DIR", callers.c_str(), 1);
    PlatformConfig::Reload();
    const std::string out = "/drive_c/Zelkor/Output/sample.xml";
    const std::string settings = "/drive_c/Zelkor/Settings/Zelkora.env";

    for (const bool atTheEnd : {false, true}) {
        SCOPED_TRACE(atTheEnd ? "at the closing message" : "in the conditions dialog");
        const std::string home = root + (atTheEnd ? "/end" : "/dialog");
        ASSERT_TRUE(MakeHome(home));
        TestCaller caller(123456, 5, 20000);
        ASSERT_TRUE(caller.Ready());
        Process p = Start({"ZELKOR_HOME=" + home, "ZELKOR_BACKEND=fltk", "ZELKOR_FLTK_IDLE_LIMIT=30",
                           "ZELKOR_CALLER_DIR=" + callers, "DISPLAY=" + XSession::Shared().Display(),
                           std::string("XAUTHORITY=") + std::getenv("XAUTHORITY"), "PATH=/usr/bin:/bin",
                           "HOME=" + root},
                          root + "/real.err", std::string(ZK_BINARY_DIR) + "/Zelkora", {"123456,1024,7,"});
        ASSERT_NE(p.pid, 0);
        std::vector<std::string> failures;
        const std::string dlg = XSession::WaitWindow("zelkor-dialog-130", 30);
        STEP(!dlg.empty());
        if (atTheEnd && !dlg.empty()) {
            STEP(XSession::Focus(dlg));
            STEP(XSession::Key("alt+o"));
            STEP(XSession::Type("C:\\Zelkor\\Output\\sample.xml"));
            STEP(XSession::Key("F12"));
            // The output folder is new: its question, then the closing message.
            const std::string question = WaitMessage("", 15);
            STEP(!question.empty());
            if (!question.empty()) {
                STEP(XSession::Key("y"));
            }
            STEP(!WaitMessage(question, 30).empty());
        }
        // The window waits; the user's terminal is closed.
        ::kill(p.pid, SIGTERM);
        const bool ended = p.Wait(5);
        EXPECT_TRUE(failures.empty()) << ::testing::PrintToString(failures);
        EXPECT_TRUE(ended) << "the signalled run did not end within 5 s";
        EXPECT_TRUE(WIFSIGNALED(p.status) && WTERMSIG(p.status) == SIGTERM) << ReadAll(root + "/real.err");
        const std::string result = atTheEnd ? "0" : "2";
        EXPECT_EQ(caller.Finish(),
                  (std::vector<std::string>{"disable", "foreground", "enable", "post 1024 7 " + result, "enable"}));
        const std::string file = ReadAll(home + out);
        if (atTheEnd) {
            EXPECT_TRUE(file.size() > 11 && file.compare(file.size() - 11, 11, "</REPORT>\r\n") == 0);
            // A caller's run remembers its conditions, not its path.
            EXPECT_EQ(ReadAll(home + settings).rfind("admin/", 0), 0u) << ReadAll(home + settings);
        } else {
            EXPECT_FALSE(Exists(home + out));
            EXPECT_FALSE(Exists(home + settings));
        }
    }
    unsetenv("ZELKOR_CALLER_DIR");
    PlatformConfig::Reload();
    (void)std::system(("rm -rf '" + root + "'").c_str());
}

}  // namespace

#endif  // ZK_HAVE_FLTK
