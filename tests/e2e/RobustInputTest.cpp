// Bad input through the built deliverable: odd command lines, stores that
// cannot be used, amounts beyond the range of the amount type, and odd
// support-information files. Each run must end with a clear message, the
// right result code for the caller, the caller enabled again, and nothing on
// disk that could be taken for a good export.
#include "RunChecks.h"
#include "RunHarness.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const char kOverflow[] = "金額が計算できる範囲を超えたため、消費税情報の出力を中止しました。";
const char kSumFailed[] = "消費税の集計中にエラーが発生したため、消費税情報の出力を中止しました。";
const char kRateCount[] =
    "消費税設定の税率の数が集計に対応していないため、消費税情報の出力を中止しました。\n\n"
    "会計システムで消費税の設定を確認してください。";
const char kPathTooLong[] =
    "出力先のパスが長すぎます。\n\n出力先は半角260文字(全角130文字)以内で指定してください。";
// The store's file follows it, and how the stand-in selects.
const char kNoDataset[] = "会計データが選択されていません。\n会計システムでデータを選択してから実行してください。\n\n";
const char kBadChars[] = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const char kStoreUnusable[] = "会計データベースを開けません。\n";

// The export of the aggregation mode to C:\out.xml, and of the saved values.
const char kExport[] = "type 1008 C:\\out.xml\nkey F12\nanswer OK\n";
const char kExportSaved[] = "click 1031\ntype 1008 C:\\out.xml\nkey F12\nanswer OK\n";

std::string Output(const RunHarness& h, const std::string& name = "out.xml")
{
    return h.HomeDir() + "/drive_c/" + name;
}

// ---------------------------------------------------------------------------
// Command lines beyond what the dialog tests cover: whole exports with a
// padded handle, a function id beyond 16 bits, a path holding commas, a
// handle that is no number, and a path that does not fit the run.

TEST(RobustCommandLine, LongLinesAndOddFieldsThroughAWholeExport)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript("key F12\nanswer OK\n");

    {
        SCOPED_TRACE("a line of over 300 bytes whose handle is padded with zeros");
        const CalledRun c = RunCalled(h, {std::string(300, '0') + "123456,1024,7,C:\\pad.xml"});
        EXPECT_EQ(c.r.exitStatus, 0) << c.r.stderrText;
        EXPECT_EQ(Messages(c.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)});
        EXPECT_EQ(c.caller, Notified(7, 0));
        EXPECT_EQ(Element(ReadFile(Output(h, "pad.xml")), "FUNCTIONID"), "7");
    }
    {
        SCOPED_TRACE("a function id beyond 16 bits");
        const CalledRun c = RunCalled(h, {"123456,1024,70000,C:\\wide.xml"});
        EXPECT_EQ(c.caller, Notified(4464, 0));
        EXPECT_EQ(Element(ReadFile(Output(h, "wide.xml")), "FUNCTIONID"), "4464");
    }
    {
        // The whole rest of the line is the path. The dialog shows it fixed
        // (the user cannot change a caller's path) and refuses its commas on
        // 実行, so the user can only cancel: result 1, nothing written.
        SCOPED_TRACE("a path holding commas");
        h.WriteScript("key F12\nanswer OK\nkey ESCAPE\nanswer OK\n");
        const CalledRun c = RunCalled(h, {"123456,1024,7,C:\\a,b,c.xml"});
        EXPECT_NE(c.r.transcript.find("control 1008 EDIT \"C:\\\\a,b,c.xml\" disabled"), std::string::npos)
            << Brief(c.r);
        EXPECT_EQ(Messages(c.r), (std::vector<std::string>{Message("exclamation", "OK", "OK", kBadChars),
                                                           Message("information", "OK", "OK", kCancelled)}));
        EXPECT_EQ(c.caller, Notified(7, 1));
        EXPECT_FALSE(fs::exists(Output(h, "a,b,c.xml"))) << Brief(c.r);
        EXPECT_FALSE(fs::exists(Output(h, "a"))) << Brief(c.r);
        h.WriteScript("key F12\nanswer OK\n");
    }
    {
        SCOPED_TRACE("a handle that is no number: nobody to disable or notify");
        const CalledRun c = RunCalled(h, {"abc,1024,7,C:\\nohandle.xml"}, 0, 0);
        EXPECT_EQ(c.r.exitStatus, 0) << c.r.stderrText;
        EXPECT_EQ(Messages(c.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)});
        EXPECT_TRUE(c.r.callerLines.empty()) << Brief(c.r);
        EXPECT_TRUE(c.caller.empty());
        EXPECT_EQ(Element(ReadFile(Output(h, "nohandle.xml")), "FUNCTIONID"), "7");
    }
    {
        SCOPED_TRACE("a path longer than the run's 260 bytes is refused, not cut");
        const std::string path = "C:\\" + std::string(300, 'p') + ".xml";
        const CalledRun c = RunCalled(h, {"123456,1024,7," + path});
        EXPECT_EQ(c.r.exitStatus, 0) << c.r.stderrText;
        EXPECT_EQ(Messages(c.r), std::vector<std::string>{Message("exclamation", "OK", "OK", kPathTooLong)});
        EXPECT_EQ(c.caller, Notified(7, 2));
        for (const auto& entry : fs::directory_iterator(h.HomeDir() + "/drive_c")) {
            EXPECT_EQ(entry.path().filename().string().find("ppp"), std::string::npos) << entry.path();
        }
    }
}

