// The signal thread, the control handlers and the critical sections.
#include "win32/ControlEvents.h"

#include "win32/Kernel.h"
#include "win32/Mbcs.h"
#include "win32/ProcessEnding.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <string>
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

// The signals the thread takes (those not ignored at the start), and the one
// that tells it to stop taking them (the process entry's end).
sigset_t g_taken;
const int kStopSignal = SIGUSR2;
pthread_t g_thread;
bool g_started = false;
// Set before the stop signal is sent: a SIGUSR2 that another process sends
// is no stop, and the thread goes on taking the termination signals.
std::atomic<bool> g_stopping{false};

const char* SignalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGINT: return "SIGINT";
    case SIGHUP: return "SIGHUP";
    default: return "SIGTERM";
    }
}

// What became of the run's output, on standard error in the user's words.
void TellWhatBecameOfTheOutput(int signalNumber)
{
    const std::string path = ProcessEnding::OutputPath();
    std::string text = std::string("終了の指示 (") + SignalName(signalNumber) + ") を受けたため、処理を中止しました。";
    switch (ProcessEnding::CurrentOutput()) {
    case ProcessEnding::Output::Complete:
        text += "出力ファイル " + path + " は出力が終わっていたため、そのまま残しました。";
        break;
    case ProcessEnding::Output::Removed:
        text += "書きかけの出力ファイル " + path + " は削除しました。";
        break;
    case ProcessEnding::Output::NotRemoved:
        text += "書きかけの出力ファイル " + path + " を削除できませんでした。ファイルを確認してください。";
        break;
    case ProcessEnding::Output::Begun:
        text += "書きかけの出力ファイル " + path + " が残っています。ファイルを確認してください。";
        break;
    case ProcessEnding::Output::Expected:
        text += "出力ファイル " + path + " はまだ書き始めていなかったため、変更していません。";
        break;
    case ProcessEnding::Output::None:
        text += "出力ファイルはまだ書き始めていませんでした。";
        break;
    }
    std::fprintf(stderr, "zelkor: %s\n", mbcs::Cp932ToUtf8(text).c_str());
}

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

void* WaitForSignals(void*)
{
    sigset_t set = g_taken;
    sigaddset(&set, kStopSignal);
    for (;;) {
        int signalNumber = 0;
        if (sigwait(&set, &signalNumber) != 0) continue;
        if (signalNumber == kStopSignal) {
            if (g_stopping.load()) return nullptr;
            continue;
        }
        if (ControlEvents::HandleSignal(signalNumber)) {
            TellWhatBecameOfTheOutput(signalNumber);
            EndBySignal(signalNumber);
        }
    }
}

}  // namespace

void ControlEvents::Start()
{
    std::signal(SIGXFSZ, SIG_IGN);
    sigemptyset(&g_taken);
    for (int s : kTerminationSignals) {
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaddset(&g_taken, s);
    }
    sigset_t blocked = g_taken;
    sigaddset(&blocked, kStopSignal);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    g_started = pthread_create(&g_thread, nullptr, WaitForSignals, nullptr) == 0;
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
        int none = 0;
        g_pending.compare_exchange_strong(none, signalNumber);
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
    // The signal thread stops first: a signal it has taken is then recorded
    // (it records before it takes the next), and one nobody has taken yet is
    // still pending for the process.
    if (g_started) {
        g_stopping = true;
        pthread_kill(g_thread, kStopSignal);
        pthread_join(g_thread, nullptr);
        g_started = false;
    }
    const timespec none = {0, 0};
    const int late = sigtimedwait(&g_taken, nullptr, &none);
    int signalNumber = g_pending.load();
    if (signalNumber == 0 && late > 0) signalNumber = late;
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
