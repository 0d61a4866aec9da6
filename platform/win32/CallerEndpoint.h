// Windows of another process (the calling bookkeeping application) are
// foreign handles known by their number only. What the program does to such a
// window reaches the caller as one datagram on a UNIX datagram socket named
// after the handle:
//
//     <callerDir>/<handle in decimal>.sock        (callerDir: PlatformConfig)
//
// Each datagram is one line of text without a line end:
//
//     disable
//     enable
//     foreground
//     post <message> <wParam> <lParam>
//
// all numbers decimal; the message unsigned, wParam and lParam as signed
// 32-bit values (a function id of -1 travels as "-1").
#pragma once

#include "win32/WinTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

struct CallerEvent {
    enum Kind { Disable, Enable, Foreground, Post };
    Kind kind = Disable;
    UINT message = 0;      // Post only
    int32_t wParam = 0;    // Post only
    int32_t lParam = 0;    // Post only

    static CallerEvent MakePost(UINT message, WPARAM wParam, LPARAM lParam);
    // The datagram's text.
    std::string ToText() const;
    // Reads a datagram's text; false when it is none of the forms above.
    static bool Parse(std::string_view text, CallerEvent& event);

    bool operator==(const CallerEvent& other) const = default;
};

class CallerEndpoint {
public:
    // The socket path of a handle; empty when it would not fit a socket
    // address.
    static std::string SocketPath(uint32_t hwndValue);
    // Sends one event to the caller's endpoint. False when there is no
    // endpoint (no socket, or nobody listening on it) or it cannot take the
    // datagram within a second.
    static bool Deliver(uint32_t hwndValue, const CallerEvent& event);
};
