// What a test reads back from a run of a deliverable: the message boxes of
// the transcript, the caller's notifications and the files on disk.
#pragma once

#include "RunHarness.h"

#include "tests/support/TestCaller.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// The window handle the test callers stand for (0x0001E240 in transcripts).
inline constexpr uint32_t kCaller = 123456;

// Texts of the run's own message boxes (code page 932).
inline constexpr char kCompleted[] = "消費税情報の出力が終了しました。\n\nアプリケーションを終了します。";
inline constexpr char kCancelled[] = "｢消費税｣の集計を中止します。";
inline constexpr char kIncomplete[] =
    "出力ファイルへの書き込みに失敗したため、消費税情報の出力ファイルは完成していません。\n\n"
    "出力先を確認してから、もう一度実行してください。";
// The questions after a section of the file could not be written: SYSTEM,
// BASIC, DATA.
inline constexpr const char* kQuestions[3] = {
    "システム情報の出力に失敗しました。\n\n出力を続けますか？",
    "基本情報の出力に失敗しました。\n\n出力を続けますか？",
    "連動情報の出力に失敗しました。\n\n出力を続けますか？",
};
// The question before an existing output file is overwritten.
inline constexpr char kOverwrite[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";

// A run and what its caller received.
struct CalledRun {
    RunResult r;
    std::vector<std::string> caller;
};

// A run with `args` while a caller with window handle `handle` listens;
// `expected` is the number of notifications to wait for (none: a short wait
// that must stay empty).
inline CalledRun RunCalled(RunHarness& h, const std::vector<std::string>& args = {"123456,1024,7,"},
                           int expected = 5, uint32_t handle = kCaller)
{
    TestCaller caller(handle, expected > 0 ? expected : 1, expected > 0 ? 10000 : 1000);
    EXPECT_TRUE(caller.Ready());
    CalledRun out;
    out.r = h.Run(args);
    out.caller = caller.Finish();
    return out;
}

// Two users' exports of pair `n` (to C:\a<n>.xml and C:\b<n>.xml, months 5
// to 2) at one moment, each on its own machine; false when either did not end
// normally.
inline bool ExportTogether(RunHarness& a, RunHarness& b, int n)
{
    const std::string name = std::to_string(n);
    a.WriteScript("type 1014 5\ntype 1016 2\ntype 1008 C:\\a" + name + ".xml\nkey F12\nanswer OK\n");
    b.WriteScript("type 1014 5\ntype 1016 2\ntype 1008 C:\\b" + name + ".xml\nkey F12\nanswer OK\n");
    RunResult ra, rb;
    std::thread other([&] { rb = b.Run({}); });
    ra = a.Run({});
    other.join();
    EXPECT_EQ(ra.exitStatus, 0) << ra.stderrText;
    EXPECT_EQ(rb.exitStatus, 0) << rb.stderrText;
    return ra.exitStatus == 0 && rb.exitStatus == 0;
}

// How often `what` stands in `text`.
inline int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The text of the first element `name` of a link file ("(no name)" when it
// is missing).
inline std::string Element(const std::string& xml, const std::string& name)
{
    const std::string open = "<" + name + ">";
    const size_t from = xml.find(open);
    if (from == std::string::npos) return "(no " + name + ")";
    const size_t to = xml.find("</" + name + ">", from);
    return xml.substr(from + open.size(), to - from - open.size());
}

// Whether control `id` of the conditions dialog's first listing is checked
// (its states follow the quoted text: "disabled", "checked", "unchecked").
inline bool Checked(const std::string& transcript, int id)
{
    const std::string line = ControlLine(transcript, id);
    const size_t text = line.rfind('"');
    return text != std::string::npos && line.find(" checked", text) != std::string::npos;
}

// The remembered-conditions file of `edition` on drive C:.
inline std::string SettingsFile(const RunHarness& h, const std::string& edition = "Zelkora")
{
    return h.DriveC("Zelkor/Settings/" + edition + ".env");
}

// The message boxes of a run, each as "<icon> <buttons> <answer>: <text>"
// with the text as the transcript quotes it; the caption of every one must
// be the run's.
inline std::vector<std::string> Messages(const RunResult& r)
{
    std::vector<std::string> out;
    for (const std::string& line : r.messages) {
        auto field = [&](const std::string& name) {
            const size_t at = line.find(" " + name + "=");
            if (at == std::string::npos) return std::string("?");
            const size_t from = at + name.size() + 2;
            size_t to = line.find(' ', from);
            if (line[from] == '"') {  // a quoted text: up to its closing quote
                to = from + 1;
                while (to < line.size() && line[to] != '"') to += (line[to] == '\\') ? 2 : 1;
                ++to;
            }
            return line.substr(from, to == std::string::npos ? std::string::npos : to - from);
        };
        out.push_back(field("icon") + " " + field("buttons") + " " + field("answer") + ": " + field("text"));
    }
    return out;
}

// The expected form of one message of Messages().
inline std::string Message(const std::string& icon, const std::string& buttons, const std::string& answer,
                           const std::string& cp932Text)
{
    return icon + " " + buttons + " " + answer + ": " + Quoted(cp932Text);
}

// A run to a file that exists and cannot be written: the path typed, 実行,
// the overwrite question answered Yes, then every section's question
// answered Yes (ending with the incomplete-file message) or the first one No.
// The script and the messages Messages() must give.
struct FailingWriteRun {
    std::string script;
    std::vector<std::string> messages;
};
inline FailingWriteRun OverwriteThenFailingSections(const std::string& cp932Path, bool goOn)
{
    FailingWriteRun run;
    run.script = "type 1008 " + cp932Path + "\nkey F12\nanswer YES\n";
    run.messages = {Message("question", "YES,NO", "YES", kOverwrite)};
    if (goOn) {
        run.script += "answer YES\nanswer YES\nanswer YES\nanswer OK\n";
        for (const char* q : kQuestions) run.messages.push_back(Message("exclamation", "YES,NO", "YES", q));
        run.messages.push_back(Message("exclamation", "OK", "OK", kIncomplete));
    } else {
        run.script += "answer NO\n";
        run.messages.push_back(Message("exclamation", "YES,NO", "NO", kQuestions[0]));
    }
    return run;
}

// A message box as the transcript's road shows it, with its owner and the
// script's answer.
inline std::string MessageLine(const std::string& owner, const std::string& icon, const std::string& buttons,
                               const std::string& cp932Text, const std::string& answer)
{
    return "message owner=" + owner + " caption=" + Quoted("消費税") + " icon=" + icon + " buttons=" + buttons +
           " text=" + Quoted(cp932Text) + " answer=" + answer;
}

// The road of a run that the caller kCaller started: disabled first, then
// `middle`; brought to the front, enabled and told `result` last.
inline std::vector<std::string> CalledRoad(const std::vector<std::string>& middle, int functionId, int result)
{
    const std::string caller = "caller foreign:0x0001E240 ";
    std::vector<std::string> road = {caller + "\"disable\" delivered"};
    road.insert(road.end(), middle.begin(), middle.end());
    for (const std::string& event : Notified(functionId, result)) {
        if (event != "disable") road.push_back(caller + "\"" + event + "\" delivered");
    }
    return road;
}

// The transcript without the control listings and progress captions, for
// failure reports.
inline std::string Brief(const RunResult& r)
{
    std::istringstream in(r.transcript);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("  ", 0) == 0 || line.rfind("caption ", 0) == 0) continue;
        out += line + "\n";
    }
    return out + r.stderrText;
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace e2e
