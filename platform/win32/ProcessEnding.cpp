#include "win32/ProcessEnding.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace win {

namespace {

// Effects hold the lock while they act, so that taking it proves none is
// under way; it is recursive because effects nest (a file opened for a write).
std::recursive_mutex& Lock()
{
    static std::recursive_mutex lock;
    return lock;
}

std::atomic<ProcessEnding::State> g_state{ProcessEnding::State::Running};
std::atomic<std::thread::id> g_endingThread{};

// The process is ending on another thread, which ends it; this one waits for
// that and never acts again.
[[noreturn]] void Park()
{
    for (;;) ::pause();
}

}  // namespace

ProcessEnding::Effect::Effect()
{
    if (IsEndingThread()) return;
    Lock().lock();
    if (g_state.load() == State::SignalEnding) {
        Lock().unlock();
        Park();
    }
    m_held = true;
}

ProcessEnding::Effect::~Effect()
{
    if (m_held) Lock().unlock();
}

void ProcessEnding::BeginOwnEnding()
{
    std::unique_lock<std::recursive_mutex> hold(Lock());
    if (g_state.load() == State::SignalEnding && !IsEndingThread()) {
        hold.unlock();
        Park();
    }
    if (g_state.load() == State::Running) g_state = State::OwnEnding;
}

bool ProcessEnding::BeginSignalEnding()
{
    std::lock_guard<std::recursive_mutex> hold(Lock());
    if (g_state.load() != State::Running) return false;
    g_endingThread = std::this_thread::get_id();
    g_state = State::SignalEnding;
    return true;
}

ProcessEnding::State ProcessEnding::Current() { return g_state.load(); }

bool ProcessEnding::IsEndingThread()
{
    return g_state.load() == State::SignalEnding && g_endingThread.load() == std::this_thread::get_id();
}

void ProcessEnding::ResetForTesting()
{
    std::lock_guard<std::recursive_mutex> hold(Lock());
    g_state = State::Running;
    g_endingThread = std::thread::id();
}

}  // namespace win
