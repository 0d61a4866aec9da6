#include "RunHarness.h"

#include "suite/SuiteStore.h"
#include "win32/PlatformConfig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
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

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

RunHarness::RunHarness(const std::string& edition) : m_edition(edition)
{
    char pattern[] = "/tmp/zk_e2e_XXXXXX";
    const char* dir = mkdtemp(pattern);
    m_root = dir ? dir : "";
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
    RunResult result;
    const std::string transcriptPath = m_root + "/transcript.txt";
    const std::string stderrPath = m_root + "/stderr.txt";
    fs::remove(transcriptPath);

    const bool limited = m_fileSizeLimit > 0;
    std::vector<std::string> env = {
        "ZELKOR_HOME=" + HomeDir(),
        "ZELKOR_BACKEND=script",
        "ZELKOR_SCRIPT=" + m_root + "/run.script",
        // Limited runs write the transcript to standard output, a pipe.
        "ZELKOR_TRANSCRIPT=" + (limited ? std::string() : transcriptPath),
        "ZELKOR_CALLER_DIR=" + CallerDir(),
        "PATH=/usr/bin:/bin",
        "HOME=" + m_root,
        "LANG=C.UTF-8",
    };
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
            // A write past the limit then fails with EFBIG instead of
            // ending the process.
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(m_fileSizeLimit);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(125);
        }
        // The program starts in a folder other than its own.
        if (chdir(m_root.c_str()) != 0) _exit(126);
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
        if (waited > timeoutMs) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms";
            break;
        }
        usleep(10 * 1000);
    }
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (limited) {
        drain();
        close(out[0]);
        result.transcript = piped;
    } else {
        result.transcript = ReadAll(transcriptPath);
    }
    result.stderrText = ReadAll(stderrPath);
    std::istringstream lines(result.transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("message ", 0) == 0) result.messages.push_back(line);
        if (line.rfind("caller ", 0) == 0) result.callerLines.push_back(line);
    }
    return result;
}

}  // namespace e2e