// ---------------------------------------------------------------------------
// Stores

// A sqlite3 shell in another process that holds an exclusive lock on the
// store until it is released, and at the latest for `maxSeconds`.
class StoreLock {
public:
    StoreLock(const std::string& db, int maxSeconds)
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[0]);
            close(in[1]);
            close(out[0]);
            close(out[1]);
            const std::string seconds = std::to_string(maxSeconds);
            execlp("timeout", "timeout", seconds.c_str(), "sqlite3", db.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_in = in[1];
        const char sql[] = "BEGIN EXCLUSIVE;\nSELECT 'locked';\n";
        if (write(m_in, sql, sizeof sql - 1) != static_cast<ssize_t>(sizeof sql - 1)) return;
        // The shell answers once it holds the lock.
        pollfd p{out[0], POLLIN, 0};
        char answer[16] = {};
        if (poll(&p, 1, 5000) == 1 && read(out[0], answer, sizeof answer - 1) > 0) {
            m_locked = std::string(answer).rfind("locked", 0) == 0;
        }
        close(out[0]);
    }
    ~StoreLock() { Release(); }

    bool Locked() const { return m_locked; }

    // Ends the shell's input: it rolls back and exits.
    void Release()
    {
        if (m_in >= 0) close(m_in);
        m_in = -1;
        if (m_pid > 0) waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    bool m_locked = false;
};

