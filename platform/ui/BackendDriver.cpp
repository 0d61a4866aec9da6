#include "ui/BackendDriver.h"

#include "ui/Backends.h"

namespace ui {

BackendDriver& BackendDriver::Instance()
{
    static BackendDriver driver;
    return driver;
}

void BackendDriver::WindowShown(HWND window, bool shown) { Backends::Current().WindowShown(window, shown); }

void BackendDriver::WindowDestroyed(HWND window) { Backends::Current().WindowDestroyed(window); }

void BackendDriver::ControlChanged(HWND hwnd, win::Change what) { Backends::Current().ControlChanged(hwnd, what); }

int BackendDriver::MessageBox(const win::MessageBoxRequest& request) { return Backends::Current().MessageBox(request); }

void BackendDriver::Repaint(HWND window) { Backends::Current().Repaint(window); }

void BackendDriver::Raise(HWND window) { Backends::Current().Raise(window); }

void BackendDriver::CallerEvent(uint32_t hwnd, const std::string& event, bool delivered)
{
    Backends::Current().CallerEvent(hwnd, event, delivered);
}

}  // namespace ui
