// A native window that is never shown: the player hands its handle to the decoder library.
// It never objects to the end of the desktop session: nothing here answers a session
// manager's request to cancel.
#pragma once

#include <cstdint>
#include <memory>

class QWindow;

class HiddenWindow {
public:
    HiddenWindow();
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow &) = delete;
    HiddenWindow &operator=(const HiddenWindow &) = delete;

    // 0 when the program runs without a windowing system.
    uintptr_t handle() const;

private:
    std::unique_ptr<QWindow> m_window;
};
