// The endings of an export run that the user meets through the built
// deliverable: キャンセル, the journal-entry refusal and the old-rate question,
// a section that cannot be written (a full disk) answered No or Yes in either
// mode, and the library's own refusals. Each with the result code the caller
// receives, what stays on disk and what is remembered.
#include "RunChecks.h"
#include "RunHarness.h"

#include "win32/Mbcs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace e2e;

const int kFunction = 5;

const char kM1[] =
    "集計範囲に事業分類「第六種事業」の仕訳が存在します。\n"
    "「第六種事業」は、平成27年4月1日以降に開始する課税期間に適用される事業分類のため、処理できません。\n\n"
    "Varnel２２ Lisbey の以下の機能にて事業分類を見直してください。\n\n"
    "・各種帳簿機能(簡易振替伝票入力等)\n"
    "※入力済みの伝票は、各帳簿画面の置換機能にて一括で変換することができます。";
const char kM3[] =
    "指定された集計期間内に旧税率(3%・5%・8%)のいずれかが指定された仕訳が存在しています。\n"
    "旧税率を伴う「2割特例」の集計に対応していないため、「2割特例」を適用せずに集計を続行します。\n\n"
    "よろしいですか？";

std::string Question(int section, const char* answer)
{
    return MessageLine("dialog:131", "exclamation", "YES,NO", kQuestions[section], answer);
}

class RunEndings : public ::testing::Test {
protected:
    RunEndings() : h("Zelkora") {}

    // One run of `h` with a caller; the caller's notifications land in `notified`.
    RunResult RunCalled(const std::string& path) { return RunCalledOn(h, path); }
    RunResult RunCalledOn(RunHarness& harness, const std::string& path)
    {
        CalledRun run = e2e::RunCalled(harness, {"123456,1024," + std::to_string(kFunction) + "," + path});
        notified = run.caller;
        EXPECT_EQ(run.r.exitStatus, 0) << run.r.stderrText;
        return run.r;
    }

    std::vector<std::string> CalledRoad(const std::vector<std::string>& middle, int result)
    {
        return e2e::CalledRoad(middle, kFunction, result);
    }

    std::string Settings() const { return SettingsFile(h); }

    RunHarness h;
    std::vector<std::string> notified;
    const std::string dialogOpen = "open dialog:130 modal caption " + Quoted("消費税 - 集計条件");
    const std::string progressOpen = "open dialog:131 modeless caption " + Quoted("集計中");
};

TEST_F(RunEndings, CancelButtonEndsWithResult1AndLeavesNothing)
{
    h.BuildHome({"corp-general"}, 1);
    h.WriteScript("click 1006\nanswer OK\n");
    const RunResult r = RunCalled("C:\\cancelled.xml");
    EXPECT_EQ(notified, Notified(kFunction, 1));
    EXPECT_EQ(Road(r.transcript),
              CalledRoad({dialogOpen, MessageLine("dialog:130", "information", "OK", kCancelled, "OK"),
                          "end dialog:130 result=1006"},
                         1))
        << r.transcript;
    EXPECT_FALSE(fs::exists(h.DriveC("cancelled.xml")));
    EXPECT_FALSE(fs::exists(Settings()));
}

// 第六種事業 entries in a range that starts before April 2015 under 簡易課税:
// the run refuses with the deliverable's product name in the message.
TEST_F(RunEndings, SixthBusinessKindBeforeApril2015IsRefusedWithResult1)
{
    RunHarness lisbey("Zelkorc");
    lisbey.BuildHome({"corp-simplified"}, 2);
    lisbey.ExecSql("UPDATE datasets SET period_from = 20140101, period_to = 20141231 WHERE data_no = 2;"
                   "UPDATE journal SET cr_business = 6 WHERE data_no = 2 AND entry_date = 20240412;");
    lisbey.WriteScript("type 1008 C:\\m1.xml\nkey F12\nanswer OK\n");
    const RunResult r = RunCalledOn(lisbey, "C:\\m1.xml");
    EXPECT_EQ(notified, Notified(kFunction, 1));
    EXPECT_EQ(Road(r.transcript),
              CalledRoad({dialogOpen, "end dialog:130 result=1005", MessageLine("dialog:131", "exclamation", "OK", kM1, "OK")},
                         1))
        << r.transcript;
    EXPECT_FALSE(fs::exists(lisbey.DriveC("m1.xml")));
    EXPECT_FALSE(fs::exists(lisbey.DriveC("Zelkor/Settings/Zelkorc.env")));
}