// A store that cannot be used ends the run before the caller's line is read:
// the suite says why, nobody is disabled, and nothing is written.
TEST(RobustStore, StoresThatCannotBeOpened)
{
    struct Case {
        const char* name;
        void (*spoil)(RunHarness&);
        const char* why;     // the suite's reason after the store's path, on standard error
        const char* advice;  // part of the message box (code page 932)
    };
    const char kDamaged[] = "このファイルは会計データベースではないか、壊れています。\n";
    const Case cases[] = {
        {"missing", [](RunHarness& h) { fs::remove(h.HomeDir() + "/suite.db"); }, " does not exist",
         "このファイルがありません。\n会計データのフォルダ(スイートホーム)を scripts/make-home.sh で作成するか、"},
        {"damaged",
         [](RunHarness& h) {
             std::string garbage;
             for (int i = 0; i < 8192; ++i) garbage += static_cast<char>((i * 131 + 7) % 251);
             WriteFile(h.HomeDir() + "/suite.db", garbage);
         },
         " is not a store", kDamaged},
        {"emptied", [](RunHarness& h) { WriteFile(h.HomeDir() + "/suite.db", ""); }, " is not a store", kDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.BuildHome({"corp-general"}, 1);
        c.spoil(h);
        h.WriteScript(kExport);
        const CalledRun run = RunCalled(h, {"123456,1024,7,"}, 0);
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        ASSERT_EQ(run.r.messages.size(), 1u) << Brief(run.r);
        const std::string opening = Quoted(kStoreUnusable);
        EXPECT_NE(run.r.messages[0].find("text=" + opening.substr(0, opening.size() - 1)), std::string::npos)
            << run.r.messages[0];
        // Japanese that names the file and says what to do; the technical
        // reason only on standard error.
        const std::string file = mbcs::Cp932ToUtf8("会計データベースのファイル: ") + h.HomeDir() + "/suite.db\\n\\n";
        EXPECT_NE(run.r.messages[0].find(file), std::string::npos) << run.r.messages[0];
        const std::string advice = Quoted(c.advice);
        EXPECT_NE(run.r.messages[0].find(advice.substr(1, advice.size() - 2)), std::string::npos) << run.r.messages[0];
        EXPECT_EQ(run.r.messages[0].find(c.why + 1), std::string::npos) << run.r.messages[0];
        EXPECT_NE(run.r.stderrText.find(h.HomeDir() + "/suite.db" + c.why), std::string::npos) << run.r.stderrText;
        EXPECT_EQ(run.r.transcript.find("open dialog:130"), std::string::npos) << Brief(run.r);
        EXPECT_TRUE(run.caller.empty());
        EXPECT_FALSE(fs::exists(Output(h))) << Brief(run.r);
    }
}

// A store the host lets the run see but not use is told as such: neither
// missing nor damaged, so no advice to make it anew (--force would replace
// the company's data). The box names the file, standard error the host's
// reason. `refuse` spoils the home of a harness that runs as `user` (null:
// as this process).
struct RefusedStore {
    const char* name;
    void (*refuse)(RunHarness&);
    const char* advice;  // the box's advice (code page 932)
    const char* why;     // standard error after the store's path
};

void ExpectRefusedStoreTold(const RefusedStore& c, const RunHarness::HostUser* user)
{
    SCOPED_TRACE(c.name);
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    if (user) {
        h.OpenToAllUsers();
        h.RunAs(user);
    }
    c.refuse(h);
    h.WriteScript(kExport);
    const CalledRun run = RunCalled(h, {"123456,1024,7,"}, 0);
    EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
    ASSERT_EQ(run.r.messages.size(), 1u) << Brief(run.r);
    const std::string& box = run.r.messages[0];
    const std::string opening = Quoted(kStoreUnusable);
    EXPECT_NE(box.find("text=" + opening.substr(0, opening.size() - 1)), std::string::npos) << box;
    EXPECT_NE(box.find(mbcs::Cp932ToUtf8("会計データベースのファイル: ") + h.HomeDir() + "/suite.db"), std::string::npos)
        << box;
    const std::string advice = Quoted(c.advice);
    EXPECT_NE(box.find(advice.substr(1, advice.size() - 2)), std::string::npos) << box;
    for (const char* wrong : {"壊れて", "--force", "このファイルがありません"})
        EXPECT_EQ(box.find(mbcs::Cp932ToUtf8(wrong)), std::string::npos) << wrong << " in " << box;
    EXPECT_NE(run.r.stderrText.find(h.HomeDir() + "/suite.db" + c.why), std::string::npos) << run.r.stderrText;
    EXPECT_TRUE(run.caller.empty());
    EXPECT_FALSE(fs::exists(Output(h))) << Brief(run.r);
}

const char kCannotOpen[] = "このファイルを読み書きできません。\nファイルとそのフォルダのアクセス権を確認してください。";

TEST(RobustStore, AStoreWhoseJournalIsAFolderIsNoDamage)
{
    ExpectRefusedStoreTold({"a leftover journal that is a folder",
                            [](RunHarness& h) { fs::create_directory(h.HomeDir() + "/suite.db-journal"); },
                            kCannotOpen, " cannot be opened: disk I/O error; "},
                           nullptr);
}

// Another user's files and folders (root ignores permissions: the run takes
// a spare uid).
TEST(RobustStore, StoresOfAnotherUserAreNeitherMissingNorDamaged)
{
    if (!CanRunAsOtherUsers()) GTEST_SKIP() << "another user's files need runs as another host user: root only";
    const RunHarness::HostUser user{2154, 2154, {}, 022};
    const RefusedStore cases[] = {
        {"a leftover journal the user may not read",
         [](RunHarness& h) {
             WriteFile(h.HomeDir() + "/suite.db-journal", std::string(2048, 'j'));
             fs::permissions(h.HomeDir() + "/suite.db-journal", fs::perms::owner_read | fs::perms::owner_write);
         },
         kCannotOpen, " cannot be opened: unable to open database file; "},
        {"a home in a folder of another user that the user may not search",
         [](RunHarness& h) {
             const std::string folder = h.Root() + "/private";
             fs::create_directory(folder);
             fs::rename(h.HomeDir(), folder + "/home");
             fs::permissions(folder, fs::perms::owner_all);
             fs::create_directory_symlink(folder + "/home", h.HomeDir());
         },
         "このファイルを読み込めません。このファイルに至るフォルダを開く権限がありません。\n"
         "フォルダのアクセス権を確認してください。",
         " cannot be read: "},
    };
    for (const RefusedStore& c : cases) ExpectRefusedStoreTold(c, &user);
}

// Another program's lock: the run waits a while for it; a lock that is
// released in that while does no harm, one that is held on ends the run with
// a message that names the lock.
TEST(RobustStore, StoreLockedByAnotherProcess)
{
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript(kExport);
    {
        SCOPED_TRACE("held on");
        StoreLock lock(h.HomeDir() + "/suite.db", 20);
        ASSERT_TRUE(lock.Locked());
        const CalledRun run = RunCalled(h, {"123456,1024,7,"}, 0);
        lock.Release();
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        ASSERT_EQ(run.r.messages.size(), 1u) << Brief(run.r);
        EXPECT_NE(run.r.messages[0].find(mbcs::Cp932ToUtf8("ほかのプログラムがこの会計データベースを使用中です。")),
                  std::string::npos)
            << run.r.messages[0];
        EXPECT_NE(run.r.stderrText.find("locked"), std::string::npos) << run.r.stderrText;
        EXPECT_EQ(run.r.stderrText.find("not a store"), std::string::npos) << run.r.stderrText;
        EXPECT_TRUE(run.caller.empty());
        EXPECT_FALSE(fs::exists(Output(h)));
    }
    {
        SCOPED_TRACE("released after a second");
        StoreLock lock(h.HomeDir() + "/suite.db", 1);
        ASSERT_TRUE(lock.Locked());
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)});
        EXPECT_EQ(run.caller, Notified(7, 0));
        EXPECT_TRUE(fs::exists(Output(h)));
    }
}

