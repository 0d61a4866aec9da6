#include "win32/ProcessEnding.h"

#include "win32/DriveMap.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <sys/stat.h>
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

}  // namespace

void ProcessEnding::ExpectOutput(const char* windowsPath)
{
    const Effect gate;
    OutputRecord& r = Record();
    r = OutputRecord();
    r.windowsPath = windowsPath ? windowsPath : "";
    r.hostPath = DriveMap::ToHostPath(r.windowsPath);
    if (!r.hostPath.empty()) r.state = Output::Expected;
}

void ProcessEnding::OutputOpened(const std::string& hostPath, int fd)
{
    const Effect gate;
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
    if (Record().state == Output::Begun) Record().state = Output::Complete;
}

void ProcessEnding::ForgetOutput()
{
    const Effect gate;
    Record() = OutputRecord();
}

ProcessEnding::Output ProcessEnding::RemoveBegunOutput()
{
    const Effect gate;
    OutputRecord& r = Record();
    if (r.state != Output::Begun) return r.state;
    // Only what still is the file this run opened: a file put at the name
    // since (another run's, another user's) stays.
    struct stat st;
    const bool same = ::lstat(r.hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_dev == r.device &&
                      st.st_ino == r.inode;
    r.state = same && ::unlink(r.hostPath.c_str()) == 0 ? Output::Removed : Output::NotRemoved;
    return r.state;
}

ProcessEnding::Output ProcessEnding::CurrentOutput()
{
    const Effect gate;
    return Record().state;
}

std::string ProcessEnding::OutputPath()
{
    const Effect gate;
    return Record().windowsPath;
}

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
    Record() = OutputRecord();
}

}  // namespace win
