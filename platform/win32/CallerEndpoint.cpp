#include "win32/CallerEndpoint.h"

#include "win32/HostWrite.h"
#include "win32/PlatformConfig.h"
#include "win32/ProcessEnding.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Reads a decimal number that fills the whole field.
template <typename T>
bool ReadNumber(std::string_view field, T& value)
{
    if (field.empty()) return false;
    auto r = std::from_chars(field.data(), field.data() + field.size(), value);
    return r.ec == std::errc() && r.ptr == field.data() + field.size();
}

}  // namespace

CallerEvent CallerEvent::MakePost(UINT message, WPARAM wParam, LPARAM lParam)
{
    CallerEvent e;
    e.kind = Post;
    e.message = message;
    // Parameters are 32 bits on the caller's side.
    e.wParam = static_cast<int32_t>(static_cast<uint32_t>(wParam));
    e.lParam = static_cast<int32_t>(static_cast<uint32_t>(lParam));
    return e;
}

std::string CallerEvent::ToText() const
{
    switch (kind) {
    case Disable: return "disable";
    case Enable: return "enable";
    case Foreground: return "foreground";
    case Post: break;
    }
    return "post " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam);
}

bool CallerEvent::Parse(std::string_view text, CallerEvent& event)
{
    CallerEvent e;
    if (text == "disable") {
        e.kind = Disable;
    } else if (text == "enable") {
        e.kind = Enable;
    } else if (text == "foreground") {
        e.kind = Foreground;
    } else if (text.substr(0, 5) == "post ") {
        std::string_view rest = text.substr(5);
        std::string_view fields[3];
        for (int i = 0; i < 3; ++i) {
            size_t blank = rest.find(' ');
            if ((i < 2) != (blank != std::string_view::npos)) return false;
            fields[i] = rest.substr(0, blank);
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        }
        e.kind = Post;
        if (!ReadNumber(fields[0], e.message) || !ReadNumber(fields[1], e.wParam) || !ReadNumber(fields[2], e.lParam))
            return false;
    } else {
        return false;
    }
    event = e;
    return true;
}

std::string CallerEndpoint::SocketPath(uint32_t hwndValue)
{
    std::string path = PlatformConfig::Get().callerDir + "/" + std::to_string(hwndValue) + ".sock";
    if (path.size() >= sizeof(sockaddr_un::sun_path)) return std::string();
    return path;
}

bool CallerEndpoint::Deliver(uint32_t hwndValue, const CallerEvent& event)
{
    // The whole notification is one effect: none from the program's thread
    // once a signal's ending notifies the caller instead.
    const win::ProcessEnding::Effect effect;
    std::string path = SocketPath(hwndValue);
    if (path.empty()) return false;
    int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // A caller that stops reading must not hold the program up for long.
    timeval timeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);

    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    std::string text = event.ToText();
    ssize_t n;
    do {
        n = hostio::SendDatagram(fd, text.data(), text.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&addr),
                                 sizeof addr);
    } while (n < 0 && errno == EINTR);
    close(fd);
    return n == static_cast<ssize_t>(text.size());
}