TEST(RobustStore, SelectionWithoutItsDatasetAndAnOddRateCount)
{
    {
        SCOPED_TRACE("the selection names a dataset that does not exist");
        RunHarness h;
        h.BuildHome({"corp-general"}, 1);
        h.ExecSql("PRAGMA foreign_keys = OFF; UPDATE selection SET data_no = 99;");
        h.WriteScript("answer OK\n");
        const CalledRun run = RunCalled(h);
        ASSERT_EQ(run.r.messages.size(), 1u) << Brief(run.r);
        const std::string opening = Message("exclamation", "OK", "OK", kNoDataset);
        EXPECT_EQ(Messages(run.r)[0].rfind(opening.substr(0, opening.size() - 1), 0), 0u) << Messages(run.r)[0];
        EXPECT_NE(Messages(run.r)[0].find(h.HomeDir() + "/suite.db"), std::string::npos) << Messages(run.r)[0];
        EXPECT_EQ(run.r.transcript.find("open dialog:130"), std::string::npos) << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 1));
    }
    for (int count : {0, 3, 6}) {
        SCOPED_TRACE("tax-rate count " + std::to_string(count));
        RunHarness h;
        h.BuildHome({"corp-general"}, 1);
        h.ExecSql("UPDATE tax_settings SET tax_rate_count = " + std::to_string(count));
        h.WriteScript(kExport);
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("exclamation", "OK", "OK", kRateCount)});
        EXPECT_EQ(run.caller, Notified(7, 2));
        EXPECT_FALSE(fs::exists(Output(h)));
        // Nothing is remembered of a run that did not complete.
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
    }
}

