// A stand-in of the calling application, in a child process: it binds the
// caller endpoint of one window handle and collects what arrives there, so a
// test sees the program's notifications cross a process boundary.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

class TestCaller {
public:
    // Forks the caller, which listens for up to `expected` datagrams or until
    // `timeoutMs` passes without one. Returns once the endpoint is bound.
    TestCaller(uint32_t hwndValue, int expected, int timeoutMs);
    TestCaller(const TestCaller&) = delete;
    TestCaller& operator=(const TestCaller&) = delete;
    ~TestCaller();

    // False when the child could not bind the endpoint.
    bool Ready() const { return m_ready; }
    // Waits for the caller to finish; the texts it received, in order.
    std::vector<std::string> Finish();

private:
    pid_t m_pid = -1;
    int m_results = -1;
    bool m_ready = false;
};
