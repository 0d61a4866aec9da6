// The receiving end of a caller endpoint (see CallerEndpoint.h): binds the
// socket of one handle and receives the events sent to it. Used by the test
// caller and by tests; a real caller on this host would do the same.
#pragma once

#include "win32/CallerEndpoint.h"

#include <cstdint>
#include <optional>
#include <string>

class CallerListener {
public:
    // Binds the endpoint of `hwndValue`, creating the endpoint folder when
    // needed and replacing a socket file that nobody listens on any more.
    explicit CallerListener(uint32_t hwndValue);
    CallerListener(const CallerListener&) = delete;
    CallerListener& operator=(const CallerListener&) = delete;
    // Closes the socket and removes its file.
    ~CallerListener();

    bool IsBound() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

    // The next datagram's text, or nothing after `timeoutMs` milliseconds.
    std::optional<std::string> ReceiveText(int timeoutMs);
    // The next event; a datagram that is no event is skipped.
    std::optional<CallerEvent> Receive(int timeoutMs);

private:
    int m_fd = -1;
    std::string m_path;
};