// ---------------------------------------------------------------------------
// Amounts beyond the range of the amount type, on every road a sum takes.

// One journal entry in the first month; both sides in department `dept`.
std::string Entry(int dataNo, int date, int dr, const std::string& drAmount, int drCode, int drRate, int cr,
                  const std::string& crAmount, int crCode, int crRate, int dept = 0)
{
    return "INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_dept, dr_amount, dr_tax_code, "
           "dr_rate, cr_account, cr_dept, cr_amount, cr_tax_code, cr_rate) VALUES (" +
           std::to_string(dataNo) + ", " + std::to_string(date) + ", 1, " + std::to_string(dr) + ", " +
           std::to_string(dept) + ", " + drAmount + ", " + std::to_string(drCode) + ", " + std::to_string(drRate) +
           ", " + std::to_string(cr) + ", " + std::to_string(dept) + ", " + crAmount + ", " + std::to_string(crCode) +
           ", " + std::to_string(crRate) + ");";
}

// Ten entries of 95,000,000,000,000 yen on one account in one month: each is
// within the amount type's range, their sum is not.
std::string TenEntries(int dataNo, int date, int dr, int cr, int dept)
{
    std::string sql;
    for (int i = 0; i < 10; ++i)
        sql += Entry(dataNo, date + i, dr, "950000000000000000", 0, 0, cr, "0", 0, 0, dept);
    return sql;
}

