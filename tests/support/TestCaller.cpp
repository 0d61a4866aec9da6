#include "TestCaller.h"

#include "win32/CallerListener.h"

#include <sys/wait.h>
#include <unistd.h>

TestCaller::TestCaller(uint32_t hwndValue, int expected, int timeoutMs)
{
    int ready[2], results[2];
    if (pipe(ready) != 0) return;
    if (pipe(results) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    m_pid = fork();
    if (m_pid == 0) {
        close(ready[0]);
        close(results[0]);
        int code = 0;
        {
            CallerListener listener(hwndValue);
            char ok = listener.IsBound() ? 1 : 0;
            if (write(ready[1], &ok, 1) != 1) code = 1;
            close(ready[1]);
            for (int i = 0; ok && i < expected; ++i) {
                std::optional<std::string> text = listener.ReceiveText(timeoutMs);
                if (!text) break;
                std::string line = *text + "\n";
                if (write(results[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) code = 1;
            }
        }
        close(results[1]);
        _exit(code);
    }
    close(ready[1]);
    close(results[1]);
    if (m_pid < 0) {
        close(ready[0]);
        close(results[0]);
        return;
    }
    m_results = results[0];
    char ok = 0;
    m_ready = read(ready[0], &ok, 1) == 1 && ok == 1;
    close(ready[0]);
}

TestCaller::~TestCaller()
{
    Finish();
}

std::vector<std::string> TestCaller::Finish()
{
    std::vector<std::string> lines;
    if (m_pid <= 0) return lines;
    std::string all;
    char buf[256];
    ssize_t n;
    while ((n = read(m_results, buf, sizeof buf)) > 0) all.append(buf, static_cast<size_t>(n));
    close(m_results);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
    size_t start = 0;
    for (size_t nl; (nl = all.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(all.substr(start, nl - start));
    return lines;
}