// 「2割特例」 with an entry at the old 8 % rate: Cancel ends the run with
// result 1; OK goes on without the special rule, in the file and in what is
// remembered.
TEST_F(RunEndings, OldRateQuestionCancelAndOk)
{
    h.BuildHome({"corp-general"}, 1);
    h.ExecSql("INSERT INTO journal (data_no, entry_date, month_kind, dr_account, dr_amount, dr_tax, dr_tax_code,"
              " dr_rate, cr_account, cr_amount) VALUES (1, 20240601, 3, 6110, 100000000, 8000000, 3, 800, 1110,"
              " 108000000);");
    h.WriteScript("click 1039\nkey F12\nanswer CANCEL\n");
    const RunResult cancelled = RunCalled("C:\\old.xml");
    EXPECT_EQ(notified, Notified(kFunction, 1));
    EXPECT_EQ(Road(cancelled.transcript),
              CalledRoad({dialogOpen, "end dialog:130 result=1005",
                          MessageLine("dialog:131", "information", "OK,CANCEL", kM3, "CANCEL")},
                         1))
        << cancelled.transcript;
    EXPECT_FALSE(fs::exists(h.DriveC("old.xml")));
    EXPECT_FALSE(fs::exists(Settings()));

    h.WriteScript("click 1039\nkey F12\nanswer OK\nanswer OK\n");
    const RunResult ok = RunCalled("C:\\old.xml");
    EXPECT_EQ(notified, Notified(kFunction, 0));
    const std::string file = ReadFile(h.DriveC("old.xml"));
    EXPECT_NE(file.find("<NIWARITOKUREI>2</NIWARITOKUREI>"), std::string::npos);
    // The old rate is business at a rate other than 10 % and reduced 8 %.
    EXPECT_NE(file.find("<KEIKASHOCHIKAZEISHISAN>1</KEIKASHOCHIKAZEISHISAN>"), std::string::npos);
    // The purchase method stays "none" (2), as 「2割特例」 left it; it counts as 割り戻し.
    EXPECT_NE(file.find("<SHIIREKYOTUUZEINUKI8_WARIMODOSHI>10000</SHIIREKYOTUUZEINUKI8_WARIMODOSHI>"),
              std::string::npos);
    EXPECT_EQ(ReadFile(Settings()), "admin/{5A4B0001000000000000000000000001}:0/4/3/0/2/0/\n");
}

// A full disk from the first byte (the output is /dev/full): every section
// fails. No at the first question stops with result 2 and asks nothing more.
TEST_F(RunEndings, FullDiskAtSystemAnsweredNoEndsWithResult2)
{
    h.BuildHome({"corp-general"}, 1);
    fs::create_directories(h.DriveC(""));
    fs::create_symlink("/dev/full", h.DriveC("full.xml"));
    h.WriteScript("key F12\nanswer NO\n");  // the caller's path is taken as it is: no overwrite question
    const RunResult r = RunCalled("C:\\full.xml");
    EXPECT_EQ(notified, Notified(kFunction, 2));
    const std::vector<std::string> road = Road(r.transcript);
    ASSERT_GE(road.size(), 7u) << r.transcript;
    // The progress dialog hides before the file is written; the wait cursor
    // lasts until the answer.
    EXPECT_EQ(std::vector<std::string>(road.end() - 7, road.end() - 4),
              (std::vector<std::string>{"hide dialog:131", Question(0, "NO"), "wait-cursor off"}))
        << r.transcript;
    EXPECT_EQ(r.transcript.find(Quoted(kQuestions[1])), std::string::npos);
    EXPECT_EQ(r.transcript.find(Quoted(kCompleted)), std::string::npos);
    EXPECT_FALSE(fs::exists(Settings()));
}

// The disk is full from the first byte: every section fails in turn, and
// going on past all of them cannot finish the file. The user is told, the
// caller gets result 2, and nothing is remembered.
TEST_F(RunEndings, FullDiskAnsweredYesToEveryQuestionIsStillAnError)
{
    h.BuildHome({"corp-general"}, 1);
    fs::create_directories(h.DriveC(""));
    fs::create_symlink("/dev/full", h.DriveC("full.xml"));
    h.WriteScript("type 1008 C:\\full.xml\nkey F12\nanswer YES\nanswer YES\nanswer YES\nanswer YES\nanswer OK\n");
    const RunResult r = h.Run({});
    EXPECT_EQ(r.exitStatus, 0);
    const std::vector<std::string> road = Road(r.transcript);
    ASSERT_GE(road.size(), 5u) << r.transcript;
    EXPECT_EQ(std::vector<std::string>(road.end() - 5, road.end()),
              (std::vector<std::string>{Question(0, "YES"), Question(1, "YES"), Question(2, "YES"),
                                        MessageLine("dialog:131", "exclamation", "OK", kIncomplete, "OK"),
                                        "wait-cursor off"}))
        << r.transcript;
    EXPECT_FALSE(fs::exists(Settings()));
}

