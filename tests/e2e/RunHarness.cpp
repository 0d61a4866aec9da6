#include "RunHarness.h"
#include "tests/support/TestTemp.h"

#include "suite/SuiteStore.h"
#include "win32/PlatformConfig.h"

#include <gtest/gtest.h>

#include "win32/Mbcs.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace e2e {

namespace {

std::string EnvOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

}  // namespace

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string Quoted(const std::string& cp932)
{
    const std::string utf8 = mbcs::Cp932ToUtf8(cp932);
    std::string out = "\"";
    for (char c : utf8) {
        if (c == '\n') out += "\\n";
        else if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out + "\"";
}

std::vector<std::string> Notified(int functionId, int result)
{
    return {"disable", "foreground", "enable",
            "post 1024 " + std::to_string(functionId) + " " + std::to_string(result), "enable"};
}

std::vector<std::string> Road(const std::string& transcript)
{
    std::vector<std::string> road;
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("  ", 0) == 0 || line.rfind("action ", 0) == 0 || line.rfind("caption ", 0) == 0) continue;
        road.push_back(line);
    }
    return road;
}

std::string GoldenFile(const std::string& name)
{
    return ReadFile(EnvOr("ZK_SOURCE_DIR", ZK_SOURCE_DIR) + "/tests/e2e/golden/" + name);
}

namespace {

// Replaces the text of the first element `name`.
std::string WithElement(std::string file, const std::string& name, const std::string& value)
{
    const std::string open = "<" + name + ">";
    const size_t from = file.find(open);
    const size_t to = file.find("</" + name + ">", from);
    if (from == std::string::npos || to == std::string::npos) return file;
    return file.replace(from + open.size(), to - from - open.size(), value);
}

}  // namespace

std::string AsExportedBy(std::string golden, const std::string& edition, int functionId)
{
    // The deliverables' product literals, as the file names the product when
    // no support-information file does.
    std::string product = "Varnel２２";
    if (edition == "Zelkorb") product = "Varnel２２ Corvin";
    if (edition == "Zelkorc") product = "Varnel２２ Lisbey";
    if (edition == "Zelkord") product = "Quorra";
    return WithElement(WithElement(golden, "PROGRAMNAME", product), "FUNCTIONID", std::to_string(functionId));
}

std::string FirstDifference(const std::string& want, const std::string& got)
{
    std::istringstream a(want), b(got);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool ha = static_cast<bool>(std::getline(a, la));
        const bool hb = static_cast<bool>(std::getline(b, lb));
        if (!ha && !hb) return "no difference";
        if (la != lb || ha != hb) {
            return "line " + std::to_string(line) + ":\n  want: " + mbcs::Cp932ToUtf8(ha ? la : "<end>") +
                   "\n  got:  " + mbcs::Cp932ToUtf8(hb ? lb : "<end>");
        }
    }
}

std::string ControlLine(const std::string& transcript, int id, const std::string& dialog)
{
    const size_t open = transcript.find("open " + dialog + " ");
    if (open == std::string::npos) return "";
    const std::string start = "\n  control " + std::to_string(id) + " ";
    const size_t at = transcript.find(start, open);
    const size_t next = transcript.find("\nopen ", open + 1);
    if (at == std::string::npos || (next != std::string::npos && at > next)) return "";
    return transcript.substr(at + 1, transcript.find('\n', at + 1) - at - 1);
}

RunHarness::RunHarness(const std::string& edition) : m_edition(edition)
{
    m_root = testtemp::Make("zk_e2e_");
    fs::create_directories(ProgramDir());
    fs::create_directories(HomeDir());
    fs::create_directories(CallerDir());
    const std::string binary = EnvOr("ZK_BINARY_DIR", ZK_BINARY_DIR);
    fs::copy_file(binary + "/" + edition, ProgramDir() + "/" + edition, fs::copy_options::overwrite_existing);
    WriteDefinitionFile("[ProgramLevel]\r\nSY35=4\r\n");
    WriteScript("");
    setenv("ZELKOR_CALLER_DIR", CallerDir().c_str(), 1);
    PlatformConfig::Reload();
}

