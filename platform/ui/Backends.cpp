#include "ui/Backends.h"

#include "ui/BackendDriver.h"
#include "ui/WaitCursor.h"
#include "ui/script/ScriptBackend.h"
#include "win32/PlatformConfig.h"

#include <cstdio>
#include <map>

namespace ui {

namespace {

struct State {
    std::map<std::string, Backends::Factory> factories{{"script", &ScriptBackend::Create}};
    std::unique_ptr<Backend> current;
    bool starting = false;

    ~State()
    {
        if (current) current->Stop();
    }
};

State& S()
{
    static State state;
    return state;
}

// Installs the driver of the window functions as the process starts, before
// any window exists: the first window shown or message box asked for then
// starts the configured backend, as Current() does.
struct DriverAtStart {
    DriverAtStart() { win::WindowDriver::Install(&BackendDriver::Instance()); }
} driverAtStart;

}  // namespace

void Backends::Register(const std::string& name, Factory factory) { S().factories[name] = factory; }

Backend& Backends::Current()
{
    State& s = S();
    if (!s.current) return Start();
    return *s.current;
}

Backend& Backends::Start()
{
    State& s = S();
    Stop();
    std::string name = PlatformConfig::Get().backend;
    if (name.empty()) name = "script";
    auto it = s.factories.find(name);
    if (it == s.factories.end()) {
        std::string known;
        for (const auto& [n, f] : s.factories) known += (known.empty() ? "" : ", ") + n;
        std::fprintf(stderr,
                     "zelkor: the window backend \"%s\" is not available in this build (available: %s); "
                     "using the script backend\n",
                     name.c_str(), known.c_str());
        it = s.factories.find("script");
    }
    s.current = it->second();
    s.current->Start();
    // The window functions reach it through their driver.
    win::WindowDriver::Install(&BackendDriver::Instance());
    // The wait cursor's state is the framework's; the backend shows it.
    WaitCursor::SetListener([](bool on) { Backends::Current().WaitCursor(on); });
    if (WaitCursor::IsOn()) s.current->WaitCursor(true);
    return *s.current;
}

void Backends::Stop()
{
    State& s = S();
    if (!s.current) return;
    std::unique_ptr<Backend> old = std::move(s.current);
    old->Stop();
}

}  // namespace ui
