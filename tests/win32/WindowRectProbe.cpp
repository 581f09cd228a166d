// window_rect_probe: prints "left top width height" of the top-level window whose title
// starts with "Quillery - ", as GetWindowRect reports it; exit status 1 when there is none.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

BOOL CALLBACK Find(HWND window, LPARAM found) {
    wchar_t title[256]{};
    GetWindowTextW(window, title, 256);
    if (IsWindowVisible(window) && std::wcsncmp(title, L"Quillery - ", 11) == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int main() {
    HWND window = nullptr;
    EnumWindows(Find, reinterpret_cast<LPARAM>(&window));
    RECT rect{};
    if (window == nullptr || !GetWindowRect(window, &rect)) {
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    return 0;
}