RunHarness::~RunHarness()
{
    if (!m_root.empty() && std::getenv("ZK_KEEP_E2E") == nullptr) {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
}

std::string WhyNotAsOtherUsers()
{
    if (geteuid() != 0) return "runs as other host users need root";
    return testtemp::ClosedToOthers();
}

bool CanRunAsOtherUsers() { return WhyNotAsOtherUsers().empty(); }

std::string HostShimPath() { return EnvOr("ZK_BINARY_DIR", ZK_BINARY_DIR) + std::string("/tests/zk_host_shim.so"); }

void RunHarness::OpenToAllUsers() const
{
    fs::create_directories(HomeDir() + "/drive_c");
    const auto all = fs::perms::all;
    fs::permissions(m_root, all);
    for (const std::string& top : {ProgramDir(), HomeDir(), CallerDir()}) {
        fs::permissions(top, all);
        for (const auto& entry : fs::recursive_directory_iterator(top))
            if (!entry.is_symlink()) fs::permissions(entry.path(), all);
    }
}

void RunHarness::WriteDefinitionFile(const std::string& content)
{
    std::ofstream(ProgramDir() + "/OrlanzenDef.ini", std::ios::binary) << content;
}

void RunHarness::RemoveDefinitionFile()
{
    fs::remove(ProgramDir() + "/OrlanzenDef.ini");
}

void RunHarness::BuildHome(const std::vector<std::string>& samples, int selected)
{
    const std::string source = EnvOr("ZK_SOURCE_DIR", ZK_SOURCE_DIR);
    suite::SuiteStore store;
    std::string why;
    ASSERT_EQ(store.Create(HomeDir() + "/suite.db", &why), SUITE_OK) << why;
    ASSERT_EQ(store.ExecFile(source + "/samples/users.sql"), SUITE_OK) << store.LastError();
    for (const std::string& name : samples) {
        ASSERT_EQ(store.ExecFile(source + "/samples/" + name + ".sql"), SUITE_OK) << name << ": " << store.LastError();
    }
    const std::string data = selected > 0 ? std::to_string(selected) : "NULL";
    ASSERT_EQ(store.Exec("INSERT INTO selection (id, user_id, selected_no, data_no) VALUES (1, 'admin', 1, " + data + ")"),
              SUITE_OK)
        << store.LastError();
}

void RunHarness::ExecSql(const std::string& sql)
{
    suite::SuiteStore store;
    std::string why;
    ASSERT_EQ(store.Open(HomeDir() + "/suite.db", &why), SUITE_OK) << why;
    ASSERT_EQ(store.Exec(sql), SUITE_OK) << store.LastError();
}

void RunHarness::WriteScript(const std::string& script)
{
    std::ofstream(m_root + "/run.script", std::ios::binary) << script;
}

RunResult RunHarness::Run(const std::vector<std::string>& args, int timeoutMs)
{
    return Run(args, timeoutMs, nullptr);
}

RunResult RunHarness::Run(const std::vector<std::string>& args, int timeoutMs,
                          const std::function<void(int pid)>& watch)
{
    RunResult result;
    const std::string transcriptPath = TranscriptPath();
    const std::string stderrPath = m_root + "/stderr.txt";
    fs::remove(transcriptPath);

    // A run with a file-size limit writes its transcript to standard output,
    // a pipe, which the limit does not touch (unless asked otherwise).
    const bool limited = m_fileLimit > 0 && !m_transcriptUnderLimit;
    const bool sizeLimit = m_fileLimit > 0;
    // The program starts in m_root: a relative path is one from there.
    const std::string at = m_relative ? std::string() : m_root + "/";
    std::vector<std::string> env = {
        "ZELKOR_HOME=" + at + "home",
        "ZELKOR_BACKEND=script",
        "ZELKOR_SCRIPT=" + at + "run.script",
        "ZELKOR_TRANSCRIPT=" + (limited ? std::string() : at + "transcript.txt"),
        "ZELKOR_CALLER_DIR=" + at + "callers",
        "PATH=/usr/bin:/bin",
        "HOME=" + m_root,
        "LANG=C.UTF-8",
    };
    if (m_own) {
        env.erase(env.begin(), env.begin() + 5);
        env.insert(env.begin(), m_ownSettings.begin(), m_ownSettings.end());
    }
    env.insert(env.end(), m_extraEnv.begin(), m_extraEnv.end());
    const std::string program = ProgramDir() + "/" + m_edition;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    int out[2] = {-1, -1};
    if (limited && pipe(out) != 0) {
        ADD_FAILURE() << "pipe failed";
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) {
            dup2(err, 2);
            close(err);
        }
        if (limited) {
            dup2(out[1], 1);
            close(out[0]);
            close(out[1]);
        }
        if (sizeLimit) {
            rlimit limit{static_cast<rlim_t>(m_fileLimit), static_cast<rlim_t>(m_fileLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        // The program starts with the signals' default dispositions, whatever
        // this process has set: a write past a file-size limit ends it unless
        // its writes hold the signal back themselves.
        std::signal(SIGXFSZ, SIG_DFL);
        for (int s : {SIGTERM, SIGINT, SIGHUP}) std::signal(s, SIG_DFL);
        for (int s : m_ignored) std::signal(s, SIG_IGN);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (m_asUser) {
            std::vector<gid_t> groups(m_user.groups.begin(), m_user.groups.end());
            if (setgroups(groups.size(), groups.data()) != 0 || setresgid(m_user.gid, m_user.gid, m_user.gid) != 0 ||
                setresuid(m_user.uid, m_user.uid, m_user.uid) != 0)
                _exit(125);
            umask(static_cast<mode_t>(m_user.umask));
        }
        // The program starts in a folder other than its own.
        if (!m_removedStart.empty()) {
            if (chdir(m_removedStart.c_str()) != 0 || rmdir(m_removedStart.c_str()) != 0) _exit(126);
        } else if (chdir(m_root.c_str()) != 0) {
            _exit(126);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    std::string piped;
    if (limited) {
        close(out[1]);
        fcntl(out[0], F_SETFL, O_NONBLOCK);
    }
    auto drain = [&] {
        char buffer[4096];
        for (ssize_t n; limited && (n = read(out[0], buffer, sizeof buffer)) > 0;) piped.append(buffer, n);
    };
    if (pid < 0) {
        if (limited) close(out[0]);
        ADD_FAILURE() << "fork failed";
        return result;
    }
    int status = 0;
    for (int waited = 0;; waited += 10) {
        drain();
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (watch) watch(pid);
        if (waited > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms";
            break;
        }
        usleep(10 * 1000);
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.endSignal = WTERMSIG(status);
    if (limited) {
        drain();
        close(out[0]);
        result.transcript = piped;
    } else {
        result.transcript = ReadFile(transcriptPath);
    }
    result.stderrText = ReadFile(stderrPath);
    std::istringstream lines(result.transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("message ", 0) == 0) result.messages.push_back(line);
        if (line.rfind("caller ", 0) == 0) result.callerLines.push_back(line);
    }
    return result;
}

}  // namespace e2e
