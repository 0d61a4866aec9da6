// The remembered conditions through the built deliverables when the settings
// folder is not the program's alone: a name planted beside the settings file,
// and users whose runs finish at the same moment on one shared folder.
#include "RunChecks.h"
#include "RunHarness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

// An export with months 5 to 2 to `path`, ended with the closing message.
std::string ExportTo(const std::string& path)
{
    return "type 1014 5\ntype 1016 2\ntype 1008 " + path + "\nkey F12\nanswer OK\n";
}

// The line of `user` in a settings file ("" when there is none).
std::string LineOf(const std::string& settings, const std::string& user)
{
    const std::string start = user + "/{";
    for (size_t at = 0; at < settings.size();) {
        const size_t lf = settings.find('\n', at);
        const std::string line = settings.substr(at, lf == std::string::npos ? std::string::npos : lf - at + 1);
        if (line.rfind(start, 0) == 0) return line;
        if (lf == std::string::npos) break;
        at = lf + 1;
    }
    return "";
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(SharedSettings, PlantedLinksBesideTheSettingsFileAreNotFollowed)
{
    RunHarness h("Zelkora");
    h.BuildHome({"corp-general"}, 1);
    const std::string settings = SettingsFile(h);
    fs::create_directories(fs::path(settings).parent_path());
    const std::string victim = h.Root() + "/victim.txt";
    std::ofstream(victim, std::ios::binary) << "precious\n";
    // A link planted at the name the new content is written to.
    fs::create_symlink(victim, settings + ".new");

    h.WriteScript(ExportTo("C:\\first.xml"));
    RunResult r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_EQ(ReadFile(victim), "precious\n");
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(settings)));
    EXPECT_TRUE(EndsWith(ReadFile(settings), ":0/5/2/0/1/0/C:\\first.xml\n")) << ReadFile(settings);
    // The link is not the writer's: it stays.
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(settings + ".new")));

    // A dangling link there, as an interrupted run might leave a name.
    const std::string nowhere = h.Root() + "/nowhere.txt";
    fs::remove(settings + ".new");
    fs::create_symlink(nowhere, settings + ".new");
    h.WriteScript(ExportTo("C:\\second.xml"));
    r = h.Run({});
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(settings)));
    EXPECT_TRUE(EndsWith(ReadFile(settings), ":0/5/2/0/1/0/C:\\second.xml\n")) << ReadFile(settings);
}

TEST(SharedSettings, SettingsFileThatIsAPipeHoldsNothingUp)
{
    RunHarness h("Zelkora");
    h.BuildHome({"corp-general"}, 1);
    const std::string settings = SettingsFile(h);
    fs::create_directories(fs::path(settings).parent_path());
    ASSERT_EQ(::mkfifo(settings.c_str(), 0666), 0);

    // Nothing remembered: the dialog opens with its defaults, the export is
    // done, and the pipe is left as it was.
    h.WriteScript(ExportTo("C:\\piped.xml"));
    const RunResult r = h.Run({}, 10000);
    ASSERT_EQ(r.exitStatus, 0) << r.stderrText;
    EXPECT_TRUE(fs::is_regular_file(h.DriveC("piped.xml"))) << r.transcript;
    EXPECT_TRUE(fs::is_fifo(settings));
    EXPECT_FALSE(fs::exists(settings + ".new"));
}

TEST(SharedSettings, RunsFinishingTogetherKeepEveryUsersLatestLine)
{
    // Two users, each at a machine of their own (their own suite home), with
    // the settings folder on one shared drive S:.
    RunHarness a("Zelkora");
    RunHarness b("Zelkora");
    const std::string shared = a.Root() + "/shared";
    fs::create_directories(shared);
    for (RunHarness* h : {&a, &b}) {
        h->BuildHome({"corp-general"}, 1);
        std::ofstream(h->HomeDir() + "/zelkor.conf")
            << "DRIVES=S=" << shared << "\nSETTINGS_FOLDER=S:\\Settings\\\n";
    }
    b.ExecSql("UPDATE selection SET user_id = 'tanaka'");
    const std::string settings = shared + "/Settings/Zelkora.env";

    constexpr int kPairs = 20;
    int lost = 0;
    for (int pair = 0; pair < kPairs; ++pair) {
        SCOPED_TRACE("pair " + std::to_string(pair));
        const std::string n = std::to_string(pair);
        ASSERT_TRUE(ExportTogether(a, b, pair));

        const std::string file = ReadFile(settings);
        const bool adminKept = EndsWith(LineOf(file, "admin"), ":0/5/2/0/1/0/C:\\a" + n + ".xml\n");
        const bool tanakaKept = EndsWith(LineOf(file, "tanaka"), ":0/5/2/0/1/0/C:\\b" + n + ".xml\n");
        EXPECT_TRUE(adminKept && tanakaKept) << file;
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 2) << file;
        if (!adminKept || !tanakaKept) ++lost;
    }
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(fs::exists(settings + ".new"));
}

}  // namespace
