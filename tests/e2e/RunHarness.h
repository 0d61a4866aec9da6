// Runs a built deliverable the way a user's machine would: a copy of the
// executable in a program folder of its own (with the filing application's
// definition file next to it), a suite home built from the sample datasets,
// the script backend with its transcript, and an optional test caller.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace e2e {

struct RunResult {
    int exitStatus = -1;             // the process's exit status; -1 when it did not end normally
    int endSignal = 0;               // the signal that ended the process; 0 when it exited
    std::string transcript;          // UTF-8
    std::string stderrText;
    std::vector<std::string> messages;  // the transcript's message-box lines
    std::vector<std::string> callerLines;  // the transcript's caller-event lines
};

class RunHarness {
public:
    // A fresh temporary folder holding `program/`, `home/` and the run files.
    explicit RunHarness(const std::string& edition = "Zelkora");
    ~RunHarness();

    const std::string& Root() const { return m_root; }
    std::string ProgramDir() const { return m_root + "/program"; }
    std::string HomeDir() const { return m_root + "/home"; }

    // Writes the definition file of the program folder (UTF-8 text given as
    // bytes); RemoveDefinitionFile leaves none.
    void WriteDefinitionFile(const std::string& content);
    void RemoveDefinitionFile();

    // Builds HOME/suite.db from the schema, the users and the samples; the
    // user "admin" works on dataset `selected` (0: nothing selected).
    void BuildHome(const std::vector<std::string>& samples, int selected);
    // Runs SQL on the store that BuildHome made (to vary a sample).
    void ExecSql(const std::string& sql);

    // The script of user actions (UTF-8 lines).
    void WriteScript(const std::string& script);

    // Runs the copied executable with `args`, waiting at most `timeoutMs`.
    RunResult Run(const std::vector<std::string>& args, int timeoutMs = 30000);
    // The same, calling `watch` with the process id every 10 ms while the
    // process runs (to act on it at a moment of the run).
    RunResult Run(const std::vector<std::string>& args, int timeoutMs, const std::function<void(int pid)>& watch);
    // The host path of the transcript of a run that writes it to a file.
    std::string TranscriptPath() const { return m_root + "/transcript.txt"; }

    // The folder of the caller endpoints, set as ZELKOR_CALLER_DIR in this
    // process too so that a TestCaller binds there.
    std::string CallerDir() const { return m_root + "/callers"; }

    // The host path of a Windows path on drive C: (the home's drive_c).
    std::string DriveC(const std::string& relative) const { return HomeDir() + "/drive_c/" + relative; }

    // Later runs may grow no file beyond `bytes` (0: no limit): a write past
    // it fails as on a full disk. The transcript then travels through a
    // pipe, which the limit does not touch.
    void LimitFileSize(long bytes) { m_fileLimit = bytes; }
    // The transcript of a limited run goes to its file all the same, under
    // the limit.
    void TranscriptToFileUnderLimit() { m_transcriptUnderLimit = true; }

    // Later runs run as this host user (a test run as root takes spare uids)
    // with its own umask; null: as this process. The harness's folders are
    // opened to every user first (OpenToAllUsers).
    struct HostUser {
        unsigned uid = 0;
        unsigned gid = 0;
        std::vector<unsigned> groups;
        unsigned umask = 022;
    };
    void RunAs(const HostUser* user) { m_user = user ? *user : HostUser{}; m_asUser = user != nullptr; }
    // Lets any host user use the program, the home and the run files.
    void OpenToAllUsers() const;
    // Variables added to the environment of later runs ("NAME=value").
    void SetExtraEnvironment(const std::vector<std::string>& env) { m_extraEnv = env; }
    // Later runs start with these signals ignored, as under nohup.
    void IgnoreAtStart(const std::vector<int>& signals) { m_ignored = signals; }

    // Later runs name the home, the script, the transcript and the caller
    // folder by paths relative to the folder the program starts in (Root()),
    // as a user typing ZELKOR_HOME=home would.
    void UseRelativePaths() { m_relative = true; }

    // Later runs take every ZELKOR_ setting from `settings` ("NAME=value")
    // alone, none of the harness's own (a zelkor.conf of the home then
    // fills in the rest); the transcript is read from TranscriptPath() all
    // the same, wherever the settings put it.
    void UseOwnSettings(const std::vector<std::string>& settings) { m_ownSettings = settings; m_own = true; }
    // Later runs start in `folder` (a host path), which the run's own process
    // removes before it starts the program: a start folder that is gone.
    void StartInRemovedFolder(const std::string& folder) { m_removedStart = folder; }

private:
    std::string m_root;
    std::string m_edition;
    long m_fileLimit = 0;
    bool m_transcriptUnderLimit = false;
    bool m_asUser = false;
    HostUser m_user;
    std::vector<std::string> m_extraEnv;
    std::vector<int> m_ignored;
    bool m_relative = false;
    bool m_own = false;
    std::vector<std::string> m_ownSettings;
    std::string m_removedStart;
};

// True when this process may run programs as other host users: it is root,
// and they can reach the tests' temporary folders.
bool CanRunAsOtherUsers();
// Why it may not ("" when it may).
std::string WhyNotAsOtherUsers();

// The host path of the shim that the tests preload into the deliverables.
std::string HostShimPath();

// The whole content of a host file ("" when it cannot be read).
std::string ReadFile(const std::string& path);

// The transcript's form of a message text given in code page 932: UTF-8,
// quoted, with the transcript's escapes.
std::string Quoted(const std::string& cp932);

// What a caller receives over a whole run that recorded it.
std::vector<std::string> Notified(int functionId, int result);

// The transcript's events without control listings, changed controls,
// script actions and progress captions: the road of the run.
std::vector<std::string> Road(const std::string& transcript);

// A golden file of tests/e2e/golden ("" when missing).
std::string GoldenFile(const std::string& name);

// A golden file as `edition` writes it for a caller with `functionId` (1:
// no caller): the file differs between those only in the product name and
// the function id of SYSTEM.
std::string AsExportedBy(std::string golden, const std::string& edition, int functionId);

// Where two texts (code page 932) first differ, line by line, for a message.
std::string FirstDifference(const std::string& want, const std::string& got);

// The line of control `id` in the first listing of dialog `dialog` ("" when
// there is none).
std::string ControlLine(const std::string& transcript, int id, const std::string& dialog = "dialog:130");

}  // namespace e2e
