#include "win32/CallerListener.h"

#include "win32/HostWrite.h"

#include <cerrno>
#include <algorithm>
#include <ctime>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Milliseconds of the monotonic clock. (<chrono> does not compile with the
// code page 932 execution character set.)
long long NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Creates `dir` and its missing parents.
void MakeFolders(const std::string& dir)
{
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') hostio::MakeFolder(dir.substr(0, i).c_str(), 0700);
    }
}

}  // namespace

CallerListener::CallerListener(uint32_t hwndValue) : m_path(CallerEndpoint::SocketPath(hwndValue))
{
    if (m_path.empty()) return;
    MakeFolders(m_path.substr(0, m_path.find_last_of('/')));

    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, m_path.c_str(), m_path.size() + 1);

    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EADDRINUSE) {
            close(fd);
            return;
        }
        // The file is there: replace it only when nobody is bound to it.
        int probe = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        bool alive = probe >= 0 && connect(probe, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
        if (probe >= 0) close(probe);
        if (alive || hostio::Unlink(m_path.c_str()) != 0 ||
            bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            close(fd);
            return;
        }
    }
    m_fd = fd;
}

CallerListener::~CallerListener()
{
    if (m_fd < 0) return;
    close(m_fd);
    hostio::Unlink(m_path.c_str());
}

std::optional<std::string> CallerListener::ReceiveText(int timeoutMs)
{
    if (m_fd < 0) return std::nullopt;
    pollfd p{m_fd, POLLIN, 0};
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return std::nullopt;
    char buf[512];
    ssize_t n = recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n < 0) return std::nullopt;
    return std::string(buf, static_cast<size_t>(n));
}

std::optional<CallerEvent> CallerListener::Receive(int timeoutMs)
{
    long long deadline = NowMs() + timeoutMs;
    for (;;) {
        std::optional<std::string> text = ReceiveText(static_cast<int>(std::max(0LL, deadline - NowMs())));
        if (!text) return std::nullopt;
        CallerEvent e;
        if (CallerEvent::Parse(*text, e)) return e;
    }
}
