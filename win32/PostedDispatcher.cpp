#include "win32/PostedDispatcher.h"

#include <memory>

namespace quillery::win32 {

void PostedDispatcher::Post(std::function<void()> op) {
    auto work = std::make_unique<std::function<void()>>(std::move(op));
    if (PostMessageW(window_, kMessage, 0, reinterpret_cast<LPARAM>(work.get()))) {
        work.release();  // the message owns it now
    }
}

void PostedDispatcher::Run(LPARAM work) {
    const std::unique_ptr<std::function<void()>> op(reinterpret_cast<std::function<void()>*>(work));
    (*op)();
}

void PostedDispatcher::DropPending(HWND window) {
    MSG message;
    while (PeekMessageW(&message, window, kMessage, kMessage, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
}

}  // namespace quillery::win32
