#pragma once

#include <windows.h>

#include <functional>

#include "windowlogic/Dispatcher.h"

namespace quillery::win32 {

// Carries work to the window's thread as a posted message whose lParam owns the work.
// The window passes each such message to Run, and to DropPending as it is destroyed so
// that work nobody will run is released.
class PostedDispatcher final : public Dispatcher {
  public:
    static constexpr UINT kMessage = WM_APP + 1;

    void SetWindow(HWND window) { window_ = window; }
    void Post(std::function<void()> op) override;

    static void Run(LPARAM work);
    static void DropPending(HWND window);

  private:
    HWND window_ = nullptr;
};

}  // namespace quillery::win32
