// The window functions' display driver (win::WindowDriver) that ui installs:
// each call goes to the running backend, which starts the configured one on
// first use (ui::Backends::Current), so the first window shown or message box
// asked for starts it, as a program's entry would.
#pragma once

#include "win32/WindowDriver.h"

namespace ui {

class BackendDriver final : public win::WindowDriver {
public:
    // The one instance; installed by ui::Backends.
    static BackendDriver& Instance();

    void WindowShown(HWND window, bool shown) override;
    void WindowDestroyed(HWND window) override;
    void ControlChanged(HWND hwnd, win::Change what) override;
    int MessageBox(const win::MessageBoxRequest& request) override;
    void Repaint(HWND window) override;
    void Raise(HWND window) override;
    void CallerEvent(uint32_t hwnd, const std::string& event, bool delivered) override;
};

}  // namespace ui
