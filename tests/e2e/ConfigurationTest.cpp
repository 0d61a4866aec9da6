// The platform's configuration as a user writes it and starts the program:
// blanks and comments in zelkor.conf, a home that does not exist, a relative
// home whose start folder has gone. A home that cannot be used is refused
// with the store's message, and nothing is made anywhere.
#include "RunChecks.h"
#include "RunHarness.h"
#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const char kCancel[] = "key ESCAPE\nanswer OK\n";
const char kStoreUnusable[] = "会計データベースを開けません。\n";

// The names in a folder, sorted, one after another ("" for none).
std::string Listing(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& n : names) out += "[" + n + "]";
    return out;
}

// The settings from zelkor.conf alone: the backend, the script and the
// transcript come from the file, with blanks around names and values and
// comments on lines of their own; '#' inside a value is the value's.
TEST(Configuration, BlanksAroundNamesAndValuesAreDroppedAndHashIsAValueCharacter)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    WriteFile(h.HomeDir() + "/run#1.script", kCancel);
    WriteFile(h.HomeDir() + "/zelkor.conf",
              "# the headless backend\n"
              "   # with its script and transcript in the home\n"
              "  BACKEND = script  \n"
              "\tZELKOR_SCRIPT\t=\trun#1.script\t\r\n"
              " TRANSCRIPT =  t#1.txt  \n");
    h.UseOwnSettings({"ZELKOR_HOME=" + h.HomeDir()});
    const RunResult r = h.Run({});
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    const std::string transcript = ReadFile(h.HomeDir() + "/t#1.txt");
    EXPECT_NE(transcript.find("open dialog:130"), std::string::npos) << Listing(h.HomeDir()) << "\n" << r.stderrText;
    EXPECT_NE(transcript.find("\"" + mbcs::Cp932ToUtf8("｢消費税｣の集計を中止します。") + "\" answer=OK"),
              std::string::npos)
        << transcript;
    EXPECT_EQ(Listing(h.HomeDir()), "[drive_c][run#1.script][suite.db][t#1.txt][zelkor.conf]");
    EXPECT_EQ(r.stderrText, "");
}

// The box the run showed for a store that cannot be used, and nothing else.
void ExpectOneStoreMessage(const RunResult& r, const std::string& cp932Part)
{
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript << r.stderrText;
    const std::string opening = Quoted(kStoreUnusable);
    EXPECT_NE(r.messages[0].find("text=" + opening.substr(0, opening.size() - 1)), std::string::npos)
        << r.messages[0];
    const std::string part = Quoted(cp932Part);
    EXPECT_NE(r.messages[0].find(part.substr(1, part.size() - 2)), std::string::npos) << r.messages[0];
    EXPECT_EQ(r.transcript.find("open dialog:130"), std::string::npos) << r.transcript;
}

// ZELKOR_HOME names a folder that does not exist: the store's message, and
// the folder stays absent (no drive C: is made in it).
TEST(Configuration, AHomeThatDoesNotExistIsRefusedAndNothingIsMade)
{
    RunHarness h;
    h.WriteScript("answer OK\n");
    const std::string absent = h.Root() + "/absent";
    h.UseOwnSettings({"ZELKOR_HOME=" + absent, "ZELKOR_SCRIPT=" + h.Root() + "/run.script",
                      "ZELKOR_TRANSCRIPT=" + h.TranscriptPath()});
    const RunResult r = h.Run({});
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    ExpectOneStoreMessage(r, "会計データベースのファイル: " + mbcs::Utf8ToCp932(absent) + "/suite.db\n\nこのファイルがありません。");
    EXPECT_NE(r.stderrText.find("the store " + absent + "/suite.db does not exist (nor does its folder " + absent + ")"),
              std::string::npos)
        << r.stderrText;
    EXPECT_FALSE(fs::exists(absent));
}

// A relative ZELKOR_HOME while the folder the program was started in has
// been removed (`cd x; rmdir ../x`): no folder is taken in its stead, the run
// says so, and no home is made where the relative path would land from the
// root, the program's folder or the harness's.
TEST(Configuration, ARelativeHomeWhoseStartFolderIsGoneIsRefused)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript("answer OK\n");
    const std::string relative = "zk_gone_home_" + std::to_string(getpid());
    const std::string start = h.Root() + "/start";
    fs::create_directory(start);
    h.StartInRemovedFolder(start);
    h.UseOwnSettings({"ZELKOR_HOME=" + relative, "ZELKOR_SCRIPT=" + h.Root() + "/run.script",
                      "ZELKOR_TRANSCRIPT=" + h.TranscriptPath()});
    const RunResult r = h.Run({});
    EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
    ExpectOneStoreMessage(r, "会計データのフォルダ(スイートホーム)の場所を決められません。\n"
                             "環境変数 ZELKOR_HOME (または ZELKOR_STORE) は相対パスですが、プログラムを起動したフォルダが"
                             "もうありません。");
    EXPECT_NE(r.stderrText.find("the relative ZELKOR_HOME \"" + relative + "\" names no folder"), std::string::npos)
        << r.stderrText;
    EXPECT_FALSE(fs::exists(start));
    for (const std::string& from : {std::string("/"), h.ProgramDir() + "/", h.Root() + "/"})
        EXPECT_FALSE(fs::exists(from + relative)) << from;
    EXPECT_FALSE(fs::exists("/drive_c"));
}

}  // namespace
