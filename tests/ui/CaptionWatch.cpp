#ifdef ZK_HAVE_FLTK

#include "CaptionWatch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The window may be gone between an event and the reading of its property:
// the watcher's requests on it may fail, which must not end the test.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

std::string ClassOf(Display* d, Window w)
{
    XClassHint hint{};
    if (!XGetClassHint(d, w, &hint)) return {};
    std::string name = hint.res_name ? hint.res_name : "";
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return name;
}

std::string CaptionOf(Display* d, Window w, Atom netWmName, Atom utf8)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string caption;
    if (XGetWindowProperty(d, w, netWmName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data && type == utf8 && format == 8)
        caption.assign(reinterpret_cast<const char*>(data), count);
    if (data) XFree(data);
    return caption;
}

}  // namespace

CaptionWatch::CaptionWatch(pid_t program, std::string windowClass) : m_program(program), m_class(std::move(windowClass))
{
}

bool CaptionWatch::Start()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    m_thread = std::thread([this, d] { Run(d); });
    return true;
}

void CaptionWatch::Stop()
{
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

// The CPU time of all the program's threads (its process clock), else the
// kernel's count of it in clock ticks.
double CaptionWatch::ProgramCpu() const
{
    clockid_t clock;
    timespec ts{};
    if (clock_getcpuclockid(m_program, &clock) == 0 && clock_gettime(clock, &ts) == 0)
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
    std::ifstream in("/proc/" + std::to_string(m_program) + "/stat");
    std::string line;
    std::getline(in, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos) return m_endCpu;
    std::istringstream fields(line.substr(close + 2));
    std::string f;
    double ticks = 0;
    // Fields 14 and 15 (user and system time); the text from field 3 on.
    for (int i = 3; i <= 15 && fields >> f; ++i)
        if (i >= 14) ticks += std::atof(f.c_str());
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void CaptionWatch::Run(void* display)
{
    auto* d = static_cast<Display*>(display);
    XErrorHandler previous = XSetErrorHandler(&IgnoreErrors);
    const Atom netWmName = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Window watched = 0;
    bool ended = false;
    auto read = [&] {
        const std::string caption = CaptionOf(d, watched, netWmName, utf8);
        if (m_sightings.empty() || m_sightings.back().caption != caption)
            m_sightings.push_back({caption, ProgramCpu()});
    };
    while (!ended && !m_stop) {
        while (!ended && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == MapNotify && !watched && ClassOf(d, e.xmap.window) == m_class) {
                watched = e.xmap.window;
                m_windowSeen = true;
                XSelectInput(d, watched, PropertyChangeMask | StructureNotifyMask);
                XSync(d, False);
                // What it shows already (changes from here on are events).
                read();
            } else if (e.type == PropertyNotify && watched && e.xproperty.window == watched &&
                       (e.xproperty.atom == netWmName || e.xproperty.atom == XA_WM_NAME)) {
                read();
            } else if ((e.type == UnmapNotify && watched && e.xunmap.window == watched) ||
                       (e.type == DestroyNotify && watched && e.xdestroywindow.window == watched)) {
                ended = true;
            }
        }
        if (ended) break;
        // Waits for the server's next event; the limit only lets Stop in.
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        ::poll(&p, 1, 100);
    }
    m_endCpu = ProgramCpu();
    XCloseDisplay(d);
    XSetErrorHandler(previous);
}

std::map<std::string, double> CaptionWatch::CpuPerCaption() const
{
    std::map<std::string, double> cpu;
    for (size_t i = 0; i < m_sightings.size(); ++i) {
        const double until = i + 1 < m_sightings.size() ? m_sightings[i + 1].cpuSeconds : m_endCpu;
        cpu[m_sightings[i].caption] += until - m_sightings[i].cpuSeconds;
    }
    return cpu;
}

#endif  // ZK_HAVE_FLTK