TEST(RobustAmounts, OverflowEndsWithResult2AndAMessageAndNoFile)
{
    const std::string huge = "5000000000000000000";  // raw 1/10000 yen; two of them leave 64 bits
    struct Case {
        const char* name;
        const char* sample;
        std::string sql;
        const char* script;
        const char* text;
    };
    const Case cases[] = {
        {"one side beyond the amount type's range", "corp-general",
         Entry(1, 20240405, 1310, "0", 0, 0, 4110, "9000000000000000000", 21, 1000), kExport, kOverflow},
        {"the tax summation of two sales", "corp-general",
         Entry(1, 20240405, 1310, "0", 0, 0, 4110, huge, 21, 1000) +
             Entry(1, 20240406, 1310, "0", 0, 0, 4110, huge, 21, 1000),
         kExport, kOverflow},
        {"the account summaries of a corporation", "corp-general",
         Entry(1, 20240410, 5110, huge, 0, 0, 2110, "0", 0, 0) + Entry(1, 20240411, 5110, huge, 0, 0, 2110, "0", 0, 0),
         kExport, kSumFailed},
        {"the account summaries of an individual", "indiv-general",
         TenEntries(3, 20240110, 5110, 2110, 10), kExport, kSumFailed},
        {"the account summaries of a corporation, each entry within the range", "corp-general",
         TenEntries(1, 20240410, 5110, 2110, 0),
         kExport, kSumFailed},
        {"a saved amount times 20", "corp-general", "INSERT INTO saved_tax_fields VALUES (1, 12643, 8, 900000000000000000);",
         kExportSaved, kOverflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.BuildHome({c.sample}, c.sample == std::string("indiv-general") ? 3 : 1);
        h.ExecSql(c.sql);
        h.WriteScript(c.script);
        const CalledRun run = RunCalled(h);
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        EXPECT_EQ(Messages(run.r), std::vector<std::string>{Message("exclamation", "OK", "OK", c.text)})
            << Brief(run.r);
        EXPECT_EQ(run.caller, Notified(7, 2));
        EXPECT_FALSE(fs::exists(Output(h))) << Brief(run.r);
        EXPECT_EQ(Count(run.r.transcript, "wait-cursor on"), Count(run.r.transcript, "wait-cursor off"));
        EXPECT_FALSE(fs::exists(SettingsFile(h)));
    }
}

// ---------------------------------------------------------------------------
// Support-information files in the program's folder, through a whole export:
// the SYSTEM section shows the value or the fallback.

TEST(RobustSupportInfo, OddFilesGiveTheValueOrTheFallback)
{
    const std::string name = "[=製品名=]";           // 10 bytes
    const std::string version = "[=製品ﾊﾞｰｼﾞｮﾝ=]";   // 15 bytes
    ASSERT_EQ(name.size(), 10u);
    ASSERT_EQ(version.size(), 15u);
    auto filler = [](size_t bytes) {
        std::string text;
        while (text.size() + 40 <= bytes) text += std::string(38, 'x') + "\r\n";
        return text + std::string(bytes - text.size(), 'y');
    };
    const std::string kFallbackName = "Varnel２２";
    const std::string kFallbackVersion = "22.50.0X";

    struct Case {
        const char* name;
        std::string file;
        std::string programName;
        std::string programVer;
    };
    const Case cases[] = {
        {"empty", "", kFallbackName, kFallbackVersion},
        {"0xFF bytes only", std::string(2000, '\xFF'), kFallbackName, kFallbackVersion},
        {"a 0xFF byte of the file is part of its value", name + "Zel\xFFkor\r\n" + version + "9.1\r\n", "Zel\xFFkor",
         "9.1"},
        {"a last value without a line end", version + "7.0\r\n" + name + "NoEnd", "NoEnd", "7.0"},
        {"40,000 bytes, the name beyond the block",
         version + "30.00.01\r\n" + filler(31000 - version.size() - 10) + name + "Late\r\n" + filler(8984),
         kFallbackName, "30.00.01"},
        {"a marker that ends with the block", filler(29990) + name + "After\r\n", kFallbackName, kFallbackVersion},
        {"a marker across the block's end", filler(29995) + name + "After\r\n", kFallbackName, kFallbackVersion},
        {"a value cut by the block's end", filler(29980) + version + "ABCDEFGHIJ\r\n", kFallbackName, "ABCDE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.BuildHome({"corp-general"}, 1);
        WriteFile(h.ProgramDir() + "/SUPPORT.INF", c.file);
        h.WriteScript(kExport);
        const RunResult r = h.Run({});
        EXPECT_EQ(r.exitStatus, 0) << r.stderrText;
        EXPECT_EQ(Messages(r), std::vector<std::string>{Message("information", "OK", "OK", kCompleted)});
        const std::string xml = ReadFile(Output(h));
        EXPECT_EQ(Element(xml, "PROGRAMNAME"), c.programName);
        EXPECT_EQ(Element(xml, "PROGRAMVER"), c.programVer);
    }

    // A name of 150 double-byte characters (300 bytes) and markup: cut to
    // whole characters whose escaped form fits its line, and the file stays
    // well-formed.
    std::string longName;
    for (int i = 0; i < 150; ++i) longName += "表";
    RunHarness h;
    h.BuildHome({"corp-general"}, 1);
    WriteFile(h.ProgramDir() + "/SUPPORT.INF", name + "A&B " + longName + "\r\n" + version + "<1>\r\n");
    h.WriteScript(kExport);
    const RunResult r = h.Run({});
    const std::string xml = ReadFile(Output(h));
    const std::string shown = Element(xml, "PROGRAMNAME");
    EXPECT_EQ(shown, "A&amp;B " + longName.substr(0, 224 - 8));
    EXPECT_EQ(Element(xml, "PROGRAMVER"), "&lt;1&gt;");
    EXPECT_EQ(std::system(("xmllint --noout '" + Output(h) + "' 2>/dev/null").c_str()), 0);
}

}  // namespace
