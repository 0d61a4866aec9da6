#include "win32/ProcessEnding.h"

#include "win32/DriveMap.h"
#include "win32/HostWrite.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace win {

namespace {

// The gate. An effect counts itself in under the lock (or is held there once
// a signal's ending has begun) and out when it is done. A signal's ending
// sets the state first, by itself, so that no effect begins after it, and
// only then takes the lock to wait until the effects under way are done: it
// never competes with the program's thread for a lock that thread keeps
// taking again (one write after another).
std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

std::condition_variable& Idle()
{
    static std::condition_variable idle;
    return idle;
}

int g_active = 0;                 // effects under way (outermost ones), under Lock()
thread_local int t_depth = 0;     // this thread's nesting of effects

std::atomic<ProcessEnding::State> g_state{ProcessEnding::State::Running};
std::atomic<std::thread::id> g_endingThread{};

// The process is ending on another thread, which ends it; this one waits for
// that and never acts again.
[[noreturn]] void Park()
{
    for (;;) ::pause();
}

// The run's output. Changed only under the gate, so that a signal's ending,
// which reads it once every effect under way has finished, sees it as the
// disk is.
struct OutputRecord {
    ProcessEnding::Output state = ProcessEnding::Output::None;
    std::string windowsPath;
    std::string hostPath;
    dev_t device = 0;
    ino_t inode = 0;
};

OutputRecord& Record()
{
    static OutputRecord record;
    return record;
}

std::mutex& RecordLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

void ProcessEnding::ExpectOutput(const char* windowsPath)
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    OutputRecord& r = Record();
    r = OutputRecord();
    r.windowsPath = windowsPath ? windowsPath : "";
    r.hostPath = DriveMap::ToHostPath(r.windowsPath);
    if (!r.hostPath.empty()) r.state = Output::Expected;
}

void ProcessEnding::OutputOpened(const std::string& hostPath, int fd)
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    OutputRecord& r = Record();
    struct stat st;
    if (r.state != Output::Expected || hostPath != r.hostPath || ::fstat(fd, &st) != 0) return;
    r.device = st.st_dev;
    r.inode = st.st_ino;
    r.state = Output::Begun;
}

void ProcessEnding::CompleteOutput()
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    if (Record().state == Output::Begun) Record().state = Output::Complete;
}

void ProcessEnding::ForgetOutput()
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    Record() = OutputRecord();
}

ProcessEnding::Output ProcessEnding::RemoveBegunOutput()
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    OutputRecord& r = Record();
    if (r.state != Output::Begun) return r.state;
    // Only what still is the file this run opened: a file put at the name
    // since (another run's, another user's) stays.
    struct stat st;
    const bool same = ::lstat(r.hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == r.device &&
                      st.st_ino == r.inode;
    r.state = same && hostio::Unlink(r.hostPath.c_str()) == 0 ? Output::Removed : Output::NotRemoved;
    return r.state;
}

ProcessEnding::Output ProcessEnding::CurrentOutput()
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    return Record().state;
}

std::string ProcessEnding::OutputPath()
{
    const Effect gate;
    const std::lock_guard<std::mutex> record(RecordLock());
    return Record().windowsPath;
}

ProcessEnding::Effect::Effect()
{
    if (IsEndingThread()) return;
    m_held = true;
    if (t_depth++ > 0) return;  // inside an effect under way: part of it
    std::unique_lock<std::mutex> hold(Lock());
    if (g_state.load() == State::SignalEnding) {
        hold.unlock();
        Park();
    }
    ++g_active;
}

ProcessEnding::Effect::~Effect()
{
    if (!m_held || --t_depth > 0) return;
    std::lock_guard<std::mutex> hold(Lock());
    if (--g_active == 0) Idle().notify_all();
}

void ProcessEnding::Pass()
{
    const Effect gate;
}

void ProcessEnding::BeginOwnEnding()
{
    State running = State::Running;
    if (g_state.compare_exchange_strong(running, State::OwnEnding)) return;
    if (running == State::SignalEnding && !IsEndingThread()) Park();
}

bool ProcessEnding::BeginSignalEnding()
{
    // Known first, without waiting for any lock: from here every other
    // thread is held at its next effect.
    State running = State::Running;
    if (!g_state.compare_exchange_strong(running, State::SignalEnding)) return false;
    g_endingThread = std::this_thread::get_id();
    // Then the effects under way finish (not one of this thread's own).
    std::unique_lock<std::mutex> hold(Lock());
    const int own = t_depth > 0 ? 1 : 0;
    Idle().wait(hold, [own] { return g_active == own; });
    return true;
}

ProcessEnding::State ProcessEnding::Current() { return g_state.load(); }

bool ProcessEnding::IsEndingThread()
{
    return g_state.load() == State::SignalEnding && g_endingThread.load() == std::this_thread::get_id();
}

void ProcessEnding::ResetForTesting()
{
    std::lock_guard<std::mutex> hold(Lock());
    g_state = State::Running;
    g_endingThread = std::thread::id();
    g_active = 0;
    const std::lock_guard<std::mutex> record(RecordLock());
    Record() = OutputRecord();
}

}  // namespace win
