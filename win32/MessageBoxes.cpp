#include "win32/MessageBoxes.h"

#include "win32/WindowText.h"

namespace quillery::win32 {
namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

}  // namespace

int ShowMessageBox(HWND owner, std::u16string_view text, UINT type) {
    MessageRequest request{owner, std::u16string(text), type};
    if (Handler()) {
        return Handler()(request);
    }
    return MessageBoxW(owner, Wide(text).c_str(), Wide(ApplicationName()).c_str(),
                       type | MB_SETFOREGROUND);
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    Handler() = std::move(handler);
}

}  // namespace quillery::win32
