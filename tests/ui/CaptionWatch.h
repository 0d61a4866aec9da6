// Follows the caption of another process's window as the X server reports
// its changes (property events, not polls), with the process's CPU time at
// each change. The CPU time is the measure of the program's own progress:
// it does not depend on how fast the machine is or how busy, nor on when
// the watcher gets to run. Starts before the window exists: the window is
// taken when it is mapped, and the watch ends when it is unmapped.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

class CaptionWatch {
public:
    struct Sighting {
        std::string caption;  // UTF-8
        double cpuSeconds;    // the program's CPU time when the caption was read
    };

    // The first window of class (resource name) `windowClass` that is mapped
    // on the display of DISPLAY, in the process `program`.
    CaptionWatch(pid_t program, std::string windowClass);
    ~CaptionWatch() { Stop(); }

    // False when the display cannot be opened.
    bool Start();
    // Ends the watch (at once when the window is already gone).
    void Stop();

    bool WindowSeen() const { return m_windowSeen; }
    // The captions in the order shown (a caption set again unchanged is one),
    // after Stop.
    const std::vector<Sighting>& Sightings() const { return m_sightings; }
    // The program's CPU time while each caption stood, after Stop: from its
    // reading to the next caption's (the last one's up to the window's end).
    std::map<std::string, double> CpuPerCaption() const;

private:
    void Run(void* display);
    double ProgramCpu() const;

    pid_t m_program;
    std::string m_class;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_windowSeen = false;
    double m_endCpu = 0;
    std::vector<Sighting> m_sightings;
};
