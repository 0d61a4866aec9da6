// The signal thread, the control handlers and the critical sections.
#include "win32/ControlEvents.h"

#include "win32/Kernel.h"
#include "win32/ProcessEnding.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace win {

namespace {

const int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::mutex& HandlerLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<PHANDLER_ROUTINE>& Handlers()
{
    static std::vector<PHANDLER_ROUTINE> handlers;
    return handlers;
}

// A signal that came while the run's own ending ran.
std::atomic<int> g_pending{0};

// Ends the process by the signal, so that its parent (a shell) sees how it
// ended; the exit status of the same meaning should raising not end it.
[[noreturn]] void EndBySignal(int signalNumber)
{
    std::signal(signalNumber, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber);
}

void WaitForSignals(sigset_t set)
{
    for (;;) {
        int signalNumber = 0;
        if (sigwait(&set, &signalNumber) != 0) continue;
        if (ControlEvents::HandleSignal(signalNumber)) {
            std::fprintf(stderr, "zelkor: the run was ended by signal %d\n", signalNumber);
            EndBySignal(signalNumber);
        }
    }
}

}  // namespace

void ControlEvents::Start()
{
    std::signal(SIGXFSZ, SIG_IGN);
    sigset_t set;
    sigemptyset(&set);
    for (int s : kTerminationSignals) {
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaddset(&set, s);
    }
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread(WaitForSignals, set).detach();
}

unsigned long ControlEvents::EventOfSignal(int signalNumber)
{
    switch (signalNumber) {
    case SIGINT: return CTRL_C_EVENT;
    case SIGHUP: return CTRL_CLOSE_EVENT;
    default: return CTRL_SHUTDOWN_EVENT;
    }
}

bool ControlEvents::HandleSignal(int signalNumber)
{
    if (!ProcessEnding::BeginSignalEnding()) {
        g_pending = signalNumber;
        return false;
    }
    std::vector<PHANDLER_ROUTINE> handlers;
    {
        std::lock_guard<std::mutex> hold(HandlerLock());
        handlers = Handlers();
    }
    const DWORD event = static_cast<DWORD>(EventOfSignal(signalNumber));
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        if ((*it)(event)) break;
    }
    return true;
}

void ControlEvents::EndAsSignalled()
{
    const int signalNumber = g_pending.load();
    if (signalNumber != 0) EndBySignal(signalNumber);
}

}  // namespace win

BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE HandlerRoutine, BOOL Add)
{
    if (HandlerRoutine == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> hold(win::HandlerLock());
    auto& handlers = win::Handlers();
    if (Add) {
        handlers.push_back(HandlerRoutine);
        return TRUE;
    }
    auto it = std::find(handlers.rbegin(), handlers.rend(), HandlerRoutine);
    if (it == handlers.rend()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    handlers.erase(std::next(it).base());
    return TRUE;
}

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    lpCriticalSection->impl = new std::recursive_mutex;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    static_cast<std::recursive_mutex*>(lpCriticalSection->impl)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    static_cast<std::recursive_mutex*>(lpCriticalSection->impl)->unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    delete static_cast<std::recursive_mutex*>(lpCriticalSection->impl);
    lpCriticalSection->impl = nullptr;
}
