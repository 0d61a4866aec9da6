// Each deliverable's windows carry its edition's icon: the icon the X server
// holds for the conditions dialog (_NET_WM_ICON, read with xprop) equals the
// edition's image pixel for pixel. Skipped when the X tools are not installed.
#ifdef ZK_HAVE_FLTK

#include "../support/Xpm.h"
#include "tests/support/TestTemp.h"
#include "XSession.h"

#include "res/icons/Zelkora.xpm"
#include "res/icons/Zelkorb.xpm"
#include "res/icons/Zelkorc.xpm"
#include "res/icons/Zelkord.xpm"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The numbers of the window's _NET_WM_ICON: width, height, then ARGB pixels.
std::vector<unsigned long> WindowIcon(const std::string& window)
{
    std::string out;
    if (!XSession::Run("xprop -id " + window + " -notype -f _NET_WM_ICON 32c ' = $0+' _NET_WM_ICON", &out)) return {};
    std::vector<unsigned long> values;
    size_t eq = out.find(" = ");
    if (eq == std::string::npos) return {};
    std::istringstream in(out.substr(eq + 3));
    for (std::string word; std::getline(in, word, ',');) values.push_back(std::strtoul(word.c_str(), nullptr, 10));
    return values;
}

pid_t StartDeliverable(const std::string& edition, const std::string& home, const std::string& display)
{
    std::string program = std::string(ZK_BINARY_DIR) + "/" + edition;
    std::vector<std::string> env = {"ZELKOR_HOME=" + home, "ZELKOR_BACKEND=fltk", "ZELKOR_FLTK_IDLE_LIMIT=20",
                                    "DISPLAY=" + display, std::string("XAUTHORITY=") + std::getenv("XAUTHORITY"),
                                    "PATH=/usr/bin:/bin", "HOME=" + home};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    char* argv[] = {program.data(), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &files, nullptr, argv, envp.data()) != 0) pid = 0;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

TEST(FltkIcon, EachDeliverablesWindowsShowItsEditionsIcon)
{
    std::string missing = XSession::MissingTools();
    if (missing.empty() && std::system("command -v xprop >/dev/null 2>&1") != 0) missing = "xprop";
    if (!missing.empty()) GTEST_SKIP() << "the X tools are not installed: " << missing;
    XSession& x = XSession::Shared();
    ASSERT_TRUE(x.Ready());
    std::string home = testtemp::Make("zk_icon_");
    ASSERT_EQ(std::system(("bash '" + std::string(ZK_SOURCE_DIR) + "/scripts/make-home.sh' --force '" + home +
                           "/home' corp-general >/dev/null 2>&1")
                              .c_str()),
              0);

    struct Edition {
        const char* name;
        const char* const* xpm;
        size_t lines;
    } editions[] = {
        {"Zelkora", Zelkora_xpm, std::size(Zelkora_xpm)},
        {"Zelkorb", Zelkorb_xpm, std::size(Zelkorb_xpm)},
        {"Zelkorc", Zelkorc_xpm, std::size(Zelkorc_xpm)},
        {"Zelkord", Zelkord_xpm, std::size(Zelkord_xpm)},
    };
    for (const Edition& e : editions) {
        SCOPED_TRACE(e.name);
        XpmImage expected;
        std::string why;
        ASSERT_TRUE(DecodeXpm(e.xpm, e.lines, expected, why)) << why;
        pid_t pid = StartDeliverable(e.name, home + "/home", x.Display());
        ASSERT_NE(pid, 0);
        std::string window = XSession::WaitWindow("zelkor-dialog-130", 30);
        std::vector<unsigned long> icon = window.empty() ? std::vector<unsigned long>{} : WindowIcon(window);
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        // The next edition's dialog must not be confused with this one.
        for (int i = 0; i < 50 && XSession::Run("xdotool search --onlyvisible --classname zelkor-dialog-130"); ++i)
            ::usleep(100000);
        ASSERT_FALSE(window.empty()) << "the conditions dialog did not show";
        ASSERT_EQ(icon.size(), 2 + expected.pixels.size());
        EXPECT_EQ(icon[0], static_cast<unsigned long>(expected.width));
        EXPECT_EQ(icon[1], static_cast<unsigned long>(expected.height));
        int wrong = 0;
        for (size_t i = 0; i < expected.pixels.size(); ++i) {
            uint32_t want = expected.pixels[i];
            auto got = static_cast<uint32_t>(icon[2 + i]);
            // A transparent pixel's colour is of no account.
            bool same = (want >> 24) == 0 ? (got >> 24) == 0 : got == want;
            if (!same && ++wrong <= 3) ADD_FAILURE() << "pixel " << i << ": " << std::hex << got << " not " << want;
        }
        EXPECT_EQ(wrong, 0);
    }
    (void)std::system(("rm -rf '" + home + "'").c_str());
}

}  // namespace

#endif  // ZK_HAVE_FLTK