// The disk fills inside DATA (no file may grow beyond 60,000 bytes): the
// question of the DATA section; No stops with result 2 and the partial file
// is exactly what the export had written up to the full disk.
TEST_F(RunEndings, FullDiskInDataAnsweredNoInBothModes)
{
    const long limit = 60000;
    struct Case {
        const char* name;
        const char* mode;
        const char* golden;
    };
    for (const Case& c : {Case{"aggregation", "", "corp-general-aggregation.xml"},
                          Case{"saved values", "click 1031\n", "corp-general-saved.xml"}}) {
        SCOPED_TRACE(c.name);
        RunHarness run("Zelkora");
        run.BuildHome({"corp-general"}, 1);
        run.LimitFileSize(limit);
        run.WriteScript(std::string(c.mode) + "key F12\nanswer NO\n");
        const RunResult r = RunCalledOn(run, "C:\\partial.xml");
        EXPECT_EQ(notified, Notified(kFunction, 2));
        const std::vector<std::string> road = Road(r.transcript);
        // The question, then (aggregation) the end of the wait cursor, then the caller's notification.
        const size_t asked = std::string(c.mode).empty() ? 6 : 5;
        ASSERT_GE(road.size(), asked) << r.transcript;
        EXPECT_EQ(road[road.size() - asked], Question(2, "NO")) << r.transcript;
        EXPECT_EQ(r.transcript.find(Quoted(kCompleted)), std::string::npos);
        // Saved-values mode: no progress dialog, no wait cursor.
        EXPECT_EQ(r.transcript.find(progressOpen) != std::string::npos, std::string(c.mode).empty());
        EXPECT_EQ(r.transcript.find("wait-cursor") != std::string::npos, std::string(c.mode).empty());

        const std::string file = ReadFile(run.DriveC("partial.xml"));
        EXPECT_EQ(file.size(), static_cast<size_t>(limit));
        const std::string written = AsExportedBy(GoldenFile(c.golden), "Zelkora", kFunction).substr(0, limit);
        EXPECT_TRUE(file == written) << FirstDifference(written, file);
        EXPECT_FALSE(fs::exists(SettingsFile(run)));
    }
}

// A store the library cannot read at the link step: result 2, and the
// caller is told.
TEST_F(RunEndings, StoreUnreadableAtTheLinkStepEndsWithResult2)
{
    h.BuildHome({"corp-general"}, 1);
    h.ExecSql("DROP TABLE selection;");
    h.WriteScript("answer OK\n");
    const RunResult r = RunCalled("C:\\x.xml");
    EXPECT_EQ(notified, Notified(kFunction, 2));
    // The library tells the user; the program adds nothing.
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    EXPECT_NE(r.messages[0].find("text=\"" + mbcs::Cp932ToUtf8("会計データベースの読み込みに失敗しました。")),
              std::string::npos)
        << r.messages[0];
    EXPECT_EQ(r.transcript.find(dialogOpen), std::string::npos) << r.transcript;
}

// The journal-entry check fails in the library: the library shows its
// error, the run ends with result 2 and writes nothing.
TEST_F(RunEndings, JournalCheckFailureIsFatalWithResult2)
{
    h.BuildHome({"corp-general"}, 1);
    h.ExecSql("DROP TABLE journal;");
    h.WriteScript("type 1008 C:\\x.xml\nkey F12\nanswer OK\n");
    const RunResult r = RunCalled("C:\\x.xml");
    EXPECT_EQ(notified, Notified(kFunction, 2));
    // The library's message with the place the program registered; the
    // progress dialog is never shown.
    ASSERT_EQ(r.messages.size(), 1u) << r.transcript;
    EXPECT_NE(r.messages[0].find(mbcs::Cp932ToUtf8("発生箇所: AddTax ")), std::string::npos) << r.messages[0];
    EXPECT_EQ(r.transcript.find(progressOpen), std::string::npos) << r.transcript;
    EXPECT_FALSE(fs::exists(h.DriveC("x.xml")));
    EXPECT_FALSE(fs::exists(Settings()));
}

}  // namespace
